// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatisticsQuery.h"

#include "TCountedStatistics.h"
#include "TRecordsDatabase.h"
#include "TStatisticsRun.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TStatisticsQuery)
};
} // namespace

QDate TStatisticsQuery::RowDay(const QDateTime& time, TStatisticsGrouping by) {
    const QDate day = time.toLocalTime().date();
    return by == TStatisticsGrouping::Week ? day.addDays(1 - day.dayOfWeek()) : day;
}

QString TStatisticsQuery::DayKey(const QDate& day, TStatisticsGrouping by) {
    if (by != TStatisticsGrouping::Week)
        return day.toString(Qt::ISODate);
    int year = 0;
    const int week = day.weekNumber(&year);
    return QStringLiteral("%1-W%2").arg(year).arg(week, 2, 10, QLatin1Char('0'));
}

std::optional<TStatistics> TStatisticsQuery::Compute(TRecordsDatabase& database,
                                                     const TRecordFilter& filter,
                                                     TStatisticsGrouping by, QString* error,
                                                     TSource source) {
    TStatisticsRun run(database, by);
    const bool counted = source == TSource::Best && TCountedStatistics::Serves(filter, by);
    const bool ok = counted ? TCountedStatistics::Add(run, filter, by)
                            : run.AddChecks(filter) && run.AddHarnesses(filter) &&
                                  run.AddKinds(filter) && run.AddContacts(filter) &&
                                  run.AddRepeats(filter);
    if (!ok) {
        if (error)
            *error = TTexts::tr("Не удалось посчитать статистику по базе записей «%1»: %2")
                         .arg(database.Name(), run.Problem());
        return std::nullopt;
    }
    return run.Result();
}
