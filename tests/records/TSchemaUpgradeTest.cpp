// SPDX-License-Identifier: GPL-3.0-or-later
// A database of records as the last release wrote it (schema version 1, its statements frozen
// here), in a real SQLite file and a real PostgreSQL database, upgraded in place: each station's
// old records chained in their order (time, then id), the station's file's queue left for the
// shared database; the upgrade is one transaction, so one that fails leaves version 1 whole.

#include "RecordsTestKit.h"
#include "TChainReader.h"
#include "TRecordAudit.h"
#include "TRecordChain.h"
#include "TRecordStore.h"
#include "TStatisticsQuery.h"

#include <QSqlRecord>

using namespace RecordsKit;

namespace {

// Version 1 as released.
const char* const Version1[] = {
    "CREATE TABLE schema_version (version INTEGER NOT NULL)",
    ("CREATE TABLE records ("
     " uid TEXT PRIMARY KEY,"
     " checked_at BIGINT NOT NULL,"
     " station TEXT NOT NULL,"
     " operator_name TEXT NOT NULL,"
     " project TEXT NOT NULL,"
     " project_path TEXT NOT NULL,"
     " reference_sum TEXT NOT NULL,"
     " serial TEXT NOT NULL,"
     " verdict TEXT NOT NULL,"
     " mode TEXT NOT NULL,"
     " scans INTEGER NOT NULL,"
     " fault_count INTEGER NOT NULL)"),
    ("CREATE TABLE faults ("
     " record_uid TEXT NOT NULL REFERENCES records (uid),"
     " seq INTEGER NOT NULL,"
     " kind TEXT NOT NULL,"
     " contacts TEXT NOT NULL,"
     " detail TEXT NOT NULL,"
     " seen INTEGER NOT NULL,"
     " first_seen BIGINT,"
     " last_seen BIGINT,"
     " PRIMARY KEY (record_uid, seq))"),
    "CREATE INDEX records_time ON records (checked_at, uid)",
    "CREATE INDEX records_serial ON records (serial, checked_at, uid)",
    "CREATE INDEX records_project ON records (project, checked_at, uid)",
    "CREATE INDEX records_operator ON records (operator_name, checked_at, uid)",
    "CREATE INDEX records_verdict ON records (verdict, checked_at, uid)",
    "CREATE TABLE waiting (uid TEXT PRIMARY KEY, queued_at BIGINT NOT NULL)",
    "INSERT INTO schema_version (version) VALUES (1)",
    ("CREATE INDEX IF NOT EXISTS records_serial_verdict ON records (serial, checked_at, uid, "
     "verdict)"),
};

QString Row(const char* uid, qint64 at, const char* station, const char* verdict, int faults) {
    return QStringLiteral("INSERT INTO records VALUES ('%1', %2, '%3', 'Иванов', 'K1.pvl', "
                          "'/plant/K1.pvl', '9f2c', 'SN-%1', '%4', 'verify', 1, %5)")
        .arg(QLatin1String(uid))
        .arg(at)
        .arg(QLatin1String(station), QLatin1String(verdict))
        .arg(faults);
}

// A raw connection to the database under test, as the old program would have had.
class TRaw {
  public:
    explicit TRaw(const TFreshDatabase& fresh)
        : FName(QStringLiteral("raw-") + QUuid::createUuid().toString()) {
        QSqlDatabase db;
        if (fresh.Shared()) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), FName);
            db.setHostName(fresh.Config.PgHost);
            db.setPort(fresh.Config.PgPort);
            db.setUserName(fresh.Config.PgUser);
            db.setDatabaseName(fresh.Config.PgDatabase);
        } else {
            QDir().mkpath(QFileInfo(fresh.Config.LocalPath).absolutePath());
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
            db.setDatabaseName(fresh.Config.LocalPath);
        }
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
    }
    ~TRaw() {
        QSqlDatabase::database(FName, false).close();
        QSqlDatabase::removeDatabase(FName);
    }
    bool Exec(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(FName, false));
        if (!q.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q.isActive();
    }
    QVariant Value(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(FName, false));
        if (!q.exec(sql) || !q.next())
            return {};
        return q.value(0);
    }
    QSqlDatabase Db() const { return QSqlDatabase::database(FName, false); }

  private:
    QString FName;
};

// Version 1 with stand-3's records out of their order in the table (d is the oldest, a and b
// were made in the same millisecond) and one of stand-4; in the station's file, one waiting.
void MakeVersion1(TRaw& raw, bool localFile) {
    for (const char* sql : Version1)
        QVERIFY(raw.Exec(QLatin1String(sql)));
    QVERIFY(raw.Exec(Row("c", 1000100, "stand-3", "good", 0)));
    QVERIFY(raw.Exec(Row("a", 1000200, "stand-3", "faulty", 2)));
    QVERIFY(raw.Exec(Row("x", 1000150, "stand-4", "good", 0)));
    QVERIFY(raw.Exec(Row("b", 1000200, "stand-3", "good", 0)));
    QVERIFY(raw.Exec(Row("d", 1000050, "stand-3", "good", 0)));
    QVERIFY(raw.Exec("INSERT INTO faults VALUES ('a', 0, 'open', 'XT1:a3 XP2:b5', "
                     "'{\"kind\":\"open\"}', 1, NULL, NULL)"));
    QVERIFY(raw.Exec("INSERT INTO faults VALUES ('a', 1, 'short', 'XT1:a3 XT1:a4', "
                     "'{\"kind\":\"short\"}', 4, 1000190, 1000199)"));
    if (localFile) {
        QVERIFY(raw.Exec(Row("w", 1000300, "stand-3", "good", 0)));
        QVERIFY(raw.Exec("INSERT INTO waiting VALUES ('w', 1000300)"));
    }
}
} // namespace

class TSchemaUpgradeTest : public QObject {
    Q_OBJECT
  private slots:
    void oldRecordsAreChainedInTheirOrder_data() { Backends(); }
    void oldRecordsAreChainedInTheirOrder() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        TRaw raw(fresh);
        MakeVersion1(raw, !shared);
        if (QTest::currentTestFailed())
            return;
        auto db = fresh.Open();
        QCOMPARE(db->SchemaVersion(), 2);
        const auto seq = [&](const char* uid) {
            return raw.Value(QStringLiteral("SELECT chain_seq FROM records WHERE uid = '%1'")
                                 .arg(QLatin1String(uid)));
        };
        QCOMPARE(seq("d").toLongLong(), 1);
        QCOMPARE(seq("c").toLongLong(), 2);
        QCOMPARE(seq("a").toLongLong(), 3);
        QCOMPARE(seq("b").toLongLong(), 4);
        QCOMPARE(seq("x").toLongLong(), 1);
        // Each link is the fingerprint of the record before, and each fingerprint is that of the
        // record's columns with its faults.
        std::vector<TChainRow> rows;
        QVERIFY(TChainReader::Read(db->Connection(), "station = 'stand-3' AND chain_seq > 0", {},
                                   rows, nullptr));
        QCOMPARE(rows.size(), std::size_t(4));
        QVERIFY(rows[0].PrevHash.isEmpty());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            QCOMPARE(rows[i].Hash, TRecordChain::HashOf(rows[i]));
            if (i > 0)
                QCOMPARE(rows[i].PrevHash, rows[i - 1].Hash);
        }
        QCOMPARE(rows[2].Faults.size(), std::size_t(2));
        QCOMPARE(rows[2].Faults[1].First, std::optional<qint64>(1000190));
        QString error;
        const std::optional<TAuditResult> audit = TRecordAudit::Run(*db, {}, &error);
        QVERIFY2(audit, qPrintable(error));
        QVERIFY(audit->Whole());
        QCOMPARE(audit->Records, 5);
        // The tables of kept references, supervisors and approvals are there, empty; the old
        // records were checked before there were approvals.
        for (const char* table : {"reference_lists", "supervisors", "approvals"})
            QCOMPARE(raw.Value(QStringLiteral("SELECT COUNT(*) FROM %1").arg(QLatin1String(table)))
                         .toLongLong(),
                     0);
        QCOMPARE(
            raw.Value("SELECT COUNT(*) FROM records WHERE reference_approved <> 0").toLongLong(),
            0);
        // The statistics' counts are made of the old records, as the records themselves give them.
        for (TStatisticsGrouping by : {TStatisticsGrouping::Day, TStatisticsGrouping::Station}) {
            const auto counted = TStatisticsQuery::Compute(*db, {}, by, &error);
            QVERIFY2(counted, qPrintable(error));
            const auto records =
                TStatisticsQuery::Compute(*db, {}, by, &error, TStatisticsQuery::TSource::Records);
            QVERIFY2(records, qPrintable(error));
            QVERIFY(*counted == *records);
            QCOMPARE(counted->Checks, shared ? 5 : 6);
        }
        if (!shared) {
            // The queued record takes its place when the shared database takes it.
            QVERIFY(seq("w").isNull());
            QCOMPARE(raw.Value("SELECT chain_seq FROM chain_head WHERE station = 'stand-3'")
                         .toLongLong(),
                     4);
        }
        // The next record goes on from the last old one.
        db.reset();
        TRecordStore store(fresh.Config);
        TTestRecord next = Record(1000400, QStringLiteral("SN-new"));
        QCOMPARE(store.Write(next), TWriteOutcome::Stored);
        QCOMPARE(seq(qPrintable(next.Uid)).toLongLong(), 5);
        QCOMPARE(
            raw.Value("SELECT prev_hash FROM records WHERE uid = '" + next.Uid + "'").toString(),
            rows[3].Hash);
    }

    void aFailedUpgradeLeavesVersion1Whole_data() { Backends(); }
    void aFailedUpgradeLeavesVersion1Whole() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        TRaw raw(fresh);
        MakeVersion1(raw, !shared);
        if (QTest::currentTestFailed())
            return;
        // The chaining of one old record is refused half-way through.
        if (shared) {
            QVERIFY(raw.Exec("CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN IF NEW.uid = "
                             "'b' THEN RAISE EXCEPTION 'refused here'; END IF; RETURN NEW; END "
                             "$$ LANGUAGE plpgsql"));
            QVERIFY(raw.Exec("CREATE TRIGGER refuse BEFORE UPDATE ON records FOR EACH ROW "
                             "EXECUTE FUNCTION refuse()"));
        } else {
            QVERIFY(raw.Exec("CREATE TRIGGER refuse BEFORE UPDATE ON records WHEN NEW.uid = 'b' "
                             "BEGIN SELECT RAISE(ABORT, 'refused here'); END"));
        }
        {
            TRecordsDatabase db(fresh.Config, shared ? TRecordsDatabase::TKind::Shared
                                                     : TRecordsDatabase::TKind::Local);
            QString error;
            QVERIFY(!db.Open(&error));
            QVERIFY2(error.contains("refused here"), qPrintable(error));
        }
        QCOMPARE(raw.Value("SELECT MAX(version) FROM schema_version").toInt(), 1);
        // No new column, no record chained, nothing lost.
        QVERIFY(!raw.Db().record(QStringLiteral("records")).contains(QStringLiteral("chain_seq")));
        QVERIFY(!raw.Db().tables().contains(QStringLiteral("chain_head")));
        QCOMPARE(raw.Value("SELECT COUNT(*) FROM records").toInt(), shared ? 5 : 6);
        QCOMPARE(raw.Value("SELECT COUNT(*) FROM faults").toInt(), 2);
        // Once the obstacle is gone, the upgrade goes through.
        QVERIFY(raw.Exec("DROP TRIGGER refuse" + QString(shared ? " ON records" : "")));
        auto db = fresh.Open();
        QCOMPARE(db->SchemaVersion(), 2);
    }
};

QTEST_GUILESS_MAIN(TSchemaUpgradeTest)
#include "TSchemaUpgradeTest.moc"
