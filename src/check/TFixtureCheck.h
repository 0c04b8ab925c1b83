// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IHardJob.h"
#include "TCheckPoints.h"

#include <QString>
#include <atomic>
#include <mutex>
#include <optional>
#include <vector>

// A fault of the test fixture (the adapter cables between the unit and the harness), named by
// unit pin and the contacts tied to it.
struct TFixtureFault {
    enum class TKind {
        Joined,  // pins that read together with no harness connected
        Foreign, // pins that read 1 with nothing driven
    };
    TKind Kind = TKind::Joined;
    std::vector<int> Points; // ascending

    // "замкнуты выводы блока: X1:a1 (XT1:a1), X1:a2 (XT1:a2)".
    QString Text(const TCheckPoints& points) const;
    bool operator==(const TFixtureFault&) const = default;
};

struct TFixtureResult {
    std::vector<TFixtureFault> Faults;
    int RoundTrips = 0;
    bool Good() const { return Faults.empty(); }
};

// The fixture checks itself: with no harness connected every pin must stand alone. The coded
// check against "every point a net of its own" finds any pins reading together or reading 1
// undriven in 2·⌈log2(points + 1)⌉ round trips; only then are the points it involves scanned
// to name them.
//
// Also a job of the tester's worker (one step), its result read from any thread.
class TFixtureCheck final : public IHardJob {
  public:
    explicit TFixtureCheck(TCheckPoints points);

    // The check on the running thread.
    TFixtureResult Run(IUnitExchange& unit);
    // "X1:a5 (XT1:a5, XP2:c1)": the point's unit pin and the contacts tied to it.
    static QString PointText(const TCheckPoints& points, int point);

    bool Step(IUnitExchange& unit) override;
    void Cancel() { FCancel = true; }
    bool Done() const { return FDone.load(); }
    bool Cancelled() const { return FCancelled.load(); }
    long long RoundTrips() const { return FRoundTrips.load(); }
    const TCheckPoints& Points() const { return FPoints; }
    std::optional<TFixtureResult> Result() const;

  private:
    const TCheckPoints FPoints;
    std::atomic<bool> FCancel{false};
    std::atomic<bool> FCancelled{false};
    std::atomic<bool> FDone{false};
    std::atomic<long long> FRoundTrips{0};
    mutable std::mutex FLock;
    std::optional<TFixtureResult> FResult;
};
