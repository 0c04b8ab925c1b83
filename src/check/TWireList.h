// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

class TCheckPoints;
class TReference;

// One problem of a wire list; line 0 is the file as a whole.
struct TWireListError {
    int Line = 0;
    QString Text;
    bool operator==(const TWireListError&) const = default;
};

// The reference as a from-to wire list, the form harness makers exchange: UTF-8, a header line
// "from,to", then one wire a line ("XT1:a1,XP2:c5"); a net of n contacts is n-1 lines, each from
// the net's first contact. Fields holding a comma or a quote are quoted as in CSV. Contacts tied
// to one pin are one point: a list need not join them, and a list cannot part them.
//
// Reading takes hand-edited and imported lists the same way: a byte-order mark, CR LF line ends,
// blank lines and spaces around a field are allowed; every malformed line, unknown contact and
// contact not tied to a pin is reported with its line number, and nothing is loaded then.
class TWireList {
  public:
    // NAME.wires.csv beside NAME.pvl.
    static QString PathFor(const QString& projectPath);

    static QByteArray ToCsv(const TReference& reference, const TCheckPoints& points);
    // On success fills `reference`; otherwise answers false, leaves it as it was and lists the
    // problems (at most MaxErrors, then one line saying how many more there are).
    static bool FromCsv(const QByteArray& text, const TCheckPoints& points, TReference& reference,
                        std::vector<TWireListError>& errors);

    // Writes through a temporary file, so a failed save leaves the previous list whole; raises
    // EFileError with the reason.
    static void Save(const QString& path, const TReference& reference, const TCheckPoints& points);
    // Reads a file; a file that cannot be read is an error of line 0.
    static bool Load(const QString& path, const TCheckPoints& points, TReference& reference,
                     std::vector<TWireListError>& errors);

    // "Список проводов «PATH»:" and one line per problem ("строка 3: ...").
    static QString ErrorText(const QString& path, const std::vector<TWireListError>& errors);

    static constexpr int MaxErrors = 50;
    static constexpr qint64 MaxSize = 4 << 20; // far more than 190 pins can need
};
