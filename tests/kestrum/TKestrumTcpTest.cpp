// SPDX-License-Identifier: GPL-3.0-or-later
#include "KestrumTestKit.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <arpa/inet.h>
#include <atomic>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
constexpr std::uint16_t X1a1 = 400, X1a2 = 401, X2a1 = 272, X2b5 = 308;

QByteArray Frame(int code, const QByteArray& payload) {
    QByteArray out = Bytes({0xA5, code, static_cast<int>(payload.size() & 0xFF),
                            static_cast<int>(payload.size() >> 8)});
    out += payload;
    std::uint8_t sum = 0;
    for (qsizetype i = 1; i < out.size(); ++i)
        sum ^= static_cast<std::uint8_t>(out[i]);
    out.append(static_cast<char>(sum));
    return out;
}

// The unit emulator as a separate process.
class TEmulator {
  public:
    bool Start(const QStringList& extra, int port = 0) {
        FProcess.setProgram(BinDir() + QStringLiteral("/pinvel-unit"));
        FProcess.setArguments(
            QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port)} +
            extra);
        FProcess.start();
        if (!FProcess.waitForStarted(5000))
            return false;
        const QRegularExpression line(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        QElapsedTimer timer;
        timer.start();
        QByteArray seen;
        while (timer.elapsed() < 5000 && FProcess.waitForReadyRead(5000)) {
            seen += FProcess.readAllStandardOutput();
            const QRegularExpressionMatch m = line.match(QString::fromUtf8(seen));
            if (m.hasMatch()) {
                Port = m.captured(1).toInt();
                return true;
            }
        }
        return false;
    }
    void Kill() {
        FProcess.kill();
        FProcess.waitForFinished(5000);
    }
    QByteArray Link() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(Port).toLatin1(); }
    ~TEmulator() { Kill(); }

    int Port = 0;

  private:
    QProcess FProcess;
};

// A peer that answers hello properly and then sends whatever the test scripted in reply to the
// first command: a stand-in for a unit that misbehaves on the wire.
class TScriptedPeer {
  public:
    TScriptedPeer(QByteArray helloReply, QByteArray commandReply, bool closeAfter)
        : FHello(std::move(helloReply)), FReply(std::move(commandReply)), FClose(closeAfter) {
        FServer = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        ::bind(FServer, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(FServer, 1);
        ::getsockname(FServer, reinterpret_cast<sockaddr*>(&a), &len);
        Port = ntohs(a.sin_port);
        FThread = std::thread([this] { Run(); });
    }
    ~TScriptedPeer() {
        FStop = true;
        FThread.join();
        ::close(FServer);
    }
    QByteArray Link() const { return QStringLiteral("tcp:127.0.0.1:%1").arg(Port).toLatin1(); }
    int Port = 0;
    // Every byte the peer has received so far, as it came off the wire.
    QByteArray Received() {
        std::lock_guard lock(FLock);
        return FReceived;
    }

  private:
    bool ReadFrame(int fd) {
        QByteArray got;
        while (!FStop) {
            pollfd p{fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            char c[512];
            const ssize_t n = ::recv(fd, c, sizeof c, 0);
            if (n <= 0)
                return false;
            got.append(c, n);
            {
                std::lock_guard lock(FLock);
                FReceived.append(c, n);
            }
            if (got.size() >= 5 && got.size() >= 5 + (static_cast<std::uint8_t>(got[2]) |
                                                      static_cast<std::uint8_t>(got[3]) << 8))
                return true;
        }
        return false;
    }
    void Run() {
        pollfd p{FServer, POLLIN, 0};
        while (!FStop && ::poll(&p, 1, 100) <= 0) {
        }
        if (FStop)
            return;
        const int fd = ::accept(FServer, nullptr, nullptr);
        if (ReadFrame(fd) && ::send(fd, FHello.constData(), FHello.size(), MSG_NOSIGNAL) >= 0 &&
            ReadFrame(fd))
            ::send(fd, FReply.constData(), FReply.size(), MSG_NOSIGNAL);
        while (!FClose && !FStop)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        ::close(fd);
    }

    QByteArray FHello, FReply;
    std::mutex FLock;
    QByteArray FReceived;
    bool FClose;
    int FServer = -1;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};
} // namespace

class TKestrumTcpTest : public QObject {
    Q_OBJECT
  private slots:
    void emulatorEndToEndAndReconnect() {
        TEmulator emulator;
        QVERIFY(emulator.Start(
            {QStringLiteral("--harness"), TestData(QStringLiteral("harness-example.json"))}));
        TComPortHandle port = MakePort(emulator.Link(), {}, 1000);
        QVERIFY(port);
        std::int32_t type = 0;
        QVERIFY(InitAndOpen(port.get(), &type));
        QCOMPARE(type, 101);

        QCOMPARE(SendBytes(port.get(), 22, Triples({{X1a1, 1}})), 1);
        QCOMPARE(port->WaitFor(22, -1), 0);
        QCOMPARE(port->ReplyLength(), 0);
        QCOMPARE(Exchange(port.get(), 21, Triples({{X2a1, 0}, {X1a2, 0}})), Bytes({1, 0, 0}));
        QCOMPARE(port->ReplyCode(), 21);
        QCOMPARE(Exchange(port.get(), 24, Triples({{X1a2, 0}}, Bytes({1, 1}))), Bytes({1, 1}));
        QCOMPARE(Exchange(port.get(), 24, Triples({{X1a2, 0}}, Bytes({0, 0}))), Bytes({0}));
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        QCOMPARE(port->ReplyCode(), 23);
        QCOMPARE(SendBytes(port.get(), 28, Triples({{X2b5, 1}}, Bytes({0}))), 1);
        QCOMPARE(port->WaitFor(28, -1), 0);
        QCOMPARE(SendBytes(port.get(), 28, Bytes({2})), 1);
        QCOMPARE(port->WaitFor(28, -1), 0);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({1}));
        QCOMPARE(SendBytes(port.get(), 2, {}), 1);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        QVERIFY(port->Reboot() != 0);
        QCOMPARE(Exchange(port.get(), 21, {}), Bytes({0}));

        // The unit goes away: the wait ends with a failure, not after the time-out.
        emulator.Kill();
        SendBytes(port.get(), 23, {});
        QCOMPARE(port->Wait(-1), 3); // link lost, not a time-out
        QCOMPARE(port->ReplyCode(), 0);
        QVERIFY(port->LastError() != 0);
        QVERIFY(!PortErrorText(port).isEmpty());
        QVERIFY(port->Close() != 0);
        QCOMPARE(port->Open(nullptr), 0);

        // ... and comes back on the same address: Close and Open reconnect.
        const int oldPort = emulator.Port;
        TEmulator again;
        QVERIFY(again.Start({}, oldPort));
        QVERIFY(port->Close() != 0);
        QVERIFY(port->Open(&type) != 0);
        QCOMPARE(port->LastError(), 0);
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1a1, 1}, {X2a1, 0}})), Bytes({1, 0, 0}));
    }

    void emulatorFaults() {
        TEmulator silent;
        QVERIFY(silent.Start(
            {QStringLiteral("--drop-after"), QStringLiteral("1"), QStringLiteral("--log")}));
        TComPortHandle port = MakePort(silent.Link(), {}, 300);
        QVERIFY(port && InitAndOpen(port.get()));
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        QCOMPARE(SendBytes(port.get(), 23, {}), 1);
        QCOMPARE(port->Wait(-1), 2); // time-out
        QCOMPARE(port->ReplyLength(), 0);
        QVERIFY(port->Close() != 0);
        QVERIFY(port->Open(nullptr) != 0); // a new connection counts afresh
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));

        TEmulator closing;
        QVERIFY(closing.Start({QStringLiteral("--close-after"), QStringLiteral("2")}));
        TComPortHandle other = MakePort(closing.Link(), {}, 2000);
        QVERIFY(other && InitAndOpen(other.get()));
        QCOMPARE(Exchange(other.get(), 23, {}), Bytes({0}));
        QCOMPARE(Exchange(other.get(), 23, {}), Bytes({0}));
        SendBytes(other.get(), 23, {});
        QCOMPARE(other->Wait(-1), 3); // link lost, not a time-out
        QVERIFY(other->Close() != 0 && other->Open(nullptr) != 0);
        QCOMPARE(Exchange(other.get(), 23, {}), Bytes({0}));
    }

    void emulatorAnswersAtItsPace() {
        TEmulator slow;
        QVERIFY(slow.Start({QStringLiteral("--reply-us"), QStringLiteral("200000")}));
        TComPortHandle port = MakePort(slow.Link(), {}, 2000);
        QVERIFY(port && InitAndOpen(port.get()));
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(Exchange(port.get(), 21, Triples({{X1a1, 1}})), Bytes({1, 0}));
        QVERIFY(timer.elapsed() >= 150);
        // Two commands in one go are answered one pace after the other.
        timer.restart();
        QCOMPARE(SendBytes(port.get(), 2, {}), 1);
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
        QVERIFY(timer.elapsed() >= 150);

        for (const char* bad : {"-1", "x", "1000001"}) {
            QProcess refused;
            refused.start(BinDir() + QStringLiteral("/pinvel-unit"),
                          {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                           QStringLiteral("--reply-us"), QString::fromLatin1(bad)});
            QVERIFY(refused.waitForFinished(5000));
            QCOMPARE(refused.exitCode(), 2);
            QVERIFY(QString::fromUtf8(refused.readAllStandardError()).contains("--reply-us"));
        }
    }

    // The unit answers every command, in order, however late: an answer that comes after its
    // command's wait gave up, or after the next command went out, is never the next one's.
    void lateAnswerIsNotTheNextCommands() {
        TEmulator slow;
        QVERIFY(slow.Start({QStringLiteral("--harness"),
                            TestData(QStringLiteral("harness-example.json")),
                            QStringLiteral("--reply-us"), QStringLiteral("250000")}));
        // The hello is paced too: the port's own wait is long enough for it.
        TComPortHandle port = MakePort(slow.Link(), {}, 1000);
        QVERIFY(port && InitAndOpen(port.get()));
        // Two commands 21 whose answers differ: X1:a1 driven to 1, then to 0 beside X1:a2.
        const QByteArray first = Triples({{X1a1, 1}});             // answers 1, probe 0
        const QByteArray second = Triples({{X1a1, 0}, {X1a2, 0}}); // answers 0, 0, probe 0
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(SendBytes(port.get(), 21, first), 1);
        QCOMPARE(port->Wait(100), 2); // gave up before the answer's 250 ms
        QCOMPARE(port->ReplyLength(), 0);
        QCOMPARE(SendBytes(port.get(), 21, second), 1);
        QCOMPARE(port->Wait(-1), 0);
        QCOMPARE(port->ReplyCode(), 21);
        QCOMPARE(Reply(port.get()), Bytes({0, 0, 0}));
        QVERIFY2(timer.elapsed() >= 450, qPrintable(QString::number(timer.elapsed())));
        // The port keeps step: the next exchange is its own.
        QCOMPARE(Exchange(port.get(), 21, first), Bytes({1, 0}));
        // A command sent before the one before it was answered: its answer, not the first's.
        QCOMPARE(SendBytes(port.get(), 21, first), 1);
        QCOMPARE(SendBytes(port.get(), 21, second), 1);
        QCOMPARE(port->Wait(-1), 0);
        QCOMPARE(Reply(port.get()), Bytes({0, 0, 0}));
        QCOMPARE(Exchange(port.get(), 23, {}), Bytes({0}));
    }

    void brokenPeersFailCleanly_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("close");
        QTest::addColumn<int>("error");
        const QByteArray good = Frame(21, Bytes({1, 0}));
        QByteArray badChecksum = good;
        badChecksum[badChecksum.size() - 1] = static_cast<char>(badChecksum.back() ^ 0x40);
        QTest::newRow("bad sync") << (Bytes({0x5A}) + good.mid(1)) << false << 4;
        QTest::newRow("bad checksum") << badChecksum << false << 4;
        QTest::newRow("length too long") << Bytes({0xA5, 21, 0xFF, 0xFF, 1, 2, 3}) << false << 4;
        QTest::newRow("half a frame then close") << good.left(4) << true << 3;
        QTest::newRow("silence") << QByteArray() << false << 2;
    }
    void brokenPeersFailCleanly() {
        QFETCH(QByteArray, reply);
        QFETCH(bool, close);
        QFETCH(int, error);
        TScriptedPeer peer(Frame(0xF0, Bytes({101, 0})), reply, close);
        TComPortHandle port = MakePort(peer.Link(), {}, 300);
        QVERIFY(port && InitAndOpen(port.get()));
        QCOMPARE(SendBytes(port.get(), 21, Triples({{X1a1, 1}})), 1);
        QCOMPARE(port->Wait(-1), error);
        QCOMPARE(port->ReplyCode(), 0);
        QCOMPARE(port->ReplyLength(), 0);
        QCOMPARE(port->LastError(), error);
        QVERIFY(!PortErrorText(port).isEmpty());
        if (close)
            QVERIFY(PortErrorText(port).contains(QStringLiteral("середине кадра")));
        QCOMPARE(SendBytes(port.get(), 23, {}) != 0, error == 2); // a broken stream stays broken
    }

    void replyForAnotherCommandIsNotConfirmation() {
        TScriptedPeer peer(Frame(0xF0, Bytes({101, 0})), Frame(22, {}), false);
        TComPortHandle port = MakePort(peer.Link(), {}, 300);
        QVERIFY(port && InitAndOpen(port.get()));
        QCOMPARE(SendBytes(port.get(), 28, Bytes({2})), 1);
        QVERIFY(port->WaitFor(28, -1) != 0);
        QCOMPARE(port->ReplyCode(), 22);
    }

    void badHelloFailsOpen() {
        for (const QByteArray& hello :
             {QByteArray(), Frame(21, Bytes({0})), Bytes({1, 2, 3, 4, 5, 6})}) {
            TScriptedPeer peer(hello, {}, false);
            TComPortHandle port = MakePort(peer.Link(), {}, 300);
            const SCP_Info info{3, "Pinvel", 0, 1};
            QVERIFY(port && port->Init(&info) != 0);
            QCOMPARE(port->Open(nullptr), 0);
            QCOMPARE(port->LastError(), 5);
            QCOMPARE(SendBytes(port.get(), 23, {}), 0);
        }
    }

    // What travels on the wire, written out from the documented layout (sync 0xA5, code, length
    // low and high byte, payload, XOR of every byte from the code to the payload's end), never
    // produced by the library's own encoder.
    void framesOnTheWireAreTheDocumentedBytes() {
        // 258 payload bytes 00 01 .. FF 00 01: the length's high byte 01 enters the checksum,
        // 15 ^ 02 ^ 01 ^ (00 ^ 01 ^ .. ^ FF = 00) ^ 00 ^ 01 = 17.
        QByteArray payload;
        for (int i = 0; i < 258; ++i)
            payload.append(static_cast<char>(i & 0xFF));
        // The reply: 256 bytes of 5A (they cancel out), 15 ^ 00 ^ 01 = 14.
        const QByteArray reply =
            Bytes({0xA5, 0x15, 0x00, 0x01}) + QByteArray(256, '\x5A') + Bytes({0x14});
        TScriptedPeer peer(Bytes({0xA5, 0xF0, 0x02, 0x00, 101, 0, 0xF0 ^ 0x02 ^ 101}), reply,
                           false);
        TComPortHandle port = MakePort(peer.Link(), {}, 1000);
        QVERIFY(port && InitAndOpen(port.get()));
        QCOMPARE(SendBytes(port.get(), 21, payload), 1);
        QCOMPARE(port->Wait(-1), 0);
        QCOMPARE(port->ReplyCode(), 21);
        QCOMPARE(Reply(port.get()), QByteArray(256, '\x5A'));
        QCOMPARE(peer.Received(), Bytes({0xA5, 0xF0, 0x00, 0x00, 0xF0}) +
                                      Bytes({0xA5, 0x15, 0x02, 0x01}) + payload + Bytes({0x17}));
    }

    // 4096 payload bytes are the most a frame carries, both ways; one more is refused.
    void payloadOfExactly4096Bytes() {
        const QByteArray zeros(4096, '\0');
        // 15 ^ 00 ^ 10 = 05
        const QByteArray frame4096 = Bytes({0xA5, 0x15, 0x00, 0x10}) + zeros + Bytes({0x05});
        TScriptedPeer peer(Frame(0xF0, Bytes({101, 0})), frame4096, false);
        TComPortHandle port = MakePort(peer.Link(), {}, 1000);
        QVERIFY(port && InitAndOpen(port.get()));
        const QByteArray hello = peer.Received();
        QCOMPARE(SendBytes(port.get(), 21, zeros + "x"), 0);
        QCOMPARE(port->LastError(), 9);
        QCOMPARE(SendBytes(port.get(), 21, zeros), 1);
        QCOMPARE(port->Wait(-1), 0);
        QCOMPARE(port->ReplyLength(), 4096);
        QCOMPARE(Reply(port.get()), zeros);
        QCOMPARE(peer.Received(), hello + frame4096); // the refused frame never went out

        // A length of 4097 from the unit is a broken stream.
        TScriptedPeer longer(
            Frame(0xF0, Bytes({101, 0})),
            Bytes({0xA5, 0x15, 0x01, 0x10}) + QByteArray(4097, '\0') + Bytes({0x04}), false);
        TComPortHandle other = MakePort(longer.Link(), {}, 1000);
        QVERIFY(other && InitAndOpen(other.get()));
        QCOMPARE(SendBytes(other.get(), 23, {}), 1);
        QCOMPARE(other->Wait(-1), 4);
        QCOMPARE(other->ReplyLength(), 0);
    }

    // A peer whose accept queue is full never answers the connection request: the connect
    // gives up within its bounded wait and says so, rather than blaming a silent unit.
    void handshakeThatNeverCompletesIsAConnectFailure() {
        const int server = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        QCOMPARE(::bind(server, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
        QCOMPARE(::listen(server, 0), 0);
        ::getsockname(server, reinterpret_cast<sockaddr*>(&a), &len);
        // Connections nobody accepts, until the queue is full and one stays half-open.
        std::vector<int> fillers;
        bool full = false;
        while (!full && fillers.size() < 16) {
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
            fillers.push_back(fd);
            ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
            pollfd p{fd, POLLOUT, 0};
            full = ::poll(&p, 1, 300) == 0;
        }
        QVERIFY(full);
        const QString where = QStringLiteral("127.0.0.1:%1").arg(ntohs(a.sin_port));

        TComPortHandle port = MakePort("tcp:" + where.toLatin1(), {}, 150);
        const SCP_Info info{3, "Pinvel", 0, 1};
        QVERIFY(port && port->Init(&info) != 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(port->Open(nullptr), 0);
        const qint64 elapsed = timer.elapsed();
        QCOMPARE(port->LastError(), 5);
        const QString text = PortErrorText(port);
        QVERIFY2(text.startsWith(QStringLiteral("Не удалось подключиться к ") + where) &&
                     text.contains(QStringLiteral("время ожидания истекло")),
                 qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("не отвечает")), qPrintable(text));
        QVERIFY2(elapsed < 5000, qPrintable(QString::number(elapsed)));
        for (int fd : fillers)
            ::close(fd);
        ::close(server);
    }

    // The resolver's own text is English; the user reads why in Russian.
    void unknownHostIsReportedInRussian() {
        TComPortHandle port = MakePort("tcp:no-such-host.invalid:5025");
        const SCP_Info info{3, "Pinvel", 0, 1};
        QVERIFY(port && port->Init(&info) != 0);
        QCOMPARE(port->Open(nullptr), 0);
        QCOMPARE(port->LastError(), 5);
        const QString text = PortErrorText(port);
        QVERIFY2(text.startsWith(QStringLiteral("Не найден адрес no-such-host.invalid: ")),
                 qPrintable(text));
        const QString reason = text.mid(text.indexOf(QStringLiteral(": ")) + 2);
        QVERIFY2(reason.contains(QRegularExpression(QStringLiteral("[а-я]"))) &&
                     !reason.contains(QRegularExpression(QStringLiteral("[A-Za-z]{3}"))),
                 qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TKestrumTcpTest)
#include "TKestrumTcpTest.moc"
