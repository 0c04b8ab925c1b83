// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PINVEL_FW_UNIT_H
#define PINVEL_FW_UNIT_H

#include "pinmap.h"

#include <stdint.h>

#define UNIT_TYPE 101u
#define UNIT_VERSION_MAJOR 1u
#define UNIT_VERSION_MINOR 0u
// Bit 0 of the hello's capability byte: the unit takes the compact frames.
#define UNIT_CAN_COMPACT 0x01u

// Command codes.
#define CMD_STOP 2u
#define CMD_WRITE_READ 21u
#define CMD_WRITE 22u
#define CMD_READ_PROBE 23u
#define CMD_WRITE_PROBE 24u
#define CMD_AUTONOMOUS 28u
// The compact form: the pin list once, then levels as bit masks in the list's order.
#define CMD_PIN_LIST 0x40u
#define CMD_MASK_WRITE_READ 0x41u
#define CMD_MASK_WRITE 0x42u
#define CMD_MASK_WRITE_PROBE 0x44u
// The empty reply to a request the unit cannot serve.
#define REPLY_REFUSED 0xEEu

#define UNIT_MASK_BYTES ((UNIT_POINTS + 1u + 7u) / 8u)
// The longest reply: a level for every point and the probe's.
#define UNIT_MAX_REPLY (UNIT_POINTS + 1u)
// One autonomous generator step lasts this long.
#define UNIT_GEN_STEP_MS 50u

// What the command handling needs of the board. Bits: point p is bit p%8 of byte p/8.
typedef struct {
    void (*write)(const uint8_t* bits); // puts these levels on the points (24 bytes)
    void (*read)(uint8_t* bits);        // samples every point (24 bytes)
    void (*probe_out)(uint8_t level);
    uint8_t (*probe_in)(void);
} unit_board;

typedef enum {
    UNIT_REPLY,  // reply_code, reply_length and reply hold the answer
    UNIT_SILENT, // nothing to answer
    UNIT_REBOOT, // the host asked for a restart
} unit_outcome;

typedef struct {
    const unit_board* board;
    uint8_t out[UNIT_CHAIN_BYTES]; // levels driven on the points
    uint8_t in[UNIT_CHAIN_BYTES];  // levels read at the last sample
    uint8_t probe_out;
    uint8_t probe_in;
    uint8_t autonomous;
    uint8_t gen_on_probe;
    uint8_t gen_toggle;
    uint8_t gen_count;
    uint32_t gen_counter;
    uint8_t gen_point[UNIT_POINTS];
    uint8_t gen_bit[UNIT_POINTS];
    uint8_t list_count; // the compact form's pin list, as chain byte and bit of each point
    uint8_t list_byte[UNIT_POINTS];
    uint8_t list_bit[UNIT_POINTS];
    // A request's triples, taken while it arrives: their points, and the levels they will drive
    // once the frame proves whole.
    uint8_t points[UNIT_POINTS];
    uint8_t staged[UNIT_CHAIN_BYTES];
    uint8_t scanned;
    uint8_t scan_bad;
    uint8_t scan_live;
    uint8_t scan_serial;
    uint8_t scan_code;
    uint8_t reply_code;
    uint8_t reply_points; // the reply is the levels of points[], then the probe's
    uint16_t reply_length;
    uint8_t reply[UNIT_MAX_REPLY];
} unit_state;

void unit_init(unit_state* unit, const unit_board* board);
// Releases every point and the probe and leaves the autonomous mode (start, stop, reboot).
void unit_release(unit_state* unit);
// Looks at the triples of a request still arriving: `have` payload bytes of the frame numbered
// `serial` are in. Optional: unit_handle takes whatever is left.
void unit_scan(unit_state* unit, uint8_t serial, uint8_t code, const uint8_t* data, uint16_t have);
unit_outcome unit_handle(unit_state* unit, uint8_t code, const uint8_t* data, uint16_t size);
// Byte i of the reply (reply_length bytes, code reply_code).
uint8_t unit_reply_at(const unit_state* unit, uint16_t i);
// The answer to a frame longer than the unit can hold.
void unit_refuse(unit_state* unit);
// One step of the autonomous generator; nothing outside the autonomous mode.
void unit_generator_step(unit_state* unit);

#endif
