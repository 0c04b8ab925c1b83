// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordWriter.h"

#include "TRecordStore.h"

#include <chrono>

TRecordWriter::TRecordWriter(TRecordsConfig config, QObject* parent)
    : QObject(parent), FConfig(std::move(config)) {}

void TRecordWriter::Start() {
    if (FStarted)
        return;
    FStarted = true;
    FThread = std::thread([this] { Run(); });
}

TRecordWriter::~TRecordWriter() {
    Stop();
}

void TRecordWriter::Submit(TTestRecord record) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FQueue.push_back(std::move(record));
    }
    FWake.notify_one();
}

void TRecordWriter::SubmitReference(TKeptReference reference) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FReferences.push_back(std::move(reference));
    }
    FWake.notify_one();
}

void TRecordWriter::RetryNow() {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FRetry = true;
    }
    FWake.notify_one();
}

void TRecordWriter::Stop() {
    // Never started: what was handed over still goes to the file.
    Start();
    {
        std::lock_guard<std::mutex> lock(FLock);
        FStop = true;
    }
    FWake.notify_one();
    if (FThread.joinable())
        FThread.join();
}

int TRecordWriter::Pending() const {
    std::lock_guard<std::mutex> lock(FLock);
    return int(FQueue.size()) + (FWriting ? 1 : 0);
}

void TRecordWriter::Run() {
    TRecordStore store(FConfig);
    QString problem;
    int waiting = store.SendWaiting(&problem);
    FWaiting = qMax(0, waiting);
    if (const QString notice = store.TakeNotice(); !notice.isEmpty())
        emit Notice(notice);
    emit StatusChanged(FWaiting.load(), waiting != 0 ? problem : QString());
    std::unique_lock<std::mutex> lock(FLock);
    for (;;) {
        const bool offer = FConfig.HasShared() && FWaiting.load() > 0;
        // Waits for a record, a stop or a retry; with records waiting, no longer than RetryS.
        const auto wake = [this] {
            return !FQueue.empty() || !FReferences.empty() || FStop || FRetry;
        };
        if (offer)
            FWake.wait_for(lock, std::chrono::seconds(FConfig.RetryS), wake);
        else
            FWake.wait(lock, wake);
        const bool stopping = FStop;
        // A reference goes first: the records checked against it may follow it.
        if (!FReferences.empty()) {
            TKeptReference reference = std::move(FReferences.front());
            FReferences.pop_front();
            lock.unlock();
            problem.clear();
            if (store.Keep(reference, &problem, !stopping) == TWriteOutcome::Failed)
                emit ReferenceNotKept(problem);
            lock.lock();
            continue;
        }
        if (FStop && FQueue.empty())
            break;
        FRetry = false;
        if (FQueue.empty()) {
            lock.unlock();
            problem.clear();
            waiting = stopping ? store.Waiting(&problem) : store.SendWaiting(&problem);
            FWaiting = qMax(0, waiting);
            if (const QString notice = store.TakeNotice(); !notice.isEmpty())
                emit Notice(notice);
            emit StatusChanged(FWaiting.load(), problem);
            lock.lock();
            continue;
        }
        TTestRecord record = std::move(FQueue.front());
        FQueue.pop_front();
        FWriting = true;
        lock.unlock();
        problem.clear();
        const TWriteOutcome outcome = store.Write(record, &problem, !stopping);
        if (outcome == TWriteOutcome::Stored)
            problem.clear();
        FWaiting = qMax(0, store.Waiting());
        if (const QString notice = store.TakeNotice(); !notice.isEmpty())
            emit Notice(notice);
        if (outcome != TWriteOutcome::Failed)
            emit RecordWritten(record.Uid, outcome == TWriteOutcome::Stored && FConfig.HasShared());
        emit StatusChanged(FWaiting.load(), problem);
        lock.lock();
        FWriting = false;
        if (outcome != TWriteOutcome::Failed)
            continue;
        if (stopping) {
            // Closing, and no file takes it: said above; give up rather than hang.
            FQueue.clear();
            break;
        }
        // Not even the station's file took it: kept, and tried again after a while.
        FQueue.push_front(std::move(record));
        FWake.wait_for(lock, std::chrono::seconds(FConfig.RetryS), [this] { return FStop; });
    }
}
