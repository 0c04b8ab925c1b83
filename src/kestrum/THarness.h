// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What the simulated unit's pins are wired to: nets of unit pins and the pin the probe touches,
// and the faults of a harness under test, read from a JSON harness description:
//   {"nets": [["X1:a1", "X2:c5"], ...], "probe": "X1:a3", "unitType": 101,
//    "opens": ["X1:a1"], "shorts": [["X1:b1", "X1:b2"]], "foreign": ["X2:a7"],
//    "intermittent": [{"pin": "X2:c5", "dropMs": 5, "periodMs": 200}]}
class THarness {
  public:
    static constexpr int DefaultUnitType = 101;

    // A pin that leaves its net for DropMs at the end of every PeriodMs.
    struct TIntermittent {
        std::uint16_t Pin = 0;
        int DropMs = 0;
        int PeriodMs = 0;
    };

    int UnitType = DefaultUnitType;
    std::vector<std::vector<std::uint16_t>> Nets;     // pin codes; a pin is in one net at most
    int ProbePin = -1;                                // pin code, -1 when the probe touches none
    std::vector<std::uint16_t> Opens;                 // pins cut from their net
    std::vector<std::array<std::uint16_t, 2>> Shorts; // pairs of pins joined (their nets join)
    std::vector<TIntermittent> Intermittent;
    std::vector<std::uint16_t> Foreign; // pins that read 1 on their own (and drive their net)

    // Reads a harness file. On failure answers false and a Russian message (UTF-8) naming the
    // file and the problem.
    static bool Load(const std::string& path, THarness& harness, std::string& error);
    // Parses the text of a harness description; `name` is the file named in messages.
    static bool Parse(const std::string& text, const std::string& name, THarness& harness,
                      std::string& error);

    // The pin code of a unit pin written "X1:a1" .. "X2:c31" on a unit of the given type: X1 from
    // 400 and X2 from 272 for type 101, both from 0 for any other type; -1 when there is no such
    // pin (c32 is not wired on either connector).
    static int PinCode(std::string_view name, int unitType);
};
