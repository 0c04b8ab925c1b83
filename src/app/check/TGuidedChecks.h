// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TAssemblyGuide.h"
#include "TContactMarks.h"
#include "TFixtureCheck.h"
#include "TProbeSearch.h"

#include <QHash>
#include <QObject>
#include <QSize>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class ICheckHost;
class IHardJob;
class QAction;
class QMainWindow;
class TCheckController;
class TGuidancePanel;

// The checks that work beside the technician, in the menu "Проверка": guided assembly (F7), the
// probe that finds its net (F8) and the fixture's self-check. Each is a job of the tester's
// worker in place of its passes, as a check is; the window looks at its state on a timer that
// runs only while the job does, and never waits for the unit.
//
// Guided assembly shows the next wire on a panel and rings its two contacts on the connectors,
// ticks each wire as it goes in (a sound each), names a wrong connection at once and a wire
// that comes out again; when the last wire is in it ends and starts the check's verify, serial
// prompt and record as ever. The probe frames the net it touches and scrolls it into sight
// until ended. Esc, or the command's key again, ends either; nothing of them is saved.
class TGuidedChecks : public QObject {
    Q_OBJECT
  public:
    enum class TState { Idle, Assembly, Probe, Fixture };

    // Adds its actions to the check's menu.
    TGuidedChecks(QMainWindow& window, ICheckHost& host, TCheckController& check);
    ~TGuidedChecks() override;

    TState State() const { return FState; }
    bool Running() const { return FState != TState::Idle; }
    TGuidancePanel* Panel() const { return FPanel; }
    // The job under way (null when another or none runs).
    const TAssemblyGuide* Guide() const { return FGuide.get(); }
    const TProbeSearch* Probe() const { return FProbe.get(); }

    void SetAssembly(bool on);
    void SetProbe(bool on);
    void CheckFixture();
    // The job under way ends at once, with nothing after it (another check, another mode or
    // project, the program's end).
    void End();
    // A key of the tester's keyboard: Esc ends the job under way; while one runs the tester's
    // keys wait. True: the key was taken.
    bool KeyPressed(int key);

    // What a scripted run puts in place of the sound and the message boxes.
    void SetBeep(std::function<void()> beep) { FBeep = std::move(beep); }
    void SetPollMs(int ms);

    QAction* acAssembly = nullptr;
    QAction* acProbe = nullptr;
    QAction* acFixture = nullptr;

  signals:
    void StateChanged(TGuidedChecks::TState state);
    // The fixture's self-check is done (not when it was ended).
    void FixtureChecked(const TFixtureResult& result);

  private:
    // Tester mode, a worker that is not autonomous, no other check, tied contacts; false after
    // saying what is missing.
    bool CanStart(TCheckPoints& points);
    void Start(TState state, std::shared_ptr<IHardJob> job);
    void Poll();
    void PollAssembly();
    void PollProbe();
    void Finish();
    void ReturnToIdle();
    void SetState(TState state);
    void TakeKeys();
    QSet<TContactKey> KeysOf(const QStringList& contacts) const;
    void AttachMarks();
    void ShowFirst(const QStringList& contacts);
    // A wire in sounds always; a fault as the check's sound setting says.
    void Sound(bool fault);
    void FitWindow();

    QMainWindow& FWindow;
    ICheckHost& FHost;
    TCheckController& FCheck;
    TGuidancePanel* FPanel = nullptr;
    QTimer FPoll;
    TState FState = TState::Idle;
    std::shared_ptr<IHardJob> FJob;
    std::shared_ptr<TAssemblyGuide> FGuide;
    std::shared_ptr<TProbeSearch> FProbe;
    std::shared_ptr<TFixtureCheck> FFixture;
    QHash<QString, QList<TContactKey>> FKeys;
    long long FLooksShown = 0;
    long long FChangesShown = 0;
    int FTickedShown = 0;
    long long FSearchesShown = 0;
    std::optional<TProbeFind> FFound;
    bool FVerifyAfter = false;
    std::function<void()> FBeep;
    QSize FDesignMinimum; // the window's own minimum size
};
