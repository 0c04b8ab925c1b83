// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IHardJob.h"
#include "TCheckPoints.h"
#include "TReference.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <vector>

// One wire of the reference as the wire list has it: from a net's first contact to another.
struct TGuideWire {
    QString From;
    QString To;
    int FromPoint = -1;
    int ToPoint = -1;
};

// Where an assembly stands after the latest look at the harness.
struct TAssemblyState {
    std::vector<char> Ticked;  // per wire: it is in
    std::vector<int> Pulled;   // wires that were in and came out again, ascending
    QStringList Wrong;         // connections the reference does not have, in words
    QStringList WrongContacts; // the contacts those connections join
    int Next = -1;             // the first wire not yet in; -1 when every wire is
    long long Looks = 0;       // looks at the harness so far
    long long Changes = 0;     // looks that saw the harness changed

    int TickedCount() const;
    // Every wire in and nothing wrong.
    bool Complete() const { return Next < 0 && Wrong.empty() && Looks > 0; }
};

// Guided assembly: the reference's wires in the order of the wire list, and the harness watched
// while the technician puts them in. Each look runs the coded check against the nets as last
// seen (2·⌈log2(nets + 1)⌉ round trips while nothing changes); a difference is scanned among
// the nets it involves only, and the nets found give the new state: a wire is in when its two
// contacts share a net (a wire put in ahead of its turn counts too), a net that joins contacts
// of different reference nets is a wrong connection, named until it is undone.
//
// A job of the tester's worker: looks back to back until stopped; the state is read from any
// thread.
class TAssemblyGuide final : public IHardJob {
  public:
    TAssemblyGuide(TCheckPoints points, TReference reference);

    // The wires in the order of the wire list (NAME.wires.csv).
    static std::vector<TGuideWire> Wires(const TReference& reference, const TCheckPoints& points);

    // One look at the harness on the running thread.
    void Look(IUnitExchange& unit);

    bool Step(IUnitExchange& unit) override;
    void Stop() { FStop = true; }
    bool Done() const { return FDone.load(); }

    // From any thread.
    TAssemblyState State() const;
    long long RoundTrips() const { return FRoundTrips.load(); }
    const std::vector<TGuideWire>& WireList() const { return FWires; }
    const TCheckPoints& Points() const { return FPoints; }
    const TReference& Reference() const { return FReference; }

    // The large line: the wrong connection first, then a wire pulled out, then the next wire;
    // empty when the assembly is complete.
    QString Line(const TAssemblyState& state) const;
    // "Вставьте провод 3 из 24: XT1:a3 — XP2:b5".
    QString InsertText(int wire) const;
    // "Провод 3 вынут: XT1:a3 — XP2:b5".
    QString PulledText(int wire) const;

  private:
    void Evaluate(const std::vector<int>& foreign, TAssemblyState& state) const;
    QString WrongText(const std::vector<int>& group, const std::vector<int>& others,
                      int next) const;
    QString Contact(int point, int next) const;

    const TCheckPoints FPoints;
    const TReference FReference;
    const std::vector<TGuideWire> FWires;
    TReference FSeen; // the nets as last measured
    bool FLooked = false;

    std::atomic<bool> FStop{false};
    std::atomic<bool> FDone{false};
    std::atomic<long long> FRoundTrips{0};
    mutable std::mutex FLock;
    TAssemblyState FState;
};
