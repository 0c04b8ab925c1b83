// SPDX-License-Identifier: GPL-3.0-or-later
// The open unit end to end: its firmware running in the simulated microcontroller of
// pinvel-avrsim, reached through the library's real serial link on the board's pseudo-terminal.

#include "../check/CheckTestKit.h"
#include "../kestrum/KestrumTestKit.h"
#include "AvrsimTestKit.h"
#include "ToolTestKit.h"

#include <QElapsedTimer>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace ToolKit;

// A port on the board through libkestrum's serial link.
TComPortHandle OpenBoard(const TBoard& board) {
    TComPortHandle port = MakePort(board.Link.toLocal8Bit(), {}, 2000);
    if (port && !InitAndOpen(port.get()))
        port.reset();
    return port;
}

// One command and its reply through the port: the reply's bytes, or nothing when none came.
QByteArray Ask(IComPort* port, int code, const QByteArray& data, int* replyCode = nullptr) {
    if (port->Send(code, static_cast<std::int32_t>(data.size()),
                   reinterpret_cast<const std::uint8_t*>(data.constData())) == 0)
        return QByteArray("send failed");
    if (port->Wait(-1) != 0)
        return QByteArray("no reply");
    if (replyCode != nullptr)
        *replyCode = port->ReplyCode();
    return QByteArray(reinterpret_cast<const char*>(port->ReplyData()), port->ReplyLength());
}

QByteArray Frame(int code, const QByteArray& payload) {
    QByteArray f = Bytes({0xA5, code, static_cast<int>(payload.size() & 0xFF),
                          static_cast<int>(payload.size() >> 8)}) +
                   payload;
    std::uint8_t sum = 0;
    for (qsizetype i = 1; i < f.size(); ++i)
        sum ^= static_cast<std::uint8_t>(f[i]);
    f.append(static_cast<char>(sum));
    return f;
}

// The board's terminal opened raw by the test itself, for bytes no port would send.
class TRawLine {
  public:
    explicit TRawLine(const QString& tty) {
        FFd = ::open(QFile::encodeName(tty).constData(), O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (FFd < 0)
            return;
        termios tio{};
        ::tcgetattr(FFd, &tio);
        ::cfmakeraw(&tio);
        ::tcsetattr(FFd, TCSANOW, &tio);
    }
    ~TRawLine() {
        if (FFd >= 0)
            ::close(FFd);
    }
    bool Write(const QByteArray& bytes) {
        return FFd >= 0 &&
               ::write(FFd, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
    }
    // Everything that comes within `ms`.
    QByteArray Read(int ms) {
        QByteArray got;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms) {
            pollfd p{FFd, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0) {
                char buffer[512];
                const ssize_t n = ::read(FFd, buffer, sizeof buffer);
                if (n > 0)
                    got.append(buffer, n);
            }
        }
        return got;
    }

  private:
    int FFd = -1;
};

QByteArray AllPointTriples(int level) {
    QByteArray all;
    for (int code = 400; code <= 494; ++code)
        all += Triples({{static_cast<std::uint16_t>(code), static_cast<std::uint8_t>(level)}});
    for (int code = 272; code <= 366; ++code)
        all += Triples({{static_cast<std::uint16_t>(code), static_cast<std::uint8_t>(level)}});
    return all;
}

} // namespace

class PinvelAvrsimTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel avrsim XXXXXX")};
    QString FProject; // XT1:a1..a6 on X1:a1..a6, XT1:b1..b6 on X2:a1..a6
    QString FSettings;

    QString Path(const QString& name) const { return FDir.filePath(name); }
    // The good harness: X1:aN wired to X2:aN for N 1..5, X1:a6 and X2:a6 free; the probe on
    // X1:a1's net.
    QJsonObject Nets(const QJsonObject& faults = {}, bool swapped = false) const {
        QJsonObject harness = faults;
        QJsonArray nets;
        for (int n = 1; n <= 5; ++n) {
            const int other = swapped && n >= 4 ? 9 - n : n; // a4 <-> a5 on X2
            nets.append(
                QJsonArray{QStringLiteral("X1:a%1").arg(n), QStringLiteral("X2:a%1").arg(other)});
        }
        harness.insert("nets", nets);
        harness.insert("probe", "X2:a1");
        return harness;
    }
    QString Harness(const QString& name, const QJsonObject& harness) const {
        const QString path = Path(name);
        WriteFile(path, QJsonDocument(harness).toJson());
        return path;
    }
    // pinvel-check against a board on the given harness.
    TRun Check(const QStringList& args, const QString& harness) {
        TBoard board;
        if (!board.Start(harness))
            return {};
        return RunTool(QStringLiteral("pinvel-check"),
                       args + QStringList{"--link", board.Link, "--settings", FSettings});
    }

  private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        QVERIFY2(QFile::exists(Firmware()), qPrintable(Firmware()));
        CheckKit::TProject project;
        for (int i = 1; i <= 6; ++i) {
            project.TieTo(QStringLiteral("XT1:a%1").arg(i), QStringLiteral("X1:a%1").arg(i));
            project.TieTo(QStringLiteral("XT1:b%1").arg(i), QStringLiteral("X2:a%1").arg(i));
        }
        FProject = Path("жгут 1.pvl");
        project.WorkPlace.SaveToFile(FProject);
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data home")));
        FSettings = Path("pinvel.ini");
        WriteFile(FSettings, "[Device]\r\nReplyTimeoutMs=2000\r\n");
    }

    void helpErrorsAndSigterm() {
        const TRun help = RunTool("pinvel-avrsim", {"--help"});
        QCOMPARE(help.Exit, 0);
        QVERIFY(help.Out.contains("--fast"));
        const TRun missing = RunTool("pinvel-avrsim", {Path("нет.elf")});
        QCOMPARE(missing.Exit, 2);
        QVERIFY2(missing.Err.contains(QStringLiteral("нет.elf")), qPrintable(missing.Err));
        const TRun notElf = RunTool("pinvel-avrsim", {FProject});
        QCOMPARE(notElf.Exit, 2);
        QVERIFY2(notElf.Err.contains("ELF"), qPrintable(notElf.Err));
        WriteFile(Path("bad.json"), "{\"nets\": [[\"X3:a1\"]]}");
        const TRun badHarness =
            RunTool("pinvel-avrsim", {"--harness", Path("bad.json"), Firmware()});
        QCOMPARE(badHarness.Exit, 2);
        QVERIFY2(badHarness.Err.contains("X3:a1"), qPrintable(badHarness.Err));
        QCOMPARE(RunTool("pinvel-avrsim", {}).Exit, 2);
        TBoard board;
        QVERIFY(board.Start({}));
        QCOMPARE(board.Terminate(), 0);
    }

    // A tester's pass: every tied pin written and read back in one command 21, as the worker
    // sends it.
    void passesReadTheHarness() {
        TBoard board;
        QVERIFY(board.Start(Harness("pass.json", Nets())));
        const TComPortHandle port = OpenBoard(board);
        QVERIFY(port);
        QCOMPARE(port->UnitType(), 101);
        int code = 0;
        // X1:a2 drives 1: its partner X2:a2 follows; X1:a6 and X2:a6 stay 0; the probe on
        // X2:a1's net reads 0.
        QCOMPARE(
            Ask(port.get(), 21, Triples({{401, 1}, {273, 0}, {405, 0}, {277, 0}, {272, 0}}), &code),
            Bytes({1, 1, 0, 0, 0, 0}));
        QCOMPARE(code, 21);
        // X2:a1 drives 1: the probe reads it, X1:a1 follows; the pin ends of both connectors.
        QCOMPARE(Ask(port.get(), 21, Triples({{272, 1}, {400, 0}, {494, 1}, {366, 0}})),
                 Bytes({1, 1, 1, 0, 1}));
        // Every point at once, the longest request: all read 1 (and the probe's net too).
        const QByteArray all = Ask(port.get(), 21, AllPointTriples(1), &code);
        QCOMPARE(code, 21);
        QCOMPARE(all, QByteArray(191, 1));
        // The probe drives its net: X1:a1 reads 1 with nothing else driven.
        QVERIFY(port->Send(2, 0, nullptr) != 0);
        QCOMPARE(Ask(port.get(), 24, Triples({{400, 0}, {401, 0}}, Bytes({1, 1}))),
                 Bytes({1, 0, 1}));
        QCOMPARE(Ask(port.get(), 23, {}, &code), Bytes({1}));
        QCOMPARE(code, 23);
        // Write only: confirmed with its own code.
        QCOMPARE(Ask(port.get(), 22, Triples({{400, 0}}), &code), QByteArray());
        QCOMPARE(code, 22);
    }

    void stopAndRebootReleaseEveryPoint() {
        TBoard board;
        QVERIFY(board.Start(Harness("stop.json", Nets())));
        const TComPortHandle port = OpenBoard(board);
        QVERIFY(port);
        // Driven by 22, read back through the partner alone.
        Ask(port.get(), 22, Triples({{400, 1}}));
        QCOMPARE(Ask(port.get(), 21, Triples({{272, 0}})), Bytes({1, 1}));
        QVERIFY(port->Send(2, 0, nullptr) != 0);
        QCOMPARE(Ask(port.get(), 21, Triples({{272, 0}})), Bytes({0, 0}));
        Ask(port.get(), 24, Triples({{401, 1}}, Bytes({1, 0})));
        QCOMPARE(Ask(port.get(), 21, Triples({{273, 0}})), Bytes({1, 1}));
        // A stop sent while a command's reply is on its way leaves that reply to its command.
        const QByteArray levels = Triples({{400, 1}, {272, 0}, {401, 0}});
        QVERIFY(port->Send(21, 9, reinterpret_cast<const std::uint8_t*>(levels.constData())));
        QVERIFY(port->Send(2, 0, nullptr) != 0);
        QCOMPARE(port->Wait(-1), 0);
        QCOMPARE(port->ReplyCode(), 21);
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(port->ReplyData()), port->ReplyLength()),
                 Bytes({1, 1, 0, 1}));
        QCOMPARE(Ask(port.get(), 21, Triples({{273, 0}})), Bytes({0, 0}));
        // Reboot: the watchdog restarts the chip, which comes back with everything released.
        QVERIFY(port->Reboot() != 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        std::int32_t type = 0;
        QVERIFY(port->Close() != 0);
        QVERIFY2(port->Open(&type) != 0, qPrintable(PortErrorText(port)));
        QCOMPARE(type, 101);
        QCOMPARE(Ask(port.get(), 21, Triples({{273, 0}})), Bytes({0, 0}));
    }

    void autonomousGeneratorTogglesItsPoints() {
        TBoard board;
        QVERIFY(board.Start(Harness("auto.json", Nets())));
        const TComPortHandle port = OpenBoard(board);
        QVERIFY(port);
        int code = 0;
        // The table: X1:a3 at 1. The generator: X1:a1 on line 0, X1:a2 on line 1.
        QCOMPARE(Ask(port.get(), 28, Triples({{402, 1}}, Bytes({0})), &code), QByteArray());
        QCOMPARE(code, 28);
        QCOMPARE(Ask(port.get(), 28, Triples({{400, 0}, {401, 1}}, Bytes({1, 0})), &code),
                 QByteArray());
        QCOMPARE(code, 28);
        // Read through the partners, which the generator does not drive.
        QSet<QByteArray> seen;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 1500 && seen.size() < 4) {
            const QByteArray read = ReadPartners(port.get());
            QCOMPARE(read.size(), 3);
            QCOMPARE(read.at(2), char(1)); // the table's level stays
            seen.insert(read.left(2));
        }
        // Line 0 and line 1 go through all four combinations.
        QCOMPARE(seen.size(), 4);
        // Leaving the mode freezes them.
        QCOMPARE(Ask(port.get(), 28, Bytes({2}), &code), QByteArray());
        QCOMPARE(code, 28);
        const QByteArray frozen = ReadPartners(port.get());
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        QCOMPARE(ReadPartners(port.get()), frozen);
    }

    void badInputNeverWedgesTheUnit() {
        TBoard board;
        QVERIFY(board.Start(Harness("bad input.json", Nets())));
        {
            TRawLine line(board.Tty);
            // Garbage, a frame with a bad checksum, then a good hello: only the hello answered.
            QByteArray broken = Frame(21, Triples({{400, 1}}));
            broken[broken.size() - 1] = static_cast<char>(broken.back() ^ 0x5A);
            QVERIFY(line.Write(Bytes({0x00, 0x13, 0xFF, 0x42}) + broken + Frame(0xF0, {})));
            const QByteArray hello = line.Read(300);
            QCOMPARE(hello.left(4), Bytes({0xA5, 0xF0, 5, 0}));
            QCOMPARE(hello.mid(4, 2), Bytes({101, 0}));
            QCOMPARE(hello.size(), 10);
            // A half frame, then after a pause a good one.
            QVERIFY(line.Write(Frame(23, {}).left(3)));
            std::this_thread::sleep_for(std::chrono::milliseconds(150));
            QVERIFY(line.Write(Frame(23, {})));
            QCOMPARE(line.Read(300), Frame(23, Bytes({0})));
        }
        const TComPortHandle port = OpenBoard(board);
        QVERIFY(port);
        int code = 0;
        // One point more than the unit has: refused whole; the next request is answered.
        const QByteArray tooLong = AllPointTriples(1) + Triples({{400, 1}});
        QCOMPARE(tooLong.size(), 573);
        QCOMPARE(Ask(port.get(), 21, tooLong, &code), QByteArray());
        QCOMPARE(code, 0xEE);
        QCOMPARE(Ask(port.get(), 21, Triples({{272, 0}}), &code), Bytes({0, 0}));
        QCOMPARE(code, 21);
        // Requests that cannot be served: an unknown pin code, a length no multiple of three.
        QCOMPARE(Ask(port.get(), 21, Triples({{400, 1}, {367, 1}}), &code), QByteArray());
        QCOMPARE(code, 0xEE);
        QCOMPARE(Ask(port.get(), 22, Bytes({1, 0x90}), &code), QByteArray());
        QCOMPARE(code, 0xEE);
        QCOMPARE(Ask(port.get(), 21, Triples({{272, 0}})), Bytes({0, 0}));
    }

    // The compact form as the firmware takes it, bytes as the library's readme lays them out.
    void compactFramesOnTheWire() {
        TBoard board;
        QVERIFY(board.Start(Harness("compact.json", Nets())));
        TRawLine line(board.Tty);
        QVERIFY(line.Write(Frame(0xF0, {})));
        QCOMPARE(line.Read(200), Frame(0xF0, Bytes({101, 0, 1, 0, 1})));
        // The list: X1:a1, X2:a1, X1:a2.
        QVERIFY(line.Write(Frame(0x40, Bytes({0x01, 0x90, 0x01, 0x10, 0x01, 0x91}))));
        QCOMPARE(line.Read(200), Frame(0x40, {}));
        // X1:a1 at 1: X2:a1 follows and with it the probe; X1:a2 stays 0: bits 0, 1 and 3.
        QVERIFY(line.Write(Frame(0x41, Bytes({0x01}))));
        QCOMPARE(line.Read(200), Frame(0x41, Bytes({0x0B})));
        // Command 24 in the compact form, reading: X1:a2 at 1, probe output 0.
        QVERIFY(line.Write(Frame(0x44, Bytes({0, 1, 0x04}))));
        QCOMPARE(line.Read(200), Frame(0x44, Bytes({0x04})));
        // A mask of the wrong size is refused.
        QVERIFY(line.Write(Frame(0x42, Bytes({0x01, 0x00}))));
        QCOMPARE(line.Read(200), Frame(0xEE, {}));
    }

    void checkFindsEachFaultByContactName() {
        const QString good = Harness("good.json", Nets());
        const TRun learnt = Check({"learn", FProject, "--replace"}, good);
        QCOMPARE(learnt.Exit, 0);
        const TRun clean = Check({"verify", FProject, "--serial", "A1"}, good);
        QVERIFY2(clean.Exit == 0 && clean.Out.startsWith(QStringLiteral("ГОДЕН")),
                 qPrintable(clean.Out + clean.Err));
        const struct {
            const char* Name;
            QJsonObject Harness;
            QString Expect;
        } faults[] = {
            {"open.json", Nets({{"opens", CheckKit::Pins({"X2:a1"})}}),
             QStringLiteral("обрыв: XT1:b1 отсоединен от XT1:a1")},
            {"short.json",
             Nets({{"shorts", CheckKit::Lists({CheckKit::Pins({"X1:a2", "X1:a3"})})}}),
             QStringLiteral("замыкание: XT1:a2, XT1:b2 — XT1:a3, XT1:b3")},
            {"swap.json", Nets({}, true), QStringLiteral("поменяны местами")},
            {"foreign.json", Nets({{"foreign", CheckKit::Pins({"X2:a6"})}}),
             QStringLiteral("посторонний потенциал: XT1:b6")},
        };
        for (const auto& fault : faults) {
            const TRun run = Check({"verify", FProject, "--serial", "A2"},
                                   Harness(QString::fromLatin1(fault.Name), fault.Harness));
            QVERIFY2(run.Exit == 1 && run.Out.startsWith(QStringLiteral("БРАК")) &&
                         run.Out.contains(fault.Expect),
                     qPrintable(QString::fromLatin1(fault.Name) + ": " + run.Out + run.Err));
        }
    }

    void watchLatchesAnIntermittentOpen() {
        const QString good = Harness("good.json", Nets());
        QCOMPARE(Check({"learn", FProject, "--replace"}, good).Exit, 0);
        const QString drops = Harness(
            "drops.json",
            Nets({{"intermittent",
                   QJsonArray{QJsonObject{{"pin", "X2:a3"}, {"dropMs", 10}, {"periodMs", 200}}}}}));
        const TRun run = Check({"watch", FProject, "--seconds", "2", "--serial", "W"}, drops);
        QCOMPARE(run.Exit, 1);
        QVERIFY2(run.Out.contains(QStringLiteral("обрыв: XT1:b3 отсоединен от XT1:a3")),
                 qPrintable(run.Out + run.Err));
    }

  private:
    // The levels of X2:a1..a3 as read with nothing of theirs driven: the generator's two lines
    // and the table's point through the harness.
    static QByteArray ReadPartners(IComPort* port) {
        return Ask(port, 21, Triples({{272, 0}, {273, 0}, {274, 0}})).left(3);
    }
};

QTEST_GUILESS_MAIN(PinvelAvrsimTest)
#include "PinvelAvrsimTest.moc"
