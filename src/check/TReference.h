// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

// The nets of a good harness among the points of measurement of a project (indexes into its
// TCheckPoints). Every point is in exactly one net; a point wired to nothing is a net of its
// own. Kept in one order, whatever the order it was found or read in: each net's points
// ascending, nets by their first point, so two references of the same harness compare equal.
class TReference {
  public:
    TReference() = default;
    // Nets over points 0 .. pointCount-1; points that no net names become nets of their own,
    // points outside the range and repeats are dropped, and nets that share a point join.
    static TReference FromNets(const std::vector<std::vector<int>>& nets, int pointCount);

    int PointCount() const { return int(FNetOf.size()); }
    int NetCount() const { return int(FNets.size()); }
    const std::vector<std::vector<int>>& Nets() const { return FNets; }
    const std::vector<int>& Net(int index) const { return FNets[std::size_t(index)]; }
    int NetOf(int point) const { return FNetOf[std::size_t(point)]; }

    bool operator==(const TReference& other) const { return FNets == other.FNets; }

  private:
    std::vector<std::vector<int>> FNets;
    std::vector<int> FNetOf;
};
