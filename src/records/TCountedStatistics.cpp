// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCountedStatistics.h"

#include "TStatisticsCounts.h"
#include "TStatisticsRun.h"
#include "TTestRecord.h"

#include <QSqlQuery>
#include <optional>

namespace {

constexpr qint64 QuarterMs = TStatisticsCounts::QuarterMs;
constexpr qint64 DayMs = TStatisticsCounts::DayMs;

std::optional<qint64> Ms(const QDateTime& time) {
    if (!time.isValid())
        return std::nullopt;
    return TTestRecord::ToMs(time);
}

// "column >= a AND column < b" for the bounds there are; every bound is a number the program
// made, written into the statement as it is.
QString Range(const char* column, const std::optional<qint64>& from,
              const std::optional<qint64>& to) {
    QStringList parts{QStringLiteral("1 = 1")};
    if (from)
        parts << QStringLiteral("%1 >= %2").arg(QLatin1String(column)).arg(*from);
    if (to)
        parts << QStringLiteral("%1 < %2").arg(QLatin1String(column)).arg(*to);
    return parts.join(QLatin1String(" AND "));
}

// The harnesses with checks on both sides of one of the period's edges.
QString Straddling(std::optional<qint64> from, std::optional<qint64> to) {
    QStringList parts;
    for (const std::optional<qint64>& edge : {from, to})
        if (edge)
            parts << QStringLiteral("(first_check < %1 AND last_check >= %1)").arg(*edge * 2);
    return parts.isEmpty() ? QStringLiteral("1 = 0") : parts.join(QLatin1String(" OR "));
}

TRecordFilter Between(std::optional<qint64> from, std::optional<qint64> to) {
    TRecordFilter f;
    if (from)
        f.From = TTestRecord::FromMs(*from);
    if (to)
        f.To = TTestRecord::FromMs(*to);
    return f;
}

// The faults by kind and the contacts: whole days from the counts, the hours at the period's
// edges from the records.
bool AddFaults(TStatisticsRun& run, std::optional<qint64> from, std::optional<qint64> to) {
    std::optional<qint64> firstDay, endDay; // whole days [firstDay, endDay)
    if (from)
        firstDay = (*from + DayMs - 1) / DayMs;
    if (to)
        endDay = *to / DayMs;
    if (firstDay && endDay && *firstDay >= *endDay)
        return run.AddKinds(Between(from, to)) && run.AddContacts(Between(from, to));
    if (from && *from < *firstDay * DayMs) {
        const TRecordFilter edge = Between(from, *firstDay * DayMs);
        if (!run.AddKinds(edge) || !run.AddContacts(edge))
            return false;
    }
    if (to && *endDay * DayMs < *to) {
        const TRecordFilter edge = Between(*endDay * DayMs, to);
        if (!run.AddKinds(edge) || !run.AddContacts(edge))
            return false;
    }
    const QString days = Range("day", firstDay, endDay);
    QSqlQuery& q = run.Query();
    if (!run.Exec(QStringLiteral("SELECT kind, SUM(faults), SUM(checks), SUM(watch_faults), "
                                 "SUM(watch_checks) FROM count_kinds WHERE %1 GROUP BY kind")
                      .arg(days)))
        return false;
    while (q.next()) {
        const std::optional<TFaultKind> kind = TFault::KindFromKey(q.value(0).toString());
        if (!kind)
            continue; // a kind a newer program knows
        TKindFigure& k = run.Kind(*kind);
        k.Faults += q.value(1).toLongLong();
        k.Checks += q.value(2).toLongLong();
        k.WatchFaults += q.value(3).toLongLong();
        k.WatchChecks += q.value(4).toLongLong();
    }
    if (!run.Exec(QStringLiteral("SELECT contact, SUM(checks), SUM(watch_checks) FROM "
                                 "count_contacts WHERE %1 GROUP BY contact")
                      .arg(days)))
        return false;
    while (q.next())
        run.AddContact(q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toLongLong());
    return true;
}

} // namespace

bool TCountedStatistics::Serves(const TRecordFilter& filter, TStatisticsGrouping by) {
    if (by != TStatisticsGrouping::Day && by != TStatisticsGrouping::Week)
        return false;
    if (!filter.Serial.trimmed().isEmpty() || !filter.Project.trimmed().isEmpty() ||
        !filter.Operator.trimmed().isEmpty() || !filter.Station.trimmed().isEmpty() ||
        !filter.Contact.trimmed().isEmpty() || filter.Verdict != TRecordFilter::TVerdict::Any)
        return false;
    for (const std::optional<qint64>& edge : {Ms(filter.From), Ms(filter.To)})
        if (edge && (*edge < 0 || *edge % QuarterMs != 0))
            return false;
    return true;
}

bool TCountedStatistics::Add(TStatisticsRun& run, const TRecordFilter& filter) {
    const std::optional<qint64> from = Ms(filter.From);
    const std::optional<qint64> to = Ms(filter.To);
    std::optional<qint64> fromQuarter, toQuarter;
    if (from)
        fromQuarter = *from / QuarterMs;
    if (to)
        toQuarter = *to / QuarterMs;
    const QString quarters = Range("quarter", fromQuarter, toQuarter);
    QSqlQuery& q = run.Query();

    if (!run.Exec(QStringLiteral("SELECT quarter, checks, good, unnumbered FROM count_quarters "
                                 "WHERE %1 AND checks <> 0")
                      .arg(quarters)))
        return false;
    while (q.next()) {
        TStatisticsGroup& g = run.Row(q.value(0));
        const qint64 checks = q.value(1).toLongLong();
        const qint64 good = q.value(2).toLongLong();
        g.Checks += checks;
        g.Good += good;
        g.Faulty += checks - good;
        run.AddUnnumbered(q.value(3).toLongLong());
    }

    // The harnesses first checked in the period, as their whole lives make them; then those
    // checked across one of its edges, taken out and counted over their records in the period.
    if (!run.Exec(QStringLiteral("SELECT quarter, harnesses, first_good, final_good FROM "
                                 "count_harnesses WHERE %1 AND harnesses <> 0")
                      .arg(quarters)))
        return false;
    while (q.next()) {
        TStatisticsGroup& g = run.Row(q.value(0));
        g.Harnesses += q.value(1).toLongLong();
        g.FirstPassGood += q.value(2).toLongLong();
        g.FinalGood += q.value(3).toLongLong();
    }
    const QString straddling = Straddling(from, to);
    const QString firstInPeriod =
        Range("first_check", from ? std::optional(*from * 2) : std::nullopt,
              to ? std::optional(*to * 2) : std::nullopt);
    if (from || to) {
        if (!run.Exec(QStringLiteral("SELECT first_check / %1, COUNT(*), SUM(first_check %2 2), "
                                     "SUM(last_check %2 2) FROM harness_spans WHERE (%3) AND %4 "
                                     "GROUP BY first_check / %1")
                          .arg(2 * QuarterMs)
                          .arg(QStringLiteral("%"), straddling, firstInPeriod)))
            return false;
        while (q.next()) {
            TStatisticsGroup& g = run.Row(q.value(0));
            g.Harnesses -= q.value(1).toLongLong();
            g.FirstPassGood -= q.value(2).toLongLong();
            g.FinalGood -= q.value(3).toLongLong();
        }
        const QString across =
            QStringLiteral("serial IN (SELECT serial FROM harness_spans WHERE %1)").arg(straddling);
        if (!run.AddHarnesses(filter, across) || !run.AddRepeats(filter, across))
            return false;
    }

    // Harnesses failed twice or more with all their checks in the period.
    if (!run.Exec(QStringLiteral("SELECT serial, faulty, checks FROM harness_spans "
                                 "WHERE faulty >= 2 AND %1 AND %2")
                      .arg(firstInPeriod, Range("last_check", std::nullopt,
                                                to ? std::optional(*to * 2) : std::nullopt))))
        return false;
    while (q.next())
        run.AddRepeat({q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toLongLong()});

    return AddFaults(run, from, to);
}
