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
                            {}, rows, error))
        return false;
    QSqlQuery update(db);
    QSqlQuery head(db);
    if (!update.prepare(QStringLiteral("UPDATE records SET chain_seq = ?, prev_hash = ?, "
                                       "record_hash = ? WHERE uid = ?")) ||
        !head.prepare(QStringLiteral(
            "INSERT INTO chain_head (station, chain_seq, record_hash) VALUES (?, ?, ?)"))) {
        if (error)
            *error = (update.lastError().isValid() ? update.lastError() : head.lastError()).text();
        return false;
    }
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
        if (!update.exec()) {
            if (error)
                *error = update.lastError().text();
            return false;
        }
        const bool last = i + 1 == rows.size() || rows[i + 1].Station != r.Station;
        if (localFile && last) {
            head.addBindValue(r.Station);
            head.addBindValue(r.Seq);
            head.addBindValue(r.Hash);
            if (!head.exec()) {
                if (error)
                    *error = head.lastError().text();
                return false;
            }
        }
    }
    return true;
}
