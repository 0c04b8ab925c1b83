// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPainter;
class QPushButton;
class TDrawGrid;
class TUpDown;

// The look of the connectors' elements: their length and height, the indicator's frame width and
// the colours of the active and passive indicators, with drawn samples of a button and of an
// active indicator. The program creates it hidden at start; what its values apply to is open.
class TfmVidPropery : public QDialog {
    Q_OBJECT
  public:
    explicit TfmVidPropery(QWidget* parent = nullptr);

    // The indicator frame width of the samples: a setting nothing sets yet, so 0.
    int IndBorder() const { return FIndBorder; }

    // Fills and frames a cell as a raised contact button, the face shrunk by `shrink` pixels.
    static void DrawButton(QPainter& p, const QRect& cell, int shrink);
    // Fills and frames a cell as an indicator whose lamp, shrunk by `shrink`, has this colour.
    static void DrawIndicator(QPainter& p, const QRect& cell, int shrink, const QColor& lamp);

    QGroupBox* gbElement;
    QLineEdit* edWidth;
    TUpDown* udW;
    QLineEdit* edHeight;
    TUpDown* udH;
    TDrawGrid* dgButton;
    QLineEdit* edBorderInd;
    TUpDown* udBorder;
    TDrawGrid* dgIndHi;
    QComboBox* cbHi;
    TDrawGrid* dgIndLow;
    QComboBox* cbLow;
    QLabel* lbApply;
    QComboBox* cbBut;
    QPushButton* btOK;
    QPushButton* btCancel;

  private:
    int FIndBorder = 0;
};
