// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check's supervisors and approvals, run as separate processes with the PIN fed on
// standard input: a supervisor added, listed and removed; an approval refused for a wrong PIN
// and made with the right one; the lock after five wrong PINs holding across runs; and
// [Check] RequireApproval refusing verify and watch until the reference is approved, the
// record and the JSON saying whether it was.

#include "../check/CheckTestKit.h"
#include "ToolTestKit.h"

#include "TRecordFilter.h"
#include "TRecordsDatabase.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

using namespace ToolKit;

// The tool with `input` on its standard input (a pipe: the PIN is read as a line).
TRun Tool(const QStringList& args, const QByteArray& input = QByteArray()) {
    QProcess p;
    p.start(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-check"), args);
    p.waitForStarted(10000);
    p.write(input);
    p.closeWriteChannel();
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

const QString Refusal =
    QStringLiteral("Эталон не утвержден: проверка невозможна. Обратитесь к мастеру.");

} // namespace

class PinvelCheckApproveTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel approve tool XXXXXX")};
    QString FProject;
    QString FSettings;
    QString FRequired; // the same with RequireApproval=1

    QString Path(const QString& name) const { return FDir.filePath(name); }
    QString Records() const { return Path("data home/Pinvel/records.sqlite"); }

  private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        CheckKit::TProject project;
        for (int i = 1; i <= 3; ++i)
            project.TieTo(QStringLiteral("XT1:a%1").arg(i), QStringLiteral("X1:a%1").arg(i));
        FProject = Path("жгут 9.pvl");
        project.WorkPlace.SaveToFile(FProject);
        WriteFile(Path("good.json"), R"({"nets": [["X1:a1", "X1:a2"], ["X1:a3"]]})");
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data home")));
        FSettings = Path("pinvel.ini");
        WriteFile(FSettings, "[Device]\r\nLink=sim\r\nHarness=good.json\r\nSimReplyUs=0\r\n");
        FRequired = Path("required.ini");
        WriteFile(FRequired, "[Device]\r\nLink=sim\r\nHarness=good.json\r\nSimReplyUs=0\r\n"
                             "[Check]\r\nRequireApproval=1\r\n");
        QCOMPARE(Tool({"learn", FProject, "--settings", FSettings}).Exit, 0);
    }

    void supervisorsAddedListedRemoved() {
        const TRun added =
            Tool({"supervisor", "add", "Петров П.", "--settings", FSettings}, "2468\n");
        QVERIFY2(added.Exit == 0, qPrintable(added.Err));
        QVERIFY(added.Out.contains("Петров П."));
        const TRun twice =
            Tool({"supervisor", "add", "Петров П.", "--settings", FSettings}, "1357\n");
        QCOMPARE(twice.Exit, 1);
        QVERIFY2(twice.Err.contains("уже есть"), qPrintable(twice.Err));
        const TRun shortPin =
            Tool({"supervisor", "add", "Сидоров", "--settings", FSettings}, "123\n");
        QCOMPARE(shortPin.Exit, 2);
        QVERIFY(shortPin.Err.contains("от 4 до 16 цифр"));
        QCOMPARE(Tool({"supervisor", "add", "Сидоров", "--settings", FSettings}, "9753\n").Exit, 0);
        const TRun list = Tool({"supervisor", "list", "--settings", FSettings});
        QCOMPARE(list.Exit, 0);
        const QStringList lines = list.Out.split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 2);
        QVERIFY(lines[0].startsWith("Петров П.\t"));
        QVERIFY(lines[1].startsWith("Сидоров\t"));
        QCOMPARE(Tool({"supervisor", "remove", "Сидоров", "--settings", FSettings}).Exit, 0);
        QCOMPARE(Tool({"supervisor", "remove", "Сидоров", "--settings", FSettings}).Exit, 1);
        // No PIN anywhere in the station's file, its log included.
        QByteArray bytes;
        for (const char* suffix : {"", "-wal"})
            bytes += ReadFile(Records() + suffix);
        QVERIFY(bytes.contains("$argon2id$"));
        QVERIFY(!bytes.contains("2468") && !bytes.contains("9753"));
    }

    void requireApprovalRefusesUntilApproved() {
        // Unapproved: verify and watch refuse before touching the unit, and write no record.
        const TRun refused = Tool({"verify", FProject, "--settings", FRequired, "--serial", "R1"});
        QCOMPARE(refused.Exit, 2);
        QVERIFY2(refused.Err.contains(Refusal), qPrintable(refused.Err));
        QVERIFY(refused.Out.isEmpty());
        const TRun watch =
            Tool({"watch", FProject, "--settings", FRequired, "--seconds", "1", "--serial", "R1"});
        QCOMPARE(watch.Exit, 2);
        QVERIFY(watch.Err.contains(Refusal));
        // Without the setting the check runs as ever, and says the reference was not approved.
        const TRun plain = Tool({"verify", FProject, "--settings", FSettings, "--json"});
        QCOMPARE(plain.Exit, 0);
        QCOMPARE(QJsonDocument::fromJson(plain.Out.toUtf8())["referenceApproved"].toBool(true),
                 false);

        // A wrong PIN approves nothing.
        const TRun wrong = Tool(
            {"approve", FProject, "--supervisor", "Петров П.", "--settings", FSettings}, "1111\n");
        QCOMPARE(wrong.Exit, 1);
        QVERIFY2(wrong.Err.contains("Неверный PIN"), qPrintable(wrong.Err));
        QCOMPARE(Tool({"verify", FProject, "--settings", FRequired}).Exit, 2);

        const TRun approved = Tool(
            {"approve", FProject, "--supervisor", "Петров П.", "--settings", FSettings}, "2468\n");
        QVERIFY2(approved.Exit == 0, qPrintable(approved.Err));
        const QString sum = QString::fromLatin1(
            QCryptographicHash::hash(ReadFile(Path("жгут 9.wires.csv")), QCryptographicHash::Sha256)
                .toHex());
        QVERIFY2(approved.Out.contains("утвержден: Петров П.") && approved.Out.contains(sum),
                 qPrintable(approved.Out));
        const TRun now = Tool({"verify", FProject, "--settings", FRequired, "--json"});
        QVERIFY2(now.Exit == 0, qPrintable(now.Err));
        const QJsonObject json = QJsonDocument::fromJson(now.Out.toUtf8()).object();
        QCOMPARE(json["referenceApproved"].toBool(), true);
        QCOMPARE(json["referenceSha256"].toString(), sum);
        TRecordsDatabase db(Records());
        QVERIFY(db.Open());
        QVERIFY(db.Load(json["record"].toString())->ReferenceApproved);
        QVERIFY(!db.Load(QJsonDocument::fromJson(plain.Out.toUtf8())["record"].toString())
                     ->ReferenceApproved);
        QCOMPARE(Tool({"watch", FProject, "--settings", FRequired, "--seconds", "1"}).Exit, 0);
    }

    void fiveWrongPinsLockAcrossRuns() {
        QCOMPARE(Tool({"supervisor", "add", "Орлов", "--settings", FSettings}, "8642\n").Exit, 0);
        const QStringList approve{"approve", FProject,     "--supervisor",
                                  "Орлов",   "--settings", FSettings};
        for (int i = 1; i <= 4; ++i) {
            const TRun r = Tool(approve, "0000\n");
            QCOMPARE(r.Exit, 1);
            QVERIFY2(r.Err.contains(QStringLiteral("попыток до блокировки: %1").arg(5 - i)),
                     qPrintable(r.Err));
        }
        const TRun fifth = Tool(approve, "0000\n");
        QCOMPARE(fifth.Exit, 1);
        QVERIFY2(fifth.Err.contains("заблокирован"), qPrintable(fifth.Err));
        // The right PIN in the next run is refused: the lock lives in the database.
        const TRun locked = Tool(approve, "8642\n");
        QCOMPARE(locked.Exit, 1);
        QVERIFY2(locked.Err.contains("заблокирован"), qPrintable(locked.Err));
        QVERIFY(Tool({"supervisor", "list", "--settings", FSettings}).Out.contains("Орлов\t"));
        // No PIN on standard input: nothing approved, exit 2.
        QCOMPARE(
            Tool({"approve", FProject, "--supervisor", "Петров П.", "--settings", FSettings}).Exit,
            2);
    }
};

QTEST_GUILESS_MAIN(PinvelCheckApproveTest)
#include "PinvelCheckApproveTest.moc"
