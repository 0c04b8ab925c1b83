// SPDX-License-Identifier: GPL-3.0-or-later
#include "unit.h"

#include "frame.h"

#include <string.h>

static const uint8_t BitOf[8] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};

void unit_init(unit_state* unit, const unit_board* board) {
    memset(unit, 0, sizeof *unit);
    unit->board = board;
    unit_release(unit);
}

void unit_release(unit_state* unit) {
    memset(unit->out, 0, sizeof unit->out);
    unit->probe_out = 0;
    unit->autonomous = 0;
    unit->gen_count = 0;
    unit->gen_on_probe = 0;
    unit->gen_counter = 0;
    unit->board->write(unit->out);
    unit->board->probe_out(0);
}

void unit_refuse(unit_state* unit) {
    unit->reply_points = 0;
    unit->reply_code = REPLY_REFUSED;
    unit->reply_length = 0;
}

static void set_level(unit_state* unit, uint8_t point, uint8_t level) {
    if (level)
        unit->out[point >> 3] |= BitOf[point & 7u];
    else
        unit->out[point >> 3] &= (uint8_t)~BitOf[point & 7u];
}

static uint8_t level_at(const unit_state* unit, uint8_t point) {
    return (unit->in[point >> 3] & BitOf[point & 7u]) ? 1u : 0u;
}

uint8_t unit_reply_at(const unit_state* unit, uint16_t i) {
    if (!unit->reply_points)
        return unit->reply[i];
    return i + 1u == unit->reply_length ? unit->probe_in : level_at(unit, unit->points[i]);
}

// Puts the driven levels on the points and samples them back with the probe.
static void drive_and_sample(unit_state* unit) {
    unit->board->write(unit->out);
    unit->board->read(unit->in);
    unit->probe_in = unit->board->probe_in() ? 1u : 0u;
}

// Where a request's triples start; 0xFF for a request whose triples are not taken ahead.
static uint8_t triple_offset(uint8_t code, const uint8_t* data, uint16_t have) {
    switch (code) {
    case CMD_WRITE_READ:
    case CMD_WRITE:
        return 0;
    case CMD_WRITE_PROBE:
        return 2;
    case CMD_AUTONOMOUS:
        return have > 0 && data[0] == 0 ? 1 : 0xFFu;
    default:
        return 0xFFu;
    }
}

void unit_scan(unit_state* unit, uint8_t serial, uint8_t code, const uint8_t* data, uint16_t have) {
    if (!unit->scan_live || serial != unit->scan_serial || code != unit->scan_code) {
        unit->scan_live = 1;
        unit->scan_serial = serial;
        unit->scan_code = code;
        unit->scanned = 0;
        unit->scan_bad = 0;
        memcpy(unit->staged, unit->out, sizeof unit->out);
    }
    const uint8_t offset = triple_offset(code, data, have);
    if (offset == 0xFFu)
        return;
    uint16_t end = (uint16_t)(offset + 3u * unit->scanned + 3u);
    while (end <= have) {
        if (unit->scanned == UNIT_POINTS) {
            unit->scan_bad = 1;
            return;
        }
        const uint8_t* t = data + end - 3u;
        const uint8_t point = pinmap_point((uint16_t)((uint16_t)t[0] << 8 | t[1]));
        if (point == POINT_NONE) {
            unit->scan_bad = 1;
        } else {
            unit->points[unit->scanned] = point;
            if (t[2])
                unit->staged[point >> 3] |= BitOf[point & 7u];
            else
                unit->staged[point >> 3] &= (uint8_t)~BitOf[point & 7u];
        }
        ++unit->scanned;
        end = (uint16_t)(end + 3u);
    }
}

// Takes the request's triples (most of them already looked at while it arrived): every pin code
// is checked before anything is driven, so a refused request changes nothing.
static uint8_t take_triples(unit_state* unit, uint8_t code, const uint8_t* payload, uint16_t size,
                            uint8_t offset) {
    unit_scan(unit, unit->scan_serial, code, payload, size);
    unit->scan_live = 0;
    if (size < offset || (size - offset) % 3u != 0 || unit->scan_bad)
        return 0;
    memcpy(unit->out, unit->staged, sizeof unit->out);
    return 1;
}

static void reply_levels(unit_state* unit, uint8_t code, uint8_t count) {
    // The levels are read off the sample as the reply goes out (unit_reply_at).
    unit->reply_code = code;
    unit->reply_points = 1;
    unit->reply_length = (uint16_t)count + 1u;
}

static void reply_empty(unit_state* unit, uint8_t code) {
    unit->reply_code = code;
    unit->reply_length = 0;
}

static void reply_probe(unit_state* unit, uint8_t code) {
    unit->reply_code = code;
    unit->reply[0] = unit->probe_in;
    unit->reply_length = 1;
}

// Levels of the compact form: bit i of byte i/8 for the list's point i, the probe's bit after.
// Each list entry knows its chain byte and bit, so a point costs a few instructions.
static void reply_mask(unit_state* unit, uint8_t code) {
    const uint8_t count = unit->list_count;
    uint8_t* out = unit->reply;
    uint8_t bits = 0;
    for (uint8_t i = 0; i < count; ++i) {
        if (unit->in[unit->list_byte[i]] & unit->list_bit[i])
            bits |= BitOf[i & 7u];
        if ((i & 7u) == 7u) {
            *out++ = bits;
            bits = 0;
        }
    }
    if (unit->probe_in)
        bits |= BitOf[count & 7u];
    *out++ = bits;
    unit->reply_code = code;
    unit->reply_length = (uint16_t)(out - unit->reply);
}

static uint8_t take_mask(unit_state* unit, const uint8_t* mask, uint16_t size) {
    const uint8_t count = unit->list_count;
    if (size != (uint16_t)((count + 7u) / 8u))
        return 0;
    uint8_t bits = 0;
    for (uint8_t i = 0; i < count; ++i) {
        if ((i & 7u) == 0)
            bits = *mask++;
        const uint8_t byte = unit->list_byte[i];
        if (bits & 1u)
            unit->out[byte] |= unit->list_bit[i];
        else
            unit->out[byte] &= (uint8_t)~unit->list_bit[i];
        bits >>= 1;
    }
    return 1;
}

static uint8_t take_pin_list(unit_state* unit, const uint8_t* data, uint16_t size) {
    if (size % 2u != 0 || size / 2u > UNIT_POINTS)
        return 0;
    const uint8_t count = (uint8_t)(size / 2u);
    for (uint8_t i = 0; i < count; ++i) {
        const uint8_t point = pinmap_point((uint16_t)((data[2 * i] << 8) | data[2 * i + 1]));
        if (point == POINT_NONE)
            return 0;
        unit->points[i] = point;
    }
    for (uint8_t i = 0; i < count; ++i) {
        unit->list_byte[i] = (uint8_t)(unit->points[i] >> 3);
        unit->list_bit[i] = BitOf[unit->points[i] & 7u];
    }
    unit->list_count = count;
    return 1;
}

static void autonomous(unit_state* unit, uint8_t code, const uint8_t* data, uint16_t size) {
    const uint8_t sub = size > 0 ? data[0] : 0xFFu;
    if (sub == 0 && take_triples(unit, code, data, size, 1)) {
        // The unit takes over: the levels stay on the points until the host returns.
        unit->autonomous = 1;
        drive_and_sample(unit);
        reply_empty(unit, CMD_AUTONOMOUS);
    } else if (sub == 1 && size >= 2 && (size - 2u) % 3u == 0 && (size - 2u) / 3u <= UNIT_POINTS) {
        const uint8_t count = (uint8_t)((size - 2u) / 3u);
        const uint8_t* t = data + 2;
        for (uint8_t i = 0; i < count; ++i) {
            const uint8_t point = pinmap_point((uint16_t)((t[3 * i] << 8) | t[3 * i + 1]));
            if (point == POINT_NONE) {
                unit_refuse(unit);
                return;
            }
            unit->points[i] = point;
        }
        for (uint8_t i = 0; i < count; ++i) {
            unit->gen_point[i] = unit->points[i];
            unit->gen_bit[i] = t[3 * i + 2] & 31u; // a 32-bit counter: the shift wraps at 32
        }
        unit->gen_count = count;
        unit->gen_on_probe = data[1] != 0;
        unit->gen_counter = 0;
        reply_empty(unit, CMD_AUTONOMOUS);
    } else if (sub == 2 && size == 1) {
        unit->autonomous = 0;
        reply_empty(unit, CMD_AUTONOMOUS);
    } else {
        unit_refuse(unit);
    }
}

void unit_generator_step(unit_state* unit) {
    if (!unit->autonomous || (unit->gen_count == 0 && !unit->gen_on_probe))
        return;
    for (uint8_t i = 0; i < unit->gen_count; ++i)
        set_level(unit, unit->gen_point[i],
                  (uint8_t)((unit->gen_counter >> unit->gen_bit[i]) & 1u));
    ++unit->gen_counter;
    if (unit->gen_on_probe) {
        unit->gen_toggle ^= 1u;
        unit->probe_out = unit->gen_toggle;
        unit->board->probe_out(unit->probe_out);
    }
    unit->board->write(unit->out);
}

unit_outcome unit_handle(unit_state* unit, uint8_t code, const uint8_t* data, uint16_t size) {
    unit->reply_points = 0;
    if (triple_offset(code, data, size) == 0xFFu)
        unit->scan_live = 0; // a request without triples ends whatever was taken ahead
    switch (code) {
    case FRAME_HELLO:
        unit->reply_code = code;
        unit->reply[0] = (uint8_t)(UNIT_TYPE & 0xFFu);
        unit->reply[1] = (uint8_t)(UNIT_TYPE >> 8);
        unit->reply[2] = UNIT_VERSION_MAJOR;
        unit->reply[3] = UNIT_VERSION_MINOR;
        unit->reply[4] = UNIT_CAN_COMPACT;
        unit->reply_length = 5;
        return UNIT_REPLY;
    case FRAME_REBOOT:
        return UNIT_REBOOT;
    case CMD_STOP:
        unit_release(unit);
        return UNIT_SILENT;
    case CMD_WRITE_READ:
    case CMD_WRITE:
        if (!take_triples(unit, code, data, size, 0)) {
            unit_refuse(unit);
        } else {
            drive_and_sample(unit);
            if (code == CMD_WRITE_READ)
                reply_levels(unit, code, (uint8_t)(size / 3u));
            else
                reply_empty(unit, code);
        }
        return UNIT_REPLY;
    case CMD_READ_PROBE:
        if (size != 0) {
            unit_refuse(unit);
        } else {
            unit->probe_in = unit->board->probe_in() ? 1u : 0u;
            reply_probe(unit, code);
        }
        return UNIT_REPLY;
    case CMD_WRITE_PROBE:
        if (size < 2 || !take_triples(unit, code, data, size, 2)) {
            unit_refuse(unit);
            return UNIT_REPLY;
        }
        unit->probe_out = data[0] != 0;
        unit->board->probe_out(unit->probe_out);
        drive_and_sample(unit);
        if (data[1] != 0)
            reply_levels(unit, code, (uint8_t)((size - 2u) / 3u));
        else
            reply_probe(unit, code);
        return UNIT_REPLY;
    case CMD_AUTONOMOUS:
        autonomous(unit, code, data, size);
        return UNIT_REPLY;
    case CMD_PIN_LIST:
        if (take_pin_list(unit, data, size))
            reply_empty(unit, code);
        else
            unit_refuse(unit);
        return UNIT_REPLY;
    case CMD_MASK_WRITE_READ:
    case CMD_MASK_WRITE:
        if (!take_mask(unit, data, size)) {
            unit_refuse(unit);
        } else {
            drive_and_sample(unit);
            if (code == CMD_MASK_WRITE_READ)
                reply_mask(unit, code);
            else
                reply_empty(unit, code);
        }
        return UNIT_REPLY;
    case CMD_MASK_WRITE_PROBE:
        if (size < 2 || !take_mask(unit, data + 2, (uint16_t)(size - 2u))) {
            unit_refuse(unit);
            return UNIT_REPLY;
        }
        unit->probe_out = data[0] != 0;
        unit->board->probe_out(unit->probe_out);
        drive_and_sample(unit);
        if (data[1] != 0)
            reply_mask(unit, code);
        else
            reply_probe(unit, code);
        return UNIT_REPLY;
    default:
        unit_refuse(unit);
        return UNIT_REPLY;
    }
}
