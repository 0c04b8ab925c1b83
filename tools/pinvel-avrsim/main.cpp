// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-avrsim: the open unit's board simulated around its firmware. The firmware's ELF runs in a
// simulated ATmega2560 at 16 MHz; its UART0 is a pseudo-terminal that the program reaches through
// `serial:` exactly as it reaches the board.
//
//   pinvel-avrsim [--harness FILE] [--fast] [--cycles] FIRMWARE.elf

#include "TAvrBoard.h"

#include "THarness.h"

#include <avr_ioport.h>
#include <sim_avr.h>
#include <sim_elf.h>
extern "C" {
#include <uart_pty.h>
}

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <thread>

namespace {
const char* const UsageText =
    "Использование: pinvel-avrsim [--harness FILE] [--fast] [--cycles] FIRMWARE.elf\n";

std::atomic<bool> Stop{false};

void OnSignal(int) {
    Stop = true;
}

int Usage(const char* why) {
    std::fprintf(stderr, "pinvel-avrsim: %s\n%s", why, UsageText);
    return 2;
}

int Help() {
    std::printf("%s"
                "Плата открытого блока диагностики, смоделированная вокруг его прошивки.\n"
                "  --harness FILE  описание жгута в JSON (как у pinvel-unit)\n"
                "  --fast          не согласовывать время модели с часами\n"
                "  --cycles        при выходе напечатать такты от запроса до ответа\n"
                "UART0 выводится на псевдотерминал; его путь печатается первой строкой:\n"
                "  pinvel-avrsim: unit on /dev/pts/N\n",
                UsageText);
    return 0;
}

struct Options {
    std::string Elf;
    std::string Harness;
    bool Fast = false;
    bool Cycles = false;
};
} // namespace

int main(int argc, char** argv) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h")
            return Help();
        if (arg == "--fast")
            options.Fast = true;
        else if (arg == "--cycles")
            options.Cycles = true;
        else if (arg == "--harness" && i + 1 < argc)
            options.Harness = argv[++i];
        else if (!arg.empty() && arg[0] != '-' && options.Elf.empty())
            options.Elf = arg;
        else
            return Usage(("неверный аргумент: " + arg).c_str());
    }
    if (options.Elf.empty())
        return Usage("не указан файл прошивки (ELF)");

    THarness harness;
    std::string error;
    if (!options.Harness.empty() && !THarness::Load(options.Harness, harness, error)) {
        std::fprintf(stderr, "pinvel-avrsim: %s\n", error.c_str());
        return 2;
    }
    if (harness.UnitType != THarness::DefaultUnitType) {
        std::fprintf(stderr, "pinvel-avrsim: %s: плата открытого блока имеет тип %d, а не %d\n",
                     options.Harness.c_str(), THarness::DefaultUnitType, harness.UnitType);
        return 2;
    }
    struct stat info {};
    if (::stat(options.Elf.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fprintf(stderr, "pinvel-avrsim: файл прошивки %s не найден\n", options.Elf.c_str());
        return 2;
    }
    elf_firmware_t firmware{};
    if (elf_read_firmware(options.Elf.c_str(), &firmware) != 0) {
        std::fprintf(stderr, "pinvel-avrsim: %s не является прошивкой ELF для AVR\n",
                     options.Elf.c_str());
        return 2;
    }
    std::strcpy(firmware.mmcu, "atmega2560");
    firmware.frequency = 16000000;
    avr_t* avr = avr_make_mcu_by_name(firmware.mmcu);
    if (avr == nullptr || avr_init(avr) != 0) {
        std::fprintf(stderr, "pinvel-avrsim: не удалось создать модель ATmega2560\n");
        return 2;
    }
    avr->log = LOG_ERROR;
    avr_load_firmware(avr, &firmware);
    avr->frequency = firmware.frequency;

    auto board = std::make_unique<TAvrBoard>(avr, std::move(harness));
    // uart_pty announces itself on standard output; our own line is the one to look for.
    uart_pty_t pty{};
    uart_pty_init(avr, &pty);
    uart_pty_connect(&pty, '0');
    std::printf("pinvel-avrsim: unit on %s\n", pty.port[0].slavename);
    std::fflush(stdout);

    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGHUP, OnSignal);

    // Paced: every simulated millisecond is held to the clock, so the link's bytes take the time
    // they take on the wire and an idle firmware costs little.
    const auto start = std::chrono::steady_clock::now();
    const avr_cycle_count_t perMs = avr->frequency / 1000;
    avr_cycle_count_t nextCheck = perMs;
    int state = cpu_Running;
    int status = 0;
    while (!Stop) {
        state = avr_run(avr);
        if (state == cpu_Done || state == cpu_Crashed) {
            std::fprintf(stderr, "pinvel-avrsim: прошивка остановилась (%s)\n",
                         state == cpu_Crashed ? "сбой" : "завершение");
            status = 1;
            break;
        }
        if (!options.Fast && avr->cycle >= nextCheck) {
            nextCheck = avr->cycle + perMs;
            const auto simulated = std::chrono::microseconds(avr->cycle / (avr->frequency / 1000000));
            const auto ahead = simulated - (std::chrono::steady_clock::now() - start);
            if (ahead > std::chrono::milliseconds(1))
                std::this_thread::sleep_for(ahead);
        }
    }
    uart_pty_stop(&pty);
    if (options.Cycles) {
        const auto& cycles = board->ReplyCycles();
        std::uint64_t worst = 0;
        for (std::uint64_t c : cycles)
            worst = std::max(worst, c);
        std::fprintf(stderr, "pinvel-avrsim: replies %zu, cycles to reply last %llu max %llu\n",
                     cycles.size(),
                     static_cast<unsigned long long>(cycles.empty() ? 0 : cycles.back()),
                     static_cast<unsigned long long>(worst));
    }
    board.reset();
    avr_terminate(avr);
    return status;
}
