// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatisticsCounts.h"

#include "TRecordsDatabase.h"

#include "TTestRecord.h"

#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <array>
#include <optional>
#include <tuple>

namespace {

constexpr qint64 HalfQuarters = 2 * TStatisticsCounts::QuarterMs; // of a check's order

// The records' columns the breakdown groups by, as the count tables name them.
const char* const Groupings[] = {"project", "operator_name", "station"};
constexpr std::size_t GroupingCount = 3;
using TGroupValues = std::array<QString, GroupingCount>;

// What the counts need of one record.
struct TCounted {
    qint64 Ms = 0;
    QString Serial;
    bool Good = false;
    bool Watch = false;
    std::vector<std::pair<QString, QString>> Faults; // kind key, contacts one space apart
    QString Uid;
    TGroupValues Groups; // project, operator, station
};

// A harness's checks: its first and last check as moment × 2 + 1 for ГОДЕН, and the first
// check's id and groups (of two at the same moment and verdict, the lesser id's).
struct TSpan {
    qint64 First = 0;
    qint64 Last = 0;
    qint64 Checks = 0;
    qint64 Faulty = 0;
    QString FirstUid;
    TGroupValues FirstGroups;

    void Merge(const TSpan& other) {
        if (other.First < First || (other.First == First && other.FirstUid < FirstUid)) {
            First = other.First;
            FirstUid = other.FirstUid;
            FirstGroups = other.FirstGroups;
        }
        Last = std::max(Last, other.Last);
        Checks += other.Checks;
        Faulty += other.Faulty;
    }
};

using TGroupKey = std::tuple<int, qint64, QString>; // grouping, day, value

// The changes one transaction makes to the counts, applied in the order of their keys so that
// two stations writing at once take the rows' locks in the same order.
struct TDelta {
    QMap<qint64, std::array<qint64, 3>> Quarters;
    QMap<qint64, std::array<qint64, 3>> Harnesses;
    QMap<std::pair<qint64, QString>, std::array<qint64, 4>> Kinds;
    QMap<std::pair<qint64, QString>, std::array<qint64, 2>> Contacts;
    QMap<TGroupKey, std::array<qint64, 3>> Groups;      // checks, ГОДЕН, without serial
    QMap<TGroupKey, std::array<qint64, 3>> FirstGroups; // harnesses, first and last ГОДЕН

    void Fold(const TCounted& r, qint64 sign) {
        std::array<qint64, 3>& quarter = Quarters[r.Ms / TStatisticsCounts::QuarterMs];
        quarter[0] += sign;
        quarter[1] += r.Good ? sign : 0;
        quarter[2] += r.Serial.isEmpty() ? sign : 0;
        const qint64 day = r.Ms / TStatisticsCounts::DayMs;
        for (std::size_t g = 0; g < GroupingCount; ++g) {
            std::array<qint64, 3>& row = Groups[{int(g), day, r.Groups[g]}];
            row[0] += sign;
            row[1] += r.Good ? sign : 0;
            row[2] += r.Serial.isEmpty() ? sign : 0;
        }
        QMap<QString, qint64> kinds;
        QSet<QString> contacts;
        for (const auto& [kind, text] : r.Faults) {
            ++kinds[kind];
            for (const QString& c : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                contacts.insert(c);
        }
        for (auto k = kinds.cbegin(); k != kinds.cend(); ++k) {
            std::array<qint64, 4>& row = Kinds[{day, k.key()}];
            row[r.Watch ? 2 : 0] += sign * k.value();
            row[r.Watch ? 3 : 1] += sign;
        }
        for (const QString& c : contacts) {
            std::array<qint64, 2>& row = Contacts[{day, c}];
            row[0] += sign;
            row[1] += r.Watch ? sign : 0;
        }
    }

    void Harness(const std::optional<TSpan>& span, qint64 sign) {
        if (!span)
            return;
        const std::array<qint64, 3> add{sign, sign * (span->First % 2), sign * (span->Last % 2)};
        std::array<qint64, 3>& row = Harnesses[span->First / HalfQuarters];
        for (std::size_t i = 0; i < 3; ++i)
            row[i] += add[i];
        const qint64 day = span->First / 2 / TStatisticsCounts::DayMs;
        for (std::size_t g = 0; g < GroupingCount; ++g) {
            std::array<qint64, 3>& first = FirstGroups[{int(g), day, span->FirstGroups[g]}];
            for (std::size_t i = 0; i < 3; ++i)
                first[i] += add[i];
        }
    }
};

// Adds `values` to the row of `keys`, making it when missing.
bool Upsert(QSqlQuery& q, const char* table, const QStringList& keys, const QStringList& columns,
            const QVariantList& values) {
    QStringList sets;
    for (const QString& c : columns)
        sets << QStringLiteral("%1 = %2.%1 + excluded.%1").arg(c, QLatin1String(table));
    const QStringList all = keys + columns;
    QStringList marks;
    for (qsizetype i = 0; i < all.size(); ++i)
        marks << QStringLiteral("?");
    return TRecordsDatabase::Exec(
        q,
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (%4) DO UPDATE SET %5")
            .arg(QLatin1String(table), all.join(QLatin1String(", ")),
                 marks.join(QLatin1String(", ")), keys.join(QLatin1String(", ")),
                 sets.join(QLatin1String(", "))),
        values);
}

bool Apply(QSqlQuery& q, const TDelta& d) {
    const QStringList quarter{QStringLiteral("quarter")};
    for (auto i = d.Quarters.cbegin(); i != d.Quarters.cend(); ++i)
        if (!Upsert(
                q, "count_quarters", quarter,
                {QStringLiteral("checks"), QStringLiteral("good"), QStringLiteral("unnumbered")},
                {i.key(), i.value()[0], i.value()[1], i.value()[2]}))
            return false;
    for (auto i = d.Harnesses.cbegin(); i != d.Harnesses.cend(); ++i)
        if (!Upsert(q, "count_harnesses", quarter,
                    {QStringLiteral("harnesses"), QStringLiteral("first_good"),
                     QStringLiteral("final_good")},
                    {i.key(), i.value()[0], i.value()[1], i.value()[2]}))
            return false;
    for (auto i = d.Kinds.cbegin(); i != d.Kinds.cend(); ++i)
        if (!Upsert(q, "count_kinds", {QStringLiteral("day"), QStringLiteral("kind")},
                    {QStringLiteral("faults"), QStringLiteral("checks"),
                     QStringLiteral("watch_faults"), QStringLiteral("watch_checks")},
                    {i.key().first, i.key().second, i.value()[0], i.value()[1], i.value()[2],
                     i.value()[3]}))
            return false;
    for (auto i = d.Contacts.cbegin(); i != d.Contacts.cend(); ++i)
        if (!Upsert(q, "count_contacts", {QStringLiteral("day"), QStringLiteral("contact")},
                    {QStringLiteral("checks"), QStringLiteral("watch_checks")},
                    {i.key().first, i.key().second, i.value()[0], i.value()[1]}))
            return false;
    const QStringList groupKeys{QStringLiteral("grouping"), QStringLiteral("day"),
                                QStringLiteral("value")};
    for (auto i = d.Groups.cbegin(); i != d.Groups.cend(); ++i)
        if (!Upsert(
                q, "count_groups", groupKeys,
                {QStringLiteral("checks"), QStringLiteral("good"), QStringLiteral("unnumbered")},
                {QLatin1String(Groupings[std::get<0>(i.key())]), std::get<1>(i.key()),
                 std::get<2>(i.key()), i.value()[0], i.value()[1], i.value()[2]}))
            return false;
    for (auto i = d.FirstGroups.cbegin(); i != d.FirstGroups.cend(); ++i)
        if (!Upsert(q, "count_first_groups", groupKeys,
                    {QStringLiteral("harnesses"), QStringLiteral("first_good"),
                     QStringLiteral("final_good")},
                    {QLatin1String(Groupings[std::get<0>(i.key())]), std::get<1>(i.key()),
                     std::get<2>(i.key()), i.value()[0], i.value()[1], i.value()[2]}))
            return false;
    return true;
}

TCounted Counted(const TTestRecord& r) {
    const auto text = [](const QString& t) { return t.isNull() ? QStringLiteral("") : t; };
    TCounted c{TTestRecord::ToMs(r.Time),
               text(r.Serial),
               r.Good,
               r.Mode == TTestRecord::TMode::Watch,
               {},
               r.Uid,
               {text(r.ProjectName()), text(r.Operator), text(r.Station)}};
    for (const TRecordFault& f : r.Faults)
        c.Faults.emplace_back(TFault::KindKey(f.Fault.Kind),
                              f.Fault.Contacts().join(QLatin1Char(' ')));
    return c;
}

TSpan SpanOf(const TCounted& r) {
    const qint64 order = r.Ms * 2 + (r.Good ? 1 : 0);
    return {order, order, 1, r.Good ? 0 : 1, r.Uid, r.Groups};
}

// The harness's row as kept, locked against another station's change until the transaction ends.
bool ReadSpan(QSqlQuery& q, const QString& serial, bool postgres, std::optional<TSpan>& span) {
    span.reset();
    if (!TRecordsDatabase::Exec(
            q,
            QStringLiteral("SELECT first_check, last_check, checks, faulty, first_uid, "
                           "first_project, first_operator, first_station FROM harness_spans "
                           "WHERE serial = ?") +
                (postgres ? QStringLiteral(" FOR UPDATE") : QString()),
            {serial}))
        return false;
    if (q.next())
        span = TSpan{q.value(0).toLongLong(),
                     q.value(1).toLongLong(),
                     q.value(2).toLongLong(),
                     q.value(3).toLongLong(),
                     q.value(4).toString(),
                     {q.value(5).toString(), q.value(6).toString(), q.value(7).toString()}};
    return true;
}

bool WriteSpan(QSqlQuery& q, const QString& serial, const TSpan& span) {
    return TRecordsDatabase::Exec(
        q,
        QStringLiteral("UPDATE harness_spans SET first_check = ?, last_check = ?, "
                       "checks = ?, faulty = ?, first_uid = ?, first_project = ?, "
                       "first_operator = ?, first_station = ? WHERE serial = ?"),
        {span.First, span.Last, span.Checks, span.Faulty, span.FirstUid, span.FirstGroups[0],
         span.FirstGroups[1], span.FirstGroups[2], serial});
}

} // namespace

const std::vector<const char*>& TStatisticsCounts::Tables() {
    static const std::vector<const char*> tables{
        "CREATE TABLE count_quarters (quarter BIGINT PRIMARY KEY, checks BIGINT NOT NULL,"
        " good BIGINT NOT NULL, unnumbered BIGINT NOT NULL)",
        "CREATE TABLE harness_spans (serial TEXT PRIMARY KEY, first_check BIGINT NOT NULL,"
        " last_check BIGINT NOT NULL, checks BIGINT NOT NULL, faulty BIGINT NOT NULL,"
        " first_uid TEXT NOT NULL, first_project TEXT NOT NULL, first_operator TEXT NOT NULL,"
        " first_station TEXT NOT NULL)",
        // A period's harnesses checked before or after it too are found by their last check.
        "CREATE INDEX harness_spans_last ON harness_spans (last_check, first_check)",
        "CREATE INDEX harness_spans_faulty ON harness_spans (faulty, first_check)",
        "CREATE TABLE count_harnesses (quarter BIGINT PRIMARY KEY, harnesses BIGINT NOT NULL,"
        " first_good BIGINT NOT NULL, final_good BIGINT NOT NULL)",
        "CREATE TABLE count_kinds (day BIGINT NOT NULL, kind TEXT NOT NULL,"
        " faults BIGINT NOT NULL, checks BIGINT NOT NULL, watch_faults BIGINT NOT NULL,"
        " watch_checks BIGINT NOT NULL, PRIMARY KEY (day, kind))",
        "CREATE TABLE count_contacts (day BIGINT NOT NULL, contact TEXT NOT NULL,"
        " checks BIGINT NOT NULL, watch_checks BIGINT NOT NULL, PRIMARY KEY (day, contact))",
        // By project, operator_name or station (`grouping`): the checks of each day, and the
        // harnesses by their first check's day.
        "CREATE TABLE count_groups (grouping TEXT NOT NULL, day BIGINT NOT NULL,"
        " value TEXT NOT NULL, checks BIGINT NOT NULL, good BIGINT NOT NULL,"
        " unnumbered BIGINT NOT NULL, PRIMARY KEY (grouping, day, value))",
        "CREATE TABLE count_first_groups (grouping TEXT NOT NULL, day BIGINT NOT NULL,"
        " value TEXT NOT NULL, harnesses BIGINT NOT NULL, first_good BIGINT NOT NULL,"
        " final_good BIGINT NOT NULL, PRIMARY KEY (grouping, day, value))",
    };
    return tables;
}

QStringList TStatisticsCounts::TableNames() {
    return {QStringLiteral("count_quarters"),    QStringLiteral("harness_spans"),
            QStringLiteral("count_harnesses"),   QStringLiteral("count_kinds"),
            QStringLiteral("count_contacts"),    QStringLiteral("count_groups"),
            QStringLiteral("count_first_groups")};
}

bool TStatisticsCounts::Fill(QSqlQuery& q, bool postgres) {
    const QString good = QLatin1Char('\'') + TTestRecord::VerdictKey(true) + QLatin1Char('\'');
    const QString faulty = QLatin1Char('\'') + TTestRecord::VerdictKey(false) + QLatin1Char('\'');
    const QString watch =
        QLatin1Char('\'') + TTestRecord::ModeKey(TTestRecord::TMode::Watch) + QLatin1Char('\'');
    const QString notWatch =
        QStringLiteral("CASE WHEN r.mode = %1 THEN NULL ELSE f.record_uid END").arg(watch);
    const QString isWatch =
        QStringLiteral("CASE WHEN r.mode = %1 THEN f.record_uid END").arg(watch);
    // The contacts of each fault, one row each, split by each database its own way.
    const QString split =
        postgres
            ? QStringLiteral("SELECT f.record_uid, r.checked_at, r.mode, c.contact "
                             "FROM faults f JOIN records r ON r.uid = f.record_uid "
                             "CROSS JOIN LATERAL unnest(string_to_array(f.contacts, ' ')) "
                             "AS c(contact)")
            : QStringLiteral("WITH RECURSIVE s(record_uid, checked_at, mode, contact, rest) AS"
                             " (SELECT f.record_uid, r.checked_at, r.mode, '', f.contacts || ' '"
                             " FROM faults f JOIN records r ON r.uid = f.record_uid"
                             " UNION ALL SELECT record_uid, checked_at, mode,"
                             " substr(rest, 1, instr(rest, ' ') - 1),"
                             " substr(rest, instr(rest, ' ') + 1) FROM s WHERE rest <> '')"
                             " SELECT record_uid, checked_at, mode, contact FROM s");
    const QStringList statements{
        QStringLiteral("INSERT INTO count_quarters (quarter, checks, good, unnumbered) "
                       "SELECT checked_at / %1, COUNT(*), "
                       "SUM(CASE WHEN verdict = %2 THEN 1 ELSE 0 END), "
                       "SUM(CASE WHEN serial = '' THEN 1 ELSE 0 END) FROM records "
                       "GROUP BY checked_at / %1")
            .arg(QuarterMs)
            .arg(good),
        QStringLiteral(
            "INSERT INTO harness_spans (serial, first_check, last_check, checks, faulty, "
            "first_uid, first_project, first_operator, first_station) "
            "SELECT serial, first_check, last_check, checks, faulty, uid, project, "
            "operator_name, station FROM ("
            " SELECT serial, uid, project, operator_name, station,"
            " ROW_NUMBER() OVER (PARTITION BY serial ORDER BY o, uid) AS place,"
            " MIN(o) OVER (PARTITION BY serial) AS first_check,"
            " MAX(o) OVER (PARTITION BY serial) AS last_check,"
            " COUNT(*) OVER (PARTITION BY serial) AS checks,"
            " SUM(CASE WHEN verdict = %2 THEN 1 ELSE 0 END) OVER (PARTITION BY serial) AS faulty"
            " FROM (SELECT r.*, checked_at * 2 + CASE WHEN verdict = %1 THEN 1 ELSE 0 END AS o"
            " FROM records r WHERE serial <> '') AS o) AS w WHERE place = 1")
            .arg(good, faulty),
        QStringLiteral("INSERT INTO count_harnesses (quarter, harnesses, first_good, final_good) "
                       "SELECT first_check / %1, COUNT(*), SUM(first_check % 2), "
                       "SUM(last_check % 2) FROM harness_spans GROUP BY first_check / %1")
            .arg(HalfQuarters),
        QStringLiteral("INSERT INTO count_kinds (day, kind, faults, checks, watch_faults, "
                       "watch_checks) SELECT r.checked_at / %1, f.kind, "
                       "COUNT(%2), COUNT(DISTINCT %2), COUNT(%3), COUNT(DISTINCT %3) "
                       "FROM faults f JOIN records r ON r.uid = f.record_uid "
                       "GROUP BY r.checked_at / %1, f.kind")
            .arg(DayMs)
            .arg(notWatch, isWatch),
        QStringLiteral("INSERT INTO count_contacts (day, contact, checks, watch_checks) "
                       "SELECT checked_at / %1, contact, COUNT(DISTINCT record_uid), "
                       "COUNT(DISTINCT CASE WHEN mode = %2 THEN record_uid END) FROM (%3) AS c "
                       "WHERE contact <> '' GROUP BY checked_at / %1, contact")
            .arg(DayMs)
            .arg(watch, split),
    };
    QStringList all = statements;
    const char* const firstColumns[] = {"first_project", "first_operator", "first_station"};
    for (std::size_t g = 0; g < GroupingCount; ++g) {
        all << QStringLiteral("INSERT INTO count_groups (grouping, day, value, checks, good, "
                              "unnumbered) SELECT '%1', checked_at / %2, %1, COUNT(*), "
                              "SUM(CASE WHEN verdict = %3 THEN 1 ELSE 0 END), "
                              "SUM(CASE WHEN serial = '' THEN 1 ELSE 0 END) FROM records "
                              "GROUP BY checked_at / %2, %1")
                   .arg(QLatin1String(Groupings[g]))
                   .arg(DayMs)
                   .arg(good);
        all << QStringLiteral("INSERT INTO count_first_groups (grouping, day, value, harnesses, "
                              "first_good, final_good) SELECT '%1', first_check / 2 / %2, %3, "
                              "COUNT(*), SUM(first_check %4 2), SUM(last_check %4 2) "
                              "FROM harness_spans GROUP BY first_check / 2 / %2, %3")
                   .arg(QLatin1String(Groupings[g]))
                   .arg(DayMs)
                   .arg(QLatin1String(firstColumns[g]), QStringLiteral("%"));
    }
    for (const QString& sql : all)
        if (!q.exec(sql))
            return false;
    return true;
}

bool TStatisticsCounts::Add(QSqlQuery& q, const std::vector<const TTestRecord*>& records,
                            bool postgres) {
    TDelta delta;
    QMap<QString, TSpan> spans;
    for (const TTestRecord* r : records) {
        const TCounted c = Counted(*r);
        delta.Fold(c, 1);
        if (c.Serial.isEmpty())
            continue;
        const auto at = spans.find(c.Serial);
        if (at == spans.end())
            spans.insert(c.Serial, SpanOf(c));
        else
            at->Merge(SpanOf(c));
    }
    for (auto s = spans.cbegin(); s != spans.cend(); ++s) {
        // A new harness makes its row; one seen before has it changed under a lock.
        if (!TRecordsDatabase::Exec(
                q,
                QStringLiteral("INSERT INTO harness_spans (serial, first_check, last_check, "
                               "checks, faulty, first_uid, first_project, first_operator, "
                               "first_station) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?) "
                               "ON CONFLICT (serial) DO NOTHING"),
                {s.key(), s->First, s->Last, s->Checks, s->Faulty, s->FirstUid, s->FirstGroups[0],
                 s->FirstGroups[1], s->FirstGroups[2]}))
            return false;
        if (q.numRowsAffected() == 1) {
            delta.Harness(*s, 1);
            continue;
        }
        std::optional<TSpan> old;
        if (!ReadSpan(q, s.key(), postgres, old) || !old)
            return false;
        TSpan now = *old;
        now.Merge(*s);
        if (!WriteSpan(q, s.key(), now))
            return false;
        delta.Harness(old, -1);
        delta.Harness(now, 1);
    }
    return Apply(q, delta);
}

bool TStatisticsCounts::Remove(QSqlQuery& q, const QString& uid, bool postgres) {
    const QString columns = QStringLiteral("uid, checked_at, serial, verdict, mode, project, "
                                           "operator_name, station");
    const auto read = [&q] {
        return TCounted{q.value(1).toLongLong(),
                        q.value(2).toString(),
                        q.value(3).toString() == TTestRecord::VerdictKey(true),
                        q.value(4).toString() == TTestRecord::ModeKey(TTestRecord::TMode::Watch),
                        {},
                        q.value(0).toString(),
                        {q.value(5).toString(), q.value(6).toString(), q.value(7).toString()}};
    };
    if (!TRecordsDatabase::Exec(
            q, QStringLiteral("SELECT %1 FROM records WHERE uid = ?").arg(columns), {uid}))
        return false;
    if (!q.next())
        return true; // nothing counted
    TCounted c = read();
    if (!TRecordsDatabase::Exec(
            q, QStringLiteral("SELECT kind, contacts FROM faults WHERE record_uid = ?"), {uid}))
        return false;
    while (q.next())
        c.Faults.emplace_back(q.value(0).toString(), q.value(1).toString());
    TDelta delta;
    delta.Fold(c, -1);
    if (!c.Serial.isEmpty()) {
        std::optional<TSpan> old;
        if (!ReadSpan(q, c.Serial, postgres, old))
            return false;
        // The harness as its other records make it.
        if (!TRecordsDatabase::Exec(
                q,
                QStringLiteral("SELECT %1 FROM records WHERE serial = ? AND uid <> ?").arg(columns),
                {c.Serial, uid}))
            return false;
        std::optional<TSpan> now;
        while (q.next()) {
            const TSpan one = SpanOf(read());
            if (now)
                now->Merge(one);
            else
                now = one;
        }
        const bool written =
            now ? WriteSpan(q, c.Serial, *now)
                : TRecordsDatabase::Exec(
                      q, QStringLiteral("DELETE FROM harness_spans WHERE serial = ?"), {c.Serial});
        if (!written)
            return false;
        delta.Harness(old, -1);
        delta.Harness(now, 1);
    }
    return Apply(q, delta);
}
