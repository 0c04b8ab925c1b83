// SPDX-License-Identifier: GPL-3.0-or-later
#include "TVerdictDelegate.h"

#include "TJournalModel.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

namespace {
constexpr int Pad = 6; // the word's room inside the chip, left and right
}

QColor TVerdictDelegate::ChipColour(bool good) {
    // Dark enough for white to read on them (contrast above 4.5:1).
    return good ? QColor(0, 110, 0) : QColor(180, 0, 0);
}

void TVerdictDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QStyleOptionViewItem opt = option;
    initStyleOption(&opt, index);
    const QString word = opt.text;
    opt.text.clear();
    // The row's own background and selection first, as every other cell has it.
    const QStyle* style = opt.widget != nullptr ? opt.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, opt.widget);
    if (word.isEmpty())
        return;

    QFont font = opt.font;
    font.setBold(true);
    const QFontMetrics metrics(font);
    const QRect cell = opt.rect.adjusted(2, 2, -2, -2);
    const int width = qMin(cell.width(), metrics.horizontalAdvance(word) + 2 * Pad);
    const QRect chip(cell.left(), cell.top(), width, cell.height());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(ChipColour(index.data(TJournalModel::GoodRole).toBool()));
    painter->drawRoundedRect(chip, 3, 3);
    painter->setFont(font);
    painter->setPen(WordColour());
    painter->drawText(chip, Qt::AlignCenter, word);
    painter->restore();
}

QSize TVerdictDelegate::sizeHint(const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    QFont font = option.font;
    font.setBold(true);
    const int chip = QFontMetrics(font).horizontalAdvance(index.data().toString()) + 2 * Pad + 4;
    return size.expandedTo(QSize(chip, 0));
}
