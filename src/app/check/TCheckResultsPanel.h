// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TContinuousCheck.h"
#include "THarnessCheck.h"

#include <QDateTime>
#include <QDockWidget>
#include <QStringList>
#include <vector>

class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The results of the harness check in the main window, a dock below the workspace or beside
// it: the verdict large and coloured (ГОДЕН green, БРАК red), when the check ran, and the
// faults one a line in the check's own wording; for continuous verify every latched fault with
// how often and when it was first and last seen, kept up to date while the watch runs.
// Picking a fault tells which contacts it names.
class TCheckResultsPanel : public QDockWidget {
    Q_OBJECT
  public:
    enum class TColumn { Fault = 0, Count = 1, First = 2, Last = 3 };

    explicit TCheckResultsPanel(QWidget* parent = nullptr);

    // A check has started: no verdict yet, no faults.
    void ShowRunning(bool watch);
    void ShowVerified(const TCheckResult& result, const QDateTime& when);
    // Continuous verify, from its start (`from`) until now, or until `to` once it has ended.
    void ShowWatch(const std::vector<TLatchedFault>& latched, long long checks, long long clean,
                   const QDateTime& from, const QDateTime& to = {});
    // The check under way was cancelled: no verdict.
    void ShowCancelled();
    // No results: the panel of a project that has not been checked.
    void ClearResults();
    // No fault picked any more.
    void Unpick();
    // The state of the reference checked against: approved by whom and when, or not.
    void ShowApproval(const QString& text, bool approved);

    // What the panel shows now, as text: the verdict and each fault's line.
    QString Verdict() const;
    QStringList Faults() const;
    QTreeWidget* FaultList() const { return lvFaults; }
    QLabel* VerdictLabel() const { return lbVerdict; }
    QLabel* WhenLabel() const { return lbWhen; }
    QLabel* SummaryLabel() const { return lbSummary; }
    QLabel* ApprovalLabel() const { return lbApproval; }

    // The times of the panel: a check's date and time, and a latched fault's time to the
    // millisecond (a drop lasts milliseconds).
    static QString TimeText(const QDateTime& when);
    static QString MomentText(const QDateTime& when);

  signals:
    // The user picked a fault (its contacts), or none (empty).
    void FaultPicked(const QStringList& contacts);
    // Esc in the panel while it floats as a window of its own.
    void EscapePressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void SetVerdict(const QString& text, const QColor& ground);
    void SetWatchColumns(bool watch);
    QTreeWidgetItem* AddFault(const TFault& fault);
    void OnSelectionChanged();

    QLabel* lbVerdict = nullptr;
    QLabel* lbWhen = nullptr;
    QLabel* lbSummary = nullptr;
    QLabel* lbApproval = nullptr;
    QTreeWidget* lvFaults = nullptr;
};
