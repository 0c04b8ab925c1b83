// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"

#include <QImage>
#include <QWidget>
#include <functional>

class QChartView;
class QComboBox;
class QLabel;
class QPushButton;
class QTableView;
class QTextBrowser;
class TJournalModel;
class TParetoModel;
class TRecordsDatabase;
class TStatisticsModel;

// The journal's tab "Статистика": the production statistics of the journal's filter, computed
// by the database: the checks, the harnesses and their first-pass and final yield, the yield
// broken down by day (week, project, operator, station) as a table and a chart, the contacts of
// the faults as a Pareto list and chart (picking a contact lists the records naming it), the
// faults by kind and the harnesses failed again and again. The figures go to CSV and JSON, the
// charts to PNG, all of it to a PDF page.
//
// The figures are computed only while the tab is shown: a new filter behind a hidden tab waits.
class TStatisticsTab : public QWidget {
    Q_OBJECT
  public:
    explicit TStatisticsTab(QWidget* parent = nullptr);
    ~TStatisticsTab() override;

    // The database to read (not owned; nullptr: none).
    void SetDatabase(TRecordsDatabase* database);
    void SetFilter(const TRecordFilter& filter);
    // Computes the figures now (new records, a new breakdown).
    void Compute();

    void ExportCsv();
    void ExportJson();
    void ExportPng();
    void ExportPdf();
    // The two charts one above the other, as PNG and the PDF page show them.
    QImage ChartsImage() const;
    // Lists the records naming the contact of the Pareto list's current row.
    void ShowContactRecords();

    TStatisticsModel* Model() const { return FModel; }
    TParetoModel* Pareto() const { return FPareto; }
    TJournalModel* ContactRecords() const { return FContactRecords; }

    // Stand-in for the save dialog (tests): answers the chosen path, empty for Cancel.
    std::function<QString(const QString& caption, const QString& suggested, const QString& filter)>
        SaveDialog;

    QComboBox* cbBy = nullptr;
    QLabel* lbSummary = nullptr;
    QTableView* tvGroups = nullptr;
    QTableView* tvContacts = nullptr;
    QTableView* tvContactRecords = nullptr;
    QTextBrowser* tbKinds = nullptr;
    QChartView* cvYield = nullptr;
    QChartView* cvPareto = nullptr;
    QPushButton* btCsv = nullptr;
    QPushButton* btJson = nullptr;
    QPushButton* btPng = nullptr;
    QPushButton* btPdf = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void ShowFigures();
    void DrawYield();
    void DrawPareto();
    QString AskPath(const QString& caption, const QString& suggested, const QString& filter);
    bool Save(const QString& path, const QByteArray& bytes);

    TRecordsDatabase* FDatabase = nullptr;
    TRecordFilter FFilter;
    TStatisticsModel* FModel = nullptr;
    TParetoModel* FPareto = nullptr;
    TJournalModel* FContactRecords = nullptr;
    bool FStale = true;
};
