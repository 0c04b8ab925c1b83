// SPDX-License-Identifier: GPL-3.0-or-later
#include "TGenerator.h"

void TGenerator::SetLines(std::int32_t n) {
    FLines_.store(n, std::memory_order_relaxed);
    // 2^n as the unit's firmware computes it, in single precision, keeping the low 32 bits.
    const std::uint32_t period = n < 0 || n >= 32 ? 0u : static_cast<std::uint32_t>(1ull << n);
    FPeriod_.store(period, std::memory_order_relaxed);
    FCounter_.store(0, std::memory_order_relaxed);
}

std::uint8_t TGenerator::Bit(std::int32_t k) {
    const std::int32_t index = FAutoIndex_.fetch_add(1, std::memory_order_relaxed);
    const std::uint32_t shift = static_cast<std::uint32_t>(k == -1 ? index : k) & 31u;
    return static_cast<std::uint8_t>((FCounter_.load(std::memory_order_relaxed) >> shift) & 1u);
}

std::uint8_t TGenerator::Toggle() {
    return static_cast<std::uint8_t>(FToggle_.fetch_xor(1, std::memory_order_relaxed) ^ 1u);
}

void TGenerator::NextStep() {
    FAutoIndex_.store(0, std::memory_order_relaxed);
    std::uint32_t next = FCounter_.load(std::memory_order_relaxed) + 1u;
    if (next == FPeriod_.load(std::memory_order_relaxed))
        next = 0;
    FCounter_.store(next, std::memory_order_relaxed);
}
