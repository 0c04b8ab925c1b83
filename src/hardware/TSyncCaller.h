// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

// Raised in the worker by a call that can no longer be served because the program is ending.
class ECallCancelled : public std::runtime_error {
  public:
    ECallCancelled() : std::runtime_error("call cancelled") {}
};

// Runs functions on the user-interface thread (the thread that created the object) on behalf of
// the worker, which waits until each has finished. The hand-over of the task and of its results
// is ordered by this object's own mutex; the wake-up of the user-interface thread is a counter
// file (eventfd) watched by its event loop, so no memory of Qt's own is shared with the worker. The
// user-interface thread may also serve waiting tasks itself (ServePending), which is how it keeps
// the worker going while it waits for the worker.
class TSyncCaller : public QObject {
    Q_OBJECT
  public:
    explicit TSyncCaller(QObject* parent = nullptr);
    ~TSyncCaller() override;

    // Runs fn on the user-interface thread and returns when it has finished; on that thread
    // itself fn runs at once. Raises ECallCancelled when the caller is cancelled before fn has
    // run, and passes on what fn raises.
    void Call(std::function<void()> fn);
    // On the user-interface thread: runs every waiting task; answers whether there was one.
    bool ServePending();
    bool HasPending() const;
    // True while the user-interface thread runs a task of the worker.
    bool InTask() const;
    bool IsUiThread() const { return std::this_thread::get_id() == FUiThread; }
    // Releases every waiting call and refuses later ones (the program ends).
    void Cancel();
    bool IsCancelled() const;
    // Called (without this object's lock) each time a task starts waiting, so that a thread that
    // waits for the worker on a condition of its own can wake up and serve it.
    void SetPostedHook(std::function<void()> hook) { FPostedHook = std::move(hook); }

  private:
    void WakeUp();
    void Woken();

    struct TTask {
        std::function<void()> Fn;
        bool Done = false;
        std::exception_ptr Error;
    };

    mutable std::mutex FLock;
    std::condition_variable FDone;
    std::deque<std::shared_ptr<TTask>> FQueue;
    std::thread::id FUiThread;
    bool FWakePosted = false;
    bool FCancelled = false;
    int FInTask = 0; // touched on the user-interface thread only
    std::function<void()> FPostedHook;
    int FWakeFd = -1;
    std::unique_ptr<QSocketNotifier> FWakeNotifier;
};
