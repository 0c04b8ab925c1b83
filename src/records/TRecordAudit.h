// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordChain.h"

#include <QString>
#include <atomic>
#include <optional>
#include <vector>

class TRecordsDatabase;

// One break of a station's chain of records.
struct TChainBreak {
    enum class TKind {
        Deleted,   // records missing from their places (Seq..SeqTo)
        Altered,   // the record's fields are not those it was fingerprinted with
        Inserted,  // a record with no place of its own in the chain
        Reordered, // a record standing elsewhere than after the record it was chained to
    };
    TKind Kind = TKind::Altered;
    QString Station;
    qint64 Seq = 0;
    qint64 SeqTo = 0;       // Deleted: the last missing place
    qint64 After = 0;       // Reordered: the place of the record it was chained to
    bool Rewritten = false; // Altered: its fingerprint was computed anew, the next record tells
    QString Uid;            // the record named (none for Deleted)
    qint64 CheckedAt = 0;
    QString Serial;

    // What broke, in the user's language, naming the record.
    QString Text() const;
};

// What an audit found: every station's chain walked.
struct TAuditResult {
    int Stations = 0;
    qint64 Records = 0;
    std::vector<TChainBreak> Breaks;

    bool Whole() const { return Breaks.empty(); }
    // "Цепочка записей цела: ..." or how many breaks.
    QString Summary() const;
};

// Walks each station's chain of records and names each record deleted, altered, inserted or
// reordered. The fingerprints are computed again from the columns as stored (TRecordChain), so
// a change made behind the program's back shows. The last records of a chain removed leave a
// shorter chain that is whole: the chain proves what is there, not that nothing came after.
class TRecordAudit {
  public:
    // The chains of all stations, or of one (`station` not empty). Nothing with the reason when
    // the database cannot be read (or `stop` was set).
    static std::optional<TAuditResult> Run(TRecordsDatabase& db, const QString& station,
                                           QString* error = nullptr,
                                           const std::atomic<bool>* stop = nullptr);
    // The walk itself over rows sorted as TChainReader sorts them; `startAnywhere`: a chain may
    // begin past place 1 (the station's file, whose older records went on).
    static TAuditResult Check(const std::vector<TChainRow>& rows, bool startAnywhere = false);

  private:
    static void CheckStation(const std::vector<TChainRow>& rows, std::size_t from, std::size_t to,
                             bool startAnywhere, TAuditResult& result);
};
