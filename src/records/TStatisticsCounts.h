// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

class QSqlQuery;
struct TTestRecord;

// The statistics' counts kept as records are written, in the same transaction, so that a period's
// figures are sums over a few rows a day rather than a pass over every record:
// - `count_quarters`: checks, ГОДЕН and checks without a serial number by quarter of an hour;
// - `harness_spans`: each serial number's first and last check (moment × 2 + 1 for ГОДЕН, so
//   that at the same millisecond БРАК comes first), its checks and БРАК;
// - `count_harnesses`: harnesses by the quarter of their first check, of them first and last
//   ГОДЕН;
// - `count_kinds`, `count_contacts`: the faults by kind and the faulty checks naming each contact,
//   continuous verifies apart, by day (UTC).
// Records are only ever added, except those a station's file sends on to the shared database,
// which Remove takes out again.
class TStatisticsCounts {
  public:
    static constexpr qint64 QuarterMs = 15 * 60 * 1000;
    static constexpr qint64 DayMs = 24 * 60 * 60 * 1000;

    // The tables, the same text for SQLite and PostgreSQL.
    static const std::vector<const char*>& Tables();
    // Their names (a station writes each of them: rows added and counts changed).
    static QStringList TableNames();
    // Counts the records a database holds already (once, when the tables are made).
    static bool Fill(QSqlQuery& q, bool postgres);
    // Counts records just written (each for the first time) in the writing transaction.
    static bool Add(QSqlQuery& q, const std::vector<const TTestRecord*>& records, bool postgres);
    // Takes out a record about to be deleted, in the deleting transaction.
    static bool Remove(QSqlQuery& q, const QString& uid, bool postgres);
};
