// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;

// "Утвердить эталон": the supervisor's name and PIN, the PIN field masked. Says which
// reference is being approved (the project and its SHA-256) and, after a refusal, why.
class TfmApprove : public QDialog {
    Q_OBJECT
  public:
    TfmApprove(const QString& project, const QString& referenceSum, const QString& supervisor,
               QWidget* parent = nullptr);

    QString Supervisor() const;
    QString Pin() const;

    QLineEdit* edSupervisor = nullptr;
    QLineEdit* edPin = nullptr;
    QLabel* lbReference = nullptr;

  public slots:
    void accept() override;
};
