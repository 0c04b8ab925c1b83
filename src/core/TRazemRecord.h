// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TComponentStream.h"
#include "TContact.h"

#include <QStringList>
#include <vector>

class TStreamReader;
class TStreamWriter;

// A contact record as the project file stores it (13 bytes).
struct TContactRecord {
    std::uint8_t State = 0;
    std::int32_t NameIndex = 0;
    TColor IndColor = 0;
    TColor ButtColor = 0;
    bool operator==(const TContactRecord&) const = default;
};

// One connector's record of a project file as plain data: the component block with every
// property as stored, then the connector's own fields and all contact records, odd grid rows
// included. The connector fills one to save itself and reads one before it takes any value, so
// a record that fails half-way never leaves a half-read connector behind; the project tool
// works on these records directly.
class TRazemRecord {
  public:
    static constexpr int DefaultGridCount = 5; // the grid's ColCount/RowCount when not stored

    TComponentNode Component;
    std::int32_t ButtSize = 0;
    std::int32_t Index = 0;
    QString Name;
    QStringList NameList;
    std::vector<TRowInfo> Rows;        // RowCount / 2 descriptors
    std::vector<TContactRecord> Cells; // RowCount x ColCount, grid row by grid row

    // The grid values of the component block (absent ColCount/RowCount: 5, Left/Top: 0).
    int ColCount() const { return GridValue("ColCount", DefaultGridCount); }
    int RowCount() const { return GridValue("RowCount", DefaultGridCount); }
    int Left() const { return GridValue("Left", 0); }
    int Top() const { return GridValue("Top", 0); }
    TContactRecord& Cell(int col, int gridRow) {
        return Cells[std::size_t(gridRow) * std::size_t(ColCount()) + std::size_t(col)];
    }
    const TContactRecord& Cell(int col, int gridRow) const {
        return Cells[std::size_t(gridRow) * std::size_t(ColCount()) + std::size_t(col)];
    }

    // Writes the record; refuses (EFileError) one whose rows or cells do not match its grid.
    void WriteToStream(TStreamWriter& writer) const;
    // Reads and checks one record; expectedIndex is its place in the file.
    static TRazemRecord ReadFromStream(TStreamReader& reader, int expectedIndex);

  private:
    int GridValue(const char* name, int absent) const;
};
