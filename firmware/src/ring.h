// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PINVEL_FW_RING_H
#define PINVEL_FW_RING_H

#include <stdint.h>

// A byte queue between the receive interrupt (the only writer of head) and the main loop (the
// only writer of tail). 8-bit indexes wrap by themselves over 256 slots and are read and written
// in one instruction, so neither side needs to turn interrupts off; one slot stays empty to tell
// a full queue from an empty one, so it holds 255 bytes. The main loop takes bytes faster than
// the wire brings them, and the host sends its next request only after the reply.
#define RING_SIZE 256u

typedef struct {
    volatile uint8_t head;
    volatile uint8_t tail;
    uint8_t data[RING_SIZE];
} ring_buffer;

static inline void ring_clear(ring_buffer* ring) {
    ring->head = 0;
    ring->tail = 0;
}

// Inline: the receive interrupt calls it for every byte, and a call from an interrupt saves
// every register a function may change. 0 when the queue is full and the byte is lost.
static inline uint8_t ring_put(ring_buffer* ring, uint8_t byte) {
    const uint8_t head = ring->head;
    const uint8_t next = (uint8_t)(head + 1u);
    if (next == ring->tail)
        return 0;
    ring->data[head] = byte;
    ring->head = next;
    return 1;
}

// 0 when the queue is empty.
static inline uint8_t ring_get(ring_buffer* ring, uint8_t* byte) {
    const uint8_t tail = ring->tail;
    if (tail == ring->head)
        return 0;
    *byte = ring->data[tail];
    ring->tail = (uint8_t)(tail + 1u);
    return 1;
}

static inline uint8_t ring_count(const ring_buffer* ring) {
    return (uint8_t)(ring->head - ring->tail);
}

#endif
