// SPDX-License-Identifier: GPL-3.0-or-later
#include "ring.h"

void ring_clear(ring_buffer* ring) {
    ring->head = 0;
    ring->tail = 0;
}

uint8_t ring_put(ring_buffer* ring, uint8_t byte) {
    const uint8_t head = ring->head;
    const uint8_t next = (uint8_t)(head + 1u);
    if (next == ring->tail)
        return 0;
    ring->data[head] = byte;
    ring->head = next;
    return 1;
}

uint8_t ring_get(ring_buffer* ring, uint8_t* byte) {
    const uint8_t tail = ring->tail;
    if (tail == ring->head)
        return 0;
    *byte = ring->data[tail];
    ring->tail = (uint8_t)(tail + 1u);
    return 1;
}

uint8_t ring_count(const ring_buffer* ring) {
    return (uint8_t)(ring->head - ring->tail);
}
