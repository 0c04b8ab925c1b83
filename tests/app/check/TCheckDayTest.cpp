// SPDX-License-Identifier: GPL-3.0-or-later
// A technician checks harnesses with the real main window and the unit emulator over TCP: the
// project is opened, a good harness learnt as the reference, then the emulator comes back with
// a harness that has an open and a short; one verify names both in the results panel and marks
// their contacts on the connectors, Esc takes the marks away, and continuous verify latches a
// contact that drops out now and then. Before each check the serial number is scanned (typed
// and Enter, no mouse) into the window's prompt, and each check leaves its record.

#include "AppMessageBox.h"
#include "CheckWindowTestKit.h"
#include "TCheckController.h"
#include "TCheckResultsPanel.h"
#include "TProperty.h"
#include "TRazemView.h"
#include "TRecordsDatabase.h"
#include "TUSBHardWork.h"
#include "TUnitProcess.h"
#include "TWireList.h"
#include "TWorkPlaceView.h"
#include "TfmMain.h"
#include "TfmSerialPrompt.h"

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString RecoveryQuestion = QStringLiteral("Произошла ошибка при обращении к устройству.");

// Red pixels of a contact's button on screen.
int RedOnButton(TRazemView* view, int col) {
    const QImage image = view->grab(view->CellRect(col, 1)).toImage();
    int red = 0;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            red += QColor(image.pixel(x, y)) == QColor(255, 0, 0);
    return red;
}

// A key as the technician presses it: to the focused control of the active window.
void Press(QWidget* window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window;
    QTest::keyClick(target, key, modifiers);
}

// A barcode scanner at the prompt that comes before a check: it types the serial number and
// presses Enter into the prompt's focused field; an operator not yet known is typed the same
// way. (The offscreen platform does not make the prompt the active window, so the keys go to
// the prompt's own focus rather than the application's.)
void ScanAtThePrompt(const QString& serial, const QString& oper = QString()) {
    QTimer::singleShot(0, [serial, oper] {
        auto* prompt = qobject_cast<TfmSerialPrompt*>(QApplication::activeModalWidget());
        if (prompt == nullptr)
            return;
        QTest::keyClicks(prompt->focusWidget(), serial);
        QTest::keyClick(prompt->focusWidget(), Qt::Key_Return);
        if (!oper.isEmpty() && prompt->isVisible()) {
            QTest::keyClicks(prompt->focusWidget(), oper);
            QTest::keyClick(prompt->focusWidget(), Qt::Key_Return);
        }
        if (prompt->isVisible())
            prompt->reject(); // a failed scan must not leave the test waiting
    });
}

} // namespace

class TCheckDayTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void learnVerifyAndWatch();

  private:
    // The emulator again, on the same port, with another harness.
    void RestartUnit(const QByteArray& faults);
    QStringList Messages() const;
    // The contacts marked as faulty, by name.
    QStringList Marked();

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel check day XXXXXX")};
    QString FProject;
    std::unique_ptr<TUnitProcess> FUnit;
    int FPort = 0;
    std::unique_ptr<TfmMain> FWindow;
    std::vector<std::pair<QString, TMsgKind>> FMessages;
    int FBeeps = 0;
};

void TCheckDayTest::initTestCase() {
    QVERIFY(FDir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(FDir.filePath(QStringLiteral("data"))));
    FProject = FDir.filePath(QStringLiteral("жгут 7.pvl"));
    QVERIFY(WriteProject(FProject));
    RestartUnit(QByteArray());
    QVERIFY2(FPort > 0, "the unit emulator did not start");
    QVERIFY(WriteUnitSettings(FDir.filePath(QStringLiteral("pinvel.ini")), FPort));
    SetAppMessageBoxHook([this](const QString& text, TMsgKind kind) {
        FMessages.emplace_back(text, kind);
        // The emulator is back before each check that needs the recovery.
        return text.startsWith(RecoveryQuestion) ? TMsgAnswer::Yes : TMsgAnswer::Ok;
    });
}

void TCheckDayTest::cleanupTestCase() {
    FWindow.reset();
    SetAppMessageBoxHook({});
    FUnit.reset();
}

void TCheckDayTest::RestartUnit(const QByteArray& faults) {
    const QString harness = FDir.filePath(QStringLiteral("harness %1.json").arg(FPort));
    QVERIFY(WriteHarness(harness, faults));
    FUnit.reset();
    FUnit = std::make_unique<TUnitProcess>(
        qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-unit"),
        QStringList{QStringLiteral("--harness"), harness, QStringLiteral("--reply-us"),
                    QStringLiteral("0")});
    const int port = FUnit->Start(FPort);
    QVERIFY2(port > 0 && (FPort == 0 || port == FPort), "the unit emulator did not start");
    FPort = port;
}

QStringList TCheckDayTest::Messages() const {
    QStringList out;
    for (const auto& m : FMessages)
        out << m.first;
    return out;
}

QStringList TCheckDayTest::Marked() {
    QStringList out;
    TWorkPlace& wp = *FWindow->WorkPlace();
    for (const TContactKey& key : FWindow->Check()->Marks().Faulty())
        out << wp.Razem(key.Razem)->FRazName + QLatin1Char(':') +
                   wp.Razem(key.Razem)->ContactName(key.Col, key.Row);
    out.sort();
    return out;
}

void TCheckDayTest::learnVerifyAndWatch() {
    TfmMainOptions options;
    options.SettingsPath = FDir.filePath(QStringLiteral("pinvel.ini"));
    options.LibraryFolders = {qEnvironmentVariable("PINVEL_BIN_DIR")};
    options.FileDialog = [this](bool save, const QString&) { return save ? QString() : FProject; };
    options.Check.Beep = [this] { ++FBeeps; };
    FWindow = std::make_unique<TfmMain>(options);
    TfmMain& w = *FWindow;
    QVERIFY(w.Started());
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(w.IsTesterMode());
    TCheckController& check = *w.Check();
    TCheckResultsPanel& panel = *check.Panel();
    QVERIFY(check.Menu()->menuAction()->isVisible());
    QVERIFY(!panel.isVisible()); // until the first check

    // ---- Open the project (Ctrl+O) and learn the good harness (Ctrl+E). The probe drives 1
    // into the net of XT1:a2, yet the learning does not see it.
    Press(&w, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(w.Property()->CurrentFile(), FProject);
    QVERIFY(w.IsTesterMode());
    QCOMPARE(w.WorkPlace()->Count(), 2);
    Press(&w, Qt::Key_H);
    QCOMPARE(w.ZondWriteIndex(), 0);
    QTRY_COMPARE(TfmMain::LampColor(w.plZondIn_Ind), QColor(255, 0, 0)); // the probe reads 1
    Press(&w, Qt::Key_E, Qt::ControlModifier);
    const QString wires = FDir.filePath(QStringLiteral("жгут 7.wires.csv"));
    QCOMPARE(check.WiresPath(), wires);
    QTRY_VERIFY_WITH_TIMEOUT(
        Messages().contains(QStringLiteral("Эталон снят: цепей 9. Он записан в перечень "
                                           "проводов:\r%1")
                                .arg(QDir::toNativeSeparators(wires))),
        10000);
    QFile list(wires);
    QVERIFY(list.open(QIODevice::ReadOnly));
    QCOMPARE(list.readAll(), GoodWires());
    list.close();
    QCOMPARE(check.State(), TCheckController::TState::Idle);
    QCOMPARE(FBeeps, 0);

    // ---- The good harness verifies ГОДЕН with the tester's cycle running (a generator
    // contact), and the tester goes on afterwards as it was.
    TRazemView* xt1 = w.WorkPlaceView()->ViewAt(0);
    TRazemView* xp2 = w.WorkPlaceView()->ViewAt(1);
    QTest::mouseClick(xt1, Qt::RightButton, {}, xt1->CellRect(7, 1).center()); // XT1:a8
    QVERIFY(w.Property()->Cycle());
    ScanAtThePrompt(QStringLiteral("SN-0001"), QStringLiteral("Ivanov"));
    Press(&w, Qt::Key_F5);
    QTRY_COMPARE_WITH_TIMEOUT(panel.Verdict(), QStringLiteral("ГОДЕН"), 10000);
    // The prompt has gone; the main window takes the keys again (no window manager here).
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(panel.isVisible());
    QVERIFY(panel.Faults().isEmpty());
    QVERIFY(check.Marks().IsEmpty());
    QVERIFY(w.Property()->Cycle());
    QCOMPARE(w.ZondWriteIndex(), 0);
    QCOMPARE(w.WorkPlace()->Razem(0)->FCells[7][0].State.load(), TContactState::csGenerator);
    const std::uint64_t passes = w.Hard()->Passes();
    QTRY_VERIFY(w.Hard()->Passes() > passes + 10);
    // The tester's Esc: the generator and the cycle end, the probe goes off.
    Press(&w, Qt::Key_Escape);
    QVERIFY(!w.Property()->Cycle());
    QVERIFY(w.Hard()->WaitForRest(5000));

    // ---- A harness with an open (X2:a4 cut from its net) and a short (X1:a5 with X1:a6).
    RestartUnit(R"("opens": ["X2:a4"], "shorts": [["X1:a5", "X1:a6"]])");
    FMessages.clear();
    ScanAtThePrompt(QStringLiteral("SN-0002")); // the operator is remembered
    Press(&w, Qt::Key_F5);
    QTRY_COMPARE_WITH_TIMEOUT(panel.Verdict(), QStringLiteral("БРАК"), 20000);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    // The lost link went through the recovery, and the check went on after it.
    QVERIFY(Messages().contains(QStringLiteral("Соединение восстановлено!")));
    QCOMPARE(panel.Faults(),
             (QStringList{QStringLiteral("обрыв: XP2:a4 отсоединен от XT1:a3, XP2:a3"),
                          QStringLiteral("замыкание: XT1:a5, XP2:a6 — XT1:a6, XP2:a7")}));
    QVERIFY(panel.WhenLabel()->text().startsWith(QStringLiteral("Проверка: ")));
    QCOMPARE(panel.SummaryLabel()->text(), QStringLiteral("Неисправностей: 2"));
    QCOMPARE(FBeeps, 1);
    QCOMPARE(Marked(),
             (QStringList{"XP2:a3", "XP2:a4", "XP2:a6", "XP2:a7", "XT1:a3", "XT1:a5", "XT1:a6"}));
    // On screen: the faulty contacts carry the mark, the others keep their look.
    QVERIFY(RedOnButton(xp2, 3) > 20);
    QVERIFY(RedOnButton(xt1, 4) > 20);
    QCOMPARE(RedOnButton(xp2, 0), 0);
    QCOMPARE(RedOnButton(xt1, 1), 0);

    // Picking the open in the panel frames its contacts.
    QTreeWidget* faults = panel.FaultList();
    QTest::mouseClick(faults->viewport(), Qt::LeftButton, {},
                      faults->visualItemRect(faults->topLevelItem(0)).center());
    QCOMPARE(check.Marks().Picked().size(), qsizetype(3));
    QVERIFY(check.Marks().IsPicked(1, 3, 0)); // XP2:a4

    // Esc: the marks go.
    w.activateWindow();
    Press(&w, Qt::Key_Escape);
    QVERIFY(check.Marks().IsEmpty());
    QCOMPARE(RedOnButton(xp2, 3), 0);
    QCOMPARE(panel.Verdict(), QStringLiteral("БРАК")); // the results stay

    // ---- Continuous verify (F6) on a harness whose X2:a2 leaves its net for 5 ms every 200.
    RestartUnit(R"("intermittent": [{"pin": "X2:a2", "dropMs": 5, "periodMs": 200}])");
    ScanAtThePrompt(QStringLiteral("SN-0003"));
    Press(&w, Qt::Key_F6);
    QCOMPARE(check.State(), TCheckController::TState::Watching);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY(check.acWatch->isChecked());
    QTRY_VERIFY_WITH_TIMEOUT(!panel.Faults().isEmpty(), 20000);
    QCOMPARE(panel.Faults().front(), QStringLiteral("обрыв: XP2:a2 отсоединен от XT1:a2"));
    QCOMPARE(panel.Verdict(), QStringLiteral("БРАК"));
    QCOMPARE(Marked(), (QStringList{"XP2:a2", "XT1:a2"}));
    QCOMPARE(FBeeps, 2);
    // The count and the last time follow while the watch goes on.
    QTreeWidgetItem* latched = faults->topLevelItem(0);
    QTRY_VERIFY_WITH_TIMEOUT(latched->text(1).toInt() >= 2, 10000);
    QVERIFY(latched->text(3) > latched->text(2));
    // Esc ends the watch; the latched fault and its marks stay until the next Esc.
    Press(&w, Qt::Key_Escape);
    QTRY_COMPARE(check.State(), TCheckController::TState::Idle);
    QVERIFY(!check.acWatch->isChecked());
    QCOMPARE(panel.Faults().front(), QStringLiteral("обрыв: XP2:a2 отсоединен от XT1:a2"));
    QVERIFY(!check.Marks().IsEmpty());
    Press(&w, Qt::Key_Escape);
    QVERIFY(check.Marks().IsEmpty());
    QCOMPARE(RedOnButton(xp2, 1), 0);

    // Closing asks nothing.
    FMessages.clear();
    QVERIFY(w.close());
    QVERIFY(FMessages.empty());

    // Each check left its record, with the serial number scanned before it.
    FWindow.reset();
    TRecordsDatabase records(FDir.filePath(QStringLiteral("data/Pinvel/records.sqlite")));
    QVERIFY(records.Open());
    const std::vector<TTestRecord> all = records.LoadAll({}, nullptr, 10);
    QCOMPARE(all.size(), std::size_t(3));
    QFile learnt(wires);
    QVERIFY(learnt.open(QIODevice::ReadOnly));
    const QString sum = QString::fromLatin1(
        QCryptographicHash::hash(learnt.readAll(), QCryptographicHash::Sha256).toHex());
    for (const TTestRecord& r : all) {
        QCOMPARE(r.Operator, QStringLiteral("Ivanov"));
        QCOMPARE(r.ProjectPath, FProject);
        QCOMPARE(r.ReferenceSum, sum);
    }
    const TTestRecord& watch = all[0];
    const TTestRecord& faulty = all[1];
    const TTestRecord& good = all[2];
    QCOMPARE(good.Serial, QStringLiteral("SN-0001"));
    QVERIFY(good.Good && good.Mode == TTestRecord::TMode::Verify);
    QCOMPARE(faulty.Serial, QStringLiteral("SN-0002"));
    QCOMPARE(faulty.VerdictText(), QStringLiteral("БРАК"));
    QCOMPARE(faulty.Faults.size(), std::size_t(2));
    QCOMPARE(faulty.Faults[0].Fault.Text(),
             QStringLiteral("обрыв: XP2:a4 отсоединен от XT1:a3, XP2:a3"));
    QCOMPARE(watch.Serial, QStringLiteral("SN-0003"));
    QCOMPARE(watch.Mode, TTestRecord::TMode::Watch);
    QVERIFY(watch.Scans > 1);
    QCOMPARE(watch.Faults.at(0).Fault.Text(), QStringLiteral("обрыв: XP2:a2 отсоединен от XT1:a2"));
    QVERIFY(watch.Faults.at(0).Seen >= 2);
}

QTEST_MAIN(TCheckDayTest)
#include "TCheckDayTest.moc"
