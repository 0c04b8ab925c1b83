#include "TRazemView.h"
#include "WorkspaceTestKit.h"
#include "XEdit.h"

#include <QApplication>
#include <QImage>

using namespace testkit;

namespace {

QRgb Rgb(TColor c) {
    return 0xFF000000u | Colors::ToRgb(c);
}

} // namespace

class TRazemViewTest : public QObject {
    Q_OBJECT
  private:
    // One row of five contacts (medium size) and a row without contacts.
    TWorkPlace FWp;
    TSootv FSootv;
    TRazem* FRazem = nullptr;
    std::unique_ptr<QWidget> FParent;
    TRazemView* FView = nullptr;

    QImage Render() { return FView->grab().toImage(); }
    QRgb At(const QImage& img, int c, int r, int dx, int dy) {
        const QRect cell = FView->CellRect(c, r);
        return img.pixel(cell.left() + dx, cell.top() + dy);
    }

  private slots:
    void init() {
        FParent.reset();
        FSootv.Clear();
        FWp.FSootv = &FSootv;
        while (FWp.Count() > 0)
            FWp.Delete(0);
        FWp.SetTesterMode(false);
        FRazem = AddRazem(FWp, "XT0", {Row(5, "a"), Row(0, "b")});
        FParent = std::make_unique<QWidget>();
        FView = new TRazemView(FRazem, nullptr, FParent.get());
    }

    void geometryAndCells() {
        QCOMPARE(FView->size(), QSize(5 * 42 + 4, 4 * 22 + 4));
        QCOMPARE(FView->CellRect(2, 1), QRect(2 + 84, 2 + 22, 42, 22));
        int c = -1, r = -1;
        QVERIFY(FView->MouseToCell(QPoint(2 + 84 + 41, 2 + 22 + 21), c, r));
        QCOMPARE(QPoint(c, r), QPoint(2, 1));
        QVERIFY(!FView->MouseToCell(QPoint(1, 10), c, r));
        QVERIFY(!FView->MouseToCell(QPoint(2 + 5 * 42, 10), c, r));
        // The label sits above with the 5-pixel gap and names the connector.
        QCOMPARE(FView->NameEdit()->text(), QStringLiteral("XT0"));
        QCOMPARE(FView->NameEdit()->y() + FView->NameEdit()->height() + 5, FView->y());
        QCOMPARE(FView->NameEdit()->x(), FView->x());
        FRazem->SetButtSize(2);
        QCOMPARE(FView->size(), QSize(5 * 62 + 4, 4 * 32 + 4));
    }

    void editorModeColours() {
        FRazem->FCells[1][0].State = TContactState::csTied;
        FRazem->FCells[2][0].State = TContactState::csMarked;
        FRazem->FCells[3][0].State = TContactState::csTied;
        FRazem->FCells[3][0].ButtColor = Colors::clMaroon;
        FRazem->FCells[0][0].IndColor = Colors::clGreen; // ignored: editor indicators are grey
        const QImage img = Render();

        QCOMPARE(img.pixel(0, 0), Rgb(Colors::clBtnShadow)); // the border
        // Indicator: info-background outline, gradient ground, black frame, grey inside.
        QCOMPARE(At(img, 0, 0, 0, 0), Rgb(Colors::clInfoBk));
        QCOMPARE(At(img, 0, 0, 3, 3), Rgb(Colors::clGradientInactiveCaption));
        QCOMPARE(At(img, 0, 0, 6, 10), Rgb(Colors::clBlack));
        QCOMPARE(At(img, 0, 0, 21, 11), Rgb(Colors::clGray));
        QCOMPARE(At(img, 0, 0, 41 - 6, 10), Rgb(Colors::clBlack));
        QCOMPARE(At(img, 0, 0, 41 - 5, 10), Rgb(Colors::clGradientInactiveCaption));

        // Free: button face, raised (white left/top, black right/bottom edges).
        QCOMPARE(At(img, 0, 1, 4, 4), Rgb(Colors::clBtnFace));
        QCOMPARE(At(img, 0, 1, 2, 10), Rgb(Colors::clWhite));
        QCOMPARE(At(img, 0, 1, 10, 2), Rgb(Colors::clWhite));
        QCOMPARE(At(img, 0, 1, 10, 20), Rgb(Colors::clBlack));
        QCOMPARE(At(img, 0, 1, 40, 10), Rgb(Colors::clBlack));
        QCOMPARE(At(img, 0, 1, 0, 10), Rgb(Colors::clInfoBk));
        // Tied on button face: button shadow, sunken.
        QCOMPARE(At(img, 1, 1, 4, 4), Rgb(Colors::clBtnShadow));
        QCOMPARE(At(img, 1, 1, 2, 10), Rgb(Colors::clBlack));
        QCOMPARE(At(img, 1, 1, 10, 20), Rgb(Colors::clWhite));
        // Marked: aqua, raised.
        QCOMPARE(At(img, 2, 1, 4, 4), Rgb(Colors::clAqua));
        QCOMPARE(At(img, 2, 1, 2, 10), Rgb(Colors::clWhite));
        // Tied with a colour of its own keeps it.
        QCOMPARE(At(img, 3, 1, 4, 4), Rgb(Colors::clMaroon));
        // A row without contacts shows the background in both of its grid rows.
        QCOMPARE(At(img, 2, 2, 21, 11), Rgb(Colors::clInfoBk));
        QCOMPARE(At(img, 2, 3, 4, 4), Rgb(Colors::clInfoBk));
        // The name is written somewhere in the button.
        bool dark = false;
        for (int x = 4; x < 38; ++x)
            for (int y = 4; y < 18; ++y)
                dark = dark || qGray(At(img, 0, 1, x, y)) < 80;
        QVERIFY(dark);
    }

    void testerModeColours() {
        FWp.SetTesterMode(true);
        FRazem->FCells[0][0].IndColor = Colors::clGreen;
        FRazem->FCells[1][0].State = TContactState::csTied;
        FRazem->FCells[1][0].IndColor = Colors::clRed;
        FRazem->FCells[2][0].State = TContactState::csGenerator;
        FRazem->FCells[2][0].IndColor = Colors::clYellow;
        QImage img = Render();
        QCOMPARE(At(img, 0, 0, 21, 11), Rgb(Colors::clGreen));
        QCOMPARE(At(img, 1, 0, 21, 11), Rgb(Colors::clRed));
        QCOMPARE(At(img, 2, 0, 21, 11), Rgb(Colors::clYellow));
        QCOMPARE(At(img, 3, 0, 21, 11), Rgb(Colors::clGray)); // free at the switch
        QCOMPARE(At(img, 2, 1, 4, 4), Rgb(Colors::clYellow));
        QCOMPARE(At(img, 2, 1, 2, 10), Rgb(Colors::clWhite)); // a generator is raised
        QCOMPARE(At(img, 1, 1, 4, 4), Rgb(Colors::clBtnShadow));
        // A worker's redraw of one contact shows its new colour.
        FRazem->FCells[0][0].IndColor = Colors::clRed;
        FRazem->RedrawCell(0, 0);
        img = Render();
        QCOMPARE(At(img, 0, 0, 21, 11), Rgb(Colors::clRed));
    }

    void followsTheModel() {
        FRazem->SetBounds(100, 80);
        QCOMPARE(FView->pos(), QPoint(100, 80));
        QCOMPARE(FView->NameEdit()->pos(), QPoint(100, 80 - 20 - 5));
        FRazem->SetRazName("Питание");
        QCOMPARE(FView->NameEdit()->text(), QStringLiteral("Питание"));
        const QRgb white = FView->NameEdit()->palette().color(QPalette::Base).rgb();
        QCOMPARE(white, Rgb(Colors::clWhite));
        FRazem->SelectLabel();
        QCOMPARE(FView->NameEdit()->palette().color(QPalette::Base).rgb(), Rgb(Colors::clAqua));
        FWp.SetRazemsEnabled(false);
        QVERIFY(!FView->isEnabled());
        FWp.SetRazemsEnabled(true);
        QVERIFY(FView->isEnabled());
        QCOMPARE(FView->NameEdit()->cursor().shape(), Qt::PointingHandCursor);
        QVERIFY(FView->NameEdit()->isReadOnly());
    }
};

QTEST_MAIN(TRazemViewTest)
#include "TRazemViewTest.moc"
