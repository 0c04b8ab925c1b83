// SPDX-License-Identifier: GPL-3.0-or-later
#include "KestrumTestKit.h"

#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {
// A unit on the far side of a pseudo-terminal, standing in for the USB CDC device: it answers
// hello with type 101 and any command with its own code and the level bytes of its triples plus
// a probe level 0 (so 21 reads back what it writes).
class TPtyUnit {
  public:
    explicit TPtyUnit(const QString& node) : FNode(node) {
        if (::openpty(&FMaster, &FSlave, nullptr, nullptr, nullptr) != 0)
            return;
        QFile::remove(FNode);
        Ok = QFile::link(QString::fromLocal8Bit(::ttyname(FSlave)), FNode);
        FThread = std::thread([this] { Run(); });
    }
    // The cable is pulled: the device node goes away and the line hangs up.
    ~TPtyUnit() {
        FStop = true;
        if (FThread.joinable())
            FThread.join();
        QFile::remove(FNode);
        ::close(FMaster);
        ::close(FSlave);
    }
    bool Ok = false;
    std::atomic<int> Frames{0};

  private:
    void Answer(std::uint8_t code, const QByteArray& payload) {
        QByteArray data;
        if (code == 0xF0)
            data = Bytes({101, 0});
        else
            for (qsizetype i = 2; i < payload.size(); i += 3)
                data.append(payload[i]);
        if (code == 21)
            data.append('\0');
        if (code == 2 || code == 0xF7)
            return;
        QByteArray out = Bytes({0xA5, code, static_cast<int>(data.size()), 0}) + data;
        std::uint8_t sum = 0;
        for (qsizetype i = 1; i < out.size(); ++i)
            sum ^= static_cast<std::uint8_t>(out[i]);
        out.append(static_cast<char>(sum));
        [[maybe_unused]] const ssize_t n =
            ::write(FMaster, out.constData(), static_cast<size_t>(out.size()));
    }
    void Run() {
        QByteArray got;
        while (!FStop) {
            pollfd p{FMaster, POLLIN, 0};
            if (::poll(&p, 1, 50) <= 0 || (p.revents & POLLIN) == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            char c[512];
            const ssize_t n = ::read(FMaster, c, sizeof c);
            if (n <= 0)
                continue;
            got.append(c, n);
            while (got.size() >= 5) {
                const int size =
                    static_cast<std::uint8_t>(got[2]) | static_cast<std::uint8_t>(got[3]) << 8;
                if (got.size() < 5 + size)
                    break;
                ++Frames;
                Answer(static_cast<std::uint8_t>(got[1]), got.mid(4, size));
                got.remove(0, 5 + size);
            }
        }
    }

    QString FNode;
    int FMaster = -1;
    int FSlave = -1;
    std::atomic<bool> FStop{false};
    std::thread FThread;
};
} // namespace

class TKestrumSerialTest : public QObject {
    Q_OBJECT
  private slots:
    void serialLineSurvivesUnplugAndReplug() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrum serial XXXXXX"));
        const QString node = dir.filePath(QStringLiteral("ttyACM0"));
        const QByteArray link = "serial:" + QFile::encodeName(node);
        auto unit = std::make_unique<TPtyUnit>(node);
        QVERIFY(unit->Ok);

        TComPortHandle port = MakePort(link, {}, 500);
        std::int32_t type = 0;
        QVERIFY(port && InitAndOpen(port.get(), &type));
        QCOMPARE(type, 101);
        QCOMPARE(Exchange(port.get(), 21, Triples({{400, 1}, {272, 0}})), Bytes({1, 0, 0}));
        // Bytes that a terminal would translate travel unchanged on a raw line.
        QCOMPARE(Exchange(port.get(), 21, Triples({{0x0D0A, 0x03}, {0x1113, 0x7F}})),
                 Bytes({0x03, 0x7F, 0}));
        QCOMPARE(SendBytes(port.get(), 22, Triples({{400, 1}})), 1);
        QCOMPARE(port->WaitFor(22, -1), 0);

        unit.reset();
        SendBytes(port.get(), 23, {});
        QVERIFY(port->Wait(-1) != 0);
        QCOMPARE(port->ReplyCode(), 0);
        QVERIFY(port->LastError() != 0);
        QVERIFY(port->Close() != 0);
        QCOMPARE(port->Open(nullptr), 0); // no device node
        QVERIFY(PortErrorText(port).contains(node));

        unit = std::make_unique<TPtyUnit>(node);
        QVERIFY(unit->Ok);
        QVERIFY(port->Close() != 0);
        QVERIFY(port->Open(&type) != 0);
        QCOMPARE(port->LastError(), 0);
        QCOMPARE(Exchange(port.get(), 21, Triples({{401, 1}})), Bytes({1, 0}));
    }

    // The speed after '@' is what the line is set to; none means 115200; any other is refused
    // by Init, naming it and the speeds there are.
    void linkSpeedSetsTheLine() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrum serial XXXXXX"));
        const QString node = dir.filePath(QStringLiteral("tty ACM0"));
        TPtyUnit unit(node);
        QVERIFY(unit.Ok);
        const QByteArray path = QFile::encodeName(node);
        const auto lineSpeed = [&] {
            const int fd = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
            termios tio{};
            ::tcgetattr(fd, &tio);
            ::close(fd);
            return ::cfgetospeed(&tio);
        };
        for (const auto& [suffix, speed] : {std::pair<QByteArray, speed_t>{"@1000000", B1000000},
                                            {"", B115200},
                                            {"@9600", B9600},
                                            {"@2000000", B2000000}}) {
            TComPortHandle port = MakePort("serial:" + path + suffix);
            QVERIFY(port && InitAndOpen(port.get()));
            QCOMPARE(lineSpeed(), speed);
            QCOMPARE(Exchange(port.get(), 21, Triples({{401, 1}})), Bytes({1, 0}));
        }
        for (const QByteArray& bad : {QByteArray("@1000001"), QByteArray("@"), QByteArray("@fast"),
                                      QByteArray("@115200@"), QByteArray("@12000000")}) {
            TComPortHandle port = MakePort("serial:" + path + bad);
            const SCP_Info info{3, "Pinvel", 0, 1};
            QVERIFY(port);
            QCOMPARE(port->Init(&info), 0);
            QCOMPARE(port->LastError(), 6);
            const QString text = PortErrorText(port);
            QVERIFY2(
                text.startsWith(QStringLiteral("Неизвестная скорость последовательного порта")) &&
                    text.contains(QStringLiteral("115200, 230400")),
                qPrintable(text));
        }
    }

    void notATerminalIsRefused() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/kestrum serial XXXXXX"));
        const QString path = dir.filePath(QStringLiteral("plain file"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        TComPortHandle port = MakePort("serial:" + QFile::encodeName(path));
        const SCP_Info info{3, "Pinvel", 0, 1};
        QVERIFY(port && port->Init(&info) != 0);
        QCOMPARE(port->Open(nullptr), 0);
        QCOMPARE(port->LastError(), 5);
        // The system's reason (ENOTTY) in Russian, not its English text.
        QCOMPARE(PortErrorText(port),
                 QStringLiteral("%1 не является последовательным портом: устройство не "
                                "поддерживает настройку линии")
                     .arg(path));
    }
};

QTEST_GUILESS_MAIN(TKestrumSerialTest)
#include "TKestrumSerialTest.moc"
