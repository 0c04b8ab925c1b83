// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmVidPropery.h"
#include "TDrawGrid.h"
#include "TUpDown.h"
#include "TWorkPlace.h"
#include "TfmExample.h"

#include <QComboBox>
#include <QLineEdit>
#include <QToolButton>
#include <QtTest>

namespace {
QColor PixelAt(QWidget* w, const QPoint& pos) {
    return w->grab().toImage().pixelColor(pos);
}
const QColor InfoBk(0xFF, 0xFF, 0xE1);
const QColor BtnFace(0xF0, 0xF0, 0xF0);
} // namespace

class TfmVidProperyTest : public QObject {
    Q_OBJECT
  private slots:
    void controlsAndSamples() {
        TfmVidPropery dlg;
        QCOMPARE(dlg.windowTitle(), QStringLiteral("Настройки вида"));
        QVERIFY(!dlg.isVisible());
        QCOMPARE(dlg.IndBorder(), 0);
        QCOMPARE(dlg.cbBut->count(), 0);
        for (QLineEdit* e : {dlg.edWidth, dlg.edHeight, dlg.edBorderInd})
            QCOMPARE(e->text(), QStringLiteral("0"));
        // The steppers keep 0..100, starting from the typed number.
        QTest::mouseClick(dlg.udW->DownButton(), Qt::LeftButton);
        QCOMPARE(dlg.edWidth->text(), QStringLiteral("0"));
        dlg.edWidth->setText("99");
        QTest::mouseClick(dlg.udW->UpButton(), Qt::LeftButton);
        QTest::mouseClick(dlg.udW->UpButton(), Qt::LeftButton);
        QCOMPARE(dlg.edWidth->text(), QStringLiteral("100"));

        // Button sample: face inside, white left and top edges, black bottom and right edges.
        const QRect b = dlg.dgButton->CellRect(0, 0);
        QCOMPARE(PixelAt(dlg.dgButton, b.center()), BtnFace);
        QCOMPARE(PixelAt(dlg.dgButton, QPoint(b.left(), b.center().y())), QColor(Qt::white));
        QCOMPARE(PixelAt(dlg.dgButton, QPoint(b.center().x(), b.top())), QColor(Qt::white));
        QCOMPARE(PixelAt(dlg.dgButton, QPoint(b.center().x(), b.bottom())), QColor(Qt::black));
        QCOMPARE(PixelAt(dlg.dgButton, QPoint(b.right(), b.center().y())), QColor(Qt::black));
        // Active indicator: with a frame width of 0 the red lamp fills the cell in a black frame.
        const QRect i = dlg.dgIndHi->CellRect(0, 0);
        QCOMPARE(PixelAt(dlg.dgIndHi, i.center()), QColor(255, 0, 0));
        QCOMPARE(PixelAt(dlg.dgIndHi, i.topLeft()), QColor(Qt::black));
        QCOMPARE(PixelAt(dlg.dgIndLow, dlg.dgIndLow->CellRect(0, 0).center()), InfoBk);
    }

    void previewCellsFollowTheRecordRule() {
        QCOMPARE(TfmExample::RecordIndex(0), 0);
        QCOMPARE(TfmExample::RecordIndex(1), 1);
        QCOMPARE(TfmExample::RecordIndex(2), 1);
        QCOMPARE(TfmExample::RecordIndex(3), 2);
        TWorkPlace wp;
        TfmExample ex;
        QCOMPARE(ex.windowTitle(), QStringLiteral("Вид разъема"));
        TContact lit;
        lit.IndColor = Colors::clGreen;
        TContact empty;
        empty.State = TContactState::csEmpty;
        ex.SetContacts({{lit, lit, lit}, {lit, empty, empty}});
        ex.SetWorkPlace(&wp);
        QCOMPARE(ex.dgExample->ColCount(), 2);
        QCOMPARE(ex.dgExample->RowCount(), 5);
        TDrawGrid* g = ex.dgExample;
        // Indicator rows show grey in the editor mode, the level colour in the tester mode.
        QCOMPARE(PixelAt(g, g->CellRect(0, 0).center()), QColor(128, 128, 128));
        QCOMPARE(PixelAt(g, g->CellRect(0, 1).center()), BtnFace);
        QCOMPARE(PixelAt(g, g->CellRect(0, 1).topLeft() + QPoint(2, 4)), QColor(Qt::white));
        QCOMPARE(PixelAt(g, g->CellRect(0, 0).topLeft() + QPoint(2, 2)), QColor(0xD7, 0xE4, 0xF2));
        // An absent record leaves its cells undrawn.
        QCOMPARE(PixelAt(g, g->CellRect(1, 1).center()), InfoBk);
        QCOMPARE(PixelAt(g, g->CellRect(1, 2).center()), InfoBk);
        wp.SetTesterMode(true);
        QCOMPARE(PixelAt(g, g->CellRect(0, 2).center()), QColor(0, 128, 0));
    }
};

QTEST_MAIN(TfmVidProperyTest)
#include "TfmVidProperyTest.moc"
