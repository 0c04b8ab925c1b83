#include "TCheckJob.h"

#include <stdexcept>

TCheckJob::TCheckJob(TKind kind, TCheckPoints points, TReference reference)
    : FKind(kind), FPoints(std::move(points)), FWatch(std::move(reference)) {
    // Said here, on the caller's thread: on the worker it would pass for a failure of the unit.
    if (kind != TKind::Learn && FWatch.Reference().PointCount() != FPoints.Count())
        throw std::invalid_argument("the reference is of other points");
}

bool TCheckJob::Step(IUnitExchange& unit) {
    if (FDone)
        return false;
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
    FDone = true;
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
