// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <QPointer>

class TRazem;
class TRazemView;

// The name label of a connector: a read-only line shown above it, white or aqua (selected), and
// the handle by which the user drags the connector across the workspace.
class XEdit : public QLineEdit {
    Q_OBJECT
  public:
    static constexpr int Gap = 5; // vertical gap between label and connector
    static constexpr int LabelHeight = 20;

    XEdit(TRazem* razem, TRazemView* view, QWidget* parent);

    TRazem* FRazem;          // the connector this label names
    bool FRazemLeads = true; // true: the label follows the connector; false: the other way
    int FIndex = 0;          // copy of the connector's index in the workspace

    bool IsDragging() const { return FDragging; }

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

  private:
    void UpdateText();
    void UpdateColor();
    void EndDrag();
    QRect DragArea() const;

    QPointer<TRazemView> FView;
    bool FDragging = false;
    QPoint FGrabOffset; // where the label was taken, in label coordinates
    QPoint FDragFrom;   // the connector's place when the drag began
};
