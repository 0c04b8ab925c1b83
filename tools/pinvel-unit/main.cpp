// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-unit: the simulated diagnostic unit served over TCP, so that the program and its tests
// reach it through a real connection and a process boundary.
//
//   pinvel-unit --listen HOST:PORT [--harness FILE] [--log] [--drop-after N] [--close-after N]
//               [--reply-us N] [--control HOST:PORT]
//
// One connection is served after another until the process is stopped. The unit (its pin levels
// and tables) lives as long as the process; the fault counters start again with each connection.

#include "IComPort.h"
#include "SystemErrorText.h"
#include "TControlPort.h"
#include "TFrameCodec.h"
#include "THarness.h"
#include "TIniFile.h"
#include "TSimUnit.h"
#include "TTranslation.h"

#include "TUnitControl.h"
#include <QCoreApplication>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelUnit)
};

// A text in the user's language, as the terminal takes it.
std::string Text(const QString& text) {
    return text.toStdString();
}

struct Options {
    std::string Host;
    std::string Port;
    std::string Harness;
    bool Log = false;
    bool Compact = false; // the hello announces the compact form
    long DropAfter = -1;
    long CloseAfter = -1;
    // A real unit's pace: each answer leaves this long after its command came in.
    long ReplyUs = 1000;
    std::string ControlHost; // --control: the harness changed by hand while the unit runs
    std::string ControlPort;
};

std::string UsageText() {
    return Text(TTexts::tr("Использование: pinvel-unit --listen HOST:PORT [--harness FILE] [--log] "
                           "[--drop-after N] [--close-after N] [--reply-us N] [--compact] "
                           "[--control HOST:PORT]\n"));
}

int Usage(const QString& why) {
    std::fprintf(stderr, "pinvel-unit: %s\n%s", Text(why).c_str(), UsageText().c_str());
    return 2;
}

int Help() {
    std::printf(
        "%s%s", UsageText().c_str(),
        Text(TTexts::tr("Имитатор блока диагностики: принимает кадры связи по TCP и отвечает как "
                        "блок.\n"
                        "  --listen HOST:PORT  адрес для подключения (порт 0: любой свободный)\n"
                        "  --harness FILE      описание жгута в JSON\n"
                        "  --log               печатать каждый принятый и отправленный кадр\n"
                        "  --compact           объявить в приветствии сжатую форму кадров\n"
                        "  --drop-after N      после N команд не отвечать\n"
                        "  --close-after N     закрыть соединение на команде N+1\n"
                        "  --reply-us N        отвечать через N микросекунд после команды "
                        "(1000)\n"
                        "  --control HOST:PORT строки управления: probe ВЫВОД|none, connect А Б,\n"
                        "                      disconnect А Б, reset; ответ ok или ошибка\n"))
            .c_str());
    return 0;
}

bool Number(const char* text, long& value) {
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && value >= 0;
}

void LogFrame(const char* direction, std::uint8_t code, const std::uint8_t* data,
              std::size_t size) {
    std::printf("%s %3u [%zu]", direction, code, size);
    for (std::size_t i = 0; i < size; ++i)
        std::printf(" %02X", data[i]);
    std::printf("\n");
    std::fflush(stdout);
}

bool SendAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Serves one connection until the peer goes, a frame is broken or --close-after strikes.
void Serve(int fd, TSimUnit& unit, const Options& options) {
    TFrameCodec decoder;
    TFrame frame;
    TFrame reply;
    std::vector<std::uint8_t> out;
    long commands = 0;
    std::uint8_t chunk[4096];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (options.Log)
                std::printf("-- %s\n", Text(decoder.Buffered() > 0
                                                ? TTexts::tr("соединение закрыто на середине кадра")
                                                : TTexts::tr("соединение закрыто"))
                                           .c_str());
            return;
        }
        const auto received = std::chrono::steady_clock::now();
        decoder.Append(chunk, static_cast<std::size_t>(n));
        // Commands that came in one read are worked through one after another, each answer a
        // pace after the one before.
        auto due = received;
        for (;;) {
            const TFrameCodec::Status status = decoder.Next(frame);
            if (status == TFrameCodec::Status::NeedMore)
                break;
            if (status != TFrameCodec::Status::Frame) {
                std::printf("-- %s\n",
                            Text(TTexts::tr("неверный кадр: %1; соединение закрыто")
                                     .arg(QString::fromUtf8(TFrameCodec::StatusText(status))))
                                .c_str());
                std::fflush(stdout);
                return;
            }
            if (options.Log)
                LogFrame("<-", frame.Code, frame.Payload.data(), frame.Payload.size());
            const bool command = frame.Code < TFrameCodec::Hello;
            if (command) {
                ++commands;
                if (options.CloseAfter >= 0 && commands > options.CloseAfter) {
                    if (options.Log)
                        std::printf("-- --close-after %ld: %s\n", options.CloseAfter,
                                    Text(TTexts::tr("соединение закрыто")).c_str());
                    return;
                }
            }
            if (options.DropAfter >= 0 && commands > options.DropAfter) {
                if (options.Log)
                    std::printf("-- --drop-after %ld: %s\n", options.DropAfter,
                                Text(TTexts::tr("без ответа")).c_str());
                continue;
            }
            if (unit.Handle(frame.Code, frame.Payload.data(), frame.Payload.size(), reply) !=
                TSimUnit::Outcome::Reply)
                continue;
            due += std::chrono::microseconds(options.ReplyUs);
            std::this_thread::sleep_until(due);
            if (options.Log)
                LogFrame("->", reply.Code, reply.Payload.data(), reply.Payload.size());
            out.clear();
            TFrameCodec::Encode(reply.Code, reply.Payload.data(), reply.Payload.size(), out);
            if (!SendAll(fd, out))
                return;
        }
        std::fflush(stdout);
    }
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TTranslation::Install(TTranslation::ChooseForProgram(TIniFile::ProgramSettingsPath()));
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--help" || arg == "-h") {
            return Help();
        } else if (arg == "--listen" && hasValue) {
            const std::string value = argv[++i];
            const std::size_t colon = value.rfind(':');
            if (colon == std::string::npos || colon == 0 || colon + 1 == value.size())
                return Usage(TTexts::tr("--listen ожидает HOST:PORT"));
            options.Host = value.substr(0, colon);
            options.Port = value.substr(colon + 1);
        } else if (arg == "--harness" && hasValue) {
            options.Harness = argv[++i];
        } else if (arg == "--log") {
            options.Log = true;
        } else if (arg == "--compact") {
            options.Compact = true;
        } else if (arg == "--drop-after" && hasValue) {
            if (!Number(argv[++i], options.DropAfter))
                return Usage(TTexts::tr("--drop-after ожидает число"));
        } else if (arg == "--close-after" && hasValue) {
            if (!Number(argv[++i], options.CloseAfter))
                return Usage(TTexts::tr("--close-after ожидает число"));
        } else if (arg == "--reply-us" && hasValue) {
            if (!Number(argv[++i], options.ReplyUs) || options.ReplyUs > 1000000)
                return Usage(TTexts::tr("--reply-us ожидает число микросекунд от 0 до 1000000"));
        } else if (arg == "--control" && hasValue) {
            const std::string value = argv[++i];
            const std::size_t colon = value.rfind(':');
            if (colon == std::string::npos || colon == 0 || colon + 1 == value.size())
                return Usage(TTexts::tr("--control ожидает HOST:PORT"));
            options.ControlHost = value.substr(0, colon);
            options.ControlPort = value.substr(colon + 1);
        } else {
            return Usage(TTexts::tr("непонятный параметр %1").arg(QString::fromStdString(arg)));
        }
    }
    if (options.Host.empty())
        return Usage(TTexts::tr("не задан --listen"));

    THarness harness;
    std::string error;
    if (!options.Harness.empty() && !THarness::Load(options.Harness, harness, error)) {
        std::fprintf(stderr, "pinvel-unit: %s\n", error.c_str());
        return 1;
    }
    TSimUnit unit(harness);
    unit.SetAnnounceCompact(options.Compact);
    TUnitControl control(unit, std::move(harness));

    std::signal(SIGPIPE, SIG_IGN);
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(options.Host.c_str(), options.Port.c_str(), &hints, &found);
        rc != 0) {
        std::fprintf(stderr, "pinvel-unit: %s\n",
                     Text(TTexts::tr("адрес %1: %2")
                              .arg(QString::fromStdString(options.Host), ResolverErrorText(rc)))
                         .c_str());
        return 1;
    }
    const int server =
        ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
    const int on = 1;
    if (server >= 0)
        ::setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (server < 0 || ::bind(server, found->ai_addr, found->ai_addrlen) != 0 ||
        ::listen(server, 4) != 0) {
        const int err = errno; // before anything else can change it
        std::fprintf(stderr, "pinvel-unit: %s\n",
                     Text(TTexts::tr("не удалось слушать %1:%2: %3")
                              .arg(QString::fromStdString(options.Host),
                                   QString::fromStdString(options.Port), SystemErrorText(err)))
                         .c_str());
        return 1;
    }
    ::freeaddrinfo(found);

    sockaddr_storage bound{};
    socklen_t boundSize = sizeof bound;
    ::getsockname(server, reinterpret_cast<sockaddr*>(&bound), &boundSize);
    char port[16] = {};
    ::getnameinfo(reinterpret_cast<sockaddr*>(&bound), boundSize, nullptr, 0, port, sizeof port,
                  NI_NUMERICSERV);
    // Tests start the emulator on port 0 and read the port it got from this line.
    std::printf("pinvel-unit: listening on %s:%s, unit type %d\n", options.Host.c_str(), port,
                unit.UnitType());
    std::unique_ptr<TControlPort> controlPort;
    if (!options.ControlHost.empty()) {
        controlPort =
            TControlPort::Listen(options.ControlHost, options.ControlPort, control, error);
        if (!controlPort) {
            std::fprintf(stderr, "pinvel-unit: --control: %s\n", error.c_str());
            return 1;
        }
        // The second line, for tests that ask for port 0.
        std::printf("pinvel-unit: control on %s:%s\n", options.ControlHost.c_str(),
                    controlPort->Port().c_str());
    }
    std::fflush(stdout);

    for (;;) {
        const int fd = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            std::fprintf(stderr, "pinvel-unit: accept: %s\n",
                         SystemErrorText(errno).toUtf8().constData());
            return 1;
        }
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        if (options.Log) {
            std::printf("-- %s\n", Text(TTexts::tr("новое соединение")).c_str());
            std::fflush(stdout);
        }
        Serve(fd, unit, options);
        std::fflush(stdout);
        ::close(fd);
    }
}
