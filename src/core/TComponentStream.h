// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

class TStreamReader;
class TStreamWriter;

// Value type codes of the component stream ("TPF0"), the binary form in which a grid control
// stores its published properties.
enum class TValueType : std::uint8_t {
    vaNull = 0, // end of a list
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5, // 10-byte float
    vaString = 6,   // length byte + bytes
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10, // int32 length + bytes
    vaSet = 11,    // identifiers up to an empty one
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18, // int32 count of UTF-16 units
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21,
};

struct TComponentProperty;
struct TCollectionItem;

// One property value as stored, with its type, so a block reads and writes back unchanged.
struct TComponentValue {
    TValueType Type = TValueType::vaNil;
    std::int64_t Int = 0;                    // integer types
    QString Text;                            // strings and identifiers
    QByteArray Bytes;                        // vaBinary, and the stored bytes of the floating types
    QStringList Set;                         // vaSet element names
    std::vector<TComponentValue> List;       // vaList
    std::vector<TCollectionItem> Collection; // vaCollection

    // An integer in the smallest of the widths 8, 16 and 32 bits that holds it.
    static TComponentValue Integer(std::int32_t v);
    static TComponentValue Ident(const QString& name);
    static TComponentValue Boolean(bool v);
    bool IsInteger() const;
    // Size in bytes of a floating value's data, 0 for other types.
    static int FloatSize(TValueType type);
};

struct TComponentProperty {
    QString Name;
    TComponentValue Value;
};

struct TCollectionItem {
    std::optional<TComponentValue> Order; // an integer before the item, when the writer put one
    std::vector<TComponentProperty> Properties;
};

// A component: header flags (0 when absent), class, name, properties and child components.
struct TComponentNode {
    bool HasPrefix = false; // the node began with a 0xF0 | flags byte
    std::uint8_t Flags = 0; // its low bits: 1 inherited, 2 child position, 4 inline
    std::optional<TComponentValue> ChildPos;
    QString ClassName;
    QString Name;
    std::vector<TComponentProperty> Properties;
    std::vector<TComponentNode> Children;

    const TComponentProperty* Find(const QString& name) const;
};

// Reads and writes the "TPF0" block. The reader knows every value type of the format, so a block
// from any writer of it parses; an unknown type, a missing signature or nesting deeper than
// MaxDepth raise EFileError through the reader.
class TComponentStream {
  public:
    static constexpr int MaxDepth = 32;

    static void Write(TStreamWriter& writer, const TComponentNode& root);
    static TComponentNode Read(TStreamReader& reader);

    static void WriteValue(TStreamWriter& writer, const TComponentValue& value);

    // Name of a value type as the project tool shows it ("int8", "ident", ...), and back.
    static QString TypeName(TValueType type);
    static std::optional<TValueType> TypeFromName(const QString& name);
};
