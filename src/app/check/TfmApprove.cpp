// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmApprove.h"

#include "AppHelp.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmApprove::TfmApprove(const QString& project, const QString& referenceSum,
                       const QString& supervisor, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("fmApprove"));
    setWindowTitle(tr("Утвердить эталон"));
    SetHelpContext(this, HelpContext::Check);
    auto* layout = new QVBoxLayout(this);
    lbReference = new QLabel(tr("Эталон проекта %1").arg(QFileInfo(project).fileName()) +
                                 QStringLiteral("\nSHA-256: ") + referenceSum,
                             this);
    lbReference->setObjectName(QStringLiteral("lbReference"));
    lbReference->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(lbReference);
    auto* form = new QFormLayout();
    edSupervisor = new QLineEdit(supervisor.trimmed(), this);
    edSupervisor->setObjectName(QStringLiteral("edSupervisor"));
    edSupervisor->setMinimumWidth(240);
    edPin = new QLineEdit(this);
    edPin->setObjectName(QStringLiteral("edPin"));
    // Nothing of the PIN on the screen, and nothing for the clipboard to take.
    edPin->setEchoMode(QLineEdit::Password);
    edPin->setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhHiddenText | Qt::ImhNoPredictiveText);
    form->addRow(tr("Мастер:"), edSupervisor);
    form->addRow(tr("PIN:"), edPin);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Утвердить"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmApprove::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfmApprove::reject);
    layout->addWidget(buttons);
    (supervisor.trimmed().isEmpty() ? edSupervisor : edPin)->setFocus();
}

QString TfmApprove::Supervisor() const {
    return edSupervisor->text().trimmed();
}

QString TfmApprove::Pin() const {
    return edPin->text();
}

void TfmApprove::accept() {
    for (QLineEdit* edit : {edSupervisor, edPin})
        if (edit->text().trimmed().isEmpty()) {
            edit->setFocus();
            return;
        }
    QDialog::accept();
}
