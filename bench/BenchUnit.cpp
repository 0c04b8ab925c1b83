// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-bench-unit: the open unit's firmware on its simulated board (pinvel-avrsim, paced to the
// clock, 1,000,000 baud): the chip's cycles from a command 21 for 190 points to its reply, round
// trips per second in the full and the compact form, and a verify of a good harness of 95 nets
// through the library.
#include "TCheckPoints.h"
#include "THarnessCheck.h"
#include "TPortExchange.h"
#include "TSootv.h"
#include "WorkWithCOM.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace {
constexpr int Nets = 95;
std::uint16_t X1(int k) {
    return std::uint16_t(400 + k);
}
std::uint16_t X2(int k) {
    return std::uint16_t(272 + k);
}

QByteArray Frame(int code, const QByteArray& payload) {
    QByteArray f;
    f.append(char(0xA5));
    f.append(char(code));
    f.append(char(payload.size() & 0xFF));
    f.append(char(payload.size() >> 8));
    f += payload;
    char sum = 0;
    for (qsizetype i = 1; i < f.size(); ++i)
        sum = char(sum ^ f[i]);
    f.append(sum);
    return f;
}

// Every point, X1's then X2's, alternately 1 and 0.
QByteArray AllTriples() {
    QByteArray t;
    for (int k = 0; k < 2 * Nets; ++k) {
        const std::uint16_t pin = k < Nets ? X1(k) : X2(k - Nets);
        t.append(char(pin >> 8));
        t.append(char(pin & 0xFF));
        t.append(char(k & 1));
    }
    return t;
}

class TBoard {
  public:
    bool Start(const QString& harness) {
        FProcess.start(QCoreApplication::applicationDirPath() + "/pinvel-avrsim",
                       {"--cycles", "--harness", harness, PINVEL_FIRMWARE_ELF});
        if (!FProcess.waitForStarted(5000))
            return false;
        QByteArray seen;
        const QRegularExpression line(QStringLiteral("unit on (\\S+)"));
        while (FProcess.waitForReadyRead(10000)) {
            seen += FProcess.readAllStandardOutput();
            const auto m = line.match(QString::fromUtf8(seen));
            if (m.hasMatch()) {
                Tty = m.captured(1);
                return true;
            }
        }
        return false;
    }
    // Ends the board: the medians of its cycles to a reply and of a whole exchange.
    bool Stop(long long& reply, long long& exchange) {
        FProcess.terminate();
        FProcess.waitForFinished(5000);
        const auto m =
            QRegularExpression(
                QStringLiteral("cycles to reply median (\\d+), exchange cycles median (\\d+)"))
                .match(QString::fromUtf8(FProcess.readAllStandardError()));
        reply = m.hasMatch() ? m.captured(1).toLongLong() : -1;
        exchange = m.hasMatch() ? m.captured(2).toLongLong() : -1;
        return m.hasMatch();
    }
    ~TBoard() {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.terminate();
            FProcess.waitForFinished(5000);
        }
    }
    QString Tty;

  private:
    QProcess FProcess;
};

// The board's terminal, raw: frames of the test's own, either form.
class TLine {
  public:
    explicit TLine(const QString& tty) {
        FFd = ::open(QFile::encodeName(tty).constData(), O_RDWR | O_NOCTTY);
        termios tio{};
        ::tcgetattr(FFd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(FFd, TCSANOW, &tio);
    }
    ~TLine() { ::close(FFd); }
    // Sends a frame and takes `replyBytes` back; false on a time-out.
    bool RoundTrip(const QByteArray& frame, int replyBytes) {
        if (::write(FFd, frame.constData(), size_t(frame.size())) != frame.size())
            return false;
        int got = 0;
        char buffer[512];
        while (got < replyBytes) {
            pollfd p{FFd, POLLIN, 0};
            if (::poll(&p, 1, 1000) <= 0)
                return false;
            const ssize_t n = ::read(FFd, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            got += int(n);
        }
        return got == replyBytes;
    }

  private:
    int FFd = -1;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString harness = dir.filePath(QStringLiteral("harness.json"));
    QJsonArray nets;
    for (int k = 0; k < Nets; ++k)
        nets.append(QJsonArray{TSootv::PinName(X1(k)), TSootv::PinName(X2(k))});
    QFile file(harness);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(QJsonDocument(QJsonObject{{"nets", nets}}).toJson()) < 0)
        return 1;
    file.close();

    // The full form: 572 bytes out, 191 levels back (196 bytes with the frame). The round trips
    // are counted in the board's simulated time, a whole exchange on the wire, so the host's own
    // latency and a busy machine do not enter them.
    const QByteArray full = Frame(21, AllTriples());
    long long replyCycles = -1;
    long long exchangeCycles = -1;
    {
        TBoard board;
        if (!board.Start(harness))
            return 1;
        {
            TLine line(board.Tty);
            for (int i = 0; i < 100; ++i)
                if (!line.RoundTrip(full, 196))
                    return 1;
        }
        if (!board.Stop(replyCycles, exchangeCycles))
            return 1;
    }
    std::printf("unit_cycles_cmd21_190: %lld\n", replyCycles);
    std::printf("unit_roundtrips_per_second_190: %.0f\n", 16e6 / double(exchangeCycles));
    std::fflush(stdout);

    // The compact form: the list once, then 24 mask bytes each way.
    {
        TBoard board;
        if (!board.Start(harness))
            return 1;
        {
            TLine line(board.Tty);
            QByteArray list;
            for (int k = 0; k < 2 * Nets; ++k) {
                const std::uint16_t pin = k < Nets ? X1(k) : X2(k - Nets);
                list.append(char(pin >> 8));
                list.append(char(pin & 0xFF));
            }
            if (!line.RoundTrip(Frame(0x40, list), 5))
                return 1;
            const QByteArray mask = Frame(0x41, QByteArray(24, char(0x55)));
            for (int i = 0; i < 200; ++i)
                if (!line.RoundTrip(mask, 29))
                    return 1;
        }
        if (!board.Stop(replyCycles, exchangeCycles))
            return 1;
    }
    std::printf("unit_roundtrips_per_second_190_compact: %.0f\n", 16e6 / double(exchangeCycles));
    std::fflush(stdout);

    TBoard board;
    if (!board.Start(harness))
        return 1;
    // A verify of the good harness through the library, which takes the compact form the
    // firmware announces.
    TDeviceSettings device;
    device.Link = "serial:" + QFile::encodeName(board.Tty) + "@1000000";
    QString error;
    TComPortHandle port =
        ComCreator(device.Config(), {QCoreApplication::applicationDirPath()}, &error);
    const SCP_Info info{3, "pinvel-bench-unit", 0, 1};
    if (!port || port->Init(&info) == 0 || port->Open(nullptr) == 0) {
        std::fprintf(stderr, "%s\n", qPrintable(port ? PortErrorText(port) : error));
        return 1;
    }
    std::vector<TCheckPoint> points;
    for (int k = 0; k < Nets; ++k) {
        points.push_back({X1(k), {QStringLiteral("XT1:%1").arg(k + 1)}});
        points.push_back({X2(k), {QStringLiteral("XP2:%1").arg(k + 1)}});
    }
    TPortExchange exchange(*port, true);
    const TCheckPoints checkPoints(points); // the check keeps a reference to it
    THarnessCheck check(checkPoints, exchange);
    const TLearnResult learnt = check.Learn();
    if (!learnt.Learnt() || learnt.Reference.NetCount() != Nets) {
        std::fprintf(stderr, "the good harness did not learn as %d nets (%d, faults %zu: %s)\n",
                     Nets, learnt.Reference.NetCount(), learnt.Faults.size(),
                     learnt.Faults.empty() ? "" : qPrintable(learnt.Faults.front().Text()));
        return 1;
    }
    bool good = true;
    for (int i = 0; i < 3; ++i)
        good = good && check.Verify(learnt.Reference).Good();
    QElapsedTimer timer;
    timer.start();
    int runs = 0;
    while (timer.elapsed() < 2000) {
        good = good && check.Verify(learnt.Reference).Good();
        ++runs;
    }
    std::printf("unit_verify_ms_190: %.1f\n", double(timer.nsecsElapsed()) / 1e6 / runs);
    // The board's and the wire's share of it: its round trips at the compact form's exchange.
    const int roundTrips = check.Verify(learnt.Reference).RoundTrips;
    std::printf("unit_verify_ms_190_wire: %.1f\n",
                double(roundTrips) * double(exchangeCycles) / 16000.0);
    if (!good) {
        std::fprintf(stderr, "the good harness did not verify as good\n");
        return 1;
    }
    return 0;
}
