// SPDX-License-Identifier: GPL-3.0-or-later
// Mouse events go through the window, as the user's do (implicit grab, context menu requests).
#define QTEST_QPA_MOUSE_HANDLING

#include "AppMessageBox.h"
#include "TPinGrid.h"
#include "TRazemView.h"
#include "TWorkPlaceView.h"
#include "TfmEdit.h"
#include "WorkspaceTestKit.h"
#include "XEdit.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTimer>
#include <functional>

using namespace testkit;

namespace {

const QString kTiedWarning = QStringLiteral(
    "Контакт с таким именем уже существует и задействован. Переименование невозможно.");

// Runs `act` on the rename window as soon as it is on screen.
void OnRenameWindow(std::function<void(TfmEdit*)> act) {
    auto* timer = new QTimer;
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        if (auto* dlg = qobject_cast<TfmEdit*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dlg);
        }
    });
    timer->start();
}

// Types text key by key, Cyrillic and symbols included.
void TypeText(QWidget* w, const QString& text) {
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(ch), Qt::NoModifier);
}

// Types a name into the rename window and confirms it with Enter.
void TypeName(const QString& name, QPoint* shownAt = nullptr, int* maxLength = nullptr) {
    OnRenameWindow([=](TfmEdit* dlg) {
        if (shownAt != nullptr)
            *shownAt = dlg->pos();
        if (maxLength != nullptr)
            *maxLength = dlg->edButName->maxLength();
        TypeText(dlg->edButName, name);
        QTest::keyClick(dlg->edButName, Qt::Key_Return);
    });
}

} // namespace

class TRazemInteractionTest : public QObject {
    Q_OBJECT
  private:
    TPinGrid FX1, FX2;
    std::unique_ptr<TSootv> FSootv;
    std::unique_ptr<QScrollArea> FBox;
    std::unique_ptr<TWorkPlace> FWp;
    std::unique_ptr<FakeHost> FHost;
    TWorkPlaceView* FView = nullptr;
    TRazem* FA = nullptr; // XT0: rows a1..a4, b1..b4
    TRazem* FB = nullptr; // XT1: row c1..c3
    QStringList FMessages;

    TRazemView* View(TRazem* r) { return FView->ViewOf(r); }
    QPoint Button(TRazem* r, int c, int recordRow) {
        return View(r)->CellRect(c, recordRow + 1).topLeft() + QPoint(6, 6);
    }
    void Click(TRazem* r, int c, int recordRow, Qt::MouseButton b = Qt::LeftButton,
               Qt::KeyboardModifiers keys = {}) {
        QTest::mouseClick(View(r), b, keys, Button(r, c, recordRow));
    }

  private slots:
    void init() {
        FMessages.clear();
        SetAppMessageBoxHook([this](const QString& text, TMsgKind kind) {
            FMessages << text;
            return kind == TMsgKind::Warning ? TMsgAnswer::Ok : TMsgAnswer::No;
        });
        FSootv = std::make_unique<TSootv>(&FX1, &FX2);
        FX1.Clear();
        FX2.Clear();
        FWp = std::make_unique<TWorkPlace>();
        FWp->FSootv = FSootv.get();
        FHost = std::make_unique<FakeHost>();
        FBox = std::make_unique<QScrollArea>();
        FBox->resize(700, 500);
        FView = new TWorkPlaceView(FWp.get(), FHost.get(), FBox.get());
        FA = AddRazem(*FWp, "XT0", {Row(4, "a"), Row(4, "b")});
        FB = AddRazem(*FWp, "XT1", {Row(3, "c")});
        FB->SetBounds(30, 250);
        FBox->show();
        QVERIFY(QTest::qWaitForWindowExposed(FBox.get()));
    }
    void cleanup() {
        FBox.reset();
        FWp.reset();
        FSootv.reset();
        SetAppMessageBoxHook({});
    }

    void shiftClickRenamesAndMarks() {
        FWp->FSootvShown = true;
        QPoint at;
        int maxLength = 0;
        TypeName("x9", &at, &maxLength);
        FWp->Modified = false;
        Click(FA, 1, 0, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(FA->ContactName(1, 0), QStringLiteral("x9"));
        QVERIFY(FWp->Modified); // closing now offers to save the new name
        QCOMPARE(at, View(FA)->mapToGlobal(Button(FA, 1, 0)));
        QCOMPARE(maxLength, 6);
        // The click goes on as a plain one: the contact is marked for the dialog.
        QCOMPARE(QPoint(FA->FMarkCol, FA->FMarkRow), QPoint(1, 0));
        QCOMPARE(FA->FCells[1][0].State.load(), TContactState::csMarked);
        QCOMPARE(FWp->SelectedRazem, 0);
        QVERIFY(FA->LabelSelected());
        // The next click anywhere frees it again.
        Click(FB, 0, 0);
        QCOMPARE(FA->FCells[1][0].State.load(), TContactState::csFree);
        QVERIFY(!FA->LabelSelected());
        QVERIFY(FMessages.isEmpty());

        // Escape leaves the name.
        OnRenameWindow([](TfmEdit* dlg) {
            QTest::keyClicks(dlg->edButName, "zz");
            QTest::keyClick(dlg->edButName, Qt::Key_Escape);
        });
        Click(FA, 2, 0, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(FA->ContactName(2, 0), QStringLiteral("a3"));
        // With the dialog open, a click on a tied contact shows its pin there.
        Tie(*FSootv, *FA, 1, 2, 2, 9, 3); // b2 -> X2, pin 9 of row a
        Click(FA, 1, 2);
        QCOMPARE(QPoint(FX2.CurrentCol(), FX2.CurrentRow()), QPoint(9, 3));
    }

    void duplicateRule() {
        Tie(*FSootv, *FA, 3, 0, 1, 5, 1); // a4 is tied
        // The name of another untied contact may be taken: two entries with that text.
        TypeName("a2");
        Click(FA, 0, 0, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(FA->ContactName(0, 0), QStringLiteral("a2"));
        QCOMPARE(FA->FNameList.count("a2"), 2);
        QVERIFY(FMessages.isEmpty());
        // A tied name may not: the warning, and nothing changes.
        TypeName("a4");
        Click(FA, 2, 0, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(FMessages, QStringList{kTiedWarning});
        QCOMPARE(FA->ContactName(2, 0), QStringLiteral("a3"));
        // Not even the tied contact's own name.
        TypeName("a4");
        Click(FA, 3, 0, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(FMessages.size(), 2);
        QCOMPARE(FSootv->Item(0).FNames[0], QStringLiteral("a4"));
        // Cyrillic is fine; a character the project file cannot hold is refused.
        TypeName(QStringLiteral("Ж1"));
        Click(FA, 1, 2, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(FA->ContactName(1, 2), QStringLiteral("Ж1"));
        TypeName(QStringLiteral("b☺"));
        Click(FA, 2, 2, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(FA->ContactName(2, 2), QStringLiteral("b3"));
        QCOMPARE(FMessages.size(), 3);
        QVERIFY(FMessages.last().contains(QStringLiteral("☺")));
    }

    void renamingATiedContactRenamesItsCorrespondence() {
        Tie(*FSootv, *FA, 0, 0, 1, 3, 1); // a1 -> X1, pin 3 of row c
        Tie(*FSootv, *FB, 1, 0, 1, 3, 1); // c2 on the same pin
        FWp->FillSootvGrids();
        FX2.SetCell(7, 2, "stale");
        QCOMPARE(FX1.Cell(3, 1), QStringLiteral("XT0:a1 | XT1:c2"));
        TypeName("k7");
        Click(FA, 0, 0, Qt::LeftButton, Qt::ShiftModifier);
        QCOMPARE(FSootv->Item(0).FNames[0], QStringLiteral("k7"));
        QVERIFY(FSootv->FindContact("k7", 0));
        QVERIFY(!FSootv->FindContact("a1", 0));
        QCOMPARE(FX1.Cell(3, 1), QStringLiteral("XT0:k7 | XT1:c2"));
        QCOMPARE(FX2.Cell(7, 2), QString());
        QCOMPARE(FA->FCells[0][0].State.load(), TContactState::csTied);
    }

    void testerLeftClickSwitchesTiedContacts() {
        Tie(*FSootv, *FA, 0, 0, 1, 1, 1);
        Tie(*FSootv, *FA, 1, 0, 1, 2, 1);
        FWp->SetTesterMode(true);
        Click(FA, 0, 0);
        QCOMPARE(FA->FCells[0][0].State.load(), TContactState::csFree);
        QCOMPARE(FHost->FResumes, 1);
        Click(FA, 0, 0);
        QCOMPARE(FA->FCells[0][0].State.load(), TContactState::csTied);
        QCOMPARE(FHost->FResumes, 2);
        // Not in a correspondence: nothing.
        Click(FA, 2, 0);
        QCOMPARE(FA->FCells[2][0].State.load(), TContactState::csFree);
        QCOMPARE(FHost->FResumes, 2);
        // A generator contact: nothing, not even a redraw.
        FA->FCells[1][0].State = TContactState::csGenerator;
        QSignalSpy redraws(FA, &TRazem::CellRedraw);
        Click(FA, 1, 0);
        QCOMPARE(FA->FCells[1][0].State.load(), TContactState::csGenerator);
        QCOMPARE(redraws.count(), 0);
        QCOMPARE(FHost->FResumes, 2);
    }

    void rightClickGivesAndTakesGeneratorSlots() {
        Tie(*FSootv, *FA, 0, 0, 1, 1, 1); // A = a1
        Tie(*FSootv, *FB, 2, 0, 1, 2, 1); // B = c3
        FWp->SetTesterMode(true);
        FHost->FReadRaz = false;
        Click(FA, 0, 0, Qt::RightButton);
        Click(FB, 2, 0, Qt::RightButton);
        const TContact& a = FA->FCells[0][0];
        const TContact& b = FB->FCells[2][0];
        QCOMPARE(a.State.load(), TContactState::csGenerator);
        QCOMPARE(b.State.load(), TContactState::csGenerator);
        QCOMPARE(a.GenIndex.load(), 0);
        QCOMPARE(b.GenIndex.load(), 1);
        QCOMPARE(a.IndColor.load(), Colors::clYellow);
        QCOMPARE(FHost->FGenerator.FLines(), 2);
        QVERIFY(FHost->FCycle);
        QVERIFY(!FHost->FMenu.isVisible()); // no menu in the tester mode

        Click(FA, 0, 0, Qt::RightButton);
        QCOMPARE(a.State.load(), TContactState::csTied);
        QCOMPARE(a.IndColor.load(), Colors::clRed);
        QCOMPARE(a.GenIndex.load(), -1);
        QCOMPARE(b.GenIndex.load(), 0);
        QCOMPARE(FHost->FGenerator.FLines(), 1);
        QVERIFY(FHost->FCycle);
        // A contact in no correspondence gets no generator.
        Click(FA, 3, 0, Qt::RightButton);
        QCOMPARE(FA->FCells[3][0].State.load(), TContactState::csFree);
        QCOMPARE(FHost->FGenerator.FLines(), 1);
    }

    void lastGeneratorAndTheCycle_data() {
        QTest::addColumn<int>("zondWrite");
        QTest::addColumn<bool>("cycleAfter");
        QTest::newRow("Gen keeps the cycle") << int(ZondWriteMode::Gen) << true;
        QTest::newRow("Hi stops it") << int(ZondWriteMode::Hi) << false;
        QTest::newRow("off stops it") << int(ZondWriteMode::Off) << false;
    }
    void lastGeneratorAndTheCycle() {
        QFETCH(int, zondWrite);
        QFETCH(bool, cycleAfter);
        Tie(*FSootv, *FA, 0, 0, 1, 1, 1);
        FWp->SetTesterMode(true);
        FHost->FZondWrite = zondWrite;
        Click(FA, 0, 0, Qt::RightButton);
        QVERIFY(FHost->FCycle);
        QCOMPARE(FA->FCells[0][0].IndColor.load(), Colors::clRed); // read: no yellow
        Click(FA, 0, 0, Qt::RightButton);
        QCOMPARE(FHost->FGenerator.FLines(), 0);
        QCOMPARE(FHost->FCycle, cycleAfter);
    }

    void contextMenuInTheEditorOnly() {
        Click(FA, 2, 2, Qt::RightButton);
        QCOMPARE(FWp->SelectedRazem, 0);
        QCOMPARE(QPoint(FA->FMarkCol, FA->FMarkRow), QPoint(2, 3)); // the clicked grid row
        QTRY_VERIFY(FHost->FMenu.isVisible());
        FHost->FMenu.hide();
        FWp->SetTesterMode(true);
        Click(FB, 0, 0, Qt::RightButton);
        QCOMPARE(FWp->SelectedRazem, 1);
        QTest::qWait(20);
        QVERIFY(!FHost->FMenu.isVisible());
    }
};

QTEST_MAIN(TRazemInteractionTest)
#include "TRazemInteractionTest.moc"
