// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TLastFiles.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QMenu;
class TIniFile;
struct TTesterSettings;

// The settings object: the open project's path and the window title built from it, the tester's
// run-time settings (the cycle and the two read options, held in the TTesterSettings shared with
// the worker), the remembered folders of the open and save dialogs and the recent-files list.
// The folders and the list come from the settings file when the object is created and go back
// into it when the object is destroyed.
//
// What it needs of the main window and the worker is wired after creation:
// - SetTesterModeQuery: whether the program is in Tester mode (for the title's suffix);
// - SetWorkerControl: resume the worker, and set its FStopAfterPass;
// - SetMarkGeneratorsHook: the walk over every connector for SetReadRaz(false);
// - the signals TitleChanged (the main window's caption) and CycleShown (the look of plCicle).
// Unwired hooks do nothing, so the object works alone in tests and tools.
class TProperty : public QObject {
    Q_OBJECT
  public:
    TProperty(TIniFile& ini, TTesterSettings& tester, QMenu* miLastFiles,
              TLastFiles::TClickHandler lastFileClick, QObject* parent = nullptr);
    // Writes the folders, then frees the list (which writes itself).
    ~TProperty() override;

    const QString& CurrentFile() const { return FCurrentFile; }
    bool Cycle() const;
    bool ReadRaz() const;
    bool ReadZond() const;
    const QString& OpenDir() const { return FOpenDir; }
    const QString& SaveDir() const { return FSaveDir; }
    TLastFiles& LastFiles() { return *FLastFiles; }
    int IndFrameWidth() const { return FIndFrameWidth; }
    // The window title last built by SetCurrentFile.
    const QString& Title() const { return FTitle; }

    // CurrentFile := path, and the window title is rebuilt ("Pinvel - path [Тестер]").
    void SetCurrentFile(const QString& path);
    // On: Cycle on, plCicle lowered, the worker resumed. Off: plCicle raised, Cycle off, the
    // worker's FStopAfterPass set. May be called from the worker's thread: the worker control
    // runs there at once, the look of plCicle follows on the user-interface thread.
    void SetCycle(bool on);
    // ReadRaz := on; when off, every generator contact of every connector turns yellow
    // (the mark-generators hook) because its level is no longer read.
    void SetReadRaz(bool on);
    // A plain setting, no side effects.
    void SetReadZond(bool on);
    void SetOpenDir(const QString& folder);
    void SetSaveDir(const QString& folder);

    void SetTesterModeQuery(std::function<bool()> query);
    void SetWorkerControl(std::function<void()> resume, std::function<void()> stopAfterPass);
    // The hook must, for every connector, every column c below ColCount and every contact row k
    // below RowCount / 2, set IndColor of FCells[c][2k] to IndYellow when its State is
    // csGenerator, then repaint the connector.
    void SetMarkGeneratorsHook(std::function<void()> hook);

    // The colour of a generator contact whose level is not read (0x00BBGGRR).
    static constexpr quint32 IndYellow = 0x0000FFFF;

    // The folder in which the dialogs start when the settings file names none: "Pvl/" beside
    // the executable when it exists, else the executable's folder, else (when that folder is
    // not writable) the user's home folder; always with a trailing "/".
    static QString DefaultDir(const QString& appDir);
    // The folder of a file: its path up to and including the last "/".
    static QString FileFolder(const QString& path);

  signals:
    void TitleChanged(const QString& title);
    // The look of plCicle: lowered bevel when on, raised when off.
    void CycleShown(bool on);

  private:
    TIniFile& FIni;
    TTesterSettings& FTester;
    QString FCurrentFile;
    QString FOpenDir;
    QString FSaveDir;
    std::unique_ptr<TLastFiles> FLastFiles;
    int FIndFrameWidth = 0;
    QString FTitle;
    std::function<bool()> FTesterModeQuery;
    std::function<void()> FResumeWorker;
    std::function<void()> FStopAfterPass;
    std::function<void()> FMarkGenerators;
};
