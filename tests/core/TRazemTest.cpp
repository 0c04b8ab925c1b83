// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRazem.h"
#include "TErrors.h"
#include "TPinGrid.h"
#include "TSootv.h"
#include "TWorkPlace.h"

#include <QTest>
#include <functional>

namespace {

// A connector built the way the add command builds one.
std::unique_ptr<TRazem> MakeRazem(const QString& name, std::vector<TRowInfo> rows, int size = 1) {
    auto r = std::make_unique<TRazem>();
    r->ClearPositions();
    r->SetRowCount(int(rows.size()) * 2);
    r->FRows = std::move(rows);
    r->SetRazName(name);
    r->SetColCount(r->ColumnsNeeded());
    r->SetButtSize(size);
    return r;
}

TRowInfo Row(int count, const QString& prefix, int first = 1, int step = 1, int firstNum = 1,
             int numStep = 1) {
    return {count, first, step, firstNum, numStep, prefix};
}

void Tie(TSootv& sootv, TRazem& r, const QString& name, int grid, int col, int row) {
    int k = sootv.FindCell(col, row, grid);
    if (k < 0) {
        auto rec = std::make_unique<TSootvData>();
        rec->FCol = col;
        rec->FRow = row;
        rec->FGrid = std::uint8_t(grid);
        rec->FPin = TSootv::PinCode(grid, col, row);
        sootv.Add(std::move(rec));
        k = sootv.Count() - 1;
    }
    for (int c = 0; c < r.ColCount(); ++c)
        for (int g = 0; g < r.RowCount(); g += 2)
            if (r.ContactName(c, g) == name) {
                sootv.Item(k).AddName(name);
                sootv.Item(k).AddContact({c, g}, r.FIndex);
                r.FCells[c][g].State = TContactState::csTied;
                return;
            }
    QFAIL("no such contact");
}

} // namespace

class TRazemTest : public QObject {
    Q_OBJECT
  private slots:
    void geometryFollowsSizeClass() {
        auto r = MakeRazem("XT0", {Row(10, "a"), Row(10, "b"), Row(10, "c")}, 1);
        QCOMPARE(r->Width(), 424);
        QCOMPARE(r->Height(), 136);
        r->SetButtSize(2);
        QCOMPARE(r->DefaultColWidth(), 62);
        QCOMPARE(r->DefaultRowHeight(), 32);
        QCOMPARE(r->MaxNameLength(), 8);
        r->SetColCount(3); // a count change alone keeps the size
        QCOMPARE(r->Width(), 10 * 62 + 4);
    }

    void namesFromRows() {
        // Negative steps, a row without contacts, spaced positions.
        auto r =
            MakeRazem("XT0", {Row(5, "a", 1, 1, 3, -1), Row(0, "b"), Row(3, "c", 2, 3, 10, 5)});
        r->BuildNames();
        QCOMPARE(r->ColumnsNeeded(), 8);
        QCOMPARE(r->FNameList.first(), QStringLiteral("$Sys#"));
        QStringList row0;
        for (int c = 0; c < 5; ++c)
            row0 << r->ContactName(c, 0);
        QCOMPARE(row0, QStringList({"a3", "a2", "a1", "a0", "a-1"}));
        for (int c = 0; c < r->ColCount(); ++c)
            QCOMPARE(r->FCells[c][2].State.load(), TContactState::csEmpty);
        QCOMPARE(r->ContactName(1, 4), QStringLiteral("c10"));
        QCOMPARE(r->ContactName(4, 4), QStringLiteral("c15"));
        QCOMPARE(r->FCells[2][4].State.load(), TContactState::csEmpty);
        QCOMPARE(r->FCells[7][4].State.load(), TContactState::csFree);
    }

    void sharedEntriesAndRenameInPlace() {
        auto r = MakeRazem("XT0", {Row(2, "a"), Row(2, "a")});
        r->BuildNames();
        // Rows generating the same names share the entries.
        QCOMPARE(r->FNameList, QStringList({"$Sys#", "a1", "a2"}));
        int count = 0;
        QVERIFY(r->HasName("a1", &count));
        QCOMPARE(count, 1);
        QCOMPARE(r->FCells[0][2].NameIndex, r->FCells[0][0].NameIndex);

        // A hand-given name is undone by the next build, in place, for every sharer.
        r->FNameList[1] = QStringLiteral("X");
        QCOMPARE(r->ContactName(0, 2), QStringLiteral("X"));
        r->BuildNames();
        QCOMPARE(r->FNameList, QStringList({"$Sys#", "a1", "a2"}));
        QCOMPARE(r->ContactName(0, 2), QStringLiteral("a1"));

        // A later duplicate entry and an index out of range are treated as no name.
        r->FNameList << QStringLiteral("a2");
        r->FCells[1][2].NameIndex = 3;
        r->FCells[0][0].NameIndex = 99;
        r->BuildNames();
        QCOMPARE(r->FCells[1][2].NameIndex, 2);
        QCOMPARE(r->FCells[0][0].NameIndex, 1);
        QCOMPARE(r->FindName("a2"), 2);
        QVERIFY(r->HasName("a2", &count));
        QCOMPARE(count, 2);
    }

    void buildKeepsEverythingWhenNamesAreRight() {
        TWorkPlace wp;
        TSootv sootv;
        wp.FSootv = &sootv;
        wp.Add(MakeRazem("XT0", {Row(3, "a")}));
        TRazem& r = *wp.Razem(0);
        r.BuildNames();
        Tie(sootv, r, "a2", 2, 5, 3);
        const QStringList names = r.FNameList;
        r.BuildNames();
        QCOMPARE(r.FNameList, names);
        QCOMPARE(r.FCells[1][0].State.load(), TContactState::csTied);
        QCOMPARE(r.FCells[0][0].State.load(), TContactState::csFree);
    }

    void newPositionTiedWhenTableNamesIt() {
        TWorkPlace wp;
        TSootv sootv;
        wp.FSootv = &sootv;
        wp.Add(MakeRazem("XT0", {Row(2, "a")}));
        TRazem& r = *wp.Razem(0);
        auto rec = std::make_unique<TSootvData>();
        rec->AddName("a2");
        rec->AddContact({1, 0}, 0);
        rec->FCol = 1;
        rec->FRow = 1;
        rec->FGrid = 1;
        sootv.Add(std::move(rec));
        r.BuildNames();
        QCOMPARE(r.FCells[1][0].State.load(), TContactState::csTied);
        QCOMPARE(r.FCells[0][0].State.load(), TContactState::csFree);
    }

    void renamedEntryDropsItsStaleTie() {
        TPinGrid x1, x2;
        TSootv sootv(&x1, &x2);
        TWorkPlace wp;
        wp.FSootv = &sootv;
        wp.Add(MakeRazem("XT0", {Row(2, "a")}));
        wp.Add(MakeRazem("XT1", {Row(1, "b")}));
        TRazem& r = *wp.Razem(0);
        r.BuildNames();
        wp.Razem(1)->BuildNames();
        Tie(sootv, r, "a1", 1, 1, 1);
        Tie(sootv, *wp.Razem(1), "b1", 1, 1, 1);
        Tie(sootv, r, "a2", 1, 2, 1);
        wp.FillSootvGrids();
        QCOMPARE(x1.Cell(1, 1), QStringLiteral("XT0:a1 | XT1:b1"));

        r.FRows[0].Prefix = QStringLiteral("z");
        r.BuildNames();
        // No entry names a contact that is gone; the other connector's tie stays.
        QCOMPARE(sootv.Count(), 1);
        QCOMPARE(sootv.Item(0).Count(), 1);
        QCOMPARE(sootv.Item(0).FNames[0], QStringLiteral("b1"));
        QCOMPARE(r.FCells[0][0].State.load(), TContactState::csFree);
        QCOMPARE(r.FCells[1][0].State.load(), TContactState::csFree);
        QCOMPARE(x1.Cell(1, 1), QStringLiteral("XT1:b1"));
        QCOMPARE(x1.Cell(2, 1), QString());
    }

    // After an edit every entry names the contact at its position: it follows its name, or goes
    // when no contact carries that name any more, and only named contacts show tied.
    void editedNamesKeepTheWiringTrue() {
        TPinGrid x1, x2;
        TSootv sootv(&x1, &x2);
        TWorkPlace wp;
        wp.FSootv = &sootv;
        wp.Add(MakeRazem("XT0", {Row(4, "a"), Row(2, "b")}));
        wp.Add(MakeRazem("XT1", {Row(1, "a")}));
        TRazem& r = *wp.Razem(0);
        r.BuildNames();
        wp.Razem(1)->BuildNames();
        Tie(sootv, r, "a1", 1, 1, 1);
        Tie(sootv, r, "a2", 1, 2, 1);
        Tie(sootv, r, "a4", 1, 4, 1);
        Tie(sootv, r, "b2", 2, 7, 2);
        Tie(sootv, *wp.Razem(1), "a1", 1, 4, 1); // another connector's contact of the same name
        const auto entryAt = [&](int record) {
            const TSootvData& d = sootv.Item(record);
            return std::make_pair(d.FContacts[0].Col, d.FContacts[0].Row);
        };
        const auto tiedColumns = [&](int gridRow) {
            QList<int> cols;
            for (int c = 0; c < r.ColCount(); ++c)
                if (r.FCells[c][gridRow].State == TContactState::csTied)
                    cols << c;
            return cols;
        };

        // As the edit command does: every position of the present size is reset, the rows
        // change, the names are built again.
        const auto edit = [&](const std::function<void()>& change) {
            for (int c = 0; c < r.ColCount(); ++c)
                for (int g = 0; g < r.RowCount(); g += 2) {
                    r.FCells[c][g].State = TContactState::csEmpty;
                    r.FCells[c][g].NameIndex = -1;
                }
            change();
            r.SetColCount(r.ColumnsNeeded());
            r.BuildNames();
        };

        // The first number of row 1 goes from 1 to 2: a1 is gone, a2 now sits in column 0.
        edit([&] { r.FRows[0].FirstNum = 2; });
        QCOMPARE(r.ContactName(0, 0), QStringLiteral("a2"));
        QCOMPARE(sootv.Count(), 3); // the record of a1 went with its only entry
        QCOMPARE(sootv.Item(0).FNames[0], QStringLiteral("a2"));
        QCOMPARE(entryAt(0), std::make_pair(0, 0));
        QCOMPARE(sootv.Item(1).FNames[0], QStringLiteral("a4"));
        QCOMPARE(entryAt(1), std::make_pair(2, 0));
        QCOMPARE(tiedColumns(0), (QList<int>{0, 2}));
        QCOMPARE(x1.Cell(1, 1), QString());
        QCOMPARE(x1.Cell(2, 1), QStringLiteral("XT0:a2"));
        QCOMPARE(x1.Cell(4, 1), QStringLiteral("XT0:a4 | XT1:a1"));
        QCOMPARE(wp.Razem(1)->FCells[0][0].State.load(), TContactState::csTied);

        // "Первый контакт" moves row 2 two columns right: its ties follow the names.
        edit([&] { r.FRows[1].First = 3; });
        QCOMPARE(sootv.Item(2).FNames[0], QStringLiteral("b2"));
        QCOMPARE(entryAt(2), std::make_pair(3, 2));
        QCOMPARE(tiedColumns(2), QList<int>{3});
        QCOMPARE(x2.Cell(7, 2), QStringLiteral("XT0:b2"));

        // A hand-renamed tied contact and another size class: the rebuild gives the position its
        // generated name back, so the entry of the hand-given name goes and the contact is free.
        r.FNameList[r.FCells[0][0].NameIndex] = QStringLiteral("GND");
        sootv.Item(0).FNames[0] = QStringLiteral("GND");
        edit([&] { r.SetButtSize(2); });
        QCOMPARE(r.ContactName(0, 0), QStringLiteral("a2"));
        QCOMPARE(sootv.Count(), 2);
        QCOMPARE(tiedColumns(0), QList<int>{2});
        QCOMPARE(x1.Cell(2, 1), QString());

        // A smaller connector drops the ties it no longer has; a mode round trip agrees.
        edit([&] {
            r.FRows[0].Count = 2;
            r.FRows[1].Count = 0;
        });
        QCOMPARE(sootv.Count(), 1);
        QCOMPARE(sootv.Item(0).FRazemIndexes[0], 1);
        QCOMPARE(x1.Cell(4, 1), QStringLiteral("XT1:a1"));
        QCOMPARE(x2.Cell(7, 2), QString());
        wp.SetTesterMode(true);
        wp.SetTesterMode(false);
        QCOMPARE(tiedColumns(0), QList<int>{});
    }

    // Two positions sharing one name: the entry keeps the one it was tied to, the other is free.
    void sharedNameKeepsItsTiedPosition() {
        TSootv sootv;
        TWorkPlace wp;
        wp.FSootv = &sootv;
        wp.Add(MakeRazem("XT0", {Row(2, "a"), Row(2, "a")}));
        TRazem& r = *wp.Razem(0);
        r.BuildNames();
        auto rec = std::make_unique<TSootvData>();
        rec->AddName("a2");
        rec->AddContact({1, 2}, 0);
        rec->FCol = 1;
        rec->FRow = 1;
        rec->FGrid = 1;
        sootv.Add(std::move(rec));
        r.BuildNames();
        QCOMPARE(sootv.Item(0).FContacts[0], (TCellPos{1, 2}));
        QCOMPARE(r.FCells[1][2].State.load(), TContactState::csTied);
        QCOMPARE(r.FCells[1][0].State.load(), TContactState::csFree);
    }

    void limitsAreRefused() {
        TRazem r;
        QVERIFY_THROWS_EXCEPTION(ELimit, r.SetColCount(102));
        QVERIFY_THROWS_EXCEPTION(ELimit, r.SetRowCount(-2));
        QVERIFY_THROWS_EXCEPTION(ELimit, r.SetButtSize(3));
        r.SetRowCount(2);
        r.FRows = {Row(3, "a", 100, 1)};
        r.SetColCount(101);
        QVERIFY_THROWS_EXCEPTION(ELimit, r.BuildNames());
        r.FRows = {Row(3, "a", 1, 0)};
        QVERIFY_THROWS_EXCEPTION(ELimit, r.BuildNames());
        r.FRows = {Row(-1, "a")};
        QVERIFY_THROWS_EXCEPTION(ELimit, r.BuildNames());
        r.FRows = {Row(101, "a", 1, 1)};
        r.BuildNames();
        QCOMPARE(r.ContactName(100, 0), QStringLiteral("a101"));
        auto big = std::make_unique<TRazem>();
        big->SetRowCount(101); // an odd count from a foreign file: 50 rows and a lone row
        big->FRows.assign(50, Row(1, "r"));
        big->BuildNames();
        QCOMPARE(big->ContactName(0, 98), QStringLiteral("r1"));
    }

    void testerModeConversion() {
        TSootv sootv;
        TWorkPlace wp;
        wp.FSootv = &sootv;
        wp.Add(MakeRazem("XT0", {Row(4, "a")}));
        TRazem& r = *wp.Razem(0);
        r.BuildNames();
        Tie(sootv, r, "a1", 1, 1, 1);
        r.FCells[2][0].State = TContactState::csMarked;
        wp.SetTesterMode(true);
        QVERIFY(wp.IsTesterMode());
        QVERIFY(!r.HasPopupMenu());
        QCOMPARE(r.FCells[0][0].State.load(), TContactState::csTied);
        QCOMPARE(r.FCells[1][0].IndColor.load(), Colors::clGray);
        QCOMPARE(r.FCells[2][0].State.load(), TContactState::csTied);
        r.FCells[3][0].State = TContactState::csGenerator;
        r.FCells[0][0].State = TContactState::csFree; // switched off by the user
        wp.SetTesterMode(false);
        QVERIFY(r.HasPopupMenu());
        QCOMPARE(r.FCells[0][0].State.load(), TContactState::csTied);
        QCOMPARE(r.FCells[2][0].State.load(), TContactState::csFree);
        QCOMPARE(r.FCells[3][0].State.load(), TContactState::csFree);
        QCOMPARE(r.FCells[4][0].State.load(), TContactState::csEmpty);
    }

    void generatorSlotsStayDense() {
        TWorkPlace wp;
        wp.Add(MakeRazem("XT0", {Row(3, "a")}));
        wp.Add(MakeRazem("XT1", {Row(1, "a")}));
        wp.Razem(0)->FCells[0][0].GenIndex = 0;
        wp.Razem(0)->FCells[1][0].GenIndex = 2;
        wp.Razem(1)->FCells[0][0].GenIndex = 1;
        wp.Razem(0)->FCells[2][0].GenIndex = -1;
        wp.ReleaseGeneratorSlot(0);
        QCOMPARE(wp.Razem(0)->FCells[1][0].GenIndex.load(), 1);
        QCOMPARE(wp.Razem(1)->FCells[0][0].GenIndex.load(), 0);
        QCOMPARE(wp.Razem(0)->FCells[2][0].GenIndex.load(), -1);
    }
};

QTEST_GUILESS_MAIN(TRazemTest)
#include "TRazemTest.moc"
