// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFixtureCheck.h"

#include "TCountingExchange.h"
#include "THarnessCheck.h"
#include "TReference.h"
#include "TSootv.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <set>

QString TFixtureCheck::PointText(const TCheckPoints& points, int point) {
    const TCheckPoint& p = points.Point(point);
    const QString pin = TSootv::PinName(p.Pin);
    const QString name = pin.isEmpty() ? QString::number(p.Pin) : pin;
    return p.Contacts.isEmpty() ? name
                                : name + QStringLiteral(" (") +
                                      p.Contacts.join(QStringLiteral(", ")) + QLatin1Char(')');
}

QString TFixtureFault::Text(const TCheckPoints& points) const {
    QStringList pins;
    for (int p : Points)
        pins << TFixtureCheck::PointText(points, p);
    const QString list = pins.join(QStringLiteral(", "));
    return Kind == TKind::Joined
               ? QCoreApplication::translate("TFixtureCheck", "замкнуты выводы блока: %1").arg(list)
               : QCoreApplication::translate("TFixtureCheck",
                                             "посторонний потенциал на выводах блока: %1")
                     .arg(list);
}

TFixtureCheck::TFixtureCheck(TCheckPoints points) : FPoints(std::move(points)) {}

TFixtureResult TFixtureCheck::Run(IUnitExchange& unit) {
    THarnessCheck check(FPoints, unit);
    const TReference alone = TReference::FromNets({}, FPoints.Count());
    TFixtureResult result;
    std::vector<std::vector<std::uint8_t>> readings;
    if (!check.FastCheck(alone, &readings)) {
        std::set<int> involved;
        for (std::size_t trip = 0; trip < readings.size(); ++trip)
            for (int p = 0; p < FPoints.Count(); ++p)
                if (readings[trip][std::size_t(p)] !=
                    THarnessCheck::CodedLevel(alone.NetOf(p), int(trip)))
                    involved.insert(alone.NetOf(p));
        const TScan scan = check.ScanNets(&alone, {involved.begin(), involved.end()});
        std::vector<TFixtureFault> joined;
        for (const std::vector<int>& net : scan.Nets)
            if (net.size() > 1)
                joined.push_back({TFixtureFault::TKind::Joined, net});
        std::sort(joined.begin(), joined.end(), [](const TFixtureFault& a, const TFixtureFault& b) {
            return a.Points.front() < b.Points.front();
        });
        result.Faults = std::move(joined);
        if (!scan.Foreign.empty())
            result.Faults.push_back({TFixtureFault::TKind::Foreign, scan.Foreign});
    }
    result.RoundTrips = int(check.RoundTrips());
    return result;
}

bool TFixtureCheck::Step(IUnitExchange& unit) {
    if (FDone)
        return false;
    TCountingExchange exchange(unit, FCancel, FRoundTrips);
    try {
        TFixtureResult result = Run(exchange);
        std::lock_guard lock(FLock);
        FResult = std::move(result);
    } catch (const EJobStopped&) {
        FCancelled = true;
    }
    FDone = true;
    return false;
}

std::optional<TFixtureResult> TFixtureCheck::Result() const {
    std::lock_guard lock(FLock);
    return FResult;
}
