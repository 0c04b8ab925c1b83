// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"
#include "TRecordsConfig.h"

#include <QDialog>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class QTableView;
class QTextBrowser;
class QTimer;
class TChainCheck;
class TJournalModel;
class TRecordStore;
class TRecordsDatabase;
class TStatisticsTab;

// "Журнал проверок": the records of checks, newest first, filtered by days, serial number,
// project, verdict and operator; the record chosen is shown whole with its faults (as its
// printed report shows it); the filtered records go to CSV, the chosen one or the list to a
// PDF report. It reads the shared database when there is one and it answers (tried off the
// window's thread first, so a server that does not answer never freezes the window), else the
// station's own file, and says which, and whether the records' chains are whole (checked off
// the window's thread).
class TfmJournal : public QDialog {
    Q_OBJECT
  public:
    explicit TfmJournal(TRecordsConfig config, QWidget* parent = nullptr);
    ~TfmJournal() override;

    // Opens the database and lists its records; the window does it when first shown.
    void OpenDatabase();
    // Lists the records of the filter the controls give.
    void ApplyFilter();
    TRecordFilter FilterFromControls() const;
    void Refresh();
    // The record of the current row, shown whole below the list.
    void ShowCurrentRecord();
    void ExportCsv();
    void ReportRecord();
    void ReportList();
    // "Эталон записи": the chosen record's reference wires below the record.
    void ShowReference();

    TJournalModel* Model() const { return FModel; }
    TRecordsDatabase* Database() const { return FDatabase; }

    // Stand-in for the save dialog (tests): answers the chosen path, empty for Cancel.
    std::function<QString(const QString& caption, const QString& suggested, const QString& filter)>
        SaveDialog;

    QCheckBox* cbPeriod = nullptr;
    QDateEdit* deFrom = nullptr;
    QDateEdit* deTo = nullptr;
    QLineEdit* edSerial = nullptr;
    QComboBox* cbProject = nullptr;
    QComboBox* cbVerdict = nullptr;
    QComboBox* cbOperator = nullptr;
    QComboBox* cbStation = nullptr;
    QTableView* tvRecords = nullptr;
    QTextBrowser* tbRecord = nullptr;
    QLabel* lbCount = nullptr;
    QLabel* lbSource = nullptr;
    QLabel* lbChain = nullptr; // whether every station's chain of records is whole
    QPushButton* btCsv = nullptr;
    QPushButton* btPdfRecord = nullptr;
    QPushButton* btPdfList = nullptr;
    QPushButton* btRefresh = nullptr;
    QPushButton* btReference = nullptr;
    QTabWidget* tcPages = nullptr;   // "Записи" and "Статистика"
    TStatisticsTab* tsStatistics = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    QString AskPath(const QString& caption, const QString& suggested, const QString& filter);
    void FillChoices();
    void ShowCount();
    void CheckChain();

    TRecordsConfig FConfig;
    std::unique_ptr<TRecordStore> FStore;
    TRecordsDatabase* FDatabase = nullptr;
    TJournalModel* FModel = nullptr;
    TChainCheck* FChain = nullptr;
    QTimer* FTyping = nullptr;
    QString FSourceText;
    bool FOpened = false;
};
