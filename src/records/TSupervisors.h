// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TPinHash.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <vector>

class TRecordsDatabase;

// A supervisor who may approve references, as listed.
struct TSupervisor {
    QString Name;
    QDateTime Added;
    int WrongPins = 0;     // wrong PINs in a row since the last right one
    QDateTime LockedUntil; // invalid when not locked
};

// What a PIN check came to.
struct TPinCheck {
    enum class TVerdict { Accepted, Wrong, Locked, Unknown, Failed };
    TVerdict Verdict = TVerdict::Failed;
    QString Supervisor;
    int WrongPins = 0;     // Wrong: wrong PINs in a row now (0 when this one locked)
    QDateTime LockedUntil; // Locked, or Wrong that locked: when the lock ends
    QString Error;         // Failed: the database's reason

    bool Accepted() const { return Verdict == TVerdict::Accepted; }
    // What the supervisor is told, in the user's language; empty for Accepted.
    QString Text() const;
};

// The supervisors of the records' database (table `supervisors`): their names and PINs, the
// PIN only as a salted Argon2id hash. Five wrong PINs in a row lock a supervisor for five
// minutes; the count and the lock live in the database, so they hold for every program and
// station that uses it, and a right PIN sets the count back to nothing.
//
// Belongs to the thread of its database's connection; a PIN check takes as long as the hash
// costs (TPinHash), so the window runs it on a thread of its own.
class TSupervisors {
  public:
    static constexpr int MaxWrongPins = 5;
    static constexpr qint64 LockMs = 5 * 60 * 1000;
    static constexpr int MinPinLength = 4;
    static constexpr int MaxPinLength = 16;

    // `clock`: the current time (UTC); the system's when empty.
    using TClock = std::function<QDateTime()>;
    explicit TSupervisors(TRecordsDatabase& database, TPinCost cost = TPinCost::Interactive,
                          TClock clock = {});

    // A new supervisor; refused (false, the reason in `error`) for an empty name, a name taken
    // or a PIN that PinProblem refuses.
    bool Add(const QString& name, const QString& pin, QString* error = nullptr);
    // False when there is no such supervisor (error empty) or the database failed (error set).
    bool Remove(const QString& name, QString* error = nullptr);
    // By name; empty with `error` set when the database failed.
    std::vector<TSupervisor> List(QString* error = nullptr);
    // Checks a supervisor's PIN, counting a wrong one and locking at the fifth in a row.
    TPinCheck Check(const QString& name, const QString& pin);

    // Why a PIN cannot be a supervisor's (4 to 16 digits); empty when it can.
    static QString PinProblem(const QString& pin);

  private:
    QDateTime Now() const;

    TRecordsDatabase& FDatabase;
    TPinCost FCost;
    TClock FClock;
};
