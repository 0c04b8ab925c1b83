// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFrameCodec.h"

#include <QtGlobal>
#include <algorithm>

bool TFrameCodec::Encode(std::uint8_t code, const std::uint8_t* data, std::size_t size,
                         std::vector<std::uint8_t>& out) {
    if (size > MaxPayload || (size > 0 && data == nullptr))
        return false;
    const std::uint8_t lo = static_cast<std::uint8_t>(size & 0xFF);
    const std::uint8_t hi = static_cast<std::uint8_t>(size >> 8);
    std::uint8_t sum = code ^ lo ^ hi;
    out.reserve(out.size() + HeaderSize + size + 1);
    out.push_back(Sync);
    out.push_back(code);
    out.push_back(lo);
    out.push_back(hi);
    for (std::size_t i = 0; i < size; ++i) {
        out.push_back(data[i]);
        sum ^= data[i];
    }
    out.push_back(sum);
    return true;
}

void TFrameCodec::Append(const std::uint8_t* data, std::size_t size) {
    if (FStart > 0 && FStart == FBuffer.size()) {
        FBuffer.clear();
        FStart = 0;
    } else if (FStart > MaxPayload) {
        FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(FStart));
        FStart = 0;
    }
    FBuffer.insert(FBuffer.end(), data, data + size);
}

TFrameCodec::Status TFrameCodec::Next(TFrame& frame) {
    if (FBroken != Status::NeedMore)
        return FBroken;
    const std::size_t have = Buffered();
    if (have == 0)
        return Status::NeedMore;
    const std::uint8_t* p = FBuffer.data() + FStart;
    if (p[0] != Sync)
        return FBroken = Status::BadSync;
    if (have < HeaderSize)
        return Status::NeedMore;
    const std::size_t size = static_cast<std::size_t>(p[2]) | (static_cast<std::size_t>(p[3]) << 8);
    if (size > MaxPayload)
        return FBroken = Status::BadLength;
    if (have < HeaderSize + size + 1)
        return Status::NeedMore;
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i < HeaderSize + size; ++i)
        sum ^= p[i];
    if (sum != p[HeaderSize + size])
        return FBroken = Status::BadChecksum;
    frame.Code = p[1];
    frame.Payload.assign(p + HeaderSize, p + HeaderSize + size);
    FStart += HeaderSize + size + 1;
    return Status::Frame;
}

void TFrameCodec::Reset() {
    FBuffer.clear();
    FStart = 0;
    FBroken = Status::NeedMore;
}

const char* TFrameCodec::StatusText(Status status) {
    switch (status) {
    case Status::NeedMore:
        return QT_TRANSLATE_NOOP("TFrameCodec", "неполный кадр");
    case Status::Frame:
        return QT_TRANSLATE_NOOP("TFrameCodec", "кадр");
    case Status::BadSync:
        return QT_TRANSLATE_NOOP("TFrameCodec", "неверный байт синхронизации");
    case Status::BadLength:
        return QT_TRANSLATE_NOOP("TFrameCodec", "недопустимая длина данных");
    case Status::BadChecksum:
        return QT_TRANSLATE_NOOP("TFrameCodec", "неверная контрольная сумма");
    }
    return "?";
}
