// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

struct TTestRecord;

// A record as the database keeps it, column by column: what its fingerprint covers. The values
// are those written, so the fingerprint can be computed again from the database alone.
struct TChainRow {
    struct TFaultRow {
        QString Kind;
        QString Contacts;
        QString Detail; // the fault's JSON, compact, as stored
        qint64 Seen = 1;
        std::optional<qint64> First;
        std::optional<qint64> Last;
    };

    QString Uid;
    QString Station;
    qint64 Seq = 0; // 0: not chained
    QString PrevHash;
    qint64 CheckedAt = 0;
    QString Operator;
    QString Project;
    QString ProjectPath;
    QString ReferenceSum;
    QString Serial;
    QString Verdict;
    QString Mode;
    qint64 Scans = 0;
    qint64 FaultCount = 0;
    qint64 ReferenceApproved = 0; // 1 when the reference had a supervisor's approval
    std::vector<TFaultRow> Faults;
    QString Hash; // the fingerprint stored with the record (not part of its canonical form)
};

// The chain of a station's records: each record carries its number in the station's chain, the
// SHA-256 of the station's record before it and its own SHA-256 over its canonical form, so a
// record deleted, changed, slipped in or moved shows as a break. The canonical form lives here
// alone; help/records.html and src/records/README.md describe it byte for byte:
//
//   one line per field, each "name=value" ended by LF (0x0A), values in UTF-8 with "\" written
//   "\\", LF written "\n" and CR written "\r"; integers in decimal; an absent time empty:
//     pinvel-record=1, uid, station, chain_seq, prev_hash, checked_at, operator_name, project,
//     project_path, reference_sum, serial, verdict, mode, scans, fault_count, reference_approved,
//   then for each fault in its order: fault (its index from 0), kind, contacts, detail, seen,
//     first_seen, last_seen.
class TRecordChain {
  public:
    // The row a record is written as.
    static TChainRow RowOf(const TTestRecord& record);
    static QByteArray Canonical(const TChainRow& row);
    // SHA-256 of the canonical form, lower-case hex.
    static QString HashOf(const TChainRow& row);
    // Places the record after its station's last one (`headSeq` 0: the station's first record)
    // and fingerprints it.
    static void Link(TTestRecord& record, qint64 headSeq, const QString& headHash);

  private:
    // The canonical form into `out`, which keeps its room.
    static void Write(const TChainRow& row, QByteArray& out);
};
