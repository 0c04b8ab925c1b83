// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IHardJob.h"
#include "TCheckPoints.h"
#include "TReference.h"

#include <QStringList>
#include <atomic>
#include <mutex>
#include <vector>

// Where the probe touches, as one search found it.
struct TProbeFind {
    enum class TWhere {
        Nothing, // the probe touches nothing the unit drives
        Net,     // one net (of the reference; without one, one point)
        Unclear, // what it reads is no net's code: it touches nets joined, or a foreign potential
    };
    TWhere Where = TWhere::Nothing;
    int Net = -1;         // the net searched, when found
    QStringList Contacts; // that net's contacts
    int RoundTrips = 0;

    // "Зонд: XT1:a3, XP2:b5", "Зонд ни к чему не подключен".
    QString Text() const;
    // The same place (round trips aside).
    bool SamePlace(const TProbeFind& other) const {
        return Where == other.Where && Net == other.Net;
    }
};

// The probe finds its net: the nets are numbered 1..N, and round trip j drives every point of
// each net whose number has bit j set, the rest 0. The probe's input reads the touched net's
// number bit by bit, so a search takes ⌈log2(N + 1)⌉ round trips, and 0 means the probe touches
// none of them.
//
// Also a job of the tester's worker: searches back to back until stopped, the latest find read
// from any thread.
class TProbeSearch final : public IHardJob {
  public:
    // The reference's nets; with no reference (no nets), every point on its own.
    TProbeSearch(TCheckPoints points, const TReference& reference);

    // One search on the running thread.
    TProbeFind Find(IUnitExchange& unit);
    int NetCount() const { return int(FNets.size()); }
    const TCheckPoints& Points() const { return FPoints; }
    static int RoundTrips(int nets);

    // The job: one search a step until Stop.
    bool Step(IUnitExchange& unit) override;
    void Stop() { FStop = true; }
    bool Done() const { return FDone.load(); }
    // From any thread.
    TProbeFind Latest() const;
    long long Searches() const { return FSearches.load(); }
    long long RoundTripsMade() const { return FRoundTrips.load(); }

  private:
    const TCheckPoints FPoints;
    std::vector<std::vector<int>> FNets;
    std::vector<std::uint16_t> FPins;
    std::vector<std::uint8_t> FLevels;
    std::vector<std::uint8_t> FRead;

    std::atomic<bool> FStop{false};
    std::atomic<bool> FDone{false};
    std::atomic<long long> FSearches{0};
    std::atomic<long long> FRoundTrips{0};
    mutable std::mutex FLock;
    TProbeFind FLatest;
};
