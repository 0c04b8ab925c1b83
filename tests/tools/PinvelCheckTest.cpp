// The pinvel-check tool, run as a separate process: its exit codes, its text and JSON, the wire
// list it writes, and a check against the unit emulator over TCP.

#include "../check/CheckTestKit.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

namespace {

struct TRun {
    int Exit = -1;
    QString Out;
    QString Err;
};

TRun Tool(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-check"), args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

void WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QJsonObject Nets(const QJsonObject& faults = {}) {
    QJsonObject harness = faults;
    harness.insert("nets", CheckKit::Lists({CheckKit::Pins({"X1:a1", "X1:a2", "X1:a3"}),
                                            CheckKit::Pins({"X1:a4", "X2:a1"}),
                                            CheckKit::Pins({"X2:a2", "X2:a3"})}));
    return harness;
}

// The unit emulator as a separate process.
class TEmulator {
  public:
    bool Start(const QString& harness, int replyUs) {
        FProcess.start(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-unit"),
                       {"--listen", "127.0.0.1:0", "--harness", harness, "--reply-us",
                        QString::number(replyUs)});
        if (!FProcess.waitForStarted(5000))
            return false;
        const QRegularExpression line(QStringLiteral("listening on 127\\.0\\.0\\.1:(\\d+)"));
        QByteArray seen;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000 && FProcess.waitForReadyRead(5000)) {
            seen += FProcess.readAllStandardOutput();
            const QRegularExpressionMatch m = line.match(QString::fromUtf8(seen));
            if (m.hasMatch()) {
                Link = QStringLiteral("tcp:127.0.0.1:") + m.captured(1);
                return true;
            }
        }
        return false;
    }
    ~TEmulator() {
        FProcess.kill();
        FProcess.waitForFinished(5000);
    }
    QString Link;

  private:
    QProcess FProcess;
};

} // namespace

class PinvelCheckTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel check tool XXXXXX")};
    QString FProject; // XT1:a1..a4 on X1:a1..a4, XT1:b1..b3 on X2:a1..a3
    QString FGood;    // harness files
    QString FFaulty;
    QString FSettings; // the simulated unit on the good harness, flat out

    QString Path(const QString& name) const { return FDir.filePath(name); }
    QString Harness(const QString& name, const QJsonObject& harness) const {
        const QString path = Path(name);
        WriteFile(path, QJsonDocument(harness).toJson());
        return path;
    }
    QStringList Unit() const { return {"--settings", FSettings}; }

  private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        CheckKit::TProject project;
        for (int i = 1; i <= 4; ++i)
            project.TieTo(QStringLiteral("XT1:a%1").arg(i), QStringLiteral("X1:a%1").arg(i));
        for (int i = 1; i <= 3; ++i)
            project.TieTo(QStringLiteral("XT1:b%1").arg(i), QStringLiteral("X2:a%1").arg(i));
        FProject = Path("жгут 7.pvl");
        project.WorkPlace.SaveToFile(FProject);
        FGood = Harness("good.json", Nets());
        FFaulty =
            Harness("faulty.json",
                    Nets({{"opens", CheckKit::Pins({"X1:a3"})},
                          {"shorts", CheckKit::Lists({CheckKit::Pins({"X1:a4", "X2:a2"})})}}));
        FSettings = Path("pinvel.ini");
        WriteFile(FSettings, "[Device]\r\nLink=sim\r\nHarness=good.json\r\nSimReplyUs=0\r\n");
    }

    void helpAndBadArguments() {
        const TRun help = Tool({"--help"});
        QCOMPARE(help.Exit, 0);
        QVERIFY(help.Out.contains("pinvel-check verify"));
        QVERIFY(help.Err.isEmpty());
        const QList<QStringList> bad = {{},
                                        {"inspect", FProject},
                                        {"verify"},
                                        {"verify", FProject, "--bogus"},
                                        {"learn", FProject, "--json"},
                                        {"watch", FProject, "--seconds", "0"},
                                        {"verify", FProject, "--wires"}};
        for (const QStringList& args : bad) {
            const TRun run = Tool(args);
            QCOMPARE(run.Exit, 2);
            QVERIFY(run.Out.isEmpty());
            QVERIFY2(run.Err.startsWith("pinvel-check: "), qPrintable(run.Err));
        }
    }

    void learnWritesTheListBesideTheProject() {
        const TRun run = Tool(QStringList{"learn", FProject} + Unit());
        QCOMPARE(run.Exit, 0);
        const QString wires = Path("жгут 7.wires.csv");
        QVERIFY2(run.Out.contains(wires), qPrintable(run.Out));
        QCOMPARE(ReadFile(wires), QByteArray("from,to\n"
                                             "XT1:a1,XT1:a2\n"
                                             "XT1:a1,XT1:a3\n"
                                             "XT1:a4,XT1:b1\n"
                                             "XT1:b2,XT1:b3\n"));
        const TRun other = Tool(QStringList{"learn", FProject, "-o", Path("other.csv")} + Unit());
        QCOMPARE(other.Exit, 0);
        QCOMPARE(ReadFile(Path("other.csv")), ReadFile(wires));
    }

    void verifyAnswersWithItsExitCode() {
        QCOMPARE(Tool(QStringList{"learn", FProject} + Unit()).Exit, 0);
        const TRun good = Tool(QStringList{"verify", FProject} + Unit());
        QCOMPARE(good.Exit, 0);
        QCOMPARE(good.Out, QStringLiteral("ГОДЕН\n"));
        QVERIFY(good.Err.isEmpty());
        const TRun bad = Tool(QStringList{"verify", FProject, "--harness", FFaulty} + Unit());
        QCOMPARE(bad.Exit, 1);
        QCOMPARE(bad.Out, QStringLiteral("БРАК\n"
                                         "обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2\n"
                                         "замыкание: XT1:a4, XT1:b1 — XT1:b2, XT1:b3\n"));
    }

    void verifyWritesOneJsonDocument() {
        QCOMPARE(Tool(QStringList{"learn", FProject} + Unit()).Exit, 0);
        const TRun bad =
            Tool(QStringList{"verify", FProject, "--json", "--harness", FFaulty} + Unit());
        QCOMPARE(bad.Exit, 1);
        QJsonParseError error{};
        const QJsonObject doc = QJsonDocument::fromJson(bad.Out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(doc.value("verdict").toString(), QStringLiteral("БРАК"));
        QCOMPARE(doc.value("good").toBool(true), false);
        QCOMPARE(doc.value("nets").toInt(), 3);
        const QJsonArray faults = doc.value("faults").toArray();
        QCOMPARE(faults.size(), 2);
        const QJsonObject open = faults.at(0).toObject();
        QCOMPARE(open.value("kind").toString(), QStringLiteral("open"));
        QCOMPARE(open.value("contacts").toArray(), QJsonArray{"XT1:a3"});
        QCOMPARE(open.value("from").toArray(), (QJsonArray{"XT1:a1", "XT1:a2"}));
        QCOMPARE(open.value("text").toString(),
                 QStringLiteral("обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2"));
        const QJsonObject shorted = faults.at(1).toObject();
        QCOMPARE(shorted.value("kind").toString(), QStringLiteral("short"));
        QCOMPARE(shorted.value("nets").toArray().size(), 2);
        QVERIFY(doc.value("roundTrips").toInt() > 4);

        const TRun good = Tool(QStringList{"verify", FProject, "--json"} + Unit());
        QCOMPARE(good.Exit, 0);
        const QJsonObject clean = QJsonDocument::fromJson(good.Out.toUtf8()).object();
        QCOMPARE(clean.value("verdict").toString(), QStringLiteral("ГОДЕН"));
        QCOMPARE(clean.value("good").toBool(false), true);
        QVERIFY(clean.value("faults").toArray().isEmpty());
        QCOMPARE(clean.value("roundTrips").toInt(), 4); // three nets: two bits, each twice
    }

    void cannotTestExitsWithTwoAndSaysWhy() {
        QCOMPARE(Tool(QStringList{"learn", FProject} + Unit()).Exit, 0);
        // No unit there.
        const TRun noUnit =
            Tool(QStringList{"verify", FProject, "--link", "tcp:127.0.0.1:1"} + Unit());
        QCOMPARE(noUnit.Exit, 2);
        QVERIFY(noUnit.Out.isEmpty());
        QVERIFY2(noUnit.Err.contains("блок"), qPrintable(noUnit.Err));
        // A wire list with damage: every bad line by number, nothing tested.
        WriteFile(Path("bad.csv"), "from,to\nXT1:a1,XT1:a2\nXT1:a1;XT1:a3\nXT9:a1,XT1:a2\n");
        const TRun badList =
            Tool(QStringList{"verify", FProject, "--wires", Path("bad.csv")} + Unit());
        QCOMPARE(badList.Exit, 2);
        QVERIFY(badList.Out.isEmpty());
        QVERIFY2(badList.Err.contains("строка 3:") && badList.Err.contains("строка 4:") &&
                     !badList.Err.contains("строка 2:"),
                 qPrintable(badList.Err));
        // A missing project, a project that is no project, one with nothing tied.
        QCOMPARE(Tool(QStringList{"verify", Path("нет.pvl")} + Unit()).Exit, 2);
        WriteFile(Path("garbage.pvl"), "not a project");
        QCOMPARE(Tool(QStringList{"learn", Path("garbage.pvl")} + Unit()).Exit, 2);
        CheckKit::TProject empty;
        empty.WorkPlace.SaveToFile(Path("empty.pvl"));
        const TRun nothing = Tool(QStringList{"learn", Path("empty.pvl")} + Unit());
        QCOMPARE(nothing.Exit, 2);
        QVERIFY(nothing.Err.contains("нет контактов"));
        // A settings file that is not there.
        QCOMPARE(Tool({"verify", FProject, "--settings", Path("нет.ini")}).Exit, 2);
    }

    void learningRefusesAForeignPotential() {
        const QString foreign =
            Harness("foreign.json", Nets({{"foreign", CheckKit::Pins({"X2:a3"})}}));
        const TRun run = Tool(
            QStringList{"learn", FProject, "-o", Path("f.csv"), "--harness", foreign} + Unit());
        QCOMPARE(run.Exit, 1);
        QCOMPARE(run.Out, QStringLiteral("посторонний потенциал: XT1:b2, XT1:b3\n"));
        QVERIFY(!QFile::exists(Path("f.csv")));
    }

    void verifyAgainstTheEmulatorOverTcp() {
        QCOMPARE(Tool(QStringList{"learn", FProject} + Unit()).Exit, 0);
        TEmulator faulty;
        QVERIFY(faulty.Start(FFaulty, 1000)); // a real unit's pace
        const TRun bad = Tool(QStringList{"verify", FProject, "--link", faulty.Link} + Unit());
        QCOMPARE(bad.Exit, 1);
        QCOMPARE(bad.Out, QStringLiteral("БРАК\n"
                                         "обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2\n"
                                         "замыкание: XT1:a4, XT1:b1 — XT1:b2, XT1:b3\n"));
        TEmulator good;
        QVERIFY(good.Start(FGood, 1000));
        const TRun run =
            Tool(QStringList{"verify", FProject, "--json", "--link", good.Link} + Unit());
        QCOMPARE(run.Exit, 0);
        QCOMPARE(QJsonDocument::fromJson(run.Out.toUtf8()).object().value("verdict").toString(),
                 QStringLiteral("ГОДЕН"));
    }

    void watchReportsEachLatchedFault() {
        QCOMPARE(Tool(QStringList{"learn", FProject} + Unit()).Exit, 0);
        const TRun clean = Tool(QStringList{"watch", FProject, "--seconds", "1"} + Unit());
        QCOMPARE(clean.Exit, 0);
        QVERIFY2(clean.Out.contains("ГОДЕН"), qPrintable(clean.Out));
        const QString drops = Harness(
            "drops.json",
            Nets({{"intermittent",
                   QJsonArray{QJsonObject{{"pin", "X2:a3"}, {"dropMs", 5}, {"periodMs", 200}}}}}));
        WriteFile(Path("paced.ini"), "[Device]\r\nLink=sim\r\nSimReplyUs=1000\r\n");
        const TRun run = Tool({"watch", FProject, "--seconds", "2", "--harness", drops,
                               "--settings", Path("paced.ini")});
        QCOMPARE(run.Exit, 1);
        const QRegularExpression latched(
            QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d\\d\\d обрыв: XT1:b3 отсоединен от XT1:b2$"),
            QRegularExpression::MultilineOption);
        QVERIFY2(latched.match(run.Out).hasMatch(), qPrintable(run.Out));
        QVERIFY(run.Out.contains("БРАК"));
        QVERIFY(run.Out.contains(QRegularExpression("обрыв: XT1:b3 отсоединен от XT1:b2 — "
                                                    "замечено \\d+ раз")));
    }
};

QTEST_GUILESS_MAIN(PinvelCheckTest)
#include "PinvelCheckTest.moc"
