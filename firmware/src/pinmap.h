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

// The point of a pin code, POINT_NONE for a code the unit does not have.
uint8_t pinmap_point(uint16_t code);
uint16_t pinmap_code(uint8_t point);

#endif
