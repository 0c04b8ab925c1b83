// SPDX-License-Identifier: GPL-3.0-or-later
#include "XEdit.h"

#include "TColors.h"
#include "TRazem.h"
#include "TRazemView.h"
#include "TWorkPlace.h"

#include <QMouseEvent>

XEdit::XEdit(TRazem* razem, TRazemView* view, QWidget* parent)
    : QLineEdit(parent), FRazem(razem), FIndex(razem->FIndex), FView(view) {
    setReadOnly(true);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    // After setReadOnly, which sets a cursor of its own.
    setCursor(Qt::PointingHandCursor);
    setFixedHeight(LabelHeight);
    setAutoFillBackground(true);
    UpdateText();
    UpdateColor();
    connect(razem, &TRazem::NameChanged, this, &XEdit::UpdateText);
    connect(razem, &TRazem::LabelSelectionChanged, this, &XEdit::UpdateColor);
    connect(razem, &TRazem::IndexChanged, this, [this] { FIndex = FRazem->FIndex; });
}

void XEdit::UpdateText() {
    setText(FRazem->FRazName);
    setCursorPosition(0);
    const int textWidth = fontMetrics().horizontalAdvance(FRazem->FRazName);
    setFixedWidth(std::max(60, textWidth + 16));
}

void XEdit::UpdateColor() {
    const TColor c = FRazem->LabelSelected() ? Colors::clAqua : Colors::clWhite;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, QColor::fromRgb(QRgb(0xFF000000u | Colors::ToRgb(c))));
    pal.setColor(QPalette::Text, Qt::black);
    setPalette(pal);
}

// The part of the workspace the label may be dragged over: the visible area.
QRect XEdit::DragArea() const {
    const QWidget* content = parentWidget();
    if (content == nullptr)
        return {};
    const QWidget* viewport = content->parentWidget();
    if (content->isWindow() || viewport == nullptr)
        return content->rect();
    return QRect(-content->pos(), viewport->size());
}

void XEdit::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    // The connector follows the label until the drag ends.
    FRazemLeads = false;
    FDragging = true;
    FGrabOffset = event->position().toPoint();
    FDragFrom = QPoint(FRazem->Left(), FRazem->Top());
    // The dragged pair passes over the other connectors.
    if (FView != nullptr)
        FView->raise();
    raise();
}

void XEdit::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    if (!FDragging)
        return;
    QPoint p = mapToParent(event->position().toPoint()) - FGrabOffset;
    const QRect area = DragArea();
    if (area.isValid()) {
        p.setX(std::clamp(p.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
        p.setY(std::clamp(p.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
    }
    move(p);
}

void XEdit::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && FDragging)
        EndDrag();
}

void XEdit::mouseDoubleClickEvent(QMouseEvent* event) {
    // No word selection: a double click is one more press on the handle.
    mousePressEvent(event);
}

void XEdit::EndDrag() {
    FDragging = false;
    // The connector leads again once the drag is over, so a later move of the connector (a
    // command, a project read) always takes its label along.
    FRazemLeads = true;
    if (TWorkPlace* wp = FRazem->WorkPlace()) {
        // A connector moved is a change to the project: closing must offer to save it.
        if (QPoint(FRazem->Left(), FRazem->Top()) != FDragFrom)
            wp->Modified = true;
        wp->Select(FIndex);
    } else
        FRazem->SelectLabel();
}

void XEdit::moveEvent(QMoveEvent* event) {
    QLineEdit::moveEvent(event);
    if (!FRazemLeads && FView != nullptr)
        FView->FollowLabel();
}
