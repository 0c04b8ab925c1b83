// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

// The program's version data: FileDescription, FileVersion, LegalCopyright, Support and Email
// in one string table of translation "041904E3" (Russian, code page 1251). The data are build
// settings compiled into the executable; a reader made from other data (or from none) serves
// the about box the same way.
class TVersionInfo {
  public:
    // The running program's own version data.
    TVersionInfo();
    // Version data given as key -> text for one translation; no keys at all means no version
    // data (not valid).
    TVersionInfo(const QHash<QString, QString>& strings, const QString& translation);

    bool Valid() const { return FValid; }
    // Eight upper-case hexadecimal digits, language then code page; empty when not valid.
    QString TranslationKey() const;
    // The text of a key of the string table; empty when not valid or the key is missing.
    QString Value(const QString& key) const;

    // Reading a value for the about box: the running program's data, empty on any failure.
    static QString ProgramValue(const QString& key);

    static constexpr const char* Translation = "041904E3";

  private:
    bool FValid = false;
    QString FTranslation;
    // "\StringFileInfo\<translation>\<key>" -> text
    QHash<QString, QString> FStrings;
};
