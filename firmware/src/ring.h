// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef PINVEL_FW_RING_H
#define PINVEL_FW_RING_H

#include <stdint.h>

// A byte queue between the receive interrupt (the only writer of head) and the main loop (the
// only writer of tail). 8-bit indexes wrap by themselves over 256 slots; one slot stays empty
// to tell a full queue from an empty one, so it holds 255 bytes.
#define RING_SIZE 256u

typedef struct {
    volatile uint8_t head;
    volatile uint8_t tail;
    uint8_t data[RING_SIZE];
} ring_buffer;

void ring_clear(ring_buffer* ring);
// 0 when the queue is full and the byte is lost.
uint8_t ring_put(ring_buffer* ring, uint8_t byte);
// 0 when the queue is empty.
uint8_t ring_get(ring_buffer* ring, uint8_t* byte);
uint8_t ring_count(const ring_buffer* ring);

#endif
