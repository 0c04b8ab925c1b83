// SPDX-License-Identifier: GPL-3.0-or-later
#include "TProperty.h"

#include "AppMessageBox.h"
#include "TIniFile.h"
#include "TTesterSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString Folders = QStringLiteral("Folders");
const QString OpenKey = QStringLiteral("OpenDir");
const QString SaveKey = QStringLiteral("SaveDir");

QString WithSlash(QString folder) {
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}
} // namespace

TProperty::TProperty(TIniFile& ini, TTesterSettings& tester, QMenu* miLastFiles,
                     TLastFiles::TClickHandler lastFileClick, QObject* parent)
    : QObject(parent), FIni(ini), FTester(tester) {
    FTester.Cycle = false;
    FTester.ReadRaz = true;
    FTester.ReadZond = true;
    FLastFiles = std::make_unique<TLastFiles>(FIni, miLastFiles, std::move(lastFileClick), 5);
    const QString def = DefaultDir(QCoreApplication::applicationDirPath());
    SetOpenDir(FIni.ReadString(Folders, OpenKey, def));
    SetSaveDir(FIni.ReadString(Folders, SaveKey, def));
}

TProperty::~TProperty() {
    FIni.WriteString(Folders, OpenKey, FOpenDir);
    FIni.WriteString(Folders, SaveKey, FSaveDir);
    FLastFiles.reset();
}

bool TProperty::Cycle() const {
    return FTester.Cycle;
}
bool TProperty::ReadRaz() const {
    return FTester.ReadRaz;
}
bool TProperty::ReadZond() const {
    return FTester.ReadZond;
}

void TProperty::SetCurrentFile(const QString& path) {
    FCurrentFile = path;
    QString title = AppTitle();
    if (!path.isEmpty())
        title += QLatin1String(" - ") + path;
    const bool tester = FTesterModeQuery && FTesterModeQuery();
    title += tester ? tr(" [Тестер]") : tr(" [Редактор]");
    FTitle = title;
    emit TitleChanged(FTitle);
}

void TProperty::SetCycle(bool on) {
    if (on) {
        FTester.Cycle = true;
        emit CycleShown(true);
        if (FResumeWorker)
            FResumeWorker();
    } else {
        emit CycleShown(false);
        FTester.Cycle = false;
        if (FStopAfterPass)
            FStopAfterPass();
    }
}

void TProperty::SetReadRaz(bool on) {
    FTester.ReadRaz = on;
    if (!on && FMarkGenerators)
        FMarkGenerators();
}

void TProperty::SetReadZond(bool on) {
    FTester.ReadZond = on;
}

void TProperty::SetOpenDir(const QString& folder) {
    FOpenDir = folder;
}

void TProperty::SetSaveDir(const QString& folder) {
    FSaveDir = folder;
}

void TProperty::SetTesterModeQuery(std::function<bool()> query) {
    FTesterModeQuery = std::move(query);
}

void TProperty::SetWorkerControl(std::function<void()> resume,
                                 std::function<void()> stopAfterPass) {
    FResumeWorker = std::move(resume);
    FStopAfterPass = std::move(stopAfterPass);
}

void TProperty::SetMarkGeneratorsHook(std::function<void()> hook) {
    FMarkGenerators = std::move(hook);
}

QString TProperty::DefaultDir(const QString& appDir) {
    const QString dir = WithSlash(appDir);
    if (QFileInfo(dir + QLatin1String("Pvl")).isDir())
        return dir + QLatin1String("Pvl/");
    if (QFileInfo(appDir).isWritable())
        return dir;
    return WithSlash(QDir::homePath());
}

QString TProperty::FileFolder(const QString& path) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : path.left(slash + 1);
}
