// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCheckRun.h"

#include "AppMessageBox.h"
#include "ICheckHost.h"
#include "TAbstractHard.h"
#include "TCheckResultsPanel.h"
#include "TErrors.h"
#include "TReferenceReplace.h"
#include "TSootv.h"
#include "TWireList.h"
#include "TWorkPlace.h"

#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace {

// A message of several lines (the message box breaks them at '\r').
QString Lines(const QStringList& lines) {
    return lines.join(QLatin1Char('\r'));
}

QString FaultLines(const std::vector<TFault>& faults) {
    QStringList lines;
    for (const TFault& f : faults)
        lines << f.Text();
    return lines.join(QLatin1Char('\r'));
}

} // namespace

void TCheckRun::Start(TCheckJob::TKind kind, TCheckPoints points, TReference reference) {
    TAbstractHard* hard = FController.FHost.Worker();
    // The contacts by name, for the marks: from the table, as the check names them.
    FController.FKeys.clear();
    const TWorkPlace& wp = *FController.FHost.WorkPlace();
    const TSootv& sootv = *FController.FHost.Sootv();
    for (int k = 0; k < sootv.Count(); ++k) {
        const TSootvData& record = sootv.Item(k);
        for (int i = 0; i < record.Count(); ++i) {
            const int index = record.FRazemIndexes[std::size_t(i)];
            if (wp.Razem(index) == nullptr)
                continue;
            const TCellPos at = record.FContacts[std::size_t(i)];
            FController.FKeys[wp.TiedContactName(record, i)].append({index, at.Col, at.Row & ~1});
        }
    }
    FController.ClearMarks();
    FController.FExpectedTrips = kind == TCheckJob::TKind::Learn
                                     ? points.Count() + 1
                                     : THarnessCheck::FastRoundTrips(reference.NetCount());
    FController.FJob = std::make_shared<TCheckJob>(kind, std::move(points), std::move(reference));
    FController.FStarted = QDateTime::currentDateTime();
    FController.FLatchedShown = 0;
    SetState(kind == TCheckJob::TKind::Learn    ? TCheckController::TState::Learning
             : kind == TCheckJob::TKind::Verify ? TCheckController::TState::Verifying
                                                : TCheckController::TState::Watching);
    if (kind != TCheckJob::TKind::Learn) {
        FController.FPanel->ShowRunning(kind == TCheckJob::TKind::Watch);
        FController.ShowPanel();
    }
    FController.FHost.SetTesterControlsEnabled(false);
    FController.btCancel->setText(kind == TCheckJob::TKind::Watch ? tr("Стоп") : tr("Отмена"));
    FController.btCancel->setEnabled(true);
    ShowProgress();
    FController.lbProgress->show();
    FController.pbProgress->setVisible(kind != TCheckJob::TKind::Watch);
    FController.btCancel->show();
    // The worker takes the job at the end of its pass; the passes wait meanwhile.
    hard->RunJob(FController.FJob);
    FController.FPoll.start();
}

void TCheckRun::ShowProgress() {
    if (FController.FJob == nullptr)
        return;
    switch (FController.FJob->Kind()) {
    case TCheckJob::TKind::Learn:
    case TCheckJob::TKind::Verify:
        FController.lbProgress->setText(FController.FJob->Kind() == TCheckJob::TKind::Learn
                                            ? tr("Снятие эталона...")
                                            : tr("Проверка жгута..."));
        FController.pbProgress->setRange(0, std::max(1, FController.FExpectedTrips));
        FController.pbProgress->setValue(
            int(std::min<long long>(FController.FJob->RoundTrips(), FController.FExpectedTrips)));
        break;
    case TCheckJob::TKind::Watch:
        FController.lbProgress->setText(tr("Слежение: проверок %1, отклонений %2")
                                            .arg(FController.FJob->Watch().Checks())
                                            .arg(FController.FLatchedShown));
        break;
    }
}

void TCheckRun::Poll() {
    if (FController.FJob == nullptr) {
        FController.FPoll.stop();
        return;
    }
    // The recovery left the tester mode: the check is over.
    if (!FController.FHost.IsTesterMode()) {
        EndCheck();
        return;
    }
    if (FController.FJob->Kind() == TCheckJob::TKind::Watch) {
        const TContinuousCheck& watch = FController.FJob->Watch();
        const std::vector<TLatchedFault> latched = watch.Latched();
        ShowLatched(latched);
        FController.FPanel->ShowWatch(latched, watch.Checks(), watch.CleanChecks(),
                                      FController.FStarted);
    }
    ShowProgress();
    if (FController.FJob->Done())
        Finish();
}

// A watch's faults latched since the last look: marked, and the bell for the new ones.
void TCheckRun::ShowLatched(const std::vector<TLatchedFault>& latched) {
    if (latched.size() <= FController.FLatchedShown)
        return;
    std::vector<TFault> faults;
    for (const TLatchedFault& l : latched)
        faults.push_back(l.Fault);
    FController.ShowMarks(FController.KeysOf(faults));
    FController.FLatchedShown = latched.size();
    FController.Sound();
}

// The window as it is between checks: no progress, the tester's controls back, the watch off.
void TCheckRun::ReturnToIdle() {
    FController.FPoll.stop();
    SetState(TCheckController::TState::Idle);
    FController.lbProgress->hide();
    FController.pbProgress->hide();
    FController.btCancel->hide();
    FController.FHost.SetTesterControlsEnabled(true);
    const QSignalBlocker quiet(FController.acWatch);
    FController.acWatch->setChecked(false);
}

void TCheckRun::Finish() {
    std::shared_ptr<TCheckJob> job = std::move(FController.FJob);
    ReturnToIdle();
    // The tester goes on as it was: the cycle, or one pass that shows the levels again.
    if (TAbstractHard* hard = FController.FHost.Worker())
        hard->Resume();

    const QDateTime now = QDateTime::currentDateTime();
    switch (job->Kind()) {
    case TCheckJob::TKind::Learn: {
        const std::optional<TLearnResult> learnt = job->Learnt();
        if (job->Cancelled() || !learnt)
            return;
        if (!learnt->Learnt()) {
            FController.ShowMarks(FController.KeysOf(learnt->Faults));
            AppMessageBox(Lines({tr("Эталон не снят: эти контакты читают единицу, когда на них "
                                    "ничего не подается."),
                                 FaultLines(learnt->Faults)}),
                          TMsgKind::Warning);
            return;
        }
        if (!TReferenceReplace::Confirm(
                FController.FLearnPath, learnt->Reference, job->Points(),
                TCheckController::tr("Заменить его эталоном, снятым с подключенного жгута?")))
            return;
        try {
            TWireList::Save(FController.FLearnPath, learnt->Reference, job->Points());
        } catch (const EPinvel& e) {
            AppMessageBox(e.Message(), TMsgKind::Error);
            return;
        }
        emit FController.ReferenceWritten(FController.FHost.ProjectFile(),
                                          TWireList::ToCsv(learnt->Reference, job->Points()), true);
        AppMessageBox(Lines({tr("Эталон снят: цепей %1. Он записан в перечень проводов:")
                                 .arg(learnt->Reference.NetCount()),
                             QDir::toNativeSeparators(FController.FLearnPath)}),
                      TMsgKind::Information);
        return;
    }
    case TCheckJob::TKind::Verify: {
        const std::optional<TCheckResult> result = job->Verified();
        if (job->Cancelled() || !result) {
            FController.FPanel->ShowCancelled();
            return;
        }
        FController.FPanel->ShowVerified(*result, now);
        FController.ShowPanel();
        FController.ShowMarks(FController.KeysOf(result->Faults));
        if (!result->Good())
            FController.Sound();
        emit FController.VerifyFinished(*result, now);
        return;
    }
    case TCheckJob::TKind::Watch: {
        const TContinuousCheck& watch = job->Watch();
        const std::vector<TLatchedFault> latched = watch.Latched();
        FController.FPanel->ShowWatch(latched, watch.Checks(), watch.CleanChecks(),
                                      FController.FStarted, now);
        ShowLatched(latched);
        emit FController.WatchFinished(latched, watch.Checks(), FController.FStarted, now);
        return;
    }
    }
}

void TCheckRun::EndCheck() {
    if (FController.FJob == nullptr)
        return;
    std::shared_ptr<TCheckJob> job = std::move(FController.FJob);
    job->Cancel();
    job->Stop();
    if (TAbstractHard* hard = FController.FHost.Worker())
        hard->EndJob();
    const TCheckController::TState was = FController.FState;
    ReturnToIdle();
    if (was != TCheckController::TState::Learning)
        FController.FPanel->ShowCancelled();
}

void TCheckRun::SetState(TCheckController::TState state) {
    if (state == FController.FState)
        return;
    FController.FState = state;
    FController.UpdateActions();
    emit FController.StateChanged(state);
}
