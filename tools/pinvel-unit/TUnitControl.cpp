// SPDX-License-Identifier: GPL-3.0-or-later
#include "TUnitControl.h"

#include "TSimUnit.h"

#include <QCoreApplication>

#include <algorithm>
#include <numeric>
#include <sstream>

namespace {

std::vector<std::string> Words(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TUnitControl)
};

std::string Commands() {
    return TTexts::tr("команды: probe ВЫВОД|none, connect ВЫВОД ВЫВОД, disconnect ВЫВОД ВЫВОД, "
                      "reset")
        .toStdString();
}

std::string Error(const QString& text) {
    return TTexts::tr("ошибка: %1").arg(text).toStdString();
}

} // namespace

TUnitControl::TUnitControl(TSimUnit& unit, THarness file) : FUnit(unit), FFile(std::move(file)) {
    Reset();
}

void TUnitControl::Reset() {
    FWires.clear();
    for (const auto& net : FFile.Nets)
        for (std::size_t i = 1; i < net.size(); ++i)
            FWires.push_back({net.front(), net[i]});
    FProbe = FFile.ProbePin;
}

bool TUnitControl::Pin(const std::string& name, std::uint16_t& code, std::string& error) const {
    const int found = THarness::PinCode(name, FFile.UnitType);
    if (found < 0) {
        error = Error(TTexts::tr("нет вывода «%1» (выводы X1:a1 .. X2:c31)")
                          .arg(QString::fromStdString(name)));
        return false;
    }
    code = static_cast<std::uint16_t>(found);
    return true;
}

std::string TUnitControl::Apply(std::string_view line) {
    const std::vector<std::string> words = Words(line);
    if (words.empty())
        return Error(TTexts::tr("пустая строка")) + "; " + Commands();
    const std::string& command = words[0];
    std::lock_guard lock(FLock);
    std::string error;
    if (command == "reset" && words.size() == 1) {
        Reset();
    } else if (command == "probe" && words.size() == 2) {
        std::uint16_t code = 0;
        if (words[1] == "none")
            FProbe = -1;
        else if (Pin(words[1], code, error))
            FProbe = code;
        else
            return error;
    } else if ((command == "connect" || command == "disconnect") && words.size() == 3) {
        std::uint16_t a = 0;
        std::uint16_t b = 0;
        if (!Pin(words[1], a, error) || !Pin(words[2], b, error))
            return error;
        if (a == b)
            return Error(TTexts::tr("провод от вывода к нему же"));
        const auto same = [&](const TWire& w) {
            return (w[0] == a && w[1] == b) || (w[0] == b && w[1] == a);
        };
        const auto at = std::find_if(FWires.begin(), FWires.end(), same);
        if (command == "connect") {
            if (at == FWires.end())
                FWires.push_back({a, b});
        } else if (at == FWires.end()) {
            return Error(
                TTexts::tr("между %1 и %2 нет провода")
                    .arg(QString::fromStdString(words[1]), QString::fromStdString(words[2])));
        } else {
            FWires.erase(at);
        }
    } else {
        return Error(TTexts::tr("непонятная строка «%1»")
                         .arg(QString::fromStdString(std::string(line)))) +
               "; " + Commands();
    }
    Rewire();
    return "ok";
}

void TUnitControl::Rewire() {
    // Nets are the pins the wires hold together.
    std::vector<std::uint16_t> pins;
    for (const TWire& w : FWires)
        pins.insert(pins.end(), w.begin(), w.end());
    std::sort(pins.begin(), pins.end());
    pins.erase(std::unique(pins.begin(), pins.end()), pins.end());
    const auto index = [&](std::uint16_t pin) {
        return std::size_t(std::lower_bound(pins.begin(), pins.end(), pin) - pins.begin());
    };
    std::vector<std::size_t> parent(pins.size());
    std::iota(parent.begin(), parent.end(), std::size_t(0));
    const auto root = [&](std::size_t i) {
        while (parent[i] != i)
            i = parent[i] = parent[parent[i]];
        return i;
    };
    for (const TWire& w : FWires)
        parent[root(index(w[0]))] = root(index(w[1]));
    std::vector<std::vector<std::uint16_t>> nets;
    std::vector<std::size_t> netOfRoot(pins.size(), pins.size());
    for (std::size_t i = 0; i < pins.size(); ++i) {
        std::size_t& net = netOfRoot[root(i)];
        if (net == pins.size()) {
            net = nets.size();
            nets.emplace_back();
        }
        nets[net].push_back(pins[i]);
    }
    THarness harness = FFile;
    harness.Nets = std::move(nets);
    harness.ProbePin = FProbe;
    FUnit.Rewire(std::move(harness));
}
