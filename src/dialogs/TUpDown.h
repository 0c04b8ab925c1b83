// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

// An up-down stepper tied to a line edit. The edit's text stays free (it may hold anything until
// the dialog checks it); a step starts from the edit's number when it holds one, else from the
// stepper's own position, stays within the range and writes the new number into the edit.
class TUpDown : public QWidget {
    Q_OBJECT
  public:
    explicit TUpDown(QWidget* parent = nullptr);

    void SetAssociate(QLineEdit* edit);
    QLineEdit* Associate() const { return FAssociate; }
    void SetRange(int min, int max);
    int Min() const { return FMin; }
    int Max() const { return FMax; }
    int Position() const { return FPosition; }
    // Moves the stepper and writes the number into the edit.
    void SetPosition(int position);
    void StepBy(int delta);

    QToolButton* UpButton() const { return FUp; }
    QToolButton* DownButton() const { return FDown; }

  signals:
    void PositionChanged(int position);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* FAssociate = nullptr;
    QToolButton* FUp;
    QToolButton* FDown;
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
};
