// SPDX-License-Identifier: GPL-3.0-or-later
// The harness check in the main window with the library's simulated unit: what each command
// asks for before it starts, the question before a reference is replaced, refused wire lists,
// the reference dialog, the tester's keys and controls while a check runs, cancelling, the
// progress, the sound and its setting, the panel's place, and the points where the records of
// tests join in.

#include "TCheckController.h"
#include "AppHelp.h"
#include "CheckWindowTestKit.h"
#include "MainWindowTestKit.h"
#include "TAppSettings.h"
#include "TCheckResultsPanel.h"
#include "TIniFile.h"
#include "TProperty.h"
#include "TUSBHardWork.h"
#include "TWireList.h"
#include "TfmReference.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeWidget>

namespace {

// One window on the simulated unit with the test project and a harness description.
struct TRun {
    TScript Script;
    QString Project;
    QString Harness;
    QString WiresFile; // what the wire list's open dialog answers
    QStringList WiresDirs;
    std::function<int(QDialog&)> OnDialog;
    int Beeps = 0;
    std::unique_ptr<TfmMain> Window;

    explicit TRun(const QByteArray& faults = QByteArray(), int replyUs = 0) {
        Project = Script.Dir.filePath(QStringLiteral("проект 1.pvl"));
        Harness = Script.Dir.filePath(QStringLiteral("жгут.json"));
        if (!WriteProject(Project) || !WriteHarness(Harness, faults))
            qFatal("cannot write the project");
        SetPace(replyUs);
    }
    ~TRun() { Window.reset(); }

    void SetPace(int replyUs) {
        TIniFile ini(Script.Dir.filePath(QStringLiteral("pinvel.ini")));
        ini.Load();
        ini.WriteInteger(QStringLiteral("Device"), QStringLiteral("SimReplyUs"), replyUs);
        if (!ini.Save())
            qFatal("cannot write the settings");
    }

    TfmMain& Open(bool openProject = true) {
        TfmMainOptions o = Script.Options();
        o.DeviceHarness = QFile::encodeName(Harness);
        o.Check.Beep = [this] { ++Beeps; };
        o.Check.ExecDialog = [this](QDialog& d) {
            return OnDialog ? OnDialog(d) : int(QDialog::Rejected);
        };
        o.Check.WiresDialog = [this](const QString& dir) {
            WiresDirs << dir;
            return WiresFile;
        };
        Window = std::make_unique<TfmMain>(o);
        if (!Window->Started() || !Window->IsTesterMode())
            qFatal("the window did not start in the tester mode");
        if (openProject)
            Window->LastFileClick(Project);
        return *Window;
    }
    TCheckController& Check() { return *Window->Check(); }
    QString Wires() const { return TWireList::PathFor(Project); }
    // Runs a command of the check and waits until the check it started is over.
    bool Done() {
        return QTest::qWaitFor([this] { return !Check().Busy(); }, 20000);
    }
    void Learn() {
        Check().Learn();
        if (!Done())
            qFatal("the learning did not end");
    }
};

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QString NoReference =
    QStringLiteral("Для этого проекта нет эталона. Снимите эталон с исправного жгута («Проверка "
                   "/ Снять эталон») или загрузите перечень проводов.");
const QString SaveFirst =
    QStringLiteral("Сначала сохраните проект: эталон хранится рядом с ним, в перечне проводов "
                   "ИМЯ.wires.csv. Сохранить проект можно в режиме «Редактор» (Файл / "
                   "Сохранить).");

} // namespace

class TCheckControllerTest : public QObject {
    Q_OBJECT
  private slots:
    void menuFollowsTheTesterMode() {
        TRun run;
        TfmMain& w = run.Open();
        TCheckController& check = run.Check();
        QMenu* menu = check.Menu();
        // Beside the other menus, in front of "Сервис".
        const QList<QAction*> bar = w.menuBar()->actions();
        QCOMPARE(bar.indexOf(menu->menuAction()) + 1, bar.indexOf(w.miService->menuAction()));
        QCOMPARE(menu->title(), QStringLiteral("Проверка"));
        QStringList items;
        for (QAction* a : menu->actions())
            if (!a->isSeparator())
                items << a->text() + QLatin1Char('|') + a->shortcut().toString();
        QCOMPARE(items,
                 (QStringList{"Снять эталон|Ctrl+E", "Загрузить перечень проводов...|Ctrl+I",
                              "Эталон...|Ctrl+R", "Утвердить эталон...|", "Проверить жгут|F5",
                              "Следить за перемежающимися обрывами|F6", "Сборка по эталону|F7",
                              "Найти зондом|F8", "Проверить адаптер|", "Результаты проверки|",
                              "Звуковой сигнал при браке|", "Журнал проверок...|Ctrl+J"}));
        QVERIFY(check.acWatch->isCheckable() && check.acSound->isCheckable());
        QVERIFY(menu->menuAction()->isVisible());
        for (QAction* a :
             {check.acLearn, check.acImport, check.acReference, check.acVerify, check.acWatch})
            QVERIFY2(a->isEnabled(), qPrintable(a->text()));

        // The editor mode has no check: the menu goes, its keys do nothing.
        w.acChangeModeExecute();
        QVERIFY(!menu->menuAction()->isVisible());
        for (QAction* a :
             {check.acLearn, check.acImport, check.acReference, check.acVerify, check.acWatch})
            QVERIFY2(!a->isEnabled(), qPrintable(a->text()));
        w.acChangeModeExecute();
        QVERIFY(menu->menuAction()->isVisible());
        QVERIFY(check.acVerify->isEnabled());
    }

    void learnWantsTheProjectSavedAndAsksBeforeReplacing() {
        TRun run;
        TfmMain& w = run.Open();
        TCheckController& check = run.Check();
        // A project never saved, then one with unsaved changes: nothing is measured.
        w.Property()->SetCurrentFile(QString());
        check.Learn();
        QCOMPARE(run.Script.Texts(), QStringList{SaveFirst});
        QVERIFY(!check.Busy());
        w.Property()->SetCurrentFile(run.Project);
        w.WorkPlace()->Modified = true;
        check.Learn();
        QCOMPARE(run.Script.Texts().size(), 2);
        QCOMPARE(run.Script.Texts().back(), SaveFirst);
        QVERIFY(!check.Busy() && !QFile::exists(run.Wires()));
        w.WorkPlace()->Modified = false;

        run.Learn();
        QCOMPARE(ReadFile(run.Wires()), GoodWires());
        QCOMPARE(run.Script.Messages.back().Kind, TMsgKind::Information);

        // A reference exists: learned, then what the new one changes in the check's words and
        // the question; No keeps the old list byte for byte.
        const QString head = QStringLiteral("Для этого проекта уже есть эталон:\r%1\r\r")
                                 .arg(QDir::toNativeSeparators(run.Wires()));
        const QString ask =
            QStringLiteral("\r\rЗаменить его эталоном, снятым с подключенного жгута?");
        const struct {
            QByteArray Old;
            QString Line;
        } cases[] = {
            // XT1:a7 wired to XT1:a1 in the old list only: an open.
            {GoodWires() + "XT1:a1,XT1:a7\r\n",
             "в новом эталоне: обрыв: XT1:a7 отсоединен от XT1:a1, XP2:a1"},
            // The old list lacks XT1:a2 — XP2:a2: a short.
            {QByteArray(GoodWires()).replace("XT1:a2,XP2:a2\n", ""),
             "в новом эталоне: замыкание: XT1:a2 — XP2:a2"},
            // XP2:a4 in XT1:a4's net in the old list: moved to XT1:a3's.
            {QByteArray(GoodWires()).replace("XT1:a3,XP2:a4\n", "XT1:a4,XP2:a4\n"),
             "в новом эталоне: перепутан: XP2:a4 отсоединен от XT1:a4, XP2:a5 и соединен с "
             "XT1:a3, XP2:a3"},
        };
        for (const auto& c : cases) {
            QVERIFY(WriteFile(run.Wires(), c.Old));
            run.Script.Messages.clear();
            run.Script.Answers = {TMsgAnswer::No};
            run.Learn();
            QCOMPARE(run.Script.Messages.size(), std::size_t(1));
            QCOMPARE(run.Script.Messages[0].Kind, TMsgKind::Question);
            QCOMPARE(run.Script.Messages[0].Text,
                     head + "Чем новый эталон отличается от прежнего (различий: 1):\r" + c.Line +
                         ask);
            QCOMPARE(ReadFile(run.Wires()), c.Old);
        }
        run.Script.Answers = {TMsgAnswer::Yes};
        run.Learn();
        QCOMPARE(ReadFile(run.Wires()), GoodWires());
        // The same harness again: no difference, said so, and still asked.
        run.Script.Messages.clear();
        run.Script.Answers = {TMsgAnswer::No};
        run.Learn();
        QCOMPARE(run.Script.Texts(),
                 QStringList{head + "Новый эталон не отличается от прежнего." + ask});
    }

    void foreignPotentialVoidsTheLearning() {
        TRun run(R"("foreign": ["X1:a7"])");
        run.Open();
        run.Learn();
        QVERIFY(!QFile::exists(run.Wires()));
        QCOMPARE(run.Script.Messages.back().Kind, TMsgKind::Warning);
        QCOMPARE(run.Script.Texts().back(),
                 QStringLiteral("Эталон не снят: эти контакты читают единицу, когда на них "
                                "ничего не подается.\rпосторонний потенциал: XT1:a7"));
        // The contact is marked where it is.
        QCOMPARE(run.Check().Marks().Faulty(), (QSet<TContactKey>{{0, 6, 0}}));
    }

    void verifyWantsAReferenceThatReads() {
        TRun run;
        run.Open();
        TCheckController& check = run.Check();
        QSignalSpy started(&check, &TCheckController::VerifyStarted);
        check.Verify();
        QCOMPARE(run.Script.Texts(), QStringList{NoReference});
        check.SetWatching(true);
        QVERIFY(!check.Busy());
        QVERIFY(!check.acWatch->isChecked()); // the watch did not start
        QCOMPARE(run.Script.Texts().size(), 2);
        // A list that no longer fits the project: its lines, and nothing measured.
        QVERIFY(WriteFile(run.Wires(), "from,to\nXT1:a1,XP2:a1\nXT1:a9,XP2:a2\nXT1:a2;XP2:a3\n"));
        check.Verify();
        const QString text = run.Script.Texts().back();
        QVERIFY2(text.contains(QStringLiteral("строка 3: в проекте нет контакта «XT1:a9»")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("строка 4: ожидаются два контакта через запятую")),
                 qPrintable(text));
        QVERIFY(text.endsWith(
            QStringLiteral("Снимите эталон заново или загрузите исправленный перечень проводов.")));
        QVERIFY(!check.Busy());
        QCOMPARE(started.count(), 0);
        QVERIFY(!check.Panel()->isVisibleTo(run.Window.get()));
    }

    void importTakesAListAndRefusesABadOneByItsLines() {
        TRun run;
        TfmMain& w = run.Open();
        TCheckController& check = run.Check();
        // Lines in any order, a BOM, CR LF, spaces: taken, and written in the program's form.
        run.WiresFile = run.Script.Dir.filePath(QStringLiteral("от изготовителя.csv"));
        QVERIFY(WriteFile(run.WiresFile, "\xEF\xBB\xBF"
                                         "from,to\r\nXT1:a6 , XP2:a7\r\nXT1:a1,XP2:a1\r\n\r\n"
                                         "XT1:a2,XP2:a2\r\nXT1:a3,XP2:a3\r\nXP2:a4,XT1:a3\r\n"
                                         "XT1:a4,XP2:a5\r\nXT1:a5,XP2:a6\r\n"));
        check.ImportWires();
        QCOMPARE(run.WiresDirs, QStringList{QFileInfo(run.Project).absolutePath()});
        QCOMPARE(ReadFile(run.Wires()), GoodWires());
        QCOMPARE(run.Script.Texts().back(),
                 QStringLiteral("Перечень проводов принят: цепей 9. Он записан как эталон "
                                "проекта:\r%1")
                     .arg(QDir::toNativeSeparators(run.Wires())));

        // A bad list: every problem by its line, the reference untouched, no question asked.
        QVERIFY(WriteFile(run.WiresFile, "from,to\nXT1:a1,XP2:a1\nXT1:a1,XT1:a9\n"
                                         "XT1:a2,XT1:a2\nоборвано\n"));
        run.Script.Messages.clear();
        check.ImportWires();
        QCOMPARE(run.Script.Messages.size(), std::size_t(1));
        QCOMPARE(run.Script.Messages[0].Kind, TMsgKind::Warning);
        const QStringList lines = run.Script.Messages[0].Text.split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0),
                 QStringLiteral("Список проводов «%1» не принят:").arg(run.WiresFile));
        QCOMPARE(lines.size(), 4);
        QVERIFY(lines[1].startsWith(QStringLiteral("строка 3: ")));
        QVERIFY(lines[2].startsWith(QStringLiteral("строка 4: ")));
        QVERIFY(lines[3].startsWith(QStringLiteral("строка 5: ")));
        QCOMPARE(ReadFile(run.Wires()), GoodWires());

        // A good list while a reference exists: what it changes and the question first; No
        // keeps the old one.
        QVERIFY(WriteFile(run.WiresFile, "from,to\nXT1:a1,XP2:a1\n"));
        run.Script.Answers = {TMsgAnswer::No};
        check.ImportWires();
        QCOMPARE(run.Script.Messages.back().Kind, TMsgKind::Question);
        const QStringList asked = run.Script.Messages.back().Text.split(QLatin1Char('\r'));
        QCOMPARE(asked.value(3), QStringLiteral("Чем новый эталон отличается от прежнего "
                                                "(различий: 6):"));
        QCOMPARE(asked.value(4),
                 QStringLiteral("в новом эталоне: обрыв: XP2:a2 отсоединен от XT1:a2"));
        QCOMPARE(asked.value(5),
                 QStringLiteral("в новом эталоне: обрыв: XP2:a3 отсоединен от XT1:a3"));
        QCOMPARE(asked.back(), QStringLiteral("Заменить его загруженным перечнем проводов?"));
        QCOMPARE(ReadFile(run.Wires()), GoodWires());
        run.Script.Answers = {TMsgAnswer::Yes};
        check.ImportWires();
        QCOMPARE(ReadFile(run.Wires()), QByteArray("from,to\nXT1:a1,XP2:a1\n"));
        // Cancelled in the dialog: nothing happens.
        run.WiresFile.clear();
        run.Script.Messages.clear();
        check.ImportWires();
        QVERIFY(run.Script.Messages.empty());
        // Not saved: said first, before any dialog.
        w.WorkPlace()->Modified = true;
        run.WiresDirs.clear();
        check.ImportWires();
        QCOMPARE(run.Script.Texts(), QStringList{SaveFirst});
        QVERIFY(run.WiresDirs.isEmpty());
    }

    void referenceDialogListsTheNetsWithTheirPins() {
        TRun run;
        run.Open();
        run.Learn();
        QStringList seen;
        int joined = 0;
        QString count;
        int help = -1;
        run.OnDialog = [&](QDialog& d) {
            auto* dialog = qobject_cast<TfmReference*>(&d);
            if (dialog == nullptr)
                return int(QDialog::Rejected);
            help = HelpContextOf(dialog->tvNets);
            count = dialog->lbCount->text();
            QTreeWidget* tree = dialog->tvNets;
            for (int n = 0; n < tree->topLevelItemCount(); ++n) {
                QTreeWidgetItem* net = tree->topLevelItem(n);
                QStringList contacts;
                for (int c = 0; c < net->childCount(); ++c)
                    contacts << net->child(c)->text(0) + QLatin1Char('=') + net->child(c)->text(1);
                seen << net->text(0) + QStringLiteral(": ") + contacts.join(QLatin1Char(' '));
                joined += net->childCount() > 1;
            }
            return int(QDialog::Accepted);
        };
        run.Check().ShowReference();
        QCOMPARE(help, HelpContext::Check);
        QCOMPARE(count, QStringLiteral("Цепей: 9, из них соединений: 6, одиночных выводов: 3"));
        QCOMPARE(seen, (QStringList{
                           "Цепь 1: XT1:a1=X1:a1 XP2:a1=X2:a1",
                           "Цепь 2: XT1:a2=X1:a2 XP2:a2=X2:a2",
                           "Цепь 3: XT1:a3=X1:a3 XP2:a3=X2:a3 XP2:a4=X2:a4",
                           "Цепь 4: XT1:a4=X1:a4 XP2:a5=X2:a5",
                           "Цепь 5: XT1:a5=X1:a5 XP2:a6=X2:a6",
                           "Цепь 6: XT1:a6=X1:a6 XP2:a7=X2:a7",
                           "Цепь 7: XT1:a7=X1:a7",
                           "Цепь 8: XT1:a8=X1:a8",
                           "Цепь 9: XP2:a8=X2:a8",
                       }));
        QCOMPARE(joined, 6);
        // Without a reference: said, and no dialog.
        QVERIFY(QFile::remove(run.Wires()));
        seen.clear();
        run.Check().ShowReference();
        QCOMPARE(run.Script.Texts().back(), NoReference);
        QVERIFY(seen.isEmpty());
    }

    void aCheckHasTheUnitToItselfAndEscCancelsIt() {
        // A slow unit (50 ms an answer): the learning takes about a second.
        TRun run(QByteArray(), 50000);
        TfmMain& w = run.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        TCheckController& check = run.Check();
        QSignalSpy states(&check, &TCheckController::StateChanged);
        check.Learn();
        QCOMPARE(check.State(), TCheckController::TState::Learning);
        QVERIFY(!w.rgZondWrite->isEnabled() && !w.gbRead->isEnabled());
        QVERIFY(!check.acVerify->isEnabled() && !check.acWatch->isEnabled());
        QVERIFY(check.lbProgress->isVisible() && check.pbProgress->isVisible());
        QCOMPARE(check.lbProgress->text(), QStringLiteral("Снятие эталона..."));
        QCOMPARE(check.pbProgress->maximum(), 17); // 16 points and the all-zero round trip
        QCOMPARE(check.btCancel->text(), QStringLiteral("Отмена"));
        QTRY_VERIFY_WITH_TIMEOUT(check.pbProgress->value() >= 2, 5000);
        // The tester's keys wait; Esc is the check's.
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_G);
        QCOMPARE(w.ZondWriteIndex(), 3);
        QVERIFY(!w.Property()->Cycle());
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w,
                        Qt::Key_Escape);
        QTRY_VERIFY_WITH_TIMEOUT(!check.Busy(), 5000);
        QVERIFY(check.Job() == nullptr);
        QVERIFY(!QFile::exists(run.Wires()));
        QVERIFY(run.Script.Messages.empty());
        QVERIFY(w.rgZondWrite->isEnabled() && w.gbRead->isEnabled());
        QVERIFY(!check.lbProgress->isVisible() && !check.btCancel->isVisible());
        QCOMPARE(states.count(), 2);
        // The worker is free again: the tester's passes go on.
        const std::uint64_t passes = w.Hard()->Passes();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w, Qt::Key_G);
        QCOMPARE(w.ZondWriteIndex(), 2);
        QTRY_VERIFY_WITH_TIMEOUT(w.Hard()->Passes() > passes + 2, 5000);
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &w,
                        Qt::Key_Escape);
        QVERIFY(!w.Property()->Cycle());

        // The cancel button does the same.
        QVERIFY(w.Hard()->WaitForRest(5000));
        check.Learn();
        QVERIFY(check.btCancel->isVisible());
        QTest::mouseClick(check.btCancel, Qt::LeftButton);
        QVERIFY(!check.btCancel->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!check.Busy(), 5000);
        QVERIFY(!QFile::exists(run.Wires()));
    }

    void marksGoWhenTheNextCheckStarts() {
        TRun run(R"("opens": ["X2:a2"])", 20000);
        TfmMain& w = run.Open();
        QVERIFY(WriteFile(run.Wires(), GoodWires()));
        TCheckController& check = run.Check();
        QSignalSpy finished(&check, &TCheckController::VerifyFinished);
        check.Verify();
        QVERIFY(check.Panel()->isVisibleTo(&w));
        QCOMPARE(check.Panel()->WhenLabel()->text(), QStringLiteral("Идет проверка..."));
        QVERIFY(run.Done());
        QCOMPARE(check.Panel()->Faults(),
                 QStringList{QStringLiteral("обрыв: XP2:a2 отсоединен от XT1:a2")});
        QCOMPARE(check.Marks().Faulty(), (QSet<TContactKey>{{0, 1, 0}, {1, 1, 0}}));
        QCOMPARE(run.Beeps, 1);
        QCOMPARE(finished.count(), 1);
        const TCheckResult result = finished[0][0].value<TCheckResult>();
        QCOMPARE(result.Faults.size(), std::size_t(1));
        QCOMPARE(result.Faults[0].Kind, TFaultKind::Open);
        check.Verify();
        QVERIFY(check.Busy());
        QVERIFY(check.Marks().IsEmpty());
        QCOMPARE(check.Panel()->Verdict(), QStringLiteral("…"));
        QVERIFY(run.Done());
        QCOMPARE(check.Marks().Faulty().size(), qsizetype(2));
        QCOMPARE(run.Beeps, 2);
        QCOMPARE(finished.count(), 2);
    }

    void theVerifyGateAndTheSound() {
        TRun run(R"("shorts": [["X1:a7", "X1:a8"]])");
        run.Open();
        QVERIFY(WriteFile(run.Wires(), GoodWires()));
        TCheckController& check = run.Check();
        QSignalSpy started(&check, &TCheckController::VerifyStarted);
        QSignalSpy finished(&check, &TCheckController::VerifyFinished);
        int asked = 0;
        check.SetVerifyGate([&](auto&&...) { return ++asked > 1; });
        check.Verify(); // the gate says no: nothing starts
        QCOMPARE(asked, 1);
        QVERIFY(!check.Busy());
        QCOMPARE(started.count(), 0);
        check.Verify();
        QCOMPARE(started.count(), 1);
        QVERIFY(run.Done());
        QCOMPARE(finished.count(), 1);
        QCOMPARE(check.Panel()->Faults(),
                 QStringList{QStringLiteral("замыкание: XT1:a7 — XT1:a8")});
        QCOMPARE(run.Beeps, 1);

        // The sound switched off stays off, in the settings file too.
        check.acSound->trigger();
        QVERIFY(!check.SoundOn());
        check.Verify();
        QVERIFY(run.Done());
        QCOMPARE(finished.count(), 2);
        QCOMPARE(run.Beeps, 1);
        run.Window.reset();
        TIniFile ini(run.Script.Dir.filePath(QStringLiteral("pinvel.ini")));
        QVERIFY(ini.Load());
        QCOMPARE(ini.ReadString(QStringLiteral("Check"), QStringLiteral("Sound"), QString()),
                 QStringLiteral("0"));
        TfmMain& again = run.Open();
        QVERIFY(!run.Check().acSound->isChecked());
        QVERIFY(again.Check()->Menu() != nullptr);
    }

    void theGateStandsBeforeTheWatchToo() {
        TRun run;
        run.Open();
        QVERIFY(WriteFile(run.Wires(), GoodWires()));
        TCheckController& check = run.Check();
        int asked = 0;
        check.SetVerifyGate([&](auto&&...) { return ++asked > 1; });
        check.acWatch->trigger(); // the gate says no: no watch
        QCOMPARE(asked, 1);
        QVERIFY(!check.Busy());
        QVERIFY(!check.acWatch->isChecked());
        check.acWatch->trigger();
        QCOMPARE(asked, 2);
        QCOMPARE(check.State(), TCheckController::TState::Watching);
        check.acWatch->trigger();
        QVERIFY(run.Done());
    }

    void watchLatchesEndsAndLeavesWithTheMode() {
        TRun run(R"("intermittent": [{"pin": "X1:a4", "dropMs": 5, "periodMs": 100}])");
        TfmMain& w = run.Open();
        QVERIFY(WriteFile(run.Wires(), GoodWires()));
        TCheckController& check = run.Check();
        QSignalSpy ended(&check, &TCheckController::WatchFinished);
        check.acWatch->trigger();
        QCOMPARE(check.State(), TCheckController::TState::Watching);
        QCOMPARE(check.btCancel->text(), QStringLiteral("Стоп"));
        QVERIFY(!check.pbProgress->isVisibleTo(&w));
        QTRY_VERIFY_WITH_TIMEOUT(!check.Panel()->Faults().isEmpty(), 10000);
        QCOMPARE(check.Panel()->Faults().front(),
                 QStringLiteral("обрыв: XP2:a5 отсоединен от XT1:a4"));
        QVERIFY(check.Panel()->WhenLabel()->text().startsWith(QStringLiteral("Слежение с ")));
        QVERIFY(check.lbProgress->text().startsWith(QStringLiteral("Слежение: проверок ")));
        QCOMPARE(run.Beeps, 1);
        // Switched off from the menu: it ends after the check under way.
        check.acWatch->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!check.Busy(), 5000);
        QCOMPARE(ended.count(), 1);
        QVERIFY(ended[0][1].toLongLong() > 0);
        QVERIFY(check.Panel()->WhenLabel()->text().contains(QStringLiteral(" — ")));
        QCOMPARE(check.Marks().Faulty(), (QSet<TContactKey>{{0, 3, 0}, {1, 4, 0}}));

        // "Стоп" in the status bar ends it the same way: its latched faults are its result.
        check.acWatch->trigger();
        QVERIFY(check.Busy());
        QTRY_VERIFY_WITH_TIMEOUT(!check.Panel()->Faults().isEmpty(), 10000);
        check.btCancel->click();
        QTRY_VERIFY_WITH_TIMEOUT(!check.Busy(), 5000);
        QCOMPARE(ended.count(), 2);
        QVERIFY(check.Panel()->WhenLabel()->text().contains(QStringLiteral(" — ")));
        QVERIFY(!check.Marks().IsEmpty());

        // Running again, then the editor mode: the watch ends at once with no results, the
        // marks go, the worker rests.
        check.acWatch->trigger();
        QVERIFY(check.Busy());
        w.acChangeModeExecute();
        QVERIFY(!w.IsTesterMode());
        QVERIFY(!check.Busy());
        QVERIFY(!check.acWatch->isChecked());
        QVERIFY(check.Marks().IsEmpty());
        QVERIFY(w.Hard()->WaitForRest(5000));
        QVERIFY(!w.Hard()->HasJob());
        QCOMPARE(ended.count(), 2);
        QCOMPARE(check.Panel()->WhenLabel()->text(), QStringLiteral("Проверка отменена"));
    }

    void watchPanelKeepsOneRowAFaultAndThePick() {
        TRun run(R"("intermittent": [{"pin": "X1:a4", "dropMs": 5, "periodMs": 50}])");
        run.Open();
        QVERIFY(WriteFile(run.Wires(), GoodWires()));
        TCheckController& check = run.Check();
        TCheckResultsPanel* panel = check.Panel();
        QTreeWidget* list = panel->FaultList();
        const int countColumn = int(TCheckResultsPanel::TColumn::Count);
        check.acWatch->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(list->topLevelItemCount() > 0, 10000);
        QTreeWidgetItem* row = list->topLevelItem(0);
        QSignalSpy picked(panel, &TCheckResultsPanel::FaultPicked);
        list->setCurrentItem(row);
        QCOMPARE(picked.count(), 1);
        const QSet<TContactKey> marked = check.Marks().Picked();
        QVERIFY(!marked.isEmpty());
        // The first row's count, read afresh each time (a row thrown away is never read).
        const auto count = [&] { return list->topLevelItem(0)->text(countColumn).toInt(); };
        const int seen = count();
        QVERIFY(seen >= 1);
        // Many refreshes later the fault has come back again and again.
        QTRY_VERIFY_WITH_TIMEOUT(count() >= seen + 5, 20000);
        // One row for each fault latched so far (a fault latched since the last refresh may be
        // missing at the end yet), its count never ahead of the watch's.
        const QStringList rows = panel->Faults();
        const std::vector<TLatchedFault> latched = check.Job()->Watch().Latched();
        QVERIFY(std::size_t(rows.size()) <= latched.size());
        for (qsizetype i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i], latched[std::size_t(i)].Fault.Text());
            QVERIFY(list->topLevelItem(int(i))->text(countColumn).toInt() <=
                    latched[std::size_t(i)].Count);
        }
        QCOMPARE(list->topLevelItem(0), row);
        QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem*>{row});
        QCOMPARE(picked.count(), 1); // never unpicked meanwhile
        QCOMPARE(check.Marks().Picked(), marked);
        check.acWatch->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!check.Busy(), 5000);
        QCOMPARE(list->topLevelItem(0), row);
        QCOMPARE(list->selectedItems(), QList<QTreeWidgetItem*>{row});
        QCOMPARE(panel->Faults().count(panel->Faults().front()), 1);
    }

    void anotherProjectEndsTheCheckAndItsResults() {
        TRun run(R"("opens": ["X2:a2"])");
        TfmMain& w = run.Open();
        QVERIFY(WriteFile(run.Wires(), GoodWires()));
        TCheckController& check = run.Check();
        check.Verify();
        QVERIFY(run.Done());
        QVERIFY(!check.Marks().IsEmpty());
        check.acWatch->trigger();
        QVERIFY(check.Busy());
        w.LastFileClick(run.Project);
        QVERIFY(!check.Busy());
        QVERIFY(check.Marks().IsEmpty());
        QVERIFY(check.Panel()->Faults().isEmpty());
        QCOMPARE(check.Panel()->WhenLabel()->text(), QStringLiteral("Проверок еще не было"));
        QVERIFY(w.IsTesterMode());
        // The new workspace's connectors draw the next check's marks.
        check.Verify();
        QVERIFY(run.Done());
        QCOMPARE(check.Marks().Faulty().size(), qsizetype(2));
        QVERIFY(w.Hard()->WaitForRest(5000));
    }

    void autonomousUnitIsNoCheck() {
        TRun run;
        TfmMain& w = run.Open();
        QVERIFY(WriteFile(run.Wires(), GoodWires()));
        QVERIFY(w.Hard()->WaitForRest(5000));
        w.Hard()->FAutonomous = true;
        run.Check().Verify();
        QVERIFY(!run.Check().Busy());
        QCOMPARE(run.Script.Texts().back(),
                 QStringLiteral("Блок диагностики работает автономно. Включите «Читать разъем» "
                                "или «Читать зонд» и повторите команду."));
        w.Hard()->FAutonomous = false;
    }

    void aWorkspaceWithoutTiesHasNothingToCheck() {
        TRun run;
        run.Open(false);
        for (QAction* command : {run.Check().acVerify, run.Check().acLearn}) {
            command->trigger();
            QVERIFY(!run.Check().Busy());
            QCOMPARE(run.Script.Texts().back(),
                     QStringLiteral("В проекте нет контактов, привязанных к выводам блока "
                                    "диагностики: проверять нечего."));
        }
    }

    void panelPlaceIsRememberedAndF1FindsItsPage() {
        TRun run(R"("opens": ["X2:a2"])");
        TfmMain& w = run.Open();
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(WriteFile(run.Wires(), GoodWires()));
        TCheckResultsPanel* panel = run.Check().Panel();
        QCOMPARE(HelpContextOf(panel->FaultList()), HelpContext::Check);
        QVERIFY(!panel->isVisible());
        QCOMPARE(w.dockWidgetArea(panel), Qt::BottomDockWidgetArea);
        const QSize design = w.minimumSize();
        w.resize(design);
        run.Check().Verify();
        QVERIFY(run.Done());
        QVERIFY(panel->isVisible());
        // The window grew to hold the panel below the workspace and the tester panel, none of
        // them squeezed below its own minimum.
        QTRY_VERIFY(w.height() > design.height());
        QTRY_VERIFY(w.centralWidget()->height() >= w.centralWidget()->minimumSizeHint().height());
        QVERIFY(w.minimumHeight() > design.height());
        w.addDockWidget(Qt::RightDockWidgetArea, panel);
        QVERIFY(w.close());
        run.Window.reset();

        TfmMain& again = run.Open();
        again.show();
        QVERIFY(QTest::qWaitForWindowExposed(&again));
        panel = run.Check().Panel();
        QVERIFY(!panel->isVisible()); // hidden until the first check
        run.Check().Verify();
        QVERIFY(run.Done());
        QVERIFY(panel->isVisible());
        QCOMPARE(again.dockWidgetArea(panel), Qt::RightDockWidgetArea);
        QTRY_VERIFY(again.width() >= again.centralWidget()->minimumSizeHint().width() +
                                         panel->minimumSizeHint().width());
        // Closed, the panel gives its room back: the window's minimum is its design again.
        panel->close();
        QTRY_COMPARE(again.minimumSize(), design);

        // A run without a check leaves the remembered place alone.
        run.Window.reset();
        run.Open().show();
        run.Window.reset();
        TfmMain& last = run.Open();
        last.show();
        QVERIFY(QTest::qWaitForWindowExposed(&last));
        run.Check().Verify();
        QVERIFY(run.Done());
        QCOMPARE(last.dockWidgetArea(run.Check().Panel()), Qt::RightDockWidgetArea);
    }
};

QTEST_MAIN(TCheckControllerTest)
#include "TCheckControllerTest.moc"
