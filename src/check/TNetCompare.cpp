// SPDX-License-Identifier: GPL-3.0-or-later
#include "TNetCompare.h"

#include "TCheckPoints.h"
#include "TReference.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

// The part of one reference net that lies in one measured net.
struct TPiece {
    int Ref = -1;
    int Measured = -1;
    std::vector<int> Points; // ascending
    bool Anchor = false;     // holds the first point of its reference net
};

struct TOrdered {
    int First; // the lowest point the fault names
    TFault Fault;
};

int Lowest(std::initializer_list<const std::vector<int>*> parts) {
    int lowest = -1;
    for (const std::vector<int>* part : parts)
        if (!part->empty() && (lowest < 0 || part->front() < lowest))
            lowest = part->front();
    return lowest;
}

} // namespace

std::vector<TFault> TNetCompare::Compare(const TReference& reference,
                                         const std::vector<std::vector<int>>& measured,
                                         const std::vector<int>& foreign,
                                         const TCheckPoints& points) {
    const int n = reference.PointCount();
    std::vector<TOrdered> found;

    std::vector<char> isForeign(std::size_t(n), 0);
    for (int p : foreign)
        if (p >= 0 && p < n)
            isForeign[std::size_t(p)] = 1;
    for (const std::vector<int>& net : reference.Nets()) {
        std::vector<int> reading;
        for (int p : net)
            if (isForeign[std::size_t(p)])
                reading.push_back(p);
        if (!reading.empty())
            found.push_back({reading.front(), TFault::Foreign(points.Contacts(reading))});
    }

    // Which measured net holds each point; points left out are nets of their own.
    std::vector<int> measuredOf(std::size_t(n), -1);
    int measuredCount = int(measured.size());
    for (int m = 0; m < int(measured.size()); ++m)
        for (int p : measured[std::size_t(m)])
            if (p >= 0 && p < n && !isForeign[std::size_t(p)] && measuredOf[std::size_t(p)] < 0)
                measuredOf[std::size_t(p)] = m;
    for (int p = 0; p < n; ++p)
        if (!isForeign[std::size_t(p)] && measuredOf[std::size_t(p)] < 0)
            measuredOf[std::size_t(p)] = measuredCount++;

    // The pieces, points ascending.
    std::vector<int> anchor(std::size_t(reference.NetCount()), -1);
    std::map<std::pair<int, int>, std::size_t> pieceAt;
    std::vector<TPiece> pieces;
    for (int p = 0; p < n; ++p) {
        if (isForeign[std::size_t(p)])
            continue;
        const int r = reference.NetOf(p);
        const int m = measuredOf[std::size_t(p)];
        if (anchor[std::size_t(r)] < 0)
            anchor[std::size_t(r)] = p;
        auto [at, added] = pieceAt.try_emplace({r, m}, pieces.size());
        if (added)
            pieces.push_back({r, m, {}, anchor[std::size_t(r)] == p});
        pieces[at->second].Points.push_back(p);
    }

    // Bodies: the largest pieces first, each reference and measured net matched once. Of equal
    // pieces, the one that is more of its net goes first (a contact that moved into a net of one
    // contact leaves that net its body), then the one holding its net's first point.
    std::vector<int> netSize(std::size_t(reference.NetCount()), 0);
    for (const TPiece& piece : pieces)
        netSize[std::size_t(piece.Ref)] += int(piece.Points.size());
    std::vector<std::size_t> order(pieces.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const TPiece& x = pieces[a];
        const TPiece& y = pieces[b];
        if (x.Points.size() != y.Points.size())
            return x.Points.size() > y.Points.size();
        if (netSize[std::size_t(x.Ref)] != netSize[std::size_t(y.Ref)])
            return netSize[std::size_t(x.Ref)] < netSize[std::size_t(y.Ref)];
        if (x.Anchor != y.Anchor)
            return x.Anchor;
        return std::pair(x.Ref, x.Measured) < std::pair(y.Ref, y.Measured);
    });
    const std::size_t none = pieces.size();
    std::vector<std::size_t> body(std::size_t(reference.NetCount()), none);
    std::vector<char> owned(std::size_t(measuredCount), 0);
    for (std::size_t i : order) {
        const TPiece& piece = pieces[i];
        if (body[std::size_t(piece.Ref)] == none && !owned[std::size_t(piece.Measured)]) {
            body[std::size_t(piece.Ref)] = i;
            owned[std::size_t(piece.Measured)] = 1;
        }
    }
    // A net that found no measured net of its own joined another whole, or nearly: its largest
    // piece is its body.
    for (std::size_t i : order)
        if (body[std::size_t(pieces[i].Ref)] == none)
            body[std::size_t(pieces[i].Ref)] = i;

    std::vector<std::vector<int>> bodiesIn(static_cast<std::size_t>(measuredCount));
    for (int r = 0; r < reference.NetCount(); ++r)
        if (body[std::size_t(r)] != none)
            bodiesIn[std::size_t(pieces[body[std::size_t(r)]].Measured)].push_back(r);

    const auto contactsOf = [&](std::size_t piece) {
        return points.Contacts(pieces[piece].Points);
    };

    // Shorts: several bodies in one measured net.
    for (const std::vector<int>& bodies : bodiesIn) {
        if (bodies.size() < 2)
            continue;
        std::vector<QStringList> nets;
        int first = -1;
        for (int r : bodies) {
            const std::size_t b = body[std::size_t(r)];
            nets.push_back(contactsOf(b));
            first =
                first < 0 ? pieces[b].Points.front() : std::min(first, pieces[b].Points.front());
        }
        found.push_back({first, TFault::Short(std::move(nets))});
    }

    // Parts away from their body: moved into another body, or broken off.
    std::vector<std::size_t> moved;
    std::vector<std::vector<std::size_t>> brokenIn(static_cast<std::size_t>(measuredCount));
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const TPiece& piece = pieces[i];
        if (body[std::size_t(piece.Ref)] == i)
            continue;
        if (bodiesIn[std::size_t(piece.Measured)].empty())
            brokenIn[std::size_t(piece.Measured)].push_back(i);
        else
            moved.push_back(i);
    }

    const auto joinedHas = [&](std::size_t piece, int ref) {
        const std::vector<int>& bodies = bodiesIn[std::size_t(pieces[piece].Measured)];
        return std::find(bodies.begin(), bodies.end(), ref) != bodies.end();
    };
    std::vector<char> paired(pieces.size(), 0);
    for (std::size_t a = 0; a < moved.size(); ++a) {
        const std::size_t x = moved[a];
        if (paired[x])
            continue;
        std::size_t partner = none;
        for (std::size_t b = a + 1; b < moved.size() && partner == none; ++b) {
            const std::size_t y = moved[b];
            if (!paired[y] && joinedHas(x, pieces[y].Ref) && joinedHas(y, pieces[x].Ref))
                partner = y;
        }
        if (partner != none) {
            paired[x] = paired[partner] = 1;
            found.push_back({Lowest({&pieces[x].Points, &pieces[partner].Points}),
                             TFault::Swap(contactsOf(x), contactsOf(partner))});
            continue;
        }
        QStringList joined;
        int first = Lowest({&pieces[x].Points});
        for (int r : bodiesIn[std::size_t(pieces[x].Measured)]) {
            joined += contactsOf(body[std::size_t(r)]);
            first = std::min(first, Lowest({&pieces[body[std::size_t(r)]].Points}));
        }
        const std::size_t from = body[std::size_t(pieces[x].Ref)];
        found.push_back({std::min(first, Lowest({&pieces[from].Points})),
                         TFault::Moved(contactsOf(x), contactsOf(from), joined)});
    }

    for (const std::vector<std::size_t>& broken : brokenIn) {
        std::vector<QStringList> together;
        int first = -1;
        for (std::size_t i : broken) {
            const std::size_t rest = body[std::size_t(pieces[i].Ref)];
            found.push_back({Lowest({&pieces[i].Points, &pieces[rest].Points}),
                             TFault::Open(contactsOf(i), contactsOf(rest))});
            together.push_back(contactsOf(i));
            first =
                first < 0 ? pieces[i].Points.front() : std::min(first, pieces[i].Points.front());
        }
        // Parts of several nets that broke off and hold together are joined as well.
        if (together.size() >= 2)
            found.push_back({first, TFault::Short(std::move(together))});
    }

    std::stable_sort(found.begin(), found.end(),
                     [](const TOrdered& a, const TOrdered& b) { return a.First < b.First; });
    std::vector<TFault> faults;
    faults.reserve(found.size());
    for (TOrdered& f : found)
        faults.push_back(std::move(f.Fault));
    return faults;
}
