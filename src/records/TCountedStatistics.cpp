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

struct TBounds {
    std::optional<qint64> From, To;         // the period, ms
    std::optional<qint64> FirstDay, EndDay; // its whole UTC days [FirstDay, EndDay)

    TBounds(const TRecordFilter& filter) : From(Ms(filter.From)), To(Ms(filter.To)) {
        if (From)
            FirstDay = (*From + DayMs - 1) / DayMs;
        if (To)
            EndDay = *To / DayMs;
    }
    bool WholeDays() const { return !FirstDay || !EndDay || *FirstDay < *EndDay; }
    // The hours before the first whole day and after the last one.
    std::vector<std::pair<qint64, qint64>> Edges() const {
        std::vector<std::pair<qint64, qint64>> edges;
        if (From && *From < *FirstDay * DayMs)
            edges.emplace_back(*From, *FirstDay * DayMs);
        if (To && *EndDay * DayMs < *To)
            edges.emplace_back(*EndDay * DayMs, *To);
        return edges;
    }
    static std::optional<qint64> Twice(const std::optional<qint64>& ms) {
        if (!ms)
            return std::nullopt;
        return *ms * 2;
    }
};

// The checks and harnesses by time: the quarters of the period from the counts.
bool AddByTime(TStatisticsRun& run, const TRecordFilter& filter, const TBounds& b) {
    std::optional<qint64> fromQuarter, toQuarter;
    if (b.From)
        fromQuarter = *b.From / QuarterMs;
    if (b.To)
        toQuarter = *b.To / QuarterMs;
    const QString quarters = Range("quarter", fromQuarter, toQuarter);
    QSqlQuery& q = run.Query();
    if (!run.Exec(QStringLiteral("SELECT quarter, checks, good, unnumbered FROM count_quarters "
                                 "WHERE %1 AND checks <> 0 ORDER BY quarter")
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
                                 "count_harnesses WHERE %1 AND harnesses <> 0 ORDER BY quarter")
                      .arg(quarters)))
        return false;
    while (q.next()) {
        TStatisticsGroup& g = run.Row(q.value(0));
        g.Harnesses += q.value(1).toLongLong();
        g.FirstPassGood += q.value(2).toLongLong();
        g.FinalGood += q.value(3).toLongLong();
    }
    if (!b.From && !b.To)
        return true;
    const QString straddling = Straddling(b.From, b.To);
    if (!run.Exec(QStringLiteral("SELECT first_check / %1, COUNT(*), SUM(first_check %2 2), "
                                 "SUM(last_check %2 2) FROM harness_spans WHERE (%3) AND %4 "
                                 "GROUP BY first_check / %1 ORDER BY first_check / %1")
                      .arg(2 * QuarterMs)
                      .arg(QStringLiteral("%"), straddling,
                           Range("first_check", TBounds::Twice(b.From), TBounds::Twice(b.To)))))
        return false;
    while (q.next()) {
        TStatisticsGroup& g = run.Row(q.value(0));
        g.Harnesses -= q.value(1).toLongLong();
        g.FirstPassGood -= q.value(2).toLongLong();
        g.FinalGood -= q.value(3).toLongLong();
    }
    return run.AddHarnesses(
        filter,
        QStringLiteral("serial IN (SELECT serial FROM harness_spans WHERE %1)").arg(straddling));
}

// The checks and harnesses by project, operator or station: the whole days from the counts; the
// hours at the edges, and the harnesses first checked there or checked across an edge, over
// their records.
bool AddByColumn(TStatisticsRun& run, const TRecordFilter& filter, const TBounds& b,
                 const QString& grouping, const QString& firstColumn) {
    QSqlQuery& q = run.Query();
    const QString days = Range("day", b.FirstDay, b.EndDay);
    if (!run.Exec(QStringLiteral("SELECT value, SUM(checks), SUM(good), SUM(unnumbered) FROM "
                                 "count_groups WHERE grouping = '%1' AND %2 GROUP BY value "
                                 "HAVING SUM(checks) <> 0")
                      .arg(grouping, days)))
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
    if (!run.Exec(QStringLiteral("SELECT value, SUM(harnesses), SUM(first_good), "
                                 "SUM(final_good) FROM count_first_groups WHERE grouping = '%1' "
                                 "AND %2 GROUP BY value HAVING SUM(harnesses) <> 0")
                      .arg(grouping, days)))
        return false;
    while (q.next()) {
        TStatisticsGroup& g = run.Row(q.value(0));
        g.Harnesses += q.value(1).toLongLong();
        g.FirstPassGood += q.value(2).toLongLong();
        g.FinalGood += q.value(3).toLongLong();
    }
    QStringList apart{QStringLiteral("(%1)").arg(Straddling(b.From, b.To))};
    for (const auto& [from, to] : b.Edges()) {
        const TRecordFilter edge = Between(from, to);
        if (!run.AddChecks(edge))
            return false;
        apart << QStringLiteral("(%1)").arg(Range("first_check", from * 2, to * 2));
    }
    if (!b.From && !b.To)
        return true;
    // Those of the whole days' counts whose last check lies past the period.
    const QString wholeDays =
        Range("first_check",
              TBounds::Twice(b.FirstDay ? std::optional(*b.FirstDay * DayMs) : std::nullopt),
              TBounds::Twice(b.EndDay ? std::optional(*b.EndDay * DayMs) : std::nullopt));
    if (!run.Exec(QStringLiteral("SELECT %1, COUNT(*), SUM(first_check %2 2), "
                                 "SUM(last_check %2 2) FROM harness_spans WHERE (%3) AND %4 "
                                 "GROUP BY %1")
                      .arg(firstColumn, QStringLiteral("%"), Straddling(b.From, b.To), wholeDays)))
        return false;
    while (q.next()) {
        TStatisticsGroup& g = run.Row(q.value(0));
        g.Harnesses -= q.value(1).toLongLong();
        g.FirstPassGood -= q.value(2).toLongLong();
        g.FinalGood -= q.value(3).toLongLong();
    }
    return run.AddHarnesses(filter,
                            QStringLiteral("serial IN (SELECT serial FROM harness_spans WHERE %1)")
                                .arg(apart.join(QLatin1String(" OR "))));
}

} // namespace

bool TCountedStatistics::Serves(const TRecordFilter& filter, TStatisticsGrouping) {
    if (!filter.Serial.trimmed().isEmpty() || !filter.Project.trimmed().isEmpty() ||
        !filter.Operator.trimmed().isEmpty() || !filter.Station.trimmed().isEmpty() ||
        !filter.Contact.trimmed().isEmpty() || filter.Verdict != TRecordFilter::TVerdict::Any)
        return false;
    for (const std::optional<qint64>& edge : {Ms(filter.From), Ms(filter.To)})
        if (edge && (*edge < 0 || *edge % QuarterMs != 0))
            return false;
    return true;
}

bool TCountedStatistics::Add(TStatisticsRun& run, const TRecordFilter& filter,
                             TStatisticsGrouping by) {
    const TBounds b(filter);
    bool ok = true;
    switch (by) {
    case TStatisticsGrouping::Day:
    case TStatisticsGrouping::Week:
        ok = AddByTime(run, filter, b);
        break;
    case TStatisticsGrouping::Project:
    case TStatisticsGrouping::Operator:
    case TStatisticsGrouping::Station:
        if (!b.WholeDays()) // less than a day: its records are few
            return run.AddChecks(filter) && run.AddHarnesses(filter) && run.AddKinds(filter) &&
                   run.AddContacts(filter) && run.AddRepeats(filter);
        ok = by == TStatisticsGrouping::Project
                 ? AddByColumn(run, filter, b, QStringLiteral("project"),
                               QStringLiteral("first_project"))
             : by == TStatisticsGrouping::Operator
                 ? AddByColumn(run, filter, b, QStringLiteral("operator_name"),
                               QStringLiteral("first_operator"))
                 : AddByColumn(run, filter, b, QStringLiteral("station"),
                               QStringLiteral("first_station"));
        break;
    }
    if (!ok)
        return false;

    // Harnesses failed twice or more: those checked across an edge over their records in the
    // period, the others with all their checks in it from their counts.
    QSqlQuery& q = run.Query();
    if ((b.From || b.To) &&
        !run.AddRepeats(filter,
                        QStringLiteral("serial IN (SELECT serial FROM harness_spans WHERE %1)")
                            .arg(Straddling(b.From, b.To))))
        return false;
    if (!run.Exec(QStringLiteral("SELECT serial, faulty, checks FROM harness_spans "
                                 "WHERE faulty >= 2 AND %1 AND %2")
                      .arg(Range("first_check", TBounds::Twice(b.From), std::nullopt),
                           Range("last_check", std::nullopt, TBounds::Twice(b.To)))))
        return false;
    while (q.next())
        run.AddRepeat({q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toLongLong()});

    return AddFaults(run, b.From, b.To);
}
