// SPDX-License-Identifier: GPL-3.0-or-later
#include "TLastFiles.h"

#include "TIniFile.h"

#include <QAction>
#include <QMenu>
#include <algorithm>

namespace {
const QString Section = QStringLiteral("LastFiles");
const QString CountKey = QStringLiteral("FileCount");
QString FileKey(int i) {
    return QStringLiteral("File_") + QString::number(i);
}
} // namespace

TLastFiles::TLastFiles(TIniFile& ini, QMenu* menuItem, TClickHandler onClick, int maxCount)
    : FIni(ini), FMenuItem(menuItem), FOnClick(std::move(onClick)),
      FMaxCount(std::max(1, maxCount)) {
    LoadFromIni();
}

TLastFiles::~TLastFiles() {
    SaveToIni();
}

QMenu* TLastFiles::MenuItem() const {
    return FMenuItem.data();
}

void TLastFiles::LoadFromIni() {
    FFiles.clear();
    // A count that is not a number or is negative reads as an empty list.
    const int count = std::clamp(FIni.ReadInteger(Section, CountKey, 0), 0, MaxReadCount);
    for (int i = 0; i < count; ++i)
        FFiles.append(FIni.ReadString(Section, FileKey(i), QString()));
    RebuildMenu();
}

void TLastFiles::SaveToIni() const {
    FIni.WriteInteger(Section, CountKey, static_cast<int>(FFiles.size()));
    for (int i = 0; i < FFiles.size(); ++i)
        FIni.WriteString(Section, FileKey(i), FFiles[i]);
}

void TLastFiles::AddFile(const QString& path) {
    const qsizetype found = FFiles.indexOf(path); // exact: letter case counts
    if (found >= 0)
        FFiles.move(found, 0);
    else {
        if (FFiles.size() >= FMaxCount && !FFiles.isEmpty())
            FFiles.removeLast(); // the list keeps its length, even above the capacity
        FFiles.prepend(path);
    }
    RebuildMenu();
}

void TLastFiles::RebuildMenu() {
    if (FMenuItem.isNull())
        return;
    // The click that opened a project rebuilds the menu from inside the entry's own signal, so
    // the old entries are released once that signal has returned.
    const QList<QAction*> old = FMenuItem->actions();
    for (QAction* a : old) {
        FMenuItem->removeAction(a);
        if (a->parent() == FMenuItem)
            a->deleteLater();
    }
    for (const QString& path : std::as_const(FFiles)) {
        QString text = path;
        text.replace(QLatin1Char('&'), QLatin1String("&&")); // no hot-key markers
        text.replace(QLatin1Char('\t'), QLatin1Char(' '));   // a tab would start a shortcut text
        auto* entry = new QAction(text, FMenuItem);
        entry->setData(path);
        QObject::connect(entry, &QAction::triggered, FMenuItem, [handler = FOnClick, entry] {
            if (handler)
                handler(entry->data().toString());
        });
        FMenuItem->addAction(entry);
    }
    FMenuItem->menuAction()->setEnabled(!FFiles.isEmpty());
}
