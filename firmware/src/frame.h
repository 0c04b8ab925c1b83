// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PINVEL_FW_FRAME_H
#define PINVEL_FW_FRAME_H

#include "pinmap.h"

#include <stdint.h>

// The link's frames: sync byte 0xA5, code, payload length (16 bits, low byte first), payload, and
// the XOR of every byte from the code to the payload's end.
#define FRAME_SYNC 0xA5u
#define FRAME_HELLO 0xF0u
#define FRAME_REBOOT 0xF7u
// The largest request the unit takes: command 24 for every point.
#define FRAME_MAX_PAYLOAD (3u * UNIT_POINTS + 2u)
// A frame whose next byte is this late is abandoned: the host waits far longer for its answer
// before it sends again, so a half frame never swallows the next one.
#define FRAME_GAP_MS 20u

typedef enum {
    FRAME_NONE,     // nothing complete yet (or a broken frame was dropped)
    FRAME_READY,    // code, length and payload hold a whole frame
    FRAME_TOO_LONG, // a well-formed frame longer than the unit can hold went by; code holds it
} frame_event;

enum {
    FRAME_S_SYNC,
    FRAME_S_CODE,
    FRAME_S_LEN_LO,
    FRAME_S_LEN_HI,
    FRAME_S_DATA,
    FRAME_S_SUM,
    FRAME_S_SKIP,
    FRAME_S_SKIP_SUM
};

typedef struct {
    uint8_t state;
    uint8_t serial; // counts frame headers, so a frame's listener knows a new one from the last
    uint8_t code;
    uint8_t sum;
    uint16_t length;
    uint16_t at;      // payload bytes taken (or, for a frame too long, still to skip)
    uint16_t last_ms; // when the last byte came
    uint16_t dropped; // bytes and frames thrown away, for the curious
    uint8_t payload[FRAME_MAX_PAYLOAD];
} frame_decoder;

void frame_reset(frame_decoder* decoder);
// Takes the next byte of the stream, received at now_ms (a free-running millisecond count).
frame_event frame_push(frame_decoder* decoder, uint8_t byte, uint16_t now_ms);

// The payload's bytes, the bulk of a long frame, taken by a short path: 1 when the byte was one.
static inline uint8_t frame_take_data(frame_decoder* d, uint8_t byte, uint16_t now_ms) {
    if (d->state != FRAME_S_DATA || (uint16_t)(now_ms - d->last_ms) > FRAME_GAP_MS)
        return 0;
    d->last_ms = now_ms;
    d->payload[d->at++] = byte;
    d->sum ^= byte;
    if (d->at == d->length)
        d->state = FRAME_S_SUM;
    return 1;
}

// Writes one frame through put, byte by byte; its payload's byte i is data(i), asked for just
// before it is sent.
void frame_write(uint8_t code, uint16_t size, uint8_t (*data)(uint16_t), void (*put)(uint8_t));

#endif
