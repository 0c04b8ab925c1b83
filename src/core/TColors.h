// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// Colour values are 32-bit numbers laid out 0x00BBGGRR (red in the low byte). A value whose high
// byte is 0xFF names a system colour by the index in its low byte; such values are stored as they
// are and turned into a real colour only when drawn.
using TColor = std::uint32_t;

namespace Colors {
constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clBtnShadow = 0xFF000010;
constexpr TColor clInfoBk = 0xFF000018;
constexpr TColor clGradientInactiveCaption = 0xFF00001C;

constexpr TColor clBlack = 0x00000000;
constexpr TColor clWhite = 0x00FFFFFF;
constexpr TColor clAqua = 0x00FFFF00;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor clGray = 0x00808080;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clGreen = 0x00008000;
constexpr TColor clNavy = 0x00800000;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clMaroon = 0x00000080;

constexpr bool IsSystemColor(TColor c) {
    return (c >> 24) == 0xFF;
}

// The colour as 0xRRGGBB, system colours resolved to the look the program was designed with.
constexpr std::uint32_t ToRgb(TColor c) {
    if (IsSystemColor(c)) {
        switch (c & 0xFF) {
        case 0x0F:
            return 0xF0F0F0; // button face
        case 0x10:
            return 0xA0A0A0; // button shadow
        case 0x18:
            return 0xFFFFE1; // info background
        case 0x1C:
            return 0xD7E4F2; // gradient inactive caption
        case 0x05:
            return 0xFFFFFF; // window
        case 0x08:
            return 0x000000; // window text
        default:
            return 0x808080;
        }
    }
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

// The inverse for plain colours picked in a colour dialog (0xRRGGBB to 0x00BBGGRR).
constexpr TColor FromRgb(std::uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}
} // namespace Colors
