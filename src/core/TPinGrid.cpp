// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPinGrid.h"

TPinGrid::TPinGrid(QObject* parent) : QObject(parent) {}

QString TPinGrid::Cell(int col, int row) const {
    return col >= 0 && col < Cols && row >= 0 && row < Rows ? FCells[col][row] : QString();
}

void TPinGrid::SetCell(int col, int row, const QString& text) {
    if (!IsCell(col, row) || FCells[col][row] == text)
        return;
    FCells[col][row] = text;
    emit CellChanged(col, row);
}

void TPinGrid::Clear() {
    for (int c = 1; c < Cols; ++c)
        for (int r = 1; r < Rows; ++r)
            FCells[c][r].clear();
    emit Cleared();
}

void TPinGrid::SetCurrentCell(int col, int row) {
    if (!IsCell(col, row))
        return;
    FCurrentCol = col;
    FCurrentRow = row;
    emit CurrentCellChanged(col, row);
}
