// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TKestrumError.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A way to reach the unit: the simulated unit, a serial line or a TCP connection. The port
// serialises Open, Close and SendFrame; frames that arrive and failures the link notices go to
// the sink, possibly from a thread of the link's own.
class TUnitLink {
  public:
    class Sink {
      public:
        virtual void OnFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) = 0;
        virtual void OnFailure(TKestrumError error, const std::string& text) = 0;

      protected:
        ~Sink() = default;
    };

    virtual ~TUnitLink() = default;
    // Opens the link; false with a Russian message (UTF-8) when it cannot.
    virtual bool Open(std::string& error) = 0;
    // Closes the link; no sink call is made after it returns.
    virtual void Close() = 0;
    // Sends one frame; a failure is also reported to the sink.
    virtual bool SendFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) = 0;
    // Only the simulated unit can be told to misbehave.
    virtual bool SetFault(int /*kind*/, int /*afterCommands*/) { return false; }
    // Whether the answer to a command still arrives, ahead of the next command's, when the next
    // command goes out before it: a unit on a wire works through its commands in order.
    virtual bool LateAnswersArrive() const { return true; }
};
