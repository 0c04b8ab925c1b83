// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmSerialPrompt.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfmSerialPrompt::TfmSerialPrompt(const QString& serial, const QString& oper, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("fmSerialPrompt"));
    setWindowTitle(tr("Проверка жгута"));
    auto* layout = new QVBoxLayout(this);
    auto* hint = new QLabel(tr("Отсканируйте или введите серийный номер жгута."), this);
    layout->addWidget(hint);
    auto* form = new QFormLayout();
    edSerial = new QLineEdit(serial.trimmed(), this);
    edSerial->setObjectName(QStringLiteral("edSerial"));
    edSerial->setMinimumWidth(260);
    edOperator = new QLineEdit(oper.trimmed(), this);
    edOperator->setObjectName(QStringLiteral("edOperator"));
    form->addRow(tr("Серийный номер:"), edSerial);
    form->addRow(tr("Оператор:"), edOperator);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(tr("Проверить"));
    buttons->button(QDialogButtonBox::Cancel)->setText(tr("Отмена"));
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &TfmSerialPrompt::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TfmSerialPrompt::reject);
    layout->addWidget(buttons);
    edSerial->selectAll();
    edSerial->setFocus();
}

QString TfmSerialPrompt::Serial() const {
    return edSerial->text().trimmed();
}

QString TfmSerialPrompt::Operator() const {
    return edOperator->text().trimmed();
}

void TfmSerialPrompt::accept() {
    for (QLineEdit* edit : {edSerial, edOperator})
        if (edit->text().trimmed().isEmpty()) {
            edit->setFocus();
            return;
        }
    QDialog::accept();
}

bool TfmSerialPrompt::Ask(QWidget* parent, QString& serial, QString& oper) {
    TfmSerialPrompt prompt(serial, oper, parent);
    if (prompt.exec() != QDialog::Accepted)
        return false;
    serial = prompt.Serial();
    oper = prompt.Operator();
    return true;
}
