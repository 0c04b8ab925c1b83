// SPDX-License-Identifier: GPL-3.0-or-later
#include "TOffThreadCall.h"

#include <QEventLoop>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdint>
#include <exception>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

bool TOffThreadCall::Run(const std::function<bool()>& fn) {
    // The thread wakes the loop through a counter file rather than Qt's event queue, so nothing
    // of Qt's own memory is shared with it; the result travels through the join.
    const int wake = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake < 0)
        return fn();
    bool result = false;
    std::exception_ptr error;
    QEventLoop loop;
    QSocketNotifier notifier(wake, QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &loop, &QEventLoop::quit);
    std::thread worker([&] {
        try {
            result = fn();
        } catch (...) {
            error = std::current_exception();
        }
        const std::uint64_t one = 1;
        while (::write(wake, &one, sizeof one) < 0 && errno == EINTR) {
        }
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    ::close(wake);
    if (error)
        std::rethrow_exception(error);
    return result;
}
