// SPDX-License-Identifier: GPL-3.0-or-later
// The window's records: the serial number and the operator asked and remembered, each verify's
// record written off the window's thread, the status bar's notice of records waiting for the
// shared database, the journal opened from its action.

#include "TCheckRecords.h"
#include "RecordsTestKit.h"
#include "TCheckPoints.h"
#include "TContinuousCheck.h"
#include "THarnessCheck.h"
#include "TIniFile.h"
#include "TJournalModel.h"
#include "TReference.h"
#include "TReferenceArchive.h"
#include "TWireList.h"
#include "TfmJournal.h"

#include <QCryptographicHash>

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QTcpServer>

using namespace RecordsKit;

namespace {
TCheckPoints Points() {
    return TCheckPoints({{400, {"XT1:a1"}}, {401, {"XT1:a2"}}, {272, {"XP2:a1"}}});
}

int ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}
} // namespace

class TCheckRecordsTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel window records XXXXXX")};

    QString Records() const { return FDir.filePath("data home/Pinvel/records.sqlite"); }

  private slots:
    void init() {
        QDir(FDir.filePath("data home")).removeRecursively();
        qputenv("XDG_DATA_HOME", QFile::encodeName(FDir.filePath("data home")));
    }

    void askedOnceRememberedAndRecorded() {
        TIniFile ini(FDir.filePath("pinvel.ini"));
        ini.WriteString("Records", "Operator", "Иванов");
        QMainWindow window;
        auto* records = new TCheckRecords(ini, window);
        QString offered;
        records->AskDialog = [&](QString& serial, QString& oper) {
            offered = serial + "|" + oper;
            serial = " SN-7 ";
            oper = "Петров ";
            return true;
        };
        QVERIFY(records->AskHarness());
        QCOMPARE(offered, QString("|Иванов")); // no serial yet, the operator remembered
        QCOMPARE(records->Serial(), QString("SN-7"));
        QCOMPARE(ini.ReadString("Records", "Operator", ""), QString("Петров"));
        // Offered again as they were; Cancel changes nothing.
        records->AskDialog = [&](QString& serial, QString& oper) {
            offered = serial + "|" + oper;
            serial = "other";
            return false;
        };
        QVERIFY(!records->AskHarness());
        QCOMPARE(offered, QString("SN-7|Петров"));
        QCOMPARE(records->Serial(), QString("SN-7"));

        const TCheckPoints points = Points();
        const TReference reference = TReference::FromNets({{0, 1}}, 3);
        TCheckResult bad;
        bad.Faults.push_back(TFault::Open({"XT1:a2"}, {"XT1:a1"}));
        const QString sum = TTestRecord::ReferenceSumOf(reference, points);
        const TTestRecord verify = records->RecordVerify("/plant/K1.pvl", sum, bad);
        QCOMPARE(verify.ReferenceSum, TTestRecord::ReferenceSumOf(reference, points));
        TLatchedFault latched{TFault::Foreign({"XP2:a1"}), QDateTime::currentDateTimeUtc(),
                              QDateTime::currentDateTimeUtc(), 4};
        const TTestRecord watch = records->RecordWatch("/plant/K1.pvl", sum, {latched}, 120);
        delete records; // the writer finishes what it was handed

        TRecordsDatabase db(Records());
        QVERIFY(db.Open());
        const std::optional<TTestRecord> v = db.Load(verify.Uid);
        QVERIFY(v);
        QCOMPARE(v->ChainSeq, 1);
        QCOMPARE(Unchained(*v), verify); // with its place in the chain given when written
        QCOMPARE(v->Serial, QString("SN-7"));
        QCOMPARE(v->Operator, QString("Петров"));
        QVERIFY(!v->Good);
        const std::optional<TTestRecord> w = db.Load(watch.Uid);
        QVERIFY(w);
        QCOMPARE(w->Mode, TTestRecord::TMode::Watch);
        QCOMPARE(w->Scans, 120);
        QCOMPARE(w->Faults.at(0).Seen, 4);
    }

    void theWindowsRoadNotesTheProjectAndItsReference() {
        TIniFile ini(FDir.filePath("pinvel.ini"));
        QMainWindow window;
        auto records = std::make_unique<TCheckRecords>(ini, window);
        const TCheckPoints points = Points();
        const QString project = FDir.filePath("жгут K2.pvl");
        const TReference reference = TReference::FromNets({{0, 2}}, 3);
        TWireList::Save(TWireList::PathFor(project), reference, points);
        QFile wires(TWireList::PathFor(project));
        QVERIFY(wires.open(QIODevice::ReadOnly));
        const QString sum = QString::fromLatin1(
            QCryptographicHash::hash(wires.readAll(), QCryptographicHash::Sha256).toHex());
        records->AskDialog = [](QString&, QString&) { return false; };
        QVERIFY(!records->BeforeVerify(project, points, reference)); // Cancel: no verify
        records->AskDialog = [](QString& serial, QString& oper) {
            serial = "R-1";
            oper = "Ли";
            return true;
        };
        QVERIFY(records->BeforeVerify(project, points, reference));
        TCheckResult result;
        result.Faults.push_back(TFault::Short({{"XT1:a1", "XP2:a1"}, {"XT1:a2"}}));
        records->AfterVerify(result);
        records->AfterWatch({}, 9);
        records.reset();
        TRecordsDatabase db(Records());
        QVERIFY(db.Open());
        const std::vector<TTestRecord> all = db.LoadAll({}, nullptr, 10);
        QCOMPARE(all.size(), std::size_t(2));
        for (const TTestRecord& r : all) {
            QCOMPARE(r.ProjectPath, project);
            QCOMPARE(r.ReferenceSum, sum);
            QCOMPARE(r.Serial, QString("R-1"));
        }
        const auto watch = std::find_if(all.begin(), all.end(), [](const TTestRecord& r) {
            return r.Mode == TTestRecord::TMode::Watch;
        });
        QVERIFY(watch != all.end());
        QVERIFY(watch->Good);
        QCOMPARE(watch->Scans, 9);
        // The reference checked against is kept with them: the very bytes of its list.
        const std::optional<TKeptReference> kept = TReferenceArchive::Find(db, sum);
        QVERIFY(kept);
        QCOMPARE(kept->Wires, TWireList::ToCsv(reference, points));
        QCOMPARE(kept->Origin, TKeptReference::TOrigin::Checked);
        QCOMPARE(kept->KeptBy, QString("Ли"));
    }

    // A reference learned or loaded in the window is kept with the operator, off the window's
    // thread, even when no check follows.
    void learnedAndLoadedReferencesAreKept() {
        TIniFile ini(FDir.filePath("pinvel.ini"));
        ini.WriteString("Records", "Operator", "Орлова");
        QMainWindow window;
        auto records = std::make_unique<TCheckRecords>(ini, window);
        const QByteArray learned = "from,to\nXT1:a1,XP2:a1\n";
        const QByteArray loaded = "from,to\nXT1:a2,XP2:a1\n";
        records->KeepReference(FDir.filePath("жгут K3.pvl"), learned, true);
        records->KeepReference(FDir.filePath("жгут K3.pvl"), loaded, false);
        records.reset();
        TRecordsDatabase db(Records());
        QVERIFY(db.Open());
        const std::optional<TKeptReference> a =
            TReferenceArchive::Find(db, TKeptReference::SumOf(learned));
        const std::optional<TKeptReference> b =
            TReferenceArchive::Find(db, TKeptReference::SumOf(loaded));
        QVERIFY(a && b);
        QCOMPARE(a->Wires, learned);
        QCOMPARE(a->Origin, TKeptReference::TOrigin::Learned);
        QCOMPARE(b->Origin, TKeptReference::TOrigin::Imported);
        QCOMPARE(a->KeptBy, QString("Орлова"));
        QCOMPARE(a->Project, QString("жгут K3.pvl"));
        QCOMPARE(a->Station, TTestRecord::ThisStation());
    }

    void theStatusBarSaysWhatWaits() {
        TIniFile ini(FDir.filePath("pinvel.ini"));
        ini.WriteString("Records", "Database",
                        QStringLiteral("postgresql://qa@127.0.0.1:%1/records").arg(ClosedPort()));
        {
            QMainWindow window;
            TCheckRecords records(ini, window);
            window.show();
            QVERIFY(records.Config().HasShared());
            QVERIFY(!records.lbWaiting->isVisible());
            records.AskDialog = [](QString& serial, QString& oper) {
                serial = "Q-1";
                oper = "Ким";
                return true;
            };
            QVERIFY(records.AskHarness());
            TCheckResult good;
            records.RecordVerify("/plant/K1.pvl", QString(64, 'a'), good);
            QTRY_COMPARE_WITH_TIMEOUT(records.Waiting(), 1, 20000);
            QVERIFY(records.lbWaiting->isVisible());
            QVERIFY2(records.lbWaiting->text().contains("1"),
                     qPrintable(records.lbWaiting->text()));
            QVERIFY(records.lbWaiting->toolTip().contains("127.0.0.1"));
        }
        // The next start says at once what still waits, before any check.
        QMainWindow window;
        TCheckRecords records(ini, window);
        window.show();
        QTRY_VERIFY_WITH_TIMEOUT(records.lbWaiting->isVisible(), 20000);
        QVERIFY2(records.lbWaiting->text().contains("1"), qPrintable(records.lbWaiting->text()));
    }

    void aSectionThatCannotBeTakenIsSaid() {
        TIniFile ini(FDir.filePath("pinvel.ini"));
        ini.WriteString("Records", "Database", "postgresql://qa:secret@db/records");
        QMainWindow window;
        TCheckRecords records(ini, window);
        window.show();
        QVERIFY(!records.Config().HasShared());
        QVERIFY(records.lbWaiting->isVisible());
        QVERIFY(records.lbWaiting->toolTip().contains("~/.pgpass"));
    }

    void theJournalOpensFromItsAction() {
        TIniFile ini(FDir.filePath("pinvel.ini"));
        QMainWindow window;
        TCheckRecords records(ini, window);
        records.AskDialog = [](QString& serial, QString& oper) {
            serial = "J-1";
            oper = "Ким";
            return true;
        };
        QVERIFY(records.AskHarness());
        records.RecordVerify("/plant/K1.pvl", QString(64, 'a'), {});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(Records()), 20000);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                TRecordsDatabase db(Records());
                return db.Open() && db.Count({}) == 1;
            }(),
            20000);
        records.acJournal->trigger();
        QVERIFY(records.Journal());
        QTRY_VERIFY(records.Journal()->Database());
        QCOMPARE(records.Journal()->Model()->Total(), 1);
        records.acJournal->trigger(); // the same window again
        QCOMPARE(window.findChildren<TfmJournal*>().size(), 1);
        // A check while it is open: the journal shows it once it is written.
        records.RecordVerify("/plant/K1.pvl", QString(64, 'a'), {});
        QTRY_COMPARE_WITH_TIMEOUT(records.Journal()->Model()->Total(), 2, 20000);
    }
};

QTEST_MAIN(TCheckRecordsTest)
#include "TCheckRecordsTest.moc"
