// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One frame of the serial and TCP links, in both directions: sync byte 0xA5, code, payload length
// (16 bits, little-endian), payload, and the XOR of every byte from the code to the payload's end.
struct TFrame {
    std::uint8_t Code = 0;
    std::vector<std::uint8_t> Payload;
};

// Builds frames and takes a byte stream apart into frames. The decoder accepts the stream in
// pieces of any size and never buffers more than one frame beyond what it was given.
class TFrameCodec {
  public:
    static constexpr std::uint8_t Sync = 0xA5;
    static constexpr std::uint8_t Hello = 0xF0;  // host asks, the unit answers its type
    static constexpr std::uint8_t Reboot = 0xF7; // host asks, no answer
    static constexpr std::size_t HeaderSize = 4;
    // No command or reply of a 190-pin unit comes near this; a longer length is a broken stream.
    static constexpr std::size_t MaxPayload = 4096;

    enum class Status { NeedMore, Frame, BadSync, BadLength, BadChecksum };

    // Appends the encoded frame to `out`; false (and nothing appended) when the payload is too
    // long.
    static bool Encode(std::uint8_t code, const std::uint8_t* data, std::size_t size,
                       std::vector<std::uint8_t>& out);

    void Append(const std::uint8_t* data, std::size_t size);
    // Takes the next whole frame out of the buffered bytes. After an error the stream is out of
    // step for good: the decoder keeps answering that error until Reset.
    Status Next(TFrame& frame);
    void Reset();
    // Bytes received that do not yet make a whole frame (a peer that stops mid-frame).
    std::size_t Buffered() const { return FBuffer.size() - FStart; }

    // What went wrong, in Russian (UTF-8), for logs; messages show it translated in the
    // context "TFrameCodec".
    static const char* StatusText(Status status);

  private:
    std::vector<std::uint8_t> FBuffer;
    std::size_t FStart = 0;
    Status FBroken = Status::NeedMore;
};
