// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TCheckController.h"
#include "TCheckJob.h"

#include <QCoreApplication>

// A check's life on the tester's worker, for the controller: started as a job of the worker,
// looked at on the controller's timer, finished with its results shown, or ended at once. The
// menu, the status bar's widgets, the marks and the sound stay the controller's; the run drives
// them.
class TCheckRun {
    Q_DECLARE_TR_FUNCTIONS(TCheckController)
  public:
    explicit TCheckRun(TCheckController& controller) : FController(controller) {}

    void Start(TCheckJob::TKind kind, TCheckPoints points, TReference reference);
    void Poll();
    // The check under way ends at once, without results.
    void EndCheck();

  private:
    void ShowProgress();
    void ShowLatched(const std::vector<TLatchedFault>& latched);
    void ReturnToIdle();
    void Finish();
    void SetState(TCheckController::TState state);

    TCheckController& FController;
};
