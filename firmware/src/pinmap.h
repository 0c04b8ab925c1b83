// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PINVEL_FW_PINMAP_H
#define PINVEL_FW_PINMAP_H

#include <stdint.h>

// The unit's 190 test points: X1 a1..c31 are points 0..94 (pin codes 400..494), X2 a1..c31 are
// points 95..189 (pin codes 272..366). Point p sits on bit p%8 of chip p/8 in both chains of
// shift registers. Position c32 of each connector is not wired.
#define UNIT_POINTS 190u
#define UNIT_CHAIN_BYTES 24u
#define POINT_NONE 0xFFu

#define PIN_X1_FIRST 400u
#define PIN_X2_FIRST 272u
#define PINS_PER_CONNECTOR 95u

// Inline: the point of every triple is looked up while the request is still arriving.

// The point of a pin code, POINT_NONE for a code the unit does not have.
static inline uint8_t pinmap_point(uint16_t code) {
    // Unsigned differences: a code below the connector's first wraps to a large number.
    const uint16_t x1 = (uint16_t)(code - PIN_X1_FIRST);
    if (x1 < PINS_PER_CONNECTOR)
        return (uint8_t)x1;
    const uint16_t x2 = (uint16_t)(code - PIN_X2_FIRST);
    if (x2 < PINS_PER_CONNECTOR)
        return (uint8_t)(PINS_PER_CONNECTOR + x2);
    return POINT_NONE;
}

static inline uint16_t pinmap_code(uint8_t point) {
    if (point < PINS_PER_CONNECTOR)
        return (uint16_t)(PIN_X1_FIRST + point);
    return (uint16_t)(PIN_X2_FIRST + point - PINS_PER_CONNECTOR);
}

#endif
