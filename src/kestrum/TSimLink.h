// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TSimUnit.h"
#include "TUnitLink.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// The simulated unit inside the library. Frames reach it by a call; it answers either before
// SendFrame returns (no pace) or, at a unit's pace, from a thread of its own once each answer is
// due. Answers come in the order of their commands, one pace apart at the least, as from a unit
// that works through its commands one by one.
class TSimLink final : public TUnitLink {
  public:
    // `replyUs`: the time from a command to its answer, microseconds; 0 answers at once.
    TSimLink(Sink& sink, THarness harness, int replyUs = 0);
    ~TSimLink() override;

    bool Open(std::string& error) override;
    void Close() override;
    bool SendFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) override;
    bool SetFault(int kind, int afterCommands) override;
    // A new command takes the place of an answer still on its way.
    bool LateAnswersArrive() const override { return false; }

  private:
    using TClock = std::chrono::steady_clock;
    struct TDue {
        TClock::time_point At;
        TFrame Reply;
    };

    void Deliver();
    void StopDelivery();

    Sink& FSink;
    TSimUnit FUnit;
    TFrame FReply;
    bool FOpen = false;
    const std::chrono::microseconds FPace;

    // Answers on their way; the delivery thread hands them to the sink while holding FDueLock,
    // so an answer dropped by a reboot or Close can never arrive afterwards.
    std::mutex FDueLock;
    std::condition_variable FDueChanged;
    std::deque<TDue> FDue;
    TClock::time_point FLastDue{};
    bool FStopDelivery = false;
    std::thread FDeliverer;
};
