// SPDX-License-Identifier: GPL-3.0-or-later
#include "TProjectJson.h"

#include "TErrors.h"
#include "TSootv.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <cmath>
#include <cstring>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TProjectJson)
};

QString Hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' '));
}

QString ColorText(TColor c) {
    return QStringLiteral("0x") + QString::number(c, 16).toUpper().rightJustified(8, u'0');
}

// A readable number for the floating types (the stored bytes are what is written back).
double FloatNumber(TValueType type, const QByteArray& b) {
    auto le = [&b](int n) {
        std::uint64_t v = 0;
        for (int i = 0; i < n && i < b.size(); ++i)
            v |= std::uint64_t(std::uint8_t(b[i])) << (8 * i);
        return v;
    };
    switch (type) {
    case TValueType::vaSingle: {
        const auto bits = std::uint32_t(le(4));
        float f;
        std::memcpy(&f, &bits, 4);
        return f;
    }
    case TValueType::vaDouble:
    case TValueType::vaDate: {
        const std::uint64_t bits = le(8);
        double d;
        std::memcpy(&d, &bits, 8);
        return d;
    }
    case TValueType::vaCurrency:
        return double(std::int64_t(le(8))) / 10000.0;
    case TValueType::vaExtended: {
        const std::uint64_t mant = le(8);
        const int top = b.size() >= 10 ? (std::uint8_t(b[8]) | (std::uint8_t(b[9]) << 8)) : 0;
        const int exp = top & 0x7FFF;
        const double v = std::ldexp(double(mant), exp - 16383 - 63);
        return (top & 0x8000) ? -v : v;
    }
    default:
        return 0;
    }
}

QJsonArray PropertiesToJson(const std::vector<TComponentProperty>& props);

QJsonObject ValueToJson(const TComponentValue& v) {
    QJsonObject o;
    o[QStringLiteral("type")] = TComponentStream::TypeName(v.Type);
    switch (v.Type) {
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32:
        o[QStringLiteral("value")] = qint64(v.Int);
        break;
    case TValueType::vaInt64:
        o[QStringLiteral("value")] = QString::number(v.Int);
        break;
    case TValueType::vaExtended:
    case TValueType::vaSingle:
    case TValueType::vaCurrency:
    case TValueType::vaDate:
    case TValueType::vaDouble: {
        o[QStringLiteral("value")] = Hex(v.Bytes);
        const double n = FloatNumber(v.Type, v.Bytes);
        if (std::isfinite(n))
            o[QStringLiteral("number")] = n;
        break;
    }
    case TValueType::vaString:
    case TValueType::vaLString:
    case TValueType::vaWString:
    case TValueType::vaUTF8String:
    case TValueType::vaIdent:
        o[QStringLiteral("value")] = v.Text;
        break;
    case TValueType::vaBinary:
        o[QStringLiteral("value")] = Hex(v.Bytes);
        break;
    case TValueType::vaSet:
        o[QStringLiteral("value")] = QJsonArray::fromStringList(v.Set);
        break;
    case TValueType::vaList: {
        QJsonArray items;
        for (const TComponentValue& item : v.List)
            items.append(ValueToJson(item));
        o[QStringLiteral("value")] = items;
        break;
    }
    case TValueType::vaCollection: {
        QJsonArray items;
        for (const TCollectionItem& item : v.Collection) {
            QJsonObject io;
            if (item.Order)
                io[QStringLiteral("order")] = ValueToJson(*item.Order);
            io[QStringLiteral("properties")] = PropertiesToJson(item.Properties);
            items.append(io);
        }
        o[QStringLiteral("value")] = items;
        break;
    }
    case TValueType::vaNull:
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil:
        break;
    }
    return o;
}

QJsonArray PropertiesToJson(const std::vector<TComponentProperty>& props) {
    QJsonArray out;
    for (const TComponentProperty& p : props) {
        QJsonObject o = ValueToJson(p.Value);
        o[QStringLiteral("name")] = p.Name;
        out.append(o);
    }
    return out;
}

QJsonObject NodeToJson(const TComponentNode& n) {
    QJsonObject o;
    o[QStringLiteral("class")] = n.ClassName;
    o[QStringLiteral("name")] = n.Name;
    if (n.HasPrefix || n.Flags != 0)
        o[QStringLiteral("flags")] = int(n.Flags);
    if (n.ChildPos)
        o[QStringLiteral("childPos")] = ValueToJson(*n.ChildPos);
    o[QStringLiteral("properties")] = PropertiesToJson(n.Properties);
    QJsonArray children;
    for (const TComponentNode& c : n.Children)
        children.append(NodeToJson(c));
    o[QStringLiteral("children")] = children;
    return o;
}

// Reading JSON back, with the path of each value for the messages.
class TJsonReader {
  public:
    [[noreturn]] static void Fail(const QString& path, const QString& what) {
        throw EFileError(TTexts::tr("Ошибка в описании проекта, %1: %2.").arg(path, what));
    }

    static QJsonValue Field(const QJsonObject& o, const QString& path, const char* key) {
        const QJsonValue v = o.value(QLatin1String(key));
        if (v.isUndefined())
            Fail(path, TTexts::tr("нет поля «%1»").arg(QLatin1String(key)));
        return v;
    }

    static qint64 Int(const QJsonValue& v, const QString& path, qint64 lo = INT32_MIN,
                      qint64 hi = INT32_MAX) {
        if (!v.isDouble() || v.toDouble() != std::floor(v.toDouble()))
            Fail(path, TTexts::tr("ожидается целое число"));
        const double d = v.toDouble();
        if (d < double(lo) || d > double(hi))
            Fail(path,
                 TTexts::tr("число %1 вне пределов %2..%3").arg(d, 0, 'f', 0).arg(lo).arg(hi));
        return qint64(d);
    }

    static qint64 Int(const QJsonObject& o, const QString& path, const char* key,
                      qint64 lo = INT32_MIN, qint64 hi = INT32_MAX) {
        return Int(Field(o, path, key), path + QLatin1Char('.') + QLatin1String(key), lo, hi);
    }

    static QString Text(const QJsonValue& v, const QString& path) {
        if (!v.isString())
            Fail(path, TTexts::tr("ожидается строка"));
        return v.toString();
    }

    static QString Text(const QJsonObject& o, const QString& path, const char* key) {
        return Text(Field(o, path, key), path + QLatin1Char('.') + QLatin1String(key));
    }

    static QJsonArray Array(const QJsonValue& v, const QString& path) {
        if (!v.isArray())
            Fail(path, TTexts::tr("ожидается массив"));
        return v.toArray();
    }

    static QJsonObject Object(const QJsonValue& v, const QString& path) {
        if (!v.isObject())
            Fail(path, TTexts::tr("ожидается объект"));
        return v.toObject();
    }

    static TColor Color(const QJsonValue& v, const QString& path) {
        if (v.isDouble())
            return TColor(Int(v, path, 0, UINT32_MAX));
        bool ok = false;
        const uint c = Text(v, path).toUInt(&ok, 0);
        if (!ok)
            Fail(path, TTexts::tr("ожидается цвет вида 0x00BBGGRR"));
        return c;
    }

    static QByteArray HexBytes(const QJsonValue& v, const QString& path) {
        QString text = Text(v, path);
        text.remove(QLatin1Char(' '));
        const QByteArray bytes = QByteArray::fromHex(text.toLatin1());
        if (text.size() % 2 != 0 || bytes.size() * 2 != text.size())
            Fail(path, TTexts::tr("ожидаются байты в шестнадцатеричной записи"));
        return bytes;
    }

    static std::vector<TComponentProperty> Properties(const QJsonValue& v, const QString& path) {
        std::vector<TComponentProperty> out;
        const QJsonArray a = Array(v, path);
        for (qsizetype i = 0; i < a.size(); ++i) {
            const QString p = QStringLiteral("%1[%2]").arg(path).arg(i);
            const QJsonObject o = Object(a[i], p);
            out.push_back({Text(o, p, "name"), Value(o, p)});
        }
        return out;
    }

    static TComponentValue Value(const QJsonObject& o, const QString& path) {
        TComponentValue v;
        const QString typeName = Text(o, path, "type");
        const std::optional<TValueType> type = TComponentStream::TypeFromName(typeName);
        if (!type)
            Fail(path, TTexts::tr("неизвестный тип значения «%1»").arg(typeName));
        v.Type = *type;
        const QString vp = path + QStringLiteral(".value");
        switch (v.Type) {
        case TValueType::vaInt8:
            v.Int = Int(o, path, "value", INT8_MIN, INT8_MAX);
            break;
        case TValueType::vaInt16:
            v.Int = Int(o, path, "value", INT16_MIN, INT16_MAX);
            break;
        case TValueType::vaInt32:
            v.Int = Int(o, path, "value");
            break;
        case TValueType::vaInt64: {
            bool ok = false;
            v.Int = Text(o, path, "value").toLongLong(&ok);
            if (!ok)
                Fail(vp, TTexts::tr("ожидается целое число в строке"));
            break;
        }
        case TValueType::vaExtended:
        case TValueType::vaSingle:
        case TValueType::vaCurrency:
        case TValueType::vaDate:
        case TValueType::vaDouble:
            v.Bytes = HexBytes(Field(o, path, "value"), vp);
            if (v.Bytes.size() != TComponentValue::FloatSize(v.Type))
                Fail(vp, TTexts::tr("нужно байт: %1").arg(TComponentValue::FloatSize(v.Type)));
            break;
        case TValueType::vaString:
        case TValueType::vaIdent:
        case TValueType::vaLString:
        case TValueType::vaWString:
        case TValueType::vaUTF8String:
            v.Text = Text(o, path, "value");
            break;
        case TValueType::vaBinary:
            v.Bytes = HexBytes(Field(o, path, "value"), vp);
            break;
        case TValueType::vaSet: {
            const QJsonArray a = Array(Field(o, path, "value"), vp);
            for (qsizetype i = 0; i < a.size(); ++i)
                v.Set.append(Text(a[i], QStringLiteral("%1[%2]").arg(vp).arg(i)));
            break;
        }
        case TValueType::vaList: {
            const QJsonArray a = Array(Field(o, path, "value"), vp);
            for (qsizetype i = 0; i < a.size(); ++i) {
                const QString ip = QStringLiteral("%1[%2]").arg(vp).arg(i);
                v.List.push_back(Value(Object(a[i], ip), ip));
            }
            break;
        }
        case TValueType::vaCollection: {
            const QJsonArray a = Array(Field(o, path, "value"), vp);
            for (qsizetype i = 0; i < a.size(); ++i) {
                const QString ip = QStringLiteral("%1[%2]").arg(vp).arg(i);
                const QJsonObject io = Object(a[i], ip);
                TCollectionItem item;
                if (io.contains(QLatin1String("order")))
                    item.Order =
                        Value(Object(io[QLatin1String("order")], ip + ".order"), ip + ".order");
                item.Properties = Properties(Field(io, ip, "properties"), ip + ".properties");
                v.Collection.push_back(std::move(item));
            }
            break;
        }
        case TValueType::vaNull:
            Fail(path, TTexts::tr("тип null не может быть значением"));
        case TValueType::vaFalse:
        case TValueType::vaTrue:
        case TValueType::vaNil:
            break;
        }
        return v;
    }

    static TComponentNode Node(const QJsonObject& o, const QString& path, int depth) {
        if (depth > TComponentStream::MaxDepth)
            Fail(path, TTexts::tr("слишком глубокая вложенность"));
        TComponentNode n;
        n.ClassName = Text(o, path, "class");
        n.Name = Text(o, path, "name");
        if (o.contains(QLatin1String("flags"))) {
            n.HasPrefix = true;
            n.Flags = std::uint8_t(Int(o, path, "flags", 0, 15));
        }
        if (o.contains(QLatin1String("childPos")))
            n.ChildPos =
                Value(Object(o[QLatin1String("childPos")], path + ".childPos"), path + ".childPos");
        n.Properties = Properties(Field(o, path, "properties"), path + ".properties");
        if (o.contains(QLatin1String("children"))) {
            const QJsonArray a = Array(o[QLatin1String("children")], path + ".children");
            for (qsizetype i = 0; i < a.size(); ++i) {
                const QString cp = QStringLiteral("%1.children[%2]").arg(path).arg(i);
                n.Children.push_back(Node(Object(a[i], cp), cp, depth + 1));
            }
        }
        return n;
    }
};

} // namespace

QJsonObject TProjectJson::ToJson(const TProjectFile& project) {
    QJsonArray razems;
    for (const TRazemRecord& r : project.Razems) {
        QJsonObject o;
        o[QStringLiteral("index")] = r.Index;
        o[QStringLiteral("name")] = r.Name;
        o[QStringLiteral("buttSize")] = r.ButtSize;
        o[QStringLiteral("left")] = r.Left();
        o[QStringLiteral("top")] = r.Top();
        o[QStringLiteral("colCount")] = r.ColCount();
        o[QStringLiteral("rowCount")] = r.RowCount();
        o[QStringLiteral("component")] = NodeToJson(r.Component);
        o[QStringLiteral("nameList")] = QJsonArray::fromStringList(r.NameList);
        QJsonArray rows;
        for (const TRowInfo& d : r.Rows)
            rows.append(QJsonObject{{QStringLiteral("count"), d.Count},
                                    {QStringLiteral("first"), d.First},
                                    {QStringLiteral("step"), d.Step},
                                    {QStringLiteral("firstNum"), d.FirstNum},
                                    {QStringLiteral("numStep"), d.NumStep},
                                    {QStringLiteral("prefix"), d.Prefix}});
        o[QStringLiteral("rows")] = rows;
        QJsonArray cells;
        for (int g = 0; g < r.RowCount(); ++g) {
            QJsonArray line;
            for (int c = 0; c < r.ColCount(); ++c) {
                const TContactRecord& t = r.Cell(c, g);
                line.append(QJsonObject{{QStringLiteral("state"), t.State},
                                        {QStringLiteral("nameIndex"), t.NameIndex},
                                        {QStringLiteral("indColor"), ColorText(t.IndColor)},
                                        {QStringLiteral("buttColor"), ColorText(t.ButtColor)}});
            }
            cells.append(line);
        }
        o[QStringLiteral("cells")] = cells;
        razems.append(o);
    }
    QJsonArray sootv;
    for (const TSootvData& s : project.Sootv) {
        QJsonObject o;
        o[QStringLiteral("grid")] = s.FGrid;
        o[QStringLiteral("col")] = s.FCol;
        o[QStringLiteral("row")] = s.FRow;
        o[QStringLiteral("pin")] = s.FPin;
        o[QStringLiteral("pinName")] = TSootv::PinName(s.FPin);
        QJsonArray entries;
        for (int i = 0; i < s.Count(); ++i)
            entries.append(QJsonObject{{QStringLiteral("name"), s.FNames[std::size_t(i)]},
                                       {QStringLiteral("razem"), s.FRazemIndexes[std::size_t(i)]},
                                       {QStringLiteral("col"), s.FContacts[std::size_t(i)].Col},
                                       {QStringLiteral("row"), s.FContacts[std::size_t(i)].Row}});
        o[QStringLiteral("entries")] = entries;
        sootv.append(o);
    }
    return QJsonObject{{QStringLiteral("format"), QStringLiteral("pinvel-project")},
                       {QStringLiteral("version"), 1},
                       {QStringLiteral("razems"), razems},
                       {QStringLiteral("sootv"), sootv}};
}

TProjectFile TProjectJson::FromJson(const QJsonObject& json) {
    using R = TJsonReader;
    if (json.value(QLatin1String("format")).toString() != QLatin1String("pinvel-project"))
        R::Fail(QStringLiteral("format"), TTexts::tr("ожидается «pinvel-project»"));
    if (R::Int(json, QString(), "version") != 1)
        R::Fail(QStringLiteral("version"), TTexts::tr("поддерживается только версия 1"));
    TProjectFile project;
    const QJsonArray razems = R::Array(R::Field(json, QString(), "razems"), "razems");
    for (qsizetype k = 0; k < razems.size(); ++k) {
        const QString p = QStringLiteral("razems[%1]").arg(k);
        const QJsonObject o = R::Object(razems[k], p);
        TRazemRecord r;
        r.Index = std::int32_t(R::Int(o, p, "index"));
        r.Name = R::Text(o, p, "name");
        r.ButtSize = std::int32_t(R::Int(o, p, "buttSize"));
        r.Component =
            R::Node(R::Object(R::Field(o, p, "component"), p + ".component"), p + ".component", 0);
        for (const QJsonValue& n : R::Array(R::Field(o, p, "nameList"), p + ".nameList"))
            r.NameList.append(R::Text(n, p + ".nameList"));
        const QJsonArray rows = R::Array(R::Field(o, p, "rows"), p + ".rows");
        for (qsizetype i = 0; i < rows.size(); ++i) {
            const QString rp = QStringLiteral("%1.rows[%2]").arg(p).arg(i);
            const QJsonObject ro = R::Object(rows[i], rp);
            TRowInfo d;
            d.Count = std::int32_t(R::Int(ro, rp, "count"));
            d.First = std::int32_t(R::Int(ro, rp, "first"));
            d.Step = std::int32_t(R::Int(ro, rp, "step"));
            d.FirstNum = std::int32_t(R::Int(ro, rp, "firstNum"));
            d.NumStep = std::int32_t(R::Int(ro, rp, "numStep"));
            d.Prefix = R::Text(ro, rp, "prefix");
            r.Rows.push_back(d);
        }
        const QJsonArray cells = R::Array(R::Field(o, p, "cells"), p + ".cells");
        for (qsizetype g = 0; g < cells.size(); ++g) {
            const QString gp = QStringLiteral("%1.cells[%2]").arg(p).arg(g);
            for (const QJsonValue& cv : R::Array(cells[g], gp)) {
                const QJsonObject co = R::Object(cv, gp);
                TContactRecord t;
                t.State = std::uint8_t(R::Int(co, gp, "state", 0, 255));
                t.NameIndex = std::int32_t(R::Int(co, gp, "nameIndex"));
                t.IndColor = R::Color(R::Field(co, gp, "indColor"), gp + ".indColor");
                t.ButtColor = R::Color(R::Field(co, gp, "buttColor"), gp + ".buttColor");
                r.Cells.push_back(t);
            }
        }
        const int cols = r.ColCount();
        if (cells.size() != r.RowCount() ||
            r.Cells.size() != std::size_t(std::max(cols, 0)) * std::size_t(cells.size()))
            R::Fail(p + ".cells",
                    TTexts::tr("нужно %1 строк по %2 контактов (RowCount и ColCount блока свойств)")
                        .arg(r.RowCount())
                        .arg(cols));
        if (r.RowCount() >= 0 && std::size_t(r.RowCount() / 2) != r.Rows.size())
            R::Fail(p + ".rows", TTexts::tr("нужно %1 описаний рядов").arg(r.RowCount() / 2));
        project.Razems.push_back(std::move(r));
    }
    const QJsonArray sootv = R::Array(R::Field(json, QString(), "sootv"), "sootv");
    for (qsizetype k = 0; k < sootv.size(); ++k) {
        const QString p = QStringLiteral("sootv[%1]").arg(k);
        const QJsonObject o = R::Object(sootv[k], p);
        TSootvData s;
        s.FGrid = std::uint8_t(R::Int(o, p, "grid", 0, 255));
        s.FCol = std::int32_t(R::Int(o, p, "col"));
        s.FRow = std::int32_t(R::Int(o, p, "row"));
        s.FPin = std::uint16_t(R::Int(o, p, "pin", 0, 65535));
        const QJsonArray entries = R::Array(R::Field(o, p, "entries"), p + ".entries");
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QString ep = QStringLiteral("%1.entries[%2]").arg(p).arg(i);
            const QJsonObject eo = R::Object(entries[i], ep);
            s.AddName(R::Text(eo, ep, "name"));
            s.AddContact({std::int32_t(R::Int(eo, ep, "col")), std::int32_t(R::Int(eo, ep, "row"))},
                         std::int32_t(R::Int(eo, ep, "razem")));
        }
        project.Sootv.push_back(std::move(s));
    }
    return project;
}
