// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSootvData.h"

#include "TSootv.h"
#include "TStreamReader.h"
#include "TStreamWriter.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TSootvData)
};
constexpr qint64 kEntrySize = 16; // empty name, column, row, connector index
} // namespace

void TSootvData::AddName(const QString& name) {
    FNames.push_back(name);
    FContacts.push_back({});
    FRazemIndexes.push_back(-1);
}

void TSootvData::AddContact(TCellPos pos, std::int32_t razemIndex) {
    if (FNames.empty())
        AddName(QString()); // keeps the three lists the same length even when misused
    FContacts.back() = pos;
    FRazemIndexes.back() = razemIndex;
}

void TSootvData::Delete(int entry) {
    if (entry < 0 || entry >= Count())
        return;
    FNames.erase(FNames.begin() + entry);
    FContacts.erase(FContacts.begin() + entry);
    FRazemIndexes.erase(FRazemIndexes.begin() + entry);
}

int TSootvData::IndexOf(const QString& name, std::int32_t razemIndex) const {
    for (int i = 0; i < Count(); ++i)
        if (FRazemIndexes[i] == razemIndex && FNames[i] == name)
            return i;
    return -1;
}

void TSootvData::WriteToStream(TStreamWriter& w) const {
    w.WriteInt32(Count());
    for (int i = 0; i < Count(); ++i) {
        w.WriteString(FNames[std::size_t(i)]);
        w.WriteInt32(FContacts[std::size_t(i)].Col);
        w.WriteInt32(FContacts[std::size_t(i)].Row);
        w.WriteInt32(FRazemIndexes[std::size_t(i)]);
    }
    w.WriteInt32(FCol);
    w.WriteInt32(FRow);
    w.WriteUInt16(FPin);
    w.WriteUInt8(FGrid);
}

std::unique_ptr<TSootvData> TSootvData::ReadFromStream(TStreamReader& r,
                                                       std::span<const TRazemExtent> razems) {
    auto rec = std::make_unique<TSootvData>();
    const std::int32_t m = r.ReadCount(kEntrySize, TTexts::tr("число связей соответствия"));
    std::vector<qint64> entryAt(std::size_t(m), 0);
    rec->FNames.reserve(std::size_t(m));
    for (std::int32_t i = 0; i < m; ++i) {
        entryAt[std::size_t(i)] = r.Pos();
        rec->AddName(r.ReadString());
        TCellPos pos;
        pos.Col = r.ReadInt32();
        pos.Row = r.ReadInt32();
        rec->AddContact(pos, r.ReadInt32());
    }
    const qint64 cellAt = r.Pos();
    rec->FCol = r.ReadInt32();
    rec->FRow = r.ReadInt32();
    const qint64 pinAt = r.Pos();
    rec->FPin = r.ReadUInt16();
    rec->FGrid = r.ReadUInt8();
    if (!rec->HasCell())
        return rec; // read whole and dropped by the table: nothing of it is used
    if ((rec->FGrid != 1 && rec->FGrid != 2) || rec->FCol > 32 || rec->FRow > 3)
        r.FailAt(cellAt, TTexts::tr("вывод вне разъемов блока: разъем X%1, столбец %2, строка %3")
                             .arg(rec->FGrid)
                             .arg(rec->FCol)
                             .arg(rec->FRow));
    // The tester drives the pin by its code: a code that is not the cell's would drive a pin
    // nobody chose while the grids show the cell.
    const std::uint16_t cellPin = TSootv::PinCode(rec->FGrid, rec->FCol, rec->FRow);
    if (rec->FPin != cellPin)
        r.FailAt(pinAt, TTexts::tr("код вывода %1 не совпадает с ячейкой %2, у которой код %3")
                            .arg(QString::number(rec->FPin), TSootv::PinName(cellPin),
                                 QString::number(cellPin)));
    for (std::int32_t i = 0; i < m; ++i) {
        const std::int32_t k = rec->FRazemIndexes[std::size_t(i)];
        const TCellPos pos = rec->FContacts[std::size_t(i)];
        if (k < 0 || std::size_t(k) >= razems.size())
            r.FailAt(entryAt[std::size_t(i)],
                     TTexts::tr("связь %1 «%2» ссылается на разъем %3, а в файле разъемов %4")
                         .arg(QString::number(i + 1), rec->FNames[std::size_t(i)],
                              QString::number(k), QString::number(razems.size())));
        const TRazemExtent& e = razems[std::size_t(k)];
        if (pos.Col < 0 || pos.Col >= e.ColCount || pos.Row < 0 || pos.Row >= e.RowCount ||
            pos.Row % 2 != 0)
            r.FailAt(entryAt[std::size_t(i)],
                     TTexts::tr("связь %1 «%2» указывает на контакт (столбец %3, строка %4) вне "
                                "разъема %5 размером %6 x %7")
                         .arg(QString::number(i + 1), rec->FNames[std::size_t(i)],
                              QString::number(pos.Col), QString::number(pos.Row),
                              QString::number(k), QString::number(e.ColCount),
                              QString::number(e.RowCount)));
    }
    return rec;
}
