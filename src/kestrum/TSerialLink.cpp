#include "TSerialLink.h"

#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QString>

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

TSerialLink::TSerialLink(Sink& sink, std::string device, int timeoutMs)
    : TFdLink(sink, timeoutMs), FDevice(std::move(device)) {}

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
    // A USB CDC unit ignores the speed; 115200 suits a real UART behind an adapter.
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
    ::cfsetispeed(&tio, B115200);
    ::cfsetospeed(&tio, B115200);
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
