// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;

// Asked before a harness is verified: its serial number and who checks it. Made for a barcode
// scanner, which types the number and presses Enter: the serial number's field has the focus
// with the last number selected (a scan replaces it, Enter alone keeps it), and Enter accepts.
// Both are needed; Enter with one of them empty moves to it.
class TfmSerialPrompt : public QDialog {
    Q_OBJECT
  public:
    TfmSerialPrompt(const QString& serial, const QString& oper, QWidget* parent = nullptr);

    QString Serial() const;
    QString Operator() const;

    // Asks; false for Cancel. `serial` and `oper` are the suggestions and the answers.
    static bool Ask(QWidget* parent, QString& serial, QString& oper);

    QLineEdit* edSerial = nullptr;
    QLineEdit* edOperator = nullptr;

  public slots:
    void accept() override;
};
