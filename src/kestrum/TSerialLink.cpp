// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSerialLink.h"

#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QString>

#include <string>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TSerialLink)
};
} // namespace

namespace {
struct TBaud {
    int Baud;
    speed_t Constant;
};
constexpr TBaud Bauds[] = {{9600, B9600},       {19200, B19200},     {38400, B38400},
                           {57600, B57600},     {115200, B115200},   {230400, B230400},
                           {460800, B460800},   {500000, B500000},   {921600, B921600},
                           {1000000, B1000000}, {1500000, B1500000}, {2000000, B2000000}};

speed_t SpeedConstant(int baud) {
    for (const TBaud& b : Bauds)
        if (b.Baud == baud)
            return b.Constant;
    return B115200;
}
} // namespace

TSerialLink::TSerialLink(Sink& sink, std::string device, int baud, int timeoutMs)
    : TFdLink(sink, timeoutMs), FDevice(std::move(device)), FBaud(baud) {}

bool TSerialLink::ParseBaud(std::string_view text, int& baud) {
    if (text.empty() || text.size() > 7)
        return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + (c - '0');
    }
    for (const TBaud& b : Bauds)
        if (b.Baud == value) {
            baud = value;
            return true;
        }
    return false;
}

std::string TSerialLink::KnownBauds() {
    std::string list;
    for (const TBaud& b : Bauds)
        list += (list.empty() ? "" : ", ") + std::to_string(b.Baud);
    return list;
}

TSerialLink::~TSerialLink() {
    Close();
}

std::string TSerialLink::Describe() const {
    return TTexts::tr("последовательный порт %1")
        .arg(QString::fromStdString(FDevice))
        .toStdString();
}

int TSerialLink::OpenDescriptor(std::string& error) {
    const int fd = ::open(FDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = TTexts::tr("Не удалось открыть последовательный порт %1: %2")
                    .arg(QString::fromStdString(FDevice), SystemErrorText(errno))
                    .toStdString();
        return -1;
    }
    // Raw bytes both ways: no echo, no line editing, no character translation, no flow control.
    // A USB CDC unit ignores the speed; a UART behind a USB-serial bridge runs at the link's.
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) {
        error = TTexts::tr("%1 не является последовательным портом: %2")
                    .arg(QString::fromStdString(FDevice), SystemErrorText(errno))
                    .toStdString();
        ::close(fd);
        return -1;
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | CSTOPB | PARENB);
    tio.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, SpeedConstant(FBaud));
    ::cfsetospeed(&tio, SpeedConstant(FBaud));
    if (::tcsetattr(fd, TCSANOW, &tio) != 0) {
        error = TTexts::tr("Не удалось настроить последовательный порт %1: %2")
                    .arg(QString::fromStdString(FDevice), SystemErrorText(errno))
                    .toStdString();
        ::close(fd);
        return -1;
    }
    // Bytes left over from before (a half-sent frame of a previous session) would put the stream
    // out of step.
    ::tcflush(fd, TCIOFLUSH);
    return fd;
}
