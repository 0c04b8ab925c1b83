// SPDX-License-Identifier: GPL-3.0-or-later
#include "THarnessCheck.h"

#include "IUnitExchange.h"
#include "TCheckPoints.h"
#include "TErrors.h"
#include "TNetCompare.h"

#include <QCoreApplication>

#include <algorithm>
#include <map>
#include <set>
#include <string>

namespace {

// Bits needed for the net numbers 1..nets.
int CodeBits(int nets) {
    int bits = 0;
    while ((1 << bits) <= nets)
        ++bits;
    return bits;
}

} // namespace

QString TCheckResult::VerdictText(bool good) {
    return good ? QCoreApplication::translate("THarnessCheck", "ГОДЕН")
                : QCoreApplication::translate("THarnessCheck", "БРАК");
}

THarnessCheck::THarnessCheck(const TCheckPoints& points, IUnitExchange& unit)
    : FPoints(points), FUnit(unit), FPins(points.Pins()) {
    FLevels.assign(FPins.size(), 0);
}

int THarnessCheck::FastRoundTrips(int nets) {
    return 2 * CodeBits(nets);
}

std::uint8_t THarnessCheck::CodedLevel(int net, int trip) {
    const std::uint8_t bit = std::uint8_t(((net + 1) >> (trip / 2)) & 1);
    return trip % 2 == 0 ? bit : std::uint8_t(bit ^ 1);
}

void THarnessCheck::RoundTrip() {
    ++FRoundTrips;
    FUnit.WriteRead(FPins, FLevels, FRead);
    if (FRead.size() != FPins.size())
        throw EUnitError(QCoreApplication::translate("THarnessCheck",
                                                     "Блок диагностики прочитал %1 выводов из %2")
                             .arg(FRead.size())
                             .arg(FPins.size()));
}

TScan THarnessCheck::Scan() {
    return ScanNets(nullptr, {});
}

TLearnResult THarnessCheck::Learn() {
    const long long before = FRoundTrips;
    TLearnResult result;
    const TScan scan = Scan();
    result.RoundTrips = int(FRoundTrips - before);
    if (!scan.Foreign.empty()) {
        result.Faults.push_back(TFault::Foreign(FPoints.Contacts(scan.Foreign)));
        return result;
    }
    result.Reference = TReference::FromNets(scan.Nets, FPoints.Count());
    return result;
}

TScan THarnessCheck::ScanNets(const TReference* reference, const std::vector<int>& nets) {
    const int n = int(FPins.size());
    TScan scan;
    std::fill(FLevels.begin(), FLevels.end(), 0);
    RoundTrip();
    std::vector<char> placed(std::size_t(n), 0);
    for (int p = 0; p < n; ++p)
        if (FRead[std::size_t(p)] != 0) {
            scan.Foreign.push_back(p);
            placed[std::size_t(p)] = 1;
        }

    std::vector<int> queue;
    std::vector<char> involved(reference != nullptr ? std::size_t(reference->NetCount()) : 0, 0);
    const auto involve = [&](int net) {
        if (involved[std::size_t(net)])
            return;
        involved[std::size_t(net)] = 1;
        for (int p : reference->Net(net))
            queue.push_back(p);
    };
    if (reference == nullptr) {
        for (int p = 0; p < n; ++p)
            queue.push_back(p);
    } else {
        for (int net : nets)
            if (net >= 0 && net < reference->NetCount())
                involve(net);
        // A net with a foreign potential is measured too: its other points may be fine.
        for (int p : scan.Foreign)
            involve(reference->NetOf(p));
    }

    for (std::size_t next = 0; next < queue.size(); ++next) {
        const int driven = queue[next];
        if (placed[std::size_t(driven)])
            continue;
        std::fill(FLevels.begin(), FLevels.end(), 0);
        FLevels[std::size_t(driven)] = 1;
        RoundTrip();
        std::vector<int> net{driven};
        placed[std::size_t(driven)] = 1;
        for (int p = 0; p < n; ++p)
            if (FRead[std::size_t(p)] != 0 && !placed[std::size_t(p)]) {
                placed[std::size_t(p)] = 1;
                net.push_back(p);
            }
        std::sort(net.begin(), net.end());
        if (reference != nullptr)
            for (int p : net)
                involve(reference->NetOf(p));
        scan.Nets.push_back(std::move(net));
    }
    std::fill(FLevels.begin(), FLevels.end(), 0);

    if (reference != nullptr)
        for (int net = 0; net < reference->NetCount(); ++net)
            if (!involved[std::size_t(net)])
                scan.Nets.push_back(reference->Net(net));
    return scan;
}

bool THarnessCheck::FastCheck(const TReference& reference,
                              std::vector<std::vector<std::uint8_t>>* readings) {
    const int trips = FastRoundTrips(reference.NetCount());
    if (readings != nullptr)
        readings->clear();
    bool good = true;
    for (int trip = 0; trip < trips; ++trip) {
        std::fill(FLevels.begin(), FLevels.end(), 0);
        for (int net = 0; net < reference.NetCount(); ++net)
            FLevels[std::size_t(reference.Net(net).front())] = CodedLevel(net, trip);
        RoundTrip();
        for (int p = 0; p < reference.PointCount(); ++p)
            good = good && FRead[std::size_t(p)] == CodedLevel(reference.NetOf(p), trip);
        if (readings != nullptr)
            readings->push_back(FRead);
    }
    std::fill(FLevels.begin(), FLevels.end(), 0);
    return good;
}

TCheckResult THarnessCheck::Verify(const TReference& reference) {
    TVerifyMemory none;
    none.SinceScan = TVerifyMemory::ScanEvery; // nothing to take over: always scan
    return Verify(reference, none);
}

TCheckResult THarnessCheck::Verify(const TReference& reference, TVerifyMemory& memory) {
    const long long before = FRoundTrips;
    TCheckResult result;
    if (reference.PointCount() != FPoints.Count())
        throw EUnitError(QCoreApplication::translate(
            "THarnessCheck", "Эталон составлен для другого набора контактов проекта"));
    std::vector<std::vector<std::uint8_t>> readings;
    const bool good = FastCheck(reference, &readings);
    if (!good && readings == memory.Readings && memory.SinceScan < TVerifyMemory::ScanEvery) {
        ++memory.SinceScan;
        result.Faults = memory.Faults;
    } else if (!good) {
        std::set<int> involved;
        for (std::size_t trip = 0; trip < readings.size(); ++trip)
            for (int p = 0; p < reference.PointCount(); ++p)
                if (readings[trip][std::size_t(p)] != CodedLevel(reference.NetOf(p), int(trip)))
                    involved.insert(reference.NetOf(p));
        const TScan scan = ScanNets(&reference, {involved.begin(), involved.end()});
        result.Faults = TNetCompare::Compare(reference, scan.Nets, scan.Foreign, FPoints);
        if (result.Faults.empty())
            result.Faults = NameFromReadings(reference, readings);
        else
            for (TFault& fault : NameTransients(reference, scan, readings))
                if (std::find(result.Faults.begin(), result.Faults.end(), fault) ==
                    result.Faults.end())
                    result.Faults.push_back(std::move(fault));
        memory.SinceScan = 0;
    }
    memory.Readings = std::move(readings);
    memory.Faults = result.Faults;
    result.RoundTrips = int(FRoundTrips - before);
    return result;
}

// A fault that came and went during the coded check while another one stays: the scan shows the
// lasting one, so the readings of the nets whose levels the scanned harness does not explain are
// named on their own, every other point taken as reading what the reference expects of it.
std::vector<TFault>
THarnessCheck::NameTransients(const TReference& reference, const TScan& scan,
                              const std::vector<std::vector<std::uint8_t>>& readings) {
    const int n = reference.PointCount();
    std::vector<int> measuredNet(std::size_t(n), -1); // -1: a foreign potential, reads 1
    for (std::size_t m = 0; m < scan.Nets.size(); ++m)
        for (int p : scan.Nets[m])
            measuredNet[std::size_t(p)] = int(m);
    std::set<int> transient;
    for (std::size_t trip = 0; trip < readings.size(); ++trip) {
        std::vector<std::uint8_t> level(scan.Nets.size(), 0);
        for (int net = 0; net < reference.NetCount(); ++net) {
            const int first = reference.Net(net).front();
            if (measuredNet[std::size_t(first)] >= 0)
                level[std::size_t(measuredNet[std::size_t(first)])] |= CodedLevel(net, int(trip));
        }
        for (int p = 0; p < n; ++p) {
            const int m = measuredNet[std::size_t(p)];
            const std::uint8_t explained = m < 0 ? 1 : level[std::size_t(m)];
            if (readings[trip][std::size_t(p)] != explained)
                transient.insert(reference.NetOf(p));
        }
    }
    if (transient.empty())
        return {};
    std::vector<std::vector<std::uint8_t>> alone = readings;
    for (std::size_t trip = 0; trip < alone.size(); ++trip)
        for (int p = 0; p < n; ++p)
            if (transient.count(reference.NetOf(p)) == 0)
                alone[trip][std::size_t(p)] = CodedLevel(reference.NetOf(p), int(trip));
    return NameFromReadings(reference, alone);
}

// Names what the coded check saw when the scan after it found the harness good again. Points
// that read the same levels in every round trip were in one net; points that read nothing at all
// are taken to have stayed with the rest of their own net's silent points.
std::vector<TFault>
THarnessCheck::NameFromReadings(const TReference& reference,
                                const std::vector<std::vector<std::uint8_t>>& readings) {
    const int n = reference.PointCount();
    const int trips = int(readings.size());
    const auto expected = [&](int p) {
        std::string v(std::size_t(trips), '0');
        for (int t = 0; t < trips; ++t)
            v[std::size_t(t)] = char('0' + CodedLevel(reference.NetOf(p), t));
        return v;
    };
    std::vector<std::string> seen(static_cast<std::size_t>(n));
    std::vector<int> deviating;
    for (int p = 0; p < n; ++p) {
        std::string& v = seen[std::size_t(p)];
        v.assign(std::size_t(trips), '0');
        for (int t = 0; t < trips; ++t)
            v[std::size_t(t)] = readings[std::size_t(t)][std::size_t(p)] != 0 ? '1' : '0';
        if (v != expected(p))
            deviating.push_back(p);
    }
    if (deviating.empty())
        return {};

    const std::string silent(std::size_t(trips), '0');
    const std::string all(std::size_t(trips), '1');
    std::map<std::string, std::vector<int>> groups;
    for (int p = 0; p < n; ++p) {
        const std::string& v = seen[std::size_t(p)];
        groups[v == silent ? v + std::to_string(reference.NetOf(p)) : v].push_back(p);
    }
    std::vector<int> foreign;
    std::vector<std::vector<int>> measured;
    for (auto& [key, group] : groups) {
        if (key == all) {
            // Reading 1 throughout is a foreign potential unless the nets read there explain it.
            std::string joined = silent;
            for (int p : group) {
                const std::string e = expected(p);
                for (int t = 0; t < trips; ++t)
                    if (e[std::size_t(t)] == '1')
                        joined[std::size_t(t)] = '1';
            }
            if (joined != all) {
                foreign.insert(foreign.end(), group.begin(), group.end());
                continue;
            }
        }
        measured.push_back(group);
    }
    std::vector<TFault> faults = TNetCompare::Compare(reference, measured, foreign, FPoints);
    if (!faults.empty())
        return faults;

    // The nets held together, but some points read other levels for a while: a point that only
    // missed its net's levels lost its net; one that read levels its net did not drive was
    // joined to the nets that drove them then, or got them from outside.
    std::map<int, std::vector<int>> byNet;
    for (int p : deviating)
        byNet[reference.NetOf(p)].push_back(p);
    std::set<std::vector<int>> shorts;
    for (const auto& [net, points] : byNet) {
        std::vector<char> extra(std::size_t(trips), 0);
        bool any = false;
        for (int p : points) {
            const std::string e = expected(p);
            for (int t = 0; t < trips; ++t)
                if (seen[std::size_t(p)][std::size_t(t)] == '1' && e[std::size_t(t)] == '0') {
                    extra[std::size_t(t)] = 1;
                    any = true;
                }
        }
        const std::vector<int>& whole = reference.Net(net);
        if (!any) {
            std::vector<int> cut = points;
            std::erase(cut, whole.front()); // the first point drives its own levels
            std::vector<int> rest;
            std::set_difference(whole.begin(), whole.end(), cut.begin(), cut.end(),
                                std::back_inserter(rest));
            if (!cut.empty())
                faults.push_back(TFault::Open(FPoints.Contacts(cut), FPoints.Contacts(rest)));
            continue;
        }
        std::vector<int> joined{net};
        for (const auto& [other, unused] : byNet) {
            if (other == net)
                continue;
            for (int t = 0; t < trips; ++t)
                if (extra[std::size_t(t)] && CodedLevel(other, t) == 1) {
                    joined.push_back(other);
                    break;
                }
        }
        if (joined.size() == 1) {
            faults.push_back(TFault::Foreign(FPoints.Contacts(points)));
            continue;
        }
        std::sort(joined.begin(), joined.end());
        if (!shorts.insert(joined).second)
            continue;
        std::vector<QStringList> nets;
        for (int j : joined)
            nets.push_back(FPoints.Contacts(reference.Net(j)));
        faults.push_back(TFault::Short(std::move(nets)));
    }
    if (faults.empty())
        faults.push_back(TFault::Foreign(FPoints.Contacts(deviating)));
    return faults;
}
