// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TSimUnit.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct avr_t;
struct avr_irq_t;

// The open unit's board around a simulated ATmega2560: the 74HC595 chain on MOSI with its latch
// and output enable, the 74HC165 chain on MISO with its load line, the probe's two pins, and the
// harness on the points, through the simulated unit's electrical model (diodes make a net the OR
// of its drivers, pull-downs make an undriven net read 0).
class TAvrBoard {
  public:
    static constexpr int ChainBytes = 24;
    static constexpr int Points = 190;

    TAvrBoard(avr_t* avr, THarness harness);
    TAvrBoard(const TAvrBoard&) = delete;
    TAvrBoard& operator=(const TAvrBoard&) = delete;

  private:
    static void OnSpi(avr_irq_t* irq, std::uint32_t value, void* self);
    static void OnSpiWrite(avr_t* avr, std::uint16_t addr, std::uint8_t value, void* self);
    static void OnLatch(avr_irq_t* irq, std::uint32_t value, void* self);
    static void OnLoad(avr_irq_t* irq, std::uint32_t value, void* self);
    static void OnOutputEnable(avr_irq_t* irq, std::uint32_t value, void* self);
    static void OnProbeOut(avr_irq_t* irq, std::uint32_t value, void* self);

    // The levels on the points changed: tell the harness and the probe's input.
    void Apply();
    // The 165s take the points' levels in.
    void Sample();
    void UpdateProbeInput();
    void Clock();

    avr_t* FAvr;
    // The simulator's own handler of SPDR, called first by ours.
    void (*FSpiWrite)(avr_t*, std::uint16_t, std::uint8_t, void*) = nullptr;
    void* FSpiParam = nullptr;
    TSimUnit FModel;
    avr_irq_t* FSpiIn = nullptr;
    avr_irq_t* FProbeIn = nullptr;
    std::array<std::uint8_t, ChainBytes> FShift595{};
    std::array<std::uint8_t, ChainBytes> FLatched{};
    std::array<std::uint8_t, ChainBytes> FShift165{};
    bool FEnabled = false; // /OE low
    bool FLoading = false; // SH/LD low
    std::uint8_t FProbeOut = 0;
};
