// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

class TfmMain;

// The main window's project commands: new, open, save, save as, the recent files and the
// question about unsaved changes. The workspace, the table and the settings stay the window's;
// the commands replace, read and write them.
class TProjectCommands {
    Q_DECLARE_TR_FUNCTIONS(TfmMain)
  public:
    enum class TSaveAnswer { GoOn, Yes, No, Cancel };

    explicit TProjectCommands(TfmMain& main) : FMain(main) {}

    TSaveAnswer QuerySaveChanges(bool checkMode);
    void acNewExecute();
    void acLoadExecute();
    // Answers whether the project was written (false: the save dialog was cancelled).
    bool acSaveExecute();
    bool acSaveAsExecute();
    void LastFileClick(const QString& path);
    void SetCurrentFile(const QString& path);

  private:
    // A new, empty and unchanged workspace and table in place of the current ones; false (and a
    // message) when the worker could not be brought to rest, and nothing changed.
    bool NewProject();
    // The workspace's LoadFromFile; a failed read still shows in the correspondence grids what
    // was read.
    void ReadProject(const QString& path);
    // A file dialog (open or save) started in a folder; empty for Cancel.
    QString ChooseFile(bool save, const QString& startDir);

    TfmMain& FMain;
};
