// SPDX-License-Identifier: GPL-3.0-or-later
// Rest, resume and the hand-overs between the worker and the user-interface thread.

#include "HardTestKit.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <thread>

namespace {

// A cycling rig whose unit answers a different probe level on every pass, so every pass hands
// its result over to the user-interface thread.
void MakeBusy(TRig& rig) {
    rig.Tie(400, {{0, 0}});
    rig.Tie(401, {{1, 0}, {2, 0}});
    rig.Worker->FillPins();
    rig.Settings.ZondWrite = ZondWriteMode::Hi;
    rig.Settings.Cycle = true;
    rig.Port->Script =
        [&rig,
         n = 0](int, const std::vector<std::uint8_t>&) mutable -> std::optional<TFakePort::TReply> {
        rig.Port->ProbeIn = ++n % 2;
        return std::nullopt;
    };
}

bool StaysIdle(TRig& rig, int ms) {
    const auto passes = rig.Worker->Passes();
    const auto sent = rig.Port->Sent().size();
    QTest::qWait(ms);
    return rig.Worker->Passes() == passes && rig.Port->Sent().size() == sent;
}

} // namespace

class TWorkerThreadTest : public QObject {
    Q_OBJECT
  private slots:
    void bringToRestDuringCycle() {
        TRig rig;
        MakeBusy(rig);
        rig.Worker->Resume();
        QTRY_VERIFY(rig.Worker->Passes() > 20);
        // Called without an event loop: the worker's hand-overs are served inside the wait.
        QVERIFY(rig.Worker->BringToRest());
        QVERIFY(rig.Worker->IsResting());
        QVERIFY(StaysIdle(rig, 50));
        // A second suspend changes nothing; one resume goes on with the cycle.
        rig.Worker->Suspend();
        QVERIFY(rig.Worker->BringToRest());
        const auto passes = rig.Worker->Passes();
        rig.Worker->Resume();
        QTRY_VERIFY(rig.Worker->Passes() > passes + 20);
        QVERIFY(rig.Worker->BringToRest());
    }

    // A resume marks the worker busy; a rest asked for before it wakes must still be reached
    // (opening a file from the tester does exactly this).
    void restRightAfterResume() {
        TRig rig;
        MakeBusy(rig);
        rig.Worker->Resume();
        QTRY_VERIFY(rig.Worker->Passes() > 5);
        for (int i = 0; i < 200; ++i) {
            QVERIFY(rig.Worker->BringToRest(2000));
            rig.Worker->Resume();
            QVERIFY2(rig.Worker->BringToRest(2000), qPrintable(QString::number(i)));
        }
    }

    void resumeDuringPassEarnsAnotherPass() {
        TRig rig;
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        rig.View.OnZondState = [&rig] {
            if (rig.View.ZondCalls == 1)
                rig.Worker->Resume();
        };
        QVERIFY(rig.Pass());
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(2));
        QVERIFY(StaysIdle(rig, 30));
    }

    void questionServedWhileWaitingForRest() {
        TRig rig;
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        rig.Settings.ReadRaz = false;
        rig.Settings.ReadZond = false;
        rig.View.Answers = {false};
        rig.Worker->Resume();
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        // The worker asks its question before it can rest; the wait answers it.
        QVERIFY(rig.Worker->BringToRest());
        QCOMPARE(rig.View.Texts.size(), qsizetype(1));
        QCOMPARE(rig.Worker->Passes(), std::uint64_t(1));
    }

    void waitsForTesterMode() {
        TRig rig;
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        rig.WorkPlace.SetTesterMode(false);
        rig.Worker->Resume();
        QVERIFY(StaysIdle(rig, 150));
        QVERIFY(!rig.Worker->IsResting());
        rig.WorkPlace.SetTesterMode(true);
        rig.Worker->NotifySettingsChanged();
        QTRY_COMPARE(rig.Worker->Passes(), std::uint64_t(1));
        QVERIFY(rig.Worker->WaitForRest());
        // Switched back to the tester mode without a word: the worker notices on its own.
        rig.WorkPlace.SetTesterMode(false);
        rig.Worker->Resume();
        QTest::qWait(20);
        rig.WorkPlace.SetTesterMode(true);
        QTRY_COMPARE(rig.Worker->Passes(), std::uint64_t(2));
    }

    void shutdownReleasesAWaitingCall() {
        auto rig = std::make_unique<TRig>();
        rig->Tie(400, {{0, 0}});
        rig->Worker->FillPins();
        rig->Port->Script = [](int, const std::vector<std::uint8_t>&) {
            return std::optional(TFakePort::TReply{}); // the unit is gone
        };
        rig->Worker->Resume();
        // Nobody serves the error question; the program ends meanwhile.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QElapsedTimer t;
        t.start();
        rig->Worker->StopUnit();
        rig->Worker->Shutdown();
        rig->Worker->ClosePort();
        QVERIFY(t.elapsed() < 2000);
        QVERIFY(rig->View.Texts.isEmpty());
        rig->Worker->Resume(); // does nothing any more
        QVERIFY(rig->Worker->IsResting());
        rig.reset();
        QCoreApplication::processEvents(); // a stale wake-up finds nothing
    }

    void modelChangesWhileRunning() {
        TRig rig;
        MakeBusy(rig);
        rig.At(1, 0).State = TContactState::csGenerator;
        rig.At(2, 0).State = TContactState::csGenerator;
        rig.At(2, 0).GenIndex = 1;
        rig.Worker->FGenerator.SetLines(2);
        rig.Worker->Resume();
        QElapsedTimer t;
        t.start();
        int k = 0;
        while (t.elapsed() < 300) {
            // What the user does in the tester mode while the cycle runs.
            rig.At(0, 0).State = k % 3 == 0 ? TContactState::csFree : TContactState::csTied;
            rig.Worker->FGenerator.SetLines(k % 2 + 1);
            rig.Settings.ZondWrite = k % 4;
            rig.Settings.ReadRaz = k % 5 != 0;
            if (k % 7 == 0) {
                rig.Worker->FillPins();
                rig.Worker->Resume();
            }
            ++k;
            QTest::qWait(1);
        }
        // Structural change: only at rest.
        TSootv other;
        rig.Worker->SetModel(&rig.WorkPlace, &other);
        QVERIFY(rig.Worker->IsResting());
        rig.Worker->SetModel(&rig.WorkPlace, &rig.Sootv);
        rig.Settings.Cycle = false;
        rig.Worker->Resume();
        QVERIFY(rig.Worker->WaitForRest());
        QVERIFY(rig.Worker->Passes() > 10);
        QVERIFY(rig.View.ZondCalls > 10);
    }
};

QTEST_GUILESS_MAIN(TWorkerThreadTest)
#include "TWorkerThreadTest.moc"
