// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFrameCodec.h"
#include "THarness.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

// The diagnostic unit in software: it answers the command frames a real unit answers, drives and
// reads its pins through the electrical model of a harness, and can be told to misbehave.
//
// Electrical model: a pin keeps the level last driven on it until another command changes it
// (stop and reboot release every pin and the probe output to 0). A net reads the OR of the levels
// driven on its pins, a pin in no net reads its own level; the probe input reads the net of the
// pin the probe touches (0 when it touches none) and the probe output drives into that net.
// A pin code the unit does not have reads 0 and ignores what is driven on it.
// The harness's faults change the nets: an open pin is cut from its net, a short joins the nets
// of its two pins, an intermittent pin is cut from its net for a while in every period (by the
// time the command arrives), and a foreign pin drives 1 on its own whatever the unit does.
class TSimUnit {
  public:
    // Reply code for a request the unit cannot take (unknown code, malformed frame).
    static constexpr std::uint8_t Refused = 0xEE;
    // Reply code the WrongCode fault puts in place of the right one.
    static constexpr std::uint8_t WrongReplyCode = 0x55;

    enum class Outcome { Reply, Silent, LinkLost };

    explicit TSimUnit(THarness harness = {});

    // Handles one frame from the host. With Reply, `reply` holds the answer.
    Outcome Handle(std::uint8_t code, const std::uint8_t* data, std::size_t size, TFrame& reply);

    // Faults (KestrumFault kinds): the fault hits the command after `afterCommands` more commands.
    void SetFault(int kind, int afterCommands);
    // Another harness on the unit while it runs (its wires and the probe changed by hand): the
    // levels driven stay, the unit type stays. Safe against Handle on another thread.
    void Rewire(THarness harness);
    // An unplugged unit cannot be reached until its fault is cleared.
    bool Unplugged() const { return FUnplugged; }

    int UnitType() const { return FHarness.UnitType; }
    // Whether the hello announces the compact form (the unit takes its frames either way).
    void SetAnnounceCompact(bool on) { FAnnounceCompact = on; }
    // What a pin reads now, by pin code (0 for a code the unit does not have).
    std::uint8_t PinLevel(int code) const;
    std::uint8_t ProbeInput() const;
    bool Autonomous() const { return FAutonomous; }
    std::size_t AutonomousTableSize() const { return FAutoTable.size(); }
    std::size_t GeneratorTableSize() const { return FGenTable.size(); }

    // The board's side, for a simulated board whose firmware drives the points itself: the level
    // driven on one pin and on the probe output, and the board's own clock for the intermittent
    // pins (from then on the unit's time is what the board says, in ms since its start).
    void DrivePin(int code, std::uint8_t level);
    void DriveProbe(std::uint8_t level);
    void SetClockMs(std::int64_t ms);
    // Brings the nets up to date after the calls above.
    void Settle();

  private:
    struct Triple {
        std::uint16_t Pin;
        std::uint8_t Value;
    };

    int PinIndex(int code) const;
    void Wire();
    void BuildNets();
    void RefreshDrops();
    int NetOf(int index) const;
    void Release();
    void Drive(const std::uint8_t* triples, std::size_t count);
    void UpdateNets();
    std::uint8_t LevelAt(int index) const;
    void Refuse(TFrame& reply) const;
    bool Execute(std::uint8_t code, const std::uint8_t* data, std::size_t size, TFrame& reply);
    bool ExecuteCompact(std::uint8_t code, const std::uint8_t* data, std::size_t size,
                        TFrame& reply);

    THarness FHarness;
    std::vector<int> FNetOf;             // pin index -> net, -1 for none
    std::vector<std::vector<int>> FNets; // nets as pin indexes
    int FProbe = -1;                     // pin index the probe touches
    std::vector<std::uint8_t> FDriven;   // per pin index, 0 or 1
    std::vector<std::uint8_t> FNetLevel; // per net, refreshed after every change
    std::vector<std::uint8_t> FForeign;  // per pin index: reads 1 on its own
    std::vector<std::uint8_t> FDropped;  // per pin index: an intermittent pin out of its net now
    std::chrono::steady_clock::time_point FStart = std::chrono::steady_clock::now();
    std::int64_t FClockMs = -1; // the board's clock; -1 while the unit keeps its own
    std::uint8_t FProbeOut = 0;
    bool FAutonomous = false;
    bool FGenOnProbe = false;
    std::vector<Triple> FAutoTable;
    std::vector<Triple> FGenTable;

    bool FAnnounceCompact = false;
    std::vector<std::uint16_t> FList; // the compact form's pin list

    std::mutex FLock; // Handle, SetFault and Rewire come from different threads in the emulator
    int FFault = 0;
    int FFaultAfter = 0;
    bool FUnplugged = false;
};
