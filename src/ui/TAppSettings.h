// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TIniFile.h"

#include <QString>

// The program's one settings file. The program entry creates this object before the main window
// and keeps it until after the main window is gone; everything else reaches it through
// TAppSettings::Instance() (the window placements) or is handed Ini() (the settings object).
// The file is read once, when this object is created, and written once, by SaveAtEnd; all
// changes in between stay in memory.
class TAppSettings {
  public:
    explicit TAppSettings(const QString& path = TIniFile::ProgramSettingsPath());
    ~TAppSettings();
    TAppSettings(const TAppSettings&) = delete;
    TAppSettings& operator=(const TAppSettings&) = delete;

    // The living object, or nullptr when there is none (then nothing is remembered).
    static TAppSettings* Instance();

    TIniFile& Ini() { return FIni; }
    const QString& FileName() const { return FIni.FileName(); }

    // Stores the placement of every placed window still on screen, then writes the file. When
    // the file cannot be written, says so once (an error box with the path and the reason) and
    // answers false; the program's other data is not affected.
    bool SaveAtEnd();

  private:
    TIniFile FIni;
    bool FReported = false;
};
