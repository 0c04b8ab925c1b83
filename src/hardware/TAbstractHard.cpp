// SPDX-License-Identifier: GPL-3.0-or-later
#include "TAbstractHard.h"

#include "TErrors.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TTesterSettings.h"
#include "TWorkPlace.h"

#include <QCoreApplication>
#include <chrono>
#include <memory>

namespace {

// How long a worker that has nothing to do (no tester mode, autonomous unit) sleeps before it
// looks at the settings again when nobody wakes it.
constexpr auto IdlePoll = std::chrono::milliseconds(100);

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TAbstractHard)
};

std::uint8_t ShownLevel(TColor c) {
    if (c == Colors::clRed)
        return 1;
    if (c == Colors::clGreen)
        return 0;
    return 3;
}

} // namespace

TAbstractHard::TAbstractHard(TTesterSettings& settings, IHardView& view)
    : FSettings(settings), FView(view) {
    FGenerator.SetLines(0);
    FLevels.resize(1);
    // A worker's call to the user interface must wake a user-interface thread that waits for the
    // worker to rest, so that it serves the call instead of waiting for ever.
    FCaller.SetPostedHook([this] {
        { std::lock_guard lock(FLock); }
        FCond.notify_all();
    });
}

TAbstractHard::~TAbstractHard() {
    Shutdown();
}

bool TAbstractHard::SetModel(TWorkPlace* workPlace, TSootv* sootv) {
    // The old workspace may be destroyed right after this call: never hand over while a pass
    // runs. From inside a call to the view the worker stands still until that call is over.
    if (!BringToRest() && !OnWorkerThread() && !FCaller.InTask())
        return false;
    std::lock_guard lock(FLock);
    FWorkPlace = workPlace;
    FSootv = sootv;
    return true;
}

// ---- rest and resume ----

void TAbstractHard::Resume() {
    std::lock_guard lock(FLock);
    if (FShutdown)
        return;
    FSuspendRequested = false;
    FRunRequested = true;
    ++FWakes;
    FViewStale = true;
    if (!FStarted) {
        FStarted = true;
        FThread = std::thread(&TAbstractHard::ThreadMain, this);
    }
    // From here on the worker counts as busy, so that a wait for its rest waits for this pass.
    if (!FThreadDone)
        FResting = false;
    FCond.notify_all();
}

void TAbstractHard::Suspend() {
    std::lock_guard lock(FLock);
    FSuspendRequested = true;
    FRunRequested = false;
    FCond.notify_all();
}

bool TAbstractHard::BringToRest(int timeoutMs) {
    return WaitRest(true, timeoutMs);
}

bool TAbstractHard::WaitForRest(int timeoutMs) {
    return WaitRest(false, timeoutMs);
}

bool TAbstractHard::WaitRest(bool request, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    std::unique_lock lock(FLock);
    if (request) {
        FSuspendRequested = true;
        FRunRequested = false;
        FCond.notify_all();
    }
    if (!FStarted || FResting)
        return true;
    // The worker waits for this very thread (a call of the view) or asks itself: it rests as soon
    // as that call is over.
    if (OnWorkerThread() || FCaller.InTask())
        return false;
    const auto span = std::chrono::milliseconds(timeoutMs);
    const auto grace = std::chrono::milliseconds(UnitWaitGraceMs);
    auto deadline = Clock::now() + span;
    bool cut = false;
    while (!FResting) {
        if (FCaller.HasPending()) {
            lock.unlock();
            FCaller.ServePending();
            lock.lock();
            if (!cut)
                deadline = Clock::now() + span;
            continue;
        }
        const auto now = Clock::now();
        auto wake = deadline;
        if (request && !cut) {
            // A unit that is slow to answer must not hold the window: past the grace its wait is
            // cut short. Until then look again every grace period, since a pass may start such a
            // wait at any moment.
            const std::int64_t since = FUnitWaitSince.load();
            const auto began = Clock::time_point(Clock::duration(since));
            if (since != 0 && now - began >= grace) {
                lock.unlock();
                CutShort();
                lock.lock();
                cut = true;
                deadline = std::min(deadline, Clock::now() + std::chrono::milliseconds(CutRestMs));
                continue;
            }
            wake = std::min(wake, (since != 0 ? began : now) + grace);
        }
        if (FCond.wait_until(lock, wake) == std::cv_status::timeout && !FResting &&
            !FCaller.HasPending() && Clock::now() >= deadline)
            return false;
    }
    return true;
}

void TAbstractHard::CutShort() {
    FCutShort = true;
    InterruptUnit();
}

TAbstractHard::TUnitWait::TUnitWait(TAbstractHard& hard) : FHard(hard) {
    // Never 0, which means "no wait".
    FHard.FUnitWaitSince =
        std::max<std::int64_t>(1, std::chrono::steady_clock::now().time_since_epoch().count());
    // A user-interface thread that waits for the rest looks at the wait at once.
    { std::lock_guard lock(FHard.FLock); }
    FHard.FCond.notify_all();
}

TAbstractHard::TUnitWait::~TUnitWait() {
    FHard.FUnitWaitSince = 0;
}

bool TAbstractHard::IsResting() const {
    std::lock_guard lock(FLock);
    return FResting;
}

void TAbstractHard::NotifySettingsChanged() {
    std::lock_guard lock(FLock);
    ++FWakes;
    FCond.notify_all();
}

void TAbstractHard::Shutdown() {
    bool waits = false;
    {
        std::lock_guard lock(FLock);
        FShutdown = true;
        FCond.notify_all();
        waits = FStarted && !FThreadDone && FUnitWaitSince.load() != 0;
    }
    FCaller.Cancel();
    // Joining must not wait out a reply that may never come.
    if (waits && !OnWorkerThread())
        CutShort();
    if (FThread.joinable() && !OnWorkerThread())
        FThread.join();
}

void TAbstractHard::RunJob(std::shared_ptr<IHardJob> job) {
    {
        std::lock_guard lock(FLock);
        FJob = std::move(job);
        ++FJobSerial;
    }
    Resume();
}

void TAbstractHard::EndJob() {
    std::lock_guard lock(FLock);
    FJob.reset();
    FCond.notify_all();
}

bool TAbstractHard::HasJob() const {
    std::lock_guard lock(FLock);
    return FJob != nullptr;
}

void TAbstractHard::ThreadMain() {
    FWorkerId = std::this_thread::get_id();
    try {
        Execute();
    } catch (...) {
        // Program end (a cancelled call), or a failure of a worker without recovery: the loop
        // is over either way.
    }
    std::lock_guard lock(FLock);
    FResting = true;
    FThreadDone = true;
    FCond.notify_all();
}

void TAbstractHard::RestPoint(bool selfSuspend) {
    std::unique_lock lock(FLock);
    if (FShutdown)
        throw ECallCancelled();
    if (FSuspendRequested || (selfSuspend && !FRunRequested)) {
        // A resume marks the worker busy before it wakes; a suspend that follows at once keeps it
        // here, so it says again that it rests each time it finds it must go on resting.
        while (!FShutdown && (FSuspendRequested || (selfSuspend && !FRunRequested))) {
            if (!FResting) {
                FResting = true;
                FCond.notify_all();
            }
            FCond.wait(lock);
        }
        FResting = false;
        if (FShutdown)
            throw ECallCancelled();
    }
    // This pass answers every resume so far.
    FRunRequested = false;
}

void TAbstractHard::IdleWait() {
    std::unique_lock lock(FLock);
    const std::uint64_t wakes = FWakes;
    FCond.wait_for(lock, IdlePoll,
                   [&] { return FShutdown || FSuspendRequested || FWakes != wakes; });
}

// ---- pins ----

void TAbstractHard::FillPins() {
    std::vector<std::uint16_t> pins;
    if (const TSootv* sootv = FSootv.load()) {
        pins.reserve(std::size_t(sootv->Count()));
        const bool raw = FRawPins;
        for (int i = 0; i < sootv->Count(); ++i) {
            std::uint16_t code = sootv->Item(i).FPin;
            if (!raw) {
                if (code >= 272 && code <= 366)
                    code = std::uint16_t(code - 272);
                else if (code >= 400 && code <= 494)
                    code = std::uint16_t(code - 400);
            }
            pins.push_back(code);
        }
    }
    std::lock_guard lock(FPinsLock);
    FPins = std::move(pins);
}

std::vector<std::uint16_t> TAbstractHard::Pins() const {
    std::lock_guard lock(FPinsLock);
    return FPins;
}

void TAbstractHard::TakePins(int count) {
    {
        std::unique_lock lock(FPinsLock);
        if (FPins.size() != std::size_t(count)) {
            // The table changed without a new pin list: take the pins it has now.
            lock.unlock();
            FillPins();
            lock.lock();
        }
        FPassPins = FPins;
    }
    FPassPins.resize(std::size_t(count));
    FLevels.resize(std::size_t(count) + 1);
}

// ---- the pass ----

bool TAbstractHard::IsTesterMode() const {
    const TWorkPlace* wp = FWorkPlace.load();
    return wp != nullptr && wp->IsTesterMode();
}

TContact* TAbstractHard::EntryContact(const TSootvData& record, int entry) const {
    const TWorkPlace* wp = FWorkPlace.load();
    if (wp == nullptr || entry < 0 || std::size_t(entry) >= record.FContacts.size() ||
        std::size_t(entry) >= record.FRazemIndexes.size())
        return nullptr;
    TRazem* razem = wp->Razem(record.FRazemIndexes[std::size_t(entry)]);
    const TCellPos pos = record.FContacts[std::size_t(entry)];
    if (razem == nullptr || !TRazem::IsInside(pos.Col, pos.Row))
        return nullptr;
    return &razem->Contact(pos.Col, pos.Row);
}

std::uint8_t TAbstractHard::OutputLevel(int i) {
    const TSootvData& record = FSootv.load()->Item(i);
    const int entries = record.Count();
    if (entries == 0)
        return 0;
    const TContact* first = EntryContact(record, 0);
    if (first == nullptr)
        return 0;
    int level = int(first->State.load());
    if (level == int(TContactState::csGenerator))
        level = FGenerator.Bit(first->GenIndex);
    if (level == 0)
        return 0;
    // Every entry is looked at, so a later generator contact can set the level again; each Bit
    // call advances the generator's automatic index.
    for (int j = 1; j < entries; ++j) {
        const TContact* t = EntryContact(record, j);
        if (t == nullptr)
            continue;
        const TContactState s = t->State;
        if (s == TContactState::csGenerator)
            level = FGenerator.Bit(t->GenIndex);
        else if (s == TContactState::csFree)
            level = 0;
    }
    return std::uint8_t(level);
}

void TAbstractHard::Execute() {
    FZondOutColor = Colors::clGray;
    bool selfSuspend = false;
    for (;;) {
        RestPoint(selfSuspend);
        selfSuspend = false;
        FStopAfterPass = false;
        if (!IsTesterMode()) {
            IdleWait();
            continue;
        }
        if (FMustRepair)
            throw EUnitError(QStringLiteral("Must repair"));
        std::shared_ptr<IHardJob> job;
        std::uint64_t serial = 0;
        {
            std::lock_guard lock(FLock);
            job = FJob;
            serial = FJobSerial;
        }
        try {
            FCutShort = false;
            BeforePass();
            if (job && serial != FJobReady) {
                // A job measures the harness through the unit alone: a probe that the tester
                // left driving 1 would join whatever net it touches, so its output goes low
                // before the job's first step.
                std::uint8_t probeIn[1] = {0};
                WriteZond(0, 0, nullptr, probeIn);
                FJobReady = serial;
            }
            if (job) {
                // The job's step in place of a pass; done, it lets go of the worker, which rests.
                if (!job->Step(*this)) {
                    std::lock_guard lock(FLock);
                    if (FJob == job)
                        FJob.reset();
                    selfSuspend = true;
                }
            } else if (!Pass()) {
                selfSuspend = true;
            }
        } catch (const EPassCut&) {
            // The user-interface thread needs the worker at rest: the pass (or the job's step) is
            // dropped, and the rest point that follows holds the worker.
        }
    }
}

bool TAbstractHard::Pass() {
    const TSootv* sootv = FSootv.load();
    const int count = sootv != nullptr ? sootv->Count() : 0;
    TakePins(count);
    for (int i = 0; i < count; ++i)
        FLevels[std::size_t(i)] = OutputLevel(i);

    const bool readRaz = FSettings.ReadRaz;
    const bool readZond = FSettings.ReadZond;
    if (!readRaz && !readZond && !FAutonomous) {
        SwitchAutonomous(true);
        if (FAutonomous) {
            FillPins();
            TakePins(count);
            SetAutonomous(0);
        }
    }
    if ((readRaz || readZond) && FAutonomous) {
        SwitchAutonomous(false);
        SetAutonomous(2);
    }
    if (FAutonomous) {
        // The unit works on its own: nothing to show until a read setting comes back.
        SetAutonomous(1);
        IdleWait();
        return true;
    }

    const int mode = FSettings.ZondWrite;
    std::uint16_t* pins = FPassPins.data();
    std::uint8_t* levels = FLevels.data();
    switch (mode) {
    case ZondWriteMode::Hi:
    case ZondWriteMode::Low:
        WriteZond(mode == ZondWriteMode::Hi ? 1 : 0, count, pins, levels);
        FZondInColor = FLevels[std::size_t(count)] == 0 ? Colors::clGreen : Colors::clRed;
        FZondOutColor = mode == ZondWriteMode::Hi ? Colors::clRed : Colors::clGreen;
        if (readRaz)
            ShowLevels();
        else
            ShowZondState();
        break;
    case ZondWriteMode::Gen: {
        const std::uint8_t b = FGenerator.Toggle();
        WriteZond(b, count, pins, levels);
        FZondInColor = FLevels[std::size_t(count)] == 0 ? Colors::clGreen : Colors::clRed;
        FZondOutColor = b == 0 ? Colors::clGreen : Colors::clRed;
        if (readRaz)
            ShowLevels();
        break;
    }
    case ZondWriteMode::Off:
        FZondOutColor = Colors::clGray;
        ShowZondState();
        PlainExchange(readRaz, readZond);
        break;
    default:
        PlainExchange(readRaz, readZond);
        break;
    }
    if (mode >= ZondWriteMode::Hi && mode <= ZondWriteMode::Gen && readZond && !readRaz)
        ShowZondState();

    if (FGenerator.FLines() != 0)
        FGenerator.NextStep();
    ++FPasses;

    if (FStopAfterPass) {
        // The cycle ends; the pass that follows is the last one.
        CallView([](IHardView& v) { v.StopCycle(); });
        return true;
    }
    if (FSettings.Cycle) {
        std::this_thread::yield();
        return true;
    }
    return false;
}

void TAbstractHard::PlainExchange(bool readRaz, bool readZond) {
    const int count = int(FPassPins.size());
    if (readRaz) {
        WriteReadLevels(FPassPins.data(), FLevels.data(), count);
        if (readZond)
            FZondInColor = FLevels[std::size_t(count)] == 0 ? Colors::clGreen : Colors::clRed;
        ShowLevels();
    } else {
        WriteLevels(FLevels.data(), FPassPins.data(), count);
    }
    if (readZond && !readRaz) {
        const std::uint8_t r = ReadZondIn();
        FZondInColor = r != 0 ? Colors::clRed : Colors::clGreen;
        ShowZondState();
    }
}

void TAbstractHard::SwitchAutonomous(bool on) {
    if (on &&
        !Message(
            TTexts::tr("Внимание! Блок диагностики переведен в режим автономной работы. Индикация "
                       "работы блока диагностики выключена! Изменение параметров работы комплекса "
                       "невозможно до тех пор пока не будет включена индикация. Вы действительно "
                       "хотите продолжить?"),
            THardMessage::WarningQuestion)) {
        CallView([](IHardView& v) { v.RestoreReads(); });
        return;
    }
    FAutonomous = on;
    CallView([on](IHardView& v) { v.ShowAutonomous(on); });
}

// ---- showing results ----

void TAbstractHard::ShowLevels() {
    FPaintBatch.clear();
    const int count = int(FPassPins.size());
    for (int i = 0; i < count; ++i)
        ShowSootv(i, FLevels[std::size_t(i)]);
    HandOver();
}

void TAbstractHard::ShowSootv(int i, std::uint8_t level) {
    const TSootvData& record = FSootv.load()->Item(i);
    for (int j = 0; j < record.Count(); ++j) {
        TContact* t = EntryContact(record, j);
        if (t == nullptr)
            continue;
        const TCellPos pos = record.FContacts[std::size_t(j)];
        const TPaintItem paint{i, j, record.FRazemIndexes[std::size_t(j)], pos.Col, pos.Row};
        if (t->State == TContactState::csGenerator && !FSettings.ReadRaz) {
            // A generator contact whose level is not read shows "the generator works".
            if (t->IndColor != Colors::clYellow) {
                t->IndColor = Colors::clYellow;
                FPaintBatch.push_back(paint);
            }
            return;
        }
        if (ShownLevel(t->IndColor) == level)
            continue;
        if (level == 0)
            t->IndColor = Colors::clGreen;
        else if (level == 1)
            t->IndColor = Colors::clRed;
        FPaintBatch.push_back(paint);
    }
}

void TAbstractHard::ShowZondState() {
    FPaintBatch.clear();
    HandOver();
}

// The repaints of the pass and the probe colours go over in one synchronous call; a call that
// would change nothing on screen is skipped.
void TAbstractHard::HandOver() {
    const TColor in = FZondInColor;
    const TColor out = FZondOutColor;
    const bool zond = FViewStale.exchange(false) || in != FShownIn || out != FShownOut;
    if (FPaintBatch.empty() && !zond)
        return;
    std::vector<TPaintItem> items(FPaintBatch);
    FPaintBatch.clear();
    CallView([items = std::move(items), in, out, zond](IHardView& v) {
        if (!items.empty())
            v.RepaintContacts(items);
        if (zond)
            v.ShowZondState(in, out);
    });
    FShownIn = in;
    FShownOut = out;
}

// ---- calls to the view ----

void TAbstractHard::CallView(std::function<void(IHardView&)> fn) {
    IHardView* view = &FView;
    FCaller.Call([view, fn = std::move(fn)] { fn(*view); });
}

bool TAbstractHard::Message(const QString& text, THardMessage kind) {
    auto answer = std::make_shared<bool>(false);
    CallView([answer, text, kind](IHardView& v) { *answer = v.ShowMessage(text, kind); });
    return *answer;
}
