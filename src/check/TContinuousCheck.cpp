// SPDX-License-Identifier: GPL-3.0-or-later
#include "TContinuousCheck.h"

#include <QElapsedTimer>

#include <algorithm>

TContinuousCheck::TContinuousCheck(TReference reference) : FReference(std::move(reference)) {}

std::vector<TFault> TContinuousCheck::RunOnce(THarnessCheck& check) {
    TCheckResult result = check.Verify(FReference, FMemory);
    // In UTC: the local time would read the time zone on the checking thread while the window
    // reads it on its own; whoever shows the time turns it into local time.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    std::vector<TLatchedFault> fresh;
    {
        std::lock_guard lock(FLock);
        ++FChecks;
        FRoundTrips += result.RoundTrips;
        if (result.Good())
            ++FClean;
        for (const TFault& fault : result.Faults) {
            auto seen = std::find_if(FLatched.begin(), FLatched.end(),
                                     [&](const TLatchedFault& l) { return l.Fault == fault; });
            if (seen != FLatched.end()) {
                seen->Last = now;
                ++seen->Count;
                continue;
            }
            FLatched.push_back({fault, now, now, 1});
            fresh.push_back(FLatched.back());
        }
    }
    if (FOnLatched)
        for (const TLatchedFault& latched : fresh)
            FOnLatched(latched);
    return std::move(result.Faults);
}

void TContinuousCheck::Run(THarnessCheck& check, const std::atomic<bool>& stop, qint64 maxMs) {
    QElapsedTimer timer;
    timer.start();
    while (!stop.load() && (maxMs < 0 || timer.elapsed() < maxMs))
        RunOnce(check);
}

std::vector<TLatchedFault> TContinuousCheck::Latched() const {
    std::lock_guard lock(FLock);
    return FLatched;
}

long long TContinuousCheck::Checks() const {
    std::lock_guard lock(FLock);
    return FChecks;
}

long long TContinuousCheck::CleanChecks() const {
    std::lock_guard lock(FLock);
    return FClean;
}

long long TContinuousCheck::RoundTrips() const {
    std::lock_guard lock(FLock);
    return FRoundTrips;
}

void TContinuousCheck::Clear() {
    std::lock_guard lock(FLock);
    FLatched.clear();
    FChecks = FClean = FRoundTrips = 0;
}
