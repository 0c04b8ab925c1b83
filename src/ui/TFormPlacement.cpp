// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFormPlacement.h"

#include "TAppSettings.h"
#include "TIniFile.h"

#include <QEvent>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace {
std::vector<TFormPlacement*>& Living() {
    static std::vector<TFormPlacement*> living;
    return living;
}
} // namespace

TFormPlacement::TFormPlacement(QWidget* form) : QObject(form), FForm(form) {
    setObjectName(QStringLiteral("FormPlacement"));
    form->installEventFilter(this);
    Living().push_back(this);
}

TFormPlacement::~TFormPlacement() {
    std::erase(Living(), this);
}

QString TFormPlacement::Section() const {
    const QString name = FForm->objectName();
    return name.isEmpty() ? QString::fromLatin1(FForm->metaObject()->className()) : name;
}

void TFormPlacement::Restore(const TIniFile& ini) {
    FActive = true;
    const QString section = Section();
    const QByteArray geometry = QByteArray::fromHex(
        ini.ReadString(section, QString::fromLatin1(GeometryKey), QString()).toLatin1());
    if (geometry.isEmpty() || !FForm->restoreGeometry(geometry))
        return; // nothing remembered (or nonsense): the window keeps its design placement
    if (ini.ReadBool(section, QString::fromLatin1(MaximizedKey), false))
        FForm->setWindowState(FForm->windowState() | Qt::WindowMaximized);
}

void TFormPlacement::Store(TIniFile& ini) const {
    const QString section = Section();
    ini.WriteString(section, QString::fromLatin1(GeometryKey),
                    QString::fromLatin1(FForm->saveGeometry().toHex()));
    ini.WriteBool(section, QString::fromLatin1(MaximizedKey), FForm->isMaximized());
}

void TFormPlacement::StoreAll(TIniFile& ini) {
    for (const TFormPlacement* p : Living())
        if (p->FActive && p->FForm->isVisible())
            p->Store(ini);
}

bool TFormPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (FActive && watched == FForm &&
        (event->type() == QEvent::Close || event->type() == QEvent::Hide))
        if (TAppSettings* settings = TAppSettings::Instance())
            Store(settings->Ini());
    return QObject::eventFilter(watched, event);
}
