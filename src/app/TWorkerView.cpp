// SPDX-License-Identifier: GPL-3.0-or-later
#include "TWorkerView.h"

#include "AppMessageBox.h"
#include "TAppSettings.h"
#include "TColors.h"
#include "TProperty.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TUSBHardWork.h"
#include "TWorkPlace.h"
#include "TfmMain.h"
#include "WorkWithCOM.h"

#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>

void TWorkerView::N15Click() {
    if (FMain.FWorkPlace == nullptr)
        return;
    if (FMain.FHard == nullptr) {
        CreateWorker();
        FMain.FHard->SetModel(FMain.FWorkPlace.get(), FMain.FSootv.get());
    }
    // The worker re-opens the unit only in the tester mode; a check started in the editor mode
    // returns to it once the worker has reported (SetModeControls).
    FMain.FCheckFromEditor = !FMain.plMenuTester->isVisibleTo(&FMain);
    FMain.FWorkPlace->SetTesterMode(true);
    WorkerFillPins();
    WorkerMustRepair();
    WorkerResume();
}

void TWorkerView::N16Click() {
    if (AppMessageBox(tr("Вы действительно хотите перезагрузить блок диагностики?"),
                      TMsgKind::Question) != TMsgAnswer::Yes)
        return;
    if (FMain.FHard != nullptr)
        FMain.FHard->RebootUnit();
}

void TWorkerView::CreateWorker() {
    TDeviceSettings device = ReadDeviceSettings(FMain.FAppSettings->Ini());
    FMain.FDeviceProblems = device.Problems;
    if (FMain.FOptions.DeviceLink)
        device.Link = *FMain.FOptions.DeviceLink;
    if (FMain.FOptions.DeviceHarness)
        device.Harness = *FMain.FOptions.DeviceHarness;
    if (FMain.FOptions.DeviceReplyTimeoutMs)
        device.ReplyTimeoutMs = *FMain.FOptions.DeviceReplyTimeoutMs;
    const QStringList folders = FMain.FOptions.LibraryFolders;
    auto factory = [device, folders]() -> std::shared_ptr<IComPort> {
        QString error;
        TComPortHandle port = folders.isEmpty() ? ComCreator(device.Config(), &error)
                                                : ComCreator(device.Config(), folders, &error);
        // The box the user sees is the general one; the exact reason (a wrong link in the
        // settings file, a harness that does not read) goes to the program's log.
        if (!port && !error.isEmpty())
            qWarning("pinvel: %s", qUtf8Printable(error));
        return std::shared_ptr<IComPort>(std::move(port));
    };
    FMain.FHard =
        std::make_unique<TUSBHardWork>(FMain.FTester, static_cast<IHardView&>(FMain), factory);
    FMain.FHard->SetAppInfo(AppTitle().toUtf8(), 0);
    if (FMain.FWorkPlace != nullptr && FMain.FSootv != nullptr)
        FMain.FHard->SetModel(FMain.FWorkPlace.get(), FMain.FSootv.get());
}

void TWorkerView::WorkerResume() {
    if (FMain.FHard != nullptr)
        FMain.FHard->Resume();
}

bool TWorkerView::WorkerToRest() {
    if (FMain.FHard == nullptr || FMain.FHard->BringToRest())
        return true;
    // From inside one of the worker's own calls (the recovery leaves the tester mode) the worker
    // stands still until that call returns.
    if (FMain.FHard->InViewCall())
        return true;
    AppMessageBox(tr("Блок диагностики не отвечает, и тестер не удалось остановить. Повторите "
                     "команду."),
                  TMsgKind::Warning);
    return false;
}

void TWorkerView::WorkerFillPins() {
    if (FMain.FHard != nullptr)
        FMain.FHard->FillPins();
}

void TWorkerView::WorkerStopAfterPass() {
    if (FMain.FHard != nullptr)
        FMain.FHard->FStopAfterPass = true;
}

void TWorkerView::WorkerMustRepair() {
    if (FMain.FHard != nullptr)
        FMain.FHard->FMustRepair = true;
}

bool TWorkerView::WorkerAutonomous() const {
    return FMain.FHard != nullptr && FMain.FHard->FAutonomous;
}

int TWorkerView::GeneratorLines() const {
    return FMain.FHard != nullptr ? FMain.FHard->FGenerator.FLines() : 0;
}

void TWorkerView::GeneratorReset() {
    if (FMain.FHard != nullptr)
        FMain.FHard->FGenerator.SetLines(0);
}

void TWorkerView::RepaintContacts(const std::vector<TPaintItem>& items) {
    if (FMain.FWorkPlace == nullptr)
        return;
    for (const TPaintItem& item : items)
        if (TRazem* r = FMain.FWorkPlace->Razem(item.FRazemIndex);
            r != nullptr && TRazem::IsInside(item.FPaintCol, item.FPaintRow))
            r->RedrawCell(item.FPaintCol, item.FPaintRow);
}

void TWorkerView::ShowZondState(TColor zondIn, TColor zondOut) {
    FMain.SetLampColor(FMain.plZondIn_Ind, QColor::fromRgb(Colors::ToRgb(zondIn)));
    FMain.SetLampColor(FMain.plZondOut_Ind, QColor::fromRgb(Colors::ToRgb(zondOut)));
}

bool TWorkerView::ShowMessage(const QString& text, THardMessage kind) {
    TMsgKind box = TMsgKind::Information;
    switch (kind) {
    case THardMessage::Information:
        box = TMsgKind::Information;
        break;
    case THardMessage::Warning:
        box = TMsgKind::Warning;
        break;
    case THardMessage::Stop:
        box = TMsgKind::Error;
        break;
    case THardMessage::WarningQuestion:
        box = TMsgKind::WarningQuestion;
        break;
    case THardMessage::PlainQuestion:
        box = TMsgKind::PlainQuestion;
        break;
    }
    const TMsgAnswer answer = AppMessageBox(text, box);
    return answer == TMsgAnswer::Yes || answer == TMsgAnswer::Ok;
}

void TWorkerView::RestoreReads() {
    FMain.cbReadRaz->setChecked(true);
    if (FMain.FProperty != nullptr)
        FMain.FProperty->SetReadRaz(true);
    FMain.cbReadZond->setChecked(true);
    if (FMain.FProperty != nullptr)
        FMain.FProperty->SetReadZond(true);
}

void TWorkerView::ShowAutonomous(bool on) {
    if (FMain.FWorkPlace != nullptr)
        FMain.FWorkPlace->SetRazemsEnabled(!on);
    FMain.rgZondWrite->setEnabled(!on);
}

void TWorkerView::StopCycle() {
    if (FMain.FProperty != nullptr)
        FMain.FProperty->SetCycle(false);
}

void TWorkerView::SetModeControls(bool changeMode, bool editorItem, bool testerItem) {
    if (FMain.FCheckFromEditor) {
        FMain.FCheckFromEditor = false;
        if (FMain.IsTesterMode() && FMain.FWorkPlace != nullptr)
            FMain.FWorkPlace->SetTesterMode(false); // the panels never left the editor mode
        editorItem = false;
        testerItem = true;
    }
    FMain.N7->setProperty("modeEnabled", editorItem);
    FMain.N8->setProperty("modeEnabled", testerItem);
    FMain.acChangeMode->setEnabled(changeMode);
    FMain.UpdateModeItems();
}

void TWorkerView::LeaveTesterMode() {
    if (FMain.IsTesterMode())
        FMain.acChangeModeExecute();
}
