// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFault.h"
#include "THarnessCheck.h"

#include <QDateTime>
#include <atomic>
#include <functional>
#include <mutex>
#include <vector>

// A deviation from the reference seen during continuous verify: kept from the first time it
// was seen, even when the next check is clean again.
struct TLatchedFault {
    TFault Fault;
    QDateTime First; // UTC
    QDateTime Last;  // UTC
    int Count = 0;   // checks that saw it
};

// Continuous verify: the coded check of a harness against its reference, back to back, for
// intermittent faults (a wire that opens for a few milliseconds while the harness is bent).
// Every deviation is latched with the time it was first seen, how often and when it was last
// seen.
//
// The checks run on one thread (the command-line tool's, or the tester's worker) through its
// own exchange with the unit; the latched faults and the counters may be read from any thread
// meanwhile (the window polls them).
class TContinuousCheck {
  public:
    explicit TContinuousCheck(TReference reference);

    const TReference& Reference() const { return FReference; }

    // One check on the running thread; the faults it found are latched and returned. What the
    // exchange raises (the unit lost) passes through, and nothing is latched then.
    std::vector<TFault> RunOnce(THarnessCheck& check);
    // Checks back to back until `stop` is set or `maxMs` (when >= 0) has passed.
    void Run(THarnessCheck& check, const std::atomic<bool>& stop, qint64 maxMs = -1);

    // Called on the running thread for a fault seen for the first time.
    void SetOnLatched(std::function<void(const TLatchedFault&)> fn) { FOnLatched = std::move(fn); }

    // From any thread.
    std::vector<TLatchedFault> Latched() const;
    long long Checks() const;
    long long CleanChecks() const;
    long long RoundTrips() const;
    // Forgets the latched faults and the counters.
    void Clear();

  private:
    const TReference FReference;
    TVerifyMemory FMemory; // the checking thread's alone
    std::function<void(const TLatchedFault&)> FOnLatched;

    mutable std::mutex FLock;
    std::vector<TLatchedFault> FLatched;
    long long FChecks = 0;
    long long FClean = 0;
    long long FRoundTrips = 0;
};
