// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCheckRecords.h"

#include "AppWindowAction.h"
#include "TContinuousCheck.h"
#include "THarnessCheck.h"
#include "TIniFile.h"
#include "TRecordWriter.h"
#include "TReference.h"
#include "TfmJournal.h"
#include "TfmSerialPrompt.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>

#include <cstdio>

namespace {
const QString Section = QStringLiteral("Records");
const QString OperatorKey = QStringLiteral("Operator");
} // namespace

TCheckRecords::TCheckRecords(TIniFile& ini, QMainWindow& window) : FIni(ini), FWindow(window) {
    QString problem;
    FConfig = TRecordsConfig::FromIni(ini, &problem);
    FOperator = ini.ReadString(Section, OperatorKey, QString()).trimmed();

    // Ctrl+J in the editor mode too.
    acJournal = CreateWindowAction(window, this, "acJournal", tr("Журнал проверок..."),
                                   QKeySequence(Qt::CTRL | Qt::Key_J));
    connect(acJournal, &QAction::triggered, this, &TCheckRecords::ShowJournal);

    lbWaiting = new QLabel(&window);
    lbWaiting->setObjectName(QStringLiteral("lbRecordsWaiting"));
    lbWaiting->hide();
    window.statusBar()->addPermanentWidget(lbWaiting);

    FWriter = std::make_unique<TRecordWriter>(FConfig);
    connect(FWriter.get(), &TRecordWriter::StatusChanged, this, &TCheckRecords::OnStatus,
            Qt::QueuedConnection);
    // Said once, where the technician looks and where a station's log keeps it.
    connect(
        FWriter.get(), &TRecordWriter::Notice, this,
        [this](const QString& text) {
            std::fprintf(stderr, "pinvel: %s\n", text.toUtf8().constData());
            FWindow.statusBar()->showMessage(text);
        },
        Qt::QueuedConnection);
    // A reference kept nowhere is kept with the first record checked against it.
    connect(
        FWriter.get(), &TRecordWriter::ReferenceNotKept, this,
        [this](const QString& why) {
            FWindow.statusBar()->showMessage(
                tr("Эталон не сохранен в базе записей: %1").arg(why.trimmed()));
        },
        Qt::QueuedConnection);
    // An open journal shows a new record as soon as it is written.
    connect(
        FWriter.get(), &TRecordWriter::RecordWritten, this,
        [this] {
            if (FJournal && FJournal->Database())
                FJournal->Refresh();
        },
        Qt::QueuedConnection);
    FWriter->Start();
    FConfigProblem = problem;
    if (!problem.isEmpty())
        OnStatus(0, QString());
}

TCheckRecords::~TCheckRecords() {
    // What is still handed over goes to the station's file; no server is waited for.
    FWriter->Stop();
}

bool TCheckRecords::AskHarness() {
    QString serial = FSerial;
    QString oper = FOperator;
    const bool ok =
        AskDialog ? AskDialog(serial, oper) : TfmSerialPrompt::Ask(&FWindow, serial, oper);
    if (!ok)
        return false;
    FSerial = serial.trimmed();
    FOperator = oper.trimmed();
    FIni.WriteString(Section, OperatorKey, FOperator);
    return true;
}

bool TCheckRecords::BeforeVerify(const QString& projectPath, const TCheckPoints& points,
                                 const TReference& reference) {
    if (!AskHarness())
        return false;
    FProject = projectPath;
    TTestRecord taken;
    taken.TakeReference(reference, points);
    FReferenceSum = taken.ReferenceSum;
    FReferenceWires = taken.ReferenceWires;
    return true;
}

void TCheckRecords::AfterVerify(const TCheckResult& result) {
    RecordVerify(FProject, FReferenceSum, result);
}

void TCheckRecords::AfterWatch(const std::vector<TLatchedFault>& latched, long long checks) {
    RecordWatch(FProject, FReferenceSum, latched, checks);
}

TTestRecord TCheckRecords::RecordVerify(const QString& projectPath, const QString& referenceSum,
                                        const TCheckResult& result) {
    TTestRecord record = TTestRecord::Make(projectPath, referenceSum, FSerial, FOperator);
    if (referenceSum == FReferenceSum)
        record.ReferenceWires = FReferenceWires;
    record.ReferenceApproved = FReferenceApproved;
    record.TakeResult(result);
    Submit(record);
    return record;
}

TTestRecord TCheckRecords::RecordWatch(const QString& projectPath, const QString& referenceSum,
                                       const std::vector<TLatchedFault>& latched,
                                       long long checks) {
    TTestRecord record = TTestRecord::Make(projectPath, referenceSum, FSerial, FOperator);
    if (referenceSum == FReferenceSum)
        record.ReferenceWires = FReferenceWires;
    record.ReferenceApproved = FReferenceApproved;
    record.TakeLatched(latched, checks);
    Submit(record);
    return record;
}

void TCheckRecords::KeepReference(const QString& projectPath, const QByteArray& wires,
                                  bool learned) {
    const QString who = FOperator.isEmpty() ? qEnvironmentVariable("USER") : FOperator;
    FWriter->SubmitReference(TKeptReference::Make(wires, projectPath, who,
                                                  learned ? TKeptReference::TOrigin::Learned
                                                          : TKeptReference::TOrigin::Imported));
}

void TCheckRecords::Submit(TTestRecord record) {
    FWriter->Submit(std::move(record));
}

void TCheckRecords::RetryNow() {
    FWriter->RetryNow();
}

void TCheckRecords::OnStatus(int waiting, const QString& problem) {
    FWaiting = waiting;
    QString text;
    QString why = problem.trimmed();
    bool alarm = false;
    if (waiting > 0) {
        text = tr("Записей ждут отправки в общую базу: %1").arg(waiting);
    } else if (!why.isEmpty() && FWriter->Pending() > 0) {
        // Not even the station's file took it: the writer keeps it and tries again.
        text = tr("Запись проверки не сохранена");
        alarm = true;
    } else if (!FConfigProblem.isEmpty()) {
        text = tr("Записи проверок остаются на этой станции");
        why = FConfigProblem;
        alarm = true;
    }
    lbWaiting->setText(text);
    lbWaiting->setToolTip(why);
    lbWaiting->setStyleSheet(alarm ? QStringLiteral("color: #C00000") : QString());
    lbWaiting->setVisible(!text.isEmpty());
    emit WaitingChanged(waiting);
}

void TCheckRecords::ShowJournal() {
    if (!FJournal) {
        FJournal = new TfmJournal(FConfig, &FWindow);
        FJournal->setAttribute(Qt::WA_DeleteOnClose);
    } else {
        FJournal->Refresh();
    }
    FJournal->show();
    FJournal->raise();
    FJournal->activateWindow();
}
