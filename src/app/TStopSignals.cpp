// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStopSignals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
// Only one set of handlers exists in a process; these are what the handler may touch.
int gWakeFd = -1;
std::atomic<int> gSignal{0};
const int kStopSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void OnStopSignal(int signalNumber) {
    const int saved = errno;
    gSignal.store(signalNumber);
    // The next request of the same kind is not asked twice: it ends the program at once.
    std::signal(signalNumber, SIG_DFL);
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t written = ::write(gWakeFd, &one, sizeof one);
    errno = saved;
}
} // namespace

TStopSignals::TStopSignals(QObject* parent) : QObject(parent) {
    if (gWakeFd >= 0)
        return; // handlers already installed by another object
    gWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (gWakeFd < 0)
        return; // without it the signals keep their default meaning
    FNotifier = std::make_unique<QSocketNotifier>(gWakeFd, QSocketNotifier::Read);
    connect(FNotifier.get(), &QSocketNotifier::activated, this, &TStopSignals::Received);
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int s : kStopSignals)
        sigaction(s, &action, nullptr);
}

TStopSignals::~TStopSignals() {
    if (!FNotifier)
        return;
    for (int s : kStopSignals)
        std::signal(s, SIG_DFL);
    FNotifier.reset();
    ::close(gWakeFd);
    gWakeFd = -1;
}

void TStopSignals::Received() {
    std::uint64_t count = 0;
    while (::read(gWakeFd, &count, sizeof count) < 0 && errno == EINTR) {
    }
    emit StopRequested(gSignal.load());
}
