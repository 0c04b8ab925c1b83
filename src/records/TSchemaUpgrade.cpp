// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSchemaUpgrade.h"

#include "TChainReader.h"
#include "TRecordChain.h"
#include "TStatisticsCounts.h"

#include <QSqlError>
#include <QSqlQuery>
#include <vector>

namespace {
// The schema, one list of statements per version; the same text for SQLite and PostgreSQL.
// Times are milliseconds since 1970 UTC; a record's id is made at the station.
const std::vector<std::vector<const char*>>& Migrations() {
    static const std::vector<std::vector<const char*>> steps{
        {
            "CREATE TABLE records ("
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
            " fault_count INTEGER NOT NULL)",
            "CREATE TABLE faults ("
            " record_uid TEXT NOT NULL REFERENCES records (uid),"
            " seq INTEGER NOT NULL,"
            " kind TEXT NOT NULL,"
            " contacts TEXT NOT NULL,"
            " detail TEXT NOT NULL,"
            " seen INTEGER NOT NULL,"
            " first_seen BIGINT,"
            " last_seen BIGINT,"
            " PRIMARY KEY (record_uid, seq))",
            // The journal lists newest first under any one filter: each index ends in the order.
            "CREATE INDEX records_time ON records (checked_at, uid)",
            "CREATE INDEX records_serial ON records (serial, checked_at, uid)",
            "CREATE INDEX records_project ON records (project, checked_at, uid)",
            "CREATE INDEX records_operator ON records (operator_name, checked_at, uid)",
            "CREATE INDEX records_verdict ON records (verdict, checked_at, uid)",
            // Records of this station waiting for the shared database (used in the local file).
            "CREATE TABLE waiting (uid TEXT PRIMARY KEY, queued_at BIGINT NOT NULL)",
        },
        {
            // Each station's records in a chain (TRecordChain): the record's number in its
            // station's chain, the fingerprint of the one before and its own. Records older than
            // the chain are chained in their order by TSchemaUpgrade in the same transaction.
            "ALTER TABLE records ADD COLUMN chain_seq BIGINT",
            "ALTER TABLE records ADD COLUMN prev_hash TEXT",
            "ALTER TABLE records ADD COLUMN record_hash TEXT",
            "CREATE INDEX records_chain ON records (station, chain_seq)",
            // The last link of each station's chain made here (used in the local file): the
            // records sent on leave the file, their chain goes on.
            "CREATE TABLE chain_head (station TEXT PRIMARY KEY, chain_seq BIGINT NOT NULL,"
            " record_hash TEXT NOT NULL)",
            // Every reference ever used: its wire list's text under the SHA-256 records name it
            // by, who kept it (kept_by), where and when, and how (learned, imported, checked).
            "CREATE TABLE reference_lists ("
            " sha256 TEXT PRIMARY KEY,"
            " wires TEXT NOT NULL,"
            " project TEXT NOT NULL,"
            " kept_by TEXT NOT NULL,"
            " station TEXT NOT NULL,"
            " kept_at BIGINT NOT NULL,"
            " origin TEXT NOT NULL)",
            // Supervisors who approve references: the PIN only as libsodium's Argon2id text,
            // the wrong PINs in a row and the lock's end kept here so every program sees them.
            "CREATE TABLE supervisors ("
            " name TEXT PRIMARY KEY,"
            " pin_hash TEXT NOT NULL,"
            " wrong_pins INTEGER NOT NULL,"
            " locked_until BIGINT NOT NULL,"
            " added_at BIGINT NOT NULL)",
            // Every approval of a reference (by its SHA-256), none ever replaced.
            "CREATE TABLE approvals ("
            " reference_sum TEXT NOT NULL,"
            " supervisor TEXT NOT NULL,"
            " approved_at BIGINT NOT NULL,"
            " station TEXT NOT NULL,"
            " PRIMARY KEY (reference_sum, approved_at, supervisor))",
            // Whether the reference a record was checked against was approved at the time;
            // the records of version 1 were checked before there were approvals.
            "ALTER TABLE records ADD COLUMN reference_approved INTEGER NOT NULL DEFAULT 0",
        },
    };
    return steps;
}

} // namespace

// Version 2 also keeps the statistics' counts (TStatisticsCounts); the upgrade counts the
// records there already.
const std::vector<std::vector<const char*>>& TSchemaUpgrade::Steps() {
    static const std::vector<std::vector<const char*>> steps = [] {
        std::vector<std::vector<const char*>> all = Migrations();
        all[1].insert(all[1].end(), TStatisticsCounts::Tables().begin(),
                      TStatisticsCounts::Tables().end());
        return all;
    }();
    return steps;
}

bool TSchemaUpgrade::Finish(int version, const QSqlDatabase& db, bool localFile, QString* error) {
    if (version != 2)
        return true;
    if (!ChainOldRecords(db, localFile, error))
        return false;
    QSqlQuery q(db);
    if (TStatisticsCounts::Fill(q, !localFile))
        return true;
    if (error)
        *error = q.lastError().text();
    q.finish();
    QSqlDatabase(db).rollback();
    return false;
}

bool TSchemaUpgrade::ChainOldRecords(const QSqlDatabase& db, bool localFile, QString* error) {
    std::vector<TChainRow> rows;
    // In a new database there is nothing to chain; the upgrade of an old one reads it all.
    if (!TChainReader::Read(db,
                            localFile ? QStringLiteral("uid NOT IN (SELECT uid FROM waiting)")
                                      : QStringLiteral("1 = 1"),
                            {}, rows, error)) {
        QSqlDatabase(db).rollback();
        return false;
    }
    QSqlQuery update(db);
    QSqlQuery head(db);
    // On a failure the transaction is rolled back here, while the prepared statements are still
    // alive: PostgreSQL refuses to free them in a transaction that has failed.
    const auto failed = [&](const QSqlQuery& q) {
        if (error)
            *error = q.lastError().text();
        QSqlDatabase(db).rollback();
        return false;
    };
    if (!update.prepare(QStringLiteral("UPDATE records SET chain_seq = ?, prev_hash = ?, "
                                       "record_hash = ? WHERE uid = ?")) ||
        !head.prepare(QStringLiteral(
            "INSERT INTO chain_head (station, chain_seq, record_hash) VALUES (?, ?, ?)")))
        return failed(update.lastError().isValid() ? update : head);
    // The rows come by station, then time and id (none has a place yet).
    for (std::size_t i = 0; i < rows.size(); ++i) {
        TChainRow& r = rows[i];
        const bool first = i == 0 || rows[i - 1].Station != r.Station;
        r.Seq = first ? 1 : rows[i - 1].Seq + 1;
        r.PrevHash = first ? QString() : rows[i - 1].Hash;
        r.Hash = TRecordChain::HashOf(r);
        update.addBindValue(r.Seq);
        update.addBindValue(r.PrevHash.isNull() ? QStringLiteral("") : r.PrevHash);
        update.addBindValue(r.Hash);
        update.addBindValue(r.Uid);
        if (!update.exec())
            return failed(update);
        const bool last = i + 1 == rows.size() || rows[i + 1].Station != r.Station;
        if (localFile && last) {
            head.addBindValue(r.Station);
            head.addBindValue(r.Seq);
            head.addBindValue(r.Hash);
            if (!head.exec())
                return failed(head);
        }
    }
    return true;
}
