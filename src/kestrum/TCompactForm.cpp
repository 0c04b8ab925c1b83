// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCompactForm.h"

#include "IComPort.h"

namespace {
constexpr std::uint8_t Refused = 0xEE;
}

bool TCompactForm::Announced(const std::uint8_t* hello, std::size_t size) {
    return size >= 5 && (hello[4] & CanCompact) != 0;
}

std::vector<std::uint8_t> TCompactForm::Mask(const std::uint8_t* levels, std::size_t count,
                                             std::size_t stride) {
    std::vector<std::uint8_t> mask((count + 7) / 8, 0);
    for (std::size_t i = 0; i < count; ++i)
        if (levels[i * stride] != 0)
            mask[i / 8] = static_cast<std::uint8_t>(mask[i / 8] | (1u << (i % 8)));
    return mask;
}

// The pins of a unit of type 101: X2 272..366, X1 400..494.
bool TCompactForm::UnitPin(unsigned code) {
    return (code >= 272 && code <= 366) || (code >= 400 && code <= 494);
}

void TCompactForm::Forget() {
    FListKnown = false;
    FList.clear();
    FSwallow = 0;
    FActive = false;
}

bool TCompactForm::Encode(std::uint8_t code, const std::uint8_t* data, std::size_t size,
                          std::vector<TFrame>& frames) {
    FActive = false;
    std::size_t head = 0;
    if (code == UnitCode::WriteRead || code == UnitCode::Write)
        head = 0;
    else if (code == UnitCode::WriteZond && size >= 2)
        head = 2;
    else
        return false;
    if ((size - head) % 3 != 0 || (size - head) / 3 > MaxPins)
        return false;
    const std::size_t count = (size - head) / 3;
    std::vector<std::uint16_t> list(count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* t = data + head + 3 * i; // count > 0: data holds the triples
        list[i] = static_cast<std::uint16_t>(t[0] << 8 | t[1]);
        if (!UnitPin(list[i]))
            return false;
    }
    if (!FListKnown || list != FList) {
        TFrame frame;
        frame.Code = PinList;
        for (std::uint16_t pin : list) {
            frame.Payload.push_back(static_cast<std::uint8_t>(pin >> 8));
            frame.Payload.push_back(static_cast<std::uint8_t>(pin & 0xFF));
        }
        frames.push_back(std::move(frame));
        FList = std::move(list);
        FListKnown = true;
        ++FSwallow;
    }
    TFrame frame;
    frame.Code = code == UnitCode::WriteRead ? MaskWriteRead
                 : code == UnitCode::Write   ? MaskWrite
                                             : MaskWriteProbe;
    if (size > 0) // an empty command 21 or 22 has no data at all
        frame.Payload.assign(data, data + head);
    frame.Payload.resize(head + (count + 7) / 8, 0);
    for (std::size_t i = 0; i < count; ++i)
        if (data[head + 3 * i + 2] != 0)
            frame.Payload[head + i / 8] =
                static_cast<std::uint8_t>(frame.Payload[head + i / 8] | (1u << (i % 8)));
    frames.push_back(std::move(frame));
    FActive = true;
    FCode = code;
    FCount = count;
    FRead = code == UnitCode::WriteRead || (code == UnitCode::WriteZond && data[1] != 0);
    return true;
}

bool TCompactForm::Confirms(std::uint8_t code) const {
    return FSwallow > 0 && (code == PinList || code == Refused);
}

TCompactForm::Reply TCompactForm::Decode(TFrame& frame) {
    if (FSwallow > 0 && (frame.Code == PinList || frame.Code == Refused)) {
        --FSwallow;
        if (frame.Code == Refused)
            FListKnown = false; // sent again with the next command
        return Reply::Swallow;
    }
    if (!FActive)
        return Reply::Deliver;
    const std::uint8_t expected = FCode == UnitCode::WriteRead ? MaskWriteRead
                                  : FCode == UnitCode::Write   ? MaskWrite
                                                               : MaskWriteProbe;
    if (frame.Code != expected)
        return Reply::Deliver; // 0xEE and the like reach the caller as they came
    FActive = false;
    const std::size_t maskBytes = (FCount + 1 + 7) / 8;
    if (FRead && frame.Payload.size() == maskBytes) {
        std::vector<std::uint8_t> levels(FCount + 1);
        for (std::size_t i = 0; i <= FCount; ++i)
            levels[i] = (frame.Payload[i / 8] >> (i % 8)) & 1u;
        frame.Payload = std::move(levels);
    }
    frame.Code = FCode;
    return Reply::Deliver;
}
