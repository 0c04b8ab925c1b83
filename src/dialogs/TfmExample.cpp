// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmExample.h"

#include "TColors.h"
#include "TDrawGrid.h"
#include "TWorkPlace.h"
#include "TfmVidPropery.h"

#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>

TfmExample::TfmExample(QWidget* parent)
    : QDialog(parent), dgExample(new TDrawGrid(0, 0, 42, 22, this)) {
    setObjectName(QStringLiteral("fmExample"));
    setWindowTitle(tr("Вид разъема"));
    dgExample->SetColor(QColor::fromRgb(QRgb(Colors::ToRgb(Colors::clInfoBk))));
    dgExample->OnDrawCell = [this](QPainter& p, int col, int row, const QRect& rect) {
        DrawCell(p, col, row, rect);
    };
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dgExample);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmExample::SetContacts(const TColumns& columns) {
    FColumns = columns;
    std::size_t records = 0;
    for (const auto& c : FColumns)
        records = std::max(records, c.size());
    dgExample->SetColCount(int(FColumns.size()));
    // Rows 0..2k show records 0..k.
    dgExample->SetRowCount(records > 0 ? int(2 * records - 1) : 0);
}

void TfmExample::SetWorkPlace(TWorkPlace* workPlace) {
    FWorkPlace = workPlace;
    dgExample->update();
}

void TfmExample::DrawCell(QPainter& p, int col, int row, const QRect& rect) const {
    if (col < 0 || std::size_t(col) >= FColumns.size())
        return;
    const auto& column = FColumns[std::size_t(col)];
    const int index = RecordIndex(row);
    if (std::size_t(index) >= column.size())
        return;
    const TContact& t = column[std::size_t(index)];
    if (t.State == TContactState::csEmpty)
        return;
    if (row % 2 == 1) {
        TfmVidPropery::DrawButton(p, rect, 2);
        return;
    }
    const bool tester = FWorkPlace != nullptr && FWorkPlace->IsTesterMode();
    const QColor lamp =
        tester ? QColor::fromRgb(QRgb(Colors::ToRgb(t.IndColor.load()))) : QColor(128, 128, 128);
    TfmVidPropery::DrawIndicator(p, rect, 6, lamp);
}
