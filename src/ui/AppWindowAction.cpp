// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppWindowAction.h"

#include <QAction>
#include <QWidget>

QAction* CreateWindowAction(QWidget& window, QObject* owner, const char* name, const QString& text,
                            const QKeySequence& keys) {
    auto* a = new QAction(text, owner);
    a->setObjectName(QString::fromLatin1(name));
    if (!keys.isEmpty()) {
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
    }
    window.addAction(a); // the keys work while the window is active
    return a;
}
