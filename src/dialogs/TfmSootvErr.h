// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QLabel;
class QPushButton;
class TStringGrid;

// The list of repeated contact names that the constructor dialog offers; one name per row.
class TfmSootvErr : public QDialog {
    Q_OBJECT
  public:
    explicit TfmSootvErr(const QStringList& names = {}, QWidget* parent = nullptr);

    void SetNames(const QStringList& names);
    QStringList Names() const;

    QLabel* lbTitle;
    TStringGrid* sgErr;
    QPushButton* btOK;
};
