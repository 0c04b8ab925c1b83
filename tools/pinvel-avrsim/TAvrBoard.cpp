// SPDX-License-Identifier: GPL-3.0-or-later
#include "TAvrBoard.h"

extern "C" {
#include "pinmap.h"
}

#include <avr_ioport.h>
#include <avr_spi.h>
#include <sim_avr.h>
#include <sim_irq.h>

namespace {
// The board's wiring (docs/unit/connections.md).
constexpr char ChainPort = 'B';
constexpr int LatchPin = 0;
constexpr int LoadPin = 4;
constexpr int OutputEnablePin = 5;
constexpr char ProbePort = 'L';
constexpr int ProbeOutPin = 0;
constexpr int ProbeInPin = 1;
// ATmega2560 data addresses of the SPI registers.
constexpr std::uint16_t Spcr = 0x4C;
constexpr std::uint16_t Spsr = 0x4D;
constexpr std::uint16_t Spdr = 0x4E;
} // namespace

TAvrBoard::TAvrBoard(avr_t* avr, THarness harness) : FAvr(avr), FModel(std::move(harness)) {
    FModel.SetClockMs(0);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_SPI_GETIRQ(0), SPI_IRQ_OUTPUT), OnSpi,
                            this);
    FSpiIn = avr_io_getirq(avr, AVR_IOCTL_SPI_GETIRQ(0), SPI_IRQ_INPUT);
    // The library's SPI takes a fixed 100 µs a byte whatever the clock; the board's chains run at
    // the clock the firmware sets (8 MHz), so a write of SPDR finishes when the chip would.
    auto& io = avr->io[AVR_DATA_TO_IO(Spdr)].w;
    FSpiWrite = io.c;
    FSpiParam = io.param;
    io.c = OnSpiWrite;
    io.param = this;
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(ChainPort), LatchPin),
                            OnLatch, this);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(ChainPort), LoadPin), OnLoad,
                            this);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(ChainPort), OutputEnablePin),
                            OnOutputEnable, this);
    avr_irq_register_notify(avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(ProbePort), ProbeOutPin),
                            OnProbeOut, this);
    FProbeIn = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(ProbePort), ProbeInPin);
    Apply();
}

void TAvrBoard::Clock() {
    FModel.SetClockMs(static_cast<std::int64_t>(FAvr->cycle / (FAvr->frequency / 1000)));
}

// One byte each way: MOSI shifts into the first 595 (the others take the byte of the chip
// before), and MISO gives the first 165's byte while the others move one chip closer.
void TAvrBoard::OnSpi(avr_irq_t*, std::uint32_t value, void* self) {
    auto& b = *static_cast<TAvrBoard*>(self);
    for (int i = ChainBytes - 1; i > 0; --i)
        b.FShift595[static_cast<std::size_t>(i)] = b.FShift595[static_cast<std::size_t>(i - 1)];
    b.FShift595[0] = static_cast<std::uint8_t>(value);
    const std::uint8_t out = b.FShift165[0];
    if (!b.FLoading) {
        for (int i = 0; i + 1 < ChainBytes; ++i)
            b.FShift165[static_cast<std::size_t>(i)] = b.FShift165[static_cast<std::size_t>(i + 1)];
        b.FShift165[ChainBytes - 1] = 0; // the last chip's serial input is grounded
    }
    avr_raise_irq(b.FSpiIn, out);
}

void TAvrBoard::OnSpiWrite(avr_t* avr, std::uint16_t addr, std::uint8_t value, void* self) {
    auto& b = *static_cast<TAvrBoard*>(self);
    b.FSpiWrite(avr, addr, value, b.FSpiParam);
    // SCK is F_CPU / 4, 16, 64 or 128 by SPR1:0, twice as fast with SPI2X; 8 clocks a byte.
    static constexpr std::uint64_t Divider[4] = {4, 16, 64, 128};
    const std::uint64_t divider = Divider[avr->data[Spcr] & 3] >> (avr->data[Spsr] & 1);
    for (avr_cycle_timer_slot_p slot = avr->cycle_timers.timer; slot != nullptr; slot = slot->next)
        if (slot->param == b.FSpiParam) {
            avr_cycle_timer_register(avr, 8 * divider, slot->timer, b.FSpiParam);
            break;
        }
}

void TAvrBoard::OnLatch(avr_irq_t* irq, std::uint32_t value, void* self) {
    auto& b = *static_cast<TAvrBoard*>(self);
    if (value != 0 && irq->value == 0) { // the rising edge copies the shift registers out
        b.FLatched = b.FShift595;
        b.Apply();
    }
}

void TAvrBoard::OnLoad(avr_irq_t*, std::uint32_t value, void* self) {
    auto& b = *static_cast<TAvrBoard*>(self);
    b.FLoading = value == 0;
    if (b.FLoading)
        b.Sample();
}

void TAvrBoard::OnOutputEnable(avr_irq_t*, std::uint32_t value, void* self) {
    auto& b = *static_cast<TAvrBoard*>(self);
    const bool enabled = value == 0;
    if (enabled != b.FEnabled) {
        b.FEnabled = enabled;
        b.Apply();
    }
}

void TAvrBoard::OnProbeOut(avr_irq_t*, std::uint32_t value, void* self) {
    auto& b = *static_cast<TAvrBoard*>(self);
    b.FProbeOut = value != 0 ? 1 : 0;
    b.FModel.DriveProbe(b.FProbeOut);
    b.Clock();
    b.FModel.Settle();
    b.UpdateProbeInput();
}

void TAvrBoard::Apply() {
    for (int p = 0; p < Points; ++p) {
        const int bit = (FLatched[static_cast<std::size_t>(p / 8)] >> (p % 8)) & 1;
        FModel.DrivePin(pinmap_code(static_cast<std::uint8_t>(p)),
                        FEnabled ? static_cast<std::uint8_t>(bit) : 0);
    }
    Clock();
    FModel.Settle();
    UpdateProbeInput();
}

void TAvrBoard::Sample() {
    Clock();
    FModel.Settle();
    FShift165.fill(0);
    for (int p = 0; p < Points; ++p)
        if (FModel.PinLevel(pinmap_code(static_cast<std::uint8_t>(p))))
            FShift165[static_cast<std::size_t>(p / 8)] |= static_cast<std::uint8_t>(1u << (p % 8));
    UpdateProbeInput();
}

void TAvrBoard::UpdateProbeInput() {
    avr_raise_irq(FProbeIn, FModel.ProbeInput());
}
