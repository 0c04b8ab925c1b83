// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFault.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TFault)
};

QString List(const QStringList& contacts) {
    return contacts.join(QLatin1String(", "));
}

// The verbs agree with their subject: one contact or several.
QString Detached(const QStringList& subject) {
    return subject.size() == 1 ? TTexts::tr("отсоединен") : TTexts::tr("отсоединены");
}

QString Joined(const QStringList& subject) {
    return subject.size() == 1 ? TTexts::tr("соединен") : TTexts::tr("соединены");
}

QJsonArray ToArray(const QStringList& list) {
    return QJsonArray::fromStringList(list);
}

std::optional<QStringList> FromArray(const QJsonValue& value) {
    if (!value.isArray())
        return std::nullopt;
    QStringList out;
    for (const QJsonValue& v : value.toArray()) {
        if (!v.isString())
            return std::nullopt;
        out.append(v.toString());
    }
    if (out.isEmpty())
        return std::nullopt;
    return out;
}
} // namespace

TFault TFault::Open(const QStringList& cut, const QStringList& rest) {
    return {TFaultKind::Open, {cut, rest}, false, {}};
}

TFault TFault::Short(std::vector<QStringList> nets) {
    return {TFaultKind::Short, std::move(nets), false, {}};
}

TFault TFault::Moved(const QStringList& moved, const QStringList& from, const QStringList& to) {
    return {TFaultKind::Miswire, {moved, from, to}, false, {}};
}

TFault TFault::Swap(const QStringList& one, const QStringList& other) {
    return {TFaultKind::Miswire, {one, other}, true, {}};
}

TFault TFault::Foreign(const QStringList& contacts) {
    return {TFaultKind::Foreign, {contacts}, false, {}};
}

QString TFault::KindText(TFaultKind kind) {
    switch (kind) {
    case TFaultKind::Open:
        return TTexts::tr("обрыв");
    case TFaultKind::Short:
        return TTexts::tr("замыкание");
    case TFaultKind::Miswire:
        return TTexts::tr("перепутан");
    case TFaultKind::Foreign:
        return TTexts::tr("посторонний потенциал");
    }
    return {};
}

QString TFault::KindKey(TFaultKind kind) {
    switch (kind) {
    case TFaultKind::Open:
        return QStringLiteral("open");
    case TFaultKind::Short:
        return QStringLiteral("short");
    case TFaultKind::Miswire:
        return QStringLiteral("miswire");
    case TFaultKind::Foreign:
        return QStringLiteral("foreign");
    }
    return {};
}

std::optional<TFaultKind> TFault::KindFromKey(const QString& key) {
    for (TFaultKind kind :
         {TFaultKind::Open, TFaultKind::Short, TFaultKind::Miswire, TFaultKind::Foreign})
        if (KindKey(kind) == key)
            return kind;
    return std::nullopt;
}

QString TFault::Text() const {
    if (!StoredText.isEmpty())
        return StoredText;
    const auto group = [this](std::size_t i) {
        return i < Groups.size() ? Groups[i] : QStringList();
    };
    QString body;
    switch (Kind) {
    case TFaultKind::Open:
        body = TTexts::tr("%1 %2 от %3").arg(List(group(0)), Detached(group(0)), List(group(1)));
        break;
    case TFaultKind::Short: {
        QStringList nets;
        for (const QStringList& net : Groups)
            nets.append(List(net));
        body = nets.join(QStringLiteral(" — "));
        break;
    }
    case TFaultKind::Miswire:
        if (Swapped)
            body = TTexts::tr("%1 и %2 поменяны местами").arg(List(group(0)), List(group(1)));
        else
            body = TTexts::tr("%1 %2 от %3 и %4 с %5")
                       .arg(List(group(0)), Detached(group(0)), List(group(1)), Joined(group(0)),
                            List(group(2)));
        break;
    case TFaultKind::Foreign:
        body = List(group(0));
        break;
    }
    return KindText(Kind) + QStringLiteral(": ") + body;
}

QStringList TFault::Contacts() const {
    QStringList all;
    for (const QStringList& group : Groups)
        for (const QString& c : group)
            if (!all.contains(c))
                all << c;
    return all;
}

QJsonObject TFault::ToJson() const {
    QJsonObject json;
    json.insert(QStringLiteral("kind"), KindKey(Kind));
    json.insert(QStringLiteral("text"), Text());
    if (!StoredText.isEmpty())
        return json; // passed on as it came: still a form this program does not know
    const auto group = [this](std::size_t i) {
        return ToArray(i < Groups.size() ? Groups[i] : QStringList());
    };
    if (Kind == TFaultKind::Short || (Kind == TFaultKind::Miswire && Swapped)) {
        QJsonArray nets;
        for (const QStringList& net : Groups)
            nets.append(ToArray(net));
        json.insert(Kind == TFaultKind::Short ? QStringLiteral("nets") : QStringLiteral("swapped"),
                    nets);
        return json;
    }
    json.insert(QStringLiteral("contacts"), group(0));
    if (Kind == TFaultKind::Open || Kind == TFaultKind::Miswire)
        json.insert(QStringLiteral("from"), group(1));
    if (Kind == TFaultKind::Miswire)
        json.insert(QStringLiteral("to"), group(2));
    return json;
}

std::optional<TFault> TFault::FromJson(const QJsonObject& json) {
    const std::optional<TFaultKind> kind =
        KindFromKey(json.value(QStringLiteral("kind")).toString());
    if (!kind)
        return std::nullopt;
    const auto lists = [](const QJsonValue& value) -> std::optional<std::vector<QStringList>> {
        if (!value.isArray())
            return std::nullopt;
        std::vector<QStringList> out;
        for (const QJsonValue& v : value.toArray()) {
            std::optional<QStringList> list = FromArray(v);
            if (!list)
                return std::nullopt;
            out.push_back(*list);
        }
        return out;
    };
    TFault fault;
    fault.Kind = *kind;
    if (*kind == TFaultKind::Short) {
        std::optional<std::vector<QStringList>> nets = lists(json.value(QStringLiteral("nets")));
        if (!nets || nets->size() < 2)
            return std::nullopt;
        fault.Groups = std::move(*nets);
        return fault;
    }
    if (*kind == TFaultKind::Miswire && json.contains(QStringLiteral("swapped"))) {
        std::optional<std::vector<QStringList>> sides =
            lists(json.value(QStringLiteral("swapped")));
        if (!sides || sides->size() != 2)
            return std::nullopt;
        fault.Groups = std::move(*sides);
        fault.Swapped = true;
        return fault;
    }
    std::vector<const char*> keys{"contacts"};
    if (*kind == TFaultKind::Open || *kind == TFaultKind::Miswire)
        keys.push_back("from");
    if (*kind == TFaultKind::Miswire)
        keys.push_back("to");
    for (const char* key : keys) {
        std::optional<QStringList> list = FromArray(json.value(QLatin1String(key)));
        if (!list)
            return std::nullopt;
        fault.Groups.push_back(*list);
    }
    return fault;
}
