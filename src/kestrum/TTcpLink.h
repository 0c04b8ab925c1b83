// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFdLink.h"

// A TCP connection to the unit emulator or a networked unit.
class TTcpLink final : public TFdLink {
  public:
    TTcpLink(Sink& sink, std::string host, int port, int timeoutMs);
    ~TTcpLink() override;

  protected:
    int OpenDescriptor(std::string& error) override;
    std::string Describe() const override;
    bool IsSocket() const override { return true; }

  private:
    std::string FHost;
    int FPort;
    int FTimeoutMs;
};
