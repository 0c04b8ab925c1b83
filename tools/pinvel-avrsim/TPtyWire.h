// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct avr_t;
struct avr_irq_t;
struct avr_uart_t;

// UART0 of the simulated chip on a pseudo-terminal, with the wire's pace: bytes from the host
// reach the chip one every byte time of 1,000,000 baud, and the chip's bytes go out
// as it sends them. Everything runs on the simulator's thread, from its cycle timers.
class TPtyWire {
  public:
    explicit TPtyWire(avr_t* avr);
    ~TPtyWire();
    TPtyWire(const TPtyWire&) = delete;
    TPtyWire& operator=(const TPtyWire&) = delete;

    // False with a message when no pseudo-terminal could be had.
    bool Open(std::string& error);
    const std::string& Path() const { return FPath; }
    // The host's side of the terminal becomes readable here: the run loop waits on it.
    int HostDescriptor() const { return FMaster; }
    // A reset of the chip (the watchdog's) clears the simulator's timers: the wire's is set
    // again when it has been silent too long. Called now and then from the run loop.
    void KeepAlive();
    // The host has written: the wire takes its bytes now rather than at its next idle look.
    void Wake();

    // Cycles from the last byte of a request on the wire to the first byte of its reply.
    const std::vector<std::uint64_t>& ReplyCycles() const { return FReplyCycles; }
    // Cycles from the first byte of a request on the wire to the end of its reply's last byte:
    // the board's and the wire's share of a round trip, the host's own latency left out.
    std::vector<std::uint64_t> ExchangeCycles() const;

  private:
    static std::uint64_t OnByteTime(avr_t* avr, std::uint64_t when, void* self);
    static void OnOutput(avr_irq_t* irq, std::uint32_t value, void* self);
    static void OnXon(avr_irq_t* irq, std::uint32_t value, void* self);
    static void OnXoff(avr_irq_t* irq, std::uint32_t value, void* self);
    void Flush();
    std::uint64_t UartByteCycles() const;

    avr_t* FAvr;
    avr_irq_t* FInput = nullptr;
    avr_uart_t* FUart = nullptr;
    int FMaster = -1;
    int FSlave = -1; // held open, so the terminal lives between the host's sessions
    std::string FPath;
    std::vector<std::uint8_t> FIn;
    std::size_t FInAt = 0;
    std::vector<std::uint8_t> FOut;
    std::uint64_t FNextRead = 0;
    std::uint64_t FLastTick = 0;
    bool FXon = true;
    std::uint64_t FLastIn = 0;
    bool FAwaitingReply = false;
    std::vector<std::uint64_t> FReplyCycles;
    bool FRequestOpen = false;  // request bytes went, no reply yet
    bool FExchangeOpen = false; // a reply went; its exchange ends when the next request starts
    std::uint64_t FExchangeStart = 0;
    std::uint64_t FLastOut = 0;
    std::vector<std::uint64_t> FExchangeCycles;
};
