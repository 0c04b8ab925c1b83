// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QMenu;
class TIniFile;

// The list of recently opened projects, most recent first. It is read from the settings file
// when created, written back when destroyed, and mirrored in the submenu "Последние открытые".
// Each entry of the submenu shows the full path and carries it in QAction::data(), so a click
// hands the handler the path itself, whatever the menu shows.
class TLastFiles {
  public:
    using TClickHandler = std::function<void(const QString& path)>;

    // A FileCount above this is read as this many entries: no hand-edited settings file can make
    // the program build a submenu of millions of entries.
    static constexpr int MaxReadCount = 100;

    // menuItem: the submenu miLastFiles (not owned; it may be null). maxCount: the capacity,
    // at least 1.
    TLastFiles(TIniFile& ini, QMenu* menuItem, TClickHandler onClick, int maxCount = 5);
    ~TLastFiles(); // SaveToIni
    TLastFiles(const TLastFiles&) = delete;
    TLastFiles& operator=(const TLastFiles&) = delete;

    void AddFile(const QString& path);
    void LoadFromIni();
    void SaveToIni() const;
    void RebuildMenu();

    const QStringList& Files() const { return FFiles; }
    int MaxCount() const { return FMaxCount; }
    QMenu* MenuItem() const;

  private:
    TIniFile& FIni;
    QPointer<QMenu> FMenuItem;
    TClickHandler FOnClick;
    QStringList FFiles;
    int FMaxCount;
};
