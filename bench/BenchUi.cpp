// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-bench-ui: the real main window with the simulated unit of libkestrum.so.
//   startup_ms             from the start of main() to the first paint of the shown main window
//   passes_per_second_ui   tester passes with 190 correspondences, the cycle on and eight
//                          generator contacts, so that every pass repaints contacts in the window
//   ui_latency_p99_ms      how late the user-interface thread handles a timer that is due every
//   ui_latency_max_ms      5 ms, while those passes run flat out (99th percentile and worst case)
//   ui_latency_p99_ms_watch        the same while continuous verify of those 190 pins runs flat
//   watch_checks_per_second_ui     out in place of the passes, the results panel kept up to date
//   ui_latency_p99_ms_assembly     the same while guided assembly of 95 wires watches them
// Run it on any Qt platform; with QT_QPA_PLATFORM=offscreen the painting goes to memory.

#include "AppMessageBox.h"
#include "BenchQuick.h"
#include "TApplication.h"
#include "TCheckController.h"
#include "TContinuousCheck.h"
#include "TGuidedChecks.h"
#include "TProperty.h"
#include "TRazem.h"
#include "TRazemView.h"
#include "TSootv.h"
#include "TUSBHardWork.h"
#include "TWireList.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"
#include "TfmMain.h"
#include "TfmSerialPrompt.h"
#include "XEdit.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Waits for the first paint of a widget.
class TFirstPaint : public QObject {
  public:
    bool Painted = false;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            Painted = true;
        return false;
    }
};

// A connector of five rows of 19 contacts, added as the constructor's OK adds one.
TRazem* AddConnector(TWorkPlace& wp, const QString& name, int top) {
    auto owned = std::make_unique<TRazem>();
    TRazem* r = owned.get();
    r->ClearPositions();
    r->SetRowCount(10);
    for (int i = 0; i < 5; ++i)
        r->FRows.push_back({19, 1, 1, 1, 1, QString(QChar(u'a' + i))});
    wp.Add(std::move(owned));
    r->SetRazName(name);
    r->SetColCount(r->ColumnsNeeded());
    r->SetButtSize(0);
    r->BuildNames();
    r->SetBounds(10, top);
    return r;
}

// Ties every contact of the connector to the next free pin of one unit connector (95 pins).
void TieAll(TSootv& sootv, TRazem& r, int grid) {
    int col = 1;
    int row = 1;
    for (int rr = 0; rr < 10; rr += 2)
        for (int c = 0; c < 19; ++c) {
            if (row == 1 && col == 32) { // c32 cannot be used
                col = 1;
                ++row;
            }
            auto rec = std::make_unique<TSootvData>();
            rec->FCol = col;
            rec->FRow = row;
            rec->FGrid = std::uint8_t(grid);
            rec->FPin = TSootv::PinCode(grid, col, row);
            rec->AddName(r.ContactName(c, rr));
            rec->AddContact({c, rr}, r.FIndex);
            sootv.Add(std::move(rec));
            r.FCells[std::size_t(c)][std::size_t(rr)].State = TContactState::csTied;
            if (++col > 32) {
                col = 1;
                ++row;
            }
        }
}

void Serve(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// How late the user-interface thread handles a timer due every 5 ms, for `ms` milliseconds, in
// milliseconds each time, sorted.
std::vector<double> Latencies(int ms) {
    std::vector<double> late;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    std::function<void()> arm;
    qint64 due = 0;
    arm = [&] {
        due = clock.nsecsElapsed() + 5'000'000;
        QTimer::singleShot(5, Qt::PreciseTimer, &loop, [&] {
            late.push_back(double(std::max<qint64>(0, clock.nsecsElapsed() - due)) / 1e6);
            if (clock.elapsed() < ms)
                arm();
            else
                loop.quit();
        });
    };
    arm();
    loop.exec();
    std::sort(late.begin(), late.end());
    return late;
}

// A barcode scanner at the prompt that comes before a verify: it types the serial number and
// presses Enter, then the operator the same way. A benchmark never waits on a dialog.
void ScanWheneverAsked(QObject* owner) {
    auto* timer = new QTimer(owner);
    QObject::connect(timer, &QTimer::timeout, [] {
        auto* prompt = qobject_cast<TfmSerialPrompt*>(QApplication::activeModalWidget());
        if (prompt == nullptr)
            return;
        for (const char* typed : {"SN-BENCH-1", "Bench"}) { // keys: ASCII only
            if (!prompt->isVisible())
                break;
            if (auto* field = qobject_cast<QLineEdit*>(prompt->focusWidget()))
                field->clear();
            QTest::keyClicks(prompt->focusWidget(), QString::fromUtf8(typed));
            QTest::keyClick(prompt->focusWidget(), Qt::Key_Return);
        }
        if (prompt->isVisible())
            prompt->reject();
    });
    timer->start(20);
}

double P99(const std::vector<double>& late) {
    return late.empty() ? 0 : late[std::size_t(double(late.size() - 1) * 0.99)];
}

// ui_latency_p99_ms_assembly: the user-interface thread's latency while guided assembly of 95
// wires (each X1 pin to the X2 pin of its number) watches the harness flat out; on the
// simulated unit no wire ever goes in, so every look is the coded check and the panel is polled
// throughout. Negative when the guidance did not start.
double AssemblyLatencyP99(TfmMain& w, int ms) {
    TCheckController& check = *w.Check();
    const TCheckPoints points = TCheckPoints::FromProject(*w.WorkPlace(), *w.Sootv());
    std::vector<std::vector<int>> nets;
    for (int x1 = 0; x1 < points.Count(); ++x1)
        for (int x2 = 0; x2 < points.Count(); ++x2)
            if (points.Point(x1).Pin >= 400 && points.Point(x2).Pin == points.Point(x1).Pin - 128)
                nets.push_back({x1, x2});
    TWireList::Save(check.WiresPath(), TReference::FromNets(nets, points.Count()), points);
    TGuidedChecks& guided = *check.Guided();
    guided.SetAssembly(true);
    if (guided.State() != TGuidedChecks::TState::Assembly)
        return -1;
    Serve(300);
    const std::vector<double> late = Latencies(ms);
    guided.SetAssembly(false);
    while (guided.Running())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return P99(late);
}

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer sinceStart;
    sinceStart.start();
    TApplication app(argc, argv);
    SetAppMessageBoxHook([](const QString& text, TMsgKind) {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        return TMsgAnswer::No;
    });
    const bool quick = BenchQuick(argc, argv);
    const int window = BenchSize(quick, 5000, 500);
    QTemporaryDir dir;
    // The records of the watch go to a station file of the run's own, not the user's.
    qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
    TfmMainOptions options;
    options.SettingsPath = dir.filePath(QStringLiteral("pinvel.ini"));
    options.DeviceLink = QByteArray("sim");
    {
        // The simulated unit flat out: the figures are the program's, not a unit's pace.
        QFile ini(options.SettingsPath);
        if (!ini.open(QIODevice::WriteOnly) || ini.write("[Device]\r\nSimReplyUs=0\r\n") < 0) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(options.SettingsPath));
            return 1;
        }
    }
    TfmMain w(options);
    if (!w.Started() || !w.IsTesterMode()) {
        std::fprintf(stderr, "the main window did not start in the tester mode\n");
        return 1;
    }
    TFirstPaint paint;
    w.installEventFilter(&paint);
    w.show();
    while (!paint.Painted)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    std::printf("startup_ms: %.1f\n", double(sinceStart.nsecsElapsed()) / 1e6);
    std::fflush(stdout);

    // The project: 2 x 95 contacts tied to every usable pin of X1 and X2.
    w.acChangeMode->trigger();
    w.resize(1280, 900);
    TWorkPlace& wp = *w.WorkPlace();
    TRazem* x1 = AddConnector(wp, QStringLiteral("XT0"), 25);
    TRazem* x2 = AddConnector(wp, QStringLiteral("XT1"), 25 + x1->Height() + 40);
    TieAll(*w.Sootv(), *x1, 1);
    TieAll(*w.Sootv(), *x2, 2);
    wp.FillSootvGrids();
    w.acChangeMode->trigger();
    Serve(300);

    // Eight contacts to the generator by right clicks: the cycle goes on, colours change.
    for (int i = 0; i < 8; ++i) {
        TRazemView* v = w.WorkPlaceView()->ViewAt(i % 2);
        QTest::mouseClick(v, Qt::RightButton, {}, v->CellRect(i, 1).center());
    }
    Serve(500);

    // The user-interface thread's latency while the passes run: a timer due every 5 ms.
    QElapsedTimer clock;
    clock.start();
    const qint64 first = w.Hard()->Passes();
    const std::vector<double> late = Latencies(window);
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const qint64 passes = qint64(w.Hard()->Passes()) - first;
    std::printf("passes_per_second_ui: %.0f\n", double(passes) / seconds);
    std::printf("ui_latency_p99_ms: %.2f\n", P99(late));
    std::printf("ui_latency_max_ms: %.2f\n", late.empty() ? 0 : late.back());
    std::fflush(stdout);

    // Continuous verify in place of the passes: the project saved, its reference learnt (every
    // pin of the simulated unit on its own: 190 nets), then the watch flat out.
    QTest::keyClick(&w, Qt::Key_Escape);
    Serve(600);
    const QString project = dir.filePath(QStringLiteral("bench.pvl"));
    wp.SaveToFile(project);
    w.Property()->SetCurrentFile(project);
    TCheckController& check = *w.Check();
    check.Learn();
    while (check.Busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ScanWheneverAsked(&w);
    check.SetWatching(true);
    if (check.State() != TCheckController::TState::Watching) {
        std::fprintf(stderr, "the watch did not start\n");
        return 1;
    }
    Serve(300);
    const long long checksBefore = check.Job()->Watch().Checks();
    clock.restart();
    const std::vector<double> watchLate = Latencies(window);
    const double watchSeconds = double(clock.nsecsElapsed()) / 1e9;
    const long long checks = check.Job()->Watch().Checks() - checksBefore;
    check.SetWatching(false);
    while (check.Busy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    std::printf("ui_latency_p99_ms_watch: %.2f\n", P99(watchLate));
    std::printf("watch_checks_per_second_ui: %.0f\n", double(checks) / watchSeconds);
    std::fflush(stdout);

    std::printf("ui_latency_p99_ms_assembly: %.2f\n", AssemblyLatencyP99(w, window));
    std::fflush(stdout);
    SetAppMessageBoxHook({});
    return 0;
}
