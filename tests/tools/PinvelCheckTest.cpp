// SPDX-License-Identifier: GPL-3.0-or-later
// The pinvel-check tool, run as a separate process: its exit codes, its text and JSON, the wire
// list it writes, and a check against the unit emulator over TCP.

#include "../check/CheckTestKit.h"
#include "ToolTestKit.h"

#include "TRecordsDatabase.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>

namespace {

using namespace ToolKit;

TRun Tool(const QStringList& args) {
    return RunTool(QStringLiteral("pinvel-check"), args);
}

// The text of a PDF as a PDF reader sees it.
QString PdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {"-layout", path, "-"});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

QString NoSpace(QString text) {
    return text.remove(QRegularExpression(QStringLiteral("\\s")));
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
        // The records of the checks go to a data folder of the test's own.
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data home")));
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

    // The tools speak the program's language: the settings file's choice, else the locale's;
    // the verdict word of --json stays as scripts read it.
    void theToolsSpeakTheProgramsLanguage() {
        const QString english = Path("english.ini");
        WriteFile(english,
                  "[fmMain]\r\nLanguage=en\r\n[Device]\r\nLink=sim\r\nHarness=good.json\r\n"
                  "SimReplyUs=0\r\n");
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
        const TRun text = Tool({"verify", FProject, "--harness", FFaulty, "--settings", english});
        QCOMPARE(text.Exit, 1);
        QVERIFY2(text.Out.startsWith("FAULTY\n") && !text.Out.contains("БРАК"),
                 qPrintable(text.Out));
        const TRun json =
            Tool({"verify", FProject, "--harness", FFaulty, "--settings", english, "--json"});
        QCOMPARE(QJsonDocument::fromJson(json.Out.toUtf8()).object().value("verdict").toString(),
                 QStringLiteral("БРАК"));
        const TRun bad = Tool({"verify", FProject, "--bogus", "--settings", english});
        QVERIFY2(bad.Err.contains("Unknown option"), qPrintable(bad.Err));

        // The locale, where no settings file chooses.
        const QList<std::pair<QString, QString>> en{
            {"LANG", "en_US.UTF-8"}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}};
        const QList<std::pair<QString, QString>> ru{
            {"LANG", "ru_RU.UTF-8"}, {"LC_ALL", ""}, {"LC_MESSAGES", ""}};
        for (const char* tool : {"pinvel-check", "pinvel-file", "pinvel-unit"}) {
            const TRun inEnglish = RunTool(QString::fromLatin1(tool), {"--help"}, en);
            QVERIFY2(inEnglish.Out.startsWith("Usage:") && !inEnglish.Out.contains("Использование"),
                     qPrintable(inEnglish.Out));
            const TRun inRussian = RunTool(QString::fromLatin1(tool), {"--help"}, ru);
            QVERIFY2(inRussian.Out.startsWith("Использование:"), qPrintable(inRussian.Out));
        }
    }

    void learnWritesTheListBesideTheProject() {
        const TRun run = Tool(QStringList{"learn", FProject, "--replace"} + Unit());
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

    void learnCountsWiresByContactsSharingAPin() {
        // XT1:b4 shares X1:a1 with XT1:a1: seven pins in three nets, but eight contacts and five
        // wires, one a line of the list.
        CheckKit::TProject project;
        for (int i = 1; i <= 4; ++i)
            project.TieTo(QStringLiteral("XT1:a%1").arg(i), QStringLiteral("X1:a%1").arg(i));
        for (int i = 1; i <= 3; ++i)
            project.TieTo(QStringLiteral("XT1:b%1").arg(i), QStringLiteral("X2:a%1").arg(i));
        project.TieTo(QStringLiteral("XT1:b4"), QStringLiteral("X1:a1"));
        const QString shared = Path("жгут 8.pvl");
        project.WorkPlace.SaveToFile(shared);
        const TRun run = Tool(QStringList{"learn", shared} + Unit());
        QCOMPARE(run.Exit, 0);
        QVERIFY2(run.Out.contains(QStringLiteral("(цепей 3, проводов 5, обменов с блоком 4)")),
                 qPrintable(run.Out));
        const QByteArray wires = ReadFile(Path("жгут 8.wires.csv"));
        QCOMPARE(wires.count('\n'), 1 + 5);
        QVERIFY2(wires.contains("XT1:a1,XT1:b4\n"), wires.constData());
    }

    // The station's file of records in a fresh data folder of its own.
    QString FreshRecords(const QString& name) {
        const QString home = Path(name);
        qputenv("XDG_DATA_HOME", QFile::encodeName(home));
        return home + QStringLiteral("/Pinvel/records.sqlite");
    }

    void verifyAndWatchWriteTheirRecords() {
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
        const QString file = FreshRecords("records one");
        const TRun good = Tool(
            QStringList{"verify", FProject, "--serial", " SN 0001 ", "--operator", "Иванов И."} +
            Unit());
        QCOMPARE(good.Exit, 0);
        QVERIFY2(good.Err.isEmpty(), qPrintable(good.Err));
        const TRun bad = Tool(
            QStringList{"verify", FProject, "--json", "--harness", FFaulty, "--serial", "SN 0002"} +
            Unit());
        QCOMPARE(bad.Exit, 1);
        const QJsonObject json = QJsonDocument::fromJson(bad.Out.toUtf8()).object();
        const TRun watched =
            Tool(QStringList{"watch", FProject, "--seconds", "1", "--harness", FFaulty, "--serial",
                             "SN 0003", "--operator", "Петров"} +
                 Unit());
        QCOMPARE(watched.Exit, 1);

        TRecordsDatabase db(file);
        QVERIFY(db.Open());
        const std::vector<TTestRecord> records = db.LoadAll({}, nullptr, 10);
        QCOMPARE(records.size(), std::size_t(3));
        const QString sum = QString::fromLatin1(
            QCryptographicHash::hash(ReadFile(Path("жгут 7.wires.csv")), QCryptographicHash::Sha256)
                .toHex());
        const TTestRecord& w = records[0];
        const TTestRecord& b = records[1];
        const TTestRecord& g = records[2];
        for (const TTestRecord* r : {&w, &b, &g}) {
            QCOMPARE(r->ProjectPath, QFileInfo(FProject).absoluteFilePath());
            QCOMPARE(r->ReferenceSum, sum); // the learnt list's own SHA-256
            QCOMPARE(r->Station, TTestRecord::ThisStation());
        }
        QCOMPARE(g.Serial, QString("SN 0001"));
        QCOMPARE(g.Operator, QString("Иванов И."));
        QVERIFY(g.Good && g.Faults.empty() && g.Mode == TTestRecord::TMode::Verify);
        QCOMPARE(g.Scans, 1);
        QCOMPARE(b.Uid, json.value("record").toString());
        QCOMPARE(b.Serial, QString("SN 0002"));
        QCOMPARE(b.Operator, QString());
        QVERIFY(!b.Good);
        QCOMPARE(int(b.Faults.size()), json.value("faults").toArray().size());
        for (int i = 0; i < int(b.Faults.size()); ++i)
            QCOMPARE(b.Faults[std::size_t(i)].Fault.ToJson(),
                     json.value("faults").toArray().at(i).toObject());
        QCOMPARE(w.Mode, TTestRecord::TMode::Watch);
        QCOMPARE(w.Serial, QString("SN 0003"));
        QVERIFY(!w.Good && w.Faults.size() == 2);
        QVERIFY(w.Scans > 1);
        for (const TRecordFault& f : w.Faults) {
            QVERIFY(f.Seen >= 1 && f.Seen <= w.Scans);
            QVERIFY(f.First.isValid() && f.First <= f.Last && f.Last <= w.Time);
        }
        QVERIFY2(watched.Out.contains(QStringLiteral("Проверок: %1,").arg(w.Scans)),
                 qPrintable(watched.Out));
    }

    // Learning over a list that is there: what the new one changes, in the check's words; the
    // old list left byte for byte without --replace (exit 2), overwritten with it.
    void learnSaysWhatChangesAndReplacesOnlyWhenAsked() {
        FreshRecords("records learn");
        const QString old = Path("прежний.wires.csv");
        const struct {
            QByteArray Old;
            QString Line;
        } cases[] = {
            // The new list parts XT1:b2, b3 from XT1:a4's net: an open.
            {"from,to\r\nXT1:a1,XT1:a2\r\nXT1:a1,XT1:a3\r\nXT1:a4,XT1:b1\r\nXT1:a4,XT1:b2\r\n"
             "XT1:a4,XT1:b3\r\n",
             "в новом эталоне: обрыв: XT1:b2, XT1:b3 отсоединены от XT1:a4, XT1:b1"},
            // It joins XT1:a4 and XT1:b1, apart in the old list: a short.
            {"from,to\nXT1:a1,XT1:a2\nXT1:a1,XT1:a3\nXT1:b2,XT1:b3\n",
             "в новом эталоне: замыкание: XT1:a4 — XT1:b1"},
            // It moves XT1:a3 from XT1:a4's net to XT1:a1's: a miswire.
            {"from,to\nXT1:a1,XT1:a2\nXT1:a3,XT1:a4\nXT1:a3,XT1:b1\nXT1:b2,XT1:b3\n",
             "в новом эталоне: перепутан: XT1:a3 отсоединен от XT1:a4, XT1:b1 и соединен с "
             "XT1:a1, XT1:a2"},
        };
        for (const auto& c : cases) {
            WriteFile(old, c.Old);
            const TRun refused = Tool(QStringList{"learn", FProject, "-o", old} + Unit());
            QCOMPARE(refused.Exit, 2);
            QCOMPARE(refused.Out, c.Line + QLatin1Char('\n'));
            QVERIFY2(refused.Err.contains("--replace") && refused.Err.contains(old),
                     qPrintable(refused.Err));
            QCOMPARE(ReadFile(old), c.Old);
        }
        const TRun replaced = Tool(QStringList{"learn", FProject, "-o", old, "--replace"} + Unit());
        QCOMPARE(replaced.Exit, 0);
        QVERIFY2(replaced.Out.startsWith(cases[2].Line + QLatin1Char('\n')) &&
                     replaced.Out.contains(QStringLiteral("Эталон записан: ") + old),
                 qPrintable(replaced.Out));
        const QByteArray learnt = ReadFile(old);
        QVERIFY(learnt.startsWith("from,to\nXT1:a1,XT1:a2\n"));
        // The same harness again: nothing changes, and it says so; still refused.
        const TRun same = Tool(QStringList{"learn", FProject, "-o", old} + Unit());
        QCOMPARE(same.Exit, 2);
        QCOMPARE(same.Out, QStringLiteral("Новый эталон не отличается от прежнего.\n"));
        QCOMPARE(ReadFile(old), learnt);
    }

    // Every reference is kept: a record's reference_sum gives its wires back, as learn wrote
    // them, with who learned it; an unknown or malformed sum is refused.
    void reportWritesAKeptReferenceOut() {
        const QString file = FreshRecords("records references");
        const QString list = Path("kept.wires.csv");
        QFile::remove(list);
        QCOMPARE(
            Tool(QStringList{"learn", FProject, "-o", list, "--operator", "Петров"} + Unit()).Exit,
            0);
        QCOMPARE(
            Tool(QStringList{"verify", FProject, "--wires", list, "--serial", "K-1"} + Unit()).Exit,
            0);
        TRecordsDatabase db(file);
        QVERIFY(db.Open());
        const std::vector<TTestRecord> records = db.Page({}, nullptr, 10);
        QCOMPARE(records.size(), std::size_t(1));
        const QString sum = records[0].ReferenceSum;
        const QByteArray written = ReadFile(list);
        QCOMPARE(sum, QString::fromLatin1(
                          QCryptographicHash::hash(written, QCryptographicHash::Sha256).toHex()));
        // The list learn wrote is gone; the records still have it.
        QVERIFY(QFile::remove(list));
        const TRun out = Tool(QStringList{"report", "--reference", sum} + Unit());
        QCOMPARE(out.Exit, 0);
        QCOMPARE(out.Out.toUtf8(), written);
        QVERIFY2(out.Err.contains(QStringLiteral("снят с жгута, Петров")), qPrintable(out.Err));
        const TRun toFile =
            Tool(QStringList{"report", "--reference", sum.toUpper(), "-o", list} + Unit());
        QCOMPARE(toFile.Exit, 0);
        QCOMPARE(ReadFile(list), written);
        QCOMPARE(QString::fromLatin1(
                     QCryptographicHash::hash(ReadFile(list), QCryptographicHash::Sha256).toHex()),
                 sum);

        const QString unknown = QString(63, QLatin1Char('0')) + QLatin1Char('1');
        const TRun missing = Tool(QStringList{"report", "--reference", unknown} + Unit());
        QCOMPARE(missing.Exit, 2);
        QVERIFY(missing.Out.isEmpty());
        QVERIFY2(missing.Err.contains(QStringLiteral("Эталона с SHA-256 %1 нет").arg(unknown)),
                 qPrintable(missing.Err));
        for (const QString& bad : {sum.left(63), sum.left(63) + QLatin1Char('g')}) {
            const TRun malformed = Tool(QStringList{"report", "--reference", bad} + Unit());
            QCOMPARE(malformed.Exit, 2);
            QVERIFY2(malformed.Err.contains("64"), qPrintable(malformed.Err));
        }
    }

    void recordsWaitWhenTheSharedDatabaseIsAway() {
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
        const QString file = FreshRecords("records two");
        int port = 0;
        {
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost, 0);
            port = closed.serverPort();
        }
        WriteFile(Path("shared.ini"),
                  "[Device]\r\nLink=sim\r\nHarness=good.json\r\nSimReplyUs=0\r\n[Records]\r\n"
                  "Database=postgresql://qa@127.0.0.1:" +
                      QByteArray::number(port) + "/records\r\n");
        for (int i = 1; i <= 2; ++i) {
            const TRun run =
                Tool({"verify", FProject, "--serial", "W", "--settings", Path("shared.ini")});
            QCOMPARE(run.Exit, 0); // the harness is good, and its record is kept
            QCOMPARE(run.Out, QStringLiteral("ГОДЕН\n"));
            QVERIFY2(run.Err.contains(QStringLiteral("Записей ждут отправки: %1.").arg(i)),
                     qPrintable(run.Err));
        }
        TRecordsDatabase db(file);
        QVERIFY(db.Open());
        QCOMPARE(db.WaitingCount(), 2);
        // The journal of the shared database cannot be read; the station's own can.
        const TRun shared =
            Tool({"report", "--csv", Path("w.csv"), "--settings", Path("shared.ini")});
        QCOMPARE(shared.Exit, 2);
        QVERIFY2(shared.Err.contains("--local"), qPrintable(shared.Err));
        const TRun local =
            Tool({"report", "--csv", Path("w.csv"), "--local", "--settings", Path("shared.ini")});
        QCOMPARE(local.Exit, 0);
        QCOMPARE(ReadFile(Path("w.csv")).count('\n'), 3);
    }

    void aRecordWrittenNowhereExitsWithThree() {
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
        // A plain file where the data folder should be.
        WriteFile(Path("not a folder"), "x");
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("not a folder")));
        const TRun run = Tool(QStringList{"verify", FProject, "--serial", "N"} + Unit());
        QCOMPARE(run.Exit, 3);
        QCOMPARE(run.Out, QStringLiteral("ГОДЕН\n"));
        QVERIFY2(run.Err.contains("Запись проверки не сохранена"), qPrintable(run.Err));
        const TRun bad =
            Tool(QStringList{"verify", FProject, "--harness", FFaulty, "--serial", "N"} + Unit());
        QCOMPARE(bad.Exit, 3);
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data home")));
    }

    void reportGivesCsvAndPdf() {
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
        FreshRecords("records three");
        QCOMPARE(
            Tool(QStringList{"verify", FProject, "--serial", "A-1", "--operator", "Ким"} + Unit())
                .Exit,
            0);
        const TRun bad = Tool(QStringList{"verify", FProject, "--json", "--harness", FFaulty,
                                          "--serial", "A-2", "--operator", "Ли, \"мл.\""} +
                              Unit());
        QCOMPARE(bad.Exit, 1);
        const QString uid =
            QJsonDocument::fromJson(bad.Out.toUtf8()).object().value("record").toString();
        const QString sum =
            QJsonDocument::fromJson(bad.Out.toUtf8()).object().value("referenceSha256").toString();
        QCOMPARE(sum.size(), 64);

        const TRun csv = Tool({"report", "--csv", Path("all.csv"), "--settings", FSettings});
        QCOMPARE(csv.Exit, 0);
        const QList<QByteArray> lines = ReadFile(Path("all.csv")).split('\n');
        QCOMPARE(lines.size(), 4); // header, two records, the last line's end
        QCOMPARE(lines[0], QByteArray("time,station,operator,serial,project,project_path,"
                                      "reference_sha256,verdict,mode,scans,fault_count,faults,"
                                      "reference_approved,id"));
        QVERIFY2(lines[1].contains(",\"Ли, \"\"мл.\"\"\",A-2,жгут 7.pvl,") &&
                     lines[1].contains("," + sum.toLatin1() +
                                       ",БРАК,verify,1,2,\"обрыв: XT1:a3 "
                                       "отсоединен от XT1:a1, XT1:a2 | "
                                       "замыкание: ") &&
                     lines[1].endsWith("XT1:b2, XT1:b3\",0," + uid.toLatin1()),
                 lines[1].constData());
        QVERIFY2(lines[2].contains(",Ким,A-1,") && lines[2].contains(",ГОДЕН,verify,1,0,,"),
                 lines[2].constData());
        QVERIFY(lines[3].isEmpty());
        // Filtered: by verdict, by serial, by days.
        QCOMPARE(Tool({"report", "--csv", Path("bad.csv"), "--verdict", "БРАК"}).Exit, 0);
        QCOMPARE(ReadFile(Path("bad.csv")).count('\n'), 2);
        QCOMPARE(Tool({"report", "--csv", Path("a1.csv"), "--serial", "A-1"}).Exit, 0);
        QVERIFY(ReadFile(Path("a1.csv")).contains(",A-1,"));
        QCOMPARE(ReadFile(Path("a1.csv")).count('\n'), 2);
        const QString today = QDate::currentDate().toString(Qt::ISODate);
        const QString tomorrow = QDate::currentDate().addDays(1).toString(Qt::ISODate);
        QCOMPARE(Tool({"report", "--csv", Path("d.csv"), "--from", today, "--to", today}).Exit, 0);
        QCOMPARE(ReadFile(Path("d.csv")).count('\n'), 3);
        QCOMPARE(Tool({"report", "--csv", Path("d.csv"), "--from", tomorrow}).Exit, 0);
        QCOMPARE(ReadFile(Path("d.csv")).count('\n'), 1);
        for (const QStringList& wrong :
             {QStringList{"report"}, QStringList{"report", "--csv", "a", "--pdf", "b"},
              QStringList{"report", "--csv", Path("x.csv"), "--from", "07.12.2026"},
              QStringList{"report", "--csv", Path("x.csv"), "--verdict", "хорошо"},
              QStringList{"report", "--csv", Path("x.csv"), "--record", uid},
              QStringList{"report", "--pdf", Path("x.pdf"), "--record", "no-such-record"},
              QStringList{"report", "--pdf", Path("x.pdf"), FProject}}) {
            const TRun run = Tool(wrong);
            QVERIFY2(run.Exit == 2 && run.Err.contains("pinvel-check: "),
                     qPrintable(wrong.join(' ') + ": " + run.Err));
        }
        QVERIFY(!QFile::exists(Path("x.pdf")));

        // The report of one record, read back by a PDF reader.
        const TRun one = Tool({"report", "--pdf", Path("протокол A-2.pdf"), "--record", uid});
        QCOMPARE(one.Exit, 0);
        const QString text = PdfText(Path("протокол A-2.pdf"));
        QVERIFY2(text.contains("Протокол проверки жгута") && text.contains("БРАК") &&
                     text.contains("A-2") && text.contains("жгут 7.pvl") &&
                     text.contains("обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2") &&
                     text.contains("замыкание: XT1:a4, XT1:b1 — XT1:b2, XT1:b3"),
                 qPrintable(text));
        QVERIFY2(NoSpace(text).contains(sum), qPrintable(text)); // the checksum whole
        // The list of the faulty ones.
        QCOMPARE(Tool({"report", "--pdf", Path("list.pdf"), "--verdict", "БРАК"}).Exit, 0);
        // The list's pages (its statistics' page follows them).
        const QString list = PdfText(Path("list.pdf")).section("Статистика проверок", 0, 0);
        QVERIFY2(
            list.contains("Журнал проверок") && list.contains("БРАК") && !list.contains("ГОДЕН") &&
                list.contains("A-2") && !list.contains("A-1") &&
                NoSpace(list).contains(NoSpace("обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2")) &&
                list.contains(sum.left(16)),
            qPrintable(list));
    }

    void verifyAnswersWithItsExitCode() {
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
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
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
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
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
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
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
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
        QCOMPARE(Tool(QStringList{"learn", FProject, "--replace"} + Unit()).Exit, 0);
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
