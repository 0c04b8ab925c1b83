// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFault.h"

#include <QDateTime>
#include <QString>
#include <vector>

class TCheckPoints;
class TReference;
struct TCheckResult;
struct TLatchedFault;

// One fault as a record keeps it: the fault itself and, for a continuous verify, how many checks
// saw it and when it was seen first and last (one check, no times, for a one-shot verify).
struct TRecordFault {
    TFault Fault;
    int Seen = 1;
    QDateTime First;
    QDateTime Last;

    bool operator==(const TRecordFault&) const = default;
};

// The record of one verify of a harness: who checked which harness where and when, against
// which reference, and what was found. The id is made at the station when the record is made,
// so the same record sent twice (a resend after a commit whose answer was lost) is one record.
struct TTestRecord {
    enum class TMode { Verify, Watch };

    QString Uid;
    QDateTime Time; // the end of the check, kept to the millisecond in UTC
    QString Station;
    QString Operator;
    QString ProjectPath;
    QString ReferenceSum; // SHA-256 of the reference's wire list, lower-case hex
    // That wire list's text, kept with the record's writing when the database does not hold it
    // yet (empty: not at hand, as for a record read back from a database).
    QByteArray ReferenceWires;
    QString Serial;
    bool Good = true;
    TMode Mode = TMode::Verify;
    int Scans = 1; // checks made: one for a verify, all of them for a continuous verify
    std::vector<TRecordFault> Faults;
    // How many faults the record has; a list of records read for the journal has this without
    // the faults themselves.
    int FaultTotal = 0;
    // The record's place in its station's chain (TRecordChain), given at the station when the
    // record is written: its number from 1 (0: not chained yet), the SHA-256 of the station's
    // record before it (empty for the first) and its own, lower-case hex.
    qint64 ChainSeq = 0;
    QString PrevHash;
    QString Hash;
    // The reference had a supervisor's approval when the harness was checked against it.
    bool ReferenceApproved = false;

    // The file name of the project ("K1.pvl"): the journal filters on it, since stations keep
    // their projects in folders of their own.
    QString ProjectName() const;
    // "ГОДЕН" or "БРАК".
    QString VerdictText() const;

    // A new record stamped now, with a fresh id and this station's name.
    static TTestRecord Make(const QString& projectPath, const QString& referenceSum,
                            const QString& serial, const QString& oper);
    // The record of a one-shot verify, or of a continuous verify with `scans` checks.
    void TakeResult(const TCheckResult& result);
    void TakeLatched(const std::vector<TLatchedFault>& latched, long long scans);

    static QString NewUid();
    static QString ThisStation();
    // The reference in the canonical form of its wire list, hashed: a list written by learning
    // has exactly this SHA-256 as a file.
    static QString ReferenceSumOf(const TReference& reference, const TCheckPoints& points);
    // The reference checked against: its sum and its text, for the records to keep.
    void TakeReference(const TReference& reference, const TCheckPoints& points);

    static QString ModeKey(TMode mode);
    static bool ModeFromKey(const QString& key, TMode& mode);
    static QString VerdictKey(bool good);
    // Milliseconds since 1970 UTC, as the database keeps times.
    static qint64 ToMs(const QDateTime& time) { return time.toMSecsSinceEpoch(); }
    static QDateTime FromMs(qint64 ms) { return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC); }
    // A time as the journal, the CSV and the report show it: local, to the second.
    static QString TimeText(const QDateTime& time) {
        return time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }

    bool operator==(const TTestRecord&) const = default;
};
