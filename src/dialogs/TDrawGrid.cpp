// SPDX-License-Identifier: GPL-3.0-or-later
#include "TDrawGrid.h"

#include <QPainter>
#include <algorithm>

namespace {
constexpr int Border = 2; // the single-line border around the cells
} // namespace

TDrawGrid::TDrawGrid(int colCount, int rowCount, int colWidth, int rowHeight, QWidget* parent)
    : QWidget(parent), FColCount(std::max(colCount, 0)), FRowCount(std::max(rowCount, 0)),
      FColWidth(colWidth), FRowHeight(rowHeight) {
    UpdateSize();
}

void TDrawGrid::SetColCount(int count) {
    FColCount = std::max(count, 0);
    UpdateSize();
}

void TDrawGrid::SetRowCount(int count) {
    FRowCount = std::max(count, 0);
    UpdateSize();
}

void TDrawGrid::SetGridLineWidth(int width) {
    FLineWidth = std::max(width, 0);
    UpdateSize();
}

void TDrawGrid::SetColor(const QColor& color) {
    FColor = color;
    update();
}

QSize TDrawGrid::sizeHint() const {
    return {FColCount * (FColWidth + FLineWidth) + 2 * Border,
            FRowCount * (FRowHeight + FLineWidth) + 2 * Border};
}

void TDrawGrid::UpdateSize() {
    setFixedSize(sizeHint());
    update();
}

QRect TDrawGrid::CellRect(int col, int row) const {
    if (col < 0 || col >= FColCount || row < 0 || row >= FRowCount)
        return {};
    return {Border + col * (FColWidth + FLineWidth), Border + row * (FRowHeight + FLineWidth),
            FColWidth, FRowHeight};
}

bool TDrawGrid::MouseToCell(const QPoint& pos, int* col, int* row) const {
    const int x = pos.x() - Border;
    const int y = pos.y() - Border;
    const int c = x >= 0 ? x / (FColWidth + FLineWidth) : -1;
    const int r = y >= 0 ? y / (FRowHeight + FLineWidth) : -1;
    const bool inside = c >= 0 && c < FColCount && r >= 0 && r < FRowCount;
    if (col != nullptr)
        *col = inside ? c : -1;
    if (row != nullptr)
        *row = inside ? r : -1;
    return inside;
}

void TDrawGrid::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), FColor);
    p.setPen(QColor(0xA0, 0xA0, 0xA0));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (!OnDrawCell)
        return;
    for (int c = 0; c < FColCount; ++c)
        for (int r = 0; r < FRowCount; ++r) {
            const QRect cell = CellRect(c, r);
            p.save();
            p.setClipRect(cell);
            OnDrawCell(p, c, r, cell);
            p.restore();
        }
}
