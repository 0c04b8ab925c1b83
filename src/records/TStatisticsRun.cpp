// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatisticsRun.h"

#include "TRecordsDatabase.h"
#include "TStatisticsQuery.h"
#include "TTestRecord.h"

#include <QSqlError>
#include <algorithm>

namespace {
QString Quoted(const QString& key) {
    return QLatin1Char('\'') + key + QLatin1Char('\'');
}

bool ByTime(TStatisticsGrouping by) {
    return by == TStatisticsGrouping::Day || by == TStatisticsGrouping::Week;
}
} // namespace

TStatisticsRun::TStatisticsRun(TRecordsDatabase& database, TStatisticsGrouping by)
    : FDatabase(database), FBy(by), FQuery(database.Connection()) {
    // PostgreSQL's driver fetches a forward-only result a row per round trip; the answers here
    // are as long as the breakdown, so they come whole.
    FQuery.setForwardOnly(!Postgres());
    QSqlDatabase db = database.Connection();
    FInTransaction = db.transaction();
    if (FInTransaction && Postgres())
        FQuery.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ"));
    for (TFaultKind kind :
         {TFaultKind::Open, TFaultKind::Short, TFaultKind::Miswire, TFaultKind::Foreign})
        FKinds.push_back({kind, 0, 0, 0, 0});
}

TStatisticsRun::~TStatisticsRun() {
    FQuery.finish();
    if (FInTransaction)
        FDatabase.Connection().rollback(); // it only read
}

QString TStatisticsRun::GoodKey() {
    return Quoted(TTestRecord::VerdictKey(true));
}

QString TStatisticsRun::FaultyKey() {
    return Quoted(TTestRecord::VerdictKey(false));
}

QString TStatisticsRun::WatchKey() {
    return Quoted(TTestRecord::ModeKey(TTestRecord::TMode::Watch));
}

QString TStatisticsRun::CheckOrder() {
    return QStringLiteral("checked_at * 2 + CASE WHEN verdict = %1 THEN 1 ELSE 0 END")
        .arg(GoodKey());
}

bool TStatisticsRun::Exec(QString sql, const TRecordFilter& filter) {
    QVariantList values;
    const QString where = QLatin1Char('(') + filter.Where(values) + QLatin1Char(')');
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

QString TStatisticsRun::Problem() const {
    return FQuery.lastError().text().trimmed();
}

bool TStatisticsRun::Postgres() const {
    return FDatabase.Kind() == TRecordsDatabase::TKind::Shared;
}

QString TStatisticsRun::GroupColumn() const {
    switch (FBy) {
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

TStatisticsGroup& TStatisticsRun::Row(const QVariant& group) {
    QDate day;
    QString key = group.toString();
    if (ByTime(FBy)) {
        // The quarters come in runs of one day or week: the row's span saves the time zone's
        // arithmetic for the rest of the run.
        const qint64 ms = group.toLongLong() * QuarterMs;
        if (FSpanRow && ms >= FSpanFrom && ms < FSpanTo)
            return *FSpanRow;
        day = TStatisticsQuery::RowDay(TTestRecord::FromMs(ms), FBy);
        key = TStatisticsQuery::DayKey(day, FBy);
        TStatisticsGroup& g = FRows[key];
        g.Key = key;
        g.Day = day;
        FSpanFrom = TTestRecord::ToMs(day.startOfDay());
        FSpanTo =
            TTestRecord::ToMs(day.addDays(FBy == TStatisticsGrouping::Week ? 7 : 1).startOfDay());
        FSpanRow = &g;
        return g;
    }
    // Days sort by their ISO text; the other keys as the program compares texts, the same for
    // both databases whatever their collation.
    TStatisticsGroup& g = FRows[key];
    g.Key = key;
    g.Day = day;
    return g;
}

bool TStatisticsRun::AddChecks(const TRecordFilter& filter) {
    if (!Exec(QStringLiteral("SELECT %1 AS grp, COUNT(*), "
                             "SUM(CASE WHEN verdict = %2 THEN 1 ELSE 0 END), "
                             "SUM(CASE WHEN serial = '' THEN 1 ELSE 0 END) "
                             "FROM records WHERE %W GROUP BY grp ORDER BY grp")
                  .arg(GroupColumn(), GoodKey()),
              filter))
        return false;
    while (FQuery.next()) {
        TStatisticsGroup& g = Row(FQuery.value(0));
        const qint64 checks = FQuery.value(1).toLongLong();
        const qint64 good = FQuery.value(2).toLongLong();
        g.Checks += checks;
        g.Good += good;
        g.Faulty += checks - good;
        FUnnumbered += FQuery.value(3).toLongLong();
    }
    return true;
}

bool TStatisticsRun::AddHarnesses(const TRecordFilter& filter, const QString& extra) {
    // By time, the first check's moment and verdict come out of the index in one pass; by a
    // column, a window over the serial number's checks finds the first one's group.
    const QString sql =
        ByTime(FBy)
            ? QStringLiteral("SELECT first_check / %1 AS grp, COUNT(*), SUM(first_check %% 2), "
                             "SUM(last_check %% 2) FROM ("
                             " SELECT MIN(%2) AS first_check, MAX(%2) AS last_check FROM records"
                             " WHERE %W AND serial <> '' AND (%3) GROUP BY serial) AS harnesses "
                             "GROUP BY grp ORDER BY grp")
                  .arg(2 * QuarterMs)
                  .arg(CheckOrder(), extra)
            : QStringLiteral(
                  "SELECT grp, COUNT(*), SUM(CASE WHEN verdict = %2 THEN 1 ELSE 0 END), "
                  "SUM(CASE WHEN last_verdict = %2 THEN 1 ELSE 0 END) FROM ("
                  " SELECT %1 AS grp, verdict,"
                  " ROW_NUMBER() OVER (PARTITION BY serial ORDER BY %3, uid) AS place,"
                  " LAST_VALUE(verdict) OVER (PARTITION BY serial ORDER BY %3, uid"
                  " ROWS BETWEEN UNBOUNDED PRECEDING AND UNBOUNDED FOLLOWING) AS last_verdict"
                  " FROM records WHERE %W AND serial <> '' AND (%4)) AS harnesses "
                  "WHERE place = 1 GROUP BY grp")
                  .arg(GroupColumn(), GoodKey(), CheckOrder(), extra);
    if (!Exec(QString(sql).replace(QStringLiteral("%%"), QStringLiteral("%")), filter))
        return false;
    while (FQuery.next()) {
        TStatisticsGroup& g = Row(FQuery.value(0));
        g.Harnesses += FQuery.value(1).toLongLong();
        g.FirstPassGood += FQuery.value(2).toLongLong();
        g.FinalGood += FQuery.value(3).toLongLong();
    }
    return true;
}

bool TStatisticsRun::AddKinds(const TRecordFilter& filter) {
    if (!Exec(QStringLiteral("SELECT f.kind, r.mode = %1, COUNT(*), "
                             "COUNT(DISTINCT f.record_uid) FROM faults f "
                             "JOIN records r ON r.uid = f.record_uid WHERE %W "
                             "GROUP BY f.kind, r.mode")
                  .arg(WatchKey()),
              filter))
        return false;
    while (FQuery.next()) {
        const std::optional<TFaultKind> kind = TFault::KindFromKey(FQuery.value(0).toString());
        if (!kind)
            continue; // a kind a newer program knows
        TKindFigure& k = FKinds[std::size_t(*kind)];
        const bool watch = FQuery.value(1).toBool();
        (watch ? k.WatchFaults : k.Faults) += FQuery.value(2).toLongLong();
        (watch ? k.WatchChecks : k.Checks) += FQuery.value(3).toLongLong();
    }
    return true;
}

bool TStatisticsRun::AddContacts(const TRecordFilter& filter) {
    // A fault keeps its contacts one space apart: the database splits them, each its own way.
    const QString sql =
        Postgres()
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
    if (!Exec(sql.arg(WatchKey()), filter))
        return false;
    while (FQuery.next())
        AddContact(FQuery.value(0).toString(), FQuery.value(1).toLongLong(),
                   FQuery.value(2).toLongLong());
    return true;
}

void TStatisticsRun::AddContact(const QString& contact, qint64 checks, qint64 watchChecks) {
    std::pair<qint64, qint64>& c = FContacts[contact];
    c.first += checks;
    c.second += watchChecks;
}

bool TStatisticsRun::AddRepeats(const TRecordFilter& filter, const QString& extra) {
    if (!Exec(QStringLiteral("SELECT serial, SUM(CASE WHEN verdict = %1 THEN 1 ELSE 0 END), "
                             "COUNT(*) FROM records WHERE %W AND serial IN ("
                             " SELECT serial FROM records WHERE %W AND verdict = %1"
                             " AND serial <> '' AND (%2) GROUP BY serial HAVING COUNT(*) >= 2) "
                             "GROUP BY serial")
                  .arg(FaultyKey(), extra),
              filter))
        return false;
    while (FQuery.next()) {
        const QString serial = FQuery.value(0).toString();
        FRepeats[serial] = {serial, FQuery.value(1).toLongLong(), FQuery.value(2).toLongLong()};
    }
    return true;
}

void TStatisticsRun::AddRepeat(const TRepeatFigure& repeat) {
    FRepeats[repeat.Serial] = repeat;
}

TStatistics TStatisticsRun::Result() {
    TStatistics s;
    s.By = FBy;
    s.Unnumbered = FUnnumbered;
    for (const TStatisticsGroup& g : FRows) {
        // A group the kept counts hold with nothing left in it (its records sent on).
        if (g.Checks == 0 && g.Harnesses == 0)
            continue;
        s.Checks += g.Checks;
        s.Good += g.Good;
        s.Faulty += g.Faulty;
        s.Harnesses += g.Harnesses;
        s.FirstPassGood += g.FirstPassGood;
        s.FinalGood += g.FinalGood;
        s.Groups.push_back(g);
    }
    s.Kinds = FKinds;

    qint64 total = 0;
    for (auto c = FContacts.cbegin(); c != FContacts.cend(); ++c)
        if (c->first > 0) {
            s.Contacts.push_back({c.key(), c->first, c->second, 0, 0});
            total += c->first;
        }
    std::sort(s.Contacts.begin(), s.Contacts.end(),
              [](const TContactFigure& a, const TContactFigure& b) {
                  return a.Checks != b.Checks ? a.Checks > b.Checks : a.Contact < b.Contact;
              });
    qint64 running = 0;
    for (TContactFigure& c : s.Contacts) {
        running += c.Checks;
        c.Share = 100.0 * double(c.Checks) / double(total);
        c.Cumulative = 100.0 * double(running) / double(total);
    }

    for (const TRepeatFigure& r : FRepeats)
        s.Repeats.push_back(r);
    std::sort(s.Repeats.begin(), s.Repeats.end(),
              [](const TRepeatFigure& a, const TRepeatFigure& b) {
                  return a.Faulty != b.Faulty ? a.Faulty > b.Faulty : a.Serial < b.Serial;
              });
    return s;
}
