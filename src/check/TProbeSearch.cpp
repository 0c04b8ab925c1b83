// SPDX-License-Identifier: GPL-3.0-or-later
#include "TProbeSearch.h"

#include "TCountingExchange.h"
#include "TErrors.h"
#include "THarnessCheck.h"

#include <QCoreApplication>

QString TProbeFind::Text() const {
    switch (Where) {
    case TWhere::Nothing:
        return QCoreApplication::translate("TProbeSearch", "Зонд ни к чему не подключен");
    case TWhere::Net:
        return QCoreApplication::translate("TProbeSearch", "Зонд: %1")
            .arg(Contacts.join(QStringLiteral(", ")));
    case TWhere::Unclear:
        break;
    }
    return QCoreApplication::translate("TProbeSearch", "Зонд касается нескольких цепей сразу или "
                                                       "постороннего потенциала");
}

TProbeSearch::TProbeSearch(TCheckPoints points, const TReference& reference)
    : FPoints(std::move(points)), FPins(FPoints.Pins()) {
    if (reference.NetCount() > 0 && reference.PointCount() == FPoints.Count()) {
        FNets = reference.Nets();
    } else {
        for (int p = 0; p < FPoints.Count(); ++p)
            FNets.push_back({p});
    }
    FLevels.assign(FPins.size(), 0);
}

int TProbeSearch::RoundTrips(int nets) {
    // The bits of the numbers 1..nets: the coded check's round trips without the complements.
    return THarnessCheck::FastRoundTrips(nets) / 2;
}

TProbeFind TProbeSearch::Find(IUnitExchange& unit) {
    const int nets = NetCount();
    const int trips = RoundTrips(nets);
    int code = 0;
    for (int bit = 0; bit < trips; ++bit) {
        std::fill(FLevels.begin(), FLevels.end(), 0);
        for (int net = 0; net < nets; ++net)
            if (((net + 1) >> bit) & 1)
                for (int p : FNets[std::size_t(net)])
                    FLevels[std::size_t(p)] = 1;
        unit.WriteRead(FPins, FLevels, FRead);
        if (FRead.size() != FPins.size())
            throw EUnitError(QCoreApplication::translate(
                                 "THarnessCheck", "Блок диагностики прочитал %1 выводов из %2")
                                 .arg(FRead.size())
                                 .arg(FPins.size()));
        if (unit.ProbeIn() != 0)
            code |= 1 << bit;
    }
    std::fill(FLevels.begin(), FLevels.end(), 0);
    TProbeFind find;
    find.RoundTrips = trips;
    if (code == 0)
        return find;
    if (code > nets) {
        find.Where = TProbeFind::TWhere::Unclear;
        return find;
    }
    find.Where = TProbeFind::TWhere::Net;
    find.Net = code - 1;
    find.Contacts = FPoints.Contacts(FNets[std::size_t(find.Net)]);
    return find;
}

bool TProbeSearch::Step(IUnitExchange& unit) {
    if (FDone)
        return false;
    TCountingExchange exchange(unit, FStop, FRoundTrips);
    try {
        if (!FStop) {
            TProbeFind find = Find(exchange);
            {
                std::lock_guard lock(FLock);
                FLatest = std::move(find);
            }
            ++FSearches;
            if (!FStop)
                return true;
        }
    } catch (const EJobStopped&) {
    }
    FDone = true;
    return false;
}

TProbeFind TProbeSearch::Latest() const {
    std::lock_guard lock(FLock);
    return FLatest;
}
