// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The contract between the program and the device access library (libkestrum.so or a vendor's
// replacement). This header is shared by both sides and uses plain C++ types only, so a library
// built without Qt can implement it.

#include <cstdint>

// Start-up data handed to Init.
struct SCP_Info {
    std::int32_t Kind;    // always 3
    const char* Title;    // the application title, zero-terminated
    std::intptr_t Window; // the application window (0 when there is none yet)
    std::uint8_t Flag;    // always 1
};

// How the library reaches the unit; taken from the settings file's "Device" section.
struct KestrumConfig {
    std::int32_t Size;           // sizeof(KestrumConfig), for future growth
    const char* Link;            // "sim", "serial:/dev/ttyACM0", "tcp:127.0.0.1:5025"; null = "sim"
    const char* Harness;         // harness description for the simulated unit; null = none
    std::int32_t ReplyTimeoutMs; // what a time-out of -1 means; <= 0 = 1000
    // Fields below were added later; a library reads each only when Size covers it. The first
    // record ended with ReplyTimeoutMs, and its size took in the padding after it, so that
    // padding stays unused: a field there would read an older caller's garbage.
    std::int32_t Reserved; // 0
    // The simulated unit's time per answer in microseconds, the pace of a real unit by default;
    // 0 = as fast as it can, < 0 or a record too short to hold it = 1000.
    std::int32_t SimReplyUs;
};

// Unit command and reply codes carried by Send, ReplyCode and the link frames.
namespace UnitCode {
constexpr std::int32_t Stop = 2;
constexpr std::int32_t Confirm = 8; // reply only: done, no data
constexpr std::int32_t WriteRead = 21;
constexpr std::int32_t Write = 22;
constexpr std::int32_t ReadZond = 23;
constexpr std::int32_t WriteZond = 24;
constexpr std::int32_t Autonomous = 28;
} // namespace UnitCode

// Results are plain 32-bit values that callers use as the comments say.
class IComPort {
  public:
    virtual std::int32_t Init(const SCP_Info* info) = 0; // non-zero = success
    virtual std::int32_t Start() = 0;
    virtual std::int32_t Done() = 0;   // last call, after Close
    virtual std::int32_t Close() = 0;  // closes the link; Open may follow
    virtual std::int32_t Reboot() = 0; // the unit restarts
    // Sends one command: non-zero when the frame went out. A reply still pending from an earlier
    // command is discarded (stop, which gets no reply, leaves it in place).
    virtual std::int32_t Send(std::int32_t code, std::int32_t length, const std::uint8_t* data) = 0;
    // Waits for the reply to the last command: 0 when a reply is there, non-zero when none came
    // within the time-out (-1 = the configured longest wait) or the link failed; then ReplyCode
    // and ReplyLength are 0.
    virtual std::int32_t Wait(std::int32_t timeoutMs) = 0;
    // Waits for the reply and answers 0 when its code equals `code` (the command is confirmed),
    // non-zero otherwise (another code, no reply in time, or a link failure).
    virtual std::int32_t WaitFor(std::int32_t code, std::int32_t timeoutMs) = 0;
    virtual const std::uint8_t* ReplyData() = 0; // valid until the next Send
    virtual std::int32_t ReplyLength() = 0;
    virtual std::int32_t ReplyCode() = 0;
    virtual std::int32_t LastError() = 0;             // 0 = no error
    virtual std::int32_t Open(std::int32_t* out) = 0; // non-zero = success
    virtual std::int32_t UnitType() = 0;              // 101 = takes pin codes unchanged

    // Frees the object; the library that created it frees it.
    virtual void Release() = 0;

  protected:
    ~IComPort() = default;
};

// The one exported creator of the device access library.
#define KESTRUM_CREATOR_NAME "KestrumCreatePort"
extern "C" {
typedef IComPort* (*KestrumCreatePortFn)(const KestrumConfig* config);
}

// Optional exports of libkestrum.so; a vendor's library may lack them, so callers resolve them
// separately and do without when they are missing.

// The text of the port's last error (UTF-8, zero-terminated, cut to fit); answers its full length
// in bytes, 0 when there is no error.
#define KESTRUM_ERROR_TEXT_NAME "KestrumErrorText"
extern "C" {
typedef std::int32_t (*KestrumErrorTextFn)(IComPort* port, char* buffer, std::int32_t size);
}

// Tells a port on the simulated unit to misbehave, for tests of the recovery road: the fault
// starts with the command after `afterCommands` further commands. Answers non-zero when the port
// runs on the simulated unit and took the fault.
#define KESTRUM_FAULT_NAME "KestrumSimulateFault"
extern "C" {
typedef std::int32_t (*KestrumSimulateFaultFn)(IComPort* port, std::int32_t kind,
                                               std::int32_t afterCommands);
}
namespace KestrumFault {
constexpr std::int32_t None = 0;        // behave again (an unplugged unit comes back)
constexpr std::int32_t NoReply = 1;     // every command and hello go unanswered
constexpr std::int32_t WrongCode = 2;   // replies carry the code 0x55 instead of their own
constexpr std::int32_t ConfirmOnly = 3; // replies are a bare confirmation (code 8, no data)
constexpr std::int32_t WrongLength = 4; // replies lose their last byte (an empty one gains one)
constexpr std::int32_t LinkLost = 5;    // the link breaks once; Open brings it back
constexpr std::int32_t Unplugged = 6;   // the link breaks and Open fails until None
} // namespace KestrumFault
