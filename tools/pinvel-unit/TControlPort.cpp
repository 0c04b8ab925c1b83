// SPDX-License-Identifier: GPL-3.0-or-later
#include "TControlPort.h"

#include "SystemErrorText.h"
#include "TUnitControl.h"

#include <QCoreApplication>

#include <cerrno>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TControlPort)
};

// A line longer than this is no command: it is refused and the rest of it skipped.
constexpr std::size_t MaxLine = 256;

bool SendLine(int fd, std::string line) {
    line += '\n';
    std::size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::send(fd, line.data() + done, line.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

std::unique_ptr<TControlPort> TControlPort::Listen(const std::string& host, const std::string& port,
                                                   TUnitControl& control, std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE;
    addrinfo* found = nullptr;
    if (const int rc = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found); rc != 0) {
        error = TTexts::tr("адрес %1: %2")
                    .arg(QString::fromStdString(host), ResolverErrorText(rc))
                    .toStdString();
        return nullptr;
    }
    const int server =
        ::socket(found->ai_family, found->ai_socktype | SOCK_CLOEXEC, found->ai_protocol);
    const int on = 1;
    if (server >= 0)
        ::setsockopt(server, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const bool listening = server >= 0 && ::bind(server, found->ai_addr, found->ai_addrlen) == 0 &&
                           ::listen(server, 4) == 0;
    const int why = errno;
    ::freeaddrinfo(found);
    if (!listening) {
        if (server >= 0)
            ::close(server);
        error = TTexts::tr("не удалось слушать %1:%2: %3")
                    .arg(QString::fromStdString(host), QString::fromStdString(port),
                         SystemErrorText(why))
                    .toStdString();
        return nullptr;
    }
    sockaddr_storage bound{};
    socklen_t boundSize = sizeof bound;
    ::getsockname(server, reinterpret_cast<sockaddr*>(&bound), &boundSize);
    char number[16] = {};
    ::getnameinfo(reinterpret_cast<sockaddr*>(&bound), boundSize, nullptr, 0, number, sizeof number,
                  NI_NUMERICSERV);
    return std::unique_ptr<TControlPort>(new TControlPort(server, number, control));
}

TControlPort::TControlPort(int server, std::string port, TUnitControl& control)
    : FServer(server), FPort(std::move(port)), FControl(control) {
    FThread = std::thread([this] { Serve(); });
}

TControlPort::~TControlPort() {
    // Wakes the thread out of accept (or out of its connection) so it can be joined.
    ::shutdown(FServer, SHUT_RDWR);
    ::close(FServer);
    FThread.join();
}

void TControlPort::Serve() {
    for (;;) {
        const int fd = ::accept4(FServer, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return; // the port was closed
        }
        ServeConnection(fd);
        ::close(fd);
    }
}

void TControlPort::ServeConnection(int fd) {
    std::string line;
    bool skipping = false;
    char chunk[512];
    for (;;) {
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return;
        for (ssize_t i = 0; i < n; ++i) {
            const char c = chunk[i];
            if (c != '\n') {
                if (!skipping && c != '\r')
                    line += c;
                if (line.size() > MaxLine) {
                    skipping = true;
                    line.clear();
                }
                continue;
            }
            const std::string answer =
                skipping ? TTexts::tr("ошибка: слишком длинная строка").toStdString()
                         : FControl.Apply(line);
            skipping = false;
            line.clear();
            if (!SendLine(fd, answer))
                return;
        }
    }
}
