// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "THarness.h"

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

class TSimUnit;

// The harness of a running emulator changed by hand, one text line at a time, as a technician
// changes the real one: wires put in and pulled out, the probe moved.
//
//   probe X1:a5 | probe none | connect X1:a3 X2:b5 | disconnect X1:a3 X2:b5 | reset
//
// The harness is held as wires between two pins: a net of the harness file is a wire from its
// first pin to each other pin. `connect` adds a wire, `disconnect` takes one out (there must be
// one between exactly those pins), `reset` goes back to the harness file. The file's faults
// (opens, shorts, foreign potentials) stay as the file has them.
class TUnitControl {
  public:
    TUnitControl(TSimUnit& unit, THarness file);

    // Carries out one line: "ok", or "ошибка: ..." on one line, and then nothing has changed.
    // Safe from any thread.
    std::string Apply(std::string_view line);

  private:
    using TWire = std::array<std::uint16_t, 2>;

    void Reset();
    // The wires as nets, handed to the unit.
    void Rewire();
    // The pin code of "X1:a5", or the error text in `error`.
    bool Pin(const std::string& name, std::uint16_t& code, std::string& error) const;

    TSimUnit& FUnit;
    const THarness FFile;
    std::mutex FLock;
    std::vector<TWire> FWires;
    int FProbe = -1;
};
