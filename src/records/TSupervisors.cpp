// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSupervisors.h"

#include "TRecordsDatabase.h"
#include "TTestRecord.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TSupervisors)
};

QString ReadFailed(const TRecordsDatabase& database, const QSqlQuery& q) {
    return TTexts::tr("Не удалось прочитать базу записей «%1»: %2")
        .arg(database.Name(), q.lastError().text().trimmed());
}

QString WriteFailed(const TRecordsDatabase& database, const QString& reason) {
    return TTexts::tr("Не удалось записать в базу записей «%1»: %2")
        .arg(database.Name(), reason.trimmed());
}

QString LockText(const QDateTime& until) {
    return until.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
}
} // namespace

QString TPinCheck::Text() const {
    switch (Verdict) {
    case TVerdict::Accepted:
        return QString();
    case TVerdict::Wrong:
        if (LockedUntil.isValid())
            return TTexts::tr("Неверный PIN. Пять неверных PIN подряд: мастер «%1» заблокирован "
                              "до %2.")
                .arg(Supervisor, LockText(LockedUntil));
        return TTexts::tr("Неверный PIN. Осталось попыток до блокировки: %1.")
            .arg(TSupervisors::MaxWrongPins - WrongPins);
    case TVerdict::Locked:
        return TTexts::tr("Мастер «%1» заблокирован после пяти неверных PIN подряд; повторите "
                          "после %2.")
            .arg(Supervisor, LockText(LockedUntil));
    case TVerdict::Unknown:
        return TTexts::tr("В базе записей нет мастера «%1».").arg(Supervisor);
    case TVerdict::Failed:
        break;
    }
    return Error;
}

TSupervisors::TSupervisors(TRecordsDatabase& database, TPinCost cost, TClock clock)
    : FDatabase(database), FCost(cost), FClock(std::move(clock)) {}

QDateTime TSupervisors::Now() const {
    return FClock ? FClock() : QDateTime::currentDateTimeUtc();
}

QString TSupervisors::PinProblem(const QString& pin) {
    bool digits = !pin.isEmpty();
    for (const QChar c : pin)
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    if (!digits || pin.size() < MinPinLength || pin.size() > MaxPinLength)
        return TTexts::tr("PIN мастера — от %1 до %2 цифр.").arg(MinPinLength).arg(MaxPinLength);
    return QString();
}

bool TSupervisors::Add(const QString& name, const QString& pin, QString* error) {
    const QString who = name.trimmed();
    QString problem;
    if (who.isEmpty())
        problem = TTexts::tr("Не указано имя мастера.");
    else
        problem = PinProblem(pin);
    if (problem.isEmpty()) {
        const QByteArray hash = TPinHash::Make(pin, FCost);
        if (hash.isEmpty())
            problem = TTexts::tr("Не удалось вычислить хэш PIN: не хватает памяти.");
        QSqlQuery q(FDatabase.Connection());
        if (problem.isEmpty() &&
            !TRecordsDatabase::Exec(
                q,
                QStringLiteral("INSERT INTO supervisors (name, pin_hash, wrong_pins, "
                               "locked_until, added_at) VALUES (?, ?, 0, 0, ?) "
                               "ON CONFLICT (name) DO NOTHING"),
                {who, QString::fromLatin1(hash), TTestRecord::ToMs(Now())}))
            problem = WriteFailed(FDatabase, q.lastError().text());
        else if (problem.isEmpty() && q.numRowsAffected() == 0)
            problem = TTexts::tr("Мастер «%1» уже есть в базе записей.").arg(who);
    }
    if (error)
        *error = problem;
    return problem.isEmpty();
}

bool TSupervisors::Remove(const QString& name, QString* error) {
    QSqlQuery q(FDatabase.Connection());
    if (!TRecordsDatabase::Exec(q, QStringLiteral("DELETE FROM supervisors WHERE name = ?"),
                                {name.trimmed()})) {
        if (error)
            *error = WriteFailed(FDatabase, q.lastError().text());
        return false;
    }
    if (error)
        error->clear();
    return q.numRowsAffected() > 0;
}

std::vector<TSupervisor> TSupervisors::List(QString* error) {
    std::vector<TSupervisor> out;
    QSqlQuery q(FDatabase.Connection());
    if (!q.exec(QStringLiteral("SELECT name, added_at, wrong_pins, locked_until FROM supervisors "
                               "ORDER BY name"))) {
        if (error)
            *error = ReadFailed(FDatabase, q);
        return out;
    }
    const qint64 now = TTestRecord::ToMs(Now());
    while (q.next()) {
        TSupervisor s;
        s.Name = q.value(0).toString();
        s.Added = TTestRecord::FromMs(q.value(1).toLongLong());
        s.WrongPins = q.value(2).toInt();
        if (const qint64 until = q.value(3).toLongLong(); until > now)
            s.LockedUntil = TTestRecord::FromMs(until);
        out.push_back(s);
    }
    return out;
}

TPinCheck TSupervisors::Check(const QString& name, const QString& pin) {
    TPinCheck check;
    check.Supervisor = name.trimmed();
    QSqlDatabase db = FDatabase.Connection();
    QSqlQuery q(db);
    if (!TRecordsDatabase::Exec(
            q, QStringLiteral("SELECT pin_hash, locked_until FROM supervisors WHERE name = ?"),
            {check.Supervisor})) {
        check.Error = ReadFailed(FDatabase, q);
        return check;
    }
    if (!q.next()) {
        check.Verdict = TPinCheck::TVerdict::Unknown;
        return check;
    }
    const QByteArray hash = q.value(0).toString().toLatin1();
    const qint64 lockedUntil = q.value(1).toLongLong();
    q.finish();
    const qint64 now = TTestRecord::ToMs(Now());
    // The lock holds up to its last millisecond; at its end the supervisor starts afresh.
    if (now < lockedUntil) {
        check.Verdict = TPinCheck::TVerdict::Locked;
        check.LockedUntil = TTestRecord::FromMs(lockedUntil);
        return check;
    }
    if (TPinHash::Matches(hash, pin)) {
        if (!TRecordsDatabase::Exec(
                q,
                QStringLiteral("UPDATE supervisors SET wrong_pins = 0, locked_until = 0 "
                               "WHERE name = ?"),
                {check.Supervisor})) {
            check.Error = WriteFailed(FDatabase, q.lastError().text());
            return check;
        }
        check.Verdict = TPinCheck::TVerdict::Accepted;
        return check;
    }
    // Counted in the database itself, so two programs trying at once both count.
    if (!db.transaction()) {
        check.Error = WriteFailed(FDatabase, db.lastError().text());
        return check;
    }
    const auto fail = [&](const QString& reason) {
        db.rollback();
        check.Error = WriteFailed(FDatabase, reason);
        return check;
    };
    if (!TRecordsDatabase::Exec(
            q, QStringLiteral("UPDATE supervisors SET wrong_pins = wrong_pins + 1 WHERE name = ?"),
            {check.Supervisor}))
        return fail(q.lastError().text());
    if (!TRecordsDatabase::Exec(q,
                                QStringLiteral("SELECT wrong_pins FROM supervisors WHERE name = ?"),
                                {check.Supervisor}) ||
        !q.next())
        return fail(q.lastError().text());
    check.WrongPins = q.value(0).toInt();
    q.finish();
    if (check.WrongPins >= MaxWrongPins) {
        const qint64 until = now + LockMs;
        if (!TRecordsDatabase::Exec(
                q,
                QStringLiteral("UPDATE supervisors SET wrong_pins = 0, locked_until = ? "
                               "WHERE name = ?"),
                {until, check.Supervisor}))
            return fail(q.lastError().text());
        check.WrongPins = 0;
        check.LockedUntil = TTestRecord::FromMs(until);
    }
    if (!db.commit())
        return fail(db.lastError().text());
    check.Verdict = TPinCheck::TVerdict::Wrong;
    return check;
}
