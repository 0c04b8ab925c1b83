// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPortExchange.h"

#include "IComPort.h"
#include "TErrors.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TPortExchange)
};
} // namespace

TPortExchange::TPortExchange(IComPort& port, bool rawPins, std::function<QString()> why)
    : FPort(port), FRawPins(rawPins), FWhy(std::move(why)) {}

std::uint16_t TPortExchange::UnitPin(std::uint16_t code, bool rawPins) {
    if (rawPins)
        return code;
    if (code >= 272 && code <= 366)
        return std::uint16_t(code - 272);
    if (code >= 400 && code <= 494)
        return std::uint16_t(code - 400);
    return code;
}

void TPortExchange::WriteRead(const std::vector<std::uint16_t>& pins,
                              const std::vector<std::uint8_t>& levels,
                              std::vector<std::uint8_t>& read) {
    const std::size_t count = pins.size();
    FFrame.clear();
    FFrame.reserve(3 * count);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint16_t pin = UnitPin(pins[i], FRawPins);
        FFrame.push_back(std::uint8_t(pin >> 8));
        FFrame.push_back(std::uint8_t(pin & 255));
        FFrame.push_back(i < levels.size() ? levels[i] : 0);
    }
    const auto fail = [this](const QString& what) {
        const QString why = FWhy ? FWhy() : QString();
        throw EUnitError(why.isEmpty() ? what : what + QStringLiteral(": ") + why);
    };
    if (FPort.Send(UnitCode::WriteRead, std::int32_t(FFrame.size()), FFrame.data()) == 0)
        fail(TTexts::tr("Не удалось отправить команду блоку диагностики"));
    if (FPort.Wait(-1) != 0)
        fail(TTexts::tr("Блок диагностики не ответил"));
    const std::int32_t code = FPort.ReplyCode();
    const std::int32_t length = FPort.ReplyLength();
    if (code != UnitCode::WriteRead || length != std::int32_t(count) + 1)
        throw EUnitError(
            TTexts::tr("Неверный ответ блока диагностики: код %1, длина %2 (ожидался код "
                       "%3, длина %4)")
                .arg(code)
                .arg(length)
                .arg(UnitCode::WriteRead)
                .arg(count + 1));
    const std::uint8_t* data = FPort.ReplyData();
    read.assign(data, data + count);
    FProbeIn = data[count];
}
