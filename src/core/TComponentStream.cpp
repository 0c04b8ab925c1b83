// SPDX-License-Identifier: GPL-3.0-or-later
#include "TComponentStream.h"

#include "TErrors.h"
#include "TStreamReader.h"
#include "TStreamWriter.h"

#include <QCoreApplication>
#include <array>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TComponentStream)
};

constexpr char kSignature[] = "TPF0";

constexpr std::array<const char*, 22> kTypeNames = {
    "null",     "list", "int8",    "int16", "int32",      "extended", "string",     "ident",
    "false",    "true", "binary",  "set",   "lstring",    "nil",      "collection", "single",
    "currency", "date", "wstring", "int64", "utf8string", "double"};

class TBlockReader {
  public:
    explicit TBlockReader(TStreamReader& r) : R(r) {}

    TComponentNode Node(int depth) {
        CheckDepth(depth);
        TComponentNode node;
        const std::uint8_t prefix = Peek();
        if ((prefix & 0xF0) == 0xF0) {
            R.ReadUInt8();
            node.HasPrefix = true;
            node.Flags = prefix & 0x0F;
            if (node.Flags & 0x02) {
                TComponentValue pos = Value(depth + 1, QStringLiteral("ChildPos"));
                if (!pos.IsInteger())
                    R.Fail(TTexts::tr("позиция дочернего компонента должна быть целым числом"));
                node.ChildPos = std::move(pos);
            }
        }
        node.ClassName = R.ReadShortString();
        node.Name = R.ReadShortString();
        node.Properties = Properties(depth);
        while (Peek() != 0)
            node.Children.push_back(Node(depth + 1));
        R.ReadUInt8();
        return node;
    }

    std::vector<TComponentProperty> Properties(int depth) {
        std::vector<TComponentProperty> props;
        while (Peek() != 0) {
            TComponentProperty p;
            p.Name = R.ReadShortString();
            p.Value = Value(depth + 1, p.Name);
            props.push_back(std::move(p));
        }
        R.ReadUInt8();
        return props;
    }

    TComponentValue Value(int depth, const QString& property) {
        CheckDepth(depth);
        const qint64 at = R.Pos();
        TComponentValue v;
        const std::uint8_t code = R.ReadUInt8();
        if (code > std::uint8_t(TValueType::vaDouble))
            R.FailAt(
                at,
                TTexts::tr("неизвестный тип значения %1 у свойства «%2»").arg(code).arg(property));
        v.Type = TValueType(code);
        switch (v.Type) {
        case TValueType::vaNull:
            R.FailAt(at, TTexts::tr("у свойства «%1» нет значения").arg(property));
        case TValueType::vaList:
            while (Peek() != 0)
                v.List.push_back(Value(depth + 1, property));
            R.ReadUInt8();
            break;
        case TValueType::vaInt8:
            v.Int = R.ReadInt8();
            break;
        case TValueType::vaInt16:
            v.Int = R.ReadInt16();
            break;
        case TValueType::vaInt32:
            v.Int = R.ReadInt32();
            break;
        case TValueType::vaInt64:
            v.Int = R.ReadInt64();
            break;
        case TValueType::vaExtended:
        case TValueType::vaSingle:
        case TValueType::vaCurrency:
        case TValueType::vaDate:
        case TValueType::vaDouble:
            v.Bytes = R.ReadBytes(TComponentValue::FloatSize(v.Type));
            break;
        case TValueType::vaString:
        case TValueType::vaIdent:
            v.Text = R.ReadShortString();
            break;
        case TValueType::vaLString:
            v.Text = R.ReadString();
            break;
        case TValueType::vaUTF8String: {
            const std::int32_t n = R.ReadCount(1, TTexts::tr("длина строки UTF-8"));
            v.Text = QString::fromUtf8(R.ReadBytes(n));
            break;
        }
        case TValueType::vaWString: {
            const std::int32_t n = R.ReadCount(2, TTexts::tr("длина строки UTF-16"));
            const QByteArray raw = R.ReadBytes(qint64(n) * 2);
            v.Text.resize(n);
            for (std::int32_t i = 0; i < n; ++i)
                v.Text[i] = QChar(char16_t(std::uint8_t(raw[2 * i]) |
                                           (std::uint16_t(std::uint8_t(raw[2 * i + 1])) << 8)));
            break;
        }
        case TValueType::vaBinary: {
            const std::int32_t n = R.ReadCount(1, TTexts::tr("длина двоичных данных"));
            v.Bytes = R.ReadBytes(n);
            break;
        }
        case TValueType::vaSet:
            for (;;) {
                const QString element = R.ReadShortString();
                if (element.isEmpty())
                    break;
                v.Set.append(element);
            }
            break;
        case TValueType::vaCollection:
            while (Peek() != 0) {
                TCollectionItem item;
                const std::uint8_t next = Peek();
                if (next == std::uint8_t(TValueType::vaInt8) ||
                    next == std::uint8_t(TValueType::vaInt16) ||
                    next == std::uint8_t(TValueType::vaInt32))
                    item.Order = Value(depth + 1, property);
                if (R.ReadUInt8() != std::uint8_t(TValueType::vaList))
                    R.Fail(TTexts::tr("элемент набора «%1» не начинается со списка").arg(property));
                item.Properties = Properties(depth + 1);
                v.Collection.push_back(std::move(item));
            }
            R.ReadUInt8();
            break;
        case TValueType::vaFalse:
        case TValueType::vaTrue:
        case TValueType::vaNil:
            break;
        }
        return v;
    }

  private:
    std::uint8_t Peek() {
        if (R.AtEnd())
            R.Fail(TTexts::tr("блок свойств разъема обрывается"));
        return R.PeekUInt8();
    }
    void CheckDepth(int depth) const {
        if (depth > TComponentStream::MaxDepth)
            R.Fail(TTexts::tr("блок свойств вложен глубже %1 уровней")
                       .arg(TComponentStream::MaxDepth));
    }

    TStreamReader& R;
};

void WriteProperties(TStreamWriter& w, const std::vector<TComponentProperty>& props) {
    for (const TComponentProperty& p : props) {
        w.WriteShortString(p.Name);
        TComponentStream::WriteValue(w, p.Value);
    }
    w.WriteUInt8(0);
}

void WriteNode(TStreamWriter& w, const TComponentNode& node) {
    // A class name of 240 bytes or more would read as a prefix byte: such a node gets a prefix.
    if (node.HasPrefix || node.Flags != 0 || node.ChildPos || node.ClassName.size() >= 240) {
        std::uint8_t flags = node.Flags & 0x0F;
        if (node.ChildPos)
            flags |= 0x02;
        w.WriteUInt8(0xF0 | flags);
        if (flags & 0x02)
            TComponentStream::WriteValue(w, node.ChildPos ? *node.ChildPos
                                                          : TComponentValue::Integer(0));
    }
    w.WriteShortString(node.ClassName);
    w.WriteShortString(node.Name);
    WriteProperties(w, node.Properties);
    for (const TComponentNode& child : node.Children)
        WriteNode(w, child);
    w.WriteUInt8(0);
}

} // namespace

TComponentValue TComponentValue::Integer(std::int32_t v) {
    TComponentValue out;
    out.Int = v;
    if (v >= INT8_MIN && v <= INT8_MAX)
        out.Type = TValueType::vaInt8;
    else if (v >= INT16_MIN && v <= INT16_MAX)
        out.Type = TValueType::vaInt16;
    else
        out.Type = TValueType::vaInt32;
    return out;
}

TComponentValue TComponentValue::Ident(const QString& name) {
    TComponentValue out;
    out.Type = TValueType::vaIdent;
    out.Text = name;
    return out;
}

TComponentValue TComponentValue::Boolean(bool v) {
    TComponentValue out;
    out.Type = v ? TValueType::vaTrue : TValueType::vaFalse;
    return out;
}

bool TComponentValue::IsInteger() const {
    return Type == TValueType::vaInt8 || Type == TValueType::vaInt16 ||
           Type == TValueType::vaInt32 || Type == TValueType::vaInt64;
}

int TComponentValue::FloatSize(TValueType type) {
    switch (type) {
    case TValueType::vaExtended:
        return 10;
    case TValueType::vaSingle:
        return 4;
    case TValueType::vaCurrency:
    case TValueType::vaDate:
    case TValueType::vaDouble:
        return 8;
    default:
        return 0;
    }
}

const TComponentProperty* TComponentNode::Find(const QString& name) const {
    for (const TComponentProperty& p : Properties)
        if (p.Name == name)
            return &p;
    return nullptr;
}

void TComponentStream::Write(TStreamWriter& writer, const TComponentNode& root) {
    writer.WriteBytes(QByteArray(kSignature, 4));
    WriteNode(writer, root);
}

TComponentNode TComponentStream::Read(TStreamReader& reader) {
    const qint64 at = reader.Pos();
    if (reader.Remaining() < 4 || reader.ReadBytes(4) != QByteArray(kSignature, 4))
        reader.FailAt(at, TTexts::tr("блок свойств разъема не начинается с «TPF0»"));
    return TBlockReader(reader).Node(0);
}

void TComponentStream::WriteValue(TStreamWriter& w, const TComponentValue& v) {
    w.WriteUInt8(std::uint8_t(v.Type));
    switch (v.Type) {
    case TValueType::vaNull:
        throw EFileError(TTexts::tr("Значение свойства не может иметь тип null."));
    case TValueType::vaList:
        for (const TComponentValue& item : v.List)
            WriteValue(w, item);
        w.WriteUInt8(0);
        break;
    case TValueType::vaInt8:
        w.WriteInt8(std::int8_t(v.Int));
        break;
    case TValueType::vaInt16:
        w.WriteInt16(std::int16_t(v.Int));
        break;
    case TValueType::vaInt32:
        w.WriteInt32(std::int32_t(v.Int));
        break;
    case TValueType::vaInt64:
        w.WriteInt64(v.Int);
        break;
    case TValueType::vaExtended:
    case TValueType::vaSingle:
    case TValueType::vaCurrency:
    case TValueType::vaDate:
    case TValueType::vaDouble: {
        QByteArray bytes = v.Bytes.left(TComponentValue::FloatSize(v.Type));
        bytes.append(QByteArray(TComponentValue::FloatSize(v.Type) - bytes.size(), '\0'));
        w.WriteBytes(bytes);
        break;
    }
    case TValueType::vaString:
    case TValueType::vaIdent:
        w.WriteShortString(v.Text);
        break;
    case TValueType::vaLString:
        w.WriteString(v.Text);
        break;
    case TValueType::vaUTF8String: {
        const QByteArray bytes = v.Text.toUtf8();
        w.WriteInt32(std::int32_t(bytes.size()));
        w.WriteBytes(bytes);
        break;
    }
    case TValueType::vaWString:
        w.WriteInt32(std::int32_t(v.Text.size()));
        for (const QChar c : v.Text)
            w.WriteUInt16(c.unicode());
        break;
    case TValueType::vaBinary:
        w.WriteInt32(std::int32_t(v.Bytes.size()));
        w.WriteBytes(v.Bytes);
        break;
    case TValueType::vaSet:
        for (const QString& element : v.Set)
            if (!element.isEmpty())
                w.WriteShortString(element);
        w.WriteUInt8(0);
        break;
    case TValueType::vaCollection:
        for (const TCollectionItem& item : v.Collection) {
            if (item.Order)
                WriteValue(w, *item.Order);
            w.WriteUInt8(std::uint8_t(TValueType::vaList));
            WriteProperties(w, item.Properties);
        }
        w.WriteUInt8(0);
        break;
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil:
        break;
    }
}

QString TComponentStream::TypeName(TValueType type) {
    const auto i = std::size_t(type);
    return i < kTypeNames.size() ? QString::fromLatin1(kTypeNames[i]) : QString();
}

std::optional<TValueType> TComponentStream::TypeFromName(const QString& name) {
    for (std::size_t i = 1; i < kTypeNames.size(); ++i)
        if (name == QLatin1String(kTypeNames[i]))
            return TValueType(i);
    return std::nullopt;
}
