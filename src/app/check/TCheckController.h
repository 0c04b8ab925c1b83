// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TCheckJob.h"
#include "TContactMarks.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>

class ICheckHost;
class QAction;
class QDialog;
class QLabel;
class QMainWindow;
class QMenu;
class QProgressBar;
class QPushButton;
class TCheckResultsPanel;
class TCheckRun;
class TGuidedChecks;
class TWorkPlaceView;

// What a scripted run puts in place of the check's dialogs and sound.
struct TCheckOptions {
    // The open dialog of a wire list, started in a folder: the path chosen, empty for Cancel.
    std::function<QString(const QString& startDir)> WiresDialog;
    // Runs a modal dialog (the reference) and answers its result code.
    std::function<int(QDialog& dialog)> ExecDialog;
    // The sound of a fault; the system's bell when unset.
    std::function<void()> Beep;
    // How often the window looks at a check under way.
    int PollMs = 30;
};

// The harness check in the main window: the menu "Проверка" of the tester mode, the life of a
// check on the tester's worker, its progress in the status bar, the results panel, the fault
// marks on the connectors and the sound of a fault.
//
// A check is a job of the worker (TCheckJob): it runs in place of the tester's passes, and the
// passes go on afterwards as they were (cycle, probe output, generators). While it runs the
// tester's controls stand still and the window looks at the job's results every PollMs on a
// timer; no timer runs between checks. Esc cancels learning and verifying and ends the watch;
// with no check under way it takes the marks away.
//
// For the records of tests: SetVerifyGate is asked right before every verify (false: no
// verify), VerifyFinished carries every verify's final result, WatchFinished every watch's, and
// Menu() takes further entries.
//
// The check's life on the worker (start, poll, finish, end) is TCheckRun's; the controller keeps
// the menu and its commands, the status bar's part, the marks, the sound and the panel's place.
class TCheckController : public QObject {
    Q_OBJECT
  public:
    enum class TState { Idle, Learning, Verifying, Watching };

    // Puts the menu "Проверка" into the window's menu bar in front of `menuBefore` (at the end
    // when null), the results panel and the progress into the window.
    TCheckController(QMainWindow& window, ICheckHost& host, QAction* menuBefore,
                     TCheckOptions options = {});
    ~TCheckController() override;

    TState State() const { return FState; }
    bool Busy() const { return FState != TState::Idle; }

    QMenu* Menu() const { return miCheck; }
    TCheckResultsPanel* Panel() const { return FPanel; }
    TContactMarks& Marks() { return FMarks; }
    // Guided assembly, the probe and the fixture's self-check.
    TGuidedChecks* Guided() const { return FGuided.get(); }
    // The job under way; null between checks.
    const TCheckJob* Job() const { return FJob.get(); }

    // The menu's commands.
    void Learn();
    void ImportWires();
    void Verify();
    void SetWatching(bool on);
    void ShowReference();
    // Learning and verifying are cancelled, the watch ends after the check under way.
    void Cancel();
    bool SoundOn() const { return FSound; }
    void SetSoundOn(bool on);

    // The main window's part:
    // the mode changed (the menu shows in the tester mode only; leaving it ends the check);
    void ModeChanged(bool tester);
    // the check under way ends at once, without results (before the worker is brought to rest
    // for another mode or project);
    void EndCheck();
    // another project replaces the open one: the check ends, its marks and results go;
    void ProjectReplaced();
    // a key of the tester's keyboard (TfmMain::VirtualKey); true: it was the check's, and the
    // tester's own handling must not see it.
    bool KeyPressed(int key);

    // Asked on the user-interface thread right before a verify or a continuous verify starts;
    // false: it does not start.
    // The gate is handed the points and the reference the verify is to use.
    using TVerifyGate = std::function<bool(const TCheckPoints&, const TReference&)>;
    void SetVerifyGate(TVerifyGate gate) { FVerifyGate = std::move(gate); }

    // The wire list of the open project (NAME.wires.csv beside it); empty when never saved.
    QString WiresPath() const;
    // The open project's points and its reference, as a verify would take them; false after
    // saying what is missing (the project unsaved, no wire list, a bad one).
    bool CurrentReference(TCheckPoints& points, TReference& reference);

    // Actions ("Проверка").
    QAction* acLearn = nullptr;
    QAction* acImport = nullptr;
    QAction* acReference = nullptr;
    QAction* acVerify = nullptr;
    QAction* acWatch = nullptr;
    QAction* acSound = nullptr;
    QAction* acPanel = nullptr;
    QMenu* miCheck = nullptr;
    // The status bar's part while a check runs.
    QLabel* lbProgress = nullptr;
    QProgressBar* pbProgress = nullptr;
    QPushButton* btCancel = nullptr;

  signals:
    void VerifyStarted();
    void VerifyFinished(const TCheckResult& result, const QDateTime& when);
    void WatchFinished(const std::vector<TLatchedFault>& latched, long long checks,
                       const QDateTime& from, const QDateTime& to);
    void StateChanged(TState state);
    // A learned (`learned`) or imported list was written as the reference of the project at
    // `projectPath`; `wires`: its text, for the records to keep.
    void ReferenceWritten(const QString& projectPath, const QByteArray& wires, bool learned);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class TCheckRun;

    void CreateActions(QAction* menuBefore);
    void CreateProgress();
    // What every check needs: the tester mode, a worker not in the autonomous mode, and tied
    // contacts; false after saying what is missing.
    bool CanCheck(TCheckPoints& points);
    // The project's path when it is saved and unchanged; otherwise says so and answers empty.
    QString SavedProject();
    // The open project's reference read from its wire list; nothing after saying why not.
    std::optional<TReference> LoadReference(const TCheckPoints& points, QString* path = nullptr);
    void Start(TCheckJob::TKind kind, TCheckPoints points, TReference reference = {});
    void Poll();
    void ShowPanel();
    void UpdateActions();
    // Every contact the faults name, as the workspace addresses it.
    QSet<TContactKey> KeysOf(const QStringList& contacts) const;
    QSet<TContactKey> KeysOf(const std::vector<TFault>& faults) const;
    void ShowMarks(const QSet<TContactKey>& faulty);
    void AttachMarks();
    void OnFaultPicked(const QStringList& contacts);
    void ClearMarks();
    void Sound();
    int ExecDialog(QDialog& dialog);
    void StorePlacement();
    // The window is never smaller than its design and what the panel docked in it needs, so the
    // workspace and the tester panel keep their room beside the results.
    void FitWindow();

    std::unique_ptr<TCheckRun> FRun;
    QMainWindow& FWindow;
    ICheckHost& FHost;
    TCheckOptions FOptions;
    TCheckResultsPanel* FPanel = nullptr;
    TContactMarks FMarks;
    QPointer<TWorkPlaceView> FMarkedView;
    QTimer FPoll;
    TState FState = TState::Idle;
    std::shared_ptr<TCheckJob> FJob;
    // The contacts of the project under check by name ("XT1:a1"), taken when the check starts.
    QHash<QString, QList<TContactKey>> FKeys;
    QString FLearnPath; // where a learning writes its reference
    int FExpectedTrips = 0;
    QDateTime FStarted;
    std::size_t FLatchedShown = 0;
    TVerifyGate FVerifyGate;
    bool FSound = true;
    bool FPlaced = false; // the panel has been shown, its placement restored
    QSize FDesignMinimum; // the window's own minimum size
    std::unique_ptr<TGuidedChecks> FGuided; // last: it goes first, while the marks stay
};
