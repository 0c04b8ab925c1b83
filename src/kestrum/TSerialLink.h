#pragma once

#include "TFdLink.h"

// The USB CDC unit on a serial device node, the line set raw. When the node goes away (the cable
// is pulled) the link fails; Close and Open find the node again by its path once it is back.
class TSerialLink final : public TFdLink {
  public:
    TSerialLink(Sink& sink, std::string device, int timeoutMs);
    ~TSerialLink() override;

  protected:
    int OpenDescriptor(std::string& error) override;
    std::string Describe() const override;
    bool IsSocket() const override { return false; }

  private:
    std::string FDevice;
};
