// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IUnitExchange.h"

// A job the tester's worker runs in place of its passes (the harness check): step after step on
// the worker thread, through the worker's own exchange with the unit, under the worker's rules.
// Between steps it rests when asked to; a failure a step raises takes the worker's recovery road
// and the job goes on after it; it never touches the user interface: what it finds it keeps in
// state of its own that any thread may read.
class IHardJob {
  public:
    virtual ~IHardJob() = default;
    // One step; answers false when the job is done (the worker then rests until resumed).
    virtual bool Step(IUnitExchange& unit) = 0;
};
