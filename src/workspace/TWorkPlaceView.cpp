// SPDX-License-Identifier: GPL-3.0-or-later
#include "TWorkPlaceView.h"

#include "TContactMarks.h"
#include "TRazem.h"
#include "TRazemView.h"
#include "TWorkPlace.h"
#include "XEdit.h"

#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>

TWorkPlaceView::TWorkPlaceView(TWorkPlace* workPlace, IWorkspaceHost* host, QScrollArea* scrollBox)
    : QWidget(nullptr), FWorkPlace(workPlace), FHost(host), FScrollBox(scrollBox) {
    setObjectName(QStringLiteral("WorkSpaceContent"));
    if (scrollBox != nullptr) {
        scrollBox->setWidgetResizable(false);
        scrollBox->setWidget(this); // deletes the previous content widget
        FViewport = scrollBox->viewport();
        FViewport->installEventFilter(this);
        resize(scrollBox->viewport()->size());
    }
    if (workPlace != nullptr) {
        connect(workPlace, &TWorkPlace::RazemAdded, this, &TWorkPlaceView::AddView);
        connect(workPlace, &TWorkPlace::RazemRemoving, this, &TWorkPlaceView::RemoveView);
        for (int i = 0; i < workPlace->Count(); ++i)
            AddView(workPlace->Razem(i));
    }
    UpdateExtent();
}

TWorkPlaceView::~TWorkPlaceView() {
    if (FViewport != nullptr)
        FViewport->removeEventFilter(this);
    FUpdating = true; // the children go; nothing to lay out any more
    for (TRazemView* v : FViews)
        delete v;
    FViews.clear();
}

TWorkPlace* TWorkPlaceView::WorkPlace() const {
    return FWorkPlace.data();
}

QPoint TWorkPlaceView::VisibleOrigin() const {
    return isWindow() ? QPoint() : pos();
}

TRazemView* TWorkPlaceView::ViewOf(const TRazem* razem) const {
    for (TRazemView* v : FViews)
        if (v->Razem() == razem)
            return v;
    return nullptr;
}

TRazemView* TWorkPlaceView::ViewAt(int index) const {
    return FWorkPlace != nullptr ? ViewOf(FWorkPlace->Razem(index)) : nullptr;
}

void TWorkPlaceView::AddView(TRazem* razem) {
    if (razem == nullptr || ViewOf(razem) != nullptr)
        return;
    auto* view = new TRazemView(razem, FHost, this);
    view->SetMarks(FMarks);
    FViews.push_back(view);
    connect(view, &TRazemView::Placed, this, &TWorkPlaceView::UpdateExtent);
    view->show();
    if (view->NameEdit() != nullptr)
        view->NameEdit()->show();
    UpdateExtent();
}

void TWorkPlaceView::RemoveView(TRazem* razem) {
    const auto it = std::find_if(FViews.begin(), FViews.end(),
                                 [razem](const TRazemView* v) { return v->Razem() == razem; });
    if (it == FViews.end())
        return;
    TRazemView* view = *it;
    FViews.erase(it);
    delete view; // with its label
    UpdateExtent();
}

void TWorkPlaceView::SetMarks(const TContactMarks* marks) {
    FMarks = marks;
    for (TRazemView* v : FViews)
        v->SetMarks(marks);
}

bool TWorkPlaceView::ShowContact(int razem, int col, int row) {
    TRazemView* view = ViewAt(razem);
    if (view == nullptr || col < 0 || row < 0 || col >= view->Razem()->ColCount() ||
        row >= view->Razem()->RowCount())
        return false;
    if (FScrollBox == nullptr)
        return true;
    const QRect r = view->ContactRect(col, row).translated(view->pos());
    // A margin of half a contact shows its neighbours as well.
    FScrollBox->ensureVisible(r.center().x(), r.center().y(), r.width(), r.height());
    return true;
}

void TWorkPlaceView::Refresh() {
    for (TRazemView* v : FViews) {
        v->PlaceFromModel();
        v->update();
    }
    UpdateExtent();
}

// Scrolling moves this widget inside the viewport; the connectors stay where they are in the
// content, so their places relative to the visible area change.
void TWorkPlaceView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (!FShifting)
        SyncModelsToPlaces();
}

void TWorkPlaceView::SyncModelsToPlaces() {
    const QPoint origin = VisibleOrigin();
    for (TRazemView* v : FViews)
        v->Razem()->SetBounds(v->x() + origin.x(), v->y() + origin.y());
}

bool TWorkPlaceView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == FViewport && event->type() == QEvent::Resize)
        UpdateExtent();
    return QWidget::eventFilter(watched, event);
}

void TWorkPlaceView::UpdateExtent() {
    if (FUpdating)
        return;
    FUpdating = true;
    QRect bound;
    for (const TRazemView* v : FViews) {
        bound |= v->geometry();
        if (const XEdit* label = v->NameEdit())
            bound |= label->geometry();
    }
    const QWidget* viewport = FScrollBox != nullptr ? FScrollBox->viewport() : nullptr;
    const QSize view = viewport != nullptr ? viewport->size() : QSize();
    QPoint scroll = -VisibleOrigin();
    if (viewport == nullptr)
        scroll = {};

    // Something lies before the content's start: extend the content there and scroll by the
    // same amount, so the screen and the stored places stay as they are.
    const int sx = viewport != nullptr && bound.isValid() && bound.left() < 0 ? -bound.left() : 0;
    const int sy = viewport != nullptr && bound.isValid() && bound.top() < 0 ? -bound.top() : 0;
    scroll += QPoint(sx, sy);
    const int w = std::max(
        {bound.isValid() ? bound.right() + 1 + sx : 0, scroll.x() + view.width(), view.width()});
    const int h = std::max(
        {bound.isValid() ? bound.bottom() + 1 + sy : 0, scroll.y() + view.height(), view.height()});
    if (size() != QSize(w, h))
        resize(w, h);

    if (sx != 0 || sy != 0) {
        FShifting = true;
        QScrollBar* hbar = FScrollBox->horizontalScrollBar();
        QScrollBar* vbar = FScrollBox->verticalScrollBar();
        // The scroll box may take the new size only later (hidden); give the bars the range now.
        hbar->setRange(0, std::max(hbar->maximum(), w - view.width()));
        vbar->setRange(0, std::max(vbar->maximum(), h - view.height()));
        hbar->setValue(scroll.x());
        vbar->setValue(scroll.y());
        FShifting = false;
        for (TRazemView* v : FViews)
            v->PlaceFromModel();
    }
    FUpdating = false;
}
