// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLineEdit;

// The small borderless window in which a contact gets a new name: one line, Enter takes the
// text, Escape cancels. Created for one rename and destroyed after it.
class TfmEdit : public QDialog {
    Q_OBJECT
  public:
    static constexpr int ClientWidth = 104;
    static constexpr int ClientHeight = 20;

    // `maxLength` is the longest name the connector's size class allows.
    explicit TfmEdit(int maxLength, QWidget* parent = nullptr);

    QLineEdit* edButName;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool edButNameKeyDown(int key);
};
