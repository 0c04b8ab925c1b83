// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// A connection to the unit emulator's control port (--control), as a person with nc has one:
// a line out, the emulator's one-line answer back.
class TControlClient {
  public:
    explicit TControlClient(int port) {
        FFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(std::uint16_t(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (FFd >= 0 &&
            ::connect(FFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
            ::close(FFd);
            FFd = -1;
        }
    }
    ~TControlClient() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TControlClient(const TControlClient&) = delete;
    TControlClient& operator=(const TControlClient&) = delete;

    bool Connected() const { return FFd >= 0; }

    // Sends the bytes as they are (a line ends with '\n') and answers the next line, without its
    // end; empty after 10 s without one.
    QString Send(const QByteArray& bytes) {
        if (FFd < 0 ||
            ::send(FFd, bytes.constData(), std::size_t(bytes.size()), MSG_NOSIGNAL) != bytes.size())
            return {};
        return Answer();
    }
    QString Line(const QString& line) { return Send(line.toUtf8() + '\n'); }

    QString Answer() {
        for (;;) {
            const qsizetype end = FBuffer.indexOf('\n');
            if (end >= 0) {
                const QString line = QString::fromUtf8(FBuffer.left(end));
                FBuffer.remove(0, end + 1);
                return line;
            }
            pollfd p{FFd, POLLIN, 0};
            char chunk[256];
            if (::poll(&p, 1, 10000) <= 0)
                return {};
            const ssize_t n = ::recv(FFd, chunk, sizeof chunk, 0);
            if (n <= 0)
                return {};
            FBuffer.append(chunk, n);
        }
    }

  private:
    int FFd = -1;
    QByteArray FBuffer;
};
