// SPDX-License-Identifier: GPL-3.0-or-later
#include "TTesterPanel.h"

#include "AppHelp.h"
#include "TAppFont.h"
#include "TProperty.h"
#include "TRazem.h"
#include "TWorkPlace.h"
#include "TfmMain.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QThread>

namespace {

constexpr int KeyEscape = 27;
constexpr int KeyG = 71;
constexpr int KeyH = 72;
constexpr int KeyL = 76;

const QColor LampRed(255, 0, 0);
const QColor LampGreen(0, 128, 0);
const QColor LampYellow(255, 255, 0);
const QColor LampGray(128, 128, 128);

QFrame* NewLamp(const QString& name, const QColor& color, QWidget* parent) {
    auto* lamp = new QFrame(parent);
    lamp->setObjectName(name);
    lamp->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lamp->setFixedSize(17, 17);
    lamp->setAutoFillBackground(true);
    TTesterPanel::SetLampColor(lamp, color);
    return lamp;
}

} // namespace

QFrame* TTesterPanel::CreateTesterPanel() {
    auto* panel = new QFrame(&FMain);
    panel->setObjectName(QStringLiteral("FMain.plMenuTester"));
    SetHelpContext(panel, HelpContext::Tester);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFixedHeight(77);
    // The panel's small type lets the four groups and the exit button share the window's width.
    panel->setFont(TAppFont::PixelFont(11));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 2, 6, 4);
    row->setSpacing(6);

    // Probe lamps.
    FMain.gbZondState = new QGroupBox(tr("Состояние зонда"), panel);
    FMain.gbZondState->setObjectName(QStringLiteral("FMain.gbZondState"));
    FMain.gbZondState->setStatusTip(tr("Отображает состояния зондов чтения и записи"));
    {
        auto* grid = new QGridLayout(FMain.gbZondState);
        grid->setContentsMargins(8, 2, 8, 4);
        grid->setVerticalSpacing(2);
        auto* lbIn = new QLabel(tr("Вход"), FMain.gbZondState);
        auto* lbOut = new QLabel(tr("Выход", "the probe output lamp"), FMain.gbZondState);
        FMain.plZondIn_Ind =
            NewLamp(QStringLiteral("FMain.plZondIn_Ind"), LampRed, FMain.gbZondState);
        FMain.plZondOut_Ind =
            NewLamp(QStringLiteral("FMain.plZondOut_Ind"), LampGray, FMain.gbZondState);
        grid->addWidget(lbIn, 0, 0, Qt::AlignHCenter);
        grid->addWidget(lbOut, 0, 1, Qt::AlignHCenter);
        grid->addWidget(FMain.plZondIn_Ind, 1, 0, Qt::AlignHCenter);
        grid->addWidget(FMain.plZondOut_Ind, 1, 1, Qt::AlignHCenter);
    }
    row->addWidget(FMain.gbZondState);

    // Probe output selector.
    FMain.rgZondWrite = new QGroupBox(tr("Зонд - запись"), panel);
    FMain.rgZondWrite->setObjectName(QStringLiteral("FMain.rgZondWrite"));
    FMain.rgZondWrite->setStatusTip(tr("Управление выходным зондом"));
    FMain.rgZondWriteItems = new QButtonGroup(FMain.rgZondWrite);
    FMain.rgZondWriteItems->setExclusive(true);
    {
        auto* grid = new QGridLayout(FMain.rgZondWrite);
        grid->setContentsMargins(8, 2, 8, 2);
        grid->setVerticalSpacing(0);
        const QString items[] = {QStringLiteral("Hi"), QStringLiteral("Low"), QStringLiteral("Gen"),
                                 tr("Выключен")};
        for (int i = 0; i < 4; ++i) {
            auto* rb = new QRadioButton(items[i], FMain.rgZondWrite);
            rb->setObjectName(QStringLiteral("rgZondWrite_%1").arg(i));
            FMain.rgZondWriteItems->addButton(rb, i);
            grid->addWidget(rb, i % 2, i / 2);
        }
        FMain.rgZondWriteItems->button(ZondWriteMode::Off)->setChecked(true);
    }
    QObject::connect(FMain.rgZondWriteItems, &QButtonGroup::idToggled, &FMain,
                     [this](int id, bool checked) {
                         if (!checked)
                             return;
                         FMain.FTester.ZondWrite = id;
                         FMain.Guarded([this] { rgZondWriteClick(); });
                     });
    row->addWidget(FMain.rgZondWrite);

    // Reading.
    FMain.gbRead = new QGroupBox(tr("Чтение"), panel);
    FMain.gbRead->setObjectName(QStringLiteral("FMain.gbRead"));
    {
        auto* grid = new QGridLayout(FMain.gbRead);
        grid->setContentsMargins(8, 2, 8, 2);
        grid->setVerticalSpacing(0);
        FMain.cbReadRaz = new QCheckBox(tr("Читать разъем"), FMain.gbRead);
        FMain.cbReadRaz->setObjectName(QStringLiteral("FMain.cbReadRaz"));
        FMain.cbReadRaz->setChecked(true);
        FMain.cbReadZond = new QCheckBox(tr("Читать зонд"), FMain.gbRead);
        FMain.cbReadZond->setObjectName(QStringLiteral("FMain.cbReadZond"));
        FMain.cbReadZond->setChecked(true);
        FMain.plCicle = new QLabel(tr("Цикл"), FMain.gbRead);
        FMain.plCicle->setObjectName(QStringLiteral("FMain.plCicle"));
        FMain.plCicle->setAlignment(Qt::AlignCenter);
        FMain.plCicle->setFrameStyle(QFrame::Panel | QFrame::Raised);
        FMain.plCicle->setLineWidth(2);
        FMain.plCicle->setMinimumSize(60, 36);
        FMain.plCicle->setCursor(Qt::PointingHandCursor);
        grid->addWidget(FMain.cbReadRaz, 0, 0);
        grid->addWidget(FMain.cbReadZond, 1, 0);
        grid->addWidget(FMain.plCicle, 0, 1, 2, 1);
    }
    // The boxes act on every change of their state, also when the program checks them.
    QObject::connect(FMain.cbReadRaz, &QCheckBox::toggled, &FMain,
                     [this] { FMain.Guarded([this] { cbReadRazClick(); }); });
    QObject::connect(FMain.cbReadZond, &QCheckBox::toggled, &FMain,
                     [this] { FMain.Guarded([this] { cbReadZondClick(); }); });
    row->addWidget(FMain.gbRead);

    // Legend of the contact colours.
    FMain.gbInfo = new QGroupBox(tr("Информация"), panel);
    FMain.gbInfo->setObjectName(QStringLiteral("FMain.gbInfo"));
    {
        auto* grid = new QGridLayout(FMain.gbInfo);
        grid->setContentsMargins(6, 0, 6, 0);
        grid->setVerticalSpacing(0);
        grid->setHorizontalSpacing(4);
        const struct {
            const char* Name;
            QColor Color;
            QString Text;
        } legend[] = {
            {"plInfoRed", LampRed, tr("Уровень логической единицы")},
            {"plInfoGreen", LampGreen, tr("Уровень логического нуля")},
            {"plInfoYellow", LampYellow, tr("Работает генератор")},
            {"plInfoGray", LampGray, tr("Вывод не задействован")},
        };
        const QFont legendFont = TAppFont::PixelFont(10);
        for (int i = 0; i < 4; ++i) {
            QFrame* lamp =
                NewLamp(QString::fromLatin1(legend[i].Name), legend[i].Color, FMain.gbInfo);
            lamp->setFixedSize(10, 10);
            auto* text = new QLabel(legend[i].Text, FMain.gbInfo);
            text->setFont(legendFont);
            grid->addWidget(lamp, i, 0);
            grid->addWidget(text, i, 1);
        }
    }
    row->addWidget(FMain.gbInfo);
    row->addStretch(1);

    FMain.btTesterExit = new QPushButton(tr("Выход"), panel);
    FMain.btTesterExit->setObjectName(QStringLiteral("FMain.btTesterExit"));
    FMain.btTesterExit->setFocusPolicy(Qt::TabFocus);
    QObject::connect(FMain.btTesterExit, &QPushButton::clicked, FMain.acExit, &QAction::trigger);
    row->addWidget(FMain.btTesterExit, 0, Qt::AlignVCenter);
    return panel;
}

QColor TTesterPanel::LampColor(const QFrame* lamp) {
    return lamp->palette().color(QPalette::Window);
}

void TTesterPanel::SetLampColor(QFrame* lamp, const QColor& color) {
    QPalette p = lamp->palette();
    p.setColor(QPalette::Window, color);
    lamp->setPalette(p);
    lamp->update();
}

int TTesterPanel::ZondWriteIndex() const {
    return FMain.rgZondWriteItems->checkedId();
}

void TTesterPanel::SetZondWriteIndex(int index) {
    if (QAbstractButton* b = FMain.rgZondWriteItems->button(index))
        b->setChecked(true);
}

void TTesterPanel::ShowCycle(bool on) {
    FMain.plCicle->setFrameShadow(on ? QFrame::Sunken : QFrame::Raised);
}

void TTesterPanel::ApplyZondWrite() {
    if (FMain.FProperty == nullptr)
        return;
    if (ZondWriteIndex() == ZondWriteMode::Gen)
        FMain.FProperty->SetCycle(true);
    else if (FMain.GeneratorLines() == 0)
        FMain.FProperty->SetCycle(false);
    FMain.WorkerResume();
}

void TTesterPanel::rgZondWriteClick() {
    ApplyZondWrite();
}

void TTesterPanel::ReadBoxClick(QCheckBox* box, bool readRaz) {
    if (FMain.FProperty == nullptr)
        return;
    // The probe output is switched off while the reading changes, then restored.
    const int zond = ZondWriteIndex();
    SetZondWriteIndex(ZondWriteMode::Off);
    QThread::msleep(50);
    if (readRaz)
        FMain.FProperty->SetReadRaz(box->isChecked());
    else
        FMain.FProperty->SetReadZond(box->isChecked());
    SetZondWriteIndex(zond);
    FMain.WorkerResume();
}

void TTesterPanel::cbReadRazClick() {
    ReadBoxClick(FMain.cbReadRaz, true);
}

void TTesterPanel::cbReadZondClick() {
    ReadBoxClick(FMain.cbReadZond, false);
}

void TTesterPanel::plCicleClick() {
    if (FMain.FProperty != nullptr)
        FMain.FProperty->SetCycle(!FMain.FProperty->Cycle());
}

void TTesterPanel::MarkGenerators() {
    if (FMain.FWorkPlace == nullptr)
        return;
    for (int i = 0; i < FMain.FWorkPlace->Count(); ++i) {
        TRazem* r = FMain.FWorkPlace->Razem(i);
        for (int c = 0; c < r->ColCount(); ++c)
            for (int k = 0; k < r->RowCount() / 2; ++k) {
                TContact& t = r->FCells[std::size_t(c)][std::size_t(2 * k)];
                if (t.State == TContactState::csGenerator)
                    t.IndColor = TProperty::IndYellow;
            }
        r->Repaint();
    }
}

int TTesterPanel::VirtualKey(const QKeyEvent& event) {
    // Letters of other layouts arrive as their upper-case character: П, Р and Д sit on the keys
    // G, H and L of the Russian layout.
    switch (event.key()) {
    case Qt::Key_Escape:
        return KeyEscape;
    case Qt::Key_G:
    case 0x041F: // П
    case 0x043F: // п
        return KeyG;
    case Qt::Key_H:
    case 0x0420: // Р
    case 0x0440: // р
        return KeyH;
    case Qt::Key_L:
    case 0x0414: // Д
    case 0x0434: // д
        return KeyL;
    default:
        break;
    }
    // Another layout: the physical key (X11 key codes of G, H and L).
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        switch (event.nativeScanCode()) {
        case 42:
            return KeyG;
        case 43:
            return KeyH;
        case 46:
            return KeyL;
        default:
            break;
        }
    }
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return event.key();
    return int(event.nativeVirtualKey());
}

void TTesterPanel::FormKeyDown(int key) {
    if (!FMain.IsTesterMode() || FMain.FProperty == nullptr)
        return;
    if (key == KeyEscape && FMain.FProperty->Cycle()) {
        if (FMain.WorkerAutonomous()) {
            FMain.cbReadRaz->setChecked(true);
            FMain.cbReadZond->setChecked(true);
            FMain.FProperty->SetReadRaz(true);
            FMain.FProperty->SetReadZond(true);
        }
        // Every generator assignment ends; the probe output goes off.
        FMain.FWorkPlace->StopGenerators();
        SetZondWriteIndex(ZondWriteMode::Off);
        FMain.GeneratorReset();
        QThread::msleep(500);
        FMain.WorkerResume();
        FMain.WorkerStopAfterPass();
    }
    if (key == KeyG)
        SetZondWriteIndex(ZondWriteMode::Gen);
    else if (key == KeyH)
        SetZondWriteIndex(ZondWriteMode::Hi);
    else if (key == KeyL)
        SetZondWriteIndex(ZondWriteMode::Low);
    ApplyZondWrite();
}
