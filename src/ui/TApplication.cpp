// SPDX-License-Identifier: GPL-3.0-or-later
#include "TApplication.h"

#include "AppHelp.h"
#include "AppMessageBox.h"
#include "TAppFont.h"
#include "TTranslation.h"

#include <QKeyEvent>
#include <QWidget>

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationName(AppTitle());
    // No display name: the platform would append it to every title ("Pinvel - file [Тестер] —
    // Pinvel"); the titles already name the program. The desktop file gives the icon.
    setDesktopFileName(QStringLiteral("pinvel"));
    // The windows are laid out for Tahoma 8; a wider type would cut their texts.
    TAppFont::Install();
    // Russian until the program entry chooses the language.
    TTranslation::Install(TLanguage::Russian);
}

TApplication::~TApplication() = default;

bool TApplication::notify(QObject* receiver, QEvent* event) {
    try {
        if (event->type() == QEvent::KeyPress && receiver->isWidgetType() &&
            static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
            QWidget* target = focusWidget() != nullptr ? focusWidget() : activeWindow();
            AppHelp(HelpContextOf(target != nullptr ? target : static_cast<QWidget*>(receiver)));
            return true;
        }
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        AppShowException(e);
    } catch (...) {
        AppMessageBox(tr("Неизвестная ошибка"), TMsgKind::Error);
    }
    return false;
}
