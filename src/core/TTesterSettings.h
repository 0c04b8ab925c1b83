// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>

// The tester's run-time settings. The user-interface thread writes them (the tester panel, the
// keys, the settings object) and the worker reads them on every pass, so each is an atomic.
// None of them is stored between runs: every run starts with the cycle off, both reads on and
// the probe output off.
struct TTesterSettings {
    std::atomic<bool> Cycle{false};   // passes back to back
    std::atomic<bool> ReadRaz{true};  // read the levels of the connectors' contacts
    std::atomic<bool> ReadZond{true}; // read the probe input
    // The probe write mode, the index of rgZondWrite: 0 "Hi", 1 "Low", 2 "Gen", 3 "Выключен".
    std::atomic<int> ZondWrite{3};
};

namespace ZondWriteMode {
constexpr int Hi = 0;
constexpr int Low = 1;
constexpr int Gen = 2;
constexpr int Off = 3;
} // namespace ZondWriteMode
