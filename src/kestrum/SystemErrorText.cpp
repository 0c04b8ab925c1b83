// SPDX-License-Identifier: GPL-3.0-or-later
#include "SystemErrorText.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <netdb.h>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(SystemErrorText)
};
} // namespace

QString SystemErrorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return TTexts::tr("нет доступа (пользователь должен входить в группу dialout)");
    case ENOENT:
        return TTexts::tr("устройство не найдено (блок не подключён?)");
    case ENODEV:
    case ENXIO:
        return TTexts::tr("устройство отключено");
    case EBUSY:
        return TTexts::tr("устройство занято другой программой");
    case ECONNREFUSED:
        return TTexts::tr("соединение отклонено (по этому адресу никто не ждёт подключения)");
    case ETIMEDOUT:
        return TTexts::tr("время ожидания истекло");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return TTexts::tr("узел недоступен");
    case ECONNRESET:
    case EPIPE:
        return TTexts::tr("соединение разорвано");
    case EIO:
        return TTexts::tr("ошибка ввода-вывода (кабель отключён?)");
    case ENOTTY:
        return TTexts::tr("устройство не поддерживает настройку линии");
    case EINVAL:
        return TTexts::tr("недопустимый параметр");
    case EISDIR:
        return TTexts::tr("это папка, а не устройство");
    case ENOTDIR:
        return TTexts::tr("часть пути не является папкой");
    case ENAMETOOLONG:
        return TTexts::tr("слишком длинное имя");
    case ELOOP:
        return TTexts::tr("слишком много символических ссылок в пути");
    case EROFS:
        return TTexts::tr("файловая система доступна только для чтения");
    case EMFILE:
    case ENFILE:
        return TTexts::tr("открыто слишком много файлов");
    case ENOMEM:
    case ENOBUFS:
        return TTexts::tr("недостаточно памяти");
    case EAGAIN:
        return TTexts::tr("ресурс временно недоступен");
    case EINTR:
        return TTexts::tr("вызов прерван сигналом");
    case EADDRNOTAVAIL:
        return TTexts::tr("адрес недоступен на этом компьютере");
    case EAFNOSUPPORT:
        return TTexts::tr("семейство адресов не поддерживается");
    case ENETDOWN:
        return TTexts::tr("сеть не работает");
    case EHOSTDOWN:
        return TTexts::tr("узел выключен");
    case ECONNABORTED:
        return TTexts::tr("соединение прервано");
    case ENOTCONN:
        return TTexts::tr("нет соединения");
    case ESHUTDOWN:
        return TTexts::tr("соединение закрыто");
    case EPROTO:
        return TTexts::tr("ошибка протокола");
    case EBADF:
        return TTexts::tr("неверный дескриптор");
    case ENOSPC:
        return TTexts::tr("нет места на устройстве");
    case EOPNOTSUPP:
        return TTexts::tr("операция не поддерживается");
    case ENOSYS:
        return TTexts::tr("функция не поддерживается системой");
    default: {
        // The number and the symbolic name say exactly what happened to whoever looks it up.
        const char* name = ::strerrorname_np(error);
        return name != nullptr ? TTexts::tr("системная ошибка %1 (%2)")
                                     .arg(error)
                                     .arg(QString::fromLatin1(name))
                               : TTexts::tr("системная ошибка %1").arg(error);
    }
    }
}

QString ResolverErrorText(int result) {
    switch (result) {
    case EAI_NONAME:
        return TTexts::tr("такой узел не найден (проверьте имя или адрес)");
    case EAI_NODATA:
    case EAI_ADDRFAMILY:
        return TTexts::tr("у узла нет подходящего адреса");
    case EAI_AGAIN:
        return TTexts::tr("служба имён временно недоступна, повторите позже");
    case EAI_FAIL:
        return TTexts::tr("служба имён не смогла найти адрес");
    case EAI_SERVICE:
        return TTexts::tr("неверный номер порта");
    case EAI_FAMILY:
        return TTexts::tr("семейство адресов не поддерживается");
    case EAI_SOCKTYPE:
        return TTexts::tr("тип соединения не поддерживается");
    case EAI_MEMORY:
        return TTexts::tr("недостаточно памяти");
    case EAI_SYSTEM:
        return SystemErrorText(errno);
    default:
        return TTexts::tr("ошибка поиска адреса %1").arg(result);
    }
}
