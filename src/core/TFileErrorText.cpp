// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFileErrorText.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <cerrno>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TFileErrorText)
};
} // namespace

QString TFileErrorText::Of(int error) {
    switch (error) {
    case ENOENT:
        return TTexts::tr("файл или папка не найдены");
    case EACCES:
    case EPERM:
        return TTexts::tr("нет доступа");
    case ENOSPC:
        return TTexts::tr("на диске нет места");
    case EDQUOT:
        return TTexts::tr("превышена дисковая квота");
    case EROFS:
        return TTexts::tr("диск доступен только для чтения");
    case EISDIR:
        return TTexts::tr("это папка, а не файл");
    case ENOTDIR:
        return TTexts::tr("часть пути не является папкой");
    case ELOOP:
        return TTexts::tr("слишком много символических ссылок в пути");
    case ENAMETOOLONG:
        return TTexts::tr("слишком длинное имя");
    case EFBIG:
        return TTexts::tr("файл слишком велик");
    case EIO:
        return TTexts::tr("ошибка ввода-вывода");
    case EMFILE:
    case ENFILE:
        return TTexts::tr("открыто слишком много файлов");
    case EBUSY:
    case ETXTBSY:
        return TTexts::tr("файл занят");
    case EXDEV:
        return TTexts::tr("файл нельзя перенести на другой диск");
    default:
        return TTexts::tr("системная ошибка %1").arg(error);
    }
}

QString TFileErrorText::OfOpening(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists())
        return Of(ENOENT);
    if (info.isDir())
        return Of(EISDIR);
    if (!info.isReadable())
        return Of(EACCES);
    return Of(errno != 0 ? errno : EIO);
}
