// SPDX-License-Identifier: GPL-3.0-or-later
#include "THarness.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <fstream>
#include <iterator>
#include <set>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(THarness)
};

std::string Problem(const std::string& name, const QString& what) {
    return TTexts::tr("Файл описания жгута \"%1\": %2.")
        .arg(QString::fromStdString(name), what)
        .toStdString();
}
} // namespace

int THarness::PinCode(std::string_view name, int unitType) {
    // "X1:a1": connector, colon, row letter, position 1..32.
    if (name.size() < 5 || name.size() > 6 || (name[0] != 'X' && name[0] != 'x') || name[2] != ':')
        return -1;
    int base = 0;
    if (name[1] == '1')
        base = 400;
    else if (name[1] == '2')
        base = 272;
    else
        return -1;
    const char letter = static_cast<char>(name[3] | 0x20);
    if (letter < 'a' || letter > 'c')
        return -1;
    int position = 0;
    for (std::size_t i = 4; i < name.size(); ++i) {
        if (name[i] < '0' || name[i] > '9')
            return -1;
        position = position * 10 + (name[i] - '0');
    }
    const int offset = 32 * (letter - 'a') + position - 1;
    if (position < 1 || position > 32 || offset > 94)
        return -1;
    return unitType == DefaultUnitType ? base + offset : offset;
}

bool THarness::Load(const std::string& path, THarness& harness, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = TTexts::tr("Не удалось открыть файл описания жгута \"%1\".")
                    .arg(QString::fromStdString(path))
                    .toStdString();
        return false;
    }
    // A harness description is a few kilobytes; anything far larger is not one.
    constexpr std::streamsize limit = 1 << 20;
    std::string text;
    text.resize(static_cast<std::size_t>(limit) + 1);
    in.read(text.data(), limit + 1);
    text.resize(static_cast<std::size_t>(in.gcount()));
    if (static_cast<std::streamsize>(text.size()) > limit) {
        error = Problem(path, TTexts::tr("файл слишком велик"));
        return false;
    }
    return Parse(text, path, harness, error);
}

bool THarness::Parse(const std::string& text, const std::string& name, THarness& harness,
                     std::string& error) {
    QJsonParseError parse{};
    const QJsonDocument doc = QJsonDocument::fromJson(
        QByteArray(text.data(), static_cast<qsizetype>(text.size())), &parse);
    if (parse.error != QJsonParseError::NoError) {
        error = Problem(name, TTexts::tr("ошибка в записи JSON в позиции %1").arg(parse.offset));
        return false;
    }
    if (!doc.isObject()) {
        error = Problem(name, TTexts::tr("ожидается объект JSON с ключами \"nets\" и \"probe\""));
        return false;
    }
    const QJsonObject root = doc.object();
    THarness result;
    const QJsonValue type = root.value(QStringLiteral("unitType"));
    if (!type.isUndefined() && !type.isNull()) {
        const double t = type.toDouble(-1);
        if (!type.isDouble() || t != static_cast<int>(t) || t < 1 || t > 65535) {
            error =
                Problem(name, TTexts::tr("\"unitType\" должен быть целым числом от 1 до 65535"));
            return false;
        }
        result.UnitType = static_cast<int>(t);
    }
    auto pinOf = [&](const QJsonValue& value, const QString& where, int& code) {
        const std::string pin = value.toString().toStdString();
        code = value.isString() ? PinCode(pin, result.UnitType) : -1;
        if (code >= 0)
            return true;
        error = Problem(
            name, TTexts::tr("%1: \"%2\" не контакт блока (ожидается X1:a1 .. X2:c31)")
                      .arg(where, value.isString() ? value.toString() : TTexts::tr("не строка")));
        return false;
    };
    const QJsonValue nets = root.value(QStringLiteral("nets"));
    if (!nets.isUndefined() && !nets.isArray()) {
        error = Problem(name, TTexts::tr("\"nets\" должен быть списком цепей"));
        return false;
    }
    std::set<int> used;
    const QJsonArray netList = nets.toArray();
    for (qsizetype i = 0; i < netList.size(); ++i) {
        const QString where = TTexts::tr("цепь %1").arg(i + 1);
        if (!netList.at(i).isArray()) {
            error = Problem(name, TTexts::tr("%1 должна быть списком контактов").arg(where));
            return false;
        }
        std::vector<std::uint16_t> net;
        const QJsonArray pins = netList.at(i).toArray();
        for (const QJsonValue& pin : pins) {
            int code = -1;
            if (!pinOf(pin, where, code))
                return false;
            bool inThisNet = false;
            for (std::uint16_t p : net)
                inThisNet = inThisNet || p == code;
            if (inThisNet)
                continue;
            if (!used.insert(code).second) {
                error = Problem(name, TTexts::tr("%1: контакт \"%2\" уже входит в другую цепь")
                                          .arg(where, pin.toString()));
                return false;
            }
            net.push_back(static_cast<std::uint16_t>(code));
        }
        result.Nets.push_back(std::move(net));
    }
    const QJsonValue probe = root.value(QStringLiteral("probe"));
    if (!probe.isUndefined() && !probe.isNull() &&
        !pinOf(probe, TTexts::tr("\"probe\""), result.ProbePin))
        return false;

    // The faults of a harness under test; each key is optional.
    auto listOf = [&](const char* key, QJsonArray& list) {
        const QJsonValue value = root.value(QLatin1String(key));
        if (value.isUndefined() || value.isNull())
            return true;
        if (!value.isArray()) {
            error = Problem(name, TTexts::tr("\"%1\" должен быть списком").arg(QLatin1String(key)));
            return false;
        }
        list = value.toArray();
        return true;
    };
    auto pinList = [&](const char* key, std::vector<std::uint16_t>& into) {
        QJsonArray list;
        if (!listOf(key, list))
            return false;
        for (qsizetype i = 0; i < list.size(); ++i) {
            int code = -1;
            if (!pinOf(list.at(i), QStringLiteral("\"%1\"").arg(QLatin1String(key)), code))
                return false;
            into.push_back(static_cast<std::uint16_t>(code));
        }
        return true;
    };
    if (!pinList("opens", result.Opens) || !pinList("foreign", result.Foreign))
        return false;
    QJsonArray shorts;
    if (!listOf("shorts", shorts))
        return false;
    for (qsizetype i = 0; i < shorts.size(); ++i) {
        const QString where = TTexts::tr("\"shorts\", пара %1").arg(i + 1);
        const QJsonArray pair = shorts.at(i).toArray();
        if (!shorts.at(i).isArray() || pair.size() != 2) {
            error =
                Problem(name, TTexts::tr("%1 должна быть списком из двух контактов").arg(where));
            return false;
        }
        int a = -1;
        int b = -1;
        if (!pinOf(pair.at(0), where, a) || !pinOf(pair.at(1), where, b))
            return false;
        result.Shorts.push_back({static_cast<std::uint16_t>(a), static_cast<std::uint16_t>(b)});
    }
    QJsonArray intermittent;
    if (!listOf("intermittent", intermittent))
        return false;
    for (qsizetype i = 0; i < intermittent.size(); ++i) {
        const QString where = TTexts::tr("\"intermittent\", элемент %1").arg(i + 1);
        const QJsonObject item = intermittent.at(i).toObject();
        if (!intermittent.at(i).isObject()) {
            error =
                Problem(name, TTexts::tr("%1 должен быть объектом с ключами \"pin\", \"dropMs\" и "
                                         "\"periodMs\"")
                                  .arg(where));
            return false;
        }
        int pin = -1;
        if (!pinOf(item.value(QStringLiteral("pin")), where, pin))
            return false;
        const double drop = item.value(QStringLiteral("dropMs")).toDouble(-1);
        const double period = item.value(QStringLiteral("periodMs")).toDouble(-1);
        if (period != static_cast<int>(period) || drop != static_cast<int>(drop) || period < 1 ||
            period > 3600000 || drop < 1 || drop > period) {
            error = Problem(name, TTexts::tr("%1: \"periodMs\" должен быть целым числом мс от 1 до "
                                             "3600000, \"dropMs\" — от 1 до \"periodMs\"")
                                      .arg(where));
            return false;
        }
        result.Intermittent.push_back(
            {static_cast<std::uint16_t>(pin), static_cast<int>(drop), static_cast<int>(period)});
    }
    harness = std::move(result);
    return true;
}
