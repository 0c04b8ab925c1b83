// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCheckJob.h"

#include <stdexcept>

namespace {

// Raised by the counting exchange when the job is cancelled, and caught by the job itself.
struct ECheckCancelled {};

// The worker's exchange, counting the round trips and ending the check when it is cancelled.
class TJobExchange final : public IUnitExchange {
  public:
    TJobExchange(IUnitExchange& unit, const std::atomic<bool>& cancel,
                 std::atomic<long long>& roundTrips)
        : FUnit(unit), FCancel(cancel), FRoundTrips(roundTrips) {}

    void WriteRead(const std::vector<std::uint16_t>& pins, const std::vector<std::uint8_t>& levels,
                   std::vector<std::uint8_t>& read) override {
        if (FCancel.load())
            throw ECheckCancelled();
        FUnit.WriteRead(pins, levels, read);
        ++FRoundTrips;
    }

  private:
    IUnitExchange& FUnit;
    const std::atomic<bool>& FCancel;
    std::atomic<long long>& FRoundTrips;
};

} // namespace

TCheckJob::TCheckJob(TKind kind, TCheckPoints points, TReference reference)
    : FKind(kind), FPoints(std::move(points)), FWatch(std::move(reference)) {
    // Said here, on the caller's thread: on the worker it would pass for a failure of the unit.
    if (kind != TKind::Learn && FWatch.Reference().PointCount() != FPoints.Count())
        throw std::invalid_argument("the reference is of other points");
}

bool TCheckJob::Step(IUnitExchange& unit) {
    if (FDone)
        return false;
    TJobExchange exchange(unit, FCancel, FRoundTrips);
    try {
        if (FCancel)
            throw ECheckCancelled();
        if (RunStep(exchange))
            return true;
    } catch (const ECheckCancelled&) {
        FCancelled = true;
    }
    FDone = true;
    return false;
}

bool TCheckJob::RunStep(IUnitExchange& unit) {
    THarnessCheck check(FPoints, unit);
    switch (FKind) {
    case TKind::Learn: {
        TLearnResult learnt = check.Learn();
        std::lock_guard lock(FLock);
        FLearnt = std::move(learnt);
        break;
    }
    case TKind::Verify: {
        TCheckResult verified = check.Verify(FWatch.Reference());
        std::lock_guard lock(FLock);
        FVerified = std::move(verified);
        break;
    }
    case TKind::Watch:
        if (!FStop) {
            FWatch.RunOnce(check);
            if (!FStop)
                return true;
        }
        break;
    }
    return false;
}

std::optional<TLearnResult> TCheckJob::Learnt() const {
    std::lock_guard lock(FLock);
    return FLearnt;
}

std::optional<TCheckResult> TCheckJob::Verified() const {
    std::lock_guard lock(FLock);
    return FVerified;
}
