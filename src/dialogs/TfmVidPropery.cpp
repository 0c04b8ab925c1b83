// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmVidPropery.h"

#include "TColors.h"
#include "TDrawGrid.h"
#include "TUpDown.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QColor Rgb(TColor c) {
    return QColor::fromRgb(QRgb(Colors::ToRgb(c)));
}

void FillColorList(QComboBox* box) {
    const struct {
        const char* name;
        TColor color;
    } colors[] = {
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Черный"), Colors::clBlack},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Темно-бордовый"), Colors::clMaroon},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Зеленый"), Colors::clGreen},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Темно-синий"), Colors::clNavy},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Серый"), Colors::clGray},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Красный"), Colors::clRed},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Желтый"), Colors::clYellow},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Синий"), Colors::clBlue},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Голубой"), Colors::clAqua},
        {QT_TRANSLATE_NOOP("TfmVidPropery", "Белый"), Colors::clWhite},
    };
    for (const auto& c : colors) {
        QPixmap swatch(16, 12);
        swatch.fill(Rgb(c.color));
        box->addItem(QIcon(swatch), QCoreApplication::translate("TfmVidPropery", c.name),
                     QVariant::fromValue(quint32(c.color)));
    }
}
} // namespace

TfmVidPropery::TfmVidPropery(QWidget* parent)
    : QDialog(parent), gbElement(new QGroupBox(tr("Настройка элемента"), this)),
      edWidth(new QLineEdit(QStringLiteral("0"), this)), udW(new TUpDown(this)),
      edHeight(new QLineEdit(QStringLiteral("0"), this)), udH(new TUpDown(this)),
      dgButton(new TDrawGrid(1, 1, 42, 22, this)),
      edBorderInd(new QLineEdit(QStringLiteral("0"), this)), udBorder(new TUpDown(this)),
      dgIndHi(new TDrawGrid(1, 1, 42, 22, this)), cbHi(new QComboBox(this)),
      dgIndLow(new TDrawGrid(1, 1, 42, 22, this)), cbLow(new QComboBox(this)),
      lbApply(new QLabel(tr("Применить к:"), this)), cbBut(new QComboBox(this)),
      btOK(new QPushButton(tr("OK"), this)), btCancel(new QPushButton(tr("Отмена"), this)) {
    setObjectName(QStringLiteral("fmVidPropery"));
    setWindowTitle(tr("Настройки вида"));

    const std::pair<QLineEdit*, TUpDown*> steppers[] = {
        {edWidth, udW}, {edHeight, udH}, {edBorderInd, udBorder}};
    for (const auto& [edit, upDown] : steppers) {
        edit->setFixedWidth(50);
        upDown->SetAssociate(edit);
        upDown->SetRange(0, 100);
        upDown->SetPosition(0);
    }
    FillColorList(cbHi);
    FillColorList(cbLow);

    for (TDrawGrid* g : {dgButton, dgIndHi, dgIndLow})
        g->SetColor(Rgb(Colors::clInfoBk));
    dgButton->OnDrawCell = [this](QPainter& p, int, int, const QRect& r) {
        DrawButton(p, r, FIndBorder);
    };
    dgIndHi->OnDrawCell = [this](QPainter& p, int, int, const QRect& r) {
        DrawIndicator(p, r, FIndBorder, QColor(255, 0, 0));
    };
    // The passive indicator's sample is left blank.

    auto withStepper = [](QLineEdit* edit, TUpDown* upDown) {
        auto* box = new QHBoxLayout();
        box->setSpacing(0);
        box->addWidget(edit);
        box->addWidget(upDown);
        box->addStretch();
        return box;
    };
    auto* grid = new QGridLayout(gbElement);
    grid->addWidget(new QLabel(tr("Длина элементов"), this), 0, 0);
    grid->addLayout(withStepper(edWidth, udW), 0, 1);
    grid->addWidget(new QLabel(tr("Высота элементов"), this), 1, 0);
    grid->addLayout(withStepper(edHeight, udH), 1, 1);
    grid->addWidget(new QLabel(tr("Кнопка"), this), 2, 0);
    grid->addWidget(dgButton, 2, 1);
    grid->addWidget(new QLabel(tr("Ширина рамки индикатора"), this), 3, 0);
    grid->addLayout(withStepper(edBorderInd, udBorder), 3, 1);
    grid->addWidget(new QLabel(tr("Активный индикатор"), this), 4, 0);
    grid->addWidget(dgIndHi, 4, 1);
    grid->addWidget(cbHi, 4, 2);
    grid->addWidget(new QLabel(tr("Пассивный индикатор"), this), 5, 0);
    grid->addWidget(dgIndLow, 5, 1);
    grid->addWidget(cbLow, 5, 2);

    auto* apply = new QHBoxLayout();
    apply->addWidget(lbApply);
    apply->addWidget(cbBut, 1);
    auto* buttons = new QHBoxLayout();
    buttons->addStretch();
    buttons->addWidget(btOK);
    buttons->addWidget(btCancel);
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btCancel, &QPushButton::clicked, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gbElement);
    layout->addLayout(apply);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfmVidPropery::DrawButton(QPainter& p, const QRect& cell, int shrink) {
    p.setPen(QPen(Rgb(Colors::clInfoBk), 1));
    p.setBrush(Rgb(Colors::clBtnFace));
    p.drawRect(cell.adjusted(0, 0, -1, -1));
    const QRect s = cell.adjusted(shrink, shrink, -shrink, -shrink);
    const int l = s.left();
    const int t = s.top();
    const int r = s.right();
    const int b = s.bottom();
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(l, b, l, t);
    p.drawLine(l, t, r, t);
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(r, b, l, b);
    p.drawLine(r, t, r, b);
}

void TfmVidPropery::DrawIndicator(QPainter& p, const QRect& cell, int shrink, const QColor& lamp) {
    p.setPen(QPen(Rgb(Colors::clInfoBk), 0));
    p.setBrush(Rgb(Colors::clGradientInactiveCaption));
    p.drawRect(cell.adjusted(0, 0, -1, -1));
    const QRect s = cell.adjusted(shrink, shrink, -shrink, -shrink);
    p.setPen(QPen(Qt::black, 0));
    p.setBrush(lamp);
    p.drawRect(s.adjusted(0, 0, -1, -1));
}
