// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableWidget>

// A string grid: a table whose first rows and columns are fixed header cells (grey, never
// selected, never edited, skipped by Tab) and whose other cells hold plain texts. Cells are
// addressed (column, row) with the headers at row 0 and column 0, as the dialogs count them.
class TStringGrid : public QTableWidget {
    Q_OBJECT
  public:
    TStringGrid(int colCount, int rowCount, int fixedCols, int fixedRows,
                QWidget* parent = nullptr);

    int FixedCols() const { return FFixedCols; }
    int FixedRows() const { return FFixedRows; }
    bool IsFixed(int col, int row) const { return col < FFixedCols || row < FFixedRows; }

    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString& text);
    // Grows or shrinks the grid; the cells of rows that stay keep their texts.
    void SetRowCount(int count);
    // Whether the user types into the non-fixed cells.
    void SetCellsEditable(bool editable);
    void SetDefaultColWidth(int width);
    int DefaultColWidth() const { return FDefaultColWidth; }
    // The cell under a point of the viewport; false when the point is outside every cell.
    bool MouseToCell(const QPoint& pos, int* col, int* row) const;
    QRect CellRect(int col, int row) const;

    // Whether the user sizes the columns by dragging a column's right edge in the fixed rows.
    void SetColSizing(bool on);
    bool ColSizing() const { return FColSizing; }
    // The column whose right edge a point of the viewport grabs, -1 for none.
    int SizingColumnAt(const QPoint& pos) const;
    static constexpr int SizingGrip = 3;    // pixels on either side of the edge
    static constexpr int MinSizedWidth = 8; // the narrowest a user makes a column

  protected:
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void PrepareItem(int col, int row);

    int FFixedCols;
    int FFixedRows;
    int FDefaultColWidth = 64;
    bool FEditable = false;
    bool FColSizing = false;
    int FSizingCol = -1;   // the column being sized while the button is held
    int FSizingOffset = 0; // from the mouse to the column's edge when it was taken
};
