// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmStartUp.h"

#include "TAppFont.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

TfmStartUp::TfmStartUp(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("fmStartUp"));
    setFixedSize(222, 47);

    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("plStartUp"));
    panel->setFrameStyle(QFrame::WinPanel | QFrame::Raised); // raised inner, lowered outer
    panel->setLineWidth(2);
    panel->setGeometry(rect());

    lbWait = new QLabel(tr("Ждите, идет загрузка..."), panel);
    lbWait->setObjectName(QStringLiteral("lbWait"));
    lbWait->setFont(TAppFont::PixelFont(15, true));
    QPalette p = lbWait->palette();
    p.setColor(QPalette::WindowText, QColor(0x80, 0, 0)); // maroon
    lbWait->setPalette(p);
    lbWait->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(lbWait);

    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r = rect();
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }
}

TfmStartUp::~TfmStartUp() = default;

void TfmStartUp::ShowNow() {
    show();
    raise();
    if (FPainted)
        return;
    QEventLoop loop;
    QTimer::singleShot(PaintWaitMs, &loop, &QEventLoop::quit);
    connect(this, &TfmStartUp::FirstPainted, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void TfmStartUp::paintEvent(QPaintEvent* event) {
    QWidget::paintEvent(event);
    if (!FPainted) {
        FPainted = true;
        emit FirstPainted();
    }
}
