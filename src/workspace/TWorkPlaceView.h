// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

class IWorkspaceHost;
class QScrollArea;
class TContactMarks;
class TRazem;
class TRazemView;
class TWorkPlace;

// The content widget of the scroll box sbWorkSpace: shows a connector widget with its label for
// every connector of a TWorkPlace and grows to hold them all.
//
// The models' Left/Top are relative to the visible area (as project files store them), so
// scrolling rewrites them while the widgets stay put in the content. A connector stored at a
// negative place (a project saved while scrolled) would lie before the content's start; the
// content is then extended to the left or top and scrolled by the same amount, so nothing moves
// on screen, the stored places stay as they were, and the connector can be scrolled to.
class TWorkPlaceView : public QWidget {
    Q_OBJECT
  public:
    // Becomes the content widget of `scrollBox` (which deletes the content widget it held, so a
    // new view for a new workspace replaces the old one). Shows the connectors the workspace
    // already holds and every one added later. `host` may be null.
    TWorkPlaceView(TWorkPlace* workPlace, IWorkspaceHost* host, QScrollArea* scrollBox);
    ~TWorkPlaceView() override;

    TWorkPlace* WorkPlace() const;
    // The widget of a connector, or null.
    TRazemView* ViewOf(const TRazem* razem) const;
    TRazemView* ViewAt(int index) const;
    int ViewCount() const { return int(FViews.size()); }

    // The visible area's top-left corner in the content is minus this point.
    QPoint VisibleOrigin() const;
    // Places every connector from its model again and repaints it.
    void Refresh();
    // Grows the content to hold every connector and label, shifting it when one lies before
    // the start.
    void UpdateExtent();

    // The marks of a harness check, drawn by every connector shown now and later (null: none).
    void SetMarks(const TContactMarks* marks);
    // Scrolls the workspace so that the contact (connector index, column, either row) is in
    // sight; false when there is no such contact.
    bool ShowContact(int razem, int col, int row);

  protected:
    void moveEvent(QMoveEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AddView(TRazem* razem);
    void RemoveView(TRazem* razem);
    void SyncModelsToPlaces();

    QPointer<TWorkPlace> FWorkPlace;
    IWorkspaceHost* FHost;
    QPointer<QScrollArea> FScrollBox;
    // The scroll box's viewport, watched for its size. Kept apart because the scroll box may
    // already be half destroyed when its viewport's last events arrive.
    QPointer<QWidget> FViewport;
    std::vector<TRazemView*> FViews; // children of this widget, in the workspace's order
    QPointer<const TContactMarks> FMarks;
    bool FUpdating = false;
    bool FShifting = false;
};
