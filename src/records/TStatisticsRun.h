// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"
#include "TStatistics.h"

#include <QMap>
#include <QSqlQuery>

class TRecordsDatabase;

// One computing of the statistics: its queries read one state of the database (records written
// meanwhile wait for the next computing), so the rows add up to the totals. Each part below
// counts the records of a filter itself, grouped by the database; `extra` is a further SQL
// condition on the records (the program's own text, no values from the user).
class TStatisticsRun {
  public:
    // The database counts by quarters of an hour (UTC); every time zone's midnight falls on one
    // of their edges, so the program folds them into local days exactly, summer time and all.
    static constexpr qint64 QuarterMs = 15 * 60 * 1000;

    TStatisticsRun(TRecordsDatabase& database, TStatisticsGrouping by);
    ~TStatisticsRun();
    TStatisticsRun(const TStatisticsRun&) = delete;
    TStatisticsRun& operator=(const TStatisticsRun&) = delete;

    // The checks of each group (and the checks without a serial number).
    bool AddChecks(const TRecordFilter& filter);
    // Each harness by its first check in the selection (its group and verdict) and its last
    // verdict.
    bool AddHarnesses(const TRecordFilter& filter, const QString& extra = QStringLiteral("1 = 1"));
    // The faults by kind, one-shot and continuous verifies apart.
    bool AddKinds(const TRecordFilter& filter);
    // The faulty checks naming each contact (and of them, continuous verifies).
    bool AddContacts(const TRecordFilter& filter);
    // Harnesses found faulty two times or more, with all their checks in the selection.
    bool AddRepeats(const TRecordFilter& filter, const QString& extra = QStringLiteral("1 = 1"));

    // Runs `sql`, where each "%W" stands for the filter's condition; false on failure.
    bool Exec(QString sql, const TRecordFilter& filter = {});
    QSqlQuery& Query() { return FQuery; }
    QString Problem() const;
    bool Postgres() const;

    // The row of the breakdown a group of the database's answer belongs to (a quarter of an hour
    // by time, else the column's text). Quarters in their order find their day or week without
    // the time zone's arithmetic, so the answers by time come sorted.
    TStatisticsGroup& Row(const QVariant& group);
    void AddContact(const QString& contact, qint64 checks, qint64 watchChecks);
    void AddRepeat(const TRepeatFigure& repeat);
    void AddUnnumbered(qint64 checks) { FUnnumbered += checks; }
    // The kinds' figures, for the parts counted elsewhere.
    TKindFigure& Kind(TFaultKind kind) { return FKinds[std::size_t(kind)]; }

    // The statistics made of what the parts added: totals, rows in order, the Pareto list
    // sorted with its shares, the repeats most failed first.
    TStatistics Result();

    // The verdicts and modes as the records keep them, quoted for the statements.
    static QString GoodKey();
    static QString FaultyKey();
    static QString WatchKey();
    // A moment and its verdict as one number, whose least and greatest per harness are its first
    // and last check (at the same millisecond БРАК before ГОДЕН).
    static QString CheckOrder();

  private:
    QString GroupColumn() const;

    TRecordsDatabase& FDatabase;
    TStatisticsGrouping FBy;
    QSqlQuery FQuery;
    bool FInTransaction = false;
    qint64 FUnnumbered = 0;
    QMap<QString, TStatisticsGroup> FRows;
    // The day or week of the last time row found, [FSpanFrom, FSpanTo) in ms.
    TStatisticsGroup* FSpanRow = nullptr;
    qint64 FSpanFrom = 0;
    qint64 FSpanTo = 0;
    std::vector<TKindFigure> FKinds;
    QMap<QString, std::pair<qint64, qint64>> FContacts;
    QMap<QString, TRepeatFigure> FRepeats;
};
