// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFrameCodec.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The link's compact form of commands 21, 22 and 24, for a unit whose hello announces it: the
// pin list goes once (frame 0x40, and again whenever it changes), then each command carries its
// levels as a bit mask in the list's order and the unit answers levels as a bit mask. The port's
// callers see the full form's replies. Layout: src/kestrum/README.md.
class TCompactForm {
  public:
    static constexpr std::uint8_t PinList = 0x40;
    static constexpr std::uint8_t MaskWriteRead = 0x41;  // in place of 21
    static constexpr std::uint8_t MaskWrite = 0x42;      // in place of 22
    static constexpr std::uint8_t MaskWriteProbe = 0x44; // in place of 24
    // Bit 0 of the hello's fifth byte (after type, version major and minor).
    static constexpr std::uint8_t CanCompact = 0x01;
    static constexpr std::size_t MaxPins = 190;

    // Whether a unit's hello answer announces the compact form.
    static bool Announced(const std::uint8_t* hello, std::size_t size);
    // Bit i of byte i/8 for level i (any non-zero level is 1).
    static std::vector<std::uint8_t> Mask(const std::uint8_t* levels, std::size_t count,
                                          std::size_t stride);

    // The unit's list is unknown (a new session, a reboot): it goes again with the next command.
    void Forget();
    // The frames that carry the command, or false when it goes in the full form (another
    // command, a malformed request, a pin the unit lacks, more pins than it has).
    bool Encode(std::uint8_t code, const std::uint8_t* data, std::size_t size,
                std::vector<TFrame>& frames);
    // No compact command is outstanding (a full-form command went).
    void Cancel() { FActive = false; }

    enum class Reply { Deliver, Swallow };
    // A frame from the unit: the list's confirmation is swallowed; a mask reply to the compact
    // command outstanding is rewritten in place into the full form's reply.
    Reply Decode(TFrame& frame);
    // Whether a frame of this code is the confirmation of a pin list sent (Decode swallows it).
    bool Confirms(std::uint8_t code) const;

  private:
    static bool UnitPin(unsigned code);

    std::vector<std::uint16_t> FList;
    bool FListKnown = false;
    int FSwallow = 0; // list confirmations still to come
    bool FActive = false;
    std::uint8_t FCode = 0;
    std::size_t FCount = 0;
    bool FRead = false;
};
