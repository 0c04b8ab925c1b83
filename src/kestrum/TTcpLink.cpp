// SPDX-License-Identifier: GPL-3.0-or-later
#include "TTcpLink.h"

#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QString>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TTcpLink)
};
} // namespace

TTcpLink::TTcpLink(Sink& sink, std::string host, int port, int timeoutMs)
    : TFdLink(sink, timeoutMs), FHost(std::move(host)), FPort(port), FTimeoutMs(timeoutMs) {}

TTcpLink::~TTcpLink() {
    Close();
}

std::string TTcpLink::Describe() const {
    return TTexts::tr("соединение с %1:%2")
        .arg(QString::fromStdString(FHost))
        .arg(FPort)
        .toStdString();
}

int TTcpLink::OpenDescriptor(std::string& error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(FPort);
    const int rc = ::getaddrinfo(FHost.c_str(), service.c_str(), &hints, &found);
    if (rc != 0) {
        error = TTexts::tr("Не найден адрес %1: %2")
                    .arg(QString::fromStdString(FHost), ResolverErrorText(rc))
                    .toStdString();
        return -1;
    }
    // Connecting may take longer than a reply on a slow network, never less than a second.
    const int connectMs = FTimeoutMs < 1000 ? 1000 : FTimeoutMs;
    int fd = -1;
    QString why;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
        fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            why = SystemErrorText(errno);
            continue;
        }
        int err = 0;
        if (::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            err = errno;
            if (err == EINPROGRESS) {
                pollfd p{fd, POLLOUT, 0};
                const int ready = ::poll(&p, 1, connectMs);
                socklen_t len = sizeof err;
                if (ready <= 0)
                    err = ETIMEDOUT;
                else if (::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) != 0)
                    err = errno;
            }
        }
        if (err != 0) {
            why = SystemErrorText(err);
            ::close(fd);
            fd = -1;
        }
    }
    ::freeaddrinfo(found);
    if (fd < 0) {
        error = TTexts::tr("Не удалось подключиться к %1:%2: %3")
                    .arg(QString::fromStdString(FHost))
                    .arg(FPort)
                    .arg(why)
                    .toStdString();
        return -1;
    }
    // Every command is a small frame that waits for its answer: no batching.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}
