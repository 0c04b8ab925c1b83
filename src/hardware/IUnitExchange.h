// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

// One round trip to the unit, the only thing the harness check (src/check) asks of it: command
// 21 drives levels[i] on pins[i] and reads every listed pin back. The tester's worker offers it
// over its own port; a caller that owns a port uses the check's TPortExchange. Pin codes are the
// table's (X1 from 400, X2 from 272); the exchange turns them into what its unit takes. A unit that
// does not answer properly raises (EUnitError), and the caller's own road handles it.
class IUnitExchange {
  public:
    virtual ~IUnitExchange() = default;
    // `read` gets one level per pin, in the order of `pins`.
    virtual void WriteRead(const std::vector<std::uint16_t>& pins,
                           const std::vector<std::uint8_t>& levels,
                           std::vector<std::uint8_t>& read) = 0;
    // The probe input as the last round trip read it (the unit answers it after the pins); 0
    // from an exchange that has no probe. Asked on the thread that made the round trip.
    virtual std::uint8_t ProbeIn() const { return 0; }
};
