// SPDX-License-Identifier: GPL-3.0-or-later
#include "TConnectorCommands.h"

#include "AppMessageBox.h"
#include "CreateFormPlaced.h"
#include "TColors.h"
#include "TRazem.h"
#include "TRazemView.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"
#include "TfmConstr.h"
#include "TfmMain.h"
#include "TfmSootv.h"

#include <QColorDialog>

namespace {

// The reset contact position: no contact, red indicator, button face; the generator slot stays.
void ResetPosition(TContact& t) {
    t.State = TContactState::csEmpty;
    t.NameIndex = -1;
    t.IndColor = Colors::clRed;
    t.ButtColor = Colors::clBtnFace;
}

// Every position of the connector's present size becomes the reset contact.
void ResetPositions(TRazem& k) {
    for (int c = 0; c < k.ColCount(); ++c)
        for (int r = 0; r < k.RowCount(); r += 2)
            ResetPosition(k.FCells[std::size_t(c)][std::size_t(r)]);
}

} // namespace

void TConnectorCommands::ReadConstr(const TfmConstr& dialog, TRazem& k) {
    const int rows = dialog.RowCount();
    k.SetRowCount(2 * rows);
    std::vector<TRowInfo> infos = dialog.Rows();
    infos.resize(std::size_t(std::max(rows, 0)), TRowInfo{0, 0, 0, 0, 0, QString()});
    k.FRows = std::move(infos);
    k.CheckRows();
    k.SetRazName(dialog.RazName());
    k.SetColCount(k.ColumnsNeeded());
    k.SetButtSize(dialog.ButtSize());
}

void TConnectorCommands::acRazAddExecute() {
    if (FMain.FWorkPlace == nullptr)
        return;
    std::unique_ptr<TfmConstr> dialog = CreateFormPlaced<TfmConstr>(FMain.FWorkPlace.get(), &FMain);
    if (FMain.ExecDialog(*dialog) != QDialog::Accepted)
        return;
    auto razem = std::make_unique<TRazem>();
    ReadConstr(*dialog, *razem);
    dialog.reset();

    // A new connector shares neither its top nor its left with any other.
    for (bool moved = true; moved;) {
        moved = false;
        for (int i = 0; i < FMain.FWorkPlace->Count() && !moved; ++i) {
            const TRazem* other = FMain.FWorkPlace->Razem(i);
            if (razem->Top() == other->Top()) {
                razem->SetTop(razem->Top() + 20);
                moved = true;
            }
            if (razem->Left() == other->Left()) {
                razem->SetLeft(razem->Left() + 20);
                moved = true;
            }
        }
    }
    TRazem* k = razem.get();
    if (!FMain.FWorkPlace->Add(std::move(razem)))
        return;
    ResetPositions(*k);
    k->BuildNames();
}

void TConnectorCommands::acRazDeleteExecute() {
    if (FMain.FWorkPlace == nullptr)
        return;
    if (AppMessageBox(tr("Вы действительно хотите удалить разъем?"), TMsgKind::Question) !=
        TMsgAnswer::Yes)
        return;
    if (FMain.FWorkPlace->SelectedRazem < 0 ||
        FMain.FWorkPlace->SelectedRazem >= FMain.FWorkPlace->Count()) {
        AppMessageBox(tr("Разъем не выбран!"), TMsgKind::Information);
        return;
    }
    if (!FMain.FWorkPlace->Delete(FMain.FWorkPlace->SelectedRazem))
        AppMessageBox(tr("Не удалось удалить разъем!"), TMsgKind::Error);
    else
        FMain.FWorkPlace->Modified = true; // else closing would lose the deletion without a word
}

void TConnectorCommands::acRazEditExecute() {
    if (FMain.FWorkPlace == nullptr || FMain.FWorkPlace->SelectedRazem == -1)
        return;
    TRazem* k = FMain.FWorkPlace->Selected();
    if (k == nullptr)
        return;
    std::unique_ptr<TfmConstr> dialog = CreateFormPlaced<TfmConstr>(FMain.FWorkPlace.get(), &FMain);
    dialog->PrepareEdit(*k);
    if (FMain.ExecDialog(*dialog) != QDialog::Accepted)
        return;
    if (AppMessageBox(tr("Внимание!") + QLatin1Char('\r') +
                          tr("Применение параметров переименует контакты в соответствии с "
                             "таблицей! Продолжить?"),
                      TMsgKind::WarningQuestion) != TMsgAnswer::Yes)
        return;
    ResetPositions(*k);
    ReadConstr(*dialog, *k);
    dialog.reset();
    // Positions that never held a contact take no part either.
    for (int c = 0; c < k->ColCount(); ++c)
        for (int r = 0; r < k->RowCount(); r += 2) {
            TContact& t = k->FCells[std::size_t(c)][std::size_t(r)];
            if (t.NameIndex == 0) {
                t.State = TContactState::csEmpty;
                t.IndColor = Colors::clRed;
                t.ButtColor = Colors::clBtnFace;
            }
        }
    k->BuildNames();
    k->Repaint();
    if (FMain.FfmSootv != nullptr)
        FMain.FfmSootv->ClearGrids();
    FMain.FWorkPlace->FillSootvGrids();
}

void TConnectorCommands::acSetSootvExecute() {
    if (FMain.FfmSootv == nullptr)
        return;
    FMain.FfmSootv->show();
    FMain.FfmSootv->raise();
    FMain.FfmSootv->activateWindow();
}

void TConnectorCommands::N12Click() {
    TRazem* k = FMain.FWorkPlace != nullptr ? FMain.FWorkPlace->Selected() : nullptr;
    TRazemView* view =
        k != nullptr && FMain.FWorkPlaceView != nullptr ? FMain.FWorkPlaceView->ViewOf(k) : nullptr;
    if (view == nullptr || !TRazem::IsInside(k->FMarkCol, k->FMarkRow))
        return;
    // Either row of the contact's pair names the same contact: rename through its button row,
    // with the field at the left and bottom edges of the cell that was clicked.
    const QRect cell = view->CellRect(k->FMarkCol, k->FMarkRow);
    view->RenameContact(k->FMarkRow - (k->FMarkRow % 2) + 1, k->FMarkCol, cell.left(),
                        cell.bottom() + 1);
}

void TConnectorCommands::N13Click() {
    TRazem* k = FMain.FWorkPlace != nullptr ? FMain.FWorkPlace->Selected() : nullptr;
    if (k == nullptr || !TRazem::IsInside(k->FMarkCol, k->FMarkRow))
        return;
    const int record = k->FMarkRow - (k->FMarkRow % 2);
    TContact& t = k->FCells[std::size_t(k->FMarkCol)][std::size_t(record)];
    const QColor initial = QColor::fromRgb(Colors::ToRgb(t.ButtColor));
    std::optional<QColor> chosen;
    if (FMain.FOptions.ColorDialog) {
        chosen = FMain.FOptions.ColorDialog(initial);
    } else {
        const QColor c = QColorDialog::getColor(initial, &FMain);
        if (c.isValid())
            chosen = c;
    }
    if (!chosen || !chosen->isValid())
        return;
    t.ButtColor = Colors::FromRgb(chosen->rgb() & 0xFFFFFF);
    FMain.FWorkPlace->Modified = true; // the colour is stored in the project
    k->RedrawCell(k->FMarkCol, record + 1);
}
