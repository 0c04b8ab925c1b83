// SPDX-License-Identifier: GPL-3.0-or-later
#include "TGuidedChecks.h"

#include "AppMessageBox.h"
#include "AppWindowAction.h"
#include "ICheckHost.h"
#include "TAbstractHard.h"
#include "TCheckController.h"
#include "TGuidancePanel.h"
#include "TSootv.h"
#include "TSootvData.h"
#include "TWireList.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>

namespace {

constexpr int KeyEscape = 27;

} // namespace

TGuidedChecks::TGuidedChecks(QMainWindow& window, ICheckHost& host, TCheckController& check)
    : FWindow(window), FHost(host), FCheck(check) {
    setObjectName(QStringLiteral("GuidedChecks"));
    FDesignMinimum = window.minimumSize();
    FPanel = new TGuidancePanel(&window);
    window.addDockWidget(Qt::TopDockWidgetArea, FPanel);
    FPanel->hide();
    connect(FPanel, &TGuidancePanel::EscapePressed, this, [this] { KeyPressed(KeyEscape); });
    connect(FPanel, &QDockWidget::visibilityChanged, this, &TGuidedChecks::FitWindow);
    connect(FPanel, &QDockWidget::dockLocationChanged, this, &TGuidedChecks::FitWindow);

    acAssembly = CreateWindowAction(window, this, "acAssembly", tr("Сборка по эталону"),
                                    QKeySequence(Qt::Key_F7));
    acAssembly->setCheckable(true);
    acProbe =
        CreateWindowAction(window, this, "acProbe", tr("Найти зондом"), QKeySequence(Qt::Key_F8));
    acProbe->setCheckable(true);
    acFixture = CreateWindowAction(window, this, "acFixture", tr("Проверить адаптер"));
    connect(acAssembly, &QAction::toggled, this, &TGuidedChecks::SetAssembly);
    connect(acProbe, &QAction::toggled, this, &TGuidedChecks::SetProbe);
    connect(acFixture, &QAction::triggered, this, &TGuidedChecks::CheckFixture);
    QMenu* menu = check.Menu();
    QAction* before = menu->actions().value(menu->actions().indexOf(check.acWatch) + 1);
    menu->insertAction(before, acAssembly);
    menu->insertAction(before, acProbe);
    menu->insertAction(before, acFixture);

    // Another check takes the unit: the guidance gives it up.
    connect(&check, &TCheckController::StateChanged, this, [this](TCheckController::TState s) {
        if (s != TCheckController::TState::Idle)
            End();
    });
    FPoll.setInterval(30);
    connect(&FPoll, &QTimer::timeout, this, &TGuidedChecks::Poll);
}

TGuidedChecks::~TGuidedChecks() {
    End();
    delete FPanel;
}

// The window is never smaller than its design and what the docks in it need, so the
// connectors and the tester panel keep their room beside the guidance.
void TGuidedChecks::FitWindow() {
    QLayout* layout = FWindow.layout();
    if (layout == nullptr)
        return;
    layout->invalidate();
    FWindow.setMinimumSize(FDesignMinimum.expandedTo(layout->totalMinimumSize()));
}

void TGuidedChecks::SetPollMs(int ms) {
    FPoll.setInterval(std::max(1, ms));
}

bool TGuidedChecks::CanStart(TCheckPoints& points) {
    if (Running() || FCheck.Busy())
        return false;
    TAbstractHard* hard = FHost.Worker();
    if (!FHost.IsTesterMode() || hard == nullptr || FHost.WorkPlace() == nullptr ||
        FHost.Sootv() == nullptr) {
        AppMessageBox(
            QCoreApplication::translate("TCheckController",
                                        "Проверка жгута работает в режиме тестера, когда блок "
                                        "диагностики подключен."),
            TMsgKind::Warning);
        return false;
    }
    if (hard->FAutonomous) {
        AppMessageBox(QCoreApplication::translate(
                          "TCheckController",
                          "Блок диагностики работает автономно. Включите «Читать разъем» "
                          "или «Читать зонд» и повторите команду."),
                      TMsgKind::Warning);
        return false;
    }
    points = TCheckPoints::FromProject(*FHost.WorkPlace(), *FHost.Sootv());
    if (points.Count() == 0) {
        AppMessageBox(
            QCoreApplication::translate("TCheckController",
                                        "В проекте нет контактов, привязанных к выводам блока "
                                        "диагностики: проверять нечего."),
            TMsgKind::Warning);
        return false;
    }
    return true;
}

void TGuidedChecks::SetAssembly(bool on) {
    if (!on) {
        if (FState == TState::Assembly && FGuide != nullptr) {
            FVerifyAfter = false;
            FGuide->Stop();
        }
        return;
    }
    if (FState == TState::Assembly)
        return;
    TCheckPoints points;
    std::optional<TReference> reference;
    if (CanStart(points)) {
        const QString wires = FCheck.WiresPath();
        TReference loaded;
        std::vector<TWireListError> errors;
        if (wires.isEmpty() || !QFileInfo::exists(wires))
            AppMessageBox(QCoreApplication::translate(
                              "TCheckController",
                              "Для этого проекта нет эталона. Снимите эталон с исправного "
                              "жгута («Проверка / Снять эталон») или загрузите перечень "
                              "проводов."),
                          TMsgKind::Warning);
        else if (!TWireList::Load(wires, points, loaded, errors))
            AppMessageBox(TWireList::ErrorText(wires, errors), TMsgKind::Warning);
        else
            reference = std::move(loaded);
    }
    if (!reference) {
        const QSignalBlocker quiet(acAssembly);
        acAssembly->setChecked(false);
        return;
    }
    FGuide = std::make_shared<TAssemblyGuide>(std::move(points), std::move(*reference));
    QStringList wires;
    for (const TGuideWire& w : FGuide->WireList())
        wires << w.From + QStringLiteral(" — ") + w.To;
    FPanel->ShowAssembly(wires);
    FLooksShown = 0;
    FChangesShown = 0;
    FTickedShown = 0;
    FVerifyAfter = false;
    Start(TState::Assembly, FGuide);
}

void TGuidedChecks::SetProbe(bool on) {
    if (!on) {
        if (FState == TState::Probe && FProbe != nullptr)
            FProbe->Stop();
        return;
    }
    if (FState == TState::Probe)
        return;
    TCheckPoints points;
    if (!CanStart(points)) {
        const QSignalBlocker quiet(acProbe);
        acProbe->setChecked(false);
        return;
    }
    // The reference's nets when the project has a good one; the pins themselves otherwise.
    TReference reference;
    const QString wires = FCheck.WiresPath();
    std::vector<TWireListError> errors;
    if (!wires.isEmpty() && QFileInfo::exists(wires) &&
        !TWireList::Load(wires, points, reference, errors))
        reference = TReference();
    FProbe = std::make_shared<TProbeSearch>(std::move(points), reference);
    FPanel->ShowProbe();
    FSearchesShown = 0;
    FFound.reset();
    Start(TState::Probe, FProbe);
}

void TGuidedChecks::CheckFixture() {
    TCheckPoints points;
    if (!CanStart(points))
        return;
    FFixture = std::make_shared<TFixtureCheck>(std::move(points));
    Start(TState::Fixture, FFixture);
}

void TGuidedChecks::Start(TState state, std::shared_ptr<IHardJob> job) {
    for (QAction* a : {acAssembly, acProbe}) {
        const QSignalBlocker quiet(a);
        a->setChecked((a == acAssembly && state == TState::Assembly) ||
                      (a == acProbe && state == TState::Probe));
    }
    TakeKeys();
    AttachMarks();
    FCheck.Marks().Clear();
    FJob = std::move(job);
    SetState(state);
    if (state != TState::Fixture) {
        FPanel->show();
        FPanel->raise();
    }
    FHost.SetTesterControlsEnabled(false);
    FHost.Worker()->RunJob(FJob);
    FPoll.start();
}

// The contacts of the project by name, as the workspace addresses them.
void TGuidedChecks::TakeKeys() {
    FKeys.clear();
    const TWorkPlace& wp = *FHost.WorkPlace();
    const TSootv& sootv = *FHost.Sootv();
    for (int k = 0; k < sootv.Count(); ++k) {
        const TSootvData& record = sootv.Item(k);
        for (int i = 0; i < record.Count(); ++i) {
            const int index = record.FRazemIndexes[std::size_t(i)];
            if (wp.Razem(index) == nullptr)
                continue;
            const TCellPos at = record.FContacts[std::size_t(i)];
            FKeys[wp.TiedContactName(record, i)].append({index, at.Col, at.Row & ~1});
        }
    }
}

QSet<TContactKey> TGuidedChecks::KeysOf(const QStringList& contacts) const {
    QSet<TContactKey> keys;
    for (const QString& name : contacts)
        for (const TContactKey& key : FKeys.value(name))
            keys.insert(key);
    return keys;
}

void TGuidedChecks::AttachMarks() {
    if (TWorkPlaceView* view = FHost.WorkPlaceView())
        view->SetMarks(&FCheck.Marks());
}

void TGuidedChecks::ShowFirst(const QStringList& contacts) {
    TWorkPlaceView* view = FHost.WorkPlaceView();
    if (view == nullptr)
        return;
    for (const QString& name : contacts)
        for (const TContactKey& key : FKeys.value(name)) {
            view->ShowContact(key.Razem, key.Col, key.Row);
            return;
        }
}

void TGuidedChecks::Poll() {
    if (FJob == nullptr) {
        FPoll.stop();
        return;
    }
    if (!FHost.IsTesterMode()) {
        End();
        return;
    }
    if (FState == TState::Assembly)
        PollAssembly();
    else if (FState == TState::Probe)
        PollProbe();
    if ((FGuide && FGuide->Done()) || (FProbe && FProbe->Done()) || (FFixture && FFixture->Done()))
        Finish();
}

void TGuidedChecks::PollAssembly() {
    const TAssemblyState state = FGuide->State();
    if (state.Looks == FLooksShown || FGuide->Done())
        return;
    const bool first = FLooksShown == 0;
    FLooksShown = state.Looks;
    // Most looks find the harness as it was: nothing to show then.
    if (!first && state.Changes == FChangesShown)
        return;
    FPanel->SetTicks(state.Ticked, state.Next);
    const int ticked = state.TickedCount();
    if (ticked > FTickedShown)
        Sound(false);
    FTickedShown = ticked;
    TContactMarks& marks = FCheck.Marks();
    marks.SetFaulty(KeysOf(state.WrongContacts));
    QStringList next;
    if (state.Next >= 0) {
        const TGuideWire& w = FGuide->WireList()[std::size_t(state.Next)];
        next << w.From << w.To;
    }
    marks.SetGuided(state.Wrong.isEmpty() ? KeysOf(next) : QSet<TContactKey>());
    if (state.Complete()) {
        FPanel->SetLine(tr("Все провода вставлены: проверка жгута"), TGuidancePanel::TTone::Done);
        FVerifyAfter = true;
        FGuide->Stop();
        return;
    }
    FPanel->SetLine(FGuide->Line(state), state.Wrong.isEmpty() ? TGuidancePanel::TTone::Normal
                                                               : TGuidancePanel::TTone::Wrong);
    // Into sight once for each change, so the technician may scroll away meanwhile.
    ShowFirst(state.Wrong.isEmpty() ? next : state.WrongContacts);
    FChangesShown = state.Changes;
}

void TGuidedChecks::PollProbe() {
    if (FProbe->Searches() == FSearchesShown)
        return;
    FSearchesShown = FProbe->Searches();
    const TProbeFind find = FProbe->Latest();
    if (FFound && FFound->SamePlace(find))
        return;
    FFound = find;
    FPanel->SetLine(find.Text(), find.Where == TProbeFind::TWhere::Unclear
                                     ? TGuidancePanel::TTone::Wrong
                                     : TGuidancePanel::TTone::Normal);
    FCheck.Marks().SetPicked(KeysOf(find.Contacts));
    ShowFirst(find.Contacts);
}

void TGuidedChecks::Finish() {
    const TState was = FState;
    const bool verify = FVerifyAfter;
    std::shared_ptr<TFixtureCheck> fixture = FFixture;
    ReturnToIdle();
    FCheck.Marks().SetGuided({});
    if (was == TState::Probe)
        FCheck.Marks().SetPicked({});
    if (!verify)
        FPanel->hide();
    if (verify) {
        // The assembled harness is verified as any other, prompt and record included; its
        // RunJob wakes the worker.
        FCheck.Verify();
        if (!FCheck.Busy())
            FHost.Worker()->Resume();
        return;
    }
    if (TAbstractHard* hard = FHost.Worker())
        hard->Resume();
    if (was == TState::Fixture && fixture != nullptr && !fixture->Cancelled()) {
        const std::optional<TFixtureResult> result = fixture->Result();
        if (!result)
            return;
        emit FixtureChecked(*result);
        if (result->Good()) {
            AppMessageBox(tr("Адаптер исправен: каждый вывод сам по себе, посторонних "
                             "потенциалов нет (выводов %1)")
                              .arg(fixture->Points().Count()),
                          TMsgKind::Information);
            return;
        }
        QStringList lines{tr("Неисправность адаптера (жгут должен быть отключен):")};
        QStringList contacts;
        for (const TFixtureFault& f : result->Faults) {
            lines << f.Text(fixture->Points());
            contacts << fixture->Points().Contacts(f.Points);
        }
        FCheck.Marks().SetFaulty(KeysOf(contacts));
        Sound(true);
        AppMessageBox(lines.join(QLatin1Char('\r')), TMsgKind::Warning);
    }
}

void TGuidedChecks::End() {
    if (FJob == nullptr)
        return;
    if (FGuide)
        FGuide->Stop();
    if (FProbe)
        FProbe->Stop();
    if (FFixture)
        FFixture->Cancel();
    if (TAbstractHard* hard = FHost.Worker())
        hard->EndJob();
    ReturnToIdle();
    FCheck.Marks().SetGuided({});
    FCheck.Marks().SetPicked({});
    FPanel->hide();
}

void TGuidedChecks::ReturnToIdle() {
    FPoll.stop();
    FJob.reset();
    FGuide.reset();
    FProbe.reset();
    FFixture.reset();
    FVerifyAfter = false;
    SetState(TState::Idle);
    FHost.SetTesterControlsEnabled(true);
    for (QAction* a : {acAssembly, acProbe}) {
        const QSignalBlocker quiet(a);
        a->setChecked(false);
    }
}

void TGuidedChecks::SetState(TState state) {
    if (state == FState)
        return;
    FState = state;
    emit StateChanged(state);
}

bool TGuidedChecks::KeyPressed(int key) {
    if (!Running())
        return false;
    if (key == KeyEscape) {
        if (FState == TState::Assembly)
            SetAssembly(false);
        else if (FState == TState::Probe)
            SetProbe(false);
        else if (FFixture)
            FFixture->Cancel();
    }
    return true;
}

void TGuidedChecks::Sound(bool fault) {
    if (fault && !FCheck.SoundOn())
        return;
    if (FBeep)
        FBeep();
    else
        QApplication::beep();
}
