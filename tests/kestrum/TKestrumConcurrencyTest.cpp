#include "KestrumTestKit.h"

#include <QProcess>
#include <QRegularExpression>

#include <atomic>
#include <thread>

// The user-interface thread stops, reboots and closes the port while the worker waits on it.
namespace {
QByteArray AllPins() {
    QByteArray frame;
    for (int i = 0; i < 190; ++i) {
        const int code = i < 95 ? 272 + i : 400 + i - 95;
        frame += Triples({{static_cast<std::uint16_t>(code), static_cast<std::uint8_t>(i & 1)}});
    }
    return frame;
}

struct TWorkerTally {
    int Replies = 0;
    int Failures = 0;
    int Malformed = 0;
    int LinkFailures = 0;
};

// The worker's traffic: command 21 over every pin, each reply either whole and right or a
// failure with an empty reply.
TWorkerTally RunWorker(IComPort* port, const std::atomic<bool>& stop) {
    const QByteArray frame = AllPins();
    TWorkerTally tally;
    while (!stop) {
        SendBytes(port, 21, frame);
        if (port->Wait(-1) == 0) {
            ++tally.Replies;
            const QByteArray reply = Reply(port);
            bool ok = port->ReplyCode() == 21 && reply.size() == 191;
            for (int i = 0; ok && i < 190; ++i)
                ok = reply[i] == static_cast<char>(i & 1);
            tally.Malformed += ok ? 0 : 1;
        } else {
            ++tally.Failures;
            tally.Malformed += port->ReplyCode() == 0 && port->ReplyLength() == 0 ? 0 : 1;
            const int error = port->LastError();
            tally.LinkFailures += error == 3 || error == 4 ? 1 : 0;
        }
    }
    return tally;
}
} // namespace

class TKestrumConcurrencyTest : public QObject {
    Q_OBJECT
  private slots:
    void rebootAndCloseEndAWaitAtOnce() {
        TComPortHandle port = MakePort("sim", {}, 10000);
        QVERIFY(port && InitAndOpen(port.get()));
        QVERIFY(SimulateFault(port, KestrumFault::NoReply, 0));
        for (int round = 0; round < 2; ++round) {
            std::atomic<int> result{-1};
            SendBytes(port.get(), 23, {});
            std::thread worker([&] { result = port->Wait(-1); });
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            SendBytes(port.get(), 2, {}); // stop does not end the wait
            if (round == 0)
                port->Reboot();
            else
                port->Close();
            worker.join(); // well before the 10 s time-out
            QCOMPARE(result.load(), 8);
            QCOMPARE(port->ReplyCode(), 0);
        }
    }

    void uiCallsDuringTrafficOverTcp() {
        QProcess emulator;
        emulator.start(BinDir() + QStringLiteral("/pinvel-unit"),
                       {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0")});
        QVERIFY(emulator.waitForStarted(5000) && emulator.waitForReadyRead(5000));
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral(":(\\d+),"))
                .match(QString::fromUtf8(emulator.readAllStandardOutput()));
        QVERIFY(m.hasMatch());
        TComPortHandle port = MakePort("tcp:127.0.0.1:" + m.captured(1).toLatin1(), {}, 2000);
        QVERIFY(port && InitAndOpen(port.get()));

        // Stop and reboot from the other thread: frames never interleave, so the link stays up.
        std::atomic<bool> stop{false};
        TWorkerTally tally;
        std::thread worker([&] { tally = RunWorker(port.get(), stop); });
        for (int i = 0; i < 100; ++i) {
            SendBytes(port.get(), 2, {});
            if (i % 10 == 0)
                port->Reboot();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        stop = true;
        worker.join();
        QVERIFY(tally.Replies > 0);
        QCOMPARE(tally.Malformed, 0);
        QCOMPARE(tally.LinkFailures, 0);

        // Close and Open from the other thread as well: failures, never a torn reply.
        stop = false;
        worker = std::thread([&] { tally = RunWorker(port.get(), stop); });
        for (int i = 0; i < 30; ++i) {
            port->Close();
            port->Open(nullptr);
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        stop = true;
        worker.join();
        QCOMPARE(tally.Malformed, 0);
        QVERIFY(port->Open(nullptr) != 0);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        emulator.kill();
        emulator.waitForFinished(5000);
    }

    void simulatedUnitUnderTheSameCalls() {
        TComPortHandle port = MakePort("sim", {}, 500);
        QVERIFY(port && InitAndOpen(port.get()));
        std::atomic<bool> stop{false};
        TWorkerTally tally;
        std::thread worker([&] { tally = RunWorker(port.get(), stop); });
        for (int i = 0; i < 200; ++i) {
            SendBytes(port.get(), 2, {});
            if (i % 7 == 0)
                port->Reboot();
            if (i % 50 == 0) {
                port->Close();
                port->Open(nullptr);
            }
            std::this_thread::yield();
        }
        stop = true;
        worker.join();
        QCOMPARE(tally.Malformed, 0);
    }
};

QTEST_GUILESS_MAIN(TKestrumConcurrencyTest)
#include "TKestrumConcurrencyTest.moc"
