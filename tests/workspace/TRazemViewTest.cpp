#include "TRazemView.h"
#include "WorkspaceTestKit.h"
#include "XEdit.h"

#include <QImage>

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
};

QTEST_MAIN(TRazemViewTest)
#include "TRazemViewTest.moc"
