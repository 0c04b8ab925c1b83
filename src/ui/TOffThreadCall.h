// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

// Runs a function on a thread of its own while the calling (user-interface) thread goes on
// serving its event loop, and answers the function's result once it has finished. For work that
// may wait on the unit as long as the reply time-out allows (the unit's hello at start-up): the
// splash stays painted and the program answers meanwhile.
class TOffThreadCall {
  public:
    static bool Run(const std::function<bool()>& fn);
};
