// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordsConfig.h"
#include "TReferenceArchive.h"
#include "TTestRecord.h"

#include <QObject>
#include <QString>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Writes records on a thread of its own, so a shared database that is slow or does not answer
// never holds up the window: Submit only hands the record over. Records the shared database
// did not take wait in the local file and are offered again every RetryS seconds. At Stop the
// records still handed over go to the local file without waiting for a server, so nothing is
// lost when the program closes.
class TRecordWriter : public QObject {
    Q_OBJECT
  public:
    explicit TRecordWriter(TRecordsConfig config, QObject* parent = nullptr);
    ~TRecordWriter() override;

    // Starts the thread, which first counts the records waiting and says so: called once the
    // status is connected, so that first word is not lost. Records submitted before wait.
    void Start();
    void Submit(TTestRecord record);
    // A learned or imported reference to keep; kept ahead of the records handed over after it.
    void SubmitReference(TKeptReference reference);
    // Offers the waiting records again now.
    void RetryNow();
    // Writes what was handed over and ends the thread.
    void Stop();

    // Records in the local file waiting for the shared database, as last counted.
    int Waiting() const { return FWaiting.load(); }
    // Records handed over and not yet written anywhere (the one being written counts).
    int Pending() const;

  signals:
    // Emitted on the writer's thread (a connection to a window is queued): the records waiting
    // and the last problem (empty when the last write or offer went through).
    void StatusChanged(int waiting, const QString& problem);
    void RecordWritten(const QString& uid, bool shared);
    // A reference handed over could be kept nowhere, with the reason.
    void ReferenceNotKept(const QString& problem);
    // Something the store did on its own that the station must hear of once (a damaged file
    // set aside), in the program's words.
    void Notice(const QString& text);

  private:
    void Run();

    const TRecordsConfig FConfig;
    mutable std::mutex FLock;
    std::condition_variable FWake;
    std::deque<TTestRecord> FQueue;
    std::deque<TKeptReference> FReferences;
    bool FStop = false;
    bool FRetry = false;
    bool FWriting = false; // a record taken from the queue and not yet written
    std::atomic<int> FWaiting{0};
    bool FStarted = false; // Start and Stop come from the owner's thread only
    std::thread FThread;
};
