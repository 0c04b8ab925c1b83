// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatisticsCounts.h"

#include "TTestRecord.h"

#include <QMap>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <array>
#include <optional>

namespace {

constexpr qint64 HalfQuarters = 2 * TStatisticsCounts::QuarterMs; // of a check's order

// What the counts need of one record.
struct TCounted {
    qint64 Ms = 0;
    QString Serial;
    bool Good = false;
    bool Watch = false;
    std::vector<std::pair<QString, QString>> Faults; // kind key, contacts one space apart
};

// A harness's checks: its first and last check as moment × 2 + 1 for ГОДЕН.
struct TSpan {
    qint64 First = 0;
    qint64 Last = 0;
    qint64 Checks = 0;
    qint64 Faulty = 0;

    void Merge(const TSpan& other) {
        First = std::min(First, other.First);
        Last = std::max(Last, other.Last);
        Checks += other.Checks;
        Faulty += other.Faulty;
    }
};

// The changes one transaction makes to the counts, applied in the order of their keys so that
// two stations writing at once take the rows' locks in the same order.
struct TDelta {
    QMap<qint64, std::array<qint64, 3>> Quarters;
    QMap<qint64, std::array<qint64, 3>> Harnesses;
    QMap<std::pair<qint64, QString>, std::array<qint64, 4>> Kinds;
    QMap<std::pair<qint64, QString>, std::array<qint64, 2>> Contacts;

    void Fold(const TCounted& r, qint64 sign) {
        std::array<qint64, 3>& quarter = Quarters[r.Ms / TStatisticsCounts::QuarterMs];
        quarter[0] += sign;
        quarter[1] += r.Good ? sign : 0;
        quarter[2] += r.Serial.isEmpty() ? sign : 0;
        const qint64 day = r.Ms / TStatisticsCounts::DayMs;
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
        std::array<qint64, 3>& row = Harnesses[span->First / HalfQuarters];
        row[0] += sign;
        row[1] += sign * (span->First % 2);
        row[2] += sign * (span->Last % 2);
    }
};

bool Bind(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    if (!q.prepare(sql))
        return false;
    for (const QVariant& v : values)
        q.addBindValue(v);
    return q.exec();
}

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
    return Bind(q,
                QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) ON CONFLICT (%4) DO UPDATE SET %5")
                    .arg(QLatin1String(table), all.join(QLatin1String(", ")),
                         marks.join(QLatin1String(", ")), keys.join(QLatin1String(", ")),
                         sets.join(QLatin1String(", "))),
                values);
}

bool Apply(QSqlQuery& q, const TDelta& d) {
    const QStringList quarter{QStringLiteral("quarter")};
    for (auto i = d.Quarters.cbegin(); i != d.Quarters.cend(); ++i)
        if (!Upsert(q, "count_quarters", quarter,
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
    return true;
}

TCounted Counted(const TTestRecord& r) {
    TCounted c{TTestRecord::ToMs(r.Time), r.Serial.isNull() ? QStringLiteral("") : r.Serial, r.Good,
               r.Mode == TTestRecord::TMode::Watch, {}};
    for (const TRecordFault& f : r.Faults)
        c.Faults.emplace_back(TFault::KindKey(f.Fault.Kind),
                              f.Fault.Contacts().join(QLatin1Char(' ')));
    return c;
}

TSpan SpanOf(const TCounted& r) {
    const qint64 order = r.Ms * 2 + (r.Good ? 1 : 0);
    return {order, order, 1, r.Good ? 0 : 1};
}

// The harness's row as kept, locked against another station's change until the transaction ends.
bool ReadSpan(QSqlQuery& q, const QString& serial, bool postgres, std::optional<TSpan>& span) {
    span.reset();
    if (!Bind(q,
              QStringLiteral("SELECT first_check, last_check, checks, faulty FROM harness_spans "
                             "WHERE serial = ?") +
                  (postgres ? QStringLiteral(" FOR UPDATE") : QString()),
              {serial}))
        return false;
    if (q.next())
        span = TSpan{q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toLongLong(),
                     q.value(3).toLongLong()};
    return true;
}

bool WriteSpan(QSqlQuery& q, const QString& serial, const TSpan& span) {
    return Bind(q,
                QStringLiteral("UPDATE harness_spans SET first_check = ?, last_check = ?, "
                               "checks = ?, faulty = ? WHERE serial = ?"),
                {span.First, span.Last, span.Checks, span.Faulty, serial});
}

} // namespace

const std::vector<const char*>& TStatisticsCounts::Tables() {
    static const std::vector<const char*> tables{
        "CREATE TABLE count_quarters (quarter BIGINT PRIMARY KEY, checks BIGINT NOT NULL,"
        " good BIGINT NOT NULL, unnumbered BIGINT NOT NULL)",
        "CREATE TABLE harness_spans (serial TEXT PRIMARY KEY, first_check BIGINT NOT NULL,"
        " last_check BIGINT NOT NULL, checks BIGINT NOT NULL, faulty BIGINT NOT NULL)",
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
    };
    return tables;
}

bool TStatisticsCounts::Fill(QSqlQuery& q, bool postgres) {
    const QString good = QLatin1Char('\'') + TTestRecord::VerdictKey(true) + QLatin1Char('\'');
    const QString faulty = QLatin1Char('\'') + TTestRecord::VerdictKey(false) + QLatin1Char('\'');
    const QString watch = QLatin1Char('\'') + TTestRecord::ModeKey(TTestRecord::TMode::Watch) +
                          QLatin1Char('\'');
    const QString notWatch = QStringLiteral("CASE WHEN r.mode = %1 THEN NULL ELSE f.record_uid END")
                                 .arg(watch);
    const QString isWatch = QStringLiteral("CASE WHEN r.mode = %1 THEN f.record_uid END").arg(watch);
    // The contacts of each fault, one row each, split by each database its own way.
    const QString split =
        postgres ? QStringLiteral("SELECT f.record_uid, r.checked_at, r.mode, c.contact "
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
        QStringLiteral("INSERT INTO harness_spans (serial, first_check, last_check, checks, faulty) "
                       "SELECT serial, MIN(checked_at * 2 + CASE WHEN verdict = %1 THEN 1 ELSE 0 "
                       "END), MAX(checked_at * 2 + CASE WHEN verdict = %1 THEN 1 ELSE 0 END), "
                       "COUNT(*), SUM(CASE WHEN verdict = %2 THEN 1 ELSE 0 END) FROM records "
                       "WHERE serial <> '' GROUP BY serial")
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
    for (const QString& sql : statements)
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
        if (!Bind(q,
                  QStringLiteral("INSERT INTO harness_spans (serial, first_check, last_check, "
                                 "checks, faulty) VALUES (?, ?, ?, ?, ?) "
                                 "ON CONFLICT (serial) DO NOTHING"),
                  {s.key(), s->First, s->Last, s->Checks, s->Faulty}))
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
    if (!Bind(q,
              QStringLiteral("SELECT checked_at, serial, verdict, mode FROM records WHERE uid = ?"),
              {uid}))
        return false;
    if (!q.next())
        return true; // nothing counted
    TCounted c{q.value(0).toLongLong(), q.value(1).toString(),
               q.value(2).toString() == TTestRecord::VerdictKey(true),
               q.value(3).toString() == TTestRecord::ModeKey(TTestRecord::TMode::Watch),
               {}};
    if (!Bind(q, QStringLiteral("SELECT kind, contacts FROM faults WHERE record_uid = ?"), {uid}))
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
        if (!Bind(q,
                  QStringLiteral("SELECT MIN(%1), MAX(%1), COUNT(*), "
                                 "SUM(CASE WHEN verdict = ? THEN 1 ELSE 0 END) FROM records "
                                 "WHERE serial = ? AND uid <> ?")
                      .arg(QStringLiteral("checked_at * 2 + CASE WHEN verdict = ? THEN 1 ELSE 0 "
                                          "END")),
                  {TTestRecord::VerdictKey(true), TTestRecord::VerdictKey(true),
                   TTestRecord::VerdictKey(false), c.Serial, uid}) ||
            !q.next())
            return false;
        std::optional<TSpan> now;
        if (q.value(2).toLongLong() > 0)
            now = TSpan{q.value(0).toLongLong(), q.value(1).toLongLong(), q.value(2).toLongLong(),
                        q.value(3).toLongLong()};
        const bool written =
            now ? WriteSpan(q, c.Serial, *now)
                : Bind(q, QStringLiteral("DELETE FROM harness_spans WHERE serial = ?"), {c.Serial});
        if (!written)
            return false;
        delta.Harness(old, -1);
        delta.Harness(now, 1);
    }
    return Apply(q, delta);
}
