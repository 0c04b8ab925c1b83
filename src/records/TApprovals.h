// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TSupervisors.h"

#include <QDateTime>
#include <QString>
#include <optional>

class TIniFile;
class TRecordStore;

// A reference approved by a supervisor: who, when, at which station, and the reference by its
// SHA-256 (the sum a record keeps in reference_sum).
struct TApproval {
    QString ReferenceSum;
    QString Supervisor;
    QDateTime When;
    QString Station;

    // "утвержден: Петров П., 2026-12-08 14:03".
    QString Text() const;
    // "не утвержден".
    static QString NoneText();
};

// The approvals of references, kept with the records (table `approvals`): in the shared
// database when there is one, and a copy of each approval this station has seen in its own
// file, so a reference approved once is still known as approved while the server is away.
// Supervisors and their PINs are those of the database that approvals are read from.
//
// Belongs to one thread (the store's connections do); Approve checks a PIN, which is slow by
// design, so the window calls it off its own thread.
class TApprovals {
  public:
    explicit TApprovals(TRecordStore& store, TPinCost cost = TPinCost::Interactive,
                        TSupervisors::TClock clock = {});

    // The latest approval of the reference; nothing when it has none. `error` is set when
    // no database could be read (then nothing is known of it).
    std::optional<TApproval> Find(const QString& referenceSum, QString* error = nullptr);
    // Checks the supervisor's PIN and, when it is right, stores the approval of the reference
    // (in `approval`).
    TPinCheck Approve(const QString& referenceSum, const QString& supervisor, const QString& pin,
                      TApproval* approval = nullptr);
    // The supervisors of the database approvals go to; nullptr with the reason when it cannot
    // be opened.
    TSupervisors* Supervisors(QString* error = nullptr);

    // `[Check] RequireApproval=1`: a reference must be approved before harnesses are verified
    // against it.
    static bool Required(const TIniFile& settings);
    // What a verify refused for an unapproved reference says.
    static QString RefusalText();

  private:
    TRecordStore& FStore;
    TPinCost FCost;
    TSupervisors::TClock FClock;
    std::optional<TSupervisors> FSupervisors;
};
