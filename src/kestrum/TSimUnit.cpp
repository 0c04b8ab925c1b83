// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSimUnit.h"

#include "IComPort.h"
#include "TCompactForm.h"

namespace {
constexpr int X2First = 272;
constexpr int X1First = 400;
constexpr int PinsPerConnector = 95; // a1 .. c31; c32 is not wired
} // namespace

TSimUnit::TSimUnit(THarness harness) : FHarness(std::move(harness)) {
    const int pins =
        FHarness.UnitType == THarness::DefaultUnitType ? 2 * PinsPerConnector : PinsPerConnector;
    FDriven.assign(static_cast<std::size_t>(pins), 0);
    Wire();
}

void TSimUnit::Rewire(THarness harness) {
    std::lock_guard lock(FLock);
    harness.UnitType = FHarness.UnitType;
    FHarness = std::move(harness);
    Wire();
}

// The harness's nets, faults and probe laid over the pins; what is driven stays.
void TSimUnit::Wire() {
    const std::size_t pins = FDriven.size();
    FForeign.assign(pins, 0);
    FDropped.assign(pins, 0);
    for (std::uint16_t code : FHarness.Foreign)
        if (const int index = PinIndex(code); index >= 0)
            FForeign[static_cast<std::size_t>(index)] = 1;
    BuildNets();
    FProbe = PinIndex(FHarness.ProbePin);
    UpdateNets();
}

// The nets of the harness as built, opens cut and shorts joined.
void TSimUnit::BuildNets() {
    const std::size_t pins = FDriven.size();
    std::vector<int> parent(pins);
    for (std::size_t i = 0; i < pins; ++i)
        parent[i] = static_cast<int>(i);
    const auto root = [&](int i) {
        while (parent[static_cast<std::size_t>(i)] != i)
            i = parent[static_cast<std::size_t>(i)] =
                parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(i)])];
        return i;
    };
    std::vector<std::uint8_t> wired(pins, 0);
    std::vector<std::uint8_t> cut(pins, 0);
    for (std::uint16_t code : FHarness.Opens)
        if (const int index = PinIndex(code); index >= 0)
            cut[static_cast<std::size_t>(index)] = 1;
    for (const auto& net : FHarness.Nets) {
        int first = -1;
        for (std::uint16_t code : net) {
            const int index = PinIndex(code);
            if (index < 0 || cut[static_cast<std::size_t>(index)])
                continue;
            wired[static_cast<std::size_t>(index)] = 1;
            if (first < 0)
                first = index;
            else
                parent[static_cast<std::size_t>(root(index))] = root(first);
        }
    }
    for (const auto& pair : FHarness.Shorts) {
        const int a = PinIndex(pair[0]);
        const int b = PinIndex(pair[1]);
        if (a < 0 || b < 0)
            continue;
        wired[static_cast<std::size_t>(a)] = wired[static_cast<std::size_t>(b)] = 1;
        parent[static_cast<std::size_t>(root(a))] = root(b);
    }
    FNetOf.assign(pins, -1);
    FNets.clear();
    std::vector<int> netOfRoot(pins, -1);
    for (std::size_t i = 0; i < pins; ++i) {
        if (!wired[i])
            continue;
        int& net = netOfRoot[static_cast<std::size_t>(root(static_cast<int>(i)))];
        if (net < 0) {
            net = static_cast<int>(FNets.size());
            FNets.emplace_back();
        }
        FNetOf[i] = net;
        FNets[static_cast<std::size_t>(net)].push_back(static_cast<int>(i));
    }
    FNetLevel.assign(FNets.size(), 0);
}

// Which intermittent pins are out of their net at this moment.
void TSimUnit::RefreshDrops() {
    const auto now = FClockMs >= 0 ? FClockMs
                                   : std::chrono::duration_cast<std::chrono::milliseconds>(
                                         std::chrono::steady_clock::now() - FStart)
                                         .count();
    bool changed = false;
    for (const THarness::TIntermittent& pin : FHarness.Intermittent) {
        const int index = PinIndex(pin.Pin);
        if (index < 0)
            continue;
        const std::uint8_t dropped = now % pin.PeriodMs >= pin.PeriodMs - pin.DropMs ? 1 : 0;
        changed = changed || FDropped[static_cast<std::size_t>(index)] != dropped;
        FDropped[static_cast<std::size_t>(index)] = dropped;
    }
    if (changed)
        UpdateNets();
}

// The net a pin belongs to now; -1 when it is in none or out of it for the moment.
int TSimUnit::NetOf(int index) const {
    return FDropped[static_cast<std::size_t>(index)] ? -1 : FNetOf[static_cast<std::size_t>(index)];
}

int TSimUnit::PinIndex(int code) const {
    if (FHarness.UnitType != THarness::DefaultUnitType)
        return code >= 0 && code < PinsPerConnector ? code : -1;
    if (code >= X2First && code < X2First + PinsPerConnector)
        return code - X2First;
    if (code >= X1First && code < X1First + PinsPerConnector)
        return PinsPerConnector + code - X1First;
    return -1;
}

void TSimUnit::Release() {
    FDriven.assign(FDriven.size(), 0);
    FProbeOut = 0;
    FAutonomous = false;
    FGenOnProbe = false;
    FAutoTable.clear();
    FGenTable.clear();
    UpdateNets();
}

void TSimUnit::Drive(const std::uint8_t* triples, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* t = triples + 3 * i;
        const int index = PinIndex((t[0] << 8) | t[1]);
        if (index >= 0)
            FDriven[static_cast<std::size_t>(index)] = t[2] != 0 ? 1 : 0;
    }
    UpdateNets();
}

void TSimUnit::DrivePin(int code, std::uint8_t level) {
    if (const int index = PinIndex(code); index >= 0)
        FDriven[static_cast<std::size_t>(index)] = level != 0 ? 1 : 0;
}

void TSimUnit::DriveProbe(std::uint8_t level) {
    FProbeOut = level != 0 ? 1 : 0;
}

void TSimUnit::SetClockMs(std::int64_t ms) {
    FClockMs = ms;
}

void TSimUnit::Settle() {
    if (!FHarness.Intermittent.empty())
        RefreshDrops();
    UpdateNets();
}

void TSimUnit::UpdateNets() {
    const int probeNet = FProbe >= 0 ? NetOf(FProbe) : -1;
    for (std::size_t n = 0; n < FNets.size(); ++n) {
        std::uint8_t level = static_cast<int>(n) == probeNet ? FProbeOut : 0;
        for (int index : FNets[n])
            if (!FDropped[static_cast<std::size_t>(index)])
                level |= FDriven[static_cast<std::size_t>(index)] |
                         FForeign[static_cast<std::size_t>(index)];
        FNetLevel[n] = level;
    }
}

std::uint8_t TSimUnit::LevelAt(int index) const {
    const int net = NetOf(index);
    if (net >= 0)
        return FNetLevel[static_cast<std::size_t>(net)];
    const std::uint8_t own =
        FDriven[static_cast<std::size_t>(index)] | FForeign[static_cast<std::size_t>(index)];
    return index == FProbe ? static_cast<std::uint8_t>(own | FProbeOut) : own;
}

std::uint8_t TSimUnit::PinLevel(int code) const {
    const int index = PinIndex(code);
    return index >= 0 ? LevelAt(index) : 0;
}

std::uint8_t TSimUnit::ProbeInput() const {
    return FProbe >= 0 ? LevelAt(FProbe) : 0;
}

void TSimUnit::Refuse(TFrame& reply) const {
    reply.Code = Refused;
    reply.Payload.clear();
}

void TSimUnit::SetFault(int kind, int afterCommands) {
    std::lock_guard lock(FLock);
    FFault = kind;
    FFaultAfter = afterCommands < 0 ? 0 : afterCommands;
    if (kind == KestrumFault::None)
        FUnplugged = false;
}

TSimUnit::Outcome TSimUnit::Handle(std::uint8_t code, const std::uint8_t* data, std::size_t size,
                                   TFrame& reply) {
    std::lock_guard lock(FLock);
    if (FUnplugged)
        return Outcome::LinkLost;
    if (!FHarness.Intermittent.empty())
        RefreshDrops();
    const bool command = code < TFrameCodec::Hello;
    int fault = KestrumFault::None;
    if (FFault != KestrumFault::None) {
        if (command && FFaultAfter > 0)
            --FFaultAfter;
        else if (command || (FFault == KestrumFault::NoReply && FFaultAfter == 0))
            fault = FFault; // a unit that has gone silent does not answer hello either
    }
    switch (fault) {
    case KestrumFault::NoReply:
        return Outcome::Silent;
    case KestrumFault::LinkLost:
        FFault = KestrumFault::None;
        return Outcome::LinkLost;
    case KestrumFault::Unplugged:
        FUnplugged = true;
        return Outcome::LinkLost;
    default:
        break;
    }
    if (!Execute(code, data, size, reply))
        return Outcome::Silent;
    if (fault == KestrumFault::WrongCode) {
        reply.Code = WrongReplyCode;
    } else if (fault == KestrumFault::ConfirmOnly) {
        reply.Code = UnitCode::Confirm;
        reply.Payload.clear();
    } else if (fault == KestrumFault::WrongLength) {
        if (reply.Payload.empty())
            reply.Payload.push_back(0);
        else
            reply.Payload.pop_back();
    }
    return Outcome::Reply;
}

// Carries out one frame; false when the frame gets no answer.
bool TSimUnit::Execute(std::uint8_t code, const std::uint8_t* data, std::size_t size,
                       TFrame& reply) {
    reply.Code = code;
    reply.Payload.clear();
    switch (code) {
    case TFrameCodec::Hello:
        reply.Payload = {static_cast<std::uint8_t>(FHarness.UnitType & 0xFF),
                         static_cast<std::uint8_t>(FHarness.UnitType >> 8)};
        if (FAnnounceCompact) // version 1.0, and the compact form
            reply.Payload.insert(reply.Payload.end(), {1, 0, TCompactForm::CanCompact});
        return true;
    case TFrameCodec::Reboot:
    case UnitCode::Stop:
        Release();
        return false;
    case UnitCode::WriteRead:
    case UnitCode::Write: {
        if (size % 3 != 0) {
            Refuse(reply);
            return true;
        }
        Drive(data, size / 3);
        if (code == UnitCode::WriteRead) {
            reply.Payload.reserve(size / 3 + 1);
            for (std::size_t i = 0; i < size / 3; ++i)
                reply.Payload.push_back(PinLevel((data[3 * i] << 8) | data[3 * i + 1]));
            reply.Payload.push_back(ProbeInput());
        }
        return true;
    }
    case UnitCode::ReadZond:
        if (size != 0)
            Refuse(reply);
        else
            reply.Payload.push_back(ProbeInput());
        return true;
    case UnitCode::WriteZond: {
        if (size < 2 || (size - 2) % 3 != 0) {
            Refuse(reply);
            return true;
        }
        FProbeOut = data[0] != 0 ? 1 : 0;
        Drive(data + 2, (size - 2) / 3);
        if (data[1] != 0)
            for (std::size_t i = 0; i < (size - 2) / 3; ++i)
                reply.Payload.push_back(PinLevel((data[2 + 3 * i] << 8) | data[3 + 3 * i]));
        reply.Payload.push_back(ProbeInput());
        return true;
    }
    case UnitCode::Autonomous: {
        const std::uint8_t sub = size > 0 ? data[0] : 0xFF;
        auto table = [&](std::size_t from, std::vector<Triple>& into) {
            into.clear();
            for (std::size_t i = from; i + 3 <= size; i += 3)
                into.push_back(
                    {static_cast<std::uint16_t>((data[i] << 8) | data[i + 1]), data[i + 2]});
        };
        if (sub == 0 && (size - 1) % 3 == 0) {
            // The unit takes over: it keeps driving the table's levels on its own.
            table(1, FAutoTable);
            FAutonomous = true;
            Drive(data + 1, (size - 1) / 3);
        } else if (sub == 1 && size >= 2 && (size - 2) % 3 == 0) {
            FGenOnProbe = data[1] != 0;
            table(2, FGenTable);
        } else if (sub == 2 && size == 1) {
            FAutonomous = false;
        } else {
            Refuse(reply);
        }
        return true;
    }
    case TCompactForm::PinList:
    case TCompactForm::MaskWriteRead:
    case TCompactForm::MaskWrite:
    case TCompactForm::MaskWriteProbe:
        return ExecuteCompact(code, data, size, reply);
    default:
        Refuse(reply);
        return true;
    }
}

// The compact form: the pin list, then levels as bit masks in its order.
bool TSimUnit::ExecuteCompact(std::uint8_t code, const std::uint8_t* data, std::size_t size,
                              TFrame& reply) {
    if (code == TCompactForm::PinList) {
        if (size % 2 != 0 || size / 2 > TCompactForm::MaxPins) {
            Refuse(reply);
            return true;
        }
        std::vector<std::uint16_t> list;
        for (std::size_t i = 0; i < size; i += 2) {
            list.push_back(static_cast<std::uint16_t>(data[i] << 8 | data[i + 1]));
            if (PinIndex(list.back()) < 0) {
                Refuse(reply);
                return true;
            }
        }
        FList = std::move(list);
        return true;
    }
    const std::size_t head = code == TCompactForm::MaskWriteProbe ? 2 : 0;
    const std::size_t count = FList.size();
    if (size != head + (count + 7) / 8) {
        Refuse(reply);
        return true;
    }
    for (std::size_t i = 0; i < count; ++i)
        if (const int index = PinIndex(FList[i]); index >= 0)
            FDriven[static_cast<std::size_t>(index)] = (data[head + i / 8] >> (i % 8)) & 1u;
    if (code == TCompactForm::MaskWriteProbe)
        FProbeOut = data[0] != 0 ? 1 : 0;
    UpdateNets();
    std::vector<std::uint8_t> levels;
    if (code == TCompactForm::MaskWriteRead ||
        (code == TCompactForm::MaskWriteProbe && data[1] != 0)) {
        for (std::uint16_t pin : FList)
            levels.push_back(PinLevel(pin));
        levels.push_back(ProbeInput());
        reply.Payload = TCompactForm::Mask(levels.data(), levels.size(), 1);
    } else if (code == TCompactForm::MaskWriteProbe) {
        reply.Payload.push_back(ProbeInput());
    }
    return true;
}
