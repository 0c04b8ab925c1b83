#include "SystemErrorText.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>
#include <netdb.h>

namespace {
QString Tr(const char* text) {
    return QCoreApplication::translate("SystemErrorText", text);
}
} // namespace

QString SystemErrorText(int error) {
    switch (error) {
    case EACCES:
    case EPERM:
        return Tr("нет доступа (пользователь должен входить в группу dialout)");
    case ENOENT:
        return Tr("устройство не найдено (блок не подключён?)");
    case ENODEV:
    case ENXIO:
        return Tr("устройство отключено");
    case EBUSY:
        return Tr("устройство занято другой программой");
    case ECONNREFUSED:
        return Tr("соединение отклонено (по этому адресу никто не ждёт подключения)");
    case ETIMEDOUT:
        return Tr("время ожидания истекло");
    case EHOSTUNREACH:
    case ENETUNREACH:
        return Tr("узел недоступен");
    case ECONNRESET:
    case EPIPE:
        return Tr("соединение разорвано");
    case EIO:
        return Tr("ошибка ввода-вывода (кабель отключён?)");
    case ENOTTY:
        return Tr("устройство не поддерживает настройку линии");
    case EINVAL:
        return Tr("недопустимый параметр");
    case EISDIR:
        return Tr("это папка, а не устройство");
    case ENOTDIR:
        return Tr("часть пути не является папкой");
    case ENAMETOOLONG:
        return Tr("слишком длинное имя");
    case ELOOP:
        return Tr("слишком много символических ссылок в пути");
    case EROFS:
        return Tr("файловая система доступна только для чтения");
    case EMFILE:
    case ENFILE:
        return Tr("открыто слишком много файлов");
    case ENOMEM:
    case ENOBUFS:
        return Tr("недостаточно памяти");
    case EAGAIN:
        return Tr("ресурс временно недоступен");
    case EINTR:
        return Tr("вызов прерван сигналом");
    case EADDRNOTAVAIL:
        return Tr("адрес недоступен на этом компьютере");
    case EAFNOSUPPORT:
        return Tr("семейство адресов не поддерживается");
    case ENETDOWN:
        return Tr("сеть не работает");
    case EHOSTDOWN:
        return Tr("узел выключен");
    case ECONNABORTED:
        return Tr("соединение прервано");
    case ENOTCONN:
        return Tr("нет соединения");
    case ESHUTDOWN:
        return Tr("соединение закрыто");
    case EPROTO:
        return Tr("ошибка протокола");
    case EBADF:
        return Tr("неверный дескриптор");
    case ENOSPC:
        return Tr("нет места на устройстве");
    case EOPNOTSUPP:
        return Tr("операция не поддерживается");
    case ENOSYS:
        return Tr("функция не поддерживается системой");
    default: {
        // The number and the symbolic name say exactly what happened to whoever looks it up.
        const char* name = ::strerrorname_np(error);
        return name != nullptr
                   ? Tr("системная ошибка %1 (%2)").arg(error).arg(QString::fromLatin1(name))
                   : Tr("системная ошибка %1").arg(error);
    }
    }
}

QString ResolverErrorText(int result) {
    switch (result) {
    case EAI_NONAME:
        return Tr("такой узел не найден (проверьте имя или адрес)");
    case EAI_NODATA:
    case EAI_ADDRFAMILY:
        return Tr("у узла нет подходящего адреса");
    case EAI_AGAIN:
        return Tr("служба имён временно недоступна, повторите позже");
    case EAI_FAIL:
        return Tr("служба имён не смогла найти адрес");
    case EAI_SERVICE:
        return Tr("неверный номер порта");
    case EAI_FAMILY:
        return Tr("семейство адресов не поддерживается");
    case EAI_SOCKTYPE:
        return Tr("тип соединения не поддерживается");
    case EAI_MEMORY:
        return Tr("недостаточно памяти");
    case EAI_SYSTEM:
        return SystemErrorText(errno);
    default:
        return Tr("ошибка поиска адреса %1").arg(result);
    }
}
