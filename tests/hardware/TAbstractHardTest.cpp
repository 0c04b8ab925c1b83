// SPDX-License-Identifier: GPL-3.0-or-later
// The worker's passes against a scripted unit: what goes to the unit and what the user sees.

#include "HardTestKit.h"

#include <QCoreApplication>

Q_DECLARE_METATYPE(std::vector<int>)

class TAbstractHardTest : public QObject {
    Q_OBJECT
  private slots:
    void passShapes_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("readRaz");
        QTest::addColumn<bool>("readZond");
        QTest::addColumn<std::vector<int>>("codes");
        QTest::addColumn<TColor>("zondIn");
        QTest::addColumn<TColor>("zondOut");
        QTest::addColumn<bool>("painted");
        const TColor red = Colors::clRed, green = Colors::clGreen, gray = Colors::clGray;
        const std::vector<int> z{24}, plain{21}, write{22, 23};
        // The probe input reads 1 (red); the connector is read back as written.
        QTest::newRow("Hi, both") << 0 << true << true << z << red << red << true;
        QTest::newRow("Hi, connector") << 0 << true << false << z << red << red << true;
        QTest::newRow("Hi, probe") << 0 << false << true << z << red << red << false;
        QTest::newRow("Low, both") << 1 << true << true << z << red << green << true;
        QTest::newRow("Low, probe") << 1 << false << true << z << red << green << false;
        QTest::newRow("Gen, both") << 2 << true << true << z << red << red << true;
        QTest::newRow("Gen, probe") << 2 << false << true << z << red << red << false;
        QTest::newRow("Gen, connector") << 2 << true << false << z << red << red << true;
        QTest::newRow("Off, both") << 3 << true << true << plain << red << gray << true;
        // The probe input is never set: its lamp goes black.
        QTest::newRow("Off, connector") << 3 << true << false << plain << TColor(0) << gray << true;
        QTest::newRow("Off, probe") << 3 << false << true << write << red << gray << false;
        // An unknown mode leaves the output lamp alone (grey from the start of the loop).
        QTest::newRow("other, probe") << 7 << false << true << write << red << gray << false;
    }
    void passShapes() {
        QFETCH(int, mode);
        QFETCH(bool, readRaz);
        QFETCH(bool, readZond);
        QFETCH(std::vector<int>, codes);
        QFETCH(TColor, zondIn);
        QFETCH(TColor, zondOut);
        QFETCH(bool, painted);
        TRig rig;
        rig.Tie(400, {{0, 0}});
        rig.Tie(401, {{1, 0}});
        rig.At(1, 0).State = TContactState::csFree;
        rig.Worker->FillPins();
        rig.Settings.ZondWrite = mode;
        rig.Settings.ReadRaz = readRaz;
        rig.Settings.ReadZond = readZond;
        QVERIFY(rig.Pass());
        QCOMPARE(rig.Port->Codes(), codes);
        QCOMPARE(rig.View.ZondIn, zondIn);
        QCOMPARE(rig.View.ZondOut, zondOut);
        QCOMPARE(!rig.View.Painted.empty(), painted);
        if (painted) {
            QCOMPARE(rig.At(0, 0).IndColor.load(), Colors::clRed);
            QCOMPARE(rig.At(1, 0).IndColor.load(), Colors::clGreen);
        }
        if (mode <= 2) {
            const std::vector<std::uint8_t> head{std::uint8_t(mode == 1 ? 0 : 1),
                                                 std::uint8_t(readRaz ? 1 : 0)};
            const auto sent = rig.Port->Sent().front().Data;
            QCOMPARE(std::vector<std::uint8_t>(sent.begin(), sent.begin() + 2), head);
        }
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(1));
    }

    void genTogglesAndGeneratorSteps() {
        TRig rig;
        rig.Tie(400, {{0, 0}});
        rig.At(0, 0).State = TContactState::csGenerator;
        rig.At(0, 0).GenIndex = 0;
        rig.Worker->FGenerator.SetLines(1);
        rig.Worker->FillPins();
        rig.Settings.ZondWrite = ZondWriteMode::Gen;
        std::vector<int> probe, level;
        for (int k = 0; k < 3; ++k) {
            QVERIFY(rig.Pass());
            probe.push_back(rig.Port->Sent().back().Data[0]);
            level.push_back(rig.Port->Sent().back().Data[4]);
        }
        QCOMPARE(probe, (std::vector<int>{1, 0, 1}));
        QCOMPARE(level, (std::vector<int>{0, 1, 0}));
        QCOMPARE(rig.View.ZondOut, Colors::clRed);
    }

    void outputLevelsFromEntries() {
        TRig rig;
        const auto gen = [&](int col, int index) {
            rig.At(col, 2).State = TContactState::csGenerator;
            rig.At(col, 2).GenIndex = index;
        };
        rig.At(0, 2).State = TContactState::csFree;
        gen(3, 1);
        gen(5, 0);
        gen(6, -1);
        rig.At(8, 2).State = TContactState::csFree;
        rig.Tie(400, {{0, 2}, {1, 2}});         // first off: 0 whatever follows
        rig.Tie(401, {{1, 2}, {2, 2}});         // both on: 1
        rig.Tie(402, {{1, 2}, {8, 2}});         // a later entry off: 0
        rig.Tie(403, {{1, 2}, {3, 2}, {2, 2}}); // the generator's line 1
        rig.Tie(404, {{1, 2}, {8, 2}, {5, 2}}); // a later generator sets it again: line 0
        rig.Tie(405, {{6, 2}});                 // no own index: the automatic one
        rig.Tie(406, {{0, 2}, {3, 2}});         // first off: no Bit call at all
        rig.Worker->FGenerator.SetLines(2);
        rig.Worker->FillPins();
        rig.Settings.ReadRaz = false;
        rig.Settings.ReadZond = true;
        std::vector<std::vector<int>> seen;
        for (int k = 0; k < 4; ++k) {
            QVERIFY(rig.Pass());
            const auto frame = rig.Port->Sent()[std::size_t(2 * k)].Data; // command 22
            std::vector<int> levels;
            for (std::size_t i = 2; i < frame.size(); i += 3)
                levels.push_back(frame[i]);
            seen.push_back(levels);
        }
        // Counter 0..3; the automatic index is 2 at record 405 (after two Bit calls).
        QCOMPARE(seen[0], (std::vector<int>{0, 1, 0, 0, 0, 0, 0}));
        QCOMPARE(seen[1], (std::vector<int>{0, 1, 0, 0, 1, 0, 0}));
        QCOMPARE(seen[2], (std::vector<int>{0, 1, 0, 1, 0, 0, 0}));
        QCOMPARE(seen[3], (std::vector<int>{0, 1, 0, 1, 1, 0, 0}));
    }

    void repaintsOnlyWhatChanged() {
        TRig rig;
        rig.Tie(400, {{0, 0}, {1, 0}});
        rig.Tie(401, {{2, 0}});
        rig.At(2, 0).State = TContactState::csGenerator;
        rig.At(2, 0).GenIndex = 0;
        rig.Worker->FillPins();
        QVERIFY(rig.Pass());
        QCOMPARE(rig.View.Painted.size(), std::size_t(3));
        rig.View.Painted.clear();
        QVERIFY(rig.Pass()); // same levels: nothing to repaint
        QVERIFY(rig.View.Painted.empty());
        QVERIFY(!rig.View.Calls.contains(QStringLiteral("Repaint 0")));

        // A level other than 0 and 1 repaints without a colour change.
        rig.Port->Script =
            [](int code, const std::vector<std::uint8_t>&) -> std::optional<TFakePort::TReply> {
            if (code == UnitCode::WriteRead)
                return TFakePort::TReply{code, {2, 2, 1}};
            return std::nullopt;
        };
        QVERIFY(rig.Pass());
        QCOMPARE(rig.View.Painted.size(), std::size_t(3));
        QCOMPARE(rig.At(0, 0).IndColor.load(), Colors::clRed);
        QCOMPARE(rig.At(2, 0).IndColor.load(), Colors::clGreen);

        // A generator contact that is not read turns yellow once.
        rig.View.Painted.clear();
        rig.Settings.ReadRaz = false;
        QVERIFY(rig.Pass());
        rig.Settings.ReadRaz = true;
        rig.Settings.ZondWrite = ZondWriteMode::Hi;
        rig.Port->Script =
            [&rig](int, const std::vector<std::uint8_t>&) -> std::optional<TFakePort::TReply> {
            rig.Settings.ReadRaz = false; // switched off while the unit answers
            return std::nullopt;
        };
        QVERIFY(rig.Pass());
        QCOMPARE(rig.At(2, 0).IndColor.load(), Colors::clYellow);
        QCOMPARE(rig.View.Painted, (std::vector<TPaintItem>{{1, 0, 0, 2, 0}}));
    }

    void generatorFirstInARecordLeavesTheRecordsOtherContacts() {
        // A generator contact whose level is not read stands first in its record: it turns
        // yellow and the record's other contacts keep their colours; the next record is painted.
        TRig rig;
        rig.Tie(400, {{0, 0}, {1, 0}});
        rig.Tie(401, {{2, 0}});
        rig.At(0, 0).State = TContactState::csGenerator;
        rig.At(0, 0).GenIndex = 0;
        rig.Worker->FillPins();
        std::uint8_t level = 1;
        rig.Port->Script =
            [&rig, &level](int code,
                           const std::vector<std::uint8_t>&) -> std::optional<TFakePort::TReply> {
            if (code != UnitCode::WriteRead)
                return std::nullopt;
            if (level == 0)
                rig.Settings.ReadRaz = false; // switched off while the unit answers
            return TFakePort::TReply{code, {level, level, 1}};
        };
        QVERIFY(rig.Pass());
        for (int col : {0, 1, 2})
            QCOMPARE(rig.At(col, 0).IndColor.load(), Colors::clRed);
        rig.View.Painted.clear();
        level = 0;
        QVERIFY(rig.Pass());
        QCOMPARE(rig.At(0, 0).IndColor.load(), Colors::clYellow);
        QCOMPARE(rig.At(1, 0).IndColor.load(), Colors::clRed);
        QCOMPARE(rig.At(2, 0).IndColor.load(), Colors::clGreen);
        QCOMPARE(rig.View.Painted, (std::vector<TPaintItem>{{0, 0, 0, 0, 0}, {1, 0, 0, 2, 0}}));
    }

    void stopRequestCostsOneMorePass() {
        TRig rig;
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        rig.Settings.ZondWrite = ZondWriteMode::Hi;
        rig.Settings.Cycle = true;
        // The user stops the cycle while the fifth pass shows its result.
        rig.View.OnZondState = [&rig] {
            if (rig.View.ZondCalls == 5) {
                rig.Settings.Cycle = false;
                rig.Worker->FStopAfterPass = true;
            }
        };
        // Make every pass hand over the probe state.
        rig.Port->Script = [&rig, n = 0](int code, const std::vector<std::uint8_t>&) mutable
            -> std::optional<TFakePort::TReply> {
            rig.Port->ProbeIn = ++n % 2;
            Q_UNUSED(code);
            return std::nullopt;
        };
        QVERIFY(rig.Pass());
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(6));
        QCOMPARE(rig.View.Calls.count(QStringLiteral("StopCycle")), 1);
        QVERIFY(!rig.Worker->FStopAfterPass || rig.Settings.Cycle == false);
    }

    void reducedPinsForOtherUnits() {
        TRig rig;
        rig.Port->Type = 100;
        QVERIFY(rig.Worker->InitUnit());
        for (std::uint16_t pin : {272, 366, 400, 494, 271, 495})
            rig.Tie(pin, {{0, 0}});
        rig.Worker->FillPins();
        QCOMPARE(rig.Worker->Pins(), (std::vector<std::uint16_t>{0, 94, 0, 94, 271, 495}));
        QVERIFY(rig.Pass());
        const auto frame = rig.Port->Sent().back().Data;
        QCOMPARE(std::vector<int>(frame.begin() + 6, frame.begin() + 9),
                 (std::vector<int>{0, 0, 1}));
    }

    void autonomousYesAndBack() {
        TRig rig;
        rig.Tie(400, {{0, 0}, {1, 0}});
        rig.Tie(401, {{2, 0}});
        rig.At(1, 0).State = TContactState::csGenerator;
        rig.At(1, 0).GenIndex = 3;
        rig.At(2, 0).State = TContactState::csGenerator;
        rig.At(2, 0).GenIndex = 0;
        rig.Worker->FillPins();
        rig.Settings.ReadRaz = false;
        rig.Settings.ReadZond = false;
        rig.Settings.ZondWrite = ZondWriteMode::Gen;
        rig.View.Answers = {true};
        rig.Worker->Resume();
        QTRY_VERIFY(rig.Worker->FAutonomous.load());
        QTRY_COMPARE(rig.Port->Sent().size(), std::size_t(2));
        QVERIFY(!rig.WorkPlace.Razem(0)->Enabled());
        const auto sent = rig.Port->Sent();
        QCOMPARE(sent[0].Data, (std::vector<std::uint8_t>{0, 1, 144, 0, 1, 145, 0}));
        QCOMPARE(sent[1].Data, (std::vector<std::uint8_t>{1, 1, 1, 144, 3, 1, 145, 0}));
        QVERIFY(rig.View.Texts.front().startsWith(QStringLiteral("Внимание! Блок диагностики")));
        // No traffic and no passes while the unit works on its own.
        QTest::qWait(150);
        QCOMPARE(rig.Port->Sent().size(), std::size_t(2));
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(0));
        QVERIFY(!rig.Worker->IsResting());

        // A read switched on again leaves the mode and the pass goes on.
        rig.Settings.ReadZond = true;
        rig.Worker->NotifySettingsChanged();
        QTRY_COMPARE(rig.Worker->Passes(), std::uint64_t(1));
        QVERIFY(rig.Worker->WaitForRest());
        QCOMPARE(rig.Port->Sent()[2].Data, (std::vector<std::uint8_t>{2}));
        QCOMPARE(rig.Port->Sent()[3].Code, 24);
        QVERIFY(!rig.Worker->FAutonomous);
        QVERIFY(rig.WorkPlace.Razem(0)->Enabled());
        QVERIFY(rig.View.Calls.contains(QStringLiteral("Autonomous 0")));
    }

    void autonomousNo() {
        TRig rig;
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        rig.Settings.ReadRaz = false;
        rig.Settings.ReadZond = false;
        rig.View.Answers = {false};
        QVERIFY(rig.Pass());
        QVERIFY(!rig.Worker->FAutonomous);
        QVERIFY(rig.Settings.ReadRaz && rig.Settings.ReadZond);
        QVERIFY(rig.View.Calls.contains(QStringLiteral("RestoreReads")));
        // The pass goes on with the copies it took: it writes and reads nothing.
        QCOMPARE(rig.Port->Codes(), (std::vector<int>{22}));
    }

    void mustRepair_data() {
        QTest::addColumn<bool>("opens");
        QTest::newRow("re-opened") << true;
        QTest::newRow("unit gone") << false;
    }
    void mustRepair() {
        QFETCH(bool, opens);
        TRig rig;
        QVERIFY(rig.Worker->InitUnit());
        rig.Port->Clear();
        rig.Port->OpenResult = opens ? 1 : 0;
        rig.Worker->FMustRepair = true;
        rig.Worker->Suspend();
        rig.Worker->Resume();
        QVERIFY(rig.Worker->WaitForRest());
        QVERIFY(!rig.Worker->FMustRepair);
        QVERIFY(rig.Port->Calls().mid(0, 3) == (QStringList{"Start", "Close", "Open"}));
        if (opens) {
            QCOMPARE(rig.View.Texts, QStringList{"Устройство подключено и готово к работе!"});
            QCOMPARE(rig.View.Calls.filter("Controls"), QStringList{"Controls 111"});
            QCOMPARE(rig.Worker->Passes(), std::uint64_t(1)); // then a fresh run
        } else {
            QCOMPARE(rig.View.Texts,
                     QStringList{"Не удалось инициализировать устройство. Работа в режиме "
                                 "тестера невозможна!"});
            QCOMPARE(rig.View.Calls.filter(QRegularExpression("Controls|Leave")),
                     (QStringList{"LeaveTester", "Controls 000"}));
            QVERIFY(!rig.WorkPlace.IsTesterMode());
            QCOMPARE(rig.Worker->Passes(), std::uint64_t(0));
        }
    }

    void errorQuestion_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<bool>("opens");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("controls");
        QTest::newRow("yes, restored") << true << true << "Соединение восстановлено!"
                                       << "Controls 110";
        QTest::newRow("yes, failed")
            << true << false
            << "Не удалось инициализировать устройство. Дальнейшая работа в режиме тестера не "
               "возможна."
            << "Controls 000";
        QTest::newRow("no") << false << true << QString() << QString();
    }
    void errorQuestion() {
        QFETCH(bool, yes);
        QFETCH(bool, opens);
        QFETCH(QString, box);
        QFETCH(QString, controls);
        TRig rig;
        QVERIFY(rig.Worker->InitUnit());
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        rig.Port->OpenResult = opens ? 1 : 0;
        // The first reply never comes (the port's wait gives up), later ones do.
        rig.Port->Script =
            [n = 0](int,
                    const std::vector<std::uint8_t>&) mutable -> std::optional<TFakePort::TReply> {
            if (n++ == 0)
                return TFakePort::TReply{};
            return std::nullopt;
        };
        rig.View.Answers = {yes};
        QVERIFY(rig.Pass());
        QCOMPARE(rig.View.Texts.front(),
                 QStringLiteral("Произошла ошибка при обращении к устройству. Для того чтобы "
                                "произвести повторную инициализацию устройства проверьте "
                                "исправность соединительных кабелей и нажмите \"Да\""));
        QCOMPARE(rig.View.Calls.filter("Message 4").size(), 1);
        if (!box.isEmpty())
            QCOMPARE(rig.View.Texts.at(1), box);
        if (!controls.isEmpty())
            QCOMPARE(rig.View.Calls.filter("Controls"), QStringList{controls});
        // After No or a successful re-open the worker simply runs again.
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(opens ? 1 : 0));
        QCOMPARE(rig.WorkPlace.IsTesterMode(), opens);
        QCOMPARE(rig.Port->Calls().contains("Close"), yes);
    }

    void unitFailuresAskAgainAfterNo() {
        TRig rig;
        QVERIFY(rig.Worker->InitUnit());
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        // Wrong reply codes three times (the probe read's own key among them), then good replies.
        rig.Settings.ReadRaz = false;
        rig.Port->Script =
            [n = 0](int code,
                    const std::vector<std::uint8_t>&) mutable -> std::optional<TFakePort::TReply> {
            if (code == UnitCode::ReadZond && n++ < 3)
                return TFakePort::TReply{8, {1}};
            return std::nullopt;
        };
        rig.View.Answers = {false, false, false};
        QVERIFY(rig.Pass());
        QCOMPARE(rig.View.Calls.filter("Message 4").size(), 3);
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(1));
        QVERIFY(!rig.Port->Calls().contains("Close"));
    }
};

QTEST_GUILESS_MAIN(TAbstractHardTest)
#include "TAbstractHardTest.moc"
