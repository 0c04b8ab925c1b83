// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>
#include <QString>

class QAction;
class QObject;
class QWidget;

// An action of the main window: owned by owner, named for the tests and the translation, its keys
// working wherever the focus is inside window.
QAction* CreateWindowAction(QWidget& window, QObject* owner, const char* name, const QString& text,
                            const QKeySequence& keys = {});
