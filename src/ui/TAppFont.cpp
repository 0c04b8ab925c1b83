// SPDX-License-Identifier: GPL-3.0-or-later
#include "TAppFont.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

const QString Tahoma = QStringLiteral("Tahoma");

// What the application font is now: the family, and the stand-in's pixel size over Tahoma's.
struct TState {
    bool Tahoma = false;
    QString Family;
    qreal Scale = 1.0;
};

TState& State() {
    static TState state;
    return state;
}

qreal ScreenDpi() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
}

// Tahoma 8 pt in pixels at this screen's resolution (11 at 96 dots per inch).
int DesignPixelSize() {
    return std::max(1, int(std::lround(TAppFont::DesignPointSize * ScreenDpi() / 72.0)));
}

} // namespace

QStringList TAppFont::DefaultFiles() {
    return {QStringLiteral("/usr/share/wine/fonts/tahoma.ttf"),
            QStringLiteral("/usr/share/wine/fonts/tahomabd.ttf")};
}

bool TAppFont::LoadTahoma(const QStringList& files) {
    if (QFontDatabase::hasFamily(Tahoma))
        return true;
    for (const QString& file : files)
        QFontDatabase::addApplicationFont(file);
    return QFontDatabase::hasFamily(Tahoma);
}

QString TAppFont::ReferenceLine() {
    return QStringLiteral("Техническая поддержка: Приращение в имени Соответствия");
}

int TAppFont::FittingPixelSize(const QFont& family) {
    const qreal limit = ReferenceWidth * ScreenDpi() / 96.0;
    QFont f = family;
    int pixels = DesignPixelSize();
    // Seven pixels is the floor: a family still too wide there is taken at seven rather than
    // made unreadable.
    for (; pixels > 7; --pixels) {
        f.setPixelSize(pixels);
        if (QFontMetrics(f).horizontalAdvance(ReferenceLine()) <= limit)
            break;
    }
    return pixels;
}

void TAppFont::Apply(bool tahoma) {
    TState& s = State();
    if (tahoma) {
        s = TState{true, Tahoma, 1.0};
        QApplication::setFont(QFont(Tahoma, DesignPointSize));
        return;
    }
    const QFont system = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    QFont f(system.family());
    const int pixels = FittingPixelSize(f);
    f.setPixelSize(pixels);
    s = TState{false, system.family(), qreal(pixels) / DesignPixelSize()};
    QApplication::setFont(f);
}

void TAppFont::Install(const QStringList& files) {
    Apply(LoadTahoma(files));
}

bool TAppFont::IsTahoma() {
    return State().Tahoma;
}

QFont TAppFont::PixelFont(int designPixels, bool bold) {
    const TState& s = State();
    QFont f(s.Family.isEmpty() ? QApplication::font().family() : s.Family);
    f.setPixelSize(std::max(1, int(std::lround(designPixels * s.Scale))));
    f.setBold(bold);
    return f;
}
