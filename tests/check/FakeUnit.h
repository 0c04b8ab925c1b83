// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A unit in the test: pins wired into nets, each net reading the OR of the levels driven on its
// pins, a pin in no net reading its own level, foreign pins driving 1 on their own. The wiring
// may change between round trips (an intermittent contact).

#include "IUnitExchange.h"
#include "TErrors.h"

#include <array>
#include <functional>

class TFakeUnit : public IUnitExchange {
  public:
    static constexpr int Codes = 512; // pin codes below this

    TFakeUnit() {
        Alone();
        Foreign.fill(0);
    }
    // Every pin in a net of its own.
    void Alone() {
        for (int i = 0; i < Codes; ++i)
            NetOf[std::size_t(i)] = Codes + i;
    }
    // Wires the points' pins as these nets (of point indexes).
    void Wire(const std::vector<std::vector<int>>& nets, const std::vector<std::uint16_t>& pins) {
        Alone();
        for (std::size_t n = 0; n < nets.size(); ++n)
            for (int p : nets[n])
                NetOf[pins[std::size_t(p)]] = int(n);
    }
    void Cut(std::uint16_t pin) { NetOf[pin] = Codes + pin; }

    std::array<int, Codes> NetOf{};            // pin -> net
    std::array<std::uint8_t, Codes> Foreign{}; // 1: reads 1 on its own
    long long Calls = 0;
    long long FailAt = -1; // this round trip raises, as a lost unit does
    // Called before each round trip with its number (from 1), to change the wiring.
    std::function<void(TFakeUnit&, long long)> BeforeTrip;
    bool Record = false;
    std::vector<std::vector<std::uint8_t>> Driven; // the levels of every round trip when recorded

    void WriteRead(const std::vector<std::uint16_t>& pins, const std::vector<std::uint8_t>& levels,
                   std::vector<std::uint8_t>& read) override {
        ++Calls;
        if (Calls == FailAt)
            throw EUnitError(QStringLiteral("Блок диагностики не ответил"));
        if (BeforeTrip)
            BeforeTrip(*this, Calls);
        if (Record)
            Driven.push_back(levels);
        FLevel.fill(0);
        for (std::size_t i = 0; i < pins.size(); ++i)
            FLevel[std::size_t(NetOf[pins[i]])] |= std::uint8_t(levels[i] | Foreign[pins[i]]);
        read.resize(pins.size());
        for (std::size_t i = 0; i < pins.size(); ++i)
            read[i] = FLevel[std::size_t(NetOf[pins[i]])];
    }

  private:
    std::array<std::uint8_t, 2 * Codes> FLevel{};
};
