// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmSootv.h"

#include "AppHelp.h"
#include "AppMessageBox.h"
#include "TFormPlacement.h"
#include "TPinGrid.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TStringGrid.h"
#include "TWorkPlace.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

TfmSootv::TfmSootv(QWidget* parent)
    : QDialog(parent), lbX1(new QLabel(tr("Разъем X1"), this)),
      sgX1(new TStringGrid(TPinGrid::Cols, TPinGrid::Rows, 1, 1, this)),
      lbX2(new QLabel(tr("Разъем X2"), this)),
      sgX2(new TStringGrid(TPinGrid::Cols, TPinGrid::Rows, 1, 1, this)),
      btOK(new QPushButton(tr("OK"), this)), btCancel(new QPushButton(tr("Отмена"), this)),
      FPinX1(std::make_unique<TPinGrid>()), FPinX2(std::make_unique<TPinGrid>()) {
    setObjectName(QStringLiteral("fmSootv"));
    setWindowTitle(tr("Соответствия"));
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setModal(false);
    SetHelpContext(this, HelpContext::Sootv);
    new TFormPlacement(this);

    QFont big = lbX1->font();
    big.setPointSize(std::max(big.pointSize(), 9) + 4);
    big.setUnderline(true);
    lbX1->setFont(big);
    lbX2->setFont(big);

    sgX1->setObjectName(QStringLiteral("sgX1"));
    sgX2->setObjectName(QStringLiteral("sgX2"));
    const int scrollBar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (TStringGrid* g : {sgX1, sgX2}) {
        g->SetDefaultColWidth(DefaultColWidth);
        // The user widens or narrows a column by its edge in the header row; a change of the
        // column's texts fits it to them again.
        g->SetColSizing(true);
        g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        g->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
        g->setFixedHeight(TPinGrid::Rows * g->rowHeight(0) + 2 * g->frameWidth() + scrollBar + 2);
        g->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    BindGrid(sgX1, FPinX1.get(), 1);
    BindGrid(sgX2, FPinX2.get(), 2);

    btOK->setDefault(true);
    btOK->setAutoDefault(false);
    btCancel->setAutoDefault(false);
    connect(btOK, &QPushButton::clicked, this, [this] {
        if (FWorkPlace != nullptr)
            FWorkPlace->Modified = true;
        accept();
    });
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbX1);
    layout->addWidget(sgX1);
    layout->addWidget(lbX2);
    layout->addWidget(sgX2);
    layout->addStretch();
    layout->addLayout(buttons);

    setMinimumWidth(300);
    setFixedHeight(FixedHeight);
    resize(800, FixedHeight);
    FSettingUp = false;
}

TfmSootv::~TfmSootv() {
    // The views go before the texts they show; they stop reporting to this window first, since
    // a view being destroyed is no longer a grid.
    for (TStringGrid* g : {sgX1, sgX2}) {
        g->viewport()->removeEventFilter(this);
        g->removeEventFilter(this);
    }
    delete sgX1;
    delete sgX2;
    sgX1 = sgX2 = nullptr;
}

TPinGrid* TfmSootv::PinGrid(int tag) const {
    return tag == 1 ? FPinX1.get() : tag == 2 ? FPinX2.get() : nullptr;
}

TStringGrid* TfmSootv::View(int tag) const {
    return tag == 1 ? sgX1 : tag == 2 ? sgX2 : nullptr;
}

void TfmSootv::WriteHeaders(TStringGrid* view) {
    for (int c = 1; c < TPinGrid::Cols; ++c)
        view->SetCells(c, 0, QString::number(c));
    view->SetCells(0, 1, QStringLiteral("c"));
    view->SetCells(0, 2, QStringLiteral("b"));
    view->SetCells(0, 3, QStringLiteral("a"));
}

void TfmSootv::FitColumn(TStringGrid* view, int col) {
    // A column grows to show its longest pin text whole: the text, the cell's own margins on
    // both sides (the style's), and 5 pixels of air.
    const int margins =
        2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
    int width = view->DefaultColWidth() + 5;
    for (int r = 1; r < TPinGrid::Rows; ++r)
        width = std::max(width,
                         view->fontMetrics().horizontalAdvance(view->Cells(col, r)) + margins + 5);
    view->setColumnWidth(col, width);
}

void TfmSootv::BindGrid(TStringGrid* view, TPinGrid* pins, int tag) {
    view->setProperty("Tag", tag);
    WriteHeaders(view);
    for (int c = 0; c < TPinGrid::Cols; ++c)
        FitColumn(view, c);
    view->setCurrentCell(1, 1);
    view->viewport()->installEventFilter(this);
    view->installEventFilter(this);

    connect(pins, &TPinGrid::CellChanged, view, [this, view, pins](int col, int row) {
        view->SetCells(col, row, pins->Cell(col, row));
        FitColumn(view, col);
    });
    connect(pins, &TPinGrid::Cleared, view, [this, view, pins] {
        WriteHeaders(view);
        for (int c = 1; c < TPinGrid::Cols; ++c)
            for (int r = 1; r < TPinGrid::Rows; ++r)
                view->SetCells(c, r, pins->Cell(c, r));
        for (int c = 0; c < TPinGrid::Cols; ++c)
            FitColumn(view, c);
    });
    connect(pins, &TPinGrid::CurrentCellChanged, view,
            [view](int col, int row) { view->setCurrentCell(row, col); });
    connect(pins, &TPinGrid::FocusRequested, view,
            [view] { view->setFocus(Qt::OtherFocusReason); });
    connect(view, &QTableWidget::currentCellChanged, this,
            [this, pins, tag](int row, int col, int, int) {
                if (FSettingUp || !TPinGrid::IsCell(col, row))
                    return;
                SelectCell(tag, col, row);
                pins->SetCurrentCell(col, row);
            });
}

void TfmSootv::SelectCell(int tag, int col, int row) {
    FLastGrid = tag;
    FLastCol = col;
    FLastRow = row;
}

void TfmSootv::SetProject(TWorkPlace* workPlace, TSootv* sootv) {
    FWorkPlace = workPlace;
    FSootv = sootv;
    if (FWorkPlace != nullptr && isVisible())
        FWorkPlace->FSootvShown = true;
}

void TfmSootv::ClearGrids() {
    FPinX1->Clear();
    FPinX2->Clear();
}

void TfmSootv::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (FWorkPlace != nullptr)
        FWorkPlace->FSootvShown = true;
}

void TfmSootv::done(int result) {
    if (FWorkPlace != nullptr) {
        FWorkPlace->FSootvShown = false;
        // A contact marked for tying and left alone is free again.
        if (TRazem* k = FWorkPlace->Selected();
            k != nullptr && TRazem::IsInside(k->FMarkCol, k->FMarkRow)) {
            TContact& t = k->Contact(k->FMarkCol, k->FMarkRow);
            if (t.State == TContactState::csMarked) {
                t.State = TContactState::csFree;
                k->RedrawCell(k->FMarkCol, (k->FMarkRow & ~1) + 1);
            }
        }
    }
    QDialog::done(result);
}

bool TfmSootv::eventFilter(QObject* watched, QEvent* event) {
    for (TStringGrid* g : {sgX1, sgX2}) {
        if (g == nullptr)
            continue;
        const int tag = g == sgX1 ? 1 : 2;
        if (watched == g->viewport() && event->type() == QEvent::MouseButtonPress) {
            auto* me = static_cast<QMouseEvent*>(event);
            // A press on a column's edge in the header row sizes the column: no pin is meant.
            if (me->button() == Qt::LeftButton && g->SizingColumnAt(me->position().toPoint()) >= 0)
                return false;
            int col = -1;
            int row = -1;
            if (!g->MouseToCell(me->position().toPoint(), &col, &row)) {
                GridMouseDown(tag, me->button(), me->position().toPoint());
                return true;
            }
            GridMouseDown(tag, me->button(), me->position().toPoint());
            return false;
        }
        if (watched == g && event->type() == QEvent::KeyPress) {
            if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
                if (FLastGrid != 0)
                    UntiePin(FLastGrid, FLastCol, FLastRow);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfmSootv::GridMouseDown(int tag, Qt::MouseButton button, const QPoint& pos) {
    TStringGrid* g = View(tag);
    if (g == nullptr)
        return;
    int col = -1;
    int row = -1;
    if (!g->MouseToCell(pos, &col, &row)) {
        AppMessageBox(tr("Ошибка выделения ячейки! Попробуйте стнова!"), TMsgKind::Warning);
        return;
    }
    if (g->IsFixed(col, row))
        return;
    SelectCell(tag, col, row);
    if (row == 1 && col == 32) {
        AppMessageBox(tr("Данный вывод нельзя задействовать!"), TMsgKind::Warning);
        return;
    }
    if (button == Qt::LeftButton)
        TieContact(tag, col, row);
    else
        UntiePin(tag, col, row);
}

void TfmSootv::TieContact(int tag, int col, int row) {
    TPinGrid* pins = PinGrid(tag);
    if (pins == nullptr || !TPinGrid::IsCell(col, row) || (row == 1 && col == 32) ||
        FWorkPlace == nullptr || FSootv == nullptr)
        return;
    TRazem* k = FWorkPlace->Selected();
    if (k == nullptr)
        return;
    // The entry names the contact's record row, whichever of its two grid rows was clicked.
    const int markCol = k->FMarkCol;
    const int markRow = k->FMarkRow & ~1;
    if (!TRazem::IsInside(markCol, markRow))
        return;
    TContact& t = k->FCells[markCol][markRow];
    const int nameIndex = t.NameIndex;
    if (t.State == TContactState::csEmpty || nameIndex < 1 || nameIndex >= k->FNameList.size())
        return;
    const QString name = k->FNameList[nameIndex];
    if (FSootv->FindContact(name, k->FIndex))
        return;
    int count = 0;
    k->HasName(name, &count);
    if (count > 1) {
        AppMessageBox(tr("Выбранный разъем имеет несколько контактов с именем ") + name +
                          tr(". Данный контакт невозможно задействовать."),
                      TMsgKind::Warning);
        return;
    }
    const QString tied = k->FRazName + QStringLiteral(":") + name;
    const int record = FSootv->FindCell(col, row, tag);
    if (record < 0) {
        auto d = std::make_unique<TSootvData>();
        d->AddName(name);
        d->AddContact({markCol, markRow}, k->FIndex);
        d->FCol = col;
        d->FRow = row;
        d->FGrid = std::uint8_t(tag);
        d->FPin = TSootv::PinCode(tag, col, row);
        FSootv->Add(std::move(d));
        pins->SetCell(col, row, tied);
    } else {
        TSootvData& d = FSootv->Item(record);
        d.AddName(name);
        d.AddContact({markCol, markRow}, k->FIndex);
        pins->SetCell(col, row, pins->Cell(col, row) + QStringLiteral(" | ") + tied);
    }
    t.State = TContactState::csTied;
    // A tie belongs to the project whichever button closes the dialog.
    FWorkPlace->Modified = true;
    k->RedrawCell(markCol, markRow + 1);
}

void TfmSootv::UntiePin(int tag, int col, int row) {
    TPinGrid* pins = PinGrid(tag);
    if (pins == nullptr || pins->Cell(col, row).isEmpty() || FSootv == nullptr)
        return;
    const int record = FSootv->FindCell(col, row, tag);
    if (record < 0)
        return;
    const TSootvData& d = FSootv->Item(record);
    for (int i = 0; i < d.Count(); ++i) {
        TRazem* k =
            FWorkPlace != nullptr ? FWorkPlace->Razem(d.FRazemIndexes[std::size_t(i)]) : nullptr;
        const TCellPos pos = d.FContacts[std::size_t(i)];
        if (k == nullptr || !TRazem::IsInside(pos.Col, pos.Row))
            continue;
        k->Contact(pos.Col, pos.Row).State = TContactState::csFree;
        k->RedrawCell(pos.Col, (pos.Row & ~1) + 1);
    }
    FSootv->Delete(record);
    pins->SetCell(col, row, QString());
    if (FWorkPlace != nullptr)
        FWorkPlace->Modified = true;
}
