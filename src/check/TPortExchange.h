// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IUnitExchange.h"

#include <QString>
#include <functional>

class IComPort;

// The round trip straight through a port of the device access library, for a caller that owns
// the port (the command-line check, tests); the tester's worker has its own.
class TPortExchange final : public IUnitExchange {
  public:
    // `rawPins`: the unit takes pin codes unchanged (unit type 101); otherwise they are reduced
    // to 0..94. `why` tells the port's own reason for a failure (may be empty).
    TPortExchange(IComPort& port, bool rawPins, std::function<QString()> why = {});

    // Raises EUnitError with a Russian text when the unit does not answer, or answers with
    // another code or length.
    void WriteRead(const std::vector<std::uint16_t>& pins, const std::vector<std::uint8_t>& levels,
                   std::vector<std::uint8_t>& read) override;
    std::uint8_t ProbeIn() const override { return FProbeIn; }

    // The pin code a unit takes: unchanged for unit type 101, else 272..366 and 400..494 become
    // 0..94 and other codes stay.
    static std::uint16_t UnitPin(std::uint16_t code, bool rawPins);

  private:
    IComPort& FPort;
    bool FRawPins;
    std::function<QString()> FWhy;
    std::vector<std::uint8_t> FFrame;
    std::uint8_t FProbeIn = 0;
};
