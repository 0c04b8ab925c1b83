// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmEdit.h"

#include "TColors.h"

#include <QKeyEvent>
#include <QLineEdit>

TfmEdit::TfmEdit(int maxLength, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), edButName(new QLineEdit(this)) {
    setObjectName(QStringLiteral("fmEdit"));
    setFixedSize(ClientWidth, ClientHeight);
    QPalette pal = palette();
    pal.setColor(QPalette::Window,
                 QColor::fromRgb(QRgb(0xFF000000u | Colors::ToRgb(Colors::clBtnFace))));
    setPalette(pal);
    setAutoFillBackground(true);

    edButName->setObjectName(QStringLiteral("edButName"));
    edButName->setGeometry(1, 0, 104, 21);
    edButName->setMaxLength(std::max(1, maxLength));
    edButName->installEventFilter(this);
    edButName->setFocus();
}

bool TfmEdit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == edButName && event->type() == QEvent::KeyPress &&
        edButNameKeyDown(static_cast<QKeyEvent*>(event)->key()))
        return true;
    return QDialog::eventFilter(watched, event);
}

// Enter takes the name, Escape drops it; every other key edits the text.
bool TfmEdit::edButNameKeyDown(int key) {
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        accept();
        return true;
    case Qt::Key_Escape:
        reject();
        return true;
    default:
        return false;
    }
}
