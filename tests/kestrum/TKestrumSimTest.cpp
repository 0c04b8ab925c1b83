// SPDX-License-Identifier: GPL-3.0-or-later
#include "KestrumTestKit.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cstddef>
#include <thread>

// Codes of the example harness (data/harness-example.json).
namespace {
constexpr std::uint16_t X1a1 = 400, X1a2 = 401, X1a3 = 402, X1b1 = 432, X1c31 = 494;
constexpr std::uint16_t X2a1 = 272, X2a2 = 273, X2a3 = 274, X2b5 = 308, X2c31 = 366;
constexpr int Refused = 0xEE;
} // namespace

class TKestrumSimTest : public QObject {
    Q_OBJECT

    TComPortHandle OpenExample() {
        TComPortHandle port = MakePort("sim", QFile::encodeName(TestData("harness-example.json")));
        if (port && !InitAndOpen(port.get()))
            port.reset();
        return port;
    }

  private slots:
    void opensAndReportsUnitType() {
        TComPortHandle port = MakePort("sim");
        QVERIFY(port);
        std::int32_t type = 0;
        QVERIFY(InitAndOpen(port.get(), &type));
        QCOMPARE(type, 101);
        QCOMPARE(port->UnitType(), 101);
        QVERIFY(port->Start() != 0);
        QVERIFY(port->Close() != 0);
        QVERIFY(port->Open(&type) != 0); // re-opened, as the recovery does
        QVERIFY(port->Done() != 0);
        QCOMPARE(port->Open(&type), 0);
        QVERIFY(port->LastError() != 0);
    }

    void withoutHarnessEveryPinReadsItsOwnLevel() {
        TComPortHandle port = MakePort("sim");
        QVERIFY(port && InitAndOpen(port.get()));
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1a1, 1}, {X2a1, 0}, {X1c31, 1}, {X2c31, 1}})),
                 Bytes({1, 0, 1, 1, 0}));
        QCOMPARE(port->ReplyCode(), 21);
        // Codes the unit does not have (c32, reduced codes) read 0 whatever is driven.
        QCOMPARE(Exchange(port.get(), 21, Triples({{495, 1}, {0, 1}, {X1a1, 1}})),
                 Bytes({0, 0, 1, 0}));
    }

    void emptyFramesGetMinimalReplies() {
        TComPortHandle port = OpenExample();
        QVERIFY(port);
        QCOMPARE(Exchange(port.get(), 21, {}), Bytes({0}));
        QCOMPARE(SendBytes(port.get(), 22, {}), 1);
        QCOMPARE(port->WaitFor(22, -1), 0);
        QCOMPARE(port->ReplyLength(), 0);
        QCOMPARE(Exchange(port.get(), 24, Bytes({0, 1})), Bytes({0}));
        QCOMPARE(port->ReplyCode(), 24);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        QCOMPARE(port->ReplyCode(), 23);
    }

    // Levels stay on the pins between commands; a net reads the OR of what its pins drive.
    void netsJoinPinsAndLevelsPersist() {
        TComPortHandle port = OpenExample();
        QVERIFY(port);
        QCOMPARE(SendBytes(port.get(), 22, Triples({{X1a1, 1}, {X2a2, 1}})), 1);
        QCOMPARE(port->WaitFor(22, -1), 0);
        QCOMPARE(Exchange(port.get(), 21, Triples({{X2a1, 0}, {X2a3, 0}, {X1b1, 0}, {X2c31, 0}})),
                 Bytes({1, 1, 0, 0, 0}));
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1a1, 0}, {X2a1, 0}, {X2a2, 0}, {X2c31, 1}})),
                 Bytes({0, 0, 0, 1, 0}));
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1b1, 0}})),
                 Bytes({1, 0})); // X2c31 still drives
    }

    void probeReadsAndDrivesItsNet() {
        TComPortHandle port = OpenExample();
        QVERIFY(port);
        // Probe output high, connector read: the probe's net (X1a2, X1a3, X2b5) reads 1.
        QCOMPARE(
            Exchange(port.get(), 24, Triples({{X1a2, 0}, {X1a3, 0}, {X1a1, 0}}, Bytes({1, 1}))),
            Bytes({1, 1, 0, 1}));
        // Read flag 0: only the probe input comes back.
        QCOMPARE(Exchange(port.get(), 24, Triples({{X1a2, 0}}, Bytes({0, 0}))), Bytes({0}));
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1a3, 1}})), Bytes({1, 1}));
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({1}));
    }

    void autonomousTableIsConfirmedAndDriven() {
        TComPortHandle port = OpenExample();
        QVERIFY(port);
        QCOMPARE(SendBytes(port.get(), 28, Triples({{X2b5, 1}, {X1a1, 0}}, Bytes({0}))), 1);
        QCOMPARE(port->WaitFor(28, -1), 0);
        QCOMPARE(port->ReplyLength(), 0);
        QCOMPARE(SendBytes(port.get(), 28, Triples({{X1a1, 3}, {X1a1, 4}}, Bytes({1, 1}))), 1);
        QCOMPARE(port->WaitFor(28, -1), 0);
        QCOMPARE(SendBytes(port.get(), 28, Bytes({2})), 1);
        QCOMPARE(port->WaitFor(28, -1), 0);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({1})); // the table drove the probe's net
        // Frames the unit cannot take are refused, not guessed at.
        for (const QByteArray& bad :
             {Bytes({}), Bytes({5}), Bytes({0, 1}), Bytes({1}), Bytes({2, 0})}) {
            QCOMPARE(SendBytes(port.get(), 28, bad), 1);
            QVERIFY(port->WaitFor(28, -1) != 0);
            QCOMPARE(port->ReplyCode(), Refused);
        }
        QCOMPARE(Exchange(port.get(), 21, Bytes({1, 144})), QByteArray());
        QCOMPARE(port->ReplyCode(), Refused);
        QCOMPARE(Exchange(port.get(), 23, Bytes({0})), QByteArray());
        QCOMPARE(Exchange(port.get(), 99, {}), QByteArray());
        QCOMPARE(port->ReplyCode(), Refused);
    }

    void stopAndRebootReleaseEveryPin() {
        TComPortHandle port = OpenExample();
        QVERIFY(port);
        QCOMPARE(Exchange(port.get(), 24, Triples({{X2b5, 1}}, Bytes({1, 0}))), Bytes({1}));
        QCOMPARE(SendBytes(port.get(), 2, {}), 1);
        QVERIFY(port->Wait(-1) != 0); // stop gets no reply, and nothing else is awaited
        QCOMPARE(port->ReplyCode(), 0);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1a1, 1}})), Bytes({1, 0}));
        QVERIFY(port->Reboot() != 0);
        QCOMPARE(Exchange(port.get(), 21, Triples({{X2a1, 0}})), Bytes({0, 0}));
    }

    void reducedUnitTypeFoldsBothConnectors() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrum sim XXXXXX"));
        QFile file(dir.filePath(QStringLiteral("unit 7.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"unitType": 7, "nets": [["X1:a1", "X2:b1"]], "probe": "X2:a1"})");
        file.close();
        TComPortHandle port = MakePort("sim", QFile::encodeName(file.fileName()));
        std::int32_t type = 0;
        QVERIFY(port && InitAndOpen(port.get(), &type));
        QCOMPARE(type, 7);
        QCOMPARE(port->UnitType(), 7);
        // X1:a1 and X2:a1 are both pin 0, X2:b1 is pin 32; 400 is no pin of this unit.
        QCOMPARE(Exchange(port.get(), 21, Triples({{0, 0}, {32, 1}, {94, 1}, {X1a1, 1}})),
                 Bytes({1, 1, 1, 0, 1}));
    }

    void sendDiscardsStaleReplyAndRefusesBadArguments() {
        TComPortHandle port = OpenExample();
        QVERIFY(port);
        QCOMPARE(SendBytes(port.get(), 21, Triples({{X1a1, 1}})), 1);
        QCOMPARE(SendBytes(port.get(), 23, {}), 1);
        QCOMPARE(port->Wait(-1), 0);
        QCOMPARE(port->ReplyCode(), 23);
        QCOMPARE(port->ReplyLength(), 1);

        const std::uint8_t byte = 0;
        QCOMPARE(port->Send(21, -1, &byte), 0);
        QCOMPARE(port->Send(21, 3, nullptr), 0);
        QCOMPARE(port->Send(0xF0, 0, nullptr), 0);
        QCOMPARE(port->Send(21, 5000, &byte), 0);
        QCOMPARE(port->LastError(), 9);
        QVERIFY(!PortErrorText(port).isEmpty());
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0})); // the port still works
        QCOMPARE(port->LastError(), 0);
        QVERIFY(PortErrorText(port).isEmpty());
    }

    void faultsSurfaceAsFailures() {
        TComPortHandle port = OpenExample();
        QVERIFY(port);
        const QByteArray twoPins = Triples({{X1a1, 1}, {X1b1, 0}});

        QVERIFY(SimulateFault(port, KestrumFault::WrongCode, 1));
        QCOMPARE(Exchange(port.get(), 21, twoPins), Bytes({1, 0, 0}));
        QCOMPARE(SendBytes(port.get(), 22, twoPins), 1);
        QVERIFY(port->WaitFor(22, -1) != 0);
        QCOMPARE(port->ReplyCode(), 0x55);
        QCOMPARE(port->LastError(), 0); // an answer came: not a link failure

        QVERIFY(SimulateFault(port, KestrumFault::ConfirmOnly, 0));
        QCOMPARE(Exchange(port.get(), 21, twoPins), QByteArray());
        QCOMPARE(port->ReplyCode(), 8);

        QVERIFY(SimulateFault(port, KestrumFault::WrongLength, 0));
        QCOMPARE(Exchange(port.get(), 21, twoPins), Bytes({1, 0}));
        QCOMPARE(SendBytes(port.get(), 22, twoPins), 1);
        QCOMPARE(port->WaitFor(22, -1), 0);
        QCOMPARE(port->ReplyLength(), 1);

        QVERIFY(SimulateFault(port, KestrumFault::NoReply, 0));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(SendBytes(port.get(), 21, twoPins), 1);
        QVERIFY(port->Wait(-1) != 0);
        QVERIFY(timer.elapsed() >= 250); // the configured 300 ms, not for ever
        QCOMPARE(port->ReplyCode(), 0);
        QCOMPARE(port->ReplyLength(), 0);
        QCOMPARE(port->LastError(), 2);
        QVERIFY(port->WaitFor(21, 50) != 0);
        QVERIFY(port->Close() != 0);
        QCOMPARE(port->Open(nullptr), 0); // a silent unit does not answer hello either
        QVERIFY(SimulateFault(port, KestrumFault::None, 0));
        QVERIFY(port->Open(nullptr) != 0);
        QCOMPARE(Exchange(port.get(), 21, twoPins), Bytes({1, 0, 0}));
    }

    void lostLinkComesBackThroughCloseAndOpen() {
        TComPortHandle port = OpenExample();
        QVERIFY(port);
        QVERIFY(SimulateFault(port, KestrumFault::LinkLost, 1));
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        QCOMPARE(SendBytes(port.get(), 23, {}), 0);
        QVERIFY(port->Wait(-1) != 0);
        QCOMPARE(port->ReplyCode(), 0);
        QCOMPARE(port->LastError(), 3);
        QCOMPARE(SendBytes(port.get(), 23, {}), 0); // stays down until re-opened
        QVERIFY(port->Close() != 0);
        QVERIFY(port->Open(nullptr) != 0);
        QCOMPARE(port->LastError(), 0);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));

        QVERIFY(SimulateFault(port, KestrumFault::Unplugged, 0));
        QCOMPARE(SendBytes(port.get(), 23, {}), 0);
        QVERIFY(port->Close() != 0);
        QCOMPARE(port->Open(nullptr), 0);
        QVERIFY(port->LastError() != 0);
        QVERIFY(SimulateFault(port, KestrumFault::None, 0));
        QVERIFY(port->Open(nullptr) != 0);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
    }

    void badHarnessNamesFileAndProblem_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("problem");
        QTest::newRow("not json") << QByteArray("{\"nets\": [") << QStringLiteral("JSON");
        QTest::newRow("not object") << QByteArray("[]") << QStringLiteral("объект");
        QTest::newRow("nets not list")
            << QByteArray(R"({"nets": 5})") << QStringLiteral("\"nets\"");
        QTest::newRow("net not list")
            << QByteArray(R"({"nets": ["X1:a1"]})") << QStringLiteral("цепь 1");
        QTest::newRow("no such connector")
            << QByteArray(R"({"nets": [["X3:a1"]]})") << QStringLiteral("X3:a1");
        QTest::newRow("c32 not wired")
            << QByteArray(R"({"nets": [["X1:c32"]]})") << QStringLiteral("X1:c32");
        QTest::newRow("pin not text")
            << QByteArray(R"({"nets": [[400]]})") << QStringLiteral("не строка");
        QTest::newRow("two nets") << QByteArray(R"({"nets": [["X1:a1"], ["X2:a2", "X1:a1"]]})")
                                  << QStringLiteral("цепь 2");
        QTest::newRow("bad probe")
            << QByteArray(R"({"probe": "X1:z1"})") << QStringLiteral("probe");
        QTest::newRow("bad unit type")
            << QByteArray(R"({"unitType": 1.5})") << QStringLiteral("unitType");
        QTest::newRow("opens not list")
            << QByteArray(R"({"opens": "X1:a1"})") << QStringLiteral("\"opens\"");
        QTest::newRow("bad open") << QByteArray(R"({"opens": ["X1:a1", "X9:a1"]})")
                                  << QStringLiteral("X9:a1");
        QTest::newRow("short of three")
            << QByteArray(R"({"shorts": [["X1:a1", "X1:a2"], ["X1:a1", "X1:a2", "X1:a3"]]})")
            << QStringLiteral("\"shorts\", пара 2");
        QTest::newRow("short of one")
            << QByteArray(R"({"shorts": [["X1:a1"]]})") << QStringLiteral("пара 1");
        QTest::newRow("bad foreign")
            << QByteArray(R"({"foreign": [401]})") << QStringLiteral("\"foreign\"");
        QTest::newRow("intermittent not object") << QByteArray(R"({"intermittent": ["X1:a1"]})")
                                                 << QStringLiteral("\"intermittent\", элемент 1");
        QTest::newRow("drop longer than period")
            << QByteArray(R"({"intermittent": [{"pin": "X1:a1", "dropMs": 201, "periodMs": 200}]})")
            << QStringLiteral("dropMs");
        QTest::newRow("no drop")
            << QByteArray(R"({"intermittent": [{"pin": "X1:a1", "dropMs": 0, "periodMs": 200}]})")
            << QStringLiteral("dropMs");
        QTest::newRow("intermittent without pin")
            << QByteArray(R"({"intermittent": [{"dropMs": 5, "periodMs": 200}]})")
            << QStringLiteral("не строка");
    }
    void badHarnessNamesFileAndProblem() {
        QFETCH(QByteArray, text);
        QFETCH(QString, problem);
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrum harness XXXXXX"));
        const QString path = dir.filePath(QStringLiteral("жгут 1.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        TComPortHandle port = MakePort("sim", QFile::encodeName(path));
        QVERIFY(port);
        const SCP_Info info{3, "Pinvel", 0, 1};
        QCOMPARE(port->Init(&info), 0);
        QCOMPARE(port->LastError(), 7);
        const QString message = PortErrorText(port);
        QVERIFY2(message.contains(path) && message.contains(problem), qPrintable(message));
        QCOMPARE(port->Open(nullptr), 0);
    }

    void harnessFaultsChangeTheNets() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrum faults XXXXXX"));
        QFile file(dir.filePath(QStringLiteral("faulty harness.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"nets": [["X1:a1", "X1:a2", "X1:a3"], ["X2:a1", "X2:a2"]],
                       "opens": ["X1:a3"], "shorts": [["X1:a2", "X2:a1"], ["X1:b1", "X1:b2"]],
                       "foreign": ["X2:a3"], "probe": "X1:a3"})");
        file.close();
        TComPortHandle port = MakePort("sim", QFile::encodeName(file.fileName()));
        QVERIFY(port && InitAndOpen(port.get()));
        const std::uint16_t X1b2 = 433;
        // X1:a1 drives the net it kept and the one the short joined; X1:a3 is cut off alone.
        QCOMPARE(Exchange(port.get(), 21,
                          Triples({{X1a1, 1}, {X1a2, 0}, {X1a3, 0}, {X2a1, 0}, {X2a2, 0}})),
                 Bytes({1, 1, 0, 1, 1, 0}));
        QCOMPARE(Exchange(port.get(), 21,
                          Triples({{X1a1, 0}, {X1a2, 0}, {X1a3, 1}, {X2a1, 0}, {X2a2, 0}})),
                 Bytes({0, 0, 1, 0, 0, 1})); // the probe still touches the cut pin
        // A short between pins in no net joins just them.
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1b1, 1}, {X1b2, 0}, {X1a1, 0}, {X1a3, 0}})),
                 Bytes({1, 1, 0, 0, 0}));
        // A foreign pin reads 1 whatever is driven, and after the unit lets every pin go.
        QCOMPARE(Exchange(port.get(), 21, Triples({{X2a3, 0}})), Bytes({1, 0}));
        QCOMPARE(SendBytes(port.get(), 2, {}), 1);
        QCOMPARE(Exchange(port.get(), 21, Triples({{X2a3, 0}, {X1a1, 0}})), Bytes({1, 0, 0}));
    }

    void intermittentPinLeavesItsNetForItsDrop() {
        // Out of its net for the last 500 ms of every second, counted from the unit's start.
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrum drop XXXXXX"));
        QFile file(dir.filePath(QStringLiteral("drop.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"nets": [["X1:a1", "X1:a2"]],
                       "intermittent": [{"pin": "X1:a2", "dropMs": 500, "periodMs": 1000}]})");
        file.close();
        QElapsedTimer sinceStart;
        sinceStart.start();
        TComPortHandle port = MakePort("sim", QFile::encodeName(file.fileName()));
        QVERIFY(port && InitAndOpen(port.get()));
        const auto joined = [&port] {
            const QByteArray read = Exchange(port.get(), 21, Triples({{X1a1, 1}, {X1a2, 0}}));
            return read.at(0) == 1 && read.at(1) != 0;
        };
        QVERIFY(joined());
        while (joined() && sinceStart.elapsed() < 3000)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        const qint64 droppedAt = sinceStart.elapsed();
        QVERIFY2(droppedAt >= 500 && droppedAt < 3000, qPrintable(QString::number(droppedAt)));
        // The driven pin keeps its level; the dropped one reads its own.
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1a1, 1}, {X1a2, 1}})), Bytes({1, 1, 0}));
        while (!joined() && sinceStart.elapsed() < 3000)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        QVERIFY(sinceStart.elapsed() < 3000);
    }

    void answersComeAtTheConfiguredPace() {
        const auto paced = [](const KestrumConfig& config) {
            TComPortHandle port = ComCreator(config, {BinDir()});
            return port && InitAndOpen(port.get()) ? std::move(port) : TComPortHandle();
        };
        TDeviceSettings device;
        device.ReplyTimeoutMs = 2000;
        // 0: the answer is in place when Send returns.
        device.SimReplyUs = 0;
        TComPortHandle flat = paced(device.Config());
        QVERIFY(flat);
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(SendBytes(flat.get(), 21, Triples({{X1a1, 1}})), 1);
            QCOMPARE(flat->Wait(0), 0);
        }
        // A slow unit: not yet there, then after its time; a second command replaces the first.
        device.SimReplyUs = 200000;
        TComPortHandle slow = paced(device.Config());
        QVERIFY(slow);
        QCOMPARE(SendBytes(slow.get(), 21, Triples({{X1a1, 1}})), 1);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(slow->Wait(0), 2);
        QCOMPARE(SendBytes(slow.get(), 23, {}), 1);
        QCOMPARE(slow->Wait(-1), 0);
        QVERIFY(timer.elapsed() >= 150);
        QCOMPARE(slow->ReplyCode(), 23); // not the first command's answer, which was due first
        // A record from before the pace existed, or a negative pace: a real unit's millisecond.
        for (int variant = 0; variant < 2; ++variant) {
            KestrumConfig config = device.Config(); // points into `device`, which lives on
            config.SimReplyUs = variant == 0 ? 0 : -5;
            config.Reserved = 12345;
            if (variant == 0)
                config.Size = std::int32_t(offsetof(KestrumConfig, SimReplyUs));
            TComPortHandle old = paced(config);
            QVERIFY(old);
            timer.restart();
            for (int i = 0; i < 20; ++i)
                QCOMPARE(Exchange(old.get(), 21, Triples({{X1a1, 1}})), Bytes({1, 0}));
            QVERIFY2(timer.elapsed() >= 19, qPrintable(QString::number(timer.elapsed())));
        }
    }

    void missingHarnessAndBadLinkAreReported() {
        TComPortHandle port = MakePort("sim", "/nonexistent/harness.json");
        const SCP_Info info{3, "Pinvel", 0, 1};
        QVERIFY(port);
        QCOMPARE(port->Init(&info), 0);
        QVERIFY(PortErrorText(port).contains(QStringLiteral("/nonexistent/harness.json")));
        for (const char* link :
             {"bogus", "serial:", "tcp:127.0.0.1", "tcp:127.0.0.1:99999", "tcp::5025"}) {
            TComPortHandle bad = MakePort(link);
            QVERIFY(bad);
            QCOMPARE(bad->Init(&info), 0);
            QCOMPARE(bad->LastError(), 6);
            QVERIFY(PortErrorText(bad).contains(QString::fromLatin1(link)));
        }
        TComPortHandle tcp = MakePort("tcp:127.0.0.1:1");
        QVERIFY(tcp);
        QVERIFY(
            !SimulateFault(tcp, KestrumFault::NoReply, 0)); // only the simulated unit takes faults
        QCOMPARE(tcp->Open(nullptr), 0);
        QCOMPARE(tcp->LastError(), 5);
    }
};

QTEST_GUILESS_MAIN(TKestrumSimTest)
#include "TKestrumSimTest.moc"
