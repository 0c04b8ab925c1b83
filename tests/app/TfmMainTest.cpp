// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmMain.h"
#include "AppHelp.h"
#include "AppMessageBox.h"
#include "TLastFiles.h"
#include "TProperty.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TStringGrid.h"
#include "TUSBHardWork.h"
#include "TWorkPlace.h"
#include "TfmConstr.h"
#include "WorkWithCOM.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <deque>

#include "MainWindowTestKit.h"

class TfmMainTest : public QObject {
    Q_OBJECT
  private slots:
    void startsInTesterModeWithTheUnit() {
        TScript s;
        TfmMain w(s.Options());
        QVERIFY(w.Started());
        QVERIFY(s.Messages.empty());
        QVERIFY(w.IsTesterMode());
        QCOMPARE(w.windowTitle(), QStringLiteral("Pinvel [Тестер]"));
        QVERIFY(w.plMenuTester->isVisibleTo(&w));
        QVERIFY(!w.plMenuEditor->isVisibleTo(&w));
        // F1 over each panel opens the page of its mode.
        QCOMPARE(HelpContextOf(w.cbReadRaz), HelpContext::Tester);
        QCOMPARE(HelpContextOf(w.btRazAdd), HelpContext::Editor);
        QVERIFY(w.N7->isEnabled());
        QVERIFY(!w.N8->isEnabled());
        QVERIFY(!w.acNew->isEnabled() && !w.acSave->isEnabled() && !w.acSaveAs->isEnabled());
        QVERIFY(w.acLoad->isEnabled());
        QCOMPARE(w.ZondWriteIndex(), 3);
        QCOMPARE(w.size(), QSize(822, 393 + w.menuBar()->sizeHint().height()));

        // Back to the editor and again.
        w.acChangeMode->trigger();
        QVERIFY(!w.IsTesterMode());
        QCOMPARE(w.windowTitle(), QStringLiteral("Pinvel [Редактор]"));
        QVERIFY(w.plMenuEditor->isVisibleTo(&w));
        QVERIFY(!w.N7->isEnabled() && w.N8->isEnabled());
        QVERIFY(w.acNew->isEnabled());
        w.N8->trigger();
        QVERIFY(w.IsTesterMode());
    }

    void missingLibraryShowsOnlyTheError() {
        TScript s;
        const QString ini = s.Dir.filePath(QStringLiteral("pinvel.ini"));
        {
            TfmMain w(s.Options(false));
            QVERIFY(!w.Started());
            QVERIFY(!w.isVisible());
            QCOMPARE(s.Texts(), QStringList{CheckRegistration(s.Options(false).LibraryFolders)});
            QCOMPARE(s.Messages.front().Kind, TMsgKind::Error);
            QVERIFY(
                s.Texts().front().contains(QStringLiteral("незарегистрирован или отсутствует.")));
            QVERIFY(w.WorkPlace() == nullptr && w.Property() == nullptr);
        }
        QVERIFY(!QFile::exists(ini));
    }

    void unitThatFailsLeavesAnEditor() {
        TScript s;
        TfmMainOptions o = s.Options();
        o.DeviceLink = QByteArray("tcp:127.0.0.1:1"); // nobody listens there
        o.DeviceReplyTimeoutMs = 200;
        {
            TfmMain w(o);
            QVERIFY(w.Started());
            // The general text, then the library's own reason, which names the link.
            QCOMPARE(s.Messages.size(), std::size_t(1));
            const QStringList parts = s.Messages.front().Text.split(QStringLiteral("\r\r"));
            QCOMPARE(parts.size(), 2);
            QCOMPARE(parts[0], QStringLiteral("Не удалось инициализировать устройство. Работа в "
                                              "режиме тестера невозможна!"));
            QVERIFY2(parts[1].contains(QStringLiteral("127.0.0.1:1")), qPrintable(parts[1]));
            QCOMPARE(s.Messages.front().Kind, TMsgKind::Warning);
            QVERIFY(!w.IsTesterMode());
            QVERIFY(!w.acChangeMode->isEnabled());
            QVERIFY(!w.N7->isEnabled() && !w.N8->isEnabled());
            QCOMPARE(w.windowTitle(), QStringLiteral("Pinvel"));
            QVERIFY(w.plMenuEditor->isVisibleTo(&w));
        }
        // A normal end writes the settings file.
        QVERIFY(QFile::exists(s.Dir.filePath(QStringLiteral("pinvel.ini"))));
    }

    void connectionCheckFromTheEditorStaysThere() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        w.N15->trigger();
        QTRY_VERIFY(!s.Messages.empty());
        QCOMPARE(s.Texts(),
                 QStringList{QStringLiteral("Устройство подключено и готово к работе!")});
        QCOMPARE(s.Messages[0].Kind, TMsgKind::Information);
        QVERIFY(!w.IsTesterMode());
        QVERIFY(w.plMenuEditor->isVisibleTo(&w));
        QVERIFY(w.acChangeMode->isEnabled());
        QVERIFY(w.N8->isEnabled() && !w.N7->isEnabled());
        w.N8->trigger();
        QVERIFY(w.IsTesterMode());
        QVERIFY(w.plMenuTester->isVisibleTo(&w));

        // The reboot asks first.
        s.Messages.clear();
        s.Answers = {TMsgAnswer::No};
        w.N16->trigger();
        QCOMPARE(s.Texts(), QStringList{QStringLiteral(
                                "Вы действительно хотите перезагрузить блок диагностики?")});
    }

    void testerPaintsTheOpenedProject() {
        TScript s;
        TfmMain w(s.Options());
        const QString demo = qEnvironmentVariable("PINVEL_TEST_DATA") + "/demo-harness.pvl";
        w.LastFileClick(demo);
        QVERIFY(s.Messages.empty());
        QVERIFY(w.IsTesterMode());
        TRazem& k = *w.WorkPlace()->Razem(0);
        QCOMPARE(w.Sootv()->Count(), 26);
        // Every tied contact is on: the unit reads level one back.
        QTRY_COMPARE(k.FCells[1][0].IndColor.load(), Colors::clRed);
        QCOMPARE(k.FCells[1][0].State.load(), TContactState::csTied);
        QTRY_COMPARE(TfmMain::LampColor(w.plZondOut_Ind), QColor(128, 128, 128));
        // Switched off, it reads zero.
        k.FCells[1][0].State = TContactState::csFree;
        w.ResumeWorker();
        QTRY_COMPARE(k.FCells[1][0].IndColor.load(), Colors::clGreen);
        // "Hi" on the probe: the output lamp turns red.
        w.SetZondWriteIndex(0);
        QTRY_COMPARE(TfmMain::LampColor(w.plZondOut_Ind), QColor(255, 0, 0));
    }

    void reopeningWhileCyclingNeverOverlapsAPass() {
        TScript s;
        TfmMain w(s.Options());
        const QString demo = qEnvironmentVariable("PINVEL_TEST_DATA") + "/demo-harness.pvl";
        w.LastFileClick(demo);
        std::vector<bool> resting;
        for (int round = 0; round < 5; ++round) {
            if (!w.Tester().Cycle)
                w.plCicleClick(); // the reading passed through the editor mode, which stops it
            const auto before = w.Hard()->Passes();
            QTRY_VERIFY(w.Hard()->Passes() > before + 20); // running flat out
            // The old workspace and table die while the worker rests, and no pass runs meanwhile.
            std::uint64_t passesAtRemoval = 0;
            connect(w.WorkPlace(), &TWorkPlace::RazemRemoving, this, [&] {
                resting.push_back(w.Hard()->IsResting());
                passesAtRemoval = w.Hard()->Passes();
            });
            connect(w.Sootv(), &QObject::destroyed, this, [&] {
                resting.push_back(w.Hard()->IsResting());
                QCOMPARE(w.Hard()->Passes(), passesAtRemoval);
            });
            w.LastFileClick(demo);
            QVERIFY(w.IsTesterMode());
            QCOMPARE(w.Sootv()->Count(), 26);
        }
        QCOMPARE(resting.size(), std::size_t(5 * 3)); // two connectors and the table each round
        QVERIFY(std::all_of(resting.begin(), resting.end(), [](bool r) { return r; }));
        QVERIFY(s.Messages.empty());
    }

    void declinedAutonomousModeRestoresTheReads() {
        TScript s;
        TfmMain w(s.Options());
        s.Answers = {TMsgAnswer::No};
        w.cbReadRaz->setChecked(false);
        w.cbReadZond->setChecked(false);
        QTRY_COMPARE(s.Messages.size(), std::size_t(1));
        QCOMPARE(s.Messages[0].Kind, TMsgKind::WarningQuestion);
        QVERIFY(s.Messages[0].Text.contains(QStringLiteral("автономной работы")));
        QTRY_VERIFY(w.cbReadRaz->isChecked() && w.cbReadZond->isChecked());
        QVERIFY(w.Property()->ReadRaz() && w.Property()->ReadZond());
        QVERIFY(w.rgZondWrite->isEnabled());
    }

    void workerMessagesShowInTheirKinds() {
        TScript s;
        TfmMain w(s.Options());
        s.Messages.clear();
        const struct {
            THardMessage Hard;
            TMsgKind Box;
            TMsgAnswer Answer;
            bool Result;
        } cases[] = {
            {THardMessage::Information, TMsgKind::Information, TMsgAnswer::Ok, true},
            {THardMessage::Warning, TMsgKind::Warning, TMsgAnswer::Ok, true},
            {THardMessage::Stop, TMsgKind::Error, TMsgAnswer::Ok, true},
            {THardMessage::WarningQuestion, TMsgKind::WarningQuestion, TMsgAnswer::No, false},
            // The recovery question asks without an icon.
            {THardMessage::PlainQuestion, TMsgKind::PlainQuestion, TMsgAnswer::Yes, true},
            {THardMessage::PlainQuestion, TMsgKind::PlainQuestion, TMsgAnswer::No, false},
        };
        for (const auto& c : cases) {
            s.Answers = {c.Answer};
            QCOMPARE(w.ShowMessage(QStringLiteral("Текст"), c.Hard), c.Result);
            QCOMPARE(s.Messages.back().Kind, c.Box);
        }
        QCOMPARE(s.Messages.size(), std::size(cases));
    }

    void keysDriveTheProbe() {
        TScript s;
        TfmMain w(s.Options());
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.cbReadRaz->setFocus();
        TProperty& p = *w.Property();

        PressKey(Qt::Key_G, QStringLiteral("g"));
        QCOMPARE(w.ZondWriteIndex(), 2);
        QVERIFY(p.Cycle());
        QCOMPARE(w.plCicle->frameShadow(), QFrame::Sunken);

        PressKey(Qt::Key_H, QStringLiteral("h"));
        QCOMPARE(w.ZondWriteIndex(), 0);
        QVERIFY(!p.Cycle()); // no generator contact: the cycle ends
        QCOMPARE(w.plCicle->frameShadow(), QFrame::Raised);

        // The Russian layout: Д sits on L, П on G.
        PressKey(0x0414, QStringLiteral("д"));
        QCOMPARE(w.ZondWriteIndex(), 1);
        PressKey(0x041F, QStringLiteral("п"));
        QCOMPARE(w.ZondWriteIndex(), 2);
        QCOMPARE(w.Tester().ZondWrite.load(), 2);

        // Esc with the cycle on: the probe goes off and the cycle ends.
        QVERIFY(p.Cycle());
        PressKey(Qt::Key_Escape);
        QCOMPARE(w.ZondWriteIndex(), 3);
        QVERIFY(!p.Cycle());

        // The cycle panel toggles.
        QTest::mouseClick(w.plCicle, Qt::LeftButton);
        QVERIFY(p.Cycle());
        QTest::mouseClick(w.plCicle, Qt::LeftButton);
        QVERIFY(!p.Cycle());

        // The editor mode ignores the keys.
        w.acChangeMode->trigger();
        PressKey(Qt::Key_G, QStringLiteral("g"));
        QCOMPARE(w.ZondWriteIndex(), 3);
        QVERIFY(!p.Cycle());
    }

    void readBoxesRestoreTheProbeChoice() {
        TScript s;
        TfmMain w(s.Options());
        w.SetZondWriteIndex(0);
        QList<int> seen;
        connect(w.rgZondWriteItems, &QButtonGroup::idToggled, this, [&](int id, bool on) {
            if (on)
                seen << id;
        });
        w.cbReadRaz->setChecked(false);
        QVERIFY(!w.Property()->ReadRaz());
        QCOMPARE(seen, (QList<int>{3, 0}));
        QCOMPARE(w.ZondWriteIndex(), 0);
        seen.clear();
        w.cbReadZond->click();
        QVERIFY(!w.Property()->ReadZond());
        QCOMPARE(seen, (QList<int>{3, 0}));
        QCOMPARE(w.ZondWriteIndex(), 0);
        w.cbReadRaz->setChecked(true);
        QVERIFY(w.Property()->ReadRaz());
        QCOMPARE(w.ZondWriteIndex(), 0);
    }

    void addPlacesConnectorsApart() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(2, 3);
        for (int i = 0; i < 3; ++i)
            w.acRazAdd->trigger();
        TWorkPlace& wp = *w.WorkPlace();
        QCOMPARE(wp.Count(), 3);
        const QPoint expected[] = {{30, 25}, {50, 45}, {70, 65}};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(QPoint(wp.Razem(i)->Left(), wp.Razem(i)->Top()), expected[i]);
            QCOMPARE(wp.Razem(i)->FRazName, QStringLiteral("XT%1").arg(i));
        }
        const TRazem& k = *wp.Razem(0);
        QCOMPARE(k.RowCount(), 4);
        QCOMPARE(int(k.FRows.size()), 2);
        QCOMPARE(k.ColumnsNeeded(), 3);
        QCOMPARE(k.ContactName(0, 2), QStringLiteral("b1"));
        QCOMPARE(k.FCells[1][0].State.load(), TContactState::csFree);
        QVERIFY(wp.Modified); // the constructor's OK

        // Cancel adds nothing.
        s.Constr = [](TfmConstr&) { return int(QDialog::Rejected); };
        w.acRazAdd->trigger();
        QCOMPARE(wp.Count(), 3);

        // A connector at the same left, far below, still moves the new one right.
        wp.Razem(2)->SetBounds(70, 100);
        s.Constr = Connector(1, 1);
        w.acRazAdd->trigger();
        QCOMPARE(QPoint(wp.Razem(3)->Left(), wp.Razem(3)->Top()), QPoint(90, 65));
    }

    void deleteAsksThenNeedsASelection() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(1, 2);
        w.acRazAdd->trigger();
        w.acRazAdd->trigger();
        TWorkPlace& wp = *w.WorkPlace();

        s.Answers = {TMsgAnswer::Yes};
        w.acRazDelete->trigger();
        QCOMPARE(s.Texts(), (QStringList{QStringLiteral("Вы действительно хотите удалить разъем?"),
                                         QStringLiteral("Разъем не выбран!")}));
        QCOMPARE(s.Messages[1].Kind, TMsgKind::Information);
        QCOMPARE(wp.Count(), 2);

        s.Messages.clear();
        wp.Select(0);
        s.Answers = {TMsgAnswer::No};
        w.acRazDelete->trigger();
        QCOMPARE(wp.Count(), 2);
        s.Answers = {TMsgAnswer::Yes};
        wp.Modified = false;
        w.acRazDelete->trigger();
        QCOMPARE(wp.Count(), 1);
        QVERIFY(wp.Modified); // closing now offers to save
        QCOMPARE(wp.Razem(0)->FRazName, QStringLiteral("XT1"));
        QCOMPARE(wp.Razem(0)->FIndex, 0);
        QCOMPARE(wp.SelectedRazem, -1);
        QCOMPARE(s.Messages.size(), std::size_t(2)); // the two questions only
    }

    void editRebuildsNamesFromTheRows() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(1, 3);
        w.acRazAdd->trigger();
        TWorkPlace& wp = *w.WorkPlace();
        TRazem& k = *wp.Razem(0);
        // A name given by hand.
        k.FNameList[k.FCells[1][0].NameIndex] = QStringLiteral("GND");
        QCOMPARE(k.ContactName(1, 0), QStringLiteral("GND"));

        // Nothing without a selection; nothing after No at the warning.
        w.acRazEdit->trigger();
        QCOMPARE(s.Dialogs, 1);
        wp.Select(0);
        s.Constr = FirstRowCount(4);
        s.Answers = {TMsgAnswer::No};
        w.acRazEdit->trigger();
        QCOMPARE(k.ColCount(), 3);
        QCOMPARE(s.Messages.back().Kind, TMsgKind::WarningQuestion);
        QCOMPARE(s.Messages.back().Text,
                 QStringLiteral("Внимание!\rПрименение параметров переименует контакты в "
                                "соответствии с таблицей! Продолжить?"));

        s.Answers = {TMsgAnswer::Yes};
        w.acRazEdit->trigger();
        QCOMPARE(k.ColCount(), 4);
        QCOMPARE(k.FRazName, QStringLiteral("XT0"));
        for (int c = 0; c < 4; ++c)
            QCOMPARE(k.ContactName(c, 0), QStringLiteral("a%1").arg(c + 1));
    }

    // Ties of contacts that a smaller connector no longer has go with them: saved, they would
    // name cells outside the connector and the project could not be read again.
    void shrinkingAConnectorDropsItsTiesOutside() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(1, 4);
        w.acRazAdd->trigger();
        TWorkPlace& wp = *w.WorkPlace();
        TRazem& k = *wp.Razem(0);
        for (int c : {0, 3}) {
            auto rec = std::make_unique<TSootvData>();
            rec->FCol = c + 1;
            rec->FRow = 1;
            rec->FGrid = 1;
            rec->FPin = std::uint16_t(TSootv::PinCode(1, c + 1, 1));
            rec->AddName(k.ContactName(c, 0));
            rec->AddContact({c, 0}, 0);
            w.Sootv()->Add(std::move(rec));
            k.FCells[std::size_t(c)][0].State = TContactState::csTied;
        }
        wp.Select(0);
        s.Constr = FirstRowCount(2);
        s.Answers = {TMsgAnswer::Yes};
        w.acRazEdit->trigger();
        QCOMPARE(k.ColCount(), 2);
        QCOMPARE(w.Sootv()->Count(), 1);
        QCOMPARE(w.Sootv()->Item(0).FNames[0], QStringLiteral("a1"));
        QCOMPARE(k.FCells[0][0].State.load(), TContactState::csTied);

        const QString path = s.Dir.filePath(QStringLiteral("shrunk.pvl"));
        s.Files = {path};
        w.acSave->trigger();
        s.Messages.clear();
        s.Files = {path};
        w.acLoad->trigger();
        QVERIFY2(s.Messages.empty(), qPrintable(s.Texts().join(QLatin1Char('\n'))));
        QCOMPARE(w.WorkPlace()->Count(), 1);
        QCOMPARE(w.Sootv()->Count(), 1);
    }

    void recolourChangesTheButton() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(2, 2);
        w.acRazAdd->trigger();
        TRazem& k = *w.WorkPlace()->Razem(0);
        w.WorkPlace()->Select(0);
        k.FMarkCol = 1;
        k.FMarkRow = 3; // the button row of contact row 1
        QSignalSpy redraw(&k, &TRazem::CellRedraw);

        s.Color.reset(); // Cancel
        w.N13->trigger();
        QCOMPARE(k.FCells[1][2].ButtColor, Colors::clBtnFace);
        QCOMPARE(redraw.count(), 0);

        s.Color = QColor(0x12, 0x34, 0x56);
        w.WorkPlace()->Modified = false;
        w.N13->trigger();
        QCOMPARE(k.FCells[1][2].ButtColor, TColor(0x00563412));
        QVERIFY(w.WorkPlace()->Modified);
        QCOMPARE(redraw.count(), 1);
        QCOMPARE(redraw.front(), (QList<QVariant>{1, 3}));
        // The indicator row of the same contact names the same record.
        k.FMarkRow = 2;
        s.Color = QColor(Qt::red);
        w.N13->trigger();
        QCOMPARE(k.FCells[1][2].ButtColor, Colors::clRed);
    }
    void newWithoutChangesAsksNothing() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        QVERIFY(!w.WorkPlace()->Modified);
        s.Constr = Connector(1, 2);
        w.acNew->trigger();
        QVERIFY(s.Messages.empty());
        QCOMPARE(s.Dialogs, 1); // the constructor opened at once
        QCOMPARE(w.WorkPlace()->Count(), 1);
        QCOMPARE(w.windowTitle(), QStringLiteral("Pinvel [Редактор]"));
    }

    // Nothing on the workspace, nothing to lose: New, Open, a recent project and closing go on
    // without the save question, changed mark or not.
    void emptyWorkspaceAsksNoSaveQuestion() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(1, 2);
        w.acRazAdd->trigger();
        w.WorkPlace()->Select(0);
        s.Answers = {TMsgAnswer::Yes};
        w.acRazDelete->trigger();
        QCOMPARE(w.WorkPlace()->Count(), 0);
        QVERIFY(w.WorkPlace()->Modified);
        s.Messages.clear();
        // Any question now would be answered Cancel and stop the command.
        s.Answers = {TMsgAnswer::Cancel, TMsgAnswer::Cancel, TMsgAnswer::Cancel};

        s.Constr = [](TfmConstr&) { return int(QDialog::Rejected); };
        const int dialogs = s.Dialogs;
        w.acNew->trigger();
        QCOMPARE(s.Dialogs, dialogs + 1); // straight on to the constructor
        w.WorkPlace()->Modified = true;
        w.acLoad->trigger();
        QCOMPARE(s.FileDialogs.size(), std::size_t(1));
        w.WorkPlace()->Modified = true;
        const QString demo = qEnvironmentVariable("PINVEL_TEST_DATA") + "/demo-harness.pvl";
        w.LastFileClick(demo);
        QCOMPARE(w.Property()->CurrentFile(), demo);
        QVERIFY2(s.Messages.empty(), qPrintable(s.Texts().join(QLatin1Char('\n'))));

        w.WorkPlace()->Modified = false; // nothing changed in the project just read
        w.acNew->trigger();
        QCOMPARE(w.WorkPlace()->Count(), 0);
        w.WorkPlace()->Modified = true;
        QVERIFY(w.close());
        QVERIFY2(s.Messages.empty(), qPrintable(s.Texts().join(QLatin1Char('\n'))));
    }

    // Paths with characters Windows-1251 lacks are remembered exactly in the settings file: the
    // recent project opens and both dialogs start in its folder after a restart.
    void foldersOutsideTheCodePageSurviveARestart() {
        TScript s;
        const QString folder = s.Dir.filePath(QStringLiteral("jürgen 漢字"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/жгут ü.pvl");
        {
            TfmMain w(s.Options());
            w.acChangeMode->trigger();
            s.Constr = Connector(1, 2);
            w.acRazAdd->trigger();
            s.Files = {path};
            w.acSaveAs->trigger();
            QVERIFY(QFile::exists(path));
            w.LastFileClick(path);
            QVERIFY2(s.Messages.empty(), qPrintable(s.Texts().join(QLatin1Char('\n'))));
            QCOMPARE(w.Property()->OpenDir(), folder + QLatin1Char('/'));
            QCOMPARE(w.Property()->SaveDir(), folder + QLatin1Char('/'));
        }
        QFile ini(s.Dir.filePath(QStringLiteral("pinvel.ini")));
        QVERIFY(ini.open(QIODevice::ReadOnly));
        const QByteArray text = ini.readAll();
        const QByteArray escaped =
            "utf8:" + QFile::encodeName(s.Dir.path()) + "/j%C3%BCrgen %E6%BC%A2%E5%AD%97/";
        QVERIFY2(text.contains("OpenDir=" + escaped + "\r\n"), text.constData());
        QVERIFY2(text.contains("File_0=" + escaped + "\xE6\xE3\xF3\xF2 %C3%BC.pvl\r\n"),
                 text.constData());

        TfmMain w(s.Options());
        QCOMPARE(w.Property()->OpenDir(), folder + QLatin1Char('/'));
        QCOMPARE(w.Property()->SaveDir(), folder + QLatin1Char('/'));
        QCOMPARE(w.Property()->LastFiles().Files(), QStringList{path});
        s.FileDialogs.clear();
        w.acLoad->trigger(); // cancelled
        QCOMPARE(s.FileDialogs.back(), std::make_pair(false, folder + QLatin1Char('/')));
        w.miLastFiles->actions().at(0)->trigger();
        QVERIFY2(s.Messages.empty(), qPrintable(s.Texts().join(QLatin1Char('\n'))));
        QCOMPARE(w.Property()->CurrentFile(), path);
        QCOMPARE(w.WorkPlace()->Count(), 1);
        QVERIFY(!w.IsTesterMode());
        w.acSaveAs->trigger(); // cancelled
        QCOMPARE(s.FileDialogs.back(), std::make_pair(true, folder + QLatin1Char('/')));
    }

    void openCancelledFromTesterLeavesAnEmptyEditor() {
        TScript s;
        TfmMain w(s.Options());
        QVERIFY(w.IsTesterMode());
        w.acLoad->trigger();
        QCOMPARE(s.FileDialogs.size(), std::size_t(1));
        QCOMPARE(s.FileDialogs[0].first, false);
        QCOMPARE(s.FileDialogs[0].second, w.Property()->OpenDir());
        QVERIFY(!w.IsTesterMode());
        QCOMPARE(w.WorkPlace()->Count(), 0);
        QCOMPARE(w.windowTitle(), QStringLiteral("Pinvel [Редактор]"));
        QVERIFY(w.plMenuEditor->isVisibleTo(&w));
        QVERIFY(s.Messages.empty());
    }

    void saveWithoutFileAddsTheExtension() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(2, 3);
        w.acRazAdd->trigger();
        QVERIFY(w.WorkPlace()->Modified);
        const QString saveDir = w.Property()->SaveDir();
        const QString typed = s.Dir.filePath(QStringLiteral("my harness"));
        s.Files = {typed};
        w.acSave->trigger();
        const QString path = typed + QStringLiteral(".pvl");
        QVERIFY(QFile::exists(path));
        QCOMPARE(s.FileDialogs.back(), std::make_pair(true, saveDir));
        QCOMPARE(w.Property()->CurrentFile(), path);
        QCOMPARE(w.Property()->SaveDir(), s.Dir.path() + QLatin1Char('/'));
        QCOMPARE(w.Property()->LastFiles().Files().value(0), path);
        QCOMPARE(w.windowTitle(), QStringLiteral("Pinvel - %1 [Редактор]").arg(path));
        QVERIFY(!w.WorkPlace()->Modified);

        // Save again writes the same file without a dialog; closing then asks nothing.
        s.FileDialogs.clear();
        w.acSave->trigger();
        QVERIFY(s.FileDialogs.empty());
        QVERIFY(w.close());
        QVERIFY(s.Messages.empty());
    }

    void cancelledSaveDialogStopsTheCommand() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(1, 2);
        w.acRazAdd->trigger();
        const int dialogs = s.Dialogs;

        // Yes, then Cancel in the save dialog: nothing is lost, New does not go on.
        s.Answers = {TMsgAnswer::Yes};
        w.acNew->trigger();
        QCOMPARE(s.Texts(), QStringList{QStringLiteral("Сохранить изменения в текущем файле?")});
        QCOMPARE(s.Messages[0].Kind, TMsgKind::QuestionCancel);
        QCOMPARE(s.FileDialogs.size(), std::size_t(1));
        QCOMPARE(w.WorkPlace()->Count(), 1);
        QCOMPARE(s.Dialogs, dialogs);

        // The same when closing, also from the tester mode.
        w.acChangeMode->trigger();
        QVERIFY(w.IsTesterMode());
        s.Answers = {TMsgAnswer::Yes};
        QVERIFY(!w.close());
        s.Answers = {TMsgAnswer::Cancel};
        QVERIFY(!w.close());
        QCOMPARE(s.Messages.size(), std::size_t(3));
        // A save that fails keeps the window open too.
        s.Answers = {TMsgAnswer::Yes};
        s.Files = {s.Dir.filePath(QStringLiteral("no such folder/x.pvl"))};
        QVERIFY(!w.close());
        QCOMPARE(s.Messages.size(), std::size_t(5));
        QCOMPARE(s.Messages.back().Kind, TMsgKind::Error);
        s.Answers = {TMsgAnswer::No};
        QVERIFY(w.close());
    }

    void recentFilesOpenAndMoveToTheTop() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(1, 2);
        w.acRazAdd->trigger();
        QStringList paths;
        for (const char* name : {"first.pvl", "R&D harness.pvl", "third.pvl"}) {
            paths << s.Dir.filePath(QString::fromUtf8(name));
            s.Files = {paths.back()};
            w.acSaveAs->trigger();
        }
        QCOMPARE(w.Property()->LastFiles().Files(), (QStringList{paths[2], paths[1], paths[0]}));

        // The entry of a path with "&" opens that very path, in the tester mode as before.
        w.acChangeMode->trigger();
        QList<QAction*> entries = w.miLastFiles->actions();
        QCOMPARE(entries.size(), 3);
        entries[1]->trigger();
        QVERIFY(s.Messages.empty());
        QCOMPARE(w.Property()->CurrentFile(), paths[1]);
        QVERIFY(w.IsTesterMode());
        QCOMPARE(w.WorkPlace()->Count(), 1);
        QCOMPARE(w.WorkPlace()->Razem(0)->FRazName, QStringLiteral("XT0"));
        QCOMPARE(w.Property()->LastFiles().Files(), (QStringList{paths[1], paths[2], paths[0]}));
        QCOMPARE(w.windowTitle(), QStringLiteral("Pinvel - %1 [Тестер]").arg(paths[1]));

        // A file that has gone: a warning, the list and the project stay.
        QVERIFY(QFile::remove(paths[0]));
        w.LastFileClick(paths[0]);
        QCOMPARE(s.Texts(), QStringList{QStringLiteral(
                                "Указанный файл не найден! Проверьте правильность пути!")});
        QCOMPARE(s.Messages[0].Kind, TMsgKind::Warning);
        QCOMPARE(w.Property()->LastFiles().Files().size(), 3);
        QCOMPARE(w.Property()->CurrentFile(), paths[1]);
        QCOMPARE(w.WorkPlace()->Count(), 1);
    }

    void damagedFileLeavesTheProgramUsable() {
        TScript s;
        TfmMain w(s.Options());
        const QString bad = s.Dir.filePath(QStringLiteral("bad file.pvl"));
        {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            static const char damaged[] = "\x05\x00\x00\x00TPF0 not a connector";
            f.write(damaged, sizeof damaged - 1);
        }
        s.Files = {bad};
        w.acLoad->trigger(); // from the tester mode
        QCOMPARE(s.Messages.size(), std::size_t(1));
        QCOMPARE(s.Messages[0].Kind, TMsgKind::Error);
        QVERIFY(!s.Messages[0].Text.isEmpty());
        QVERIFY(!w.IsTesterMode());
        QCOMPARE(w.Property()->CurrentFile(), QString());
        QVERIFY(w.Property()->LastFiles().Files().isEmpty());
        // The program goes on: a connector can be added and the project saved.
        s.Constr = Connector(1, 1);
        w.acRazAdd->trigger();
        QCOMPARE(w.WorkPlace()->Razem(w.WorkPlace()->Count() - 1)->FIndex,
                 w.WorkPlace()->Count() - 1);
        s.Files = {s.Dir.filePath(QStringLiteral("good"))};
        w.acSave->trigger();
        QVERIFY(QFile::exists(s.Dir.filePath(QStringLiteral("good.pvl"))));
    }

    // The project named on the command line.
    void startupFileOpensAsARecentFileWould() {
        TScript s;
        TfmMainOptions o = s.Options();
        o.StartupFile = qEnvironmentVariable("PINVEL_TEST_DATA") + "/demo-harness.pvl";
        TfmMain w(o);
        QVERIFY(s.Messages.empty());
        QVERIFY(w.IsTesterMode()); // the unit answered: the tester mode, polling
        QCOMPARE(w.WorkPlace()->Count(), 2);
        QCOMPARE(w.Sootv()->Count(), 26);
        QCOMPARE(w.Property()->CurrentFile(), o.StartupFile);
        QCOMPARE(w.windowTitle(), "Pinvel - " + o.StartupFile + " [Тестер]");
        QCOMPARE(w.Property()->LastFiles().Files(), QStringList{o.StartupFile});
        QCOMPARE(w.Property()->OpenDir(), qEnvironmentVariable("PINVEL_TEST_DATA") + "/");
        QTRY_COMPARE(w.WorkPlace()->Razem(0)->FCells[1][0].IndColor.load(), Colors::clRed);
    }

    void startupFileWithoutAUnitOpensInTheEditor() {
        TScript s;
        TfmMainOptions o = s.Options();
        o.DeviceLink = QByteArray("tcp:127.0.0.1:1"); // nobody listens there
        o.DeviceReplyTimeoutMs = 200;
        o.StartupFile = qEnvironmentVariable("PINVEL_TEST_DATA") + "/demo-harness.pvl";
        TfmMain w(o);
        // The start-up warning comes first, then the project opens without another word.
        QCOMPARE(s.Messages.size(), std::size_t(1));
        QCOMPARE(s.Messages[0].Kind, TMsgKind::Warning);
        QVERIFY(!w.IsTesterMode());
        QCOMPARE(w.WorkPlace()->Count(), 2);
        QCOMPARE(w.windowTitle(), "Pinvel - " + o.StartupFile + " [Редактор]");
    }

    void missingStartupFileIsReportedAndTheProgramGoesOn() {
        TScript s;
        TfmMainOptions o = s.Options();
        o.StartupFile = s.Dir.filePath(QStringLiteral("gone away.pvl"));
        TfmMain w(o);
        QVERIFY(w.Started());
        QCOMPARE(s.Texts(), QStringList{QStringLiteral(
                                "Указанный файл не найден! Проверьте правильность пути!")});
        QCOMPARE(s.Messages[0].Kind, TMsgKind::Warning);
        QVERIFY(w.IsTesterMode()); // as started, with an empty project
        QCOMPARE(w.WorkPlace()->Count(), 0);
        QCOMPARE(w.Property()->CurrentFile(), QString());
        QVERIFY(w.Property()->LastFiles().Files().isEmpty());
        QVERIFY(w.acChangeMode->isEnabled());
    }

    void damagedStartupFileIsReportedAndTheProgramGoesOn() {
        TScript s;
        TfmMainOptions o = s.Options();
        o.StartupFile = s.Dir.filePath(QStringLiteral("bad file.pvl"));
        {
            QFile f(o.StartupFile);
            QVERIFY(f.open(QIODevice::WriteOnly));
            static const char damaged[] = "\x05\x00\x00\x00TPF0 not a connector";
            f.write(damaged, sizeof damaged - 1);
        }
        TfmMain w(o);
        QVERIFY(w.Started());
        QCOMPARE(s.Messages.size(), std::size_t(1));
        QCOMPARE(s.Messages[0].Kind, TMsgKind::Error);
        QVERIFY2(s.Messages[0].Text.startsWith(QStringLiteral("Файл проекта поврежден")),
                 qPrintable(s.Messages[0].Text));
        // As after a failed read of a recent file: the editor, no file, the list unchanged.
        QVERIFY(!w.IsTesterMode());
        QCOMPARE(w.Property()->CurrentFile(), QString());
        QVERIFY(w.Property()->LastFiles().Files().isEmpty());
        QVERIFY(w.acChangeMode->isEnabled());
        w.acChangeMode->trigger();
        QVERIFY(w.IsTesterMode());
    }

    void startupFileWaitsForARegisteredLibrary() {
        TScript s;
        TfmMainOptions o = s.Options(false);
        o.StartupFile = qEnvironmentVariable("PINVEL_TEST_DATA") + "/demo-harness.pvl";
        TfmMain w(o);
        QVERIFY(!w.Started());
        QCOMPARE(s.Messages.size(), std::size_t(1)); // the registration error alone
        QVERIFY(w.WorkPlace() == nullptr);
    }
};

QTEST_MAIN(TfmMainTest)
#include "TfmMainTest.moc"
