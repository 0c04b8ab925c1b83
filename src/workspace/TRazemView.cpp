// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRazemView.h"

#include "AppMessageBox.h"
#include "IWorkspaceHost.h"
#include "TAppFont.h"
#include "TColors.h"
#include "TContactMarks.h"
#include "TGenerator.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TTesterSettings.h"
#include "TWin1251.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"
#include "TfmEdit.h"
#include "XEdit.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {

QColor ToQColor(TColor c) {
    return QColor::fromRgb(QRgb(0xFF000000u | Colors::ToRgb(c)));
}

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TRazemView)
};

void Warn(const QString& text) {
    AppMessageBox(text, TMsgKind::Warning);
}

} // namespace

TRazemView::TRazemView(TRazem* razem, IWorkspaceHost* host, QWidget* parent)
    : QWidget(parent), FRazem(razem), FHost(host) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(TAppFont::PixelFont(11));
    FNameEdit = new XEdit(razem, this, parent);

    connect(razem, &TRazem::CellRedraw, this, &TRazemView::OnCellRedraw);
    connect(razem, &TRazem::Repainted, this, qOverload<>(&QWidget::update));
    connect(razem, &TRazem::GeometryChanged, this, &TRazemView::OnGeometryChanged);
    connect(razem, &TRazem::EnabledChanged, this, [this] { setEnabled(FRazem->Enabled()); });
    setEnabled(razem->Enabled());
    PlaceFromModel();
}

TRazemView::~TRazemView() {
    delete FNameEdit.data();
}

bool TRazemView::MouseToCell(QPoint pos, int& col, int& row) const {
    const int w = FRazem->DefaultColWidth();
    const int h = FRazem->DefaultRowHeight();
    const int x = pos.x() - BorderWidth;
    const int y = pos.y() - BorderWidth;
    if (x < 0 || y < 0 || w <= 0 || h <= 0)
        return false;
    col = x / w;
    row = y / h;
    return col < FRazem->ColCount() && row < FRazem->RowCount() && TRazem::IsInside(col, row);
}

QRect TRazemView::CellRect(int col, int row) const {
    const int w = FRazem->DefaultColWidth();
    const int h = FRazem->DefaultRowHeight();
    return {BorderWidth + col * w, BorderWidth + row * h, w, h};
}

QRect TRazemView::ContactRect(int col, int row) const {
    const int record = row & ~1;
    return CellRect(col, record).united(CellRect(col, record + 1));
}

void TRazemView::SetMarks(const TContactMarks* marks) {
    if (marks == FMarks)
        return;
    disconnect(FMarksChanged);
    FMarks = marks;
    if (marks != nullptr)
        FMarksChanged =
            connect(marks, &TContactMarks::Changed, this, qOverload<>(&QWidget::update));
    update();
}

QPoint TRazemView::ModelOrigin() const {
    if (auto* workSpace = qobject_cast<const TWorkPlaceView*>(parentWidget()))
        return workSpace->VisibleOrigin();
    return {};
}

void TRazemView::PlaceFromModel() {
    const QPoint origin = ModelOrigin();
    setGeometry(FRazem->Left() - origin.x(), FRazem->Top() - origin.y(), FRazem->Width(),
                FRazem->Height());
    if (FNameEdit != nullptr && FNameEdit->FRazemLeads)
        FNameEdit->move(x(), y() - FNameEdit->height() - XEdit::Gap);
    emit Placed();
}

void TRazemView::FollowLabel() {
    if (FNameEdit == nullptr)
        return;
    const QPoint origin = ModelOrigin();
    FRazem->SetBounds(FNameEdit->x() + origin.x(),
                      FNameEdit->y() + FNameEdit->height() + XEdit::Gap + origin.y());
    emit Placed();
}

void TRazemView::OnGeometryChanged() {
    PlaceFromModel();
    update();
}

void TRazemView::OnCellRedraw(int col, int row) {
    // Coalesced to the next paint: a fast tester pass must not flood the screen.
    update(CellRect(col, row));
}

bool TRazemView::IsTesterMode() const {
    const TWorkPlace* wp = FRazem->WorkPlace();
    return wp != nullptr && wp->IsTesterMode();
}

TWorkPlace* TRazemView::WorkPlace() const {
    return FRazem->WorkPlace();
}

TSootv* TRazemView::Sootv() const {
    const TWorkPlace* wp = FRazem->WorkPlace();
    return wp != nullptr ? wp->FSootv : nullptr;
}

// ---- drawing ----

void TRazemView::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.fillRect(rect(), ToQColor(Colors::clInfoBk));

    // The single-line border, two pixels, sunken as the grid's border is drawn.
    const QRect r = rect();
    const auto edge = [&](int inset, TColor topLeft, TColor bottomRight) {
        const int l = r.left() + inset, t = r.top() + inset;
        const int rr = r.right() - inset, b = r.bottom() - inset;
        p.setPen(ToQColor(topLeft));
        p.drawLine(l, b, l, t);
        p.drawLine(l, t, rr, t);
        p.setPen(ToQColor(bottomRight));
        p.drawLine(rr, t, rr, b);
        p.drawLine(rr, b, l, b);
    };
    edge(0, Colors::clBtnShadow, Colors::clWhite);
    edge(1, 0x00696969, 0x00E3E3E3);

    const int w = FRazem->DefaultColWidth();
    const int h = FRazem->DefaultRowHeight();
    if (w <= 0 || h <= 0)
        return;
    const QRect dirty = event->rect();
    const int cols = std::min(FRazem->ColCount(), TRazem::MaxCols);
    const int rows = std::min(FRazem->RowCount(), TRazem::MaxGridRows);
    p.setClipRect(QRect(BorderWidth, BorderWidth, cols * w, rows * h).intersected(dirty));
    for (int c = 0; c < cols; ++c)
        for (int row = 0; row < rows; ++row) {
            const QRect cell = CellRect(c, row);
            if (cell.intersects(dirty))
                DrawCell(p, c, row, cell);
        }
    if (FMarks != nullptr && !FMarks->Picked().isEmpty())
        DrawPicked(p);
    if (FMarks != nullptr && !FMarks->Guided().isEmpty())
        DrawGuided(p);
}

void TRazemView::DrawGuided(QPainter& p) const {
    // A blue ring over the whole contact: round where the fault and picked marks are square.
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ToQColor(Colors::clBlue), MarkWidth + 1));
    for (const TContactKey& key : FMarks->Guided())
        if (key.Razem == FRazem->FIndex && key.Col < FRazem->ColCount() &&
            key.Row < FRazem->RowCount())
            p.drawEllipse(ContactRect(key.Col, key.Row).adjusted(1, 1, -1, -1));
    p.restore();
}

void TRazemView::DrawFaultMark(QPainter& p, const QRect& button) const {
    const QColor red = ToQColor(Colors::clRed);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(red, MarkWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    // The frame lies on the button's edges; the cross joins its corners.
    const QRect frame = button.adjusted(MarkWidth, MarkWidth, -MarkWidth, -MarkWidth);
    p.drawRect(frame);
    p.setPen(QPen(red, 1));
    p.drawLine(frame.topLeft(), frame.bottomRight());
    p.drawLine(frame.bottomLeft(), frame.topRight());
    p.restore();
}

void TRazemView::DrawPicked(QPainter& p) const {
    // A navy frame around the whole contact, indicator and button, over the neighbours' edge.
    p.save();
    p.setBrush(Qt::NoBrush);
    p.setPen(
        QPen(ToQColor(Colors::clNavy), MarkWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    for (const TContactKey& key : FMarks->Picked())
        if (key.Razem == FRazem->FIndex && key.Col < FRazem->ColCount() &&
            key.Row < FRazem->RowCount())
            p.drawRect(ContactRect(key.Col, key.Row)
                           .adjusted(MarkWidth, MarkWidth, -MarkWidth, -MarkWidth));
    p.restore();
}

void TRazemView::DrawCell(QPainter& p, int col, int row, const QRect& cell) const {
    const TContact& t = FRazem->Contact(col, row);
    const TContactState state = t.State;
    if (state == TContactState::csEmpty)
        return; // the background stays

    // Cell rectangles are painted as the grid does: the outline on the first pixel row and
    // column and one short of the right and bottom edges, the brush inside.
    const auto frame = [&](const QRect& rc, TColor pen, TColor brush) {
        p.setPen(QPen(ToQColor(pen), 0));
        p.setBrush(ToQColor(brush));
        p.drawRect(QRect(rc.left(), rc.top(), rc.width() - 1, rc.height() - 1));
    };

    if (row % 2 == 0) {
        frame(cell, Colors::clInfoBk, Colors::clGradientInactiveCaption);
        const QRect ind =
            cell.adjusted(IndicatorInset, IndicatorInset, -IndicatorInset, -IndicatorInset);
        if (ind.width() > 0 && ind.height() > 0)
            frame(ind, Colors::clBlack, IsTesterMode() ? TColor(t.IndColor) : Colors::clGray);
        return;
    }

    TColor brush = t.ButtColor;
    switch (state) {
    case TContactState::csTied:
        if (t.ButtColor == Colors::clBtnFace)
            brush = Colors::clBtnShadow;
        break;
    case TContactState::csMarked:
        brush = Colors::clAqua;
        break;
    case TContactState::csGenerator:
        brush = Colors::clYellow;
        break;
    default:
        break;
    }
    frame(cell, Colors::clInfoBk, brush);

    // Corners of the shrunk rectangle, with right and bottom exclusive as the grid counts them.
    const int l = cell.left() + ButtonInset;
    const int tp = cell.top() + ButtonInset;
    const int rt = cell.left() + cell.width() - ButtonInset;
    const int b = cell.top() + cell.height() - ButtonInset;
    const bool sunken = state == TContactState::csTied;
    const QColor light = ToQColor(sunken ? Colors::clBlack : Colors::clWhite);
    const QColor dark = ToQColor(sunken ? Colors::clWhite : Colors::clBlack);
    // Each line leaves out its end point, as a line drawn from point to point on the grid does.
    p.setPen(light);
    p.drawLine(l, b, l, tp + 1);
    p.drawLine(l, tp, rt - 1, tp);
    p.setPen(dark);
    p.drawLine(rt, b, l + 1, b);
    p.drawLine(rt, tp, rt, b - 1);
    if (FMarks != nullptr && FMarks->IsFaulty(FRazem->FIndex, col, row))
        DrawFaultMark(p, cell);

    const QString name = FRazem->ContactName(col, row);
    if (name.isEmpty())
        return;
    const QFontMetrics fm(font());
    // Centred in the cell; trunc rounds toward zero, so a wide name starts left of centre.
    const int tx = l + (FRazem->DefaultColWidth() - fm.horizontalAdvance(name)) / 2;
    const int ty = tp - 1 + (FRazem->DefaultRowHeight() - fm.height()) / 2;
    p.setPen(Qt::black);
    p.drawText(tx, ty + fm.ascent(), name);
}

// ---- mouse ----

void TRazemView::mousePressEvent(QMouseEvent* event) {
    // The connector handles its buttons itself: no focus, no current cell, no cell selection.
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        LeftButtonDown(pos, event->modifiers(), event->buttons());
    else if (event->button() == Qt::RightButton)
        RightButtonDown(pos);
}

void TRazemView::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

void TRazemView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click acts as a press too, but never opens the rename
    // window: its key state is not a plain Shift + left click.
    event->accept();
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::LeftButton)
        LeftButtonDown(pos, event->modifiers(), Qt::NoButton);
    else if (event->button() == Qt::RightButton)
        RightButtonDown(pos);
}

void TRazemView::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    ContextPopup(event->pos());
}

void TRazemView::SelectRazem() {
    TWorkPlace* wp = WorkPlace();
    if (wp == nullptr) {
        FRazem->SelectLabel();
        return;
    }
    if (FRazem->FIndex != wp->SelectedRazem && FNameEdit != nullptr)
        FNameEdit->FRazemLeads = true;
    wp->Select(FRazem->FIndex);
}

// The contact that the selected connector marked for the correspondence dialog is free again.
void TRazemView::UnmarkSelected() {
    TWorkPlace* wp = WorkPlace();
    TRazem* s = wp != nullptr ? wp->Selected() : nullptr;
    if (s == nullptr || !TRazem::IsInside(s->FMarkCol, s->FMarkRow))
        return;
    TContact& marked = s->Contact(s->FMarkCol, s->FMarkRow);
    if (marked.State != TContactState::csMarked)
        return;
    marked.State = TContactState::csFree;
    s->RedrawCell(s->FMarkCol, (s->FMarkRow & ~1) + 1);
}

void TRazemView::LeftButtonDown(QPoint pos, Qt::KeyboardModifiers modifiers,
                                Qt::MouseButtons buttons) {
    UnmarkSelected();
    SelectRazem();
    int c = 0, r = 0;
    if (!MouseToCell(pos, c, r) || r % 2 == 0)
        return;
    TContact& t = FRazem->Contact(c, r);
    if (t.State == TContactState::csEmpty)
        return; // a position without a contact: nothing but the selection
    TSootv* sootv = Sootv();

    if (IsTesterMode()) {
        const QString name = FRazem->ContactName(c, r);
        if (sootv == nullptr || !sootv->FindContact(name, FRazem->FIndex))
            return;
        const TContactState s = t.State;
        if (s == TContactState::csGenerator)
            return;
        if (s == TContactState::csFree)
            t.State = TContactState::csTied;
        else if (s == TContactState::csTied)
            t.State = TContactState::csFree;
        FRazem->RedrawCell(c, r);
        if (FHost != nullptr)
            FHost->ResumeWorker();
        return;
    }

    const Qt::KeyboardModifiers keys =
        modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (keys == Qt::ShiftModifier && buttons == Qt::LeftButton)
        RenameContact(r, c, pos.x(), pos.y());

    FRazem->FMarkCol = c;
    FRazem->FMarkRow = r - 1;
    const TWorkPlace* wp = WorkPlace();
    const bool sootvShown = wp != nullptr && wp->FSootvShown;
    if (sootvShown && t.State == TContactState::csFree) {
        t.State = TContactState::csMarked;
    } else if (sootvShown && t.State == TContactState::csTied && sootv != nullptr) {
        int k = -1;
        if (sootv->FindContact(FRazem->ContactName(c, r), FRazem->FIndex, &k)) {
            const TSootvData& rec = sootv->Item(k);
            sootv->ShowCell(rec.FCol, rec.FRow, rec.FGrid);
        }
    }
    FRazem->RedrawCell(c, r);
}

void TRazemView::RightButtonDown(QPoint pos) {
    SelectRazem();
    int c = 0, r = 0;
    if (!IsTesterMode() || !MouseToCell(pos, c, r) || r % 2 == 0)
        return;
    TSootv* sootv = Sootv();
    TGenerator* g = FHost != nullptr ? FHost->Generator() : nullptr;
    TContact& t = FRazem->Contact(c, r);
    if (sootv == nullptr || g == nullptr || t.State == TContactState::csEmpty ||
        !sootv->FindContact(FRazem->ContactName(c, r), FRazem->FIndex))
        return;

    const TContactState s = t.State;
    if (s == TContactState::csFree || s == TContactState::csTied) {
        t.State = TContactState::csGenerator;
        if (!FHost->ReadRaz())
            t.IndColor = Colors::clYellow;
        t.GenIndex = g->FLines();
        g->SetLines(g->FLines() + 1);
        FHost->SetCycle(true);
    } else if (s == TContactState::csGenerator) {
        t.State = TContactState::csTied;
        t.IndColor = Colors::clRed;
        if (TWorkPlace* wp = WorkPlace())
            wp->ReleaseGeneratorSlot(t.GenIndex);
        else
            FRazem->ShiftGenIndices(t.GenIndex);
        t.GenIndex = -1;
        g->SetLines(std::max(0, g->FLines() - 1));
        if (g->FLines() == 0 && FHost->ZondWrite() != ZondWriteMode::Gen)
            FHost->SetCycle(false);
    } else {
        return;
    }
    FRazem->RedrawCell(c, r - 1);
    FRazem->RedrawCell(c, r);
}

void TRazemView::ContextPopup(QPoint pos) {
    if (TWorkPlace* wp = WorkPlace())
        wp->SelectedRazem = FRazem->FIndex;
    int c = 0, r = 0;
    if (MouseToCell(pos, c, r)) {
        FRazem->FMarkCol = c;
        FRazem->FMarkRow = r;
    }
    if (!FRazem->HasPopupMenu() || FHost == nullptr)
        return;
    if (QMenu* menu = FHost->ContactMenu())
        menu->popup(mapToGlobal(pos));
}

// ---- rename ----

void TRazemView::RenameContact(int row, int col, int x, int y) {
    const int rec = row - 1;
    if (!TRazem::IsInside(col, rec) || col >= FRazem->ColCount() || rec >= FRazem->RowCount())
        return;
    TContact& t = FRazem->Contact(col, rec);
    if (t.State == TContactState::csEmpty)
        return;

    auto fmEdit = std::make_unique<TfmEdit>(FRazem->MaxNameLength(), this);
    fmEdit->move(mapToGlobal(QPoint(x, y)));
    if (fmEdit->exec() != QDialog::Accepted) {
        FRazem->RedrawCell(col, row);
        return;
    }
    const QString text = fmEdit->edButName->text();
    fmEdit.reset();

    const qsizetype bad = TWin1251::FirstUnencodable(text);
    if (bad >= 0) {
        // A name the project file cannot hold would be saved as garbage.
        Warn(TTexts::tr("Символ «%1» в имени контакта нельзя сохранить в файле проекта. "
                        "Переименование невозможно.")
                 .arg(text.mid(bad, text.at(bad).isHighSurrogate() ? 2 : 1)));
        return;
    }
    TSootv* sootv = Sootv();
    if (FRazem->HasName(text) && sootv != nullptr && sootv->FindContact(text, FRazem->FIndex)) {
        Warn(TTexts::tr("Контакт с таким именем уже существует и задействован. "
                        "Переименование невозможно."));
        return;
    }

    const int n = t.NameIndex;
    if (n < 1 || n >= FRazem->FNameList.size()) {
        // A contact without a name gets an item of its own.
        FRazem->FNameList.append(text);
        t.NameIndex = int(FRazem->FNameList.size()) - 1;
    } else {
        const QString old = FRazem->FNameList[n];
        if (sootv != nullptr) {
            // Every item of the table that names a position sharing this name item follows,
            // so the table keeps matching what the connector shows.
            for (int k = 0; k < sootv->Count(); ++k) {
                TSootvData& item = sootv->Item(k);
                for (int i = 0; i < item.Count(); ++i) {
                    const TCellPos p = item.FContacts[std::size_t(i)];
                    if (item.FRazemIndexes[std::size_t(i)] == FRazem->FIndex &&
                        item.FNames[std::size_t(i)] == old && TRazem::IsInside(p.Col, p.Row) &&
                        FRazem->Contact(p.Col, p.Row).NameIndex == n)
                        item.FNames[std::size_t(i)] = text;
                }
            }
        }
        FRazem->FNameList[n] = text;
    }
    if (TWorkPlace* wp = WorkPlace()) {
        wp->ClearSootvGrids();
        wp->FillSootvGrids();
        wp->Modified = true; // a renamed contact is a change to save
    }
    // Every position that shares the entry shows the new name.
    FRazem->Repaint();
}
