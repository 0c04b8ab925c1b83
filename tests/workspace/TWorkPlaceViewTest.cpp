// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse events go through the window, as the user's do (implicit grab, context menu requests).
#define QTEST_QPA_MOUSE_HANDLING

#include "TWorkPlaceView.h"
#include "TContactMarks.h"
#include "TRazemView.h"
#include "WorkspaceTestKit.h"
#include "XEdit.h"

#include <QApplication>
#include <QScrollArea>
#include <QScrollBar>

using namespace testkit;

class TWorkPlaceViewTest : public QObject {
    Q_OBJECT
  private:
    std::unique_ptr<QScrollArea> FBox;
    std::unique_ptr<TWorkPlace> FWp;
    TSootv FSootv;
    FakeHost FHost;
    TWorkPlaceView* FView = nullptr;

  private slots:
    void init() {
        FBox.reset();
        FWp = std::make_unique<TWorkPlace>();
        FWp->FSootv = &FSootv;
        FBox = std::make_unique<QScrollArea>();
        FBox->resize(500, 400);
        FView = new TWorkPlaceView(FWp.get(), &FHost, FBox.get());
        FBox->show();
        QVERIFY(QTest::qWaitForWindowExposed(FBox.get()));
    }
    void cleanup() {
        FBox.reset();
        FWp.reset();
        FSootv.Clear();
    }

    void viewsFollowTheWorkspace() {
        TRazem* a = AddRazem(*FWp, "XT0", {Row(4, "a")});
        TRazem* b = AddRazem(*FWp, "XT1", {Row(3, "b")});
        QCOMPARE(FView->ViewCount(), 2);
        QVERIFY(FView->ViewAt(0)->isVisible());
        QCOMPARE(FView->ViewOf(a)->pos(), QPoint(30, 25));
        FWp->Delete(0);
        QCOMPARE(FView->ViewCount(), 1);
        QCOMPARE(FView->ViewAt(0)->Razem(), b);
        // The content grows to hold a connector placed far away.
        b->SetBounds(900, 700);
        QVERIFY(FView->width() >= 900 + b->Width());
        QVERIFY(FView->height() >= 700 + b->Height());

        // A new project: a new view replaces the old one and shows what the workspace holds.
        QPointer<TWorkPlaceView> old = FView;
        auto wp2 = std::make_unique<TWorkPlace>();
        AddRazem(*wp2, "XT9", {Row(2, "c")});
        FView = new TWorkPlaceView(wp2.get(), &FHost, FBox.get());
        QVERIFY(old.isNull());
        QCOMPARE(FView->ViewCount(), 1);
        QCOMPARE(FView->ViewAt(0)->NameEdit()->text(), QStringLiteral("XT9"));
        // A workspace that goes first takes its views along.
        wp2.reset();
        QCOMPARE(FView->ViewCount(), 0);
    }

    void marksReachEveryConnectorAndAContactScrollsIntoSight() {
        TRazem* a = AddRazem(*FWp, "XT0", {Row(4, "a")});
        TContactMarks marks;
        FView->SetMarks(&marks);
        TRazem* b = AddRazem(*FWp, "XT1", {Row(6, "b"), Row(6, "c")}); // added afterwards
        marks.SetFaulty({{a->FIndex, 2, 0}, {b->FIndex, 5, 2}});
        const auto red = [](QWidget* w, const QRect& area) {
            const QImage img = w->grab(area).toImage();
            int n = 0;
            for (int x = 0; x < img.width(); ++x)
                for (int y = 0; y < img.height(); ++y)
                    n += QColor(img.pixel(x, y)) == QColor(255, 0, 0);
            return n;
        };
        TRazemView* va = FView->ViewOf(a);
        TRazemView* vb = FView->ViewOf(b);
        QVERIFY(red(va, va->CellRect(2, 1)) > 0);
        QVERIFY(red(vb, vb->CellRect(5, 3)) > 0);
        QCOMPARE(red(vb, vb->CellRect(5, 1)), 0);

        // Far down and right: the scroll box brings the contact into sight.
        b->SetBounds(1500, 1200);
        QCoreApplication::processEvents();
        QVERIFY(FView->ShowContact(b->FIndex, 5, 3));
        const QRect inContent = vb->ContactRect(5, 2).translated(vb->pos());
        const QRect visible(-FView->pos(), FBox->viewport()->size());
        QVERIFY2(visible.contains(inContent), qPrintable(QStringLiteral("%1,%2 not in %3,%4 %5x%6")
                                                             .arg(inContent.x())
                                                             .arg(inContent.y())
                                                             .arg(visible.x())
                                                             .arg(visible.y())
                                                             .arg(visible.width())
                                                             .arg(visible.height())));
        QVERIFY(!FView->ShowContact(b->FIndex, 6, 0)); // no such column
        QVERIFY(!FView->ShowContact(7, 0, 0));         // no such connector
    }

    void labelDragMovesTheConnector() {
        TRazem* a = AddRazem(*FWp, "XT0", {Row(4, "a")});
        TRazem* b = AddRazem(*FWp, "XT1", {Row(4, "b")});
        b->SetBounds(30, 200);
        FWp->Select(1);
        TRazemView* view = FView->ViewOf(a);
        XEdit* label = view->NameEdit();
        const QPoint start = label->pos();
        // A click on the label alone changes nothing of the project; a drag does.
        FWp->Modified = false;
        QTest::mouseClick(label, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!FWp->Modified);
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
        QVERIFY(!label->FRazemLeads);
        // Pointer places in the workspace's content.
        QTest::mouseMove(FView, start + QPoint(45, 25));
        QTest::mouseMove(FView, start + QPoint(105, 65));
        QCOMPARE(label->pos(), start + QPoint(100, 60));
        QCOMPARE(view->x(), label->x());
        QCOMPARE(view->y(), label->y() + label->height() + 5);
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(QPoint(a->Left(), a->Top()), QPoint(130, 85));
        QVERIFY(FWp->Modified);
        // The drag's end selects the connector: its label aqua, the other white.
        QCOMPARE(FWp->SelectedRazem, 0);
        QVERIFY(a->LabelSelected());
        QVERIFY(!b->LabelSelected());
        QVERIFY(label->FRazemLeads);

        // The label stays inside the visible workspace.
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::mouseMove(FView, QPoint(-400, -400));
        QCOMPARE(label->pos(), QPoint(0, 0));
        QCOMPARE(view->pos(), QPoint(0, 25));
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(5, 5));

        // Scrolling keeps the pair together; the stored places follow the visible area.
        b->SetBounds(1500, 1200);
        FBox->horizontalScrollBar()->setValue(40);
        FBox->verticalScrollBar()->setValue(30);
        QCOMPARE(QPoint(a->Left(), a->Top()), QPoint(-40, 25 - 30));
        QCOMPARE(view->pos(), QPoint(0, 25));
        QCOMPARE(label->pos(), QPoint(0, 0));
        // A connector placed by a command lands relative to the visible area, label along.
        a->SetBounds(30, 25);
        QCOMPARE(view->pos(), QPoint(70, 55));
        QCOMPARE(label->pos(), QPoint(70, 55 - 25));
    }

    void negativePlaceStaysReachable() {
        // A project saved while scrolled stores places left of and above the visible area.
        TRazem* a = AddRazem(*FWp, "XT0", {Row(4, "a")});
        a->SetBounds(-300, -200);
        TRazemView* view = FView->ViewOf(a);
        XEdit* label = view->NameEdit();
        QVERIFY(label->x() >= 0);
        QVERIFY(label->y() >= 0);
        QVERIFY(view->y() >= 0);
        // Nothing changed on screen or in the model: the content was extended and scrolled.
        QCOMPARE(QPoint(a->Left(), a->Top()), QPoint(-300, -200));
        QCOMPARE(view->mapTo(FBox->viewport(), QPoint(0, 0)), QPoint(-300, -200));
        // Scrolling to the start shows it.
        FBox->horizontalScrollBar()->setValue(0);
        FBox->verticalScrollBar()->setValue(0);
        QCOMPARE(label->mapTo(FBox->viewport(), QPoint(0, 0)), QPoint(0, 0));
        QCOMPARE(QPoint(a->Left(), a->Top()), QPoint(0, 25));
    }
};

QTEST_MAIN(TWorkPlaceViewTest)
#include "TWorkPlaceViewTest.moc"
