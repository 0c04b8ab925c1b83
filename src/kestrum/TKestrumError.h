// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// What LastError reports. The numbers are part of the library's documentation (README.md).
enum class TKestrumError : std::int32_t {
    None = 0,
    NotOpen = 1,     // no link: Open has not succeeded, or Close/Done came first
    Timeout = 2,     // the unit did not answer within the wait
    LinkLost = 3,    // the peer closed the link, the device went away, a write failed
    BadFrame = 4,    // bad sync byte, length or checksum from the unit
    OpenFailed = 5,  // the device or the address could not be opened, or hello got no answer
    BadConfig = 6,   // the link setting cannot be understood
    BadHarness = 7,  // the harness description cannot be used
    Interrupted = 8, // a reboot or Close ended the wait
    BadRequest = 9,  // Send with a length or data that make no frame
    NoCommand = 10,  // Wait with no command awaiting a reply
};
