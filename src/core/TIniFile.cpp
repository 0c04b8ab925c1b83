// SPDX-License-Identifier: GPL-3.0-or-later
#include "TIniFile.h"

#include "TSafeFile.h"
#include "TWin1251.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

namespace {
bool Same(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

// A value the file cannot carry as it stands (a character Windows-1251 lacks, a line break, a
// space at either end, which reading trims) is written as this mark followed by the value with
// such characters, and '%', as %XX of their UTF-8 bytes. Paths are absolute and so never start
// with the mark; a value that does is written marked too, so every value reads back exactly.
const QString EscapeMark = QStringLiteral("utf8:");

// Whether a character keeps the value from being written as it stands.
bool Unfit(QChar c, bool atEnd) {
    return c == QLatin1Char('\r') || c == QLatin1Char('\n') || (atEnd && c.isSpace()) ||
           !TWin1251::CanEncode(QString(c));
}

QString Escape(const QString& value) {
    const auto atEnd = [&](qsizetype i) { return i == 0 || i + 1 == value.size(); };
    bool plain = !value.startsWith(EscapeMark);
    for (qsizetype i = 0; plain && i < value.size(); ++i)
        plain = !Unfit(value.at(i), atEnd(i));
    if (plain)
        return value;
    static const char hex[] = "0123456789ABCDEF";
    QString out = EscapeMark;
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c != QLatin1Char('%') && !Unfit(c, atEnd(i))) {
            out += c;
            continue;
        }
        // A character outside the basic plane is a surrogate pair: one code point, one sequence.
        const qsizetype n = c.isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
        for (const char byte : value.mid(i, n).toUtf8()) {
            const auto b = static_cast<unsigned char>(byte);
            out += QLatin1Char('%');
            out += QLatin1Char(hex[b >> 4]);
            out += QLatin1Char(hex[b & 15]);
        }
        i += n - 1;
    }
    return out;
}

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

// The value an escaped text stands for; a text that is not a well-formed escaped value (typed by
// hand) is taken as it stands.
QString Unescape(const QString& text) {
    if (!text.startsWith(EscapeMark))
        return text;
    QString out;
    QByteArray bytes;
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const auto flush = [&] {
        if (!bytes.isEmpty())
            out += utf8.decode(bytes);
        bytes.clear();
    };
    for (qsizetype i = EscapeMark.size(); i < text.size(); ++i) {
        if (text.at(i) != QLatin1Char('%')) {
            flush();
            out += text.at(i);
            continue;
        }
        const int high = i + 2 < text.size() ? HexDigit(text.at(i + 1)) : -1;
        const int low = high >= 0 ? HexDigit(text.at(i + 2)) : -1;
        if (low < 0)
            return text;
        bytes.append(static_cast<char>(high * 16 + low));
        i += 2;
    }
    flush();
    return utf8.hasError() ? text : out;
}
} // namespace

TIniFile::TIniFile(QString path) : FPath(std::move(path)) {}

bool TIniFile::Load() {
    FSections.clear();
    QFile file(FPath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QString text = TWin1251::Decode(file.readAll());
    Section* current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            current = &SectionFor(line.mid(1, line.size() - 2).trimmed());
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (current == nullptr || eq <= 0)
            continue; // stray text outside a section or without a key is ignored
        const QString key = line.left(eq).trimmed();
        const QString value = Unescape(line.mid(eq + 1).trimmed());
        bool replaced = false;
        for (Entry& e : current->Entries)
            if (Same(e.Key, key)) {
                e.Value = value;
                replaced = true;
                break;
            }
        if (!replaced)
            current->Entries.push_back({key, value});
    }
    return true;
}

bool TIniFile::Save(QString* error) const {
    QString text;
    for (const Section& s : FSections) {
        text += QLatin1Char('[') + s.Name + QLatin1String("]\r\n");
        for (const Entry& e : s.Entries)
            text += e.Key + QLatin1Char('=') + Escape(e.Value) + QLatin1String("\r\n");
    }
    const QFileInfo info(FPath);
    QDir().mkpath(info.absolutePath());
    return TSafeFile::TryWrite(FPath, TWin1251::Encode(text), error);
}

const TIniFile::Section* TIniFile::FindSection(const QString& name) const {
    for (const Section& s : FSections)
        if (Same(s.Name, name))
            return &s;
    return nullptr;
}

TIniFile::Section& TIniFile::SectionFor(const QString& name) {
    for (Section& s : FSections)
        if (Same(s.Name, name))
            return s;
    FSections.push_back({name, {}});
    return FSections.back();
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->Entries)
            if (Same(e.Key, key))
                return e.Value;
    return def;
}

int TIniFile::ReadInteger(const QString& section, const QString& key, int def) const {
    bool ok = false;
    const int value = ReadString(section, key, QString()).toInt(&ok, 10);
    return ok ? value : def;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    return ReadInteger(section, key, def ? 1 : 0) != 0;
}

void TIniFile::WriteString(const QString& section, const QString& key, const QString& value) {
    Section& s = SectionFor(section);
    for (Entry& e : s.Entries)
        if (Same(e.Key, key)) {
            e.Value = value;
            return;
        }
    s.Entries.push_back({key, value});
}

void TIniFile::WriteInteger(const QString& section, const QString& key, int value) {
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString& section, const QString& key, bool value) {
    WriteInteger(section, key, value ? 1 : 0);
}

bool TIniFile::SectionExists(const QString& section) const {
    return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(const QString& section, const QString& key) const {
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->Entries)
            if (Same(e.Key, key))
                return true;
    return false;
}

void TIniFile::DeleteKey(const QString& section, const QString& key) {
    for (Section& s : FSections)
        if (Same(s.Name, section))
            std::erase_if(s.Entries, [&](const Entry& e) { return Same(e.Key, key); });
}

void TIniFile::EraseSection(const QString& section) {
    std::erase_if(FSections, [&](const Section& s) { return Same(s.Name, section); });
}

QStringList TIniFile::Sections() const {
    QStringList names;
    for (const Section& s : FSections)
        names << s.Name;
    return names;
}

QStringList TIniFile::Keys(const QString& section) const {
    QStringList keys;
    if (const Section* s = FindSection(section))
        for (const Entry& e : s->Entries)
            keys << e.Key;
    return keys;
}

QString TIniFile::ProgramSettingsPath() {
    const QString dir = QCoreApplication::applicationDirPath();
    const QFileInfo info(dir);
    if (!dir.isEmpty() && info.isDir() && info.isWritable())
        return dir + QLatin1String("/pinvel.ini");
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QLatin1String("/Pinvel/pinvel.ini");
}
