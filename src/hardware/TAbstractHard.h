// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IHardJob.h"
#include "IHardView.h"
#include "IUnitExchange.h"
#include "TColors.h"
#include "TGenerator.h"
#include "TSyncCaller.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

class TSootv;
class TSootvData;

// Raised in the worker when the user-interface thread cut a wait for the unit short because it
// needs the worker at rest at once: the pass is dropped, and this is no fault of the unit.
class EPassCut : public std::runtime_error {
  public:
    EPassCut() : std::runtime_error("pass cut short") {}
};
class TWorkPlace;
struct TContact;
struct TTesterSettings;

// The background worker of the tester mode. Each pass works out the level to drive on every
// tied pin of the unit from the contacts of its correspondence, sends the levels and the probe
// output, reads back what the settings ask for and shows the result through the view. It passes
// once per Resume, or back to back while the cycle is on, and otherwise rests at a pass boundary.
// The unit itself is reached through the abstract operations, which a unit's worker implements.
//
// Threads: the user-interface thread creates the worker, resumes and suspends it, sets its flags
// and changes the generator's lines; the worker reads the settings, the tester mode and the
// contacts (all atomics), writes the contacts' IndColor and reaches the user interface only
// through the view, by synchronous calls served on the user-interface thread.
class TAbstractHard : public IUnitExchange {
  public:
    // Correspondences beyond this many take part as well: the tables grow with the table.
    static constexpr int MaxSootv = 195;

    TAbstractHard(TTesterSettings& settings, IHardView& view);
    virtual ~TAbstractHard();
    TAbstractHard(const TAbstractHard&) = delete;
    TAbstractHard& operator=(const TAbstractHard&) = delete;

    // How long the user-interface thread lets a wait for the unit go on while it needs the worker
    // at rest, before it cuts the wait short: about a frame, so the window never freezes.
    static constexpr int UnitWaitGraceMs = 20;
    // After a cut, how long the rest may still take (a library that does not end a wait on
    // Close) before the hand-over is refused.
    static constexpr int CutRestMs = 1000;

    // The workspace and table the passes work on. The worker is brought to rest first; the
    // caller resumes it when it should go on. Answers false, and hands nothing over, when the
    // worker did not come to rest: the old model must then stay alive.
    bool SetModel(TWorkPlace* workPlace, TSootv* sootv);
    TWorkPlace* WorkPlace() const { return FWorkPlace.load(); }
    TSootv* Sootv() const { return FSootv.load(); }

    // Starts a pass (the thread itself at the first call) and lifts a suspend request. A resume
    // that comes while a pass runs earns one more pass.
    void Resume();
    // Asks the worker to rest at the end of the current pass without waiting for it. A second
    // request changes nothing.
    void Suspend();
    // Suspend, then wait until no pass runs, serving the worker's calls to the user interface
    // meanwhile. Answers true when the worker rests (or never ran). Called from inside one of the
    // view's operations it only records the request and answers false: the worker rests as soon
    // as that call returns. A wait for the unit that has gone on for UnitWaitGraceMs is cut short
    // (CutShort); the wait ends after timeoutMs without a sign of progress, or CutRestMs after a
    // cut.
    bool BringToRest(int timeoutMs = 10000);
    // The user-interface thread runs one of the worker's calls to the view right now: the worker
    // waits for it and comes to rest as soon as it returns.
    bool InViewCall() const { return FCaller.InTask(); }
    // Waits (serving the view's calls) until the worker rests by itself, without a request.
    bool WaitForRest(int timeoutMs = 10000);
    bool IsResting() const;
    // Wakes a worker that waits for the tester mode or sits in the autonomous mode, so that a
    // changed setting takes effect at once.
    void NotifySettingsChanged();
    // Ends the worker's loop and joins its thread; calls still waiting for the user interface are
    // released and a wait for the unit is cut short. Called once at program end (after
    // StopUnit); later calls do nothing.
    void Shutdown();
    // Ends a wait for the unit in progress now and drops the pass without the recovery dialogue.
    // Called on the user-interface thread (BringToRest does it by itself).
    void CutShort();
    // A cut is under way: a failed exchange is the cut, not a fault of the unit. Cleared at the
    // start of the next pass.
    bool CutRequested() const { return FCutShort.load(); }
    // The worker waits for the unit right now (for a reply, or for its hello).
    bool WaitsForUnit() const { return FUnitWaitSince.load() != 0; }

    // A job in place of the passes (the harness check): the worker takes it at its next pass
    // boundary, drives the probe output low, runs its steps in the tester mode until it is done
    // or ended, and rests after it. Suspend and Resume act between its steps as between passes;
    // a failure of the unit goes through the recovery, and the job goes on afterwards. Called
    // on any thread.
    void RunJob(std::shared_ptr<IHardJob> job);
    // The job ends after its current step (the worker rests then); nothing when there is none.
    void EndJob();
    bool HasJob() const;

    // Fills the pin list from the table; pin codes are reduced to 0..94 for a unit that does not
    // take them unchanged.
    void FillPins();
    std::vector<std::uint16_t> Pins() const;

    // Unit operations (the unit's worker implements them).
    virtual void WriteLevels(const std::uint8_t* levels, const std::uint16_t* pins, int count) = 0;
    virtual void ReadLevels(const std::uint16_t* pins, std::uint8_t* levels, int count) = 0;
    virtual void WriteReadLevels(const std::uint16_t* pins, std::uint8_t* levels, int count) = 0;
    virtual void SetAutonomous(int mode) = 0;
    virtual void WriteZond(std::uint8_t level, int count, const std::uint16_t* pins,
                           std::uint8_t* levels) = 0;
    virtual std::uint8_t ReadZondIn() = 0;
    virtual bool InitUnit() = 0;
    virtual void StopUnit() = 0;
    // The round trip a job makes (command 21 with the table's pin codes; IUnitExchange): a reply
    // that carries no levels is a failure here, whatever the passes make of it.
    void WriteRead(const std::vector<std::uint16_t>& pins, const std::vector<std::uint8_t>& levels,
                   std::vector<std::uint8_t>& read) override = 0;

    // Flags the user-interface thread sets: end the cycle after the current pass; re-open the
    // unit at the next pass (the check-connection command).
    std::atomic<bool> FStopAfterPass{false};
    std::atomic<bool> FMustRepair{false};
    // The unit works on its own without indication (both reads off and the user agreed).
    std::atomic<bool> FAutonomous{false};
    // Pin codes go to the unit unchanged (true) or reduced to 0..94.
    std::atomic<bool> FRawPins{true};
    TGenerator FGenerator;

    // What the last pass left (read them while the worker rests).
    TColor FZondInColor = Colors::clBlack;
    TColor FZondOutColor = Colors::clBlack;
    std::int32_t FReplyCode = 0;
    const std::vector<std::uint8_t>& Levels() const { return FLevels; }
    // Passes made since creation (a pass that reached its end).
    std::uint64_t Passes() const { return FPasses.load(); }

  protected:
    // The pass loop; a unit's worker wraps it in its recovery. It ends by a raised failure or,
    // with ECallCancelled, at program end.
    virtual void Execute();

    // The level driven on correspondence i's pin.
    std::uint8_t OutputLevel(int i);
    void SwitchAutonomous(bool on);
    void ShowLevels();
    void ShowSootv(int i, std::uint8_t level);
    void ShowZondState();

    // Synchronous calls to the view.
    bool Message(const QString& text, THardMessage kind);
    void CallView(std::function<void(IHardView&)> fn);
    bool IsTesterMode() const;
    bool OnWorkerThread() const { return std::this_thread::get_id() == FWorkerId.load(); }

    // Marks the worker as waiting for the unit while it lives, so that the user-interface thread
    // can tell a wait it may cut short from a pass that is merely busy.
    class TUnitWait {
      public:
        explicit TUnitWait(TAbstractHard& hard);
        ~TUnitWait();
        TUnitWait(const TUnitWait&) = delete;
        TUnitWait& operator=(const TUnitWait&) = delete;

      private:
        TAbstractHard& FHard;
    };
    // Ends the wait for the unit now in progress on the worker thread at once (a unit's worker
    // closes its port); runs on the user-interface thread.
    virtual void InterruptUnit() {}
    // Runs at the start of every pass in the tester mode (a unit's worker opens its port again
    // after a cut).
    virtual void BeforePass() {}

    // Rest at a pass boundary when a suspend is requested or, with selfSuspend, until the next
    // Resume. Raises ECallCancelled at program end.
    void RestPoint(bool selfSuspend);
    // Waits without a pass until resumed, a setting changes, a suspend is requested or a short
    // while has passed (instead of going round at once).
    void IdleWait();
    // The contact of a table entry; null when the entry names no contact of the workspace.
    TContact* EntryContact(const TSootvData& record, int entry) const;

    TTesterSettings& FSettings;
    IHardView& FView;
    TSyncCaller FCaller;
    std::vector<std::uint16_t> FPassPins; // the pins of the running pass
    std::vector<std::uint8_t> FLevels;    // per correspondence, then the probe input
    std::vector<TPaintItem> FPaintBatch;  // repaints of the running ShowLevels

  private:
    void ThreadMain();
    void HandOver();
    // One pass; answers whether another follows at once (cycle, autonomous watch, stop request)
    // rather than a rest until the next Resume.
    bool Pass();
    void PlainExchange(bool readRaz, bool readZond);
    bool WaitRest(bool request, int timeoutMs);
    void TakePins(int count);

    std::shared_ptr<IHardJob> FJob; // under FLock
    std::uint64_t FJobSerial = 0;   // under FLock: one more for every job handed over
    std::uint64_t FJobReady = 0;    // the worker's: the job whose probe output went low

    std::atomic<TWorkPlace*> FWorkPlace{nullptr};
    std::atomic<TSootv*> FSootv{nullptr};

    mutable std::mutex FPinsLock;
    std::vector<std::uint16_t> FPins;

    mutable std::mutex FLock;
    std::condition_variable FCond;
    std::thread FThread;
    std::atomic<std::thread::id> FWorkerId{};
    bool FStarted = false;
    bool FSuspendRequested = false;
    bool FRunRequested = false;
    bool FResting = true;
    bool FShutdown = false;
    bool FThreadDone = false;
    std::uint64_t FWakes = 0;
    std::atomic<std::uint64_t> FPasses{0};
    std::atomic<bool> FCutShort{false};
    // When the current wait for the unit began (steady clock, nanoseconds); 0 when none runs.
    std::atomic<std::int64_t> FUnitWaitSince{0};

    // The probe colours last handed to the view, to skip a hand-over that would change nothing;
    // a Resume makes the next pass show them again.
    std::atomic<bool> FViewStale{true};
    TColor FShownIn = 0;
    TColor FShownOut = 0;
};
