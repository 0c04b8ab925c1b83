// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TApprovals.h"
#include "TRecordsConfig.h"

#include <QHash>
#include <QObject>
#include <functional>
#include <optional>

class QAction;
class QMainWindow;
class TCheckPoints;
class TIniFile;
class TReference;

// The approval of references in the window: "Утвердить эталон..." (the supervisor's name and
// PIN), the reference's state before every verify, and with `[Check] RequireApproval=1` no
// verify or continuous verify against a reference no supervisor has approved.
//
// The database and the PIN's hash are slow or may not answer, so each look and each approval
// runs on a thread of its own while the window goes on serving its events
// (TOffThreadCall); the window never stands still for them.
class TCheckApproval : public QObject {
    Q_OBJECT
  public:
    // `ini`: the program's settings ([Check] RequireApproval; the last supervisor is kept in
    // [Check] Supervisor). `cost`: what a new PIN hash costs (tests take less).
    TCheckApproval(TIniFile& ini, const TRecordsConfig& config, QMainWindow& window,
                   TPinCost cost = TPinCost::Interactive);

    bool Required() const { return FRequired; }

    // Before a verify or a continuous verify: looks up the reference's approval and says its
    // state (StateChanged); false after saying why when an approval is required and missing.
    bool BeforeVerify(const TCheckPoints& points, const TReference& reference);
    // The reference of the last look was approved.
    bool Approved() const { return FApproval.has_value(); }
    const std::optional<TApproval>& Approval() const { return FApproval; }

    // "Утвердить эталон...": the open project's reference, approved with a supervisor's PIN.
    void Approve();
    QAction* acApprove = nullptr;

    // The open project's path and reference, for the command (false: it said why not).
    std::function<bool(QString& project, TCheckPoints& points, TReference& reference)>
        CurrentReference;
    // Stand-in for the dialog (tests): the supervisor's name and PIN, false for Cancel.
    std::function<bool(QString& supervisor, QString& pin)> AskDialog;

  signals:
    // The reference's state as the results panel shows it beside the verdict.
    void StateChanged(const QString& text, bool approved);

  private:
    void Show();

    TIniFile& FIni;
    TRecordsConfig FConfig;
    QMainWindow& FWindow;
    TPinCost FCost;
    bool FRequired = false;
    bool FBusy = false; // a look or an approval under way: the window's events go on meanwhile
    std::optional<TApproval> FApproval;
    // Approvals seen, by the reference's SHA-256: an approval is never taken back, so an
    // approved reference is not looked up again and its verifies wait on no database.
    QHash<QString, TApproval> FKnown;
};
