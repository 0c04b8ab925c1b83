// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFrameCodec.h"
#include "TUnitLink.h"

#include <atomic>
#include <thread>

// A link over a file descriptor (serial line or socket). A reader thread of its own takes the
// incoming bytes apart into frames; writes are made by the caller with a bounded wait. Close wakes
// the reader through an event descriptor, joins it and only then closes the descriptor, so no
// other thread ever uses a descriptor number that has been given back.
class TFdLink : public TUnitLink {
  public:
    ~TFdLink() override;

    bool Open(std::string& error) final;
    void Close() final;
    bool SendFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) final;

  protected:
    TFdLink(Sink& sink, int writeTimeoutMs);
    // Opens the descriptor (non-blocking); -1 with a message when it cannot.
    virtual int OpenDescriptor(std::string& error) = 0;
    // What the link is called in messages ("последовательный порт /dev/ttyACM0").
    virtual std::string Describe() const = 0;
    virtual bool IsSocket() const = 0;

  private:
    void ReadLoop();
    void Fail(TKestrumError error, const std::string& text);

    Sink& FSink;
    int FWriteTimeoutMs;
    int FFd = -1;
    int FWake = -1;
    std::thread FReader;
    std::atomic<bool> FFailed{false};
    std::vector<std::uint8_t> FOut;
};
