// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IUnitExchange.h"

#include <atomic>

// Raised by TCountingExchange when its job is stopped; the job catches it itself.
struct EJobStopped {};

// The worker's exchange as a job of the check sees it: every round trip counted (read by any
// thread, for progress and for the benchmarks), and the job ended at its next round trip once
// `stop` is set.
class TCountingExchange final : public IUnitExchange {
  public:
    TCountingExchange(IUnitExchange& unit, const std::atomic<bool>& stop,
                      std::atomic<long long>& roundTrips)
        : FUnit(unit), FStop(stop), FRoundTrips(roundTrips) {}

    void WriteRead(const std::vector<std::uint16_t>& pins, const std::vector<std::uint8_t>& levels,
                   std::vector<std::uint8_t>& read) override {
        if (FStop.load())
            throw EJobStopped();
        FUnit.WriteRead(pins, levels, read);
        ++FRoundTrips;
    }
    std::uint8_t ProbeIn() const override { return FUnit.ProbeIn(); }

  private:
    IUnitExchange& FUnit;
    const std::atomic<bool>& FStop;
    std::atomic<long long>& FRoundTrips;
};
