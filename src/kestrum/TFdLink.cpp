// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFdLink.h"

#include "SystemErrorText.h"

#include <QCoreApplication>
#include <QString>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TFdLink)
};
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}
} // namespace

TFdLink::TFdLink(Sink& sink, int writeTimeoutMs) : FSink(sink), FWriteTimeoutMs(writeTimeoutMs) {}

TFdLink::~TFdLink() {
    Close();
}

bool TFdLink::Open(std::string& error) {
    Close();
    FFd = OpenDescriptor(error);
    if (FFd < 0)
        return false;
    FWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (FWake < 0) {
        error = TTexts::tr("%1: не удалось создать событие: %2")
                    .arg(Q(Describe()), SystemErrorText(errno))
                    .toStdString();
        ::close(FFd);
        FFd = -1;
        return false;
    }
    FFailed = false;
    FReader = std::thread(&TFdLink::ReadLoop, this);
    return true;
}

void TFdLink::Close() {
    if (FReader.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(FWake, &one, sizeof one);
        FReader.join();
    }
    if (FWake >= 0)
        ::close(FWake);
    if (FFd >= 0)
        ::close(FFd);
    FWake = -1;
    FFd = -1;
}

void TFdLink::Fail(TKestrumError error, const std::string& text) {
    // The reader and a writer may both notice the same break; the port hears of it once.
    if (!FFailed.exchange(true))
        FSink.OnFailure(error, text);
}

bool TFdLink::SendFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) {
    if (FFd < 0 || FFailed) {
        Fail(TKestrumError::LinkLost,
             TTexts::tr("%1: связь потеряна.").arg(Q(Describe())).toStdString());
        return false;
    }
    FOut.clear();
    if (!TFrameCodec::Encode(code, data, size, FOut))
        return false;
    std::size_t done = 0;
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(FWriteTimeoutMs);
    while (done < FOut.size()) {
        const ssize_t n = IsSocket()
                              ? ::send(FFd, FOut.data() + done, FOut.size() - done, MSG_NOSIGNAL)
                              : ::write(FFd, FOut.data() + done, FOut.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{FFd, POLLOUT, 0};
            if (left.count() > 0 && ::poll(&p, 1, static_cast<int>(left.count())) > 0 &&
                (p.revents & POLLOUT) != 0)
                continue;
            Fail(TKestrumError::LinkLost, TTexts::tr("%1: блок диагностики не принимает данные.")
                                              .arg(Q(Describe()))
                                              .toStdString());
            return false;
        }
        Fail(TKestrumError::LinkLost,
             TTexts::tr("%1: ошибка записи: %2")
                 .arg(Q(Describe()), SystemErrorText(n < 0 ? errno : EPIPE))
                 .toStdString());
        return false;
    }
    return true;
}

void TFdLink::ReadLoop() {
    TFrameCodec decoder;
    TFrame frame;
    std::uint8_t chunk[4096];
    for (;;) {
        pollfd p[2] = {{FFd, POLLIN, 0}, {FWake, POLLIN, 0}};
        const int ready = ::poll(p, 2, 1000);
        if (ready < 0 && errno != EINTR) {
            Fail(TKestrumError::LinkLost, TTexts::tr("%1: ошибка ожидания: %2")
                                              .arg(Q(Describe()), SystemErrorText(errno))
                                              .toStdString());
            return;
        }
        if (p[1].revents != 0)
            return; // Close
        if (ready <= 0 || p[0].revents == 0)
            continue;
        const ssize_t n = ::read(FFd, chunk, sizeof chunk);
        if (n < 0 && (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK))
            continue;
        if (n <= 0) {
            const QString why = n == 0 ? TTexts::tr("соединение закрыто блоком диагностики")
                                       : SystemErrorText(errno);
            const QString midFrame =
                decoder.Buffered() > 0 ? TTexts::tr(" (на середине кадра)") : QString();
            Fail(TKestrumError::LinkLost, TTexts::tr("%1: связь потеряна: %2%3.")
                                              .arg(Q(Describe()), why, midFrame)
                                              .toStdString());
            return;
        }
        decoder.Append(chunk, static_cast<std::size_t>(n));
        for (;;) {
            const TFrameCodec::Status status = decoder.Next(frame);
            if (status == TFrameCodec::Status::NeedMore)
                break;
            if (status != TFrameCodec::Status::Frame) {
                Fail(TKestrumError::BadFrame,
                     TTexts::tr("%1: неверный кадр от блока диагностики: %2.")
                         .arg(Q(Describe()), QCoreApplication::translate(
                                                 "TFrameCodec", TFrameCodec::StatusText(status)))
                         .toStdString());
                return;
            }
            FSink.OnFrame(frame.Code, frame.Payload.data(), frame.Payload.size());
        }
    }
}
