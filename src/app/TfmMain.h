// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ICheckHost.h"
#include "IHardView.h"
#include "IWorkspaceHost.h"
#include "TCheckApproval.h"
#include "TCheckController.h"
#include "TCheckRecords.h"
#include "TConnectorCommands.h"
#include "TProjectCommands.h"
#include "TTesterPanel.h"
#include "TTesterSettings.h"
#include "TWorkPlaceView.h"
#include "TWorkerView.h"

#include <QColor>
#include <QMainWindow>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QButtonGroup;
class QCheckBox;
class QDialog;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QPushButton;
class QRadioButton;
class QScrollArea;
class TAppSettings;
class TProperty;
class TSootv;
class TUSBHardWork;
class TWorkPlace;
class TfmSootv;
class TfmStartUp;

// What the program entry leaves at its defaults and a test may point elsewhere.
struct TfmMainOptions {
    // The settings file; empty: the program's own (pinvel.ini beside the executable).
    QString SettingsPath;
    // Where the device access library is looked for; empty: the program's library folders.
    QStringList LibraryFolders;
    // The link to the unit; unset: the "Device" section of the settings file.
    std::optional<QByteArray> DeviceLink;
    std::optional<QByteArray> DeviceHarness;
    std::optional<int> DeviceReplyTimeoutMs;
    // The project named on the command line, opened once start-up is complete; empty: none.
    QString StartupFile;

    // Stand-ins for the modal dialogs, so a scripted run can answer them. Each is used instead
    // of the real dialog when set.
    // The open (save = false) or save dialog: answers the chosen path, empty for Cancel.
    std::function<QString(bool save, const QString& startDir)> FileDialog;
    // The colour dialog: answers the chosen colour, nothing for Cancel.
    std::function<std::optional<QColor>(const QColor& initial)> ColorDialog;
    // Runs a modal dialog (constructor, about box) and answers its result code.
    std::function<int(QDialog& dialog)> ExecDialog;
    // The harness check's dialogs and sound (its ExecDialog falls back on the one above).
    TCheckOptions Check;
    // The serial number and operator asked before a verify (TfmSerialPrompt::Ask's contract).
    std::function<bool(QString& serial, QString& oper)> HarnessDialog;
    // The supervisor's name and PIN asked to approve a reference (false: Cancel).
    std::function<bool(QString& supervisor, QString& pin)> ApproveDialog;
};

// The main window: the workspace with its connectors, the editor panel, the tester panel, the
// menus, the project and editing commands, and the program-wide objects (settings, workspace,
// correspondence table and dialog, the tester's worker). It starts in the editor mode and enters
// the tester mode at once when the unit answers. It is the worker's user interface (IHardView:
// every call runs on this window's thread while the worker waits) and the host of the
// connectors' mouse handling (IWorkspaceHost). The harness check (TCheckController) is wired
// in and reaches the window through ICheckHost.
//
// The window keeps its actions, menus and controls; what they do lives in rooms of its own,
// created and wired here, their handlers under the same names: the project commands
// (TProjectCommands), the connector commands (TConnectorCommands), the tester panel
// (TTesterPanel) and the worker's view of the window (TWorkerView).
class TfmMain : public QMainWindow, public IHardView, public IWorkspaceHost, public ICheckHost {
    Q_OBJECT
  public:
    explicit TfmMain(TfmMainOptions options = {}, QWidget* parent = nullptr);
    ~TfmMain() override; // FormDestroy

    // False when the registration check failed: the window is not to be shown and the program
    // ends.
    bool Started() const { return FStarted; }

    TWorkPlace* WorkPlace() const override { return FWorkPlace.get(); }
    TSootv* Sootv() const override { return FSootv.get(); }
    TProperty* Property() const { return FProperty.get(); }
    TfmSootv* fmSootv() const { return FfmSootv.get(); }
    TUSBHardWork* Hard() const { return FHard.get(); }
    TWorkPlaceView* WorkPlaceView() const override { return FWorkPlaceView.data(); }
    TTesterSettings& Tester() { return FTester; }
    bool IsTesterMode() const override;
    // The harness check: its menu, panel and marks; null when the program did not start.
    TCheckController* Check() const { return FCheck.get(); }
    // The records of the checks: the harness asked, the records written, the journal.
    TCheckRecords* Records() const { return FRecords.get(); }
    TCheckApproval* Approval() const { return FApproval.get(); }
    int ZondWriteIndex() const { return FTesterPanel->ZondWriteIndex(); }
    void SetZondWriteIndex(int index) { FTesterPanel->SetZondWriteIndex(index); }

    // Project commands (TProjectCommands).
    using TSaveAnswer = TProjectCommands::TSaveAnswer;
    TSaveAnswer QuerySaveChanges(bool checkMode) { return FProject->QuerySaveChanges(checkMode); }
    void acNewExecute() { FProject->acNewExecute(); }
    void acLoadExecute() { FProject->acLoadExecute(); }
    // Answers whether the project was written (false: the save dialog was cancelled).
    bool acSaveExecute() { return FProject->acSaveExecute(); }
    bool acSaveAsExecute() { return FProject->acSaveAsExecute(); }
    void LastFileClick(const QString& path) { FProject->LastFileClick(path); }

    // Editing commands (TConnectorCommands).
    void acRazAddExecute() { FConnectors->acRazAddExecute(); }
    void acRazDeleteExecute() { FConnectors->acRazDeleteExecute(); }
    void acRazEditExecute() { FConnectors->acRazEditExecute(); }
    void acSetSootvExecute() { FConnectors->acSetSootvExecute(); }
    void N12Click() { FConnectors->N12Click(); }
    void N13Click() { FConnectors->N13Click(); }

    // Mode and tester controls (the tester panel's in TTesterPanel, the service menu's in
    // TWorkerView).
    void acChangeModeExecute();
    void acStartTestExecute();
    void acStopTestExecute();
    void rgZondWriteClick() { FTesterPanel->rgZondWriteClick(); }
    void cbReadRazClick() { FTesterPanel->cbReadRazClick(); }
    void cbReadZondClick() { FTesterPanel->cbReadZondClick(); }
    void plCicleClick() { FTesterPanel->plCicleClick(); }
    void FormKeyDown(int key) { FTesterPanel->FormKeyDown(key); }
    void N10Click();
    void N11Click();
    void N15Click() { FWorkerView->N15Click(); }
    void N16Click() { FWorkerView->N16Click(); }

    // The layout-independent key code of a key press (27 Esc, 71 G, 72 H, 76 L, ...).
    static int VirtualKey(const QKeyEvent& event) { return TTesterPanel::VirtualKey(event); }

    // Actions.
    QAction* acNew = nullptr;
    QAction* acLoad = nullptr;
    QAction* acSave = nullptr;
    QAction* acSaveAs = nullptr;
    QAction* acExit = nullptr;
    QAction* acRazAdd = nullptr;
    QAction* acRazDelete = nullptr;
    QAction* acRazEdit = nullptr;
    QAction* acSetSootv = nullptr;
    QAction* acChangeMode = nullptr;
    QAction* acStartTest = nullptr;
    QAction* acStopTest = nullptr;

    // Menus.
    QMenu* miFile = nullptr;
    QMenu* miLastFiles = nullptr;
    QAction* N8 = nullptr; // "Тестер"
    QAction* N7 = nullptr; // "Редактор"
    QMenu* miService = nullptr;
    QAction* N15 = nullptr;
    QAction* N16 = nullptr;
    QMenu* miHelp = nullptr;
    QAction* N10 = nullptr;
    QAction* N11 = nullptr;
    QMenu* pmCont = nullptr;
    QAction* N12 = nullptr;
    QAction* N13 = nullptr;

    // Controls.
    QScrollArea* sbWorkSpace = nullptr;
    QFrame* plMenuEditor = nullptr;
    QPushButton* btRazAdd = nullptr;
    QPushButton* btRazDelete = nullptr;
    QPushButton* btRazEdit = nullptr;
    QPushButton* btSetSootv = nullptr;
    QPushButton* btEditorExit = nullptr;
    QFrame* plMenuTester = nullptr;
    QGroupBox* gbZondState = nullptr;
    QFrame* plZondIn_Ind = nullptr;
    QFrame* plZondOut_Ind = nullptr;
    QGroupBox* rgZondWrite = nullptr;
    QButtonGroup* rgZondWriteItems = nullptr;
    QGroupBox* gbRead = nullptr;
    QCheckBox* cbReadRaz = nullptr;
    QCheckBox* cbReadZond = nullptr;
    QLabel* plCicle = nullptr;
    QGroupBox* gbInfo = nullptr;
    QPushButton* btTesterExit = nullptr;

    // The lamp colour of a panel (for the probe lamps).
    static QColor LampColor(const QFrame* lamp) { return TTesterPanel::LampColor(lamp); }
    static void SetLampColor(QFrame* lamp, const QColor& color) {
        TTesterPanel::SetLampColor(lamp, color);
    }

    // IHardView (TWorkerView).
    void RepaintContacts(const std::vector<TPaintItem>& items) override {
        FWorkerView->RepaintContacts(items);
    }
    void ShowZondState(TColor zondIn, TColor zondOut) override {
        FWorkerView->ShowZondState(zondIn, zondOut);
    }
    bool ShowMessage(const QString& text, THardMessage kind) override {
        return FWorkerView->ShowMessage(text, kind);
    }
    void RestoreReads() override { FWorkerView->RestoreReads(); }
    void ShowAutonomous(bool on) override { FWorkerView->ShowAutonomous(on); }
    void StopCycle() override { FWorkerView->StopCycle(); }
    void SetModeControls(bool changeMode, bool editorItem, bool testerItem) override {
        FWorkerView->SetModeControls(changeMode, editorItem, testerItem);
    }
    void LeaveTesterMode() override { FWorkerView->LeaveTesterMode(); }

    // IWorkspaceHost.
    TGenerator* Generator() override;
    bool ReadRaz() const override;
    int ZondWrite() const override;
    void SetCycle(bool on) override;
    void ResumeWorker() override;
    QMenu* ContactMenu() override;

    // ICheckHost.
    TAbstractHard* Worker() override;
    QString ProjectFile() const override;
    void SetTesterControlsEnabled(bool on) override;

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class TProjectCommands;
    friend class TConnectorCommands;
    friend class TTesterPanel;
    friend class TWorkerView;

    void CreateControls();
    void CreateActions();
    void CreateMenus();
    QFrame* CreateEditorPanel();
    void FormCreate();
    bool FormCloseQuery();
    void FormDestroy();
    // The project of the command line, opened as a recent file would be (in the tester mode
    // when the unit answered); a missing or damaged file is reported and the program goes on.
    void OpenStartupFile();

    void ShowCycle(bool on) { FTesterPanel->ShowCycle(on); }
    // A message about the unit with the reasons below it, one a line.
    static QString UnitFailureText(const QString& text, const QStringList& reasons);
    void SetCurrentFile(const QString& path) { FProject->SetCurrentFile(path); }
    void UpdateModeItems();
    void MarkGenerators() { FTesterPanel->MarkGenerators(); }
    int ExecDialog(QDialog& dialog);
    // Runs a command and hands any error it raises to the general error report.
    void Guarded(const std::function<void()>& command);

    // The tester's worker, reached only through these (TWorkerView).
    void CreateWorker() { FWorkerView->CreateWorker(); }
    void WorkerResume() { FWorkerView->WorkerResume(); }
    bool WorkerToRest() { return FWorkerView->WorkerToRest(); }
    void WorkerFillPins() { FWorkerView->WorkerFillPins(); }
    void WorkerStopAfterPass() { FWorkerView->WorkerStopAfterPass(); }
    void WorkerMustRepair() { FWorkerView->WorkerMustRepair(); }
    bool WorkerAutonomous() const { return FWorkerView->WorkerAutonomous(); }
    int GeneratorLines() const { return FWorkerView->GeneratorLines(); }
    void GeneratorReset() { FWorkerView->GeneratorReset(); }

    // The rooms, made first and gone last: they hold nothing but their way back to the window.
    std::unique_ptr<TProjectCommands> FProject;
    std::unique_ptr<TConnectorCommands> FConnectors;
    std::unique_ptr<TTesterPanel> FTesterPanel;
    std::unique_ptr<TWorkerView> FWorkerView;

    TfmMainOptions FOptions;
    bool FStarted = false;
    bool FInDestroy = false;
    bool FCheckFromEditor = false; // the connection check ran from the editor mode
    QStringList FDeviceProblems;   // settings of the "Device" section that could not be taken
    TTesterSettings FTester;
    std::unique_ptr<TAppSettings> FAppSettings;
    std::unique_ptr<TProperty> FProperty;
    std::unique_ptr<TfmSootv> FfmSootv;
    std::unique_ptr<TSootv> FSootv;
    std::unique_ptr<TWorkPlace> FWorkPlace;
    QPointer<TWorkPlaceView> FWorkPlaceView; // owned by sbWorkSpace
    std::unique_ptr<TUSBHardWork> FHard;
    std::unique_ptr<TCheckController> FCheck;
    std::unique_ptr<TCheckRecords> FRecords;
    std::unique_ptr<TCheckApproval> FApproval;
};
