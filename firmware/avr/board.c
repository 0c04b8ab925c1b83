// SPDX-License-Identifier: GPL-3.0-or-later
#include "board.h"

#include <avr/io.h>

#define LATCH PB0
#define SCK PB1
#define MOSI PB2
#define MISO PB3
#define LOAD PB4
#define OUTPUT_ENABLE PB5
#define PROBE_OUT PL0
#define PROBE_IN PL1

void board_init(void) {
    PORTB = (uint8_t)(_BV(OUTPUT_ENABLE) | _BV(LOAD));
    DDRB = (uint8_t)(_BV(LATCH) | _BV(SCK) | _BV(MOSI) | _BV(LOAD) | _BV(OUTPUT_ENABLE));
    PORTL &= (uint8_t) ~(_BV(PROBE_OUT) | _BV(PROBE_IN)); // the probe input has a pull-down
    DDRL = (uint8_t)((DDRL | _BV(PROBE_OUT)) & ~_BV(PROBE_IN));
    // Master, mode 0, MSB first, F_CPU/2: 8 MHz on SCK.
    SPCR = (uint8_t)(_BV(SPE) | _BV(MSTR));
    SPSR = _BV(SPI2X);
}

void board_enable(void) {
    PORTB &= (uint8_t)~_BV(OUTPUT_ENABLE);
}

static inline uint8_t transfer(uint8_t byte) {
    SPDR = byte;
    while (!(SPSR & _BV(SPIF))) {
    }
    return SPDR;
}

// The byte for the farthest chip goes first: after 24 bytes each sits in its own chip.
static void write_points(const uint8_t* bits) {
    for (uint8_t i = UNIT_CHAIN_BYTES; i > 0; --i)
        transfer(bits[i - 1u]);
    PORTB |= _BV(LATCH);
    PORTB &= (uint8_t)~_BV(LATCH);
}

// The nearest chip's byte comes first; its input H first, so bit 7 is input H.
static void read_points(uint8_t* bits) {
    PORTB &= (uint8_t)~_BV(LOAD);
    PORTB |= _BV(LOAD);
    for (uint8_t i = 0; i < UNIT_CHAIN_BYTES; ++i)
        bits[i] = transfer(0);
}

static void probe_out(uint8_t level) {
    if (level)
        PORTL |= _BV(PROBE_OUT);
    else
        PORTL &= (uint8_t)~_BV(PROBE_OUT);
}

static uint8_t probe_in(void) {
    return (PINL & _BV(PROBE_IN)) ? 1u : 0u;
}

const unit_board board = {write_points, read_points, probe_out, probe_in};
