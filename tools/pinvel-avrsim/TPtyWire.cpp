// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPtyWire.h"

#include <QCoreApplication>

#include <avr_uart.h>
#include <sim_avr.h>
#include <sim_cycle_timers.h>
#include <sim_irq.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace {
// 10 bits at 1,000,000 baud on a 16 MHz chip.
constexpr std::uint64_t WireByteCycles = 160;
// An idle wire is looked at every millisecond, not every byte time, so a sleeping chip is woken
// seldom; the run loop wakes it the moment the host writes (Wake).
constexpr std::uint64_t IdleCycles = 16000;
constexpr std::uint16_t Udr0 = 0xC6; // data address of UDR0 on the ATmega2560
} // namespace

TPtyWire::TPtyWire(avr_t* avr) : FAvr(avr) {}

TPtyWire::~TPtyWire() {
    avr_cycle_timer_cancel(FAvr, OnByteTime, this);
    if (FMaster >= 0)
        ::close(FMaster);
    if (FSlave >= 0)
        ::close(FSlave);
}

bool TPtyWire::Open(std::string& error) {
    char name[256] = {};
    if (::openpty(&FMaster, &FSlave, name, nullptr, nullptr) != 0) {
        error = QCoreApplication::translate("TPtyWire", "не удалось создать псевдотерминал: %1")
                    .arg(QString::fromLocal8Bit(std::strerror(errno)))
                    .toStdString();
        return false;
    }
    termios tio{};
    ::tcgetattr(FSlave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(FSlave, TCSANOW, &tio);
    ::fcntl(FMaster, F_SETFL, ::fcntl(FMaster, F_GETFL) | O_NONBLOCK);
    ::fcntl(FMaster, F_SETFD, FD_CLOEXEC);
    ::fcntl(FSlave, F_SETFD, FD_CLOEXEC);
    FPath = name;
    // The UART model would echo the chip's bytes on the console too.
    std::uint32_t flags = 0;
    avr_ioctl(FAvr, AVR_IOCTL_UART_GET_FLAGS('0'), &flags);
    flags &= ~static_cast<std::uint32_t>(AVR_UART_FLAG_STDIO);
    avr_ioctl(FAvr, AVR_IOCTL_UART_SET_FLAGS('0'), &flags);
    FInput = avr_io_getirq(FAvr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_INPUT);
    avr_irq_register_notify(avr_io_getirq(FAvr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUTPUT),
                            OnOutput, this);
    avr_irq_register_notify(avr_io_getirq(FAvr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XON),
                            OnXon, this);
    avr_irq_register_notify(avr_io_getirq(FAvr, AVR_IOCTL_UART_GETIRQ('0'), UART_IRQ_OUT_XOFF),
                            OnXoff, this);
    FUart = static_cast<avr_uart_t*>(FAvr->io[AVR_DATA_TO_IO(Udr0)].w.param);
    avr_cycle_timer_register(FAvr, WireByteCycles, OnByteTime, this);
    return true;
}

void TPtyWire::Wake() {
    if (FInAt == FIn.size() && FOut.empty()) {
        FNextRead = 0;
        avr_cycle_timer_register(FAvr, 1, OnByteTime, this);
    }
}

void TPtyWire::KeepAlive() {
    if (FAvr->cycle > FLastTick + 4 * IdleCycles) {
        FLastTick = FAvr->cycle;
        avr_cycle_timer_register(FAvr, WireByteCycles, OnByteTime, this);
    }
}

std::uint64_t TPtyWire::OnByteTime(avr_t* avr, std::uint64_t when, void* self) {
    auto& w = *static_cast<TPtyWire*>(self);
    w.FLastTick = avr->cycle;
    if (w.FInAt == w.FIn.size() && avr->cycle >= w.FNextRead) {
        std::uint8_t buffer[4096];
        const ssize_t got = ::read(w.FMaster, buffer, sizeof buffer);
        w.FIn.assign(buffer, buffer + (got > 0 ? got : 0));
        w.FInAt = 0;
        if (got <= 0)
            w.FNextRead = avr->cycle + IdleCycles;
    }
    // Bytes wait while the chip's receiver is off (starting up, or restarting after a reboot),
    // as a host waits for a board that has not yet come up.
    const bool listening = w.FUart == nullptr || avr_regbit_get(avr, w.FUart->rxen) != 0;
    if (w.FInAt < w.FIn.size() && w.FXon && listening) {
        if (w.FExchangeOpen) {
            w.FExchangeCycles.push_back(w.FLastOut + w.UartByteCycles() - w.FExchangeStart);
            w.FExchangeOpen = false;
        }
        if (!w.FRequestOpen) {
            w.FRequestOpen = true;
            w.FExchangeStart = avr->cycle;
        }
        w.FLastIn = avr->cycle;
        w.FAwaitingReply = true;
        avr_raise_irq(w.FInput, w.FIn[w.FInAt++]);
    }
    if (!w.FOut.empty())
        w.Flush();
    // The library's UART counts a parity bit whether or not one is sent (11 bits, 176 cycles a
    // byte at 1,000,000 baud): fed faster than that, its bytes would queue up inside it.
    // An idle wire is looked at again after IdleCycles, so a sleeping chip is woken seldom.
    const bool idle = w.FInAt == w.FIn.size() && w.FOut.empty();
    return when + (idle ? IdleCycles : w.UartByteCycles());
}

void TPtyWire::OnOutput(avr_irq_t*, std::uint32_t value, void* self) {
    auto& w = *static_cast<TPtyWire*>(self);
    if (w.FAwaitingReply) {
        w.FAwaitingReply = false;
        w.FReplyCycles.push_back(w.FAvr->cycle - w.FLastIn);
    }
    if (w.FRequestOpen) {
        w.FRequestOpen = false;
        w.FExchangeOpen = true;
    }
    w.FLastOut = w.FAvr->cycle;
    w.FOut.push_back(static_cast<std::uint8_t>(value));
    w.Flush();
}

std::uint64_t TPtyWire::UartByteCycles() const {
    return FUart != nullptr && FUart->cycles_per_byte > WireByteCycles ? FUart->cycles_per_byte
                                                                       : WireByteCycles;
}

std::vector<std::uint64_t> TPtyWire::ExchangeCycles() const {
    std::vector<std::uint64_t> all = FExchangeCycles;
    if (FExchangeOpen)
        all.push_back(FLastOut + UartByteCycles() - FExchangeStart);
    return all;
}

void TPtyWire::OnXon(avr_irq_t*, std::uint32_t, void* self) {
    static_cast<TPtyWire*>(self)->FXon = true;
}

void TPtyWire::OnXoff(avr_irq_t*, std::uint32_t, void* self) {
    static_cast<TPtyWire*>(self)->FXon = false;
}

// Bytes the terminal cannot take now (nobody reads it) wait for the next byte time; a host that
// never comes back loses them when they pile up past a frame's worth.
void TPtyWire::Flush() {
    const ssize_t put = ::write(FMaster, FOut.data(), FOut.size());
    if (put > 0)
        FOut.erase(FOut.begin(), FOut.begin() + put);
    if (FOut.size() > 65536)
        FOut.clear();
}
