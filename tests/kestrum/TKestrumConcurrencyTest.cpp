// SPDX-License-Identifier: GPL-3.0-or-later
#include "KestrumTestKit.h"

#include <arpa/inet.h>
#include <atomic>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

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

// A unit on TCP loopback inside the test process (a child process does not mix with the thread
// sanitizer): it serves one connection after another, answers hello with type 101 and command 21
// with the levels it was sent plus a probe level 0. A frame torn by interleaved writes ends the
// connection, which the worker would see as a link failure.
class TLoopbackUnit {
  public:
    TLoopbackUnit() {
        FServer = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        ::bind(FServer, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(FServer, 8);
        ::getsockname(FServer, reinterpret_cast<sockaddr*>(&a), &len);
        Link = QStringLiteral("tcp:127.0.0.1:%1").arg(ntohs(a.sin_port)).toLatin1();
        FThread = std::thread([this] { Run(); });
    }
    ~TLoopbackUnit() {
        FStop = true;
        FThread.join();
        ::close(FServer);
    }
    QByteArray Link;
    std::atomic<int> BrokenFrames{0};

  private:
    static QByteArray Frame(int code, const QByteArray& data) {
        QByteArray out = Bytes({0xA5, code, static_cast<int>(data.size() & 0xFF),
                                static_cast<int>(data.size() >> 8)}) +
                         data;
        std::uint8_t sum = 0;
        for (qsizetype i = 1; i < out.size(); ++i)
            sum ^= static_cast<std::uint8_t>(out[i]);
        out.append(static_cast<char>(sum));
        return out;
    }
    bool Poll(int fd) {
        pollfd p{fd, POLLIN, 0};
        return ::poll(&p, 1, 20) > 0;
    }
    void Serve(int fd) {
        QByteArray got;
        while (!FStop) {
            if (!Poll(fd))
                continue;
            char chunk[4096];
            const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return;
            got.append(chunk, n);
            while (got.size() >= 5) {
                if (static_cast<std::uint8_t>(got[0]) != 0xA5) {
                    ++BrokenFrames;
                    return;
                }
                const int size =
                    static_cast<std::uint8_t>(got[2]) | static_cast<std::uint8_t>(got[3]) << 8;
                if (got.size() < 5 + size)
                    break;
                const int code = static_cast<std::uint8_t>(got[1]);
                const QByteArray payload = got.mid(4, size);
                got.remove(0, 5 + size);
                QByteArray reply;
                if (code == 0xF0) {
                    reply = Frame(0xF0, Bytes({101, 0}));
                } else if (code == 21) {
                    QByteArray levels;
                    for (qsizetype i = 2; i < payload.size(); i += 3)
                        levels.append(payload[i]);
                    reply = Frame(21, levels + Bytes({0}));
                } else if (code != 2 && code != 0xF7) {
                    reply = Frame(code, {});
                }
                if (!reply.isEmpty())
                    ::send(fd, reply.constData(), static_cast<size_t>(reply.size()), MSG_NOSIGNAL);
            }
        }
    }
    void Run() {
        while (!FStop) {
            if (!Poll(FServer))
                continue;
            const int fd = ::accept4(FServer, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                Serve(fd);
                ::close(fd);
            }
        }
    }

    int FServer = -1;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};

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
        TLoopbackUnit unit;
        TComPortHandle port = MakePort(unit.Link, {}, 2000);
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
        QCOMPARE(unit.BrokenFrames.load(), 0);

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
        QCOMPARE(Exchange(port.get(), 21, Triples({{400, 1}})), Bytes({1, 0}));
        QCOMPARE(unit.BrokenFrames.load(), 0);
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
