// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-bench-tester: the tester's worker in the cycle through the loaded libkestrum.so and its
// simulated unit, with 190 correspondences and a few generator contacts, the view's calls served
// by the user-interface thread (this program's main thread, in its event loop). Prints the passes
// per second and the CPU the process uses while the worker rests and while the unit works on its
// own (autonomous mode).

#include "BenchQuick.h"
#include "IHardView.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TTesterSettings.h"
#include "TUSBHardWork.h"
#include "TWorkPlace.h"
#include "WorkWithCOM.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

// A view that does what a window would do with the calls, short of painting.
class TBenchView : public IHardView {
  public:
    TWorkPlace* WorkPlace = nullptr;
    long long Repainted = 0;
    long long Calls = 0;

    void RepaintContacts(const std::vector<TPaintItem>& items) override {
        ++Calls;
        for (const TPaintItem& p : items)
            if (TRazem* r = WorkPlace->Razem(p.FRazemIndex))
                r->RedrawCell(p.FPaintCol, p.FPaintRow);
        Repainted += static_cast<long long>(items.size());
    }
    void ShowZondState(TColor, TColor) override { ++Calls; }
    bool ShowMessage(const QString&, THardMessage) override { return true; }
    void RestoreReads() override {}
    void ShowAutonomous(bool on) override { WorkPlace->SetRazemsEnabled(!on); }
    void StopCycle() override {}
    void SetModeControls(bool, bool, bool) override {}
    void LeaveTesterMode() override {}
};

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

// Runs the event loop (serving the worker) for the given time.
void Serve(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Percentage of one core the whole process uses over the given time.
double CpuPercent(int ms) {
    const double cpu = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    Serve(ms);
    return (CpuSeconds() - cpu) * 1e9 * 100.0 / double(wall.nsecsElapsed());
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const bool quick = BenchQuick(argc, argv);
    const int second = BenchSize(quick, 1000, 100);

    TDeviceSettings device;
    device.SimReplyUs = 0; // flat out: the worker's own speed, not a unit's pace
    QString error;
    TComPortHandle handle = ComCreator(device.Config(), &error);
    if (!handle) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    IComPort* raw = handle.get();

    TTesterSettings settings;
    TWorkPlace workPlace;
    TSootv sootv;
    TBenchView view;
    view.WorkPlace = &workPlace;
    auto razem = std::make_unique<TRazem>();
    razem->SetColCount(19);
    razem->SetRowCount(20);
    for (int k = 0; k < 190; ++k) {
        const int col = k % 19, row = 2 * (k / 19);
        razem->FCells[col][row].State = TContactState::csTied;
        auto rec = std::make_unique<TSootvData>();
        rec->FPin = std::uint16_t(k < 95 ? 272 + k : 400 + k - 95);
        rec->AddName(QStringLiteral("c"));
        rec->AddContact({col, row}, 0);
        sootv.Add(std::move(rec));
    }
    workPlace.Add(std::move(razem));
    workPlace.FSootv = &sootv;
    workPlace.SetTesterMode(true);
    for (int g = 0; g < 4; ++g) {
        TContact& t = workPlace.Razem(0)->FCells[std::size_t(g * 3)][4];
        t.State = TContactState::csGenerator;
        t.GenIndex = g;
    }

    TUSBHardWork worker(settings, view,
                        [raw] { return std::shared_ptr<IComPort>(raw, [](IComPort*) {}); });
    worker.SetModel(&workPlace, &sootv);
    if (!worker.InitUnit()) {
        std::fprintf(stderr, "the simulated unit does not open\n");
        return 1;
    }
    worker.FGenerator.SetLines(4);
    worker.FillPins();

    // Cycle: passes back to back.
    settings.Cycle = true;
    worker.Resume();
    Serve(300); // warm up
    const auto passes = worker.Passes();
    QElapsedTimer timer;
    timer.start();
    Serve(2 * second);
    const double perSecond = double(worker.Passes() - passes) * 1e9 / double(timer.nsecsElapsed());
    settings.Cycle = false;
    worker.FStopAfterPass = true;
    worker.WaitForRest();
    std::printf("passes_per_second: %.0f\n", perSecond);

    // At rest in the tester mode.
    std::printf("rest_cpu_percent: %.2f\n", CpuPercent(second));

    // Autonomous: both reads off, the user agrees.
    settings.ReadRaz = false;
    settings.ReadZond = false;
    worker.Resume();
    Serve(200);
    const bool autonomous = worker.FAutonomous;
    std::printf("autonomous_cpu_percent: %.2f\n", CpuPercent(second));
    std::fflush(stdout);

    worker.StopUnit();
    worker.Shutdown();
    worker.ClosePort();
    if (view.Calls == 0 || !autonomous) {
        std::fprintf(stderr, "the worker did not run as expected\n");
        return 1;
    }

    // The cycle at a USB unit's pace, the simulated unit's default: the passes follow the unit
    // and the processor mostly waits for it.
    settings.ReadRaz = true;
    settings.ReadZond = true;
    const TDeviceSettings paced; // SimReplyUs 1000
    TComPortHandle pacedHandle = ComCreator(paced.Config(), &error);
    if (!pacedHandle) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    IComPort* pacedRaw = pacedHandle.get();
    TUSBHardWork pacedWorker(settings, view, [pacedRaw] {
        return std::shared_ptr<IComPort>(pacedRaw, [](IComPort*) {});
    });
    pacedWorker.SetModel(&workPlace, &sootv);
    if (!pacedWorker.InitUnit()) {
        std::fprintf(stderr, "the simulated unit does not open\n");
        return 1;
    }
    pacedWorker.FillPins();
    settings.Cycle = true;
    pacedWorker.Resume();
    Serve(300);
    const auto pacedPasses = pacedWorker.Passes();
    QElapsedTimer pacedTimer;
    pacedTimer.start();
    const double pacedCpu = CpuPercent(2 * second);
    std::printf("passes_per_second_paced: %.0f\n", double(pacedWorker.Passes() - pacedPasses) *
                                                       1e9 / double(pacedTimer.nsecsElapsed()));
    std::printf("cycle_cpu_percent_paced: %.1f\n", pacedCpu);
    settings.Cycle = false;
    pacedWorker.FStopAfterPass = true;
    pacedWorker.WaitForRest();
    pacedWorker.StopUnit();
    pacedWorker.Shutdown();
    pacedWorker.ClosePort();
    return 0;
}
