// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"
#include "TStatistics.h"

#include <QAbstractTableModel>

class TRecordsDatabase;

// The statistics of the journal's filter for the window: computes them in the database (through
// TStatisticsQuery) whenever the database, the filter or the grouping changes, keeps the figures
// and shows the yield's breakdown as a table, one row a day (week, project, operator, station).
// The other figures are read from Statistics().
class TStatisticsModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum TColumn {
        colKey,
        colChecks,
        colGood,
        colFaulty,
        colHarnesses,
        colFirstPass,
        colFinal,
        ColumnCount
    };
    // The figure itself (a count, or a yield in percent rounded to 0.1; nothing for no yield).
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit TStatisticsModel(QObject* parent = nullptr);

    // The database to read (not owned; nullptr: none).
    void SetDatabase(TRecordsDatabase* database);
    void SetFilter(const TRecordFilter& filter);
    void SetGrouping(TStatisticsGrouping by);
    // The three at once, computed once.
    void Set(TRecordsDatabase* database, const TRecordFilter& filter, TStatisticsGrouping by);
    const TRecordFilter& Filter() const { return FFilter; }
    TStatisticsGrouping Grouping() const { return FBy; }
    // Computes the figures again (new records).
    void Refresh();

    const TStatistics& Statistics() const { return FStatistics; }
    // The last computing's problem, empty when it went through.
    const QString& Problem() const { return FProblem; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

    // The name of a grouping as the window offers it ("по дням").
    static QString GroupingText(TStatisticsGrouping by);

  signals:
    // After every computing (the figures and the problem are new).
    void Computed();

  private:
    void Compute();

    TRecordsDatabase* FDatabase = nullptr;
    TRecordFilter FFilter;
    TStatisticsGrouping FBy = TStatisticsGrouping::Day;
    TStatistics FStatistics;
    QString FProblem;
};
