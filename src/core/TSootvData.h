#pragma once

#include <QString>
#include <cstdint>
#include <vector>

// A contact's place in its connector: column and record row.
struct TCellPos {
    std::int32_t Col = 0;
    std::int32_t Row = 0;
    bool operator==(const TCellPos&) const = default;
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
};
