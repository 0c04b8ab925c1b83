// SPDX-License-Identifier: GPL-3.0-or-later
// A record interrupted by a killed program is absent, not half-written: a child process writes
// a record with its faults (and, in the station's file, its place in the queue), stops just
// before the commit, and is killed with SIGKILL there. Against the SQLite file and PostgreSQL.

#include "RecordsTestKit.h"
#include "TSpawn.h"

#include <QSqlRecord>
#include <csignal>
#include <cstdio>

using namespace RecordsKit;

namespace {
const qint64 T0 = QDateTime(QDate(2026, 9, 1), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch();

TTestRecord TheRecord(const QString& uid) {
    TTestRecord r = Record(T0, QStringLiteral("K-1"), false);
    r.Uid = uid;
    return r;
}

// The child: writes the record and waits inside the transaction to be killed (a minute at
// most, then it ends with code 3 so that a lost parent leaves nothing behind).
int WriteAndPause(const QString& where, const QString& name, const QString& uid) {
    TRecordsConfig config;
    config.LocalPath = name;
    if (where == QLatin1String("shared")) {
        config.SetSharedUrl(PgUrl());
        config.PgDatabase = name;
    }
    TRecordsDatabase db(config, where == QLatin1String("shared") ? TRecordsDatabase::TKind::Shared
                                                                 : TRecordsDatabase::TKind::Local);
    if (!db.Open())
        return 5;
    db.SetBeforeCommit([] {
        std::fputs("paused\n", stdout);
        std::fflush(stdout);
        ::sleep(60);
        std::_Exit(3);
    });
    db.Insert(TheRecord(uid), nullptr, where == QLatin1String("local"));
    return 4;
}

// Starts this test program as the child, waits for it to reach the commit, kills it; answers
// whether it was killed there.
bool KillInsideTheTransaction(const QString& where, const QString& name, const QString& uid) {
    TSpawn child =
        TSpawn::Start({QFile::encodeName(QCoreApplication::applicationFilePath()),
                       "--write-and-pause", where.toUtf8(), QFile::encodeName(name), uid.toUtf8()},
                      false);
    if (child.Pid < 0)
        return false;
    const QByteArray seen =
        child.ReadUntil([](const QByteArray& s) { return s.contains("paused\n"); });
    ::kill(child.Pid, SIGKILL);
    const int status = child.Wait();
    return seen.contains("paused\n") && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}
} // namespace

class TRecordsKillTest : public QObject {
    Q_OBJECT
  private slots:
    void aKilledWriteLeavesNoTrace_data() { Backends(); }
    void aKilledWriteLeavesNoTrace() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        const TTestRecord before = Record(T0 - 1000, "K-0", false);
        {
            auto db = fresh.Open();
            QVERIFY(db->Insert(before, nullptr, !shared));
        }
        const QString uid = TTestRecord::NewUid();
        QVERIFY(KillInsideTheTransaction(shared ? "shared" : "local",
                                         shared ? fresh.Config.PgDatabase : fresh.Config.LocalPath,
                                         uid));
        auto db = fresh.Open();
        QVERIFY(!db->Contains(uid));
        QCOMPARE(db->Count({}), 1);
        QCOMPARE(*db->Load(before.Uid), before);
        QCOMPARE(db->WaitingUids(), shared ? QStringList() : QStringList{before.Uid});
        {
            const QString peek = QStringLiteral("peek");
            QSqlDatabase raw = QSqlDatabase::addDatabase(shared ? "QPSQL" : "QSQLITE", peek);
            if (shared) {
                raw.setHostName(fresh.Config.PgHost);
                raw.setPort(fresh.Config.PgPort);
                raw.setUserName(fresh.Config.PgUser);
                raw.setDatabaseName(fresh.Config.PgDatabase);
            } else {
                raw.setDatabaseName(fresh.Config.LocalPath);
            }
            QVERIFY(raw.open());
            QSqlQuery q(raw);
            QVERIFY(q.exec(
                QStringLiteral("SELECT COUNT(*) FROM faults WHERE record_uid = '%1'").arg(uid)));
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toInt(), 0);
            if (!shared) {
                QVERIFY(q.exec("PRAGMA integrity_check"));
                QVERIFY(q.next());
                QCOMPARE(q.value(0).toString(), QString("ok"));
            }
            q.finish();
            raw.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("peek"));
        // The same record written again goes in whole.
        QVERIFY(db->Insert(TheRecord(uid)));
        QCOMPARE(*db->Load(uid), TheRecord(uid));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--write-and-pause") == 0)
        return WriteAndPause(QString::fromUtf8(argv[2]), QFile::decodeName(argv[3]),
                             QString::fromUtf8(argv[4]));
    TRecordsKillTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "TRecordsKillTest.moc"
