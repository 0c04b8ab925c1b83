// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IHardJob.h"
#include "TCheckPoints.h"
#include "TContinuousCheck.h"
#include "THarnessCheck.h"

#include <atomic>
#include <mutex>
#include <optional>

// The harness check as a job of the tester's worker (TAbstractHard::RunJob): learn, verify or
// continuous verify, each through the worker's exchange with the unit and its recovery. The
// points are the job's own copy, taken by the user-interface thread while the worker rests, so
// the job never reads the workspace. Its results are read from any thread: the window polls
// them, and nothing here calls the window.
class TCheckJob final : public IHardJob {
  public:
    enum class TKind { Learn, Verify, Watch };

    // Verify and continuous verify need a reference over exactly these points
    // (std::invalid_argument otherwise).
    TCheckJob(TKind kind, TCheckPoints points, TReference reference = {});

    bool Step(IUnitExchange& unit) override;

    TKind Kind() const { return FKind; }
    // The points checked (const: read by any thread).
    const TCheckPoints& Points() const { return FPoints; }
    // Learn and verify are done after their one check; continuous verify after Stop; any of
    // them after Cancel.
    bool Done() const { return FDone.load(); }
    // Continuous verify ends after the check under way.
    void Stop() { FStop = true; }
    // The job ends at its next round trip with the unit, leaving no result of the check under
    // way (what continuous verify latched before stays).
    void Cancel() { FCancel = true; }
    bool Cancelled() const { return FCancelled.load(); }
    // Round trips made so far, for a progress indication.
    long long RoundTrips() const { return FRoundTrips.load(); }

    std::optional<TLearnResult> Learnt() const;
    std::optional<TCheckResult> Verified() const;
    // The latched deviations and counters of continuous verify (thread-safe).
    const TContinuousCheck& Watch() const { return FWatch; }

  private:
    // The step itself; answers whether another follows.
    bool RunStep(IUnitExchange& unit);

    const TKind FKind;
    const TCheckPoints FPoints;
    TContinuousCheck FWatch;
    std::atomic<bool> FStop{false};
    std::atomic<bool> FCancel{false};
    std::atomic<bool> FCancelled{false};
    std::atomic<bool> FDone{false};
    std::atomic<long long> FRoundTrips{0};

    mutable std::mutex FLock;
    std::optional<TLearnResult> FLearnt;
    std::optional<TCheckResult> FVerified;
};
