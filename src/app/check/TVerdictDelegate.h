// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// The journal's verdict as a coloured chip with its word in white: ГОДЕН green, БРАК red. The
// chip keeps its own colours on a selected row, so the verdict reads as well on the selection's
// colour as off it (a word merely coloured red vanishes on a blue selection).
class TVerdictDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    static QColor ChipColour(bool good);
    static QColor WordColour() { return Qt::white; }

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
