// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QRadioButton;

// A framed group of radio buttons laid out in columns; ItemIndex is the checked choice (-1 none).
class TRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns,
                QWidget* parent = nullptr);

    int ItemIndex() const;
    void SetItemIndex(int index);
    int Count() const;
    QRadioButton* Button(int index) const;

  signals:
    void ItemIndexChanged(int index);

  private:
    QButtonGroup* FGroup;
};
