// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSootv.h"

#include "TPinGrid.h"
#include "TRazem.h"
#include "TStreamReader.h"
#include "TStreamWriter.h"
#include "TWorkPlace.h"

#include <QCoreApplication>

TSootv::TSootv(TPinGrid* gridX1, TPinGrid* gridX2, QObject* parent)
    : QObject(parent), FGridX1(gridX1), FGridX2(gridX2) {}

TSootv::~TSootv() = default;

void TSootv::Add(std::unique_ptr<TSootvData> record) {
    FItems.push_back(std::move(record));
    emit Changed();
}

void TSootv::Delete(int index) {
    if (index < 0 || index >= Count())
        return;
    FItems.erase(FItems.begin() + index);
    emit Changed();
}

void TSootv::Clear() {
    FItems.clear();
    emit Changed();
}

bool TSootv::FindContact(const QString& name, int razemIndex, int* record) const {
    for (int k = 0; k < Count(); ++k)
        if (FItems[std::size_t(k)]->IndexOf(name, razemIndex) >= 0) {
            if (record != nullptr)
                *record = k;
            return true;
        }
    return false;
}

int TSootv::FindCell(int col, int row, int grid) const {
    for (int k = 0; k < Count(); ++k) {
        const TSootvData& r = *FItems[std::size_t(k)];
        if (r.FGrid == grid && r.FCol == col && r.FRow == row)
            return k;
    }
    return -1;
}

void TSootv::ShowCell(int col, int row, int grid) {
    if (col < 1 || row < 1)
        return;
    TPinGrid* shown = grid == 1 ? FGridX1 : grid == 2 ? FGridX2 : nullptr;
    TPinGrid* other = grid == 1 ? FGridX2 : grid == 2 ? FGridX1 : nullptr;
    if (shown == nullptr)
        return;
    shown->SetCurrentCell(col, row);
    // The chosen cell shows in the unfocused selection colour once the focus is elsewhere.
    if (other != nullptr)
        other->RequestFocus();
}

void TSootv::DeleteRazem(int razemIndex) {
    for (auto& r : FItems)
        for (int i = r->Count() - 1; i >= 0; --i)
            if (r->FRazemIndexes[std::size_t(i)] == razemIndex)
                r->Delete(i);
    std::erase_if(FItems, [](const auto& r) { return r->Count() == 0; });
    for (auto& r : FItems)
        for (auto& k : r->FRazemIndexes)
            if (k > razemIndex)
                --k;
    emit Changed();
}

void TSootv::ResetGenerators(TWorkPlace& workPlace) {
    for (const auto& r : FItems)
        for (int i = 0; i < r->Count(); ++i) {
            TRazem* razem = workPlace.Razem(r->FRazemIndexes[std::size_t(i)]);
            const TCellPos pos = r->FContacts[std::size_t(i)];
            if (razem == nullptr || !TRazem::IsInside(pos.Col, pos.Row))
                continue;
            TContact& t = razem->Contact(pos.Col, pos.Row);
            if (t.State == TContactState::csGenerator) {
                t.State = TContactState::csTied;
                t.GenIndex = -1;
            }
        }
}

std::uint16_t TSootv::PinCode(int grid, int col, int row) {
    if ((grid != 1 && grid != 2) || col < 1 || col > 32 || row < 1 || row > 3)
        return 0;
    const int base = grid == 1 ? 400 : 272;
    return std::uint16_t(base + 32 * (3 - row) + (col - 1));
}

QString TSootv::PinName(std::uint16_t code) {
    for (int grid = 1; grid <= 2; ++grid) {
        const int base = grid == 1 ? 400 : 272;
        if (code >= base && code < base + 96) {
            const int letter = (code - base) / 32;
            return QStringLiteral("X%1:%2%3")
                .arg(grid)
                .arg(QChar(u'a' + letter))
                .arg((code - base) % 32 + 1);
        }
    }
    return {};
}

void TSootv::WriteToStream(TStreamWriter& stream) const {
    stream.WriteInt32(Count());
    for (const auto& r : FItems)
        r->WriteToStream(stream);
}

void TSootv::ReadFromStream(TStreamReader& stream, std::span<const TRazemExtent> razems) {
    stream.SetContext(QString());
    const std::int32_t count =
        stream.ReadCount(15, QCoreApplication::translate("TSootv", "число соответствий"));
    for (std::int32_t k = 0; k < count; ++k) {
        stream.SetContext(QCoreApplication::translate("TSootv", "соответствие %1").arg(k + 1));
        auto rec = TSootvData::ReadFromStream(stream, razems);
        if (rec->HasCell())
            Add(std::move(rec));
    }
    stream.SetContext(QString());
}
