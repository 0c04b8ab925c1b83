// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordsConfig.h"
#include "TTestRecord.h"
#include "TfmJournal.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMainWindow;
class TCheckPoints;
class TIniFile;
class TRecordWriter;
struct TCheckResult;
struct TLatchedFault;

// The records of the window's checks: asks the serial number and operator before a verify,
// hands each verify's record to the writer's thread (the window never waits on a database),
// shows in the status bar how many records wait for the shared database, and opens the journal.
// The main window creates it once the settings are read, owns it and only wires it in.
class TCheckRecords : public QObject {
    Q_OBJECT
  public:
    // `ini`: the program's settings (the [Records] section; the operator is remembered there).
    TCheckRecords(TIniFile& ini, QMainWindow& window);
    ~TCheckRecords() override;

    // Before a verify: the serial number and the operator, the last ones offered. False for
    // Cancel (then nothing is checked).
    bool AskHarness();
    const QString& Serial() const { return FSerial; }
    const QString& Operator() const { return FOperator; }

    // The window's road: before a verify (or a continuous verify) of the project at
    // `projectPath` over `points`, asks the harness (false: no verify) and notes the project and
    // its reference (the wire list beside it) for the record; after it, the record.
    bool BeforeVerify(const QString& projectPath, const TCheckPoints& points,
                      const TReference& reference);
    void AfterVerify(const TCheckResult& result);
    void AfterWatch(const std::vector<TLatchedFault>& latched, long long checks);
    // Whether the reference of the next records was approved (TCheckApproval's look).
    void SetReferenceApproved(bool approved) { FReferenceApproved = approved; }

    // After a verify or a continuous verify: the record, handed to the writer at once.
    // `referenceSum`: TTestRecord::ReferenceSumOf the reference checked against.
    TTestRecord RecordVerify(const QString& projectPath, const QString& referenceSum,
                             const TCheckResult& result);
    TTestRecord RecordWatch(const QString& projectPath, const QString& referenceSum,
                            const std::vector<TLatchedFault>& latched, long long checks);

    // A learned (`learned`) or imported reference of the project, kept in the records with the
    // operator, this station and now (handed to the writer's thread).
    void KeepReference(const QString& projectPath, const QByteArray& wires, bool learned);

    // "Журнал проверок..." for the "Проверка" menu.
    QAction* acJournal = nullptr;
    void ShowJournal();
    TfmJournal* Journal() const { return FJournal; }

    // The status bar's notice: records waiting, or a record written nowhere.
    QLabel* lbWaiting = nullptr;
    int Waiting() const { return FWaiting; }
    const TRecordsConfig& Config() const { return FConfig; }
    // Offers the waiting records again now.
    void RetryNow();

    // Stand-in for the serial number prompt (tests): the same contract as TfmSerialPrompt::Ask.
    std::function<bool(QString& serial, QString& oper)> AskDialog;

  signals:
    void WaitingChanged(int waiting);

  private:
    void Submit(TTestRecord record);
    void OnStatus(int waiting, const QString& problem);

    TIniFile& FIni;
    QMainWindow& FWindow;
    TRecordsConfig FConfig;
    QString FConfigProblem; // a [Records] section that could not be taken
    std::unique_ptr<TRecordWriter> FWriter;
    QPointer<TfmJournal> FJournal;
    QString FSerial;
    QString FOperator;
    QString FProject;      // the project of the verify under way
    QString FReferenceSum; // and its reference
    QByteArray FReferenceWires;
    bool FReferenceApproved = false;
    int FWaiting = 0;
};
