// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-bench-records: the journal of checks with 100 000 records in the station's SQLite file
// (and, when PINVEL_BENCH_PG_URL names a PostgreSQL server, in a database made there for the
// run): filtering by serial number in the journal's model (its first page and the count, what
// the window shows), the unfiltered journal, a page read deep in the list, and one record
// written whole by the station's store (its place in the chain found and its transaction reaching
// the disk), and the audit of the journal's chains (`audit_ms_100k`). Then the production
// statistics over a journal of 1,000,000 records with 300,000 faults, made by the database itself
// (`--stats-records N` sets the size, 0 leaves it out; `--stats-only` leaves out the journal's
// figures).

#include "BenchQuick.h"
#include "TJournalModel.h"
#include "TRecordAudit.h"
#include "TRecordChain.h"
#include "TRecordStore.h"
#include "TRecordsConfig.h"
#include "TRecordsDatabase.h"
#include "TStatisticsQuery.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <QHash>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

int Records = 100000; // 10 000 in a quick run

std::vector<TTestRecord> Journal() {
    std::vector<TTestRecord> all;
    all.reserve(Records);
    const qint64 start = QDateTime(QDate(2026, 1, 1), QTime(6, 0), Qt::UTC).toMSecsSinceEpoch();
    QHash<QString, TChainHead> heads; // each station's chain, as its store makes it
    for (int i = 0; i < Records; ++i) {
        TTestRecord r;
        r.Uid = TTestRecord::NewUid();
        r.Time = TTestRecord::FromMs(start + qint64(i) * 90000); // a check every 90 s
        r.Station = QStringLiteral("stand-%1").arg(i % 6);
        r.Operator = QStringLiteral("Оператор %1").arg(i % 25);
        r.ProjectPath = QStringLiteral("/plant/Pvl/K%1.pvl").arg(i % 40);
        r.ReferenceSum = QString(64, QLatin1Char('a'));
        r.Serial = QStringLiteral("SN%1").arg(i, 7, 10, QLatin1Char('0'));
        if (i % 20 == 0)
            r.Faults.push_back({TFault::Open({"XT1:a3"}, {"XP2:b5", "XP2:b6"}), 1, {}, {}});
        r.Good = r.Faults.empty();
        r.FaultTotal = int(r.Faults.size());
        TChainHead& head = heads[r.Station];
        TRecordChain::Link(r, head.Seq, head.Hash);
        head = {r.ChainSeq, r.Hash};
        all.push_back(std::move(r));
    }
    return all;
}

double Ms(QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// The median of a few runs of `fn`, in ms.
template <typename F> double Median(int runs, F fn) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        fn();
        ms.push_back(Ms(t));
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

QString SizeName(qint64 n) {
    return n == 100000 ? QStringLiteral("100k") : QString::number(n);
}

// `store`: the station's store writing into the same database.
void Measure(TRecordsDatabase& db, const TRecordsConfig& store, const TTestRecord& sample,
             const char* suffix) {
    TJournalModel model;
    model.SetDatabase(&db);
    // Serial numbers spread over the journal, each one looked up once in each run.
    int next = 0;
    const double filter = Median(21, [&] {
        TRecordFilter f;
        f.Serial = QStringLiteral("SN%1").arg((next++ * 4099) % Records, 7, 10, QLatin1Char('0'));
        model.SetFilter(f);
        if (model.Total() != 1)
            std::fprintf(stderr, "the serial number was not found\n");
    });
    const double prefix = Median(11, [&] {
        TRecordFilter f;
        f.Serial = QStringLiteral("SN00%1*").arg(next++ % 10); // 10 000 records each
        model.SetFilter(f);
    });
    const double all = Median(11, [&] { model.SetFilter({}); });
    // Scrolling: the next page deep in the list (row 50 000 onwards).
    model.SetFilter({});
    while (model.rowCount() < Records / 2 && model.canFetchMore({}))
        model.fetchMore({});
    const double page = Median(21, [&] {
        std::vector<TTestRecord> rows =
            db.Page({}, &model.Record(model.rowCount() - 1), TJournalModel::PageSize);
        if (rows.size() != std::size_t(TJournalModel::PageSize))
            std::fprintf(stderr, "short page\n");
    });
    std::printf("journal_filter_ms_100k%s: %.2f\n", suffix, filter);
    std::printf("journal_prefix_filter_ms_100k%s: %.2f\n", suffix, prefix);
    std::printf("journal_open_ms_100k%s: %.2f\n", suffix, all);
    std::printf("journal_page_ms_deep%s: %.2f\n", suffix, page);
    bool whole = true;
    const double audit = Median(3, [&] {
        QString error;
        const std::optional<TAuditResult> result = TRecordAudit::Run(db, {}, &error);
        if (!result || !result->Whole() || result->Records != Records) {
            std::fprintf(stderr, "audit: %s\n", qPrintable(result ? result->Summary() : error));
            whole = false;
        }
    });
    if (whole)
        std::printf("audit_ms_%s%s: %.1f\n", qPrintable(SizeName(Records)), suffix, audit);
    std::fflush(stdout);
    int n = 0;
    TRecordStore writer(store);
    const double write = Median(21, [&] {
        TTestRecord r = sample;
        r.Uid = TTestRecord::NewUid();
        r.ChainSeq = 0;
        r.Serial = QStringLiteral("W%1").arg(n++);
        r.Faults.push_back({TFault::Short({{"XT1:a3"}, {"XT1:a4"}}), 1, {}, {}});
        if (writer.Write(r) != TWriteOutcome::Stored)
            std::fprintf(stderr, "the record was not stored\n");
    });
    std::printf("record_write_ms%s: %.2f\n", suffix, write);
    std::fflush(stdout);
}

// A journal of `n` checks made by the database itself: a check every 30 s, each harness checked
// twice (the second time 0.8 n checks later), 20 % БРАК with one fault and every tenth check with
// a second one (0.3 n faults), every fiftieth a continuous verify.
bool FillStatisticsJournal(TRecordsDatabase& db, qint64 n) {
    const qint64 start = QDateTime(QDate(2026, 1, 1), QTime(6, 0), Qt::UTC).toMSecsSinceEpoch();
    const QString numbers =
        QStringLiteral("WITH RECURSIVE n(i) AS (SELECT CAST(0 AS BIGINT) UNION ALL "
                       "SELECT i + 1 FROM n WHERE i < %1) ")
            .arg(n - 1);
    const QString kind = QStringLiteral("CASE i %% 4 WHEN 0 THEN 'open' WHEN 1 THEN 'short' "
                                        "WHEN 2 THEN 'miswire' ELSE 'foreign' END");
    const QStringList statements = {
        QStringLiteral("INSERT INTO records (uid, checked_at, station, operator_name, project, "
                       "project_path, reference_sum, serial, verdict, mode, scans, fault_count) ") +
            numbers +
            QStringLiteral("SELECT 'u' || i, %1 + i * 30000, 'stand-' || (i %% 6), "
                           "'op' || (i %% 25), 'K' || (i %% 40) || '.pvl', '/plant/K.pvl', 'aa', "
                           "'SN' || (i %% %2), CASE WHEN i %% 10 < 2 THEN 'faulty' ELSE 'good' "
                           "END, CASE WHEN i %% 50 = 1 THEN 'watch' ELSE 'verify' END, 1, "
                           "CASE WHEN i %% 10 = 0 THEN 2 WHEN i %% 10 = 1 THEN 1 ELSE 0 END "
                           "FROM n")
                .arg(start)
                .arg(n * 4 / 5),
        QStringLiteral("INSERT INTO faults (record_uid, seq, kind, contacts, detail, seen) ") +
            numbers +
            QStringLiteral("SELECT 'u' || i, 0, %1, 'XT' || (i %% 7) || ':a' || (i %% 31) || "
                           "' XP2:b' || (i %% 13), '{}', 1 FROM n WHERE i %% 10 < 2")
                .arg(kind),
        QStringLiteral("INSERT INTO faults (record_uid, seq, kind, contacts, detail, seen) ") +
            numbers +
            QStringLiteral("SELECT 'u' || i, 1, 'short', 'XT1:c' || (i %% 17) || ' XT2:c' || "
                           "(i %% 11), '{}', 1 FROM n WHERE i %% 10 = 0"),
    };
    QSqlQuery q(db.Connection());
    for (QString sql : statements) {
        sql.replace(QStringLiteral("%%"), QStringLiteral("%"));
        if (!q.exec(sql)) {
            std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
            return false;
        }
    }
    // PostgreSQL's autovacuum would have looked at the tables by now.
    if (db.Kind() == TRecordsDatabase::TKind::Shared)
        q.exec(QStringLiteral("ANALYZE"));
    return true;
}

void MeasureStatistics(TRecordsDatabase& db, qint64 n, const char* suffix) {
    if (!FillStatisticsJournal(db, n))
        return;
    bool ok = true;
    const double ms = Median(3, [&] {
        QString error;
        const std::optional<TStatistics> s =
            TStatisticsQuery::Compute(db, {}, TStatisticsGrouping::Day, &error);
        if (!s || s->Checks != n) {
            std::fprintf(stderr, "statistics: %s\n", qPrintable(error));
            ok = false;
        }
    });
    if (!ok)
        return;
    const QString name = n == 1000000 ? QStringLiteral("1m") : QString::number(n);
    std::printf("stats_ms_%s%s: %.1f\n", qPrintable(name), suffix, ms);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool quick = BenchQuick(argc, argv);
    Records = BenchSize(quick, 100000, 10000);
    qint64 statsRecords = BenchSize(quick, 1000000, 20000);
    const QStringList args = app.arguments();
    const qsizetype at = args.indexOf(QStringLiteral("--stats-records"));
    if (at > 0 && at + 1 < args.size())
        statsRecords = args[at + 1].toLongLong();
    // --stats-only: the statistics' figure alone (the journal's take a while to fill).
    const bool journalToo = !args.contains(QStringLiteral("--stats-only"));
    const std::vector<TTestRecord> journal = journalToo ? Journal() : std::vector<TTestRecord>();
    if (journalToo) {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel bench records XXXXXX"));
        TRecordsDatabase db(dir.filePath(QStringLiteral("records.sqlite")));
        QString error;
        if (!db.Open(&error) || !db.Insert(journal, &error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        TRecordsConfig station;
        station.LocalPath = db.Name();
        Measure(db, station, journal[1], "");
    }
    if (statsRecords > 0) {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel bench stats XXXXXX"));
        TRecordsDatabase db(dir.filePath(QStringLiteral("records.sqlite")));
        QString error;
        if (!db.Open(&error)) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        MeasureStatistics(db, statsRecords, "");
    }
    const QString url = qEnvironmentVariable("PINVEL_BENCH_PG_URL");
    if (url.isEmpty())
        return 0;
    TRecordsConfig config;
    config.SetSharedUrl(url);
    const QString name = QStringLiteral("pinvel_bench_%1").arg(QCoreApplication::applicationPid());
    {
        QSqlDatabase admin = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), "admin");
        admin.setHostName(config.PgHost);
        admin.setPort(config.PgPort);
        admin.setUserName(config.PgUser);
        admin.setDatabaseName(config.PgDatabase);
        if (!admin.open() || !QSqlQuery(admin).exec(QStringLiteral("CREATE DATABASE ") + name)) {
            std::fprintf(stderr, "cannot make the database %s\n", qPrintable(name));
            return 1;
        }
        config.PgDatabase = name;
        {
            TRecordsDatabase db(config, TRecordsDatabase::TKind::Shared);
            QString error;
            if (db.Open(&error) && (!journalToo || db.Insert(journal, &error))) {
                QSqlQuery(QSqlDatabase::database(QStringLiteral("admin")))
                    .exec(QStringLiteral("SELECT 1"));
                if (journalToo) {
                    QTemporaryDir local(QDir::tempPath() +
                                        QStringLiteral("/pinvel bench station XXXXXX"));
                    TRecordsConfig station = config;
                    station.LocalPath = local.filePath(QStringLiteral("records.sqlite"));
                    Measure(db, station, journal[1], "_postgresql");
                }
                if (statsRecords > 0) {
                    QSqlQuery q(db.Connection());
                    q.exec(QStringLiteral("TRUNCATE faults, records"));
                    MeasureStatistics(db, statsRecords, "_postgresql");
                }
            } else {
                std::fprintf(stderr, "%s\n", qPrintable(error));
            }
        }
        QSqlQuery(admin).exec(QStringLiteral("DROP DATABASE ") + name + " WITH (FORCE)");
        admin.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("admin"));
    return 0;
}
