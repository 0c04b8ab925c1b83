// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSyncCaller.h"

#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <system_error>
#include <unistd.h>

TSyncCaller::TSyncCaller(QObject* parent) : QObject(parent), FUiThread(std::this_thread::get_id()) {
    FWakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (FWakeFd < 0)
        throw std::system_error(errno, std::generic_category(), "eventfd");
    FWakeNotifier = std::make_unique<QSocketNotifier>(FWakeFd, QSocketNotifier::Read);
    connect(FWakeNotifier.get(), &QSocketNotifier::activated, this, &TSyncCaller::Woken);
}

TSyncCaller::~TSyncCaller() {
    Cancel();
    FWakeNotifier.reset();
    ::close(FWakeFd);
}

// The counter only says "look at the queue"; the queue itself travels under FLock.
void TSyncCaller::WakeUp() {
    const std::uint64_t one = 1;
    while (::write(FWakeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void TSyncCaller::Woken() {
    std::uint64_t count = 0;
    while (::read(FWakeFd, &count, sizeof count) < 0 && errno == EINTR) {
    }
    ServePending();
}

void TSyncCaller::Call(std::function<void()> fn) {
    if (IsUiThread()) {
        fn();
        return;
    }
    auto task = std::make_shared<TTask>();
    task->Fn = std::move(fn);
    {
        std::unique_lock lock(FLock);
        if (FCancelled)
            throw ECallCancelled();
        FQueue.push_back(task);
        if (!FWakePosted) {
            FWakePosted = true;
            WakeUp();
        }
    }
    if (FPostedHook)
        FPostedHook();
    std::unique_lock lock(FLock);
    FDone.wait(lock, [&] { return task->Done || FCancelled; });
    if (!task->Done)
        throw ECallCancelled();
    if (task->Error)
        std::rethrow_exception(task->Error);
}

bool TSyncCaller::ServePending() {
    bool any = false;
    for (;;) {
        std::shared_ptr<TTask> task;
        {
            std::unique_lock lock(FLock);
            FWakePosted = false;
            if (FQueue.empty())
                return any;
            task = FQueue.front();
            FQueue.pop_front();
        }
        any = true;
        std::exception_ptr error;
        ++FInTask;
        try {
            task->Fn();
        } catch (...) {
            error = std::current_exception();
        }
        --FInTask;
        {
            std::unique_lock lock(FLock);
            task->Error = error;
            task->Done = true;
        }
        FDone.notify_all();
    }
}

bool TSyncCaller::HasPending() const {
    std::unique_lock lock(FLock);
    return !FQueue.empty();
}

bool TSyncCaller::InTask() const {
    return IsUiThread() && FInTask > 0;
}

void TSyncCaller::Cancel() {
    {
        std::unique_lock lock(FLock);
        FCancelled = true;
        FQueue.clear();
    }
    FDone.notify_all();
}

bool TSyncCaller::IsCancelled() const {
    std::unique_lock lock(FLock);
    return FCancelled;
}
