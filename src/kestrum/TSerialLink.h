// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFdLink.h"

#include <string_view>

// The USB CDC unit on a serial device node, the line set raw at the link's speed (a unit with
// native USB ignores it; a board behind a USB-serial bridge needs its own, the open unit
// 1,000,000). When the node goes away (the cable is pulled) the link fails; Close and Open find
// the node again by its path once it is back.
class TSerialLink final : public TFdLink {
  public:
    static constexpr int DefaultBaud = 115200;

    TSerialLink(Sink& sink, std::string device, int baud, int timeoutMs);
    // The speed written after '@' in "serial:/dev/ttyACM0@1000000": false for one the line
    // cannot be set to.
    static bool ParseBaud(std::string_view text, int& baud);
    // The speeds ParseBaud takes, for messages: "9600, 19200, ...".
    static std::string KnownBauds();
    ~TSerialLink() override;

  protected:
    int OpenDescriptor(std::string& error) override;
    std::string Describe() const override;
    bool IsSocket() const override { return false; }

  private:
    std::string FDevice;
    int FBaud;
};
