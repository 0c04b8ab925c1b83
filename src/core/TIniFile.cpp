#include "TIniFile.h"

#include "TSafeFile.h"
#include "TWin1251.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
bool Same(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
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
        const QString value = line.mid(eq + 1).trimmed();
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
            text += e.Key + QLatin1Char('=') + e.Value + QLatin1String("\r\n");
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
