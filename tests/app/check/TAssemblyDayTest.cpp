// SPDX-License-Identifier: GPL-3.0-or-later
// A technician builds a harness with the real main window at their side, the unit emulator's
// harness changed wire by wire through its control port: guided assembly (F7) ticks each wire,
// names a wire in the wrong cavity and one pulled out again, and ends in a verify with its
// record; the probe (F8) names the net it touches; the fixture's self-check names a short in the
// adapter by its pins.

#include "AppMessageBox.h"
#include "CheckWindowTestKit.h"
#include "TCheckController.h"
#include "TCheckResultsPanel.h"
#include "TControlClient.h"
#include "TGuidancePanel.h"
#include "TGuidedChecks.h"
#include "TProperty.h"
#include "TRazemView.h"
#include "TRecordsDatabase.h"
#include "TUSBHardWork.h"
#include "TUnitProcess.h"
#include "TWorkPlaceView.h"
#include "TfmMain.h"
#include "TfmSerialPrompt.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// Pixels of the guidance's blue ring over a contact.
int BlueAround(TRazemView* view, int col) {
    const QImage image = view->grab(view->ContactRect(col, 0)).toImage();
    int blue = 0;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y) {
            const QColor c(image.pixel(x, y));
            blue += c.blue() > 200 && c.red() < 80 && c.green() < 80;
        }
    return blue;
}

// A barcode scanner at the prompt the verify brings up once the last wire is in: it waits for
// the prompt, types the serial number and Enter, then the operator.
void ScanWhenPrompted(const QString& serial, const QString& oper) {
    auto* timer = new QTimer(qApp);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, serial, oper] {
        auto* prompt = qobject_cast<TfmSerialPrompt*>(QApplication::activeModalWidget());
        if (prompt == nullptr)
            return;
        timer->stop();
        timer->deleteLater();
        QTest::keyClicks(prompt->focusWidget(), serial);
        QTest::keyClick(prompt->focusWidget(), Qt::Key_Return);
        if (prompt->isVisible()) {
            QTest::keyClicks(prompt->focusWidget(), oper);
            QTest::keyClick(prompt->focusWidget(), Qt::Key_Return);
        }
        if (prompt->isVisible())
            prompt->reject();
    });
    timer->start();
}

// A key as the technician presses it: to the focused control of the window.
void Press(QWidget* window, Qt::Key key) {
    QWidget* target = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : window;
    QTest::keyClick(target, key);
}

} // namespace

class TAssemblyDayTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void assembleProbeAndFixture();

  private:
    QStringList Keys(const QSet<TContactKey>& keys) const;
    QString Say(const QString& line) { return FControl->Line(line); }

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel assembly XXXXXX")};
    QString FProject;
    std::unique_ptr<TUnitProcess> FUnit;
    std::unique_ptr<TControlClient> FControl;
    std::unique_ptr<TfmMain> FWindow;
    QStringList FMessages;
    int FBeeps = 0;
};

void TAssemblyDayTest::initTestCase() {
    QVERIFY(FDir.isValid());
    qputenv("XDG_DATA_HOME", QFile::encodeName(FDir.filePath(QStringLiteral("data"))));
    FProject = FDir.filePath(QStringLiteral("жгут 8.pvl"));
    QVERIFY(WriteProject(FProject));
    QFile wires(FDir.filePath(QStringLiteral("жгут 8.wires.csv")));
    QVERIFY(wires.open(QIODevice::WriteOnly));
    wires.write(GoodWires());
    wires.close();
    // No harness on the unit yet: the technician builds it.
    FUnit = std::make_unique<TUnitProcess>(
        qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-unit"),
        QStringList{"--reply-us", "0", "--control", "127.0.0.1:0"});
    const int port = FUnit->Start(0);
    QVERIFY2(port > 0, "the unit emulator did not start");
    const int control = FUnit->ControlPort();
    QVERIFY(control > 0);
    FControl = std::make_unique<TControlClient>(control);
    QVERIFY(FControl->Connected());
    QVERIFY(WriteUnitSettings(FDir.filePath(QStringLiteral("pinvel.ini")), port));
    SetAppMessageBoxHook([this](const QString& text, TMsgKind) {
        FMessages << text;
        return TMsgAnswer::Ok;
    });
}

void TAssemblyDayTest::cleanupTestCase() {
    FWindow.reset();
    SetAppMessageBoxHook({});
    FControl.reset();
    FUnit.reset();
}

QStringList TAssemblyDayTest::Keys(const QSet<TContactKey>& keys) const {
    QStringList out;
    TWorkPlace& wp = *FWindow->WorkPlace();
    for (const TContactKey& key : keys)
        out << wp.Razem(key.Razem)->FRazName + QLatin1Char(':') +
                   wp.Razem(key.Razem)->ContactName(key.Col, key.Row);
    out.sort();
    return out;
}

void TAssemblyDayTest::assembleProbeAndFixture() {
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
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(w.Property()->CurrentFile(), FProject);
    TCheckController& check = *w.Check();
    TGuidedChecks& guided = *check.Guided();
    guided.SetBeep([this] { ++FBeeps; });
    TGuidancePanel& panel = *guided.Panel();
    const QList<QAction*> menu = check.Menu()->actions();
    QVERIFY(menu.contains(guided.acAssembly) && menu.contains(guided.acProbe) &&
            menu.contains(guided.acFixture));

    // ---- F7: the first wire is asked for, its two contacts ringed on the connectors.
    Press(&w, Qt::Key_F7);
    QCOMPARE(guided.State(), TGuidedChecks::TState::Assembly);
    QVERIFY(guided.acAssembly->isChecked());
    QVERIFY(panel.isVisible());
    QCOMPARE(panel.WireList()->count(), 7);
    QTRY_COMPARE_WITH_TIMEOUT(panel.Line(),
                              QStringLiteral("Вставьте провод 1 из 7: XT1:a1 — XP2:a1"), 10000);
    QCOMPARE(Keys(check.Marks().Guided()), (QStringList{"XP2:a1", "XT1:a1"}));
    TRazemView* xt1 = w.WorkPlaceView()->ViewAt(0);
    QVERIFY(BlueAround(xt1, 0) > 10);
    QCOMPARE(BlueAround(xt1, 1), 0);

    QCOMPARE(Say("connect X1:a1 X2:a1"), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(panel.Line(),
                              QStringLiteral("Вставьте провод 2 из 7: XT1:a2 — XP2:a2"), 5000);
    QCOMPARE(FBeeps, 1);
    QCOMPARE(panel.WireList()->item(0)->checkState(), Qt::Checked);
    QCOMPARE(Keys(check.Marks().Guided()), (QStringList{"XP2:a2", "XT1:a2"}));

    // The second wire in the wrong cavity: named at once, both ends marked, no ring.
    QCOMPARE(Say("connect X1:a2 X2:a3"), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(
        panel.Line(), QStringLiteral("Неверно: XT1:a2 соединен с XP2:a3, а должен с XP2:a2"), 5000);
    QCOMPARE(Keys(check.Marks().Faulty()), (QStringList{"XP2:a3", "XT1:a2"}));
    QVERIFY(check.Marks().Guided().isEmpty());
    QCOMPARE(Say("disconnect X1:a2 X2:a3"), QStringLiteral("ok"));
    QCOMPARE(Say("connect X1:a2 X2:a2"), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(panel.Line(),
                              QStringLiteral("Вставьте провод 3 из 7: XT1:a3 — XP2:a3"), 5000);
    QVERIFY(check.Marks().Faulty().isEmpty());
    QCOMPARE(FBeeps, 2);

    // The first wire comes out again: un-ticked and named until it is back.
    QCOMPARE(Say("disconnect X2:a1 X1:a1"), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(panel.Line(), QStringLiteral("Провод 1 вынут: XT1:a1 — XP2:a1"),
                              5000);
    QCOMPARE(panel.WireList()->item(0)->checkState(), Qt::Unchecked);
    QCOMPARE(panel.TickedCount(), 1);
    QCOMPARE(Say("connect X1:a1 X2:a1"), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(panel.Line(),
                              QStringLiteral("Вставьте провод 3 из 7: XT1:a3 — XP2:a3"), 5000);

    const std::pair<const char*, const char*> steps[] = {
        {"X1:a3 X2:a3", "4 из 7: XT1:a3 — XP2:a4"},
        {"X1:a3 X2:a4", "5 из 7: XT1:a4 — XP2:a5"},
        {"X1:a4 X2:a5", "6 из 7: XT1:a5 — XP2:a6"},
        {"X1:a5 X2:a6", "7 из 7: XT1:a6 — XP2:a7"}};
    for (const auto& [wire, next] : steps) {
        QCOMPARE(Say(QStringLiteral("connect ") + QLatin1String(wire)), QStringLiteral("ok"));
        QTRY_COMPARE_WITH_TIMEOUT(
            panel.Line(), QStringLiteral("Вставьте провод ") + QString::fromUtf8(next), 5000);
    }
    // The last wire: the guidance ends and the verify follows, serial prompt and record.
    FMessages.clear();
    ScanWhenPrompted(QStringLiteral("SN-0100"), QStringLiteral("Petrov"));
    QCOMPARE(Say("connect X1:a6 X2:a7"), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(check.Panel()->Verdict(), QStringLiteral("ГОДЕН"), 10000);
    QCOMPARE(guided.State(), TGuidedChecks::TState::Idle);
    QVERIFY(!guided.acAssembly->isChecked());
    QVERIFY(check.Marks().Guided().isEmpty());
    QCOMPARE(FBeeps, 2 + 1 + 5);
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));

    // ---- F8: the probe names the net it touches, and follows it.
    QCOMPARE(Say("probe X2:a4"), QStringLiteral("ok"));
    Press(&w, Qt::Key_F8);
    QCOMPARE(guided.State(), TGuidedChecks::TState::Probe);
    QTRY_COMPARE_WITH_TIMEOUT(panel.Line(), QStringLiteral("Зонд: XT1:a3, XP2:a3, XP2:a4"), 5000);
    QCOMPARE(Keys(check.Marks().Picked()), (QStringList{"XP2:a3", "XP2:a4", "XT1:a3"}));
    QCOMPARE(Say("probe none"), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(panel.Line(), QStringLiteral("Зонд ни к чему не подключен"), 5000);
    QVERIFY(check.Marks().Picked().isEmpty());
    QCOMPARE(Say("probe X1:a8"), QStringLiteral("ok"));
    QTRY_COMPARE_WITH_TIMEOUT(panel.Line(), QStringLiteral("Зонд: XT1:a8"), 5000);
    // Esc ends it; the tester takes the keys again.
    Press(&w, Qt::Key_Escape);
    QTRY_COMPARE(guided.State(), TGuidedChecks::TState::Idle);
    QVERIFY(!panel.isVisible());
    QVERIFY(check.Marks().Picked().isEmpty());

    // ---- The fixture, the harness taken off and a short left in the adapter cable.
    QCOMPARE(Say("reset"), QStringLiteral("ok"));
    QCOMPARE(Say("connect X1:a7 X1:a8"), QStringLiteral("ok"));
    FMessages.clear();
    guided.acFixture->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!FMessages.isEmpty(), 5000);
    QCOMPARE(FMessages.front(),
             QStringLiteral("Неисправность адаптера (жгут должен быть отключен):\r"
                            "замкнуты выводы блока: X1:a7 (XT1:a7), X1:a8 (XT1:a8)"));
    QCOMPARE(Keys(check.Marks().Faulty()), (QStringList{"XT1:a7", "XT1:a8"}));
    QCOMPARE(guided.State(), TGuidedChecks::TState::Idle);

    // The verify at the end of the assembly left its record.
    FWindow.reset();
    TRecordsDatabase records(FDir.filePath(QStringLiteral("data/Pinvel/records.sqlite")));
    QVERIFY(records.Open());
    const std::vector<TTestRecord> all = records.LoadAll({}, nullptr, 10);
    QCOMPARE(all.size(), std::size_t(1));
    QCOMPARE(all[0].Serial, QStringLiteral("SN-0100"));
    QCOMPARE(all[0].Operator, QStringLiteral("Petrov"));
    QVERIFY(all[0].Good);
}

QTEST_MAIN(TAssemblyDayTest)
#include "TAssemblyDayTest.moc"
