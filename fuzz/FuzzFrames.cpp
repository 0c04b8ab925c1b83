// SPDX-License-Identifier: GPL-3.0-or-later
// fuzz-frames: arbitrary bytes from a unit (or a host) through the frame decoder, in pieces of
// varying size, and every whole frame through the simulated unit. Nothing may crash, read out of
// bounds or buffer without limit; a decoded frame must encode back to the same bytes.

#include "TFrameCodec.h"
#include "THarness.h"
#include "TSimUnit.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    static const THarness harness = [] {
        THarness h;
        std::string error;
        THarness::Parse(
            R"({"nets": [["X1:a1", "X2:a1"], ["X1:a2", "X2:b5", "X1:a3"]], "probe": "X2:b5"})",
            "fuzz", h, error);
        return h;
    }();
    TSimUnit unit(harness);
    TFrameCodec decoder;
    TFrame frame;
    TFrame reply;
    std::vector<std::uint8_t> encoded;
    const std::size_t piece = 1 + data[0] % 64;
    ++data;
    --size;
    std::size_t offset = 0;
    while (offset < size) {
        const std::size_t n = size - offset < piece ? size - offset : piece;
        decoder.Append(data + offset, n);
        offset += n;
        TFrameCodec::Status status;
        while ((status = decoder.Next(frame)) == TFrameCodec::Status::Frame) {
            encoded.clear();
            if (!TFrameCodec::Encode(frame.Code, frame.Payload.data(), frame.Payload.size(),
                                     encoded))
                std::abort();
            if (unit.Handle(frame.Code, frame.Payload.data(), frame.Payload.size(), reply) ==
                TSimUnit::Outcome::Reply) {
                if (reply.Code == 21 && reply.Payload.size() != frame.Payload.size() / 3 + 1)
                    std::abort();
                if (reply.Payload.size() > TFrameCodec::MaxPayload)
                    std::abort();
            }
        }
        if (status != TFrameCodec::Status::NeedMore)
            return 0; // the stream is broken for good: exactly what the link reports
        if (decoder.Buffered() > TFrameCodec::HeaderSize + TFrameCodec::MaxPayload + 1)
            std::abort();
    }
    return 0;
}
