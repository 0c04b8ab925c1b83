// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"
#include "TStatistics.h"

class TStatisticsRun;

// The statistics of a whole period (or the whole journal), read from the counts kept as records
// are written (TStatisticsCounts) rather than from every record:
// - by day or week, the checks are the period's quarters of an hour summed, and the harnesses
//   counted by the quarter of their first check, except those checked before or after the
//   period too, whose first and last check in the period come from their records;
// - by project, operator or station, the same from the whole UTC days' counts, the hours before
//   the first midnight and after the last one (and the harnesses first checked there) counted
//   over their records;
// - the faults by kind and the contacts are the period's whole days (UTC) summed, and the hours
//   before its first midnight and after its last one counted over their records.
// The figures are the same as counted over the records, to the last check.
class TCountedStatistics {
  public:
    // Whether the counts answer this selection: a period alone, on quarters of an hour (as every
    // local day's edges are).
    static bool Serves(const TRecordFilter& filter, TStatisticsGrouping by);
    // Adds the selection's figures to the run; false when a query fails.
    static bool Add(TStatisticsRun& run, const TRecordFilter& filter, TStatisticsGrouping by);
};
