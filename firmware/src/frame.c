// SPDX-License-Identifier: GPL-3.0-or-later
#include "frame.h"

enum {
    S_SYNC = FRAME_S_SYNC,
    S_CODE = FRAME_S_CODE,
    S_LEN_LO = FRAME_S_LEN_LO,
    S_LEN_HI = FRAME_S_LEN_HI,
    S_DATA = FRAME_S_DATA,
    S_SUM = FRAME_S_SUM,
    S_SKIP = FRAME_S_SKIP,
    S_SKIP_SUM = FRAME_S_SKIP_SUM
};

void frame_reset(frame_decoder* d) {
    d->state = S_SYNC;
    d->at = 0;
}

static frame_event drop(frame_decoder* d) {
    ++d->dropped;
    d->state = S_SYNC;
    return FRAME_NONE;
}

frame_event frame_push(frame_decoder* d, uint8_t byte, uint16_t now_ms) {
    if (d->state != S_SYNC && (uint16_t)(now_ms - d->last_ms) > FRAME_GAP_MS)
        drop(d);
    d->last_ms = now_ms;
    switch (d->state) {
    case S_SYNC:
        if (byte == FRAME_SYNC)
            d->state = S_CODE;
        else
            ++d->dropped;
        return FRAME_NONE;
    case S_CODE:
        d->code = byte;
        d->sum = byte;
        d->state = S_LEN_LO;
        return FRAME_NONE;
    case S_LEN_LO:
        d->length = byte;
        d->sum ^= byte;
        d->state = S_LEN_HI;
        return FRAME_NONE;
    case S_LEN_HI:
        d->length |= (uint16_t)byte << 8;
        d->sum ^= byte;
        d->at = 0;
        ++d->serial;
        if (d->length > FRAME_MAX_PAYLOAD) {
            // Skipped whole, so its payload is never taken for frames of its own.
            d->at = d->length;
            d->state = S_SKIP;
        } else {
            d->state = d->length == 0 ? S_SUM : S_DATA;
        }
        return FRAME_NONE;
    case S_DATA:
        d->payload[d->at++] = byte;
        d->sum ^= byte;
        if (d->at == d->length)
            d->state = S_SUM;
        return FRAME_NONE;
    case S_SUM:
        if (byte != d->sum)
            return drop(d);
        d->state = S_SYNC;
        return FRAME_READY;
    case S_SKIP:
        d->sum ^= byte;
        if (--d->at == 0)
            d->state = S_SKIP_SUM;
        return FRAME_NONE;
    case S_SKIP_SUM:
        if (byte != d->sum)
            return drop(d);
        d->state = S_SYNC;
        return FRAME_TOO_LONG;
    default:
        return drop(d);
    }
}

void frame_write(uint8_t code, uint16_t size, uint8_t (*data)(uint16_t), void (*put)(uint8_t)) {
    const uint8_t lo = (uint8_t)(size & 0xFFu);
    const uint8_t hi = (uint8_t)(size >> 8);
    uint8_t sum = (uint8_t)(code ^ lo ^ hi);
    put(FRAME_SYNC);
    put(code);
    put(lo);
    put(hi);
    for (uint16_t i = 0; i < size; ++i) {
        const uint8_t byte = data(i);
        put(byte);
        sum ^= byte;
    }
    put(sum);
}
