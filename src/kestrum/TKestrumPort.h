// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IComPort.h"
#include "TCompactForm.h"
#include "TFrameCodec.h"
#include "TUnitLink.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

// The port object of the device access library. One command is outstanding at a time: Send puts a
// frame on the link and Wait takes the frame that comes back. Calls from a second thread (stop,
// reboot, close while the worker waits) are safe: frames never interleave on the wire, and a wait
// that a reboot or Close cuts short ends at once with a failure.
class TKestrumPort final : public IComPort, private TUnitLink::Sink {
  public:
    explicit TKestrumPort(const KestrumConfig* config);
    ~TKestrumPort();

    std::int32_t Init(const SCP_Info* info) override;
    std::int32_t Start() override;
    std::int32_t Done() override;
    std::int32_t Close() override;
    std::int32_t Reboot() override;
    std::int32_t Send(std::int32_t code, std::int32_t length, const std::uint8_t* data) override;
    std::int32_t Wait(std::int32_t timeoutMs) override;
    std::int32_t WaitFor(std::int32_t code, std::int32_t timeoutMs) override;
    const std::uint8_t* ReplyData() override;
    std::int32_t ReplyLength() override;
    std::int32_t ReplyCode() override;
    std::int32_t LastError() override;
    std::int32_t Open(std::int32_t* out) override;
    std::int32_t UnitType() override;
    void Release() override;

    bool SimulateFault(int kind, int afterCommands);
    std::string ErrorText() const;

  private:
    void OnFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) override;
    void OnFailure(TKestrumError error, const std::string& text) override;

    bool Prepare();
    void SetError(TKestrumError error, std::string text);
    void SetErrorLocked(TKestrumError error, std::string text);
    void CloseLink();
    // Waits under FLock for the reply to the outstanding frame; answers None when it is there.
    TKestrumError AwaitReply(std::unique_lock<std::mutex>& lock, int timeoutMs);

    std::string FLinkSpec;
    std::string FHarnessPath;
    int FTimeoutMs;
    int FSimReplyUs; // the simulated unit's time per answer
    std::string FTitle;

    // Serialises everything that puts bytes on the link or changes it: Open, Close, Send,
    // Reboot, Done. Held only for bounded times (a write, a hello), never across Wait.
    std::mutex FIoLock;
    std::unique_ptr<TUnitLink> FLink;
    bool FPrepared = false;
    bool FDone = false;

    // The reply slot and the link state, shared with the link's reader thread.
    mutable std::mutex FLock;
    std::condition_variable FArrived;
    bool FOpen = false;
    bool FExpecting = false; // a command that gets a reply went out and its reply is not taken
    bool FPending = false;   // that reply arrived
    // Answers still to come for earlier commands whose replies were given up on (their wait
    // ended by time-out, or the next command went out first): each is dropped when it comes.
    std::size_t FOverdue = 0;
    std::uint8_t FPendingCode = 0;
    std::size_t FPendingSize = 0;
    std::array<std::uint8_t, TFrameCodec::MaxPayload> FPendingData{};
    TKestrumError FInterrupt = TKestrumError::None; // reboot or Close since the last Send
    TKestrumError FLinkError = TKestrumError::None; // the link broke since the last Open
    bool FHelloWanted = false;                      // Open waits for the unit's hello
    std::uint64_t FCloseCount = 0;                  // Close and Reboot calls (they end that wait)
    std::size_t FHelloSize = 0;
    std::array<std::uint8_t, 5> FHelloData{}; // type (2 bytes), version, capabilities
    // The compact form, when the unit's hello announced it; guarded by FLock.
    bool FCompactOn = false;
    TCompactForm FCompact;
    std::string FErrorText;
    std::atomic<std::int32_t> FLastError{0};
    std::atomic<std::int32_t> FUnitType{0};

    // The reply handed to the caller: fixed storage, so ReplyData stays a valid address whatever
    // another thread does; only Wait and WaitFor write it.
    std::atomic<std::int32_t> FReplyCode{0};
    std::atomic<std::int32_t> FReplyLength{0};
    std::array<std::uint8_t, TFrameCodec::MaxPayload> FReply{};
};
