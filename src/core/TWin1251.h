// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// The single-byte code page of project and settings files. Every byte decodes to one character
// and back, so a file read and written again keeps its bytes (0x98, unassigned in the code page,
// travels as U+0098).
class TWin1251 {
  public:
    static QString Decode(const QByteArray& bytes);
    static QString Decode(const char* data, qsizetype size);

    // Characters the code page cannot hold become '?'; callers that must not lose text check
    // CanEncode (or FirstUnencodable) first.
    static QByteArray Encode(const QString& text);
    static bool CanEncode(const QString& text) { return FirstUnencodable(text) < 0; }
    // Index of the first character the code page cannot hold, -1 when all can be stored.
    static qsizetype FirstUnencodable(const QString& text);

    // Contact and connector names compare without regard to case, Cyrillic included.
    static bool SameTextNoCase(const QString& a, const QString& b);
};
