// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"
#include "TTestRecord.h"

#include <QAbstractTableModel>
#include <vector>

class TRecordsDatabase;

// The journal's records for a view: the records of a filter, newest first, read a page at a
// time as the view scrolls (each page continues below the last row through the time index, so
// a page costs the same deep in a long journal as at its top). The filter itself runs in the
// database.
class TJournalModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum TColumn {
        colTime,
        colSerial,
        colVerdict,
        colFaults,
        colProject,
        colOperator,
        colStation,
        colScans,
        ColumnCount
    };

    // Whether the row's harness was good (for the view's colours).
    static constexpr int GoodRole = Qt::UserRole + 1;

    explicit TJournalModel(QObject* parent = nullptr);

    // The database to read (not owned; nullptr: none). Reads the filter's first page.
    void SetDatabase(TRecordsDatabase* database);
    TRecordsDatabase* Database() const { return FDatabase; }
    void SetFilter(const TRecordFilter& filter);
    const TRecordFilter& Filter() const { return FFilter; }
    // Reads the filter's first page again (new records on top).
    void Refresh();

    // Records matching the filter, all of them (not only those read so far).
    qint64 Total() const { return FTotal; }
    // The record of a row as listed (without its faults).
    const TTestRecord& Record(int row) const { return FRows[std::size_t(row)]; }
    // The last reading's problem, empty when it went through.
    const QString& Problem() const { return FProblem; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

    static constexpr int PageSize = 200;

  signals:
    // After a new filter, database or refresh (the total and the problem are new).
    void Reloaded();

  private:
    void Reload();
    std::vector<TTestRecord> ReadPage(const TTestRecord* after, QString* problem);

    TRecordsDatabase* FDatabase = nullptr;
    TRecordFilter FFilter;
    std::vector<TTestRecord> FRows;
    qint64 FTotal = 0;
    bool FMore = false;
    QString FProblem;
};
