// SPDX-License-Identifier: GPL-3.0-or-later
#include "TAppSettings.h"

#include "AppMessageBox.h"
#include "TFormPlacement.h"

#include <QCoreApplication>
#include <QDir>

namespace {
TAppSettings* TheSettings = nullptr;
}

TAppSettings::TAppSettings(const QString& path) : FIni(path) {
    FIni.Load(); // a missing file simply gives the defaults
    TheSettings = this;
}

TAppSettings::~TAppSettings() {
    if (TheSettings == this)
        TheSettings = nullptr;
}

TAppSettings* TAppSettings::Instance() {
    return TheSettings;
}

bool TAppSettings::SaveAtEnd() {
    TFormPlacement::StoreAll(FIni);
    QString reason;
    if (FIni.Save(&reason))
        return true;
    if (!FReported) {
        FReported = true;
        AppMessageBox(
            QCoreApplication::translate("TAppSettings", "Не удалось сохранить файл настроек %1: %2")
                .arg(QDir::toNativeSeparators(FIni.FileName()), reason),
            TMsgKind::Error);
    }
    return false;
}
