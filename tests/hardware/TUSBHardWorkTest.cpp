// SPDX-License-Identifier: GPL-3.0-or-later
// The USB unit's command frames byte for byte, and the reply checks.

#include "HardTestKit.h"
#include "TErrors.h"

#include <QCoreApplication>
#include <array>

namespace {

using Bytes = std::vector<std::uint8_t>;

QString Failure(const std::function<void()>& fn) {
    try {
        fn();
    } catch (const EUnitError& e) {
        return e.Message();
    }
    return QString();
}

TFakePort::TReply Confirm() {
    return {UnitCode::Confirm, {}};
}

// A job of `steps` steps, each one round trip driving X1:a1 to 1.
class TStepsJob final : public IHardJob {
  public:
    explicit TStepsJob(int steps) : FLeft(steps) {}
    bool Step(IUnitExchange& unit) override {
        std::vector<std::uint8_t> read;
        unit.WriteRead({400}, {1}, read);
        return --FLeft > 0;
    }

  private:
    std::atomic<int> FLeft;
};

} // namespace

class TUSBHardWorkTest : public QObject {
    Q_OBJECT
  private slots:
    void writeFrames() {
        TRig rig;
        const std::uint16_t pins[] = {400, 0x1234};
        std::uint8_t levels[] = {1, 0, 9};
        rig.Worker->WriteLevels(levels, pins, 2);
        rig.Worker->WriteReadLevels(pins, levels, 2);
        rig.Settings.ReadRaz = true;
        rig.Worker->WriteZond(1, 2, pins, levels);
        rig.Settings.ReadRaz = false;
        rig.Worker->WriteZond(0, 2, pins, levels);
        rig.Port->ProbeIn = 0;
        QCOMPARE(rig.Worker->ReadZondIn(), std::uint8_t(0));
        rig.Worker->StopUnit();
        Failure([&] { rig.Worker->ReadLevels(pins, levels, 2); });
        const auto sent = rig.Port->Sent();
        QCOMPARE(sent.size(), std::size_t(7));
        QCOMPARE(sent[0].Code, 22);
        QCOMPARE(sent[0].Data, (Bytes{1, 144, 1, 0x12, 0x34, 0}));
        QCOMPARE(sent[1].Code, 21);
        QCOMPARE(sent[1].Data, (Bytes{1, 144, 1, 0x12, 0x34, 0}));
        QCOMPARE(sent[2].Code, 24);
        QCOMPARE(sent[2].Data, (Bytes{1, 1, 1, 144, 1, 0x12, 0x34, 0}));
        QCOMPARE(sent[3].Data, (Bytes{0, 0, 1, 144, 1, 0x12, 0x34, 0}));
        QCOMPARE(sent[4].Code, 23);
        QVERIFY(sent[4].Data.empty());
        QCOMPARE(sent[5].Code, 2);
        QVERIFY(sent[5].Data.empty());
        QCOMPARE(sent[6].Data, (Bytes{1, 144, 0x12, 0x34}));
        // The read-back of command 24 with the connector read fills all three levels.
        QCOMPARE(levels[2], std::uint8_t(1));
    }

    void emptyTable() {
        TRig rig;
        std::uint8_t levels[1] = {7};
        rig.Worker->WriteLevels(levels, nullptr, 0);
        rig.Worker->WriteReadLevels(nullptr, levels, 0);
        QCOMPARE(levels[0], std::uint8_t(1));
        rig.Worker->WriteZond(0, 0, nullptr, levels);
        const auto sent = rig.Port->Sent();
        QVERIFY(sent[0].Data.empty() && sent[1].Data.empty());
        QCOMPARE(sent[2].Data, (Bytes{0, 1}));
    }

    void replyChecks() {
        TRig rig;
        const std::uint16_t pins[] = {400};
        std::uint8_t levels[] = {1, 5};
        // Code 8 leaves the levels as they were and raises nothing.
        rig.Port->Script = [](int, const Bytes&) { return std::optional(Confirm()); };
        QCOMPARE(Failure([&] { rig.Worker->WriteReadLevels(pins, levels, 1); }), QString());
        QCOMPARE(levels[1], std::uint8_t(5));
        QCOMPARE(Failure([&] { rig.Worker->WriteZond(1, 1, pins, levels); }), QString());
        QCOMPARE(Failure([&] { rig.Worker->WriteLevels(levels, pins, 1); }), QString());
        QCOMPARE(Failure([&] { rig.Worker->SetAutonomous(2); }), QString());
        // The probe read wants its own code, even against 8.
        QCOMPARE(Failure([&] { rig.Worker->ReadZondIn(); }), QStringLiteral("Invalid callback"));
        // A wrong length or code, or no reply at all.
        rig.Port->Script = [](int code, const Bytes&) {
            return std::optional(TFakePort::TReply{code, {1}});
        };
        QCOMPARE(Failure([&] { rig.Worker->WriteReadLevels(pins, levels, 1); }),
                 QStringLiteral("InvalidCallBack"));
        rig.Port->Script = [](int, const Bytes&) { return std::optional(TFakePort::TReply{}); };
        QCOMPARE(Failure([&] { rig.Worker->WriteReadLevels(pins, levels, 1); }),
                 QStringLiteral("InvalidCallBack"));
        QCOMPARE(Failure([&] { rig.Worker->WriteLevels(levels, pins, 1); }),
                 QStringLiteral("InvalidCallBack"));
        QCOMPARE(Failure([&] { rig.Worker->SetAutonomous(0); }), QStringLiteral("InvalidCallBack"));
        QCOMPARE(levels[1], std::uint8_t(5));
        QCOMPARE(rig.Worker->FReplyCode, 0);
    }

    void autonomousFrames() {
        TRig rig;
        rig.Tie(400, {{0, 0}, {1, 0}, {2, 0}});
        rig.Tie(280, {{3, 0}});
        for (int c : {1, 2}) {
            rig.At(c, 0).State = TContactState::csGenerator;
            rig.At(c, 0).GenIndex = 0x0100 + c;
        }
        rig.Settings.ZondWrite = ZondWriteMode::Hi;
        // Two generator entries of one record both go into the table.
        QCOMPARE(rig.Worker->CollectGenerators(), 2);
        rig.Settings.ReadRaz = false;
        rig.Settings.ReadZond = false;
        rig.Worker->FillPins();
        rig.Worker->Resume();
        QTRY_COMPARE(rig.Port->Sent().size(), std::size_t(2));
        QVERIFY(rig.Worker->BringToRest());
        QVERIFY(rig.Worker->FAutonomous);
        const auto sent = rig.Port->Sent();
        QCOMPARE(sent[0].Code, 28);
        QCOMPARE(sent[0].Data, (Bytes{0, 1, 144, 0, 1, 24, 1}));
        QCOMPARE(sent[1].Data, (Bytes{1, 0, 1, 144, 1, 1, 144, 2}));
        // Mode 1 and others send nothing.
        rig.Port->Clear();
        rig.Worker->SetAutonomous(1);
        rig.Worker->SetAutonomous(5);
        QVERIFY(rig.Port->Sent().empty());
    }

    void manyCorrespondences() {
        // More records than the unit has pins, and many generator entries: the frames grow.
        TRig rig;
        for (int k = 0; k < 250; ++k)
            rig.Tie(std::uint16_t(400 + k % 95), {{k % 10, 2 * (k / 10 % 9)}, {0, 18}});
        rig.At(0, 18).State = TContactState::csGenerator;
        rig.Worker->FillPins();
        rig.Settings.ZondWrite = ZondWriteMode::Hi;
        QVERIFY(rig.Pass());
        QCOMPARE(rig.Port->Sent().back().Data.size(), std::size_t(3 * 250 + 2));
        QCOMPARE(rig.Worker->Levels().size(), std::size_t(251));
        QCOMPARE(rig.Worker->CollectGenerators(), 250);
    }

    void initAndReinit() {
        TRig rig; // opened once by the rig
        rig.Port->Type = 77;
        rig.Port->LastErrorResult = 3;
        QVERIFY(!rig.Worker->InitUnit());
        rig.Port->LastErrorResult = 0;
        QVERIFY(rig.Worker->InitUnit());
        QVERIFY(!rig.Worker->FRawPins);
        QCOMPARE(rig.Port->InitKind, 3);
        rig.Port->Clear();
        rig.Port->Type = 101;
        QVERIFY(rig.Worker->ReInitUnit());
        QVERIFY(rig.Worker->FRawPins);
        QCOMPARE(rig.Port->Calls(), (QStringList{"Close", "Open", "Start"}));
        rig.Port->Clear();
        rig.Worker->ClosePort();
        QCOMPARE(rig.Port->Calls(), (QStringList{"Close", "Done"}));
        // Without a port stop does nothing and an operation fails on the recovery road.
        rig.Worker->StopUnit();
        QCOMPARE(Failure([&] { rig.Worker->ReadZondIn(); }), QStringLiteral("InvalidCallBack"));

        // A library that makes no port, or a port that does not initialise.
        TTesterSettings settings;
        TFakeView view;
        TUSBHardWork none(settings, view, [] { return std::shared_ptr<IComPort>(); });
        QVERIFY(!none.InitUnit());
        auto port = std::make_shared<TFakePort>();
        port->InitResult = 0;
        TUSBHardWork dead(settings, view, [port] { return port; });
        QVERIFY(!dead.InitUnit());
        QVERIFY(!dead.ReInitUnit());
        QCOMPARE(port->Calls(), (QStringList{"Init", "Init"}));
    }

    void jobStartsWithTheProbeLow() {
        // The tester left the probe driving 1; a job's first step finds it low, and only the
        // first: steps after a rest and a resume go on without another probe frame.
        TRig rig;
        rig.Settings.ReadRaz = true;
        rig.Worker->WriteZond(1, 0, nullptr, std::array<std::uint8_t, 1>{}.data());
        rig.Port->Clear();
        auto job = std::make_shared<TStepsJob>(3);
        rig.Worker->RunJob(job);
        QVERIFY(rig.Worker->BringToRest());
        rig.Worker->Resume();
        QTRY_VERIFY(!rig.Worker->HasJob());
        QVERIFY(rig.Worker->WaitForRest(5000));
        std::vector<TSent> sent = rig.Port->Sent();
        QCOMPARE(rig.Port->Codes(), (std::vector<int>{24, 21, 21, 21}));
        QCOMPARE(sent[0].Data, (Bytes{0, 1})); // level 0, the read-back as the setting says
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(0));

        // A second job gets its own probe frame, even the same object handed over again.
        rig.Port->Clear();
        rig.Settings.ReadRaz = false;
        rig.Worker->RunJob(job); // done already: one more step ends it

        QTRY_VERIFY(!rig.Worker->HasJob());
        QVERIFY(rig.Worker->WaitForRest(5000));
        QCOMPARE(rig.Port->Codes(), (std::vector<int>{24, 21}));
        QCOMPARE(rig.Port->Sent()[0].Data, (Bytes{0, 0}));
    }
};

QTEST_GUILESS_MAIN(TUSBHardWorkTest)
#include "TUSBHardWorkTest.moc"
