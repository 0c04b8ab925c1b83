// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

// The settings file: sections in square brackets, key=value lines, Windows-1251 text.
// Keys and sections compare without regard to case, as the format has always done; sections and
// keys the program does not know are kept and written back unchanged. A value the file cannot
// carry as it stands (a character Windows-1251 lacks, as in "/home/jürgen/", a line break, a
// space at either end) is written as "utf8:" and the value with those characters and '%' as %XX
// of their UTF-8 bytes ("utf8:/home/j%C3%BCrgen/"), and reads back exactly; every other value,
// every plain path among them, is written as it stands.
class TIniFile {
  public:
    explicit TIniFile(QString path);

    const QString& FileName() const { return FPath; }

    // Reads the file; a missing or unreadable file leaves the store empty and answers false.
    bool Load();
    // Writes a temporary file beside the target and renames it over the target, so a failed
    // write never leaves a half-written settings file. Answers false with a message on failure.
    bool Save(QString* error = nullptr) const;

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // A value that is not a decimal integer reads as the default.
    int ReadInteger(const QString& section, const QString& key, int def) const;
    bool ReadBool(const QString& section, const QString& key, bool def) const;
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);

    bool SectionExists(const QString& section) const;
    bool ValueExists(const QString& section, const QString& key) const;
    void DeleteKey(const QString& section, const QString& key);
    void EraseSection(const QString& section);
    QStringList Sections() const;
    QStringList Keys(const QString& section) const;

    // The program's settings file: pinvel.ini beside the executable when that folder is
    // writable, otherwise in the user's configuration folder (~/.config/Pinvel/pinvel.ini).
    static QString ProgramSettingsPath();

  private:
    struct Entry {
        QString Key;
        QString Value;
    };
    struct Section {
        QString Name;
        std::vector<Entry> Entries;
    };

    const Section* FindSection(const QString& name) const;
    Section& SectionFor(const QString& name);

    QString FPath;
    std::vector<Section> FSections;
};
