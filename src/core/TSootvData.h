// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

class TStreamReader;
class TStreamWriter;

// A contact's place in its connector: column and record row.
struct TCellPos {
    std::int32_t Col = 0;
    std::int32_t Row = 0;
    bool operator==(const TCellPos&) const = default;
};

// The grid size of a connector that table entries may name, for checking them while reading.
struct TRazemExtent {
    int ColCount = 0;
    int RowCount = 0;
};

// One pin of the unit and the contacts tied to it. Entry i is the triple
// (FNames[i], FContacts[i], FRazemIndexes[i]); the three lists always have the same length.
class TSootvData {
  public:
    std::vector<QString> FNames;
    std::vector<TCellPos> FContacts;
    std::vector<std::int32_t> FRazemIndexes;
    std::int32_t FCol = 0;  // pin position 1..32 (editor grid column)
    std::int32_t FRow = 0;  // editor grid row: 1 = pin row c, 2 = b, 3 = a
    std::uint8_t FGrid = 0; // 1 = X1, 2 = X2
    std::uint16_t FPin = 0; // pin code

    int Count() const { return int(FNames.size()); }
    // Starts a new entry with its contact name; AddContact completes it.
    void AddName(const QString& name);
    void AddContact(TCellPos pos, std::int32_t razemIndex);
    void Delete(int entry);
    // The first entry with exactly this name and connector index, or -1.
    int IndexOf(const QString& name, std::int32_t razemIndex) const;

    // One correspondence record of a project file.
    void WriteToStream(TStreamWriter& stream) const;
    // Reads one record. Unless its column or row is below 1 (such a record is dropped by the
    // table), every entry must name a contact cell of one of the given connectors and the pin
    // cell must lie in a unit grid (grid 1 or 2, column 1..32, row 1..3) with the pin code of
    // that cell; else EFileError.
    static std::unique_ptr<TSootvData> ReadFromStream(TStreamReader& stream,
                                                      std::span<const TRazemExtent> razems);
    // Whether the table keeps a record read from a file.
    bool HasCell() const { return FCol >= 1 && FRow >= 1; }
};
