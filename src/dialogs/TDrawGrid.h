// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>
#include <functional>

// An owner-drawn grid: equal cells that its owner paints through OnDrawCell. Cell rectangles
// follow the grid lines; the area outside the cells shows the grid's colour.
class TDrawGrid : public QWidget {
    Q_OBJECT
  public:
    using TDrawCell = std::function<void(QPainter& painter, int col, int row, const QRect& rect)>;

    TDrawGrid(int colCount, int rowCount, int colWidth, int rowHeight, QWidget* parent = nullptr);

    int ColCount() const { return FColCount; }
    int RowCount() const { return FRowCount; }
    void SetColCount(int count);
    void SetRowCount(int count);
    int DefaultColWidth() const { return FColWidth; }
    int DefaultRowHeight() const { return FRowHeight; }
    int GridLineWidth() const { return FLineWidth; }
    void SetGridLineWidth(int width);
    QColor Color() const { return FColor; }
    void SetColor(const QColor& color);

    QRect CellRect(int col, int row) const;
    bool MouseToCell(const QPoint& pos, int* col, int* row) const;

    TDrawCell OnDrawCell;

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void UpdateSize();

    int FColCount;
    int FRowCount;
    int FColWidth;
    int FRowHeight;
    int FLineWidth = 1;
    QColor FColor = Qt::white;
};
