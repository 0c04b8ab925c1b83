// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatisticsQuery.h"

#include "TRecordsDatabase.h"
#include "TTestRecord.h"

#include <QCoreApplication>
#include <QMap>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TStatisticsQuery)
};

// The database counts by quarters of an hour (UTC); every time zone's midnight falls on one of
// their edges, so the program folds them into local days exactly, summer time and all.
constexpr qint64 QuarterMs = 15 * 60 * 1000;

bool ByTime(TStatisticsGrouping by) {
    return by == TStatisticsGrouping::Day || by == TStatisticsGrouping::Week;
}

QString GroupColumn(TStatisticsGrouping by) {
    switch (by) {
    case TStatisticsGrouping::Day:
    case TStatisticsGrouping::Week:
        return QStringLiteral("checked_at / %1").arg(QuarterMs);
    case TStatisticsGrouping::Project:
        return QStringLiteral("project");
    case TStatisticsGrouping::Operator:
        return QStringLiteral("operator_name");
    case TStatisticsGrouping::Station:
        return QStringLiteral("station");
    }
    return {};
}

// The verdicts and modes as the records keep them, written into the statements as they are.
QString Key(const QString& key) {
    return QLatin1Char('\'') + key + QLatin1Char('\'');
}

// The queries of one computing read one state of the database (records written meanwhile wait
// for the next computing), so the rows add up to the totals.
class TRun {
  public:
    TRun(TRecordsDatabase& database, const TRecordFilter& filter)
        : FDatabase(database), FFilter(filter), FQuery(database.Connection()) {
        FQuery.setForwardOnly(true);
        QSqlDatabase db = database.Connection();
        FInTransaction = db.transaction();
        if (FInTransaction && Postgres())
            FQuery.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    }
    ~TRun() {
        FQuery.finish();
        if (FInTransaction)
            FDatabase.Connection().rollback(); // it only read
    }
    TRun(const TRun&) = delete;
    TRun& operator=(const TRun&) = delete;

    // Runs `sql`, where each "%W" stands for the filter's condition; false on failure.
    bool Exec(QString sql) {
        QVariantList values;
        const QString where = QLatin1Char('(') + FFilter.Where(values) + QLatin1Char(')');
        QVariantList all;
        for (qsizetype i = sql.count(QStringLiteral("%W")); i > 0; --i)
            all += values;
        sql.replace(QStringLiteral("%W"), where);
        if (!FQuery.prepare(sql))
            return false;
        for (const QVariant& v : all)
            FQuery.addBindValue(v);
        return FQuery.exec();
    }
    QSqlQuery& Query() { return FQuery; }
    QString Problem() const { return FQuery.lastError().text().trimmed(); }
    bool Postgres() const { return FDatabase.Kind() == TRecordsDatabase::TKind::Shared; }

  private:
    TRecordsDatabase& FDatabase;
    const TRecordFilter& FFilter;
    QSqlQuery FQuery;
    bool FInTransaction = false;
};

// The row of the breakdown a group of the database's answer belongs to.
struct TRowKey {
    QDate Day;
    QString Text;
};

TRowKey RowOf(const QVariant& group, TStatisticsGrouping by) {
    if (!ByTime(by))
        return {{}, group.toString()};
    const QDate day =
        TStatisticsQuery::RowDay(TTestRecord::FromMs(group.toLongLong() * QuarterMs), by);
    return {day, TStatisticsQuery::DayKey(day, by)};
}

void SortContacts(std::vector<TContactFigure>& contacts) {
    std::sort(contacts.begin(), contacts.end(),
              [](const TContactFigure& a, const TContactFigure& b) {
                  return a.Checks != b.Checks ? a.Checks > b.Checks : a.Contact < b.Contact;
              });
    qint64 total = 0;
    for (const TContactFigure& c : contacts)
        total += c.Checks;
    qint64 running = 0;
    for (TContactFigure& c : contacts) {
        running += c.Checks;
        c.Share = 100.0 * double(c.Checks) / double(total);
        c.Cumulative = 100.0 * double(running) / double(total);
    }
}
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
                                                     TStatisticsGrouping by, QString* error) {
    TRun run(database, filter);
    const auto fail = [&]() -> std::optional<TStatistics> {
        if (error)
            *error = TTexts::tr("Не удалось посчитать статистику по базе записей «%1»: %2")
                         .arg(database.Name(), run.Problem());
        return std::nullopt;
    };
    const QString good = Key(TTestRecord::VerdictKey(true));
    const QString faulty = Key(TTestRecord::VerdictKey(false));
    const QString watch = Key(TTestRecord::ModeKey(TTestRecord::TMode::Watch));
    const QString column = GroupColumn(by);
    QSqlQuery& q = run.Query();

    TStatistics s;
    s.By = by;
    QMap<QString, TStatisticsGroup> rows;
    const auto row = [&](const QVariant& group) -> TStatisticsGroup& {
        const TRowKey key = RowOf(group, by);
        // Days sort by their ISO text; the other keys as the program compares texts, the same
        // for both databases whatever their collation.
        TStatisticsGroup& g = rows[key.Text];
        g.Key = key.Text;
        g.Day = key.Day;
        return g;
    };

    // The checks of each group.
    if (!run.Exec(QStringLiteral("SELECT %1 AS grp, COUNT(*), "
                                 "SUM(CASE WHEN verdict = %2 THEN 1 ELSE 0 END), "
                                 "SUM(CASE WHEN serial = '' THEN 1 ELSE 0 END) "
                                 "FROM records WHERE %W GROUP BY grp")
                      .arg(column, good)))
        return fail();
    while (q.next()) {
        TStatisticsGroup& g = row(q.value(0));
        const qint64 checks = q.value(1).toLongLong();
        const qint64 goodChecks = q.value(2).toLongLong();
        g.Checks += checks;
        g.Good += goodChecks;
        g.Faulty += checks - goodChecks;
        s.Unnumbered += q.value(3).toLongLong();
    }

    // Each harness by its first check in the selection (its group and verdict) and its last
    // verdict. A harness's checks go by time, and at the same millisecond БРАК before ГОДЕН.
    // By time, the moment and the verdict make one number, whose least and greatest per serial
    // number come out of the index in one pass; by a column, a window over the serial number's
    // checks finds the first one's group.
    const QString order =
        QStringLiteral("checked_at * 2 + CASE WHEN verdict = %1 THEN 1 ELSE 0 END").arg(good);
    const QString harnesses =
        ByTime(by)
            ? QStringLiteral("SELECT first_check / %1 AS grp, COUNT(*), SUM(first_check %% 2), "
                             "SUM(last_check %% 2) FROM ("
                             " SELECT MIN(%2) AS first_check, MAX(%2) AS last_check FROM records"
                             " WHERE %W AND serial <> '' GROUP BY serial) AS harnesses "
                             "GROUP BY grp")
                  .arg(2 * QuarterMs)
                  .arg(order)
            : QStringLiteral(
                  "SELECT grp, COUNT(*), SUM(CASE WHEN verdict = %2 THEN 1 ELSE 0 END), "
                  "SUM(CASE WHEN last_verdict = %2 THEN 1 ELSE 0 END) FROM ("
                  " SELECT %1 AS grp, verdict,"
                  " ROW_NUMBER() OVER (PARTITION BY serial ORDER BY %3, uid) AS place,"
                  " LAST_VALUE(verdict) OVER (PARTITION BY serial ORDER BY %3, uid"
                  " ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING) AS last_verdict"
                  " FROM records WHERE %W AND serial <> '') AS harnesses "
                  "WHERE place = 1 GROUP BY grp")
                  .arg(column, good, order);
    if (!run.Exec(QString(harnesses).replace(QStringLiteral("%%"), QStringLiteral("%"))))
        return fail();
    while (q.next()) {
        TStatisticsGroup& g = row(q.value(0));
        g.Harnesses += q.value(1).toLongLong();
        g.FirstPassGood += q.value(2).toLongLong();
        g.FinalGood += q.value(3).toLongLong();
    }
    for (const TStatisticsGroup& g : rows) {
        s.Checks += g.Checks;
        s.Good += g.Good;
        s.Faulty += g.Faulty;
        s.Harnesses += g.Harnesses;
        s.FirstPassGood += g.FirstPassGood;
        s.FinalGood += g.FinalGood;
        s.Groups.push_back(g);
    }

    // The faults by kind, one-shot and continuous verifies apart.
    for (TFaultKind kind :
         {TFaultKind::Open, TFaultKind::Short, TFaultKind::Miswire, TFaultKind::Foreign})
        s.Kinds.push_back({kind, 0, 0, 0, 0});
    if (!run.Exec(QStringLiteral("SELECT f.kind, r.mode = %1, COUNT(*), "
                                 "COUNT(DISTINCT f.record_uid) FROM faults f "
                                 "JOIN records r ON r.uid = f.record_uid WHERE %W "
                                 "GROUP BY f.kind, r.mode")
                      .arg(watch)))
        return fail();
    while (q.next()) {
        const std::optional<TFaultKind> kind = TFault::KindFromKey(q.value(0).toString());
        if (!kind)
            continue; // a kind a newer program knows
        TKindFigure& k = s.Kinds[std::size_t(*kind)];
        (q.value(1).toBool() ? k.WatchFaults : k.Faults) += q.value(2).toLongLong();
        (q.value(1).toBool() ? k.WatchChecks : k.Checks) += q.value(3).toLongLong();
    }

    // The faulty checks naming each contact. A fault keeps its contacts one space apart: the
    // database splits them, each its own way.
    const QString contacts =
        run.Postgres()
            ? QStringLiteral(
                  "SELECT c.contact, COUNT(DISTINCT f.record_uid), "
                  "COUNT(DISTINCT CASE WHEN r.mode = %1 THEN f.record_uid END) "
                  "FROM faults f JOIN records r ON r.uid = f.record_uid "
                  "CROSS JOIN LATERAL unnest(string_to_array(f.contacts, ' ')) AS c(contact) "
                  "WHERE %W AND c.contact <> '' GROUP BY c.contact")
            : QStringLiteral(
                  "WITH RECURSIVE split(record_uid, watch, contact, rest) AS ("
                  " SELECT f.record_uid, r.mode = %1, '', f.contacts || ' '"
                  " FROM faults f JOIN records r ON r.uid = f.record_uid WHERE %W"
                  " UNION ALL SELECT record_uid, watch, substr(rest, 1, instr(rest, ' ') - 1),"
                  " substr(rest, instr(rest, ' ') + 1) FROM split WHERE rest <> '') "
                  "SELECT contact, COUNT(DISTINCT record_uid), "
                  "COUNT(DISTINCT CASE WHEN watch THEN record_uid END) FROM split "
                  "WHERE contact <> '' GROUP BY contact");
    if (!run.Exec(contacts.arg(watch)))
        return fail();
    while (q.next())
        s.Contacts.push_back(
            {q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toLongLong(), 0, 0});
    SortContacts(s.Contacts);

    // Harnesses found faulty two times or more, with all their checks in the selection.
    if (!run.Exec(QStringLiteral("SELECT serial, SUM(CASE WHEN verdict = %1 THEN 1 ELSE 0 END), "
                                 "COUNT(*) FROM records WHERE %W AND serial IN ("
                                 " SELECT serial FROM records WHERE %W AND verdict = %1"
                                 " AND serial <> '' GROUP BY serial HAVING COUNT(*) >= 2) "
                                 "GROUP BY serial")
                      .arg(faulty)))
        return fail();
    while (q.next())
        s.Repeats.push_back(
            {q.value(0).toString(), q.value(1).toLongLong(), q.value(2).toLongLong()});
    std::sort(s.Repeats.begin(), s.Repeats.end(),
              [](const TRepeatFigure& a, const TRepeatFigure& b) {
                  return a.Faulty != b.Faulty ? a.Faulty > b.Faulty : a.Serial < b.Serial;
              });
    return s;
}
