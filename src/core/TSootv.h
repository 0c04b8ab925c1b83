// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TSootvData.h"

#include <QObject>
#include <memory>
#include <vector>

class TPinGrid;
class TStreamReader;
class TStreamWriter;
class TWorkPlace;

// The correspondence table: which contacts are tied to which pin of the unit, one record per pin,
// in the order the records were made (the order the tester addresses the unit's channels).
class TSootv : public QObject {
    Q_OBJECT
  public:
    static constexpr int MaxRecords = 190; // 95 usable pins on each unit connector

    explicit TSootv(TPinGrid* gridX1 = nullptr, TPinGrid* gridX2 = nullptr,
                    QObject* parent = nullptr);
    ~TSootv() override;

    TPinGrid* FGridX1;
    TPinGrid* FGridX2;

    int Count() const { return int(FItems.size()); }
    TSootvData& Item(int index) { return *FItems[std::size_t(index)]; }
    const TSootvData& Item(int index) const { return *FItems[std::size_t(index)]; }

    void Add(std::unique_ptr<TSootvData> record);
    void Delete(int index);
    void Clear();
    // The first record holding the contact (name, connector index); the index goes to *record.
    bool FindContact(const QString& name, int razemIndex, int* record = nullptr) const;
    int FindCell(int col, int row, int grid) const;
    void ShowCell(int col, int row, int grid);
    void DeleteRazem(int razemIndex);
    // Turns every generator contact named by the table back into a tied one.
    void ResetGenerators(TWorkPlace& workPlace);

    // The correspondence section of a project file: the record count, then every record.
    void WriteToStream(TStreamWriter& stream) const;
    // Appends the records of the section to the table in file order, each checked against the
    // given connectors before it is added; records whose column or row is below 1 are read and
    // dropped. On EFileError the records read before the damaged one stay.
    void ReadFromStream(TStreamReader& stream, std::span<const TRazemExtent> razems);

    // Pin code of a cell of the editor grid (X1 base 400, X2 base 272); 0 for no valid cell.
    static std::uint16_t PinCode(int grid, int col, int row);
    // "X1:a5" style text of a pin code, empty when the code is no pin of either connector.
    static QString PinName(std::uint16_t code);

  signals:
    void Changed();

  private:
    std::vector<std::unique_ptr<TSootvData>> FItems;
};
