// SPDX-License-Identifier: GPL-3.0-or-later
#include "TUpDown.h"

#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

TUpDown::TUpDown(QWidget* parent)
    : QWidget(parent), FUp(new QToolButton(this)), FDown(new QToolButton(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton* b : {FUp, FDown}) {
        b->setAutoRepeat(true);
        b->setFocusPolicy(Qt::NoFocus);
        b->setFixedWidth(17);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        layout->addWidget(b);
    }
    FUp->setArrowType(Qt::UpArrow);
    FDown->setArrowType(Qt::DownArrow);
    connect(FUp, &QToolButton::clicked, this, [this] { StepBy(1); });
    connect(FDown, &QToolButton::clicked, this, [this] { StepBy(-1); });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

void TUpDown::SetAssociate(QLineEdit* edit) {
    if (FAssociate != nullptr)
        FAssociate->removeEventFilter(this);
    FAssociate = edit;
    if (FAssociate != nullptr) {
        FAssociate->installEventFilter(this);
        setFixedHeight(FAssociate->sizeHint().height());
    }
}

void TUpDown::SetRange(int min, int max) {
    FMin = std::min(min, max);
    FMax = std::max(min, max);
    FPosition = std::clamp(FPosition, FMin, FMax);
}

void TUpDown::SetPosition(int position) {
    FPosition = std::clamp(position, FMin, FMax);
    if (FAssociate != nullptr)
        FAssociate->setText(QString::number(FPosition));
    emit PositionChanged(FPosition);
}

void TUpDown::StepBy(int delta) {
    int from = FPosition;
    if (FAssociate != nullptr) {
        bool ok = false;
        const int typed = FAssociate->text().trimmed().toInt(&ok, 10);
        if (ok)
            from = std::clamp(typed, FMin, FMax);
    }
    const qint64 to = qint64(from) + delta;
    SetPosition(int(std::clamp<qint64>(to, FMin, FMax)));
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
    // The arrow keys in the edit step the number, as the stepper's buttons do.
    if (watched == FAssociate && event->type() == QEvent::KeyPress && isEnabled()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            StepBy(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
