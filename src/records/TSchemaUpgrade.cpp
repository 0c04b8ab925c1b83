// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSchemaUpgrade.h"

#include "TChainReader.h"
#include "TRecordChain.h"

#include <QSqlError>
#include <QSqlQuery>
#include <vector>

bool TSchemaUpgrade::Finish(int version, const QSqlDatabase& db, bool localFile, QString* error) {
    if (version == 2)
        return ChainOldRecords(db, localFile, error);
    return true;
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
