// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <vector>

// The records' schema, one list of statements per version, and what an upgrade does beyond its
// statements, inside the same transaction (TRecordsDatabase makes each version in one): version 2
// chains the records made before the chain, each station's in their order (time, then id), as if
// the station had chained them when it made them, and counts them for the statistics. In the
// station's file, records still waiting for the shared database are left out: they take their place
// in the chain when they are sent.
class TSchemaUpgrade {
  public:
    // The statements of each version, the same text for SQLite and PostgreSQL.
    static const std::vector<std::vector<const char*>>& Steps();
    // After the statements of `version`; false with the database's reason, the transaction
    // rolled back.
    static bool Finish(int version, const QSqlDatabase& db, bool localFile, QString* error);

  private:
    static bool ChainOldRecords(const QSqlDatabase& db, bool localFile, QString* error);
};
