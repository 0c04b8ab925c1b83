// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStringGrid.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cstdlib>

namespace {
const QColor FixedColor(0xF0, 0xF0, 0xF0); // button face

// The typed text reaches the cell at every key stroke, so the cells are always what the user
// sees, whichever button is pressed next.
class TLiveDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto* line = qobject_cast<QLineEdit*>(editor)) {
            auto* self = const_cast<TLiveDelegate*>(this);
            QObject::connect(line, &QLineEdit::textEdited, self,
                             [self, line] { emit self->commitData(line); });
        }
        return editor;
    }
};
} // namespace

TStringGrid::TStringGrid(int colCount, int rowCount, int fixedCols, int fixedRows, QWidget* parent)
    : QTableWidget(rowCount, colCount, parent), FFixedCols(fixedCols), FFixedRows(fixedRows) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(24);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setItemDelegate(new TLiveDelegate(this));
    SetDefaultColWidth(FDefaultColWidth);
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < colCount; ++c)
            PrepareItem(c, r);
}

void TStringGrid::PrepareItem(int col, int row) {
    QTableWidgetItem* it = item(row, col);
    if (it == nullptr) {
        it = new QTableWidgetItem();
        setItem(row, col, it);
    }
    if (IsFixed(col, row)) {
        // Fixed cells take no input at all; they keep a readable look though disabled.
        it->setFlags(Qt::NoItemFlags);
        it->setBackground(FixedColor);
        it->setForeground(QColor(Qt::black));
    } else {
        Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        if (FEditable)
            f |= Qt::ItemIsEditable;
        it->setFlags(f);
    }
}

QString TStringGrid::Cells(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    return it != nullptr ? it->text() : QString();
}

void TStringGrid::SetCells(int col, int row, const QString& text) {
    if (col < 0 || col >= columnCount() || row < 0 || row >= rowCount())
        return;
    PrepareItem(col, row);
    item(row, col)->setText(text);
}

void TStringGrid::SetRowCount(int count) {
    const int old = rowCount();
    count = std::max(count, 0);
    setRowCount(count);
    for (int r = old; r < count; ++r)
        for (int c = 0; c < columnCount(); ++c)
            PrepareItem(c, r);
}

void TStringGrid::SetCellsEditable(bool editable) {
    FEditable = editable;
    for (int r = 0; r < rowCount(); ++r)
        for (int c = 0; c < columnCount(); ++c)
            PrepareItem(c, r);
}

void TStringGrid::SetDefaultColWidth(int width) {
    FDefaultColWidth = width;
    horizontalHeader()->setDefaultSectionSize(width);
    horizontalHeader()->setMinimumSectionSize(1);
}

bool TStringGrid::MouseToCell(const QPoint& pos, int* col, int* row) const {
    const int r = rowAt(pos.y());
    const int c = columnAt(pos.x());
    if (col != nullptr)
        *col = c;
    if (row != nullptr)
        *row = r;
    return r >= 0 && c >= 0;
}

QRect TStringGrid::CellRect(int col, int row) const {
    return visualRect(model()->index(row, col));
}

QModelIndex TStringGrid::moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) {
    const QModelIndex cur = currentIndex();
    if ((cursorAction != MoveNext && cursorAction != MovePrevious) || !cur.isValid())
        return QTableWidget::moveCursor(cursorAction, modifiers);
    // Tab and Shift+Tab go cell by cell, row after row, passing over the fixed cells.
    const int cols = columnCount();
    const int cells = rowCount() * cols;
    const int pos = cur.row() * cols + cur.column();
    const int dir = cursorAction == MoveNext ? 1 : -1;
    for (int i = 1; i <= cells; ++i) {
        const int p = ((pos + dir * i) % cells + cells) % cells;
        if (!IsFixed(p % cols, p / cols))
            return model()->index(p / cols, p % cols);
    }
    return cur;
}

void TStringGrid::SetColSizing(bool on) {
    FColSizing = on;
    FSizingCol = -1;
    viewport()->setMouseTracking(on);
    if (!on)
        viewport()->unsetCursor();
}

int TStringGrid::SizingColumnAt(const QPoint& pos) const {
    if (!FColSizing || FFixedRows == 0)
        return -1;
    const int row = rowAt(pos.y());
    if (row < 0 || row >= FFixedRows)
        return -1;
    // The nearest edge wins where two grips meet.
    int found = -1;
    int best = SizingGrip + 1;
    for (int c = 0; c < columnCount(); ++c) {
        if (isColumnHidden(c))
            continue;
        const int edge = columnViewportPosition(c) + columnWidth(c);
        const int distance = std::abs(pos.x() - edge);
        if (distance < best) {
            best = distance;
            found = c;
        }
    }
    return found;
}

void TStringGrid::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton) {
        FSizingCol = SizingColumnAt(pos);
        if (FSizingCol >= 0) {
            // The edge keeps its distance from the mouse: it moves as far as the mouse does.
            FSizingOffset = columnViewportPosition(FSizingCol) + columnWidth(FSizingCol) - pos.x();
            event->accept();
            return;
        }
    }
    QTableWidget::mousePressEvent(event);
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (FSizingCol >= 0) {
        setColumnWidth(FSizingCol, std::max(MinSizedWidth, pos.x() + FSizingOffset -
                                                               columnViewportPosition(FSizingCol)));
        event->accept();
        return;
    }
    if (FColSizing) {
        if (event->buttons() == Qt::NoButton && SizingColumnAt(pos) >= 0)
            viewport()->setCursor(Qt::SplitHCursor);
        else
            viewport()->unsetCursor();
    }
    QTableWidget::mouseMoveEvent(event);
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (FSizingCol >= 0 && event->button() == Qt::LeftButton) {
        FSizingCol = -1;
        event->accept();
        return;
    }
    QTableWidget::mouseReleaseEvent(event);
}
