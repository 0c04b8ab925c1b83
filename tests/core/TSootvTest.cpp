// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSootv.h"
#include "TPinGrid.h"
#include "TRazem.h"
#include "TWorkPlace.h"

#include <QSignalSpy>
#include <QTest>

namespace {

std::unique_ptr<TSootvData> Record(int grid, int col, int row,
                                   std::vector<std::pair<QString, int>> entries) {
    auto rec = std::make_unique<TSootvData>();
    for (const auto& [name, razem] : entries) {
        rec->AddName(name);
        rec->AddContact({0, 0}, razem);
    }
    rec->FGrid = std::uint8_t(grid);
    rec->FCol = col;
    rec->FRow = row;
    rec->FPin = TSootv::PinCode(grid, col, row);
    return rec;
}

std::unique_ptr<TRazem> Named(const QString& name) {
    auto r = std::make_unique<TRazem>();
    r->SetRazName(name);
    return r;
}

QStringList Entries(const TSootv& s) {
    QStringList out;
    for (int k = 0; k < s.Count(); ++k) {
        QStringList e;
        for (int i = 0; i < s.Item(k).Count(); ++i)
            e << QStringLiteral("%1@%2").arg(s.Item(k).FNames[i]).arg(s.Item(k).FRazemIndexes[i]);
        out << e.join(',');
    }
    return out;
}

} // namespace

class TSootvTest : public QObject {
    Q_OBJECT
  private slots:
    void pinCodes() {
        QCOMPARE(TSootv::PinCode(2, 5, 3), 276);  // X2 a5
        QCOMPARE(TSootv::PinCode(1, 32, 2), 463); // X1 b32
        QCOMPARE(TSootv::PinCode(1, 1, 3), 400);
        QCOMPARE(TSootv::PinCode(1, 1, 1), 464);
        QCOMPARE(TSootv::PinCode(2, 32, 1), 367);
        QCOMPARE(TSootv::PinCode(1, 33, 1), 0);
        QCOMPARE(TSootv::PinCode(3, 1, 1), 0);
        QCOMPARE(TSootv::PinName(463), QStringLiteral("X1:b32"));
        QCOMPARE(TSootv::PinName(276), QStringLiteral("X2:a5"));
        QCOMPARE(TSootv::PinName(271), QString());
    }

    void findByNameAndConnector() {
        TSootv s;
        s.Add(Record(1, 1, 1, {{"a1", 1}}));
        s.Add(Record(1, 2, 1, {{"b1", 0}, {"a1", 2}}));
        int k = -1;
        QVERIFY(s.FindContact("a1", 2, &k));
        QCOMPARE(k, 1);
        QVERIFY(!s.FindContact("A1", 2, &k)); // exact, case-sensitive
        QVERIFY(!s.FindContact("a1", 0, &k));
        QCOMPARE(s.Item(1).IndexOf("a1", 2), 1);
        QCOMPARE(s.FindCell(2, 1, 1), 1);
        QCOMPARE(s.FindCell(2, 1, 2), -1);
    }

    void deleteRazemRenumbers() {
        TSootv s;
        s.Add(Record(1, 1, 1, {{"a1", 0}, {"b1", 1}}));
        s.Add(Record(1, 2, 1, {{"a2", 0}}));
        s.Add(Record(2, 3, 1, {{"c1", 2}, {"a3", 0}, {"c2", 1}}));
        s.DeleteRazem(0);
        QCOMPARE(Entries(s), QStringList({"b1@0", "c1@1,c2@0"}));
    }

    void workspaceDeleteOfTheMiddleConnector() {
        TPinGrid x1, x2;
        TSootv s(&x1, &x2);
        TWorkPlace wp;
        wp.FSootv = &s;
        for (const char* n : {"XT0", "XT1", "XT2"})
            QVERIFY(wp.Add(Named(n)));
        s.Add(Record(1, 1, 1, {{"a1", 1}}));
        s.Add(Record(1, 2, 1, {{"a1", 0}, {"a1", 2}}));
        s.Add(Record(2, 3, 2, {{"b1", 2}}));
        wp.FillSootvGrids();
        QCOMPARE(x1.Cell(1, 1), QStringLiteral("XT1:a1"));
        wp.SelectedRazem = 1;
        QSignalSpy removing(&wp, &TWorkPlace::RazemRemoving);
        QVERIFY(wp.Delete(1));
        QCOMPARE(removing.count(), 1);
        QCOMPARE(wp.Count(), 2);
        QCOMPARE(wp.Razem(1)->FRazName, QStringLiteral("XT2"));
        QCOMPARE(wp.Razem(1)->FIndex, 1);
        QCOMPARE(wp.SelectedRazem, -1);
        QCOMPARE(Entries(s), QStringList({"a1@0,a1@1", "b1@1"}));
        // The grids show only what remains.
        QCOMPARE(x1.Cell(1, 1), QString());
        QCOMPARE(x1.Cell(2, 1), QStringLiteral("XT0:a1 | XT2:a1"));
        QCOMPARE(x2.Cell(3, 2), QStringLiteral("XT2:b1"));
        QVERIFY(!wp.Delete(5));
        QVERIFY(wp.Delete(0));
        QVERIFY(wp.Delete(0));
        QCOMPARE(s.Count(), 0);
    }

    void pinCellTexts() {
        TPinGrid x1, x2;
        TSootv s(&x1, &x2);
        TWorkPlace wp;
        wp.FSootv = &s;
        wp.Add(Named("XT0"));
        wp.Add(Named("XT1"));
        s.Add(Record(2, 7, 2, {{"a1", 0}, {"a2", 0}, {"c5", 1}}));
        s.Add(Record(1, 0, 2, {{"a3", 0}})); // no cell: no text
        wp.FillSootvGrids();
        QCOMPARE(x2.Cell(7, 2), QStringLiteral("XT0:a1 | XT0:a2 | XT1:c5"));
        QCOMPARE(x1.Cell(0, 2), QString());
        // Filling never clears; a cleared grid shows only the live records.
        x2.SetCell(1, 1, QStringLiteral("old"));
        wp.FillSootvGrids();
        QCOMPARE(x2.Cell(1, 1), QStringLiteral("old"));
        wp.ClearSootvGrids();
        wp.FillSootvGrids();
        QCOMPARE(x2.Cell(1, 1), QString());
        QCOMPARE(x2.Cell(7, 2), QStringLiteral("XT0:a1 | XT0:a2 | XT1:c5"));
    }

    void showCellMovesSelectionAndFocus() {
        TPinGrid x1, x2;
        TSootv s(&x1, &x2);
        QSignalSpy focus2(&x2, &TPinGrid::FocusRequested);
        s.ShowCell(4, 2, 1);
        QCOMPARE(x1.CurrentCol(), 4);
        QCOMPARE(x1.CurrentRow(), 2);
        QCOMPARE(focus2.count(), 1);
        s.ShowCell(5, 3, 0);
        s.ShowCell(0, 3, 1);
        QCOMPARE(x1.CurrentCol(), 4);
        QCOMPARE(focus2.count(), 1);
    }

    void resetGeneratorsAndStop() {
        TSootv s;
        TWorkPlace wp;
        wp.FSootv = &s;
        auto r = Named("XT0");
        r->SetRowCount(2);
        r->SetColCount(3);
        wp.Add(std::move(r));
        auto rec = std::make_unique<TSootvData>();
        rec->AddName("a1");
        rec->AddContact({1, 0}, 0);
        rec->FCol = rec->FRow = rec->FGrid = 1;
        s.Add(std::move(rec));
        TContact& t = wp.Razem(0)->FCells[1][0];
        t.State = TContactState::csGenerator;
        t.GenIndex = 3;
        wp.Razem(0)->FCells[2][0].State = TContactState::csGenerator; // not in the table
        wp.StopGenerators();
        QCOMPARE(t.State.load(), TContactState::csTied);
        QCOMPARE(t.GenIndex.load(), -1);
        QCOMPARE(wp.Razem(0)->FCells[2][0].State.load(), TContactState::csGenerator);
    }
};

QTEST_GUILESS_MAIN(TSootvTest)
#include "TSootvTest.moc"
