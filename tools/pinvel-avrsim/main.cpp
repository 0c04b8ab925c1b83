// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-avrsim: the open unit's board simulated around its firmware. The firmware's ELF runs in a
// simulated ATmega2560 at 16 MHz; its UART0 is a pseudo-terminal that the program reaches through
// `serial:` exactly as it reaches the board.
//
//   pinvel-avrsim [--harness FILE] [--fast] [--cycles] FIRMWARE.elf

#include "TAvrBoard.h"
#include "TPtyWire.h"

#include "THarness.h"
#include "TIniFile.h"
#include "TTranslation.h"

#include <QCoreApplication>

#include <sim_avr.h>
#include <sim_elf.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>
#include <poll.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <vector>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelAvrsim)
};

std::string Text(const QString& text) {
    return text.toStdString();
}

std::string UsageText() {
    return Text(TTexts::tr(
        "Использование: pinvel-avrsim [--harness FILE] [--fast] [--cycles] FIRMWARE.elf\n"));
}

std::atomic<bool> Stop{false};

void OnSignal(int) {
    Stop = true;
}

int Usage(const QString& why) {
    std::fprintf(stderr, "pinvel-avrsim: %s\n%s", Text(why).c_str(), UsageText().c_str());
    return 2;
}

int Help() {
    std::printf(
        "%s%s", UsageText().c_str(),
        Text(TTexts::tr("Плата открытого блока диагностики, смоделированная вокруг его прошивки.\n"
                        "  --harness FILE  описание жгута в JSON (как у pinvel-unit)\n"
                        "  --fast          не согласовывать время модели с часами\n"
                        "  --cycles        при выходе напечатать такты от запроса до ответа\n"
                        "UART0 выводится на псевдотерминал; его путь печатается первой строкой:\n"
                        "  pinvel-avrsim: unit on /dev/pts/N\n"))
            .c_str());
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
    QCoreApplication app(argc, argv);
    TTranslation::Install(TTranslation::ChooseForProgram(TIniFile::ProgramSettingsPath()));
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
            return Usage(TTexts::tr("неверный аргумент: %1").arg(QString::fromStdString(arg)));
    }
    if (options.Elf.empty())
        return Usage(TTexts::tr("не указан файл прошивки (ELF)"));

    THarness harness;
    std::string error;
    if (!options.Harness.empty() && !THarness::Load(options.Harness, harness, error)) {
        std::fprintf(stderr, "pinvel-avrsim: %s\n", error.c_str());
        return 2;
    }
    if (harness.UnitType != THarness::DefaultUnitType) {
        std::fprintf(stderr, "pinvel-avrsim: %s\n",
                     Text(TTexts::tr("%1: плата открытого блока имеет тип %2, а не %3")
                              .arg(QString::fromStdString(options.Harness))
                              .arg(THarness::DefaultUnitType)
                              .arg(harness.UnitType))
                         .c_str());
        return 2;
    }
    struct stat info {};
    if (::stat(options.Elf.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        std::fprintf(
            stderr, "pinvel-avrsim: %s\n",
            Text(TTexts::tr("файл прошивки %1 не найден").arg(QString::fromStdString(options.Elf)))
                .c_str());
        return 2;
    }
    elf_firmware_t firmware{};
    if (elf_read_firmware(options.Elf.c_str(), &firmware) != 0 || firmware.flashsize == 0) {
        std::fprintf(stderr, "pinvel-avrsim: %s\n",
                     Text(TTexts::tr("%1 не является прошивкой ELF для AVR")
                              .arg(QString::fromStdString(options.Elf)))
                         .c_str());
        return 2;
    }
    std::strcpy(firmware.mmcu, "atmega2560");
    firmware.frequency = 16000000;
    avr_t* avr = avr_make_mcu_by_name(firmware.mmcu);
    if (avr == nullptr || avr_init(avr) != 0) {
        std::fprintf(stderr, "pinvel-avrsim: %s\n",
                     Text(TTexts::tr("не удалось создать модель ATmega2560")).c_str());
        return 2;
    }
    avr->log = LOG_ERROR;
    // The library would sleep in real time whenever the chip sleeps; the run loop paces the
    // simulation itself (and wakes the moment the host writes), or not at all with --fast.
    avr->sleep = avr_callback_sleep_raw;
    avr_load_firmware(avr, &firmware);
    avr->frequency = firmware.frequency;

    auto board = std::make_unique<TAvrBoard>(avr, std::move(harness));
    TPtyWire wire(avr);
    if (!wire.Open(error)) {
        std::fprintf(stderr, "pinvel-avrsim: %s\n", error.c_str());
        return 1;
    }
    std::signal(SIGTERM, OnSignal);
    std::signal(SIGINT, OnSignal);
    std::signal(SIGHUP, OnSignal);
    std::printf("pinvel-avrsim: unit on %s\n", wire.Path().c_str());
    std::fflush(stdout);

    // Paced: simulated time is held to the clock every millisecond, so the link's bytes take the
    // time they take on the wire and an idle firmware costs little. The wait ends early when the
    // host writes, so an answer never waits for the next millisecond.
    const auto start = std::chrono::steady_clock::now();
    const avr_cycle_count_t perCheck = avr->frequency / 1000;
    avr_cycle_count_t nextCheck = perCheck;
    int state = cpu_Running;
    int status = 0;
    while (!Stop) {
        state = avr_run(avr);
        if (state == cpu_Done || state == cpu_Crashed) {
            std::fprintf(stderr, "pinvel-avrsim: %s\n",
                         Text(state == cpu_Crashed
                                  ? TTexts::tr("прошивка остановилась (сбой)")
                                  : TTexts::tr("прошивка остановилась (завершение)"))
                             .c_str());
            status = 1;
            break;
        }
        if (avr->cycle >= nextCheck) {
            nextCheck = avr->cycle + perCheck;
            wire.KeepAlive();
            if (options.Fast)
                continue;
            const auto simulated =
                std::chrono::nanoseconds(avr->cycle * 1000 / (avr->frequency / 1000000));
            const auto ahead = simulated - (std::chrono::steady_clock::now() - start);
            if (ahead > std::chrono::microseconds(200)) {
                const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(ahead).count();
                const timespec wait{static_cast<time_t>(ns / 1000000000),
                                    static_cast<long>(ns % 1000000000)};
                pollfd host{wire.HostDescriptor(), POLLIN, 0};
                if (::ppoll(&host, 1, &wait, nullptr) > 0)
                    wire.Wake();
            }
        }
    }
    if (options.Cycles) {
        // The chip's cycles from a request's last byte to its reply's first, and of a whole
        // exchange on the wire (medians).
        const auto median = [](std::vector<std::uint64_t> cycles) {
            std::sort(cycles.begin(), cycles.end());
            return static_cast<unsigned long long>(cycles.empty() ? 0 : cycles[cycles.size() / 2]);
        };
        std::fprintf(stderr,
                     "pinvel-avrsim: replies %zu, cycles to reply median %llu, "
                     "exchange cycles median %llu\n",
                     wire.ReplyCycles().size(), median(wire.ReplyCycles()),
                     median(wire.ExchangeCycles()));
    }
    board.reset();
    avr_terminate(avr);
    return status;
}
