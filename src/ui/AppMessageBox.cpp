// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppMessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMessageBox>
#include <QThread>

namespace {

TAppMessageBoxHook& Hook() {
    static TAppMessageBoxHook hook;
    return hook;
}

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(AppMessageBox)
};

// The window a box is centred on: the program's active window, else its main window. Right
// after a file dialog closes no window is active yet, and a box without an owner would stand in
// the middle of the screen.
QWidget* BoxOwner() {
    if (QWidget* active = QApplication::activeWindow();
        active != nullptr && active->isVisible() && active->windowType() != Qt::SplashScreen)
        return active;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(w) != nullptr && w->isVisible())
            return w;
    return nullptr;
}

TMsgAnswer ShowBox(const QString& text, TMsgKind kind) {
    QMessageBox::Icon icon = QMessageBox::Information;
    QMessageBox::StandardButtons buttons = QMessageBox::Ok;
    switch (kind) {
    case TMsgKind::Error:
        icon = QMessageBox::Critical;
        break;
    case TMsgKind::Warning:
        icon = QMessageBox::Warning;
        break;
    case TMsgKind::Information:
        icon = QMessageBox::Information;
        break;
    case TMsgKind::Question:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case TMsgKind::WarningQuestion:
        icon = QMessageBox::Warning;
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    case TMsgKind::QuestionCancel:
        icon = QMessageBox::Question;
        buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        break;
    case TMsgKind::PlainQuestion:
        icon = QMessageBox::NoIcon;
        buttons = QMessageBox::Yes | QMessageBox::No;
        break;
    }
    // Texts may break lines with a lone carriage return; the box wants line feeds.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));

    QMessageBox box(icon, AppTitle(), shown, buttons, BoxOwner());
    box.setTextFormat(Qt::PlainText); // paths and names are shown as typed, never as markup
    if (QAbstractButton* b = box.button(QMessageBox::Ok))
        b->setText(TTexts::tr("OK"));
    if (QAbstractButton* b = box.button(QMessageBox::Yes))
        b->setText(TTexts::tr("Да"));
    if (QAbstractButton* b = box.button(QMessageBox::No))
        b->setText(TTexts::tr("Нет"));
    if (QAbstractButton* b = box.button(QMessageBox::Cancel))
        b->setText(TTexts::tr("Отмена"));
    if (buttons & QMessageBox::Yes)
        box.setDefaultButton(QMessageBox::Yes);
    if (buttons & QMessageBox::Cancel)
        box.setEscapeButton(QMessageBox::Cancel);
    else if (buttons & QMessageBox::No)
        box.setEscapeButton(QMessageBox::No);

    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Yes:
        return TMsgAnswer::Yes;
    case QMessageBox::No:
        return TMsgAnswer::No;
    case QMessageBox::Cancel:
        return TMsgAnswer::Cancel;
    case QMessageBox::Ok:
        return TMsgAnswer::Ok;
    default:
        break;
    }
    if (buttons & QMessageBox::Cancel)
        return TMsgAnswer::Cancel;
    return (buttons & QMessageBox::No) ? TMsgAnswer::No : TMsgAnswer::Ok;
}

TMsgAnswer Answer(const QString& text, TMsgKind kind) {
    if (Hook())
        return Hook()(text, kind);
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        // No user interface to ask: say it on the console and take the cautious answer.
        qWarning("%s", qUtf8Printable(text));
        if (kind == TMsgKind::QuestionCancel)
            return TMsgAnswer::Cancel;
        return (kind == TMsgKind::Question || kind == TMsgKind::WarningQuestion ||
                kind == TMsgKind::PlainQuestion)
                   ? TMsgAnswer::No
                   : TMsgAnswer::Ok;
    }
    return ShowBox(text, kind);
}

} // namespace

QString AppTitle() {
    return QStringLiteral("Pinvel");
}

TMsgAnswer AppMessageBox(const QString& text, TMsgKind kind) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app != nullptr && QThread::currentThread() != app->thread()) {
        TMsgAnswer answer = TMsgAnswer::Ok;
        QMetaObject::invokeMethod(
            app, [&] { answer = Answer(text, kind); }, Qt::BlockingQueuedConnection);
        return answer;
    }
    return Answer(text, kind);
}

void SetAppMessageBoxHook(TAppMessageBoxHook hook) {
    Hook() = std::move(hook);
}

void AppShowException(const std::exception& e) {
    QString text = QString::fromUtf8(e.what());
    if (text.isEmpty())
        text = QCoreApplication::translate("AppMessageBox", "Неизвестная ошибка");
    AppMessageBox(text, TMsgKind::Error);
}
