// SPDX-License-Identifier: GPL-3.0-or-later
#include "pinmap.h"

uint8_t pinmap_point(uint16_t code) {
    // Unsigned differences: a code below the connector's first wraps to a large number.
    const uint16_t x1 = (uint16_t)(code - PIN_X1_FIRST);
    if (x1 < PINS_PER_CONNECTOR)
        return (uint8_t)x1;
    const uint16_t x2 = (uint16_t)(code - PIN_X2_FIRST);
    if (x2 < PINS_PER_CONNECTOR)
        return (uint8_t)(PINS_PER_CONNECTOR + x2);
    return POINT_NONE;
}

uint16_t pinmap_code(uint8_t point) {
    if (point < PINS_PER_CONNECTOR)
        return (uint16_t)(PIN_X1_FIRST + point);
    return (uint16_t)(PIN_X2_FIRST + point - PINS_PER_CONNECTOR);
}
