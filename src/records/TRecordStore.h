// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordsConfig.h"
#include "TRecordsDatabase.h"
#include "TReferenceArchive.h"

#include <memory>

// Where a record went.
enum class TWriteOutcome {
    Stored,  // in its database: the shared one, or the local file when there is none
    Waiting, // in the local file, waiting for the shared database
    Failed,  // nowhere: not even the local file took it
};

// The records of one station: into the shared database when there is one and it answers,
// otherwise into the local file, where they wait and are sent on, oldest first, when the
// shared database answers again. A record keeps its id all the way, so one sent twice (its
// commit's answer lost with the connection) is still one record there.
//
// Belongs to one thread (its database connections do).
class TRecordStore {
  public:
    explicit TRecordStore(TRecordsConfig config);
    ~TRecordStore();

    const TRecordsConfig& Config() const { return FConfig; }

    // `tryShared` false: straight into the local queue (the program is closing and will not
    // wait for a server).
    TWriteOutcome Write(const TTestRecord& record, QString* error = nullptr, bool tryShared = true);
    // Keeps a learned or imported reference: always in the station's file, and in the shared
    // database when there is one and it answers (Waiting when it does not: the reference goes
    // there with the first record that names it).
    TWriteOutcome Keep(const TKeptReference& reference, QString* error = nullptr,
                       bool tryShared = true);
    // The reference kept under `sum` in the database the journal reads, else in the station's
    // file; nothing when neither has it (`error` says why when a database could not be read).
    std::optional<TKeptReference> FindReference(const QString& sum, QString* error = nullptr);
    // Offers the waiting records to the shared database, oldest first. Answers how many are
    // still waiting (-1: the local file cannot be read), the reason of a failure in `error`.
    int SendWaiting(QString* error = nullptr);
    // Records waiting in the local file (-1: it cannot be read).
    int Waiting(QString* error = nullptr);

    // The database the journal and the reports read: the shared one when there is one (opened
    // here; nullptr with the reason when it does not answer), else the local file.
    TRecordsDatabase* Reading(QString* error = nullptr);
    // The station's own file, opened, whatever the settings say (nullptr: it cannot be opened).
    TRecordsDatabase* ReadingLocal(QString* error = nullptr);
    TRecordsDatabase& Local() { return *FLocal; }

    // What the store did on its own that the station must hear of once (a damaged file set
    // aside for a new one); empty when nothing. Taking it clears it.
    QString TakeNotice();

  private:
    bool OpenShared(QString* error);
    // Opens the station's file; a damaged one is set aside under a new name (never deleted) and
    // a new file started in its place.
    bool OpenLocal(QString* error);
    bool InsertLocal(const TTestRecord& record, QString* error, bool waiting);
    bool SetAside(QString* error);
    bool SendOpen(QString* error);
    // Gives a record not chained yet its place after the station's last link (this station's
    // file's and, when given, the shared database's, whichever is further).
    void Chain(TTestRecord& record, TRecordsDatabase* shared);
    // Hands the shared database the station's keeping of the reference `sum` (who learned it,
    // where, when) ahead of a record that names it.
    bool SendKept(const QString& sum, QString* error);

    TRecordsConfig FConfig;
    std::unique_ptr<TRecordsDatabase> FLocal;
    std::unique_ptr<TRecordsDatabase> FShared;
    QString FNotice;
};
