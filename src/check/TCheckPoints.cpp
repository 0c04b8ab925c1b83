// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCheckPoints.h"

#include "TRazem.h"
#include "TSootv.h"
#include "TWorkPlace.h"

#include <map>

TCheckPoints::TCheckPoints(std::vector<TCheckPoint> points, const QStringList& untied)
    : FPoints(std::move(points)) {
    for (const QString& name : untied)
        FAll.insert(name);
    Index();
}

void TCheckPoints::Index() {
    for (int i = 0; i < Count(); ++i)
        for (const QString& name : FPoints[std::size_t(i)].Contacts) {
            FAll.insert(name);
            std::vector<int>& at = FByName[name];
            if (at.empty() || at.back() != i)
                at.push_back(i);
        }
}

TCheckPoints TCheckPoints::FromProject(const TWorkPlace& workPlace, const TSootv& sootv) {
    TCheckPoints result;
    std::map<std::uint16_t, std::size_t> byPin;
    for (int k = 0; k < sootv.Count(); ++k) {
        const TSootvData& record = sootv.Item(k);
        if (record.Count() == 0)
            continue;
        auto [at, added] = byPin.try_emplace(record.FPin, result.FPoints.size());
        if (added)
            result.FPoints.push_back({record.FPin, {}});
        QStringList& contacts = result.FPoints[at->second].Contacts;
        for (int i = 0; i < record.Count(); ++i) {
            const QString name = workPlace.TiedContactName(record, i);
            if (!contacts.contains(name))
                contacts.append(name);
        }
    }
    for (int r = 0; r < workPlace.Count(); ++r) {
        const TRazem* razem = workPlace.Razem(r);
        const int cols = std::min(razem->ColCount(), TRazem::MaxCols);
        const int rows = std::min(razem->RowCount(), TRazem::MaxGridRows);
        for (int c = 0; c < cols; ++c)
            for (int row = 0; row < rows; row += 2) {
                const QString name = razem->ContactName(c, row);
                if (!name.isEmpty() && razem->Contact(c, row).State != TContactState::csEmpty)
                    result.FAll.insert(razem->FRazName + QLatin1Char(':') + name);
            }
    }
    result.Index();
    return result;
}

std::vector<std::uint16_t> TCheckPoints::Pins() const {
    std::vector<std::uint16_t> pins;
    pins.reserve(FPoints.size());
    for (const TCheckPoint& p : FPoints)
        pins.push_back(p.Pin);
    return pins;
}

std::vector<int> TCheckPoints::PointsOf(const QString& contact) const {
    return FByName.value(contact);
}

bool TCheckPoints::HasContact(const QString& contact) const {
    return FAll.contains(contact);
}

QStringList TCheckPoints::Contacts(const std::vector<int>& points) const {
    QStringList out;
    for (int p : points)
        if (p >= 0 && p < Count())
            out += FPoints[std::size_t(p)].Contacts;
    return out;
}
