#include "TSyncCaller.h"

#include <QMetaObject>

TSyncCaller::TSyncCaller(QObject* parent)
    : QObject(parent), FUiThread(std::this_thread::get_id()) {}

TSyncCaller::~TSyncCaller() {
    Cancel();
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
        // The wake-up is posted while the lock is held, so whatever the event carries is ordered
        // before the user-interface thread takes the lock to serve it.
        if (!FWakePosted) {
            FWakePosted = true;
            QMetaObject::invokeMethod(
                this, [this] { ServePending(); }, Qt::QueuedConnection);
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
