// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IHardView.h"

#include <QCoreApplication>

class TfmMain;

// The main window as the tester's worker sees it: it creates the worker, brings it to rest and
// resumes it, paints the levels the worker read, shows the probe lamps and the worker's messages
// and questions (the recovery of a lost unit among them), and runs the service menu's connection
// check and reboot. Every IHardView call of the window lands here.
class TWorkerView {
    Q_DECLARE_TR_FUNCTIONS(TfmMain)
  public:
    explicit TWorkerView(TfmMain& main) : FMain(main) {}

    void N15Click();
    void N16Click();

    void CreateWorker();
    void WorkerResume();
    // Brings the worker to rest before the workspace is changed or replaced; false, with a
    // message, when it did not come to rest.
    bool WorkerToRest();
    void WorkerFillPins();
    void WorkerStopAfterPass();
    void WorkerMustRepair();
    bool WorkerAutonomous() const;
    int GeneratorLines() const;
    void GeneratorReset();

    // IHardView, on the window's behalf.
    void RepaintContacts(const std::vector<TPaintItem>& items);
    void ShowZondState(TColor zondIn, TColor zondOut);
    bool ShowMessage(const QString& text, THardMessage kind);
    void RestoreReads();
    void ShowAutonomous(bool on);
    void StopCycle();
    void SetModeControls(bool changeMode, bool editorItem, bool testerItem);
    void LeaveTesterMode();

  private:
    TfmMain& FMain;
};
