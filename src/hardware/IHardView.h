// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TColors.h"

#include <QString>
#include <cstdint>
#include <vector>

// One contact whose indicator colour the worker has just changed: the entry `FPaintEntry` of the
// correspondence `FPaintSootv`, which is the cell (`FPaintCol`, `FPaintRow`) of the connector at
// index `FRazemIndex` of the workspace.
struct TPaintItem {
    std::int32_t FPaintSootv = 0;
    std::int32_t FPaintEntry = 0;
    std::int32_t FRazemIndex = 0;
    std::int32_t FPaintCol = 0;
    std::int32_t FPaintRow = 0;
    bool operator==(const TPaintItem&) const = default;
};

// The boxes the worker shows (each captioned with the application title).
enum class THardMessage {
    Information,     // information icon, OK
    Warning,         // warning icon, OK
    Stop,            // stop (error) icon, OK
    WarningQuestion, // warning icon, Yes / No
    PlainQuestion,   // no icon, Yes / No
};

// What the tester's worker needs of the user interface. The main window implements it; every
// operation runs on the user-interface thread while the worker waits for it to finish (the worker
// makes these calls through TSyncCaller, never directly), so an implementation may touch widgets
// and the model freely but must not wait for the worker itself (TAbstractHard::BringToRest
// called from inside one of these calls only records the request; the worker rests right after).
class IHardView {
  public:
    virtual ~IHardView() = default;

    // Redraws each listed contact at once from its IndColor (the connector's RedrawCell). An
    // index that no longer names a connector is skipped.
    virtual void RepaintContacts(const std::vector<TPaintItem>& items) = 0;
    // plZondIn_Ind shows zondIn, plZondOut_Ind shows zondOut.
    virtual void ShowZondState(TColor zondIn, TColor zondOut) = 0;
    // Shows a box with the text; answers true for Yes (and for OK on boxes without a question).
    virtual bool ShowMessage(const QString& text, THardMessage kind) = 0;
    // The user declined the autonomous mode: check cbReadRaz, SetReadRaz(true), check cbReadZond,
    // ReadZond := true.
    virtual void RestoreReads() = 0;
    // The unit enters (true) or leaves (false) the autonomous mode: the workspace's
    // SetRazemsEnabled(!on), rgZondWrite enabled := !on.
    virtual void ShowAutonomous(bool on) = 0;
    // A stop request ended the cycle: the settings' SetCycle(false) (plCicle raised, Cycle off,
    // the worker's FStopAfterPass set again).
    virtual void StopCycle() = 0;
    // After a re-initialisation: acChangeMode, menu items N7 ("Редактор") and N8 ("Тестер")
    // enabled as given.
    virtual void SetModeControls(bool changeMode, bool editorItem, bool testerItem) = 0;
    // Executes acChangeMode to leave the tester mode (called only while in the tester mode); the
    // mode switch suspends the worker.
    virtual void LeaveTesterMode() = 0;
};
