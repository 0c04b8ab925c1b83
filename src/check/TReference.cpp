// SPDX-License-Identifier: GPL-3.0-or-later
#include "TReference.h"

#include <algorithm>
#include <numeric>

TReference TReference::FromNets(const std::vector<std::vector<int>>& nets, int pointCount) {
    const std::size_t n = pointCount > 0 ? std::size_t(pointCount) : 0;
    std::vector<int> parent(n);
    std::iota(parent.begin(), parent.end(), 0);
    const auto root = [&](int i) {
        while (parent[std::size_t(i)] != i)
            i = parent[std::size_t(i)] = parent[std::size_t(parent[std::size_t(i)])];
        return i;
    };
    for (const std::vector<int>& net : nets) {
        int first = -1;
        for (int p : net) {
            if (p < 0 || p >= pointCount)
                continue;
            if (first < 0)
                first = p;
            else
                parent[std::size_t(root(p))] = root(first);
        }
    }
    // Points ascending, so each net is met first at its lowest point: nets come out in order.
    TReference result;
    result.FNetOf.assign(n, -1);
    std::vector<int> netOfRoot(n, -1);
    for (std::size_t p = 0; p < n; ++p) {
        int& net = netOfRoot[std::size_t(root(int(p)))];
        if (net < 0) {
            net = int(result.FNets.size());
            result.FNets.emplace_back();
        }
        result.FNets[std::size_t(net)].push_back(int(p));
        result.FNetOf[p] = net;
    }
    return result;
}
