// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"
#include "TStatistics.h"

#include <optional>

class TRecordsDatabase;

// Computes the statistics of a filter's records in the database itself: a handful of grouped
// queries whose answers are as long as the breakdown, never one row per record. The program only
// sorts the answers (the same way for both databases) and folds the quarters of an hour the
// database counts by into local days and weeks.
//
// Over a whole period (or the whole journal) by day or week, the counts kept as records are
// written answer (TCountedStatistics); any other selection is counted over its records.
class TStatisticsQuery {
  public:
    enum class TSource {
        Best,   // the kept counts where they serve, else the records
        Records // the records alone (the counts' tests compare the two)
    };

    // Nothing, with the reason in Russian, when a query fails.
    static std::optional<TStatistics> Compute(TRecordsDatabase& database,
                                              const TRecordFilter& filter, TStatisticsGrouping by,
                                              QString* error = nullptr,
                                              TSource source = TSource::Best);

    // The local day and the key of the time row a moment falls in ("2026-12-07", "2026-W49").
    static QDate RowDay(const QDateTime& time, TStatisticsGrouping by);
    static QString DayKey(const QDate& day, TStatisticsGrouping by);
};
