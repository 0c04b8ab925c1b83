// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A small journal written by hand for the statistics' tests, its figures worked out by hand in
// TStatisticsTest. Its days are local days of the test's time zone (the tests run five hours
// east of UTC).

#include "RecordsTestKit.h"

#include <QTimeZone>

namespace StatisticsJournal {

const QDate Day1(2026, 12, 1); // a Tuesday, ISO week 49
const QDate Day2(2026, 12, 2);
const QDate Day3(2026, 12, 8); // the Tuesday of week 50

inline TTestRecord Check(const QDate& day, const QTime& time, const QString& serial,
                         std::vector<TFault> faults, const QString& oper = QStringLiteral("Иванов"),
                         const QString& project = QStringLiteral("/plant/жгут K1.pvl")) {
    TTestRecord r = RecordsKit::Record(0, serial, true, project, oper);
    // Local time of the test's zone, as the window shows it.
    r.Time = QDateTime(day, time, QTimeZone::systemTimeZone()).toUTC();
    for (const TFault& f : faults)
        r.Faults.push_back({f, 1, {}, {}});
    r.Good = r.Faults.empty();
    r.FaultTotal = int(r.Faults.size());
    return r;
}

// The journal:
//  1 SN-1 day 1 09:00 БРАК  open XT1:a3 from XP2:b5
//  2 SN-1 day 1 10:00 БРАК  short XT1:a3 — XT1:a4; open XT1:a4 from XT1:a9 (a4 named twice)
//  3 SN-1 day 2 00:30 ГОДЕН (19:30 UTC of day 1)
//  4 SN-2 day 1 11:00 ГОДЕН
//  5 SN-2 day 1 12:00 БРАК  foreign XT1:a3
//  6 SN-3 day 2 09:00 ГОДЕН Петров, station stand-4
//  7 SN-4 day 2 10:00 БРАК  continuous: open XT1:a5 from XT1:a6, Петров
//  8 (no serial) day 2 11:00 БРАК miswire XT1:a3 from XT1:a7 to XT1:a8
//  9 SN-5 day 3 09:00 ГОДЕН project K2
// 10 SN-4 day 2 15:00 ГОДЕН Петров
inline std::vector<TTestRecord> Journal() {
    const QString petrov = QStringLiteral("Петров");
    std::vector<TTestRecord> j;
    j.push_back(Check(Day1, {9, 0}, "SN-1", {TFault::Open({"XT1:a3"}, {"XP2:b5"})}));
    j.push_back(
        Check(Day1, {10, 0}, "SN-1",
              {TFault::Short({{"XT1:a3"}, {"XT1:a4"}}), TFault::Open({"XT1:a4"}, {"XT1:a9"})}));
    j.push_back(Check(Day2, {0, 30}, "SN-1", {}));
    j.push_back(Check(Day1, {11, 0}, "SN-2", {}));
    j.push_back(Check(Day1, {12, 0}, "SN-2", {TFault::Foreign({"XT1:a3"})}));
    j.push_back(Check(Day2, {9, 0}, "SN-3", {}, petrov));
    j.back().Station = QStringLiteral("stand-4");
    j.push_back(Check(Day2, {10, 0}, "SN-4", {TFault::Open({"XT1:a5"}, {"XT1:a6"})}, petrov));
    j.back().Mode = TTestRecord::TMode::Watch;
    j.back().Scans = 500;
    j.back().Faults[0].Seen = 3;
    j.push_back(Check(Day2, {11, 0}, "", {TFault::Moved({"XT1:a3"}, {"XT1:a7"}, {"XT1:a8"})}));
    j.push_back(
        Check(Day3, {9, 0}, "SN-5", {}, QStringLiteral("Иванов"), QStringLiteral("/plant/K2.pvl")));
    j.push_back(Check(Day2, {15, 0}, "SN-4", {}, petrov));
    return j;
}

} // namespace StatisticsJournal
