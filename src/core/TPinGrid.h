// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>
#include <array>

// The texts of one pin grid of the correspondence dialog: 32 positions in three rows (row 1 is
// pin row c, row 2 b, row 3 a), cells counted from 1; row 0 and column 0 are the headers. The
// dialog's table shows this data and follows its signals.
class TPinGrid : public QObject {
    Q_OBJECT
  public:
    static constexpr int Cols = 33; // header column and positions 1..32
    static constexpr int Rows = 4;  // header row and pin rows c, b, a

    explicit TPinGrid(QObject* parent = nullptr);

    static bool IsCell(int col, int row) {
        return col >= 1 && col < Cols && row >= 1 && row < Rows;
    }

    QString Cell(int col, int row) const;
    // Writes one pin cell; cells outside the grid are ignored.
    void SetCell(int col, int row, const QString& text);
    // Empties every pin cell; the headers stay.
    void Clear();

    int CurrentCol() const { return FCurrentCol; }
    int CurrentRow() const { return FCurrentRow; }
    void SetCurrentCell(int col, int row);
    // Asks the view to give this grid the input focus.
    void RequestFocus() { emit FocusRequested(); }

  signals:
    void CellChanged(int col, int row);
    void Cleared();
    void CurrentCellChanged(int col, int row);
    void FocusRequested();

  private:
    std::array<std::array<QString, Rows>, Cols> FCells;
    int FCurrentCol = 1;
    int FCurrentRow = 1;
};
