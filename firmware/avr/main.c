// SPDX-License-Identifier: GPL-3.0-or-later
// The open diagnostic unit: the link's frames on UART0 at 1,000,000 baud, the unit's commands on
// two chains of shift registers. The main loop sleeps until a byte or the millisecond tick wakes
// it.
#include "board.h"
#include "frame.h"
#include "ring.h"
#include "unit.h"

#include <avr/interrupt.h>
#include <avr/io.h>
#include <avr/sleep.h>
#include <avr/wdt.h>
#include <util/atomic.h>

#ifdef PINVEL_FW_SIM_SECTION
// Names the chip and its clock for a simulator that loads the ELF; not flashed.
#include "avr_mcu_section.h"
AVR_MCU(F_CPU, "atmega2560");
#endif

static ring_buffer rx;
static frame_decoder decoder;
static unit_state unit;
static volatile uint16_t ticks_ms;
static volatile uint8_t generator_due;
static uint8_t generator_ms;

// A watchdog reset leaves the watchdog running at its shortest time-out: turn it off before the
// start-up code could overrun it.
void early_watchdog_off(void) __attribute__((naked, used, section(".init3")));
void early_watchdog_off(void) {
    MCUSR = 0;
    wdt_disable();
}

ISR(USART0_RX_vect) {
    const uint8_t byte = UDR0;
    ring_put(&rx, byte);
}

ISR(TIMER0_COMPA_vect) {
    ++ticks_ms;
    if (++generator_ms >= UNIT_GEN_STEP_MS) {
        generator_ms = 0;
        generator_due = 1;
    }
}

static void uart_put(uint8_t byte) {
    while (!(UCSR0A & _BV(UDRE0))) {
    }
    UDR0 = byte;
}

static uint16_t now_ms(void) {
    uint16_t now;
    ATOMIC_BLOCK(ATOMIC_RESTORESTATE) {
        now = ticks_ms;
    }
    return now;
}

static void start_hardware(void) {
    board_init();
    // 1,000,000 baud, exact at 16 MHz: double speed, UBRR 1. 8 data bits, no parity, 1 stop bit.
    UCSR0A = _BV(U2X0);
    UBRR0 = 1;
    UCSR0C = (uint8_t)(_BV(UCSZ01) | _BV(UCSZ00));
    UCSR0B = (uint8_t)(_BV(RXEN0) | _BV(TXEN0) | _BV(RXCIE0));
    // 1 kHz tick: CTC, prescaler 64, 250 counts.
    TCCR0A = _BV(WGM01);
    TCCR0B = (uint8_t)(_BV(CS01) | _BV(CS00));
    OCR0A = 249;
    TIMSK0 = _BV(OCIE0A);
}

static void reboot(void) {
    cli();
    wdt_enable(WDTO_15MS);
    wdt_reset(); // counts the new, short time-out from now
    for (;;) {
    }
}

static uint8_t reply_at(uint16_t i) {
    return unit_reply_at(&unit, i);
}

static void answer(void) {
    frame_write(unit.reply_code, unit.reply_length, reply_at, uart_put);
}

static void handle_frame(void) {
    // The last triples (and the whole of a short frame) are taken now.
    unit_scan(&unit, decoder.serial, decoder.code, decoder.payload, decoder.length);
    const unit_outcome outcome = unit_handle(&unit, decoder.code, decoder.payload, decoder.length);
    if (outcome == UNIT_REPLY)
        answer();
    else if (outcome == UNIT_REBOOT)
        reboot();
}

// Takes every byte received so far. A long frame's payload goes by the short path, and its
// triples are looked at as they arrive, so little work is left when the last byte comes.
static void receive(void) {
    const uint16_t now = now_ms();
    const uint8_t head = rx.head;
    uint8_t tail = rx.tail;
    while (tail != head) {
        const uint8_t byte = rx.data[tail++];
        if (frame_take_data(&decoder, byte, now)) {
            if ((decoder.at & 15u) == 0)
                unit_scan(&unit, decoder.serial, decoder.code, decoder.payload, decoder.at);
            continue;
        }
        const frame_event event = frame_push(&decoder, byte, now);
        if (event == FRAME_NONE)
            continue;
        rx.tail = tail;
        if (event == FRAME_READY) {
            handle_frame();
        } else {
            unit_refuse(&unit);
            answer();
        }
        wdt_reset();
    }
    rx.tail = tail;
}

int main(void) {
    start_hardware();
    unit_init(&unit, &board);
    board_enable();
    frame_reset(&decoder);
    ring_clear(&rx);
    wdt_enable(WDTO_250MS);
    sei();
    for (;;) {
        wdt_reset();
        receive();
        if (generator_due) {
            generator_due = 0;
            unit_generator_step(&unit);
        }
        cli();
        if (ring_count(&rx) == 0 && !generator_due) {
            sleep_enable();
            sei();
            sleep_cpu();
            sleep_disable();
        }
        sei();
    }
}
