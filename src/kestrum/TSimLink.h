#pragma once

#include "TSimUnit.h"
#include "TUnitLink.h"

// The simulated unit inside the library: frames reach it by a call, and its answers come back
// before SendFrame returns.
class TSimLink final : public TUnitLink {
  public:
    TSimLink(Sink& sink, THarness harness);

    bool Open(std::string& error) override;
    void Close() override;
    bool SendFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) override;
    bool SetFault(int kind, int afterCommands) override;

  private:
    Sink& FSink;
    TSimUnit FUnit;
    TFrame FReply;
    bool FOpen = false;
};
