// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

class QSqlQuery;
struct TTestRecord;
class TRecordsDatabase;

// One reference as the records keep it: its wire list's full text (as learning writes it) under
// the SHA-256 of that text, the sum a record names it by, with who took it, where and when.
struct TKeptReference {
    // How the reference came to be kept: learned from a harness, imported from a wire list, or
    // first met as the reference of a check's record.
    enum class TOrigin { Learned, Imported, Checked };

    QString Sum; // lower-case hex
    QByteArray Wires;
    QString Project; // the project's file name
    QString KeptBy;  // the operator, or the station's user
    QString Station;
    QDateTime Time; // to the millisecond, UTC
    TOrigin Origin = TOrigin::Checked;

    // A reference kept now at this station; the sum is the text's own.
    static TKeptReference Make(const QByteArray& wires, const QString& projectPath,
                               const QString& keptBy, TOrigin origin);
    // The reference of a record that names it and carries its text: kept by the record's
    // operator at its station and time.
    static TKeptReference OfRecord(const TTestRecord& record);
    static QString SumOf(const QByteArray& wires);
    static QString OriginKey(TOrigin origin);
    static TOrigin OriginFromKey(const QString& key);
    // "снят с жгута", "загружен из перечня проводов", "впервые встречен в записи проверки".
    static QString OriginText(TOrigin origin);

    bool operator==(const TKeptReference&) const = default;
};

// Every reference ever used, in the table reference_lists of a records database (the station's
// file or the shared database). A reference is only ever added, never changed: the first keeping
// of a sum stands (a station's role in the shared database may insert and read, nothing more).
class TReferenceArchive {
  public:
    // Adds the reference unless its sum is there already; refuses a text that does not hash to
    // its sum. False with the reason.
    static bool Keep(TRecordsDatabase& database, const TKeptReference& reference,
                     QString* error = nullptr);
    // The same on a query of an open transaction (a record's writing keeps its reference with
    // it); the reason of a failure in the query's error.
    static bool Keep(QSqlQuery& query, const TKeptReference& reference);
    // The reference kept under `sum`; nothing when there is none, or when the database cannot
    // be read (then `error` says why, and stays empty for a sum that is merely unknown).
    static std::optional<TKeptReference> Find(TRecordsDatabase& database, const QString& sum,
                                              QString* error = nullptr);
};
