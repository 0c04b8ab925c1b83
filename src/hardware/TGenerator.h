// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <cstdint>

// The square-wave generator of the tester. With n lines a counter runs 0 .. 2^n - 1, one step
// per pass, and the contact on line k drives bit k of the counter. It also keeps the toggle bit
// that drives the probe output in the "Gen" mode. The user-interface thread changes the number
// of lines while the worker steps it, so every field is an atomic; a change takes effect from
// the next call.
class TGenerator {
  public:
    std::int32_t FLines() const { return FLines_.load(std::memory_order_relaxed); }
    std::int32_t FAutoIndex() const { return FAutoIndex_.load(std::memory_order_relaxed); }
    std::uint32_t FCounter() const { return FCounter_.load(std::memory_order_relaxed); }
    std::uint8_t FToggle() const { return FToggle_.load(std::memory_order_relaxed); }
    std::uint32_t FPeriod() const { return FPeriod_.load(std::memory_order_relaxed); }

    // Sets the number of lines and restarts the counter; the period is 2^n cut to 32 bits
    // (32 lines and more: the counter wraps at the end of its range; a negative n gives 0).
    void SetLines(std::int32_t n);
    // Bit `k` of the counter, or of the automatic index when k is -1; only the low five bits of
    // the shift count. Every call advances the automatic index.
    std::uint8_t Bit(std::int32_t k);
    // Flips the probe toggle bit and answers its new value.
    std::uint8_t Toggle();
    void NextStep();

  private:
    std::atomic<std::int32_t> FLines_{0};
    std::atomic<std::int32_t> FAutoIndex_{0};
    std::atomic<std::uint32_t> FCounter_{0};
    std::atomic<std::uint8_t> FToggle_{0};
    std::atomic<std::uint32_t> FPeriod_{0};
};
