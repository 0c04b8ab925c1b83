// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QMenu;
class TGenerator;

// What the connectors' mouse handling needs from the main window, which owns the worker, the
// settings and the menus. The main window implements it; tests give a fake.
class IWorkspaceHost {
  public:
    virtual ~IWorkspaceHost() = default;

    // The worker's generator (its line count is the number of generator contacts); null when
    // there is no worker, and then a right click hands out no generator.
    virtual TGenerator* Generator() = 0;
    // The setting "Читать разъем": while it is off a new generator contact shows yellow.
    virtual bool ReadRaz() const = 0;
    // The index of the probe output selector rgZondWrite (ZondWriteMode: 0 Hi .. 3 off).
    virtual int ZondWrite() const = 0;
    // Switches the test cycle on or off exactly as the settings object's SetCycle does
    // (panel look, worker resumed or told to stop after the pass).
    virtual void SetCycle(bool on) = 0;
    // Resumes the worker if it is at rest, so that changed contact states reach the unit.
    virtual void ResumeWorker() = 0;
    // The contact popup menu pmCont, shown on a connector in the editor mode; null for none.
    virtual QMenu* ContactMenu() = 0;
};
