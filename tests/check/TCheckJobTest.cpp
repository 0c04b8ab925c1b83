// SPDX-License-Identifier: GPL-3.0-or-later
// The harness check as a job of the tester's worker: it runs on the worker's thread through the
// worker's exchange, rests and resumes as the passes do, and comes through the recovery road when
// the unit fails; the results are read from this (the user-interface) thread meanwhile.

#include "TCheckJob.h"
#include "FakeUnit.h"
#include "HardTestKit.h"
#include "WorkWithCOM.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

// Points X1:a1..a6 (XT1:a1..a6); the harness joins a1-a2-a3 and a4-a5, a6 alone.
TCheckPoints Points() {
    std::vector<TCheckPoint> points;
    for (int i = 0; i < 6; ++i)
        points.push_back({std::uint16_t(400 + i), {QStringLiteral("XT1:a%1").arg(i + 1)}});
    return TCheckPoints(points);
}

TReference Good() {
    return TReference::FromNets({{0, 1, 2}, {3, 4}}, 6);
}

// The worker on the library's simulated unit with a harness file.
struct TJobRig : TRig {
    QTemporaryDir Dir{QDir::tempPath() + QStringLiteral("/pinvel job XXXXXX")};
    TComPortHandle Handle;

    TJobRig(const QByteArray& faults, int replyUs) : TRig(false) {
        const QString path = Dir.filePath(QStringLiteral("harness 1.json"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write the harness");
        file.write(R"({"nets": [["X1:a1", "X1:a2", "X1:a3"], ["X1:a4", "X1:a5"]])" + faults + "}");
        file.close();
        TDeviceSettings device;
        device.Harness = QFile::encodeName(path);
        device.SimReplyUs = replyUs;
        QString error;
        Handle = ComCreator(device.Config(), {qEnvironmentVariable("PINVEL_BIN_DIR")}, &error);
        if (!Handle)
            qFatal("%s", qPrintable(error));
        IComPort* raw = Handle.get();
        MakeWorker([raw] { return std::shared_ptr<IComPort>(raw, [](IComPort*) {}); });
    }
    ~TJobRig() { Worker->ClosePort(); }
};

const QString RecoveryQuestion = QStringLiteral("Произошла ошибка при обращении к устройству");

} // namespace

class TCheckJobTest : public QObject {
    Q_OBJECT
  private slots:
    void learnAndVerifyRunOnTheWorker() {
        TJobRig rig("", 0);
        auto learn = std::make_shared<TCheckJob>(TCheckJob::TKind::Learn, Points());
        rig.Worker->RunJob(learn);
        QTRY_VERIFY(learn->Done());
        QVERIFY(rig.Worker->WaitForRest(5000));
        QVERIFY(!rig.Worker->HasJob());
        const std::optional<TLearnResult> learnt = learn->Learnt();
        QVERIFY(learnt && learnt->Learnt());
        QVERIFY(learnt->Reference == Good());
        QCOMPARE(learnt->RoundTrips, 4);
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(0)); // the job ran in place of the passes

        auto verify = std::make_shared<TCheckJob>(TCheckJob::TKind::Verify, Points(), Good());
        rig.Worker->RunJob(verify);
        QTRY_VERIFY(verify->Done());
        QVERIFY(rig.Worker->WaitForRest(5000));
        QCOMPARE(verify->Verified()->Verdict(), QStringLiteral("ГОДЕН"));
        QCOMPARE(verify->Verified()->RoundTrips, 4);
        QVERIFY_THROWS_EXCEPTION(
            std::invalid_argument,
            TCheckJob(TCheckJob::TKind::Verify, Points(), TReference::FromNets({}, 5)));
    }

    void continuousVerifyLatchesRestsAndGoesOn() {
        // A real unit's pace; a5 leaves its net for 5 ms every 200 ms.
        TJobRig rig(R"(, "intermittent": [{"pin": "X1:a5", "dropMs": 5, "periodMs": 200}])", 1000);
        auto watch = std::make_shared<TCheckJob>(TCheckJob::TKind::Watch, Points(), Good());
        rig.Worker->RunJob(watch);
        QTRY_VERIFY_WITH_TIMEOUT(!watch->Watch().Latched().empty(), 2000);
        QCOMPARE(watch->Watch().Latched().front().Fault.Text(),
                 QStringLiteral("обрыв: XT1:a5 отсоединен от XT1:a4"));
        // At rest between checks, and on again when resumed.
        QVERIFY(rig.Worker->BringToRest());
        const long long checks = watch->Watch().Checks();
        QTest::qWait(50);
        QCOMPARE(watch->Watch().Checks(), checks);
        QVERIFY(rig.Worker->HasJob());
        rig.Worker->Resume();
        QTRY_VERIFY(watch->Watch().Checks() > checks + 3);
        watch->Stop();
        QTRY_VERIFY(watch->Done());
        QVERIFY(rig.Worker->WaitForRest(5000));
        QVERIFY(!rig.Worker->HasJob());
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(0));
        QVERIFY(rig.View.Texts.isEmpty());
    }

    void restCutsASlowUnitsWaitShort() {
        // A unit that takes 300 ms per answer: the rest does not wait for the check under way.
        TJobRig rig("", 300000);
        auto watch = std::make_shared<TCheckJob>(TCheckJob::TKind::Watch, Points(), Good());
        rig.Worker->RunJob(watch);
        QTRY_VERIFY(rig.Worker->WaitsForUnit());
        QVERIFY(rig.Worker->BringToRest());
        QVERIFY(rig.Worker->IsResting());
        QVERIFY(rig.Worker->HasJob());
        QCOMPARE(watch->Watch().Checks(), 0LL); // the check cut short counts nothing
        QVERIFY(rig.View.Texts.isEmpty());      // and is no fault of the unit
        rig.Worker->Resume();
        QTRY_VERIFY_WITH_TIMEOUT(watch->Watch().Checks() >= 1, 10000);
        QVERIFY(watch->Watch().Latched().empty());
        watch->Stop();
        QTRY_VERIFY_WITH_TIMEOUT(watch->Done(), 10000);
        QVERIFY(rig.Worker->WaitForRest(5000));
        QVERIFY(rig.View.Texts.isEmpty());
    }

    void lostUnitComesBackThroughTheRecovery() {
        TJobRig rig("", 0);
        auto watch = std::make_shared<TCheckJob>(TCheckJob::TKind::Watch, Points(), Good());
        rig.Worker->RunJob(watch);
        QTRY_VERIFY(watch->Watch().Checks() > 5);
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::LinkLost, 3));
        QTRY_VERIFY(rig.View.Texts.contains(QStringLiteral("Соединение восстановлено!")));
        QVERIFY(rig.View.Texts.front().startsWith(RecoveryQuestion));
        const long long checks = watch->Watch().Checks();
        QTRY_VERIFY(watch->Watch().Checks() > checks + 5); // the job went on after it
        QVERIFY(watch->Watch().Latched().empty());         // a lost unit is no fault of the harness
        rig.Worker->EndJob();
        QVERIFY(rig.Worker->WaitForRest(5000));
        QVERIFY(!rig.Worker->HasJob());
        QVERIFY(!watch->Done()); // ended from outside, not finished
    }

    void cancelEndsTheCheckAtItsNextRoundTrip() {
        // The learning is cancelled from its third round trip on: that one never goes to the
        // unit, and the job is done without a result.
        TFakeUnit unit;
        unit.Wire({{0, 1, 2}, {3, 4}}, Points().Pins());
        auto learn = std::make_shared<TCheckJob>(TCheckJob::TKind::Learn, Points());
        unit.BeforeTrip = [&](TFakeUnit&, long long trip) {
            QCOMPARE(learn->RoundTrips(), trip - 1); // counted as they are made
            if (trip == 2)
                learn->Cancel();
        };
        QVERIFY(!learn->Step(unit));
        QVERIFY(learn->Done() && learn->Cancelled());
        QCOMPARE(unit.Calls, 2LL);
        QCOMPARE(learn->RoundTrips(), 2LL);
        QVERIFY(!learn->Learnt());
        QVERIFY(!learn->Step(unit));
        QCOMPARE(unit.Calls, 2LL);

        // Whole, the same learning counts every round trip it made and is no cancelled one.
        unit.BeforeTrip = {};
        auto whole = std::make_shared<TCheckJob>(TCheckJob::TKind::Learn, Points());
        QVERIFY(!whole->Step(unit));
        QVERIFY(whole->Done() && !whole->Cancelled());
        QCOMPARE(whole->RoundTrips(), 4LL);
        QCOMPARE(whole->Learnt()->RoundTrips, 4);

        // A verify cancelled before its step makes no round trip at all.
        auto verify = std::make_shared<TCheckJob>(TCheckJob::TKind::Verify, Points(), Good());
        verify->Cancel();
        unit.Calls = 0;
        QVERIFY(!verify->Step(unit));
        QVERIFY(verify->Done() && verify->Cancelled() && !verify->Verified());
        QCOMPARE(unit.Calls, 0LL);

        // Continuous verify keeps what it latched before; the check under way latches nothing.
        auto watch = std::make_shared<TCheckJob>(TCheckJob::TKind::Watch, Points(), Good());
        unit.Cut(404); // a5 leaves its net
        QVERIFY(watch->Step(unit));
        QCOMPARE(watch->Watch().Latched().size(), std::size_t(1));
        QCOMPARE(watch->Watch().Checks(), 1LL);
        unit.BeforeTrip = [&](TFakeUnit&, long long) { watch->Cancel(); };
        QVERIFY(!watch->Step(unit));
        QVERIFY(watch->Done() && watch->Cancelled());
        QCOMPARE(watch->Watch().Checks(), 1LL);
        QCOMPARE(watch->Watch().Latched().front().Count, 1);
    }

    void cancelOnTheWorkerLeavesItAtRest() {
        // A slow unit (100 ms an answer): the learning is cancelled while under way; the worker
        // rests afterwards with no job and the recovery never asked.
        TJobRig rig("", 100000);
        auto learn = std::make_shared<TCheckJob>(TCheckJob::TKind::Learn, Points());
        rig.Worker->RunJob(learn);
        QTRY_VERIFY(learn->RoundTrips() >= 1);
        learn->Cancel();
        QTRY_VERIFY(learn->Done());
        QVERIFY(learn->Cancelled());
        QVERIFY(learn->RoundTrips() < 4);
        QVERIFY(rig.Worker->WaitForRest(5000));
        QVERIFY(!rig.Worker->HasJob());
        QVERIFY(rig.View.Texts.isEmpty());
    }

    void jobsRoundTripIsCommand21AndWantsLevels() {
        TRig rig;
        rig.Port->Type = 7; // a unit that takes the pins reduced
        QVERIFY(rig.Worker->InitUnit());
        int answered = 0;
        rig.Port->Script =
            [&answered](int code,
                        const std::vector<std::uint8_t>&) -> std::optional<TFakePort::TReply> {
            if (code == UnitCode::WriteRead && answered++ == 1)
                return TFakePort::TReply{UnitCode::Confirm, {}}; // no levels: not a reading
            return std::nullopt;
        };
        auto learn = std::make_shared<TCheckJob>(TCheckJob::TKind::Learn, Points());
        rig.Worker->RunJob(learn);
        QTRY_VERIFY(learn->Done());
        QVERIFY(rig.Worker->WaitForRest(5000));
        QVERIFY(rig.View.Texts.front().startsWith(RecoveryQuestion));
        QVERIFY(rig.View.Texts.contains(QStringLiteral("Соединение восстановлено!")));
        // Each pin reads only itself on this unit: six nets of one.
        QCOMPARE(learn->Learnt()->Reference.NetCount(), 6);
        // The learning's first round trips: all six pins at 0, then the first one at 1 (the one
        // answered by a bare confirmation); the pin codes reduced for this unit.
        std::vector<TSent> trips;
        for (const TSent& s : rig.Port->Sent())
            if (s.Code == UnitCode::WriteRead)
                trips.push_back(s);
        QCOMPARE(trips[0].Data,
                 (std::vector<std::uint8_t>{0, 0, 0, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0, 5, 0}));
        QCOMPARE(trips[1].Data,
                 (std::vector<std::uint8_t>{0, 0, 1, 0, 1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0, 5, 0}));
    }
};

QTEST_MAIN(TCheckJobTest)
#include "TCheckJobTest.moc"
