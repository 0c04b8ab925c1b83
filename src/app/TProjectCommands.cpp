// SPDX-License-Identifier: GPL-3.0-or-later
#include "TProjectCommands.h"

#include "AppMessageBox.h"
#include "TCheckController.h"
#include "TProperty.h"
#include "TSootv.h"
#include "TUSBHardWork.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"
#include "TfmMain.h"
#include "TfmSootv.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QThread>

namespace {

// The file name typed without an extension gets ".pvl", as the save dialog does.
QString WithDefaultSuffix(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1String(".pvl");
}

} // namespace

TProjectCommands::TSaveAnswer TProjectCommands::QuerySaveChanges(bool /*checkMode*/) {
    // Unsaved changes are never dropped without a question, in either mode.
    if (FMain.FWorkPlace == nullptr || FMain.FWorkPlace->Count() == 0 ||
        !FMain.FWorkPlace->Modified)
        return TSaveAnswer::GoOn;
    switch (AppMessageBox(tr("Сохранить изменения в текущем файле?"), TMsgKind::QuestionCancel)) {
    case TMsgAnswer::Yes:
        // Cancelling the save dialog keeps the project: the command stops.
        return acSaveExecute() ? TSaveAnswer::Yes : TSaveAnswer::Cancel;
    case TMsgAnswer::No:
        return TSaveAnswer::No;
    default:
        return TSaveAnswer::Cancel;
    }
}

QString TProjectCommands::ChooseFile(bool save, const QString& startDir) {
    if (FMain.FOptions.FileDialog)
        return save ? WithDefaultSuffix(FMain.FOptions.FileDialog(true, startDir))
                    : FMain.FOptions.FileDialog(false, startDir);
    QFileDialog dialog(&FMain);
    dialog.setObjectName(save ? QStringLiteral("dlgSave") : QStringLiteral("dlgOpen"));
    dialog.setDirectory(startDir);
    dialog.setNameFilter(tr("Файлы Pinvel (*.pvl)"));
    dialog.setDefaultSuffix(QStringLiteral("pvl"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return save ? WithDefaultSuffix(dialog.selectedFiles().constFirst())
                : dialog.selectedFiles().constFirst();
}

bool TProjectCommands::NewProject() {
    if (FMain.FCheck != nullptr)
        FMain.FCheck->ProjectReplaced();
    // No pass may run while the workspace and the table are replaced.
    if (!FMain.WorkerToRest())
        return false;
    if (FMain.FHard != nullptr && !FMain.FHard->SetModel(nullptr, nullptr))
        return false;
    if (FMain.FfmSootv != nullptr)
        FMain.FfmSootv->SetProject(nullptr, nullptr);
    FMain.FWorkPlace.reset();
    FMain.FWorkPlace = std::make_unique<TWorkPlace>();
    // The question about the old project's changes has been answered: a project just created or
    // read has none.
    FMain.FWorkPlace->Modified = false;
    FMain.FWorkPlaceView = new TWorkPlaceView(FMain.FWorkPlace.get(), &FMain, FMain.sbWorkSpace);
    FMain.FSootv = FMain.FfmSootv != nullptr ? std::make_unique<TSootv>(FMain.FfmSootv->GridX1(),
                                                                        FMain.FfmSootv->GridX2())
                                             : std::make_unique<TSootv>();
    FMain.FWorkPlace->FSootv = FMain.FSootv.get();
    if (FMain.FfmSootv != nullptr) {
        FMain.FfmSootv->SetProject(FMain.FWorkPlace.get(), FMain.FSootv.get());
        FMain.FfmSootv->ClearGrids();
    }
    if (FMain.FHard != nullptr)
        FMain.FHard->SetModel(FMain.FWorkPlace.get(), FMain.FSootv.get());
    return true;
}

void TProjectCommands::ReadProject(const QString& path) {
    try {
        FMain.FWorkPlace->LoadFromFile(path);
    } catch (...) {
        // What was read stays, and the correspondence dialog shows it; the error goes on to
        // the report.
        FMain.FWorkPlace->ClearSootvGrids();
        FMain.FWorkPlace->FillSootvGrids();
        throw;
    }
}

void TProjectCommands::acNewExecute() {
    if (FMain.IsTesterMode())
        return;
    if (QuerySaveChanges(false) == TSaveAnswer::Cancel)
        return;
    if (!NewProject())
        return;
    SetCurrentFile(QString());
    FMain.acRazAddExecute();
}

void TProjectCommands::acLoadExecute() {
    if (QuerySaveChanges(true) == TSaveAnswer::Cancel)
        return;
    const bool tester = FMain.IsTesterMode();
    if (!NewProject())
        return;
    FMain.FWorkPlace->SetTesterMode(tester);
    SetCurrentFile(QString());
    if (tester) {
        FMain.acChangeModeExecute();
        QThread::msleep(100);
    }
    const QString path = ChooseFile(false, FMain.FProperty->OpenDir());
    if (path.isEmpty())
        return;
    ReadProject(path);
    SetCurrentFile(path);
    if (tester) {
        QThread::msleep(100);
        FMain.acChangeModeExecute();
    }
    FMain.FProperty->SetOpenDir(TProperty::FileFolder(path));
    FMain.FProperty->LastFiles().AddFile(path);
}

bool TProjectCommands::acSaveExecute() {
    QString path = FMain.FProperty->CurrentFile();
    if (path.isEmpty()) {
        path = ChooseFile(true, FMain.FProperty->SaveDir());
        if (path.isEmpty())
            return false;
    }
    FMain.FWorkPlace->SaveToFile(path);
    SetCurrentFile(path);
    FMain.FProperty->SetSaveDir(TProperty::FileFolder(path));
    FMain.FProperty->LastFiles().AddFile(path);
    return true;
}

bool TProjectCommands::acSaveAsExecute() {
    const QString path = ChooseFile(true, FMain.FProperty->SaveDir());
    if (path.isEmpty())
        return false;
    FMain.FWorkPlace->SaveToFile(path);
    SetCurrentFile(path);
    FMain.FProperty->SetSaveDir(TProperty::FileFolder(path));
    FMain.FProperty->LastFiles().AddFile(path);
    return true;
}

void TProjectCommands::LastFileClick(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        AppMessageBox(tr("Указанный файл не найден! Проверьте правильность пути!"),
                      TMsgKind::Warning);
        return;
    }
    if (QuerySaveChanges(true) == TSaveAnswer::Cancel)
        return;
    const bool tester = FMain.IsTesterMode();
    if (!NewProject())
        return;
    FMain.FWorkPlace->SetTesterMode(tester);
    SetCurrentFile(QString());
    if (tester)
        FMain.acChangeModeExecute();
    ReadProject(path);
    SetCurrentFile(path);
    if (tester)
        FMain.acChangeModeExecute();
    FMain.FProperty->SetOpenDir(TProperty::FileFolder(path));
    FMain.FProperty->LastFiles().AddFile(path);
}

void TProjectCommands::SetCurrentFile(const QString& path) {
    if (FMain.FProperty != nullptr)
        FMain.FProperty->SetCurrentFile(path);
}
