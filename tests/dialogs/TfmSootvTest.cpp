// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmSootv.h"
#include "AppMessageBox.h"
#include "TPinGrid.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TStringGrid.h"
#include "TWorkPlace.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

namespace {
const QString C32 = QStringLiteral("Данный вывод нельзя задействовать!");

struct TMessages {
    QStringList Texts;
    TMessages() {
        SetAppMessageBoxHook([this](const QString& text, TMsgKind kind) {
            Texts.append(text);
            return kind == TMsgKind::Warning ? TMsgAnswer::Ok : TMsgAnswer::Yes;
        });
    }
    ~TMessages() { SetAppMessageBoxHook({}); }
};

// Two connectors XT0 and XT1 of rows a and b with three contacts each, the table on the dialog's
// grids, the dialog on screen.
struct TProject {
    TWorkPlace Wp;
    TfmSootv Dlg;
    TSootv Sootv{Dlg.GridX1(), Dlg.GridX2()};
    TProject() {
        Wp.FSootv = &Sootv;
        for (const char* name : {"XT0", "XT1"}) {
            auto k = std::make_unique<TRazem>();
            k->SetRazName(name);
            k->FRows = {{3, 1, 1, 1, 1, "a"}, {3, 1, 1, 1, 1, "b"}};
            k->SetRowCount(4);
            k->SetColCount(k->ColumnsNeeded());
            k->SetButtSize(1);
            k->ClearPositions();
            TRazem* raw = k.get();
            Wp.Add(std::move(k));
            raw->BuildNames();
        }
        Dlg.SetProject(&Wp, &Sootv);
        Dlg.resize(1500, TfmSootv::FixedHeight);
        Dlg.show();
    }
    // Marks a contact (column, record row) of a connector, as a click on the workspace does.
    TContact& Mark(int razem, int col, int recordRow) {
        Wp.SelectedRazem = razem;
        TRazem* k = Wp.Razem(razem);
        k->FMarkCol = col;
        k->FMarkRow = recordRow;
        TContact& t = k->Contact(col, recordRow);
        t.State = TContactState::csMarked;
        return t;
    }
    TContact& At(int razem, int col, int recordRow) {
        return Wp.Razem(razem)->Contact(col, recordRow);
    }
    void Click(int tag, int col, int row, Qt::MouseButton button = Qt::LeftButton) {
        TStringGrid* g = Dlg.View(tag);
        g->scrollToItem(g->item(row, col));
        QTest::mouseClick(g->viewport(), button, {}, g->CellRect(col, row).center());
    }
};
} // namespace

class TfmSootvTest : public QObject {
    Q_OBJECT
  private slots:
    void layoutAndHeaders() {
        TProject p;
        QCOMPARE(p.Dlg.windowTitle(), QStringLiteral("Соответствия"));
        QVERIFY(p.Dlg.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!p.Dlg.isModal());
        QCOMPARE(p.Dlg.height(), 400);
        QVERIFY(p.Wp.FSootvShown);
        for (int tag : {1, 2}) {
            TStringGrid* g = p.Dlg.View(tag);
            QCOMPARE(g->property("Tag").toInt(), tag);
            QCOMPARE(g->columnCount(), 33);
            QCOMPARE(g->rowCount(), 4);
            QCOMPARE(g->Cells(1, 0), QStringLiteral("1"));
            QCOMPARE(g->Cells(32, 0), QStringLiteral("32"));
            QCOMPARE(g->Cells(0, 1) + g->Cells(0, 2) + g->Cells(0, 3), QStringLiteral("cba"));
        }
    }

    void tyingAddsToTheCellsRecordAndUntyingFreesAll() {
        TProject p;
        TMessages msgs;
        QSignalSpy redraw(p.Wp.Razem(0), &TRazem::CellRedraw);
        p.Mark(0, 0, 0); // a1 of XT0
        p.Click(2, 5, 3);
        QCOMPARE(p.Sootv.Count(), 1);
        const TSootvData& d = p.Sootv.Item(0);
        QCOMPARE(d.FCol, 5);
        QCOMPARE(d.FRow, 3);
        QCOMPARE(int(d.FGrid), 2);
        QCOMPARE(int(d.FPin), 276);
        QCOMPARE(p.Dlg.GridX2()->Cell(5, 3), QStringLiteral("XT0:a1"));
        QCOMPARE(p.Dlg.sgX2->Cells(5, 3), QStringLiteral("XT0:a1"));
        QCOMPARE(p.At(0, 0, 0).State.load(), TContactState::csTied);
        QCOMPARE(redraw.last(), (QList<QVariant>{0, 1}));

        // b2 of XT1, marked by a click on its button row, joins the same pin.
        p.Mark(1, 1, 2);
        p.Wp.Razem(1)->FMarkRow = 3;
        p.Click(2, 5, 3);
        QCOMPARE(p.Sootv.Count(), 1);
        QCOMPARE(p.Dlg.sgX2->Cells(5, 3), QStringLiteral("XT0:a1 | XT1:b2"));
        QCOMPARE(p.Sootv.Item(0).FContacts[1], (TCellPos{1, 2}));
        // The column shows its text whole (what the cells need, margins included); the next
        // keeps its width.
        QStyleOptionViewItem cell;
        cell.initFrom(p.Dlg.sgX2);
        cell.font = p.Dlg.sgX2->font();
        const QModelIndex at = p.Dlg.sgX2->model()->index(3, 5);
        QVERIFY(p.Dlg.sgX2->columnWidth(5) >=
                p.Dlg.sgX2->itemDelegate()->sizeHint(cell, at).width());
        QVERIFY(p.Dlg.sgX2->columnWidth(5) > TfmSootv::DefaultColWidth + 5);
        QCOMPARE(p.Dlg.sgX2->columnWidth(6), TfmSootv::DefaultColWidth + 5);

        // A tied contact is ignored without a word, on this pin or another.
        p.Wp.SelectedRazem = 0;
        p.Wp.Razem(0)->FMarkRow = 0;
        p.Wp.Razem(0)->FMarkCol = 0;
        p.Click(1, 7, 2);
        p.Click(2, 5, 3);
        QCOMPARE(p.Sootv.Count(), 1);
        QCOMPARE(p.Sootv.Item(0).Count(), 2);
        QVERIFY(p.Dlg.sgX1->Cells(7, 2).isEmpty());

        p.Mark(0, 2, 2); // b3 of XT0
        p.Click(2, 5, 3);
        QCOMPARE(p.Sootv.Item(0).Count(), 3);
        p.Click(2, 5, 3, Qt::RightButton);
        QCOMPARE(p.Sootv.Count(), 0);
        QVERIFY(p.Dlg.sgX2->Cells(5, 3).isEmpty());
        QCOMPARE(p.At(0, 0, 0).State.load(), TContactState::csFree);
        QCOMPARE(p.At(1, 1, 2).State.load(), TContactState::csFree);
        QCOMPARE(p.At(0, 2, 2).State.load(), TContactState::csFree);
        QVERIFY(msgs.Texts.isEmpty());
    }

    void refusals() {
        TProject p;
        TMessages msgs;
        p.Mark(0, 0, 0);
        for (int tag : {1, 2})
            for (auto button : {Qt::LeftButton, Qt::RightButton})
                p.Click(tag, 32, 1, button);
        QCOMPARE(msgs.Texts, (QStringList{C32, C32, C32, C32}));
        QCOMPARE(p.Sootv.Count(), 0);

        // A press beside the cells.
        msgs.Texts.clear();
        TStringGrid* g = p.Dlg.sgX1;
        g->scrollToItem(g->item(1, 32));
        const QRect last = g->CellRect(32, 3);
        QVERIFY(last.right() + 10 < g->viewport()->width());
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                          last.center() + QPoint(last.width(), 0));
        QCOMPARE(msgs.Texts, QStringList{"Ошибка выделения ячейки! Попробуйте стнова!"});

        // A name that stands twice in the connector's list cannot be tied.
        msgs.Texts.clear();
        p.Wp.Razem(0)->FNameList[2] = "a1";
        p.Click(1, 3, 3);
        QCOMPARE(msgs.Texts, QStringList{"Выбранный разъем имеет несколько контактов с именем a1. "
                                         "Данный контакт невозможно задействовать."});
        QCOMPARE(p.Sootv.Count(), 0);
        QCOMPARE(p.At(0, 0, 0).State.load(), TContactState::csMarked);
    }

    void usersSizeTheColumnsByTheirEdges() {
        TProject p;
        TMessages msgs;
        TStringGrid* g = p.Dlg.sgX1;
        const int y = g->CellRect(3, 0).center().y();
        const auto edge = [g](int col) {
            return g->columnViewportPosition(col) + g->columnWidth(col);
        };
        const auto drag = [g, y](int from, int to, int row = 0) {
            const int at = row == 0 ? y : g->CellRect(1, row).center().y();
            QTest::mousePress(g->viewport(), Qt::LeftButton, {}, QPoint(from, at));
            QTest::mouseMove(g->viewport(), QPoint(to, at));
            QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, QPoint(to, at));
        };
        const int fitted = TfmSootv::DefaultColWidth + 5;
        QCOMPARE(g->columnWidth(3), fitted);

        // Wider by the header row's edge, taken anywhere within the grip.
        drag(edge(3), edge(3) + 40);
        QCOMPARE(g->columnWidth(3), fitted + 40);
        drag(edge(3) + TStringGrid::SizingGrip, edge(3) + TStringGrid::SizingGrip + 10);
        QCOMPARE(g->columnWidth(3), fitted + 50);
        QCOMPARE(g->SizingColumnAt(QPoint(edge(3) + TStringGrid::SizingGrip + 1, y)), -1);
        QCOMPARE(g->SizingColumnAt(QPoint(edge(3) - TStringGrid::SizingGrip, y)), 3);
        // Narrower, down to a sliver that still shows where the column is.
        drag(edge(4), 0);
        QCOMPARE(g->columnWidth(4), TStringGrid::MinSizedWidth);
        // Sizing is no press on a pin: nothing is selected, tied or refused.
        QCOMPARE(p.Dlg.LastGrid(), 0);
        QVERIFY(msgs.Texts.isEmpty());
        // The pin rows are for tying, not sizing.
        drag(edge(6), edge(6) + 30, 1);
        QCOMPARE(g->columnWidth(6), fitted);
        QCOMPARE(p.Dlg.LastGrid(), 1);
        // The cursor tells where a column can be taken.
        QTest::mouseMove(g->viewport(), QPoint(edge(7), y));
        QCOMPARE(g->viewport()->cursor().shape(), Qt::SplitHCursor);
        QTest::mouseMove(g->viewport(), QPoint(edge(7) - 10, y));
        QVERIFY(g->viewport()->cursor().shape() != Qt::SplitHCursor);

        // A tie fits its column to the texts again; the other sized columns keep their width.
        p.Mark(0, 0, 0);
        p.Dlg.TieContact(1, 4, 2);
        QVERIFY(g->columnWidth(4) >= g->fontMetrics().horizontalAdvance("XT0:a1") + 5);
        QCOMPARE(g->columnWidth(3), fitted + 50);
        // Beside the last column, the header row's grip sizes it without a word.
        g->scrollToItem(g->item(0, 32));
        drag(edge(32) + 2, edge(32) + 22);
        QCOMPARE(g->columnWidth(32), fitted + 20);
        QVERIFY(msgs.Texts.isEmpty());
    }

    void deleteKeyActsOnTheLastSelectedCell() {
        TProject p;
        p.Mark(0, 0, 0);
        p.Dlg.TieContact(1, 4, 2);
        QTest::keyClick(p.Dlg.sgX1, Qt::Key_Delete);
        QCOMPARE(p.Sootv.Count(), 1); // nothing selected yet
        QCOMPARE(p.Dlg.LastGrid(), 0);

        // ShowCell selects the record's cell; Delete in the other grid unties it.
        p.Sootv.ShowCell(4, 2, 1);
        QCOMPARE(p.Dlg.sgX1->currentRow(), 2);
        QCOMPARE(p.Dlg.sgX1->currentColumn(), 4);
        QCOMPARE(p.Dlg.LastGrid(), 1);
        QTest::keyClick(p.Dlg.sgX2, Qt::Key_Delete);
        QCOMPARE(p.Sootv.Count(), 0);
        QCOMPARE(p.At(0, 0, 0).State.load(), TContactState::csFree);
    }

    void closingKeepsTiesAndUnmarks() {
        TProject p;
        p.Mark(0, 0, 0);
        p.Click(1, 1, 3);
        p.Mark(1, 2, 0);
        QSignalSpy redraw(p.Wp.Razem(1), &TRazem::CellRedraw);
        QTest::mouseClick(p.Dlg.btCancel, Qt::LeftButton);
        QVERIFY(!p.Dlg.isVisible());
        QVERIFY(!p.Wp.FSootvShown);
        // The tie stays, and the project knows it changed: closing the program asks to save.
        QVERIFY(p.Wp.Modified);
        QCOMPARE(p.Sootv.Count(), 1);
        QCOMPARE(p.At(0, 0, 0).State.load(), TContactState::csTied);
        QCOMPARE(p.At(1, 2, 0).State.load(), TContactState::csFree);
        QCOMPARE(redraw.size(), 1);
        QCOMPARE(redraw.last(), (QList<QVariant>{2, 1}));

        p.Dlg.show();
        QVERIFY(p.Wp.FSootvShown);
        p.Wp.Modified = false;
        QTest::mouseClick(p.Dlg.btOK, Qt::LeftButton);
        QVERIFY(p.Wp.Modified);
        // Undoing a tie is a change too, whatever closes the dialog afterwards.
        p.Dlg.show();
        p.Wp.Modified = false;
        p.Click(1, 1, 3, Qt::RightButton);
        QCOMPARE(p.Sootv.Count(), 0);
        QTest::mouseClick(p.Dlg.btCancel, Qt::LeftButton);
        QVERIFY(p.Wp.Modified);
        // Opening and closing without a change changes nothing.
        p.Wp.Modified = false;
        p.Dlg.show();
        QTest::mouseClick(p.Dlg.btCancel, Qt::LeftButton);
        QVERIFY(!p.Wp.Modified);
        p.Dlg.show();
        p.Dlg.close();
        QVERIFY(!p.Wp.FSootvShown);

        // The project commands clear the grids and hand over a fresh project.
        p.Dlg.ClearGrids();
        QVERIFY(p.Dlg.sgX1->Cells(1, 3).isEmpty());
        QCOMPARE(p.Dlg.sgX1->Cells(1, 0), QStringLiteral("1"));
        TWorkPlace fresh;
        TSootv table(p.Dlg.GridX1(), p.Dlg.GridX2());
        p.Dlg.SetProject(&fresh, &table);
        p.Dlg.show();
        QVERIFY(fresh.FSootvShown);
        p.Dlg.SetProject(nullptr, nullptr);
    }
};

QTEST_MAIN(TfmSootvTest)
#include "TfmSootvTest.moc"
