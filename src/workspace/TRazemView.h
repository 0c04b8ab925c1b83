// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>

#include "XEdit.h"

class IWorkspaceHost;
class QPainter;
class TContactMarks;
class TRazem;
class TSootv;
class TWorkPlace;

// The widget of one connector: paints the cells of its TRazem and turns mouse clicks into the
// connector's actions (selection, marking, switching contacts, generator slots, rename). The
// model stays the truth; the widget follows its signals. Left/Top of the model are relative to
// the visible area of the workspace, so the widget's place is the model's place minus the
// workspace's visible origin.
class TRazemView : public QWidget {
    Q_OBJECT
  public:
    static constexpr int BorderWidth = 2; // single-line border; Width = cols x col width + 4
    static constexpr int IndicatorInset = 6;
    static constexpr int ButtonInset = 2;

    // Creates the widget and its name label on `parent` (the workspace's content widget).
    // `host` may be null: then no generator, cycle, worker or popup menu is reached.
    TRazemView(TRazem* razem, IWorkspaceHost* host, QWidget* parent);
    ~TRazemView() override;

    TRazem* Razem() const { return FRazem; }
    XEdit* NameEdit() const { return FNameEdit; }

    // The cell under a point in widget coordinates; false outside the cells.
    bool MouseToCell(QPoint pos, int& col, int& row) const;
    // The rectangle of a cell in widget coordinates.
    QRect CellRect(int col, int row) const;

    // Asks for a new name of the contact whose button row is `row` in column `col`; the rename
    // window opens at (x, y) of this widget. Does nothing on a position without a contact.
    void RenameContact(int row, int col, int x, int y);
    // The context-menu request at a point of this widget: selection, the contact under the
    // pointer becomes the marked one, then the contact menu when the connector has one.
    void ContextPopup(QPoint pos);

    // Puts the widget where the model says (and the label above it while the label follows).
    void PlaceFromModel();
    // The connector follows its label: it goes 5 pixels below it, at the same left edge.
    void FollowLabel();
    // The workspace's visible origin in this widget's parent: model = widget place + origin.
    QPoint ModelOrigin() const;

    // The marks of a harness check drawn over the contacts (null: none); the widget repaints
    // when they change.
    void SetMarks(const TContactMarks* marks);
    // The rectangle of a whole contact (indicator and button) in widget coordinates.
    QRect ContactRect(int col, int row) const;
    // The line width of the fault mark and of the frame around a picked contact.
    static constexpr int MarkWidth = 2;

  signals:
    // The widget or its label moved or changed size.
    void Placed();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void DrawCell(QPainter& painter, int col, int row, const QRect& rect) const;
    // A red frame and cross on the button of a contact in a fault: a shape, so that it shows
    // apart from the indicator colours to every eye.
    void DrawFaultMark(QPainter& painter, const QRect& button) const;
    void DrawPicked(QPainter& painter) const;
    void DrawGuided(QPainter& painter) const;
    void OnCellRedraw(int col, int row);
    void OnGeometryChanged();
    void LeftButtonDown(QPoint pos, Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons);
    void RightButtonDown(QPoint pos);
    void SelectRazem();
    void UnmarkSelected();
    bool IsTesterMode() const;
    TWorkPlace* WorkPlace() const;
    TSootv* Sootv() const;

    TRazem* FRazem;
    IWorkspaceHost* FHost;
    QPointer<XEdit> FNameEdit; // owned; the parent may already have deleted it
    QPointer<const TContactMarks> FMarks;
    QMetaObject::Connection FMarksChanged;
};
