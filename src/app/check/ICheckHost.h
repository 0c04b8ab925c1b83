// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TAbstractHard;
class TSootv;
class TWorkPlace;
class TWorkPlaceView;

// What the harness check in the window needs of the main window, which owns the worker, the
// project and the tester panel. The main window implements it; tests may give a fake.
class ICheckHost {
  public:
    virtual ~ICheckHost() = default;

    // The tester's worker; null when there is none.
    virtual TAbstractHard* Worker() = 0;
    virtual TWorkPlace* WorkPlace() const = 0;
    virtual TSootv* Sootv() const = 0;
    // The workspace's widget (the connectors on screen); null when there is none.
    virtual TWorkPlaceView* WorkPlaceView() const = 0;
    // The tester mode is on: the panels and menus of the tester show.
    virtual bool IsTesterMode() const = 0;
    // The path of the open project; empty while it has never been saved.
    virtual QString ProjectFile() const = 0;
    // The tester's controls (probe output, reading, cycle) take input or stand still while a
    // check has the unit.
    virtual void SetTesterControlsEnabled(bool on) = 0;
};
