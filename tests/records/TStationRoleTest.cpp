// SPDX-License-Identifier: GPL-3.0-or-later
// The stations' role in a real PostgreSQL database: made by the administrator with the tables
// his; a station logged in with it records its checks (chained, their faults with them) and
// reads them, and the server refuses it every UPDATE, DELETE and change of the tables.

#include "TStationRole.h"
#include "RecordsTestKit.h"
#include "TRecordAudit.h"
#include "TRecordStore.h"

#include <QFile>

using namespace RecordsKit;

namespace {
// The role is the server's, not the database's: taken away at the end.
class TRoleGone {
  public:
    explicit TRoleGone(QString role) : FRole(std::move(role)) {}
    ~TRoleGone() {
        TPgAdmin admin;
        admin.Exec(QStringLiteral("DROP ROLE IF EXISTS %1").arg(FRole));
    }

  private:
    QString FRole;
};
} // namespace

class TStationRoleTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel role XXXXXX")};

  private slots:
    void roleNamesAreChecked() {
        QVERIFY(TStationRole::ValidName("pinvel_station"));
        QVERIFY(TStationRole::ValidName("_s1"));
        QVERIFY(!TStationRole::ValidName("1station"));
        QVERIFY(!TStationRole::ValidName("station\"; DROP TABLE records; --"));
        QVERIFY(!TStationRole::ValidName(""));
        QVERIFY(TStationRole::ValidName(QString(63, 'a')));
        QVERIFY(!TStationRole::ValidName(QString(64, 'a')));
    }

    void aStationInsertsAndReadsAndNothingMore() {
        RECORDS_NEED_SERVER(true);
        const QString role =
            QStringLiteral("pinvel_station_%1").arg(QCoreApplication::applicationPid());
        TRoleGone gone(role);
        TFreshDatabase fresh(true);
        {
            auto admin = fresh.Open();
            QString error;
            QVERIFY2(TStationRole::Make(admin->Connection(), role, &error), qPrintable(error));
            // Made again (db init run twice): the same rights.
            QVERIFY2(TStationRole::Make(admin->Connection(), role, &error), qPrintable(error));
            QSqlQuery q(admin->Connection());
            QVERIFY(q.exec(QStringLiteral("ALTER ROLE %1 PASSWORD 'station-secret'").arg(role)));
        }
        // The station's password file, beside the administrator's line.
        const QString pgpass = FDir.filePath("pgpass");
        {
            QFile admins(qEnvironmentVariable("PGPASSFILE"));
            QFile mine(pgpass);
            QVERIFY(admins.open(QIODevice::ReadOnly) && mine.open(QIODevice::WriteOnly));
            mine.write(admins.readAll());
            mine.write(QStringLiteral("%1:%2:*:%3:station-secret\n")
                           .arg(fresh.Config.PgHost)
                           .arg(fresh.Config.PgPort)
                           .arg(role)
                           .toUtf8());
            mine.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
        }
        const QByteArray adminsPass = qgetenv("PGPASSFILE");
        qputenv("PGPASSFILE", QFile::encodeName(pgpass));

        TRecordsConfig station = fresh.Config;
        station.PgUser = role;
        QStringList uids;
        {
            // Checks record as before, with their faults and their places in the chain.
            TRecordStore store(station);
            for (int i = 0; i < 3; ++i) {
                TTestRecord r =
                    Record(1780000000000 + i * 1000, QStringLiteral("SN-%1").arg(i), i != 1);
                QString error;
                QCOMPARE(store.Write(r, &error), TWriteOutcome::Stored);
                QVERIFY2(error.isEmpty(), qPrintable(error));
                uids << r.Uid;
            }
            TRecordsDatabase* db = store.Reading();
            QVERIFY(db);
            QCOMPARE(db->Load(uids[1])->Faults.size(), std::size_t(2));
            QVERIFY(TRecordAudit::Run(*db, {})->Whole());
            // The same record sent again stays one, without an UPDATE.
            TTestRecord again = *db->Load(uids[0]);
            QVERIFY(db->Insert(again));

            const auto refused = [&](const QString& sql) {
                QSqlQuery q(db->Connection());
                if (q.exec(sql))
                    return false;
                return q.lastError().text().contains(QLatin1String("permission denied")) ||
                       q.lastError().text().contains(QLatin1String("must be owner"));
            };
            const QString one = QStringLiteral(" WHERE uid = '%1'").arg(uids[1]);
            QVERIFY(refused("UPDATE records SET verdict = 'good'" + one));
            QVERIFY(refused("DELETE FROM records" + one));
            QVERIFY(refused("UPDATE faults SET contacts = ''"));
            QVERIFY(refused("DELETE FROM faults"));
            QVERIFY(refused("TRUNCATE records"));
            QVERIFY(refused("DROP TABLE faults"));
            QVERIFY(refused("ALTER TABLE records ADD COLUMN note TEXT"));
            QVERIFY(refused("CREATE TABLE records_copy (uid TEXT)"));
            QVERIFY(refused("CREATE INDEX records_mine ON records (serial)"));
            QVERIFY(refused("INSERT INTO schema_version (version) VALUES (9)"));
            // A grant of its own gives it nothing (the server only warns).
            {
                QSqlQuery q(db->Connection());
                q.exec(QStringLiteral("SET client_min_messages TO error"));
                q.exec(QStringLiteral("GRANT UPDATE ON records TO PUBLIC"));
            }
            QVERIFY(refused("UPDATE records SET serial = serial"));
            QCOMPARE(db->Count({}), 3);
            QCOMPARE(db->Load(uids[1])->Good, false);
        }
        qputenv("PGPASSFILE", adminsPass);
        // The tables are the administrator's.
        TPgAdmin admin;
        auto db = fresh.Open();
        QSqlQuery q(db->Connection());
        QVERIFY(q.exec("SELECT COUNT(*) FROM pg_tables WHERE schemaname = 'public' AND "
                       "tableowner <> '" +
                       fresh.Config.PgUser + "'"));
        QVERIFY(q.next());
        QCOMPARE(q.value(0).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TStationRoleTest)
#include "TStationRoleTest.moc"
