// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check probe and fixture, run as separate processes: the probe's lines as the emulator's
// probe is moved through its control port, the fixture's faults by unit pin and its exit codes.

#include "../check/CheckTestKit.h"
#include "TControlClient.h"
#include "TUnitProcess.h"
#include "ToolTestKit.h"

#include <QElapsedTimer>

namespace {

using namespace ToolKit;

TRun Tool(const QStringList& args) {
    return RunTool(QStringLiteral("pinvel-check"), args);
}

// The next line the process prints, without its end; empty after 10 s without one.
QString NextLine(QProcess& p) {
    QElapsedTimer timer;
    timer.start();
    while (!p.canReadLine() && timer.elapsed() < 10000)
        p.waitForReadyRead(500);
    return QString::fromUtf8(p.readLine()).trimmed();
}

} // namespace

class PinvelCheckProbeTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel probe tool XXXXXX")};
    QString FProject; // XT1:a1..a4 on X1:a1..a4, XT1:b1..b3 on X2:a1..a3
    QString FSettings;

    QString Path(const QString& name) const { return FDir.filePath(name); }
    QStringList Sim(const QByteArray& harness) const {
        const QString path = Path(QStringLiteral("harness %1.json").arg(qHash(harness)));
        WriteFile(path, harness);
        return {"--settings", FSettings, "--link", "sim", "--harness", path};
    }

  private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        CheckKit::TProject project;
        for (int i = 1; i <= 4; ++i)
            project.TieTo(QStringLiteral("XT1:a%1").arg(i), QStringLiteral("X1:a%1").arg(i));
        for (int i = 1; i <= 3; ++i)
            project.TieTo(QStringLiteral("XT1:b%1").arg(i), QStringLiteral("X2:a%1").arg(i));
        FProject = Path("жгут 9.pvl");
        project.WorkPlace.SaveToFile(FProject);
        FSettings = Path("pinvel.ini");
        WriteFile(FSettings, "[Device]\r\nSimReplyUs=0\r\n");
    }

    void fixtureNamesItsFaultsByPin() {
        const TRun clean = Tool(QStringList{"fixture", FProject} + Sim("{}"));
        QCOMPARE(clean.Exit, 0);
        // Seven pins: three bits, each with its complement.
        QCOMPARE(clean.Out, QStringLiteral("Адаптер исправен: выводов 7, обменов с блоком 6\n"));
        const TRun faulty = Tool(QStringList{"fixture", FProject} +
                                 Sim(R"({"shorts": [["X1:a1", "X1:a2"]], "foreign": ["X2:a3"]})"));
        QCOMPARE(faulty.Exit, 1);
        QCOMPARE(faulty.Out,
                 QStringLiteral("Неисправность адаптера:\n"
                                "замкнуты выводы блока: X1:a1 (XT1:a1), X1:a2 (XT1:a2)\n"
                                "посторонний потенциал на выводах блока: X2:a3 (XT1:b3)\n"));
        QVERIFY(faulty.Err.isEmpty());
    }

    void badArgumentsAndNoUnitAreExitCode2() {
        const QList<QStringList> bad = {{"fixture"},
                                        {"fixture", FProject, "--bogus"},
                                        {"probe"},
                                        {"probe", FProject, "--seconds", "0"},
                                        {"probe", FProject, "--wires"},
                                        {"probe", FProject, "--wires", Path("нет.csv")},
                                        {"fixture", FProject, "--link", "tcp:127.0.0.1:1"}};
        for (const QStringList& args : bad) {
            const TRun run = Tool(args + QStringList{"--settings", FSettings});
            QCOMPARE(run.Exit, 2);
            QVERIFY(run.Out.isEmpty());
            QVERIFY2(run.Err.startsWith("pinvel-check: "), qPrintable(run.Err));
        }
        const TRun help = Tool({"--help"});
        QVERIFY(help.Out.contains("pinvel-check probe") &&
                help.Out.contains("pinvel-check fixture"));
    }

    void probePrintsEachChange() {
        TUnitProcess unit(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-unit"),
                          {"--reply-us", "0", "--control", "127.0.0.1:0"});
        const int port = unit.Start(0);
        QVERIFY(port > 0);
        TControlClient control(unit.ControlPort());
        QVERIFY(control.Connected());
        QProcess probe;
        probe.start(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-check"),
                    {"probe", FProject, "--settings", FSettings, "--link",
                     QStringLiteral("tcp:127.0.0.1:%1").arg(port), "--seconds", "4"});
        QCOMPARE(NextLine(probe), QStringLiteral("Зонд ни к чему не подключен"));
        QCOMPARE(control.Line("probe X1:a3"), QStringLiteral("ok"));
        // No wire list: each pin is its own.
        QCOMPARE(NextLine(probe), QStringLiteral("Зонд: XT1:a3"));
        QCOMPARE(control.Line("probe X2:a1"), QStringLiteral("ok"));
        QCOMPARE(NextLine(probe), QStringLiteral("Зонд: XT1:b1"));
        QVERIFY(probe.waitForFinished(10000));
        QCOMPARE(probe.exitCode(), 0);
        // Nothing changed after that: no more lines.
        QVERIFY(probe.readAll().trimmed().isEmpty());

        // With a wire list the net of the reference is named, whichever contact is touched.
        const QString wires = Path("провода.csv");
        WriteFile(wires, "from,to\nXT1:a1,XT1:b1\n");
        const TRun withWires =
            Tool({"probe", FProject, "--wires", wires, "--settings", FSettings, "--link",
                  QStringLiteral("tcp:127.0.0.1:%1").arg(port), "--seconds", "1"});
        QCOMPARE(withWires.Exit, 0);
        QCOMPARE(withWires.Out, QStringLiteral("Зонд: XT1:a1, XT1:b1\n"));
    }
};

QTEST_GUILESS_MAIN(PinvelCheckProbeTest)
#include "PinvelCheckProbeTest.moc"
