#include "SystemErrorText.h"

#include <QCoreApplication>

#include <cerrno>
#include <cstring>

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
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}
