// SPDX-License-Identifier: GPL-3.0-or-later
#include "TAssemblyGuide.h"

#include "TCountingExchange.h"
#include "TFault.h"
#include "THarnessCheck.h"

#include <QCoreApplication>

#include <algorithm>
#include <map>
#include <set>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TAssemblyGuide)
};
} // namespace

int TAssemblyState::TickedCount() const {
    return int(std::count(Ticked.begin(), Ticked.end(), 1));
}

std::vector<TGuideWire> TAssemblyGuide::Wires(const TReference& reference,
                                              const TCheckPoints& points) {
    std::vector<TGuideWire> wires;
    for (const std::vector<int>& net : reference.Nets()) {
        // Each contact of the net with its point, in the order the wire list writes them.
        std::vector<std::pair<QString, int>> contacts;
        for (int p : net)
            for (const QString& c : points.Point(p).Contacts)
                contacts.emplace_back(c, p);
        for (std::size_t i = 1; i < contacts.size(); ++i)
            wires.push_back({contacts.front().first, contacts[i].first, contacts.front().second,
                             contacts[i].second});
    }
    return wires;
}

TAssemblyGuide::TAssemblyGuide(TCheckPoints points, TReference reference)
    : FPoints(std::move(points)), FReference(std::move(reference)),
      FWires(Wires(FReference, FPoints)), FSeen(TReference::FromNets({}, FPoints.Count())) {
    FState.Ticked.assign(FWires.size(), 0);
    FState.Next = FWires.empty() ? -1 : 0;
}

void TAssemblyGuide::Look(IUnitExchange& unit) {
    THarnessCheck check(FPoints, unit);
    TAssemblyState state = State();
    ++state.Looks;
    std::vector<std::vector<std::uint8_t>> readings;
    const bool same = check.FastCheck(FSeen, &readings);
    if (same && FLooked) {
        std::lock_guard lock(FLock);
        FState.Looks = state.Looks;
        return;
    }
    std::vector<int> foreign;
    if (!same) {
        std::set<int> involved;
        for (std::size_t trip = 0; trip < readings.size(); ++trip)
            for (int p = 0; p < FSeen.PointCount(); ++p)
                if (readings[trip][std::size_t(p)] !=
                    THarnessCheck::CodedLevel(FSeen.NetOf(p), int(trip)))
                    involved.insert(FSeen.NetOf(p));
        const TScan scan = check.ScanNets(&FSeen, {involved.begin(), involved.end()});
        FSeen = TReference::FromNets(scan.Nets, FPoints.Count());
        foreign = scan.Foreign;
        ++state.Changes;
    }
    FLooked = true;
    Evaluate(foreign, state);
    std::lock_guard lock(FLock);
    FState = std::move(state);
}

void TAssemblyGuide::Evaluate(const std::vector<int>& foreign, TAssemblyState& state) const {
    std::vector<char> isForeign(std::size_t(FPoints.Count()), 0);
    for (int p : foreign)
        isForeign[std::size_t(p)] = 1;
    std::set<int> pulled(state.Pulled.begin(), state.Pulled.end());
    state.Next = -1;
    for (std::size_t i = 0; i < FWires.size(); ++i) {
        const TGuideWire& w = FWires[i];
        const bool in = !isForeign[std::size_t(w.FromPoint)] &&
                        !isForeign[std::size_t(w.ToPoint)] &&
                        FSeen.NetOf(w.FromPoint) == FSeen.NetOf(w.ToPoint);
        if (in)
            pulled.erase(int(i));
        else if (state.Ticked[i])
            pulled.insert(int(i));
        state.Ticked[i] = in ? 1 : 0;
        if (!in && state.Next < 0)
            state.Next = int(i);
    }
    state.Pulled.assign(pulled.begin(), pulled.end());

    state.Wrong.clear();
    state.WrongContacts.clear();
    for (const std::vector<int>& net : FSeen.Nets()) {
        if (net.size() < 2)
            continue;
        std::map<int, std::vector<int>> byReference;
        for (int p : net)
            byReference[FReference.NetOf(p)].push_back(p);
        if (byReference.size() < 2)
            continue;
        // The part the next wire belongs to is what the technician is working on: the rest is
        // what it was wrongly joined to.
        auto anchor = byReference.begin();
        if (state.Next >= 0) {
            const TGuideWire& next = FWires[std::size_t(state.Next)];
            for (auto part = byReference.begin(); part != byReference.end(); ++part)
                if (std::find_if(part->second.begin(), part->second.end(), [&](int p) {
                        return p == next.FromPoint || p == next.ToPoint;
                    }) != part->second.end())
                    anchor = part;
        }
        for (auto part = byReference.begin(); part != byReference.end(); ++part)
            if (part != anchor)
                state.Wrong << WrongText(anchor->second, part->second, state.Next);
        state.WrongContacts << FPoints.Contacts(net);
    }
    if (!foreign.empty()) {
        state.Wrong << TFault::Foreign(FPoints.Contacts(foreign)).Text();
        state.WrongContacts << FPoints.Contacts(foreign);
    }
}

// A contact of the point as the guidance names it: as the next wire names it when it is one of
// its ends.
QString TAssemblyGuide::Contact(int point, int next) const {
    if (next >= 0) {
        const TGuideWire& w = FWires[std::size_t(next)];
        if (w.FromPoint == point)
            return w.From;
        if (w.ToPoint == point)
            return w.To;
    }
    return FPoints.Contacts({point}).join(QStringLiteral(", "));
}

QString TAssemblyGuide::WrongText(const std::vector<int>& group, const std::vector<int>& others,
                                  int next) const {
    int at = group.front();
    QString should;
    if (next >= 0) {
        const TGuideWire& w = FWires[std::size_t(next)];
        if (std::find(group.begin(), group.end(), w.FromPoint) != group.end()) {
            at = w.FromPoint;
            should = w.To;
        } else if (std::find(group.begin(), group.end(), w.ToPoint) != group.end()) {
            at = w.ToPoint;
            should = w.From;
        }
    }
    if (should.isEmpty()) {
        // The rest of its own net that it is not joined with.
        std::vector<int> rest;
        for (int p : FReference.Net(FReference.NetOf(at)))
            if (std::find(group.begin(), group.end(), p) == group.end())
                rest.push_back(p);
        should = FPoints.Contacts(rest).join(QStringLiteral(", "));
    }
    const QString wrong = FPoints.Contacts(others).join(QStringLiteral(", "));
    if (should.isEmpty())
        return TTexts::tr("Неверно: %1 соединен с %2").arg(Contact(at, next), wrong);
    return TTexts::tr("Неверно: %1 соединен с %2, а должен с %3")
        .arg(Contact(at, next), wrong, should);
}

bool TAssemblyGuide::Step(IUnitExchange& unit) {
    if (FDone)
        return false;
    TCountingExchange exchange(unit, FStop, FRoundTrips);
    try {
        if (!FStop) {
            Look(exchange);
            if (!FStop)
                return true;
        }
    } catch (const EJobStopped&) {
    }
    FDone = true;
    return false;
}

TAssemblyState TAssemblyGuide::State() const {
    std::lock_guard lock(FLock);
    return FState;
}

QString TAssemblyGuide::InsertText(int wire) const {
    const TGuideWire& w = FWires[std::size_t(wire)];
    return TTexts::tr("Вставьте провод %1 из %2: %3 — %4")
        .arg(wire + 1)
        .arg(FWires.size())
        .arg(w.From, w.To);
}

QString TAssemblyGuide::PulledText(int wire) const {
    const TGuideWire& w = FWires[std::size_t(wire)];
    return TTexts::tr("Провод %1 вынут: %2 — %3").arg(wire + 1).arg(w.From, w.To);
}

QString TAssemblyGuide::Line(const TAssemblyState& state) const {
    if (!state.Wrong.isEmpty())
        return state.Wrong.join(QLatin1Char('\n'));
    if (!state.Pulled.empty())
        return PulledText(state.Pulled.front());
    if (state.Next >= 0)
        return InsertText(state.Next);
    return {};
}
