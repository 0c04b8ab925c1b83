// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"
#include "TTestRecord.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class QSqlQuery;
struct TRecordsConfig;

// Where a station's chain of records stands: its last record's number (0: none yet) and
// fingerprint.
struct TChainHead {
    qint64 Seq = 0;
    QString Hash;
};

// One connection to a database of records: the station's own SQLite file or the plant's
// PostgreSQL database, with one schema for both. Opening creates the schema or brings it up to
// date (the version is kept in schema_version); every record is written in one transaction, so
// it is there whole or not at all, and a record whose id is there already is left as it is.
//
// A connection belongs to the thread that opened it.
class TRecordsDatabase {
  public:
    enum class TKind { Local, Shared };

    // The config's local file or its shared database.
    TRecordsDatabase(const TRecordsConfig& config, TKind kind);
    // A local file at `path`.
    explicit TRecordsDatabase(const QString& path);
    ~TRecordsDatabase();
    TRecordsDatabase(const TRecordsDatabase&) = delete;
    TRecordsDatabase& operator=(const TRecordsDatabase&) = delete;

    TKind Kind() const { return FKind; }
    // The file's path or the shared database's address, for messages.
    const QString& Name() const { return FName; }

    // Connects (a shared database within the config's connect time-out) and makes the schema
    // current. False with the reason in Russian.
    bool Open(QString* error = nullptr);
    bool IsOpen() const;
    // The station's file turned out to be no database, or a damaged one (not merely busy or
    // out of reach): it has to be set aside for a new one.
    bool Damaged() const { return FDamaged; }
    void Close();

    // Writes the record and its faults in one transaction; with `waiting`, the record is also
    // marked as waiting for the shared database (the local file's queue). A record already there
    // (by its id) counts as written and is not touched.
    bool Insert(const TTestRecord& record, QString* error = nullptr, bool waiting = false);
    // Several records in one transaction: all of them or none.
    bool Insert(const std::vector<TTestRecord>& records, QString* error = nullptr,
                bool waiting = false);
    bool Contains(const QString& uid, QString* error = nullptr);

    // Records of the filter, newest first, without their faults; `after` continues a list past
    // its last row (the rows come in pages).
    std::vector<TTestRecord> Page(const TRecordFilter& filter, const TTestRecord* after, int limit,
                                  QString* error = nullptr);
    qint64 Count(const TRecordFilter& filter, QString* error = nullptr);
    // One record with its faults.
    std::optional<TTestRecord> Load(const QString& uid, QString* error = nullptr);
    // At most `limit` records of the filter with their faults, newest first (past `after`).
    std::vector<TTestRecord> LoadAll(const TRecordFilter& filter, const TTestRecord* after,
                                     int limit, QString* error = nullptr);
    // The projects and the operators the records name, sorted.
    QStringList Projects(QString* error = nullptr);
    QStringList Operators(QString* error = nullptr);
    QStringList Stations(QString* error = nullptr);

    // The queue of the local file: records waiting for the shared database, oldest first.
    QStringList WaitingUids(QString* error = nullptr);
    int WaitingCount(QString* error = nullptr);
    // Takes a record the shared database now holds out of the local file, with its faults.
    bool RemoveSent(const QString& uid, QString* error = nullptr);

    // The open connection, for the statistics' own queries on this thread.
    QSqlDatabase Connection() const;
    // Prepares `sql`, binds `values` to its "?" in order and runs it; false on failure.
    static bool Exec(QSqlQuery& q, const QString& sql, const QVariantList& values);

    int SchemaVersion(QString* error = nullptr);
    static constexpr int CurrentSchema = 2;

    // Where the station's chain stands here: its last record, and in the local file the last
    // link made at the station (its records may have gone on to the shared database).
    std::optional<TChainHead> ChainHead(const QString& station, QString* error = nullptr);
    // The local file remembers a record written elsewhere as the station's last link.
    bool NoteChainHead(const TTestRecord& record, QString* error = nullptr);
    // A waiting record made before the chain takes its place in the file before it is sent, so
    // a send repeated after a stop sends the same link.
    bool PlaceWaiting(const TTestRecord& record, QString* error = nullptr);

    // Called inside Insert's transaction just before it commits (tests stop a program there).
    void SetBeforeCommit(std::function<void()> hook) { FBeforeCommit = std::move(hook); }

  private:
    bool MakeSchemaCurrent(QString* error);
    void MakeReadingIndexes();
    bool Fail(QString* error, const QString& what, const QString& reason);
    bool Fail(QString* error, const QString& what, const QSqlError& reason);
    QStringList Distinct(const char* column, QString* error);
    static bool NoteHead(QSqlQuery& q, const QString& station, qint64 seq, const QString& hash);

    TKind FKind;
    QString FName;
    QString FConnection;
    std::function<void()> FBeforeCommit;
    bool FDamaged = false;
};
