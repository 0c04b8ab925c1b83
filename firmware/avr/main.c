// SPDX-License-Identifier: GPL-3.0-or-later
// The open diagnostic unit: the link's frames on UART0 at 1,000,000 baud, the unit's commands on
// two chains of shift registers. The main loop sleeps until a byte or the millisecond tick wakes it.
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
    for (;;) {
    }
}

static void answer(void) {
    frame_write(unit.reply_code, unit.reply, unit.reply_length, uart_put);
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
        uint8_t byte;
        while (ring_get(&rx, &byte)) {
            const frame_event event = frame_push(&decoder, byte, now_ms());
            if (event == FRAME_READY) {
                const unit_outcome outcome =
                    unit_handle(&unit, decoder.code, decoder.payload, decoder.length);
                if (outcome == UNIT_REPLY)
                    answer();
                else if (outcome == UNIT_REBOOT)
                    reboot();
            } else if (event == FRAME_TOO_LONG) {
                unit_refuse(&unit);
                answer();
            }
            wdt_reset();
        }
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
