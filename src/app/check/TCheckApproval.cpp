// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCheckApproval.h"

#include "AppMessageBox.h"
#include "AppWindowAction.h"
#include "CreateFormPlaced.h"
#include "TCheckPoints.h"
#include "TIniFile.h"
#include "TOffThreadCall.h"
#include "TRecordStore.h"
#include "TReference.h"
#include "TTestRecord.h"
#include "TfmApprove.h"

#include <QAction>
#include <QMainWindow>

namespace {
const QString Section = QStringLiteral("Check");
const QString SupervisorKey = QStringLiteral("Supervisor");
} // namespace

TCheckApproval::TCheckApproval(TIniFile& ini, const TRecordsConfig& config, QMainWindow& window,
                               TPinCost cost)
    : FIni(ini), FConfig(config), FWindow(window), FCost(cost),
      FRequired(TApprovals::Required(ini)) {
    acApprove = CreateWindowAction(window, this, "acApprove", tr("Утвердить эталон..."));
    connect(acApprove, &QAction::triggered, this, &TCheckApproval::Approve);
}

void TCheckApproval::Show() {
    emit StateChanged(FApproval ? FApproval->Text() : TApproval::NoneText(), FApproval.has_value());
}

bool TCheckApproval::BeforeVerify(const TCheckPoints& points, const TReference& reference) {
    if (FBusy)
        return false;
    const QString sum = TTestRecord::ReferenceSumOf(reference, points);
    if (const auto known = FKnown.constFind(sum); known != FKnown.cend()) {
        FApproval = *known;
        Show();
        return true;
    }
    std::optional<TApproval> found;
    QString problem;
    FBusy = true;
    TOffThreadCall::Run([this, &sum, &found, &problem] {
        TRecordStore store(FConfig);
        TApprovals approvals(store);
        found = approvals.Find(sum, &problem);
        return true;
    });
    FBusy = false;
    FApproval = found;
    if (found)
        FKnown.insert(sum, *found);
    Show();
    if (FApproval || !FRequired)
        return true;
    AppMessageBox(problem.isEmpty() ? TApprovals::RefusalText()
                                    : TApprovals::RefusalText() + QStringLiteral("\r\r") + problem,
                  TMsgKind::Warning);
    return false;
}

void TCheckApproval::Approve() {
    if (FBusy || !CurrentReference)
        return;
    QString project;
    TCheckPoints points;
    TReference reference;
    if (!CurrentReference(project, points, reference))
        return;
    const QString sum = TTestRecord::ReferenceSumOf(reference, points);
    QString supervisor = FIni.ReadString(Section, SupervisorKey, QString());
    QString pin;
    if (AskDialog) {
        if (!AskDialog(supervisor, pin))
            return;
    } else {
        TfmApprove dialog(project, sum, supervisor, &FWindow);
        CreateFormPlaced(&dialog);
        if (dialog.exec() != QDialog::Accepted)
            return;
        supervisor = dialog.Supervisor();
        pin = dialog.Pin();
    }
    FIni.WriteString(Section, SupervisorKey, supervisor.trimmed());
    TPinCheck check;
    TApproval made;
    FBusy = true;
    TOffThreadCall::Run([this, &sum, &supervisor, &pin, &check, &made] {
        TRecordStore store(FConfig);
        TApprovals approvals(store, FCost);
        check = approvals.Approve(sum, supervisor, pin, &made);
        return true;
    });
    FBusy = false;
    pin.fill(QLatin1Char('0')); // no copy of it left lying in memory longer than needed
    if (!check.Accepted()) {
        AppMessageBox(check.Text(), check.Verdict == TPinCheck::TVerdict::Failed
                                        ? TMsgKind::Error
                                        : TMsgKind::Warning);
        return;
    }
    FApproval = made;
    FKnown.insert(sum, made);
    Show();
    AppMessageBox(tr("Эталон %1.").arg(made.Text()), TMsgKind::Information);
}
