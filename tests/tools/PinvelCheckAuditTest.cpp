// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check audit and db init: exit 0 for whole chains, 1 naming the break, 2 for what
// cannot be read or done; db init makes the stations' role on a real server, and the station's
// own file and the shared database are audited alike.

#include "RecordsTestKit.h"
#include "TRecordStore.h"
#include "ToolTestKit.h"

using namespace ToolKit;

namespace {
void WriteRecords(const TRecordsConfig& config, int n, QStringList* uids = nullptr) {
    TRecordStore store(config);
    for (int i = 1; i <= n; ++i) {
        TTestRecord r = RecordsKit::Record(1780000000000 + i * 1000, QStringLiteral("SN-%1").arg(i),
                                           i % 2 == 0);
        QCOMPARE(store.Write(r), TWriteOutcome::Stored);
        if (uids)
            *uids << r.Uid;
    }
}
} // namespace

class PinvelCheckAuditTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel audit tool XXXXXX")};

    QString Path(const QString& name) const { return FDir.filePath(name); }

  private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data home")));
        WriteFile(Path("empty.ini"), "");
    }

    void theStationsFile() {
        TRecordsConfig config;
        config.LocalPath = Path("data home/Pinvel/records.sqlite");
        QStringList uids;
        WriteRecords(config, 4, &uids);
        const QStringList args{"audit", "--local", "--settings", Path("empty.ini")};
        TRun run = RunTool("pinvel-check", args);
        QCOMPARE(run.Exit, 0);
        QVERIFY2(run.Out.contains("Цепочка записей цела: станций 1, записей 4."),
                 qPrintable(run.Out));
        {
            TRecordsDatabase db(config.LocalPath);
            QVERIFY(db.Open());
            QSqlQuery q(db.Connection());
            QVERIFY(q.exec("UPDATE records SET serial = 'SN-X' WHERE uid = '" + uids[2] + "'"));
        }
        run = RunTool("pinvel-check", args);
        QCOMPARE(run.Exit, 1);
        QVERIFY2(run.Out.contains("запись № 3") && run.Out.contains(uids[2]) &&
                     run.Out.contains("изменена"),
                 qPrintable(run.Out));
        QVERIFY(run.Out.contains("Цепочка записей нарушена: нарушений 1"));
        // Another station's chain alone is whole.
        run = RunTool("pinvel-check", args + QStringList{"--station", "stand-9"});
        QCOMPARE(run.Exit, 0);
        run = RunTool("pinvel-check", {"audit", "--bogus"});
        QCOMPARE(run.Exit, 2);
    }

    void dbInitAndTheSharedDatabase() {
        RECORDS_NEED_SERVER(true);
        RecordsKit::TFreshDatabase fresh(true);
        const QString role =
            QStringLiteral("pinvel_audit_%1").arg(QCoreApplication::applicationPid());
        const QString url = fresh.Config.SharedUrl();
        TRun run = RunTool("pinvel-check", {"db", "init", url, "--station-role", role});
        const auto dropRole = qScopeGuard([&] {
            RecordsKit::TPgAdmin admin;
            admin.Exec("DROP DATABASE IF EXISTS " + fresh.Config.PgDatabase + " WITH (FORCE)");
            admin.Exec("DROP ROLE IF EXISTS " + role);
        });
        QCOMPARE(run.Exit, 0);
        QVERIFY2(run.Out.contains(role) && run.Out.contains("Database=postgresql://" + role + "@"),
                 qPrintable(run.Out + run.Err));
        {
            auto db = fresh.Open();
            QSqlQuery q(db->Connection());
            QVERIFY(q.exec("SELECT has_table_privilege('" + role +
                           "', 'records', 'INSERT'), "
                           "has_table_privilege('" +
                           role +
                           "', 'records', 'SELECT'), "
                           "has_table_privilege('" +
                           role +
                           "', 'records', 'UPDATE'), "
                           "has_table_privilege('" +
                           role +
                           "', 'records', 'DELETE'), "
                           "has_table_privilege('" +
                           role +
                           "', 'faults', 'INSERT'), "
                           "has_table_privilege('" +
                           role +
                           "', 'faults', 'DELETE'), "
                           "has_schema_privilege('" +
                           role + "', 'public', 'CREATE')"));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toBool(), true);
            QCOMPARE(q.value(1).toBool(), true);
            QCOMPARE(q.value(2).toBool(), false);
            QCOMPARE(q.value(3).toBool(), false);
            QCOMPARE(q.value(4).toBool(), true);
            QCOMPARE(q.value(5).toBool(), false);
            QCOMPARE(q.value(6).toBool(), false);
        }
        // The administrator's own name, or one the server would need quoting for, is refused.
        QCOMPARE(RunTool("pinvel-check", {"db", "init", url, "--station-role", fresh.Config.PgUser})
                     .Exit,
                 2);
        QCOMPARE(RunTool("pinvel-check", {"db", "init", url, "--station-role", "a-b"}).Exit, 2);

        WriteRecords(fresh.Config, 3);
        const QString ini = Path("shared.ini");
        WriteFile(ini, "[Records]\r\nDatabase=" + url.toUtf8() + "\r\n");
        run = RunTool("pinvel-check", {"audit", "--settings", ini});
        QCOMPARE(run.Exit, 0);
        QVERIFY2(run.Out.contains("записей 3"), qPrintable(run.Out + run.Err));
        {
            auto db = fresh.Open();
            QSqlQuery q(db->Connection());
            QVERIFY(q.exec("DELETE FROM records WHERE chain_seq = 2 AND fault_count = 0"));
        }
        run = RunTool("pinvel-check", {"audit", "--settings", ini});
        QCOMPARE(run.Exit, 1);
        QVERIFY2(run.Out.contains("удалена запись № 2"), qPrintable(run.Out));
    }
};

QTEST_GUILESS_MAIN(PinvelCheckAuditTest)
#include "PinvelCheckAuditTest.moc"
