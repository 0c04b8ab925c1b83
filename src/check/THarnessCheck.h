// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFault.h"
#include "TReference.h"

#include <QString>
#include <cstdint>
#include <vector>

class IUnitExchange;
class TCheckPoints;

// What a scan found: the nets among the points, and the points that read 1 with nothing driven
// (they take no further part: whatever they are wired to, they read 1).
struct TScan {
    std::vector<std::vector<int>> Nets; // in the order found, points ascending
    std::vector<int> Foreign;
};

// A harness against its reference.
struct TCheckResult {
    std::vector<TFault> Faults;
    int RoundTrips = 0; // this check's round trips with the unit

    bool Good() const { return Faults.empty(); }
    // "ГОДЕН" with no fault, "БРАК" otherwise.
    QString Verdict() const { return VerdictText(Good()); }
    static QString VerdictText(bool good);
};

// A good harness learnt. Contacts with a foreign potential make the learning void: their
// connections cannot be measured, so there is no reference then, only those faults.
struct TLearnResult {
    TReference Reference;
    std::vector<TFault> Faults;
    int RoundTrips = 0;

    bool Learnt() const { return Faults.empty(); }
};

// What one verify of a series leaves for the next (continuous verify): a harness that reads
// exactly as it did a moment ago has the same faults, so they are taken over without the scan,
// and the round trips go to the coded check that sees a fault come and go. A scan still runs
// every ScanEvery checks, so a change the coded levels cannot show is found after a while.
struct TVerifyMemory {
    static constexpr int ScanEvery = 16;
    std::vector<std::vector<std::uint8_t>> Readings;
    std::vector<TFault> Faults;
    int SinceScan = 0;
};

// The harness check over one unit exchange (command 21): learning a good harness and verifying
// others against it.
//
// A scan drives all points to 0 once (a point reading 1 then has a foreign potential), then
// drives one point not yet placed to 1 and every other point to 0: the points reading 1 are its
// net. Every point is placed once, so a scan takes nets + 1 round trips.
//
// Verifying first runs the fast coded check: the reference's nets are numbered 1..N, and for
// each bit j of those numbers one round trip drives the first point of every net whose number
// has bit j set to 1, and the next round trip drives the complement; every other point is 0. In
// a good harness every point reads exactly its own net's bits, and any single open, short,
// miswire or foreign potential changes what some point reads, so a good harness takes
// 2·⌈log2(N+1)⌉ round trips. Only on a difference does a scan of the nets involved (and of the
// nets found joined to them) name the faults. When the scan finds nothing (the fault has gone
// again, as an intermittent contact does) the faults are named from the coded readings.
class THarnessCheck {
  public:
    THarnessCheck(const TCheckPoints& points, IUnitExchange& unit);

    TLearnResult Learn();
    TCheckResult Verify(const TReference& reference);
    // One verify of a series: `memory` carries what the last one saw.
    TCheckResult Verify(const TReference& reference, TVerifyMemory& memory);
    // The coded check alone: true when every point read its net's code. `readings` (when given)
    // gets the levels read, one vector per round trip.
    bool FastCheck(const TReference& reference,
                   std::vector<std::vector<std::uint8_t>>* readings = nullptr);
    // A scan of every point.
    TScan Scan();
    // Scans the given reference nets and whatever they turn out joined to; with no reference,
    // every point. The other nets are taken as the reference has them.
    TScan ScanNets(const TReference* reference, const std::vector<int>& nets);

    // Round trips made since this object was created.
    long long RoundTrips() const { return FRoundTrips; }
    // The round trips of the coded check of a good harness with this many nets.
    static int FastRoundTrips(int nets);
    // The level the coded check expects of (and, on a net's first point, drives) a point of net
    // `net` in round trip `trip`.
    static std::uint8_t CodedLevel(int net, int trip);

  private:
    void RoundTrip();
    std::vector<TFault> NameTransients(const TReference& reference, const TScan& scan,
                                       const std::vector<std::vector<std::uint8_t>>& readings);
    std::vector<TFault> NameFromReadings(const TReference& reference,
                                         const std::vector<std::vector<std::uint8_t>>& readings);

    const TCheckPoints& FPoints;
    IUnitExchange& FUnit;
    std::vector<std::uint16_t> FPins;
    std::vector<std::uint8_t> FLevels;
    std::vector<std::uint8_t> FRead;
    long long FRoundTrips = 0;
};
