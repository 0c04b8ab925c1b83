// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRazemView.h"
#include "TContactMarks.h"
#include "WorkspaceTestKit.h"
#include "XEdit.h"

#include <QImage>
#include <QSignalSpy>

using namespace testkit;

class TRazemViewTest : public QObject {
    Q_OBJECT
    // One row of five medium contacts and a row without contacts.
    TWorkPlace FWp;
    TRazem* FRazem = nullptr;
    std::unique_ptr<QWidget> FParent;
    TRazemView* FView = nullptr;

    // Colour of pixel (dx, dy) of cell (c, r), and the expected colour.
    void Expect(const QImage& img, int c, int r, int dx, int dy, TColor colour) {
        const QPoint p = FView->CellRect(c, r).topLeft() + QPoint(dx, dy);
        QCOMPARE(QColor(img.pixel(p)), QColor(QRgb(Colors::ToRgb(colour))));
    }

  private slots:
    void init() {
        FParent.reset();
        while (FWp.Count() > 0)
            FWp.Delete(0);
        FWp.SetTesterMode(false);
        FRazem = AddRazem(FWp, "XT0", {Row(5, "a"), Row(0, "b")});
        FParent = std::make_unique<QWidget>();
        FView = new TRazemView(FRazem, nullptr, FParent.get());
    }

    void geometryAndLabel() {
        QCOMPARE(FView->size(), QSize(5 * 42 + 4, 4 * 22 + 4));
        QCOMPARE(FView->CellRect(2, 1), QRect(2 + 84, 2 + 22, 42, 22));
        int c = -1, r = -1;
        QVERIFY(FView->MouseToCell(QPoint(2 + 84 + 41, 2 + 22 + 21), c, r));
        QCOMPARE(QPoint(c, r), QPoint(2, 1));
        QVERIFY(!FView->MouseToCell(QPoint(2 + 5 * 42, 10), c, r));
        FRazem->SetButtSize(2);
        QCOMPARE(FView->size(), QSize(5 * 62 + 4, 4 * 32 + 4));
        XEdit* label = FView->NameEdit();
        FRazem->SetBounds(100, 80);
        QCOMPARE(label->pos(), QPoint(100, 80 - 20 - 5));
        FRazem->SetRazName("Питание");
        QCOMPARE(label->text(), QStringLiteral("Питание"));
        FRazem->SelectLabel();
        QCOMPARE(label->palette().color(QPalette::Base), QColor(Qt::cyan));
    }

    void editorModeColours() {
        FRazem->FCells[1][0].State = TContactState::csTied;
        FRazem->FCells[2][0].State = TContactState::csMarked;
        FRazem->FCells[3][0].State = TContactState::csTied;
        FRazem->FCells[3][0].ButtColor = Colors::clMaroon;
        FRazem->FCells[0][0].IndColor = Colors::clGreen; // editor indicators are grey anyway
        const QImage img = FView->grab().toImage();
        // Indicator: info-background outline, gradient ground, black frame 6 pixels in, grey.
        Expect(img, 0, 0, 0, 0, Colors::clInfoBk);
        Expect(img, 0, 0, 3, 3, Colors::clGradientInactiveCaption);
        Expect(img, 0, 0, 6, 10, Colors::clBlack);
        Expect(img, 0, 0, 35, 10, Colors::clBlack);
        Expect(img, 0, 0, 21, 11, Colors::clGray);
        // Free: button face, raised (white left and top edges, black right and bottom).
        Expect(img, 0, 1, 4, 4, Colors::clBtnFace);
        Expect(img, 0, 1, 2, 10, Colors::clWhite);
        Expect(img, 0, 1, 10, 2, Colors::clWhite);
        Expect(img, 0, 1, 10, 20, Colors::clBlack);
        Expect(img, 0, 1, 40, 10, Colors::clBlack);
        // Tied on button face: button shadow, sunken; with a colour of its own: that colour.
        Expect(img, 1, 1, 4, 4, Colors::clBtnShadow);
        Expect(img, 1, 1, 2, 10, Colors::clBlack);
        Expect(img, 1, 1, 10, 20, Colors::clWhite);
        Expect(img, 3, 1, 4, 4, Colors::clMaroon);
        // Marked: aqua, raised.
        Expect(img, 2, 1, 4, 4, Colors::clAqua);
        Expect(img, 2, 1, 2, 10, Colors::clWhite);
        // No contacts: the background stays in both grid rows.
        Expect(img, 2, 2, 21, 11, Colors::clInfoBk);
        Expect(img, 2, 3, 4, 4, Colors::clInfoBk);
        // The name is written inside the button.
        int dark = 0;
        for (int x = 4; x < 38; ++x)
            for (int y = 4; y < 18; ++y)
                dark += qGray(img.pixel(FView->CellRect(0, 1).topLeft() + QPoint(x, y))) < 80;
        QVERIFY(dark > 5);
    }

    void testerModeColours() {
        FWp.SetTesterMode(true);
        FRazem->FCells[0][0].IndColor = Colors::clGreen;
        FRazem->FCells[1][0].State = TContactState::csTied;
        FRazem->FCells[1][0].IndColor = Colors::clRed;
        FRazem->FCells[2][0].State = TContactState::csGenerator;
        FRazem->FCells[2][0].IndColor = Colors::clYellow;
        QImage img = FView->grab().toImage();
        Expect(img, 0, 0, 21, 11, Colors::clGreen);
        Expect(img, 1, 0, 21, 11, Colors::clRed);
        Expect(img, 2, 0, 21, 11, Colors::clYellow);
        Expect(img, 3, 0, 21, 11, Colors::clGray); // free when the mode started
        Expect(img, 2, 1, 4, 4, Colors::clYellow);
        Expect(img, 2, 1, 2, 10, Colors::clWhite); // a generator is raised
        Expect(img, 1, 1, 4, 4, Colors::clBtnShadow);
        // A worker's redraw of one contact shows its new colour.
        FRazem->FCells[0][0].IndColor = Colors::clRed;
        FRazem->RedrawCell(0, 0);
        img = FView->grab().toImage();
        Expect(img, 0, 0, 21, 11, Colors::clRed);
    }

    void faultMarksAndThePickedFrame() {
        FWp.SetTesterMode(true);
        for (int c = 0; c < 5; ++c) {
            FRazem->FCells[c][0].State = TContactState::csTied;
            FRazem->FCells[c][0].IndColor = Colors::clGreen;
        }
        const auto count = [](const QImage& img, const QRect& area, TColor colour) {
            int n = 0;
            for (int x = area.left(); x <= area.right(); ++x)
                for (int y = area.top(); y <= area.bottom(); ++y)
                    n += QColor(img.pixel(x, y)) == QColor(QRgb(Colors::ToRgb(colour)));
            return n;
        };
        TContactMarks marks;
        FView->SetMarks(&marks);
        // Contact 1 faulty (named by either of its rows), contact 3 of another connector.
        marks.SetFaulty({{FRazem->FIndex, 1, 0}, {FRazem->FIndex + 1, 3, 0}});
        QVERIFY(marks.IsFaulty(FRazem->FIndex, 1, 1));
        QVERIFY(!marks.IsFaulty(FRazem->FIndex, 2, 0));
        QImage img = FView->grab().toImage();
        const QRect button = FView->CellRect(1, 1);
        // The frame on the button's edge, two pixels wide, all round.
        for (const QPoint& at : {QPoint(1, 10), QPoint(2, 10), QPoint(20, 1), QPoint(20, 2),
                                 QPoint(39, 10), QPoint(40, 10), QPoint(20, 19), QPoint(20, 20)})
            QVERIFY2(QColor(img.pixel(button.topLeft() + at)) == QColor(255, 0, 0),
                     qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));
        // Its cross: the diagonals run corner to corner.
        QCOMPARE(QColor(img.pixel(button.topLeft() + QPoint(5, 3))), QColor(255, 0, 0));
        QCOMPARE(QColor(img.pixel(button.topLeft() + QPoint(6, 17))), QColor(255, 0, 0));
        QCOMPARE(QColor(img.pixel(button.topLeft() + QPoint(36, 3))), QColor(255, 0, 0));
        // Inside the frame the button face shows between the lines; the name is still written.
        Expect(img, 1, 1, 20, 4, Colors::clBtnShadow);
        int dark = 0;
        for (int x = 4; x < 38; ++x)
            for (int y = 4; y < 18; ++y)
                dark += qGray(img.pixel(button.topLeft() + QPoint(x, y))) < 80;
        QVERIFY(dark > 5);
        // The indicator keeps its colour; the contacts beside it keep their look.
        Expect(img, 1, 0, 21, 11, Colors::clGreen);
        for (int c : {0, 2, 3, 4})
            QCOMPARE(count(img, FView->ContactRect(c, 0), Colors::clRed), 0);

        // The picked fault: a navy frame round the whole contact, indicator and button.
        marks.SetPicked({{FRazem->FIndex, 3, 1}});
        img = FView->grab().toImage();
        const QRect whole = FView->ContactRect(3, 0);
        QCOMPARE(whole, FView->CellRect(3, 0).united(FView->CellRect(3, 1)));
        for (const QPoint& at :
             {QPoint(1, 5), QPoint(2, 30), QPoint(20, 1), QPoint(40, 30), QPoint(20, 42)})
            QVERIFY2(QColor(img.pixel(whole.topLeft() + at)) == QColor(0, 0, 128),
                     qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));
        QCOMPARE(count(img, FView->ContactRect(1, 0), Colors::clNavy), 0);
        QVERIFY(count(img, button, Colors::clRed) > 40);

        // Gone with Clear; a view without marks draws none.
        QSignalSpy changed(&marks, &TContactMarks::Changed);
        marks.Clear();
        QCOMPARE(changed.count(), 1);
        marks.Clear(); // nothing to clear: no repaint asked
        marks.SetPicked({});
        QCOMPARE(changed.count(), 1);
        img = FView->grab().toImage();
        QCOMPARE(count(img, FView->rect(), Colors::clRed), 0);
        QCOMPARE(count(img, FView->rect(), Colors::clNavy), 0);
        marks.SetFaulty({{FRazem->FIndex, 1, 0}});
        FView->SetMarks(nullptr);
        img = FView->grab().toImage();
        QCOMPARE(count(img, FView->rect(), Colors::clRed), 0);
    }
};

QTEST_MAIN(TRazemViewTest)
#include "TRazemViewTest.moc"
