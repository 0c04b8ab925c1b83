#include "SystemErrorText.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

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
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}
