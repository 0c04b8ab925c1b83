// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TContact.h"

#include <QDialog>
#include <vector>

class TDrawGrid;
class TWorkPlace;

// A preview of a connector's contacts in the view settings' style. The opener gives the contact
// records, laid out by column; the program creates the window hidden at start.
class TfmExample : public QDialog {
    Q_OBJECT
  public:
    using TColumns = std::vector<std::vector<TContact>>;

    explicit TfmExample(QWidget* parent = nullptr);

    // The records to show, column by column; the grid takes as many cells as they need.
    void SetContacts(const TColumns& columns);
    const TColumns& Contacts() const { return FColumns; }
    // The level colours show while this workspace is in the tester mode.
    void SetWorkPlace(TWorkPlace* workPlace);

    // The record a preview cell shows: index row div 2 + row mod 2 of its column.
    static int RecordIndex(int row) { return row / 2 + row % 2; }

    TDrawGrid* dgExample;

  private:
    void DrawCell(QPainter& p, int col, int row, const QRect& rect) const;

    TColumns FColumns;
    TWorkPlace* FWorkPlace = nullptr;
};
