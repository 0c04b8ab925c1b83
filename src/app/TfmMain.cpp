// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmMain.h"

#include "AppHelp.h"
#include "AppMessageBox.h"
#include "AppWindowAction.h"
#include "CreateFormPlaced.h"
#include "TAppFont.h"
#include "TAppSettings.h"
#include "TCheckPoints.h"
#include "TCheckResultsPanel.h"
#include "TColors.h"
#include "TErrors.h"
#include "TFormPlacement.h"
#include "TOffThreadCall.h"
#include "TPinGrid.h"
#include "TProperty.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TUSBHardWork.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"
#include "TfmAbout.h"
#include "TfmSootv.h"
#include "TfmStartUp.h"
#include "WorkWithCOM.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 822;
constexpr int ClientHeight = 393;

} // namespace

TfmMain::TfmMain(TfmMainOptions options, QWidget* parent)
    : QMainWindow(parent), FProject(std::make_unique<TProjectCommands>(*this)),
      FConnectors(std::make_unique<TConnectorCommands>(*this)),
      FTesterPanel(std::make_unique<TTesterPanel>(*this)),
      FWorkerView(std::make_unique<TWorkerView>(*this)), FOptions(std::move(options)) {
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(AppTitle());
    SetHelpContext(this, HelpContext::Main);
    new TFormPlacement(this);
    CreateActions();
    CreateMenus();
    CreateControls();
    FormCreate();
}

TfmMain::~TfmMain() {
    FormDestroy();
}

// ---------------------------------------------------------------------------------------------
// The window's design

void TfmMain::CreateActions() {
    auto make = [this](const char* name, const QString& text, const QKeySequence& keys = {}) {
        return CreateWindowAction(*this, this, name, text, keys);
    };
    acNew = make("acNew", tr("Новый"), QKeySequence(Qt::CTRL | Qt::Key_N));
    acLoad = make("acLoad", tr("Открыть..."), QKeySequence(Qt::CTRL | Qt::Key_O));
    acLoad->setIconText(tr("Загрузить..."));
    acSave = make("acSave", tr("Сохранить"), QKeySequence(Qt::CTRL | Qt::Key_S));
    acSaveAs = make("acSaveAs", tr("Сохранить как..."));
    acExit = make("acExit", tr("Выход"), QKeySequence(Qt::CTRL | Qt::Key_Q));
    acRazAdd = make("acRazAdd", tr("Добавить"));
    acRazDelete = make("acRazDelete", tr("Удалить"));
    acRazEdit = make("acRazEdit", tr("Редактировать"));
    acSetSootv = make("acSetSootv", tr("Соответствия"));
    acChangeMode = make("acChangeMode", QString());
    acStartTest = make("acStartTest", QString());
    acStopTest = make("acStopTest", QString());

    auto bind = [this](QAction* a, void (TfmMain::*handler)()) {
        connect(a, &QAction::triggered, this,
                [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    };
    bind(acNew, &TfmMain::acNewExecute);
    bind(acLoad, &TfmMain::acLoadExecute);
    connect(acSave, &QAction::triggered, this, [this] { Guarded([this] { acSaveExecute(); }); });
    connect(acSaveAs, &QAction::triggered, this,
            [this] { Guarded([this] { acSaveAsExecute(); }); });
    connect(acExit, &QAction::triggered, this, &QWidget::close);
    bind(acRazAdd, &TfmMain::acRazAddExecute);
    bind(acRazDelete, &TfmMain::acRazDeleteExecute);
    bind(acRazEdit, &TfmMain::acRazEditExecute);
    bind(acSetSootv, &TfmMain::acSetSootvExecute);
    bind(acChangeMode, &TfmMain::acChangeModeExecute);
    bind(acStartTest, &TfmMain::acStartTestExecute);
    bind(acStopTest, &TfmMain::acStopTestExecute);
    connect(acChangeMode, &QAction::changed, this, &TfmMain::UpdateModeItems);
}

void TfmMain::CreateMenus() {
    QMenuBar* mmMain = menuBar();
    mmMain->setObjectName(QStringLiteral("mmMain"));

    miFile = mmMain->addMenu(tr("Файл"));
    miFile->setObjectName(QStringLiteral("miFile"));
    miFile->addAction(acNew);
    miFile->addAction(acLoad);
    miLastFiles = miFile->addMenu(tr("Последние открытые"));
    miLastFiles->setObjectName(QStringLiteral("miLastFiles"));
    miLastFiles->menuAction()->setEnabled(false);
    miFile->addAction(acSave);
    miFile->addAction(acSaveAs);
    miFile->addSeparator();
    miFile->addAction(acExit);

    N8 = mmMain->addAction(tr("Тестер"));
    N8->setObjectName(QStringLiteral("N8"));
    N7 = mmMain->addAction(tr("Редактор"));
    N7->setObjectName(QStringLiteral("N7"));
    N7->setEnabled(false);
    // Each mode item runs the switch; it is available only while the switch itself is.
    N8->setProperty("modeEnabled", true);
    N7->setProperty("modeEnabled", false);
    connect(N8, &QAction::triggered, acChangeMode, &QAction::trigger);
    connect(N7, &QAction::triggered, acChangeMode, &QAction::trigger);

    miService = mmMain->addMenu(tr("Сервис"));
    miService->setObjectName(QStringLiteral("miService"));
    N15 = miService->addAction(tr("Проверить соединение"));
    N15->setObjectName(QStringLiteral("N15"));
    N16 = miService->addAction(tr("Перезагрузить блок диагностики"));
    N16->setObjectName(QStringLiteral("N16"));
    connect(N15, &QAction::triggered, this, [this] { Guarded([this] { N15Click(); }); });
    connect(N16, &QAction::triggered, this, [this] { Guarded([this] { N16Click(); }); });

    miHelp = mmMain->addMenu(tr("Помощь"));
    miHelp->setObjectName(QStringLiteral("miHelp"));
    N10 = miHelp->addAction(tr("Справка"));
    N10->setObjectName(QStringLiteral("N10"));
    N11 = miHelp->addAction(tr("О программе"));
    N11->setObjectName(QStringLiteral("N11"));
    connect(N10, &QAction::triggered, this, &TfmMain::N10Click);
    connect(N11, &QAction::triggered, this, [this] { Guarded([this] { N11Click(); }); });

    pmCont = new QMenu(this);
    pmCont->setObjectName(QStringLiteral("pmCont"));
    N12 = pmCont->addAction(tr("Переименовать"));
    N12->setObjectName(QStringLiteral("N12"));
    N13 = pmCont->addAction(tr("Изменить цвет"));
    N13->setObjectName(QStringLiteral("N13"));
    connect(N12, &QAction::triggered, this, [this] { Guarded([this] { N12Click(); }); });
    connect(N13, &QAction::triggered, this, [this] { Guarded([this] { N13Click(); }); });
}

void TfmMain::CreateControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    auto* column = new QVBoxLayout(client);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    sbWorkSpace = new QScrollArea(client);
    sbWorkSpace->setObjectName(QStringLiteral("sbWorkSpace"));
    sbWorkSpace->setMinimumHeight(260);
    sbWorkSpace->setWidgetResizable(false);
    sbWorkSpace->setBackgroundRole(QPalette::Window);
    column->addWidget(sbWorkSpace, 1);

    plMenuEditor = CreateEditorPanel();
    column->addWidget(plMenuEditor);
    plMenuTester = FTesterPanel->CreateTesterPanel();
    column->addWidget(plMenuTester);
    plMenuTester->hide();
    setCentralWidget(client);

    statusBar()->setObjectName(QStringLiteral("StatusBar"));
    statusBar()->setSizeGripEnabled(true);

    // Client area 822 x 393 below the menu; the window cannot be made smaller than its design.
    const int menuHeight = menuBar()->sizeHint().height();
    resize(ClientWidth, ClientHeight + menuHeight);
    setMinimumSize(ClientWidth, ClientHeight + menuHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect r(QPoint(0, 0), size());
        r.moveCenter(screen->availableGeometry().center());
        move(r.topLeft());
    }

    // Key preview: every key pressed in this window reaches FormKeyDown first.
    qApp->installEventFilter(this);
}

QFrame* TfmMain::CreateEditorPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("plMenuEditor"));
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFixedHeight(35);
    SetHelpContext(panel, HelpContext::Editor);
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 4, 6, 4);
    auto button = [panel, row](const char* name, const QString& text, QAction* action) {
        auto* b = new QPushButton(text, panel);
        b->setObjectName(QString::fromLatin1(name));
        b->setMinimumWidth(90);
        b->setFocusPolicy(Qt::TabFocus);
        QObject::connect(b, &QPushButton::clicked, action, &QAction::trigger);
        row->addWidget(b);
        return b;
    };
    btRazAdd = button("btRazAdd", tr("Добавить"), acRazAdd);
    btRazDelete = button("btRazDelete", tr("Удалить"), acRazDelete);
    btRazEdit = button("btRazEdit", tr("Параметры"), acRazEdit);
    btSetSootv = button("btSetSootv", tr("Соответствия"), acSetSootv);
    row->addStretch(1);
    btEditorExit = button("btEditorExit", tr("Выход"), acExit);
    return panel;
}

// ---------------------------------------------------------------------------------------------
// Start and end

void TfmMain::FormCreate() {
    auto splash = std::make_unique<TfmStartUp>();

    // Without the device access library the program does not start at all; nothing is created
    // and the settings file is not touched.
    const QString registration = FOptions.LibraryFolders.isEmpty()
                                     ? CheckRegistration()
                                     : CheckRegistration(FOptions.LibraryFolders);
    if (!registration.isEmpty()) {
        AppMessageBox(registration, TMsgKind::Error);
        return;
    }

    FAppSettings = std::make_unique<TAppSettings>(
        FOptions.SettingsPath.isEmpty() ? TIniFile::ProgramSettingsPath() : FOptions.SettingsPath);
    FProperty = std::make_unique<TProperty>(
        FAppSettings->Ini(), FTester, miLastFiles,
        [this](const QString& path) { Guarded([this, path] { LastFileClick(path); }); });
    FProperty->SetTesterModeQuery([this] { return IsTesterMode(); });
    FProperty->SetWorkerControl([this] { WorkerResume(); }, [this] { WorkerStopAfterPass(); });
    FProperty->SetMarkGeneratorsHook([this] { MarkGenerators(); });
    connect(FProperty.get(), &TProperty::TitleChanged, this, &QWidget::setWindowTitle);
    connect(FProperty.get(), &TProperty::CycleShown, this, &TfmMain::ShowCycle);
    FStarted = true;
    TCheckOptions check = FOptions.Check;
    if (!check.ExecDialog && FOptions.ExecDialog)
        check.ExecDialog = FOptions.ExecDialog;
    FCheck = std::make_unique<TCheckController>(*this, static_cast<ICheckHost&>(*this),
                                                miService->menuAction(), std::move(check));
    // The records of the checks: the harness asked before each verify, its record after it.
    FRecords = std::make_unique<TCheckRecords>(FAppSettings->Ini(), *this);
    FRecords->AskDialog = FOptions.HarnessDialog;
    FCheck->Menu()->addSeparator();
    FCheck->Menu()->addAction(FRecords->acJournal);
    // The reference's approval: looked at (and, when the settings ask, required) before each
    // verify, and said in its record.
    FApproval = std::make_unique<TCheckApproval>(FAppSettings->Ini(), FRecords->Config(), *this);
    FApproval->AskDialog = FOptions.ApproveDialog;
    FApproval->CurrentReference = [this](QString& project, TCheckPoints& points,
                                         TReference& reference) {
        project = ProjectFile();
        return FCheck->CurrentReference(points, reference);
    };
    // Beside the reference's own entries, ahead of the checks.
    const QList<QAction*> entries = FCheck->Menu()->actions();
    const qsizetype after = entries.indexOf(FCheck->acReference) + 1;
    FCheck->Menu()->insertAction(after < entries.size() ? entries[after] : nullptr,
                                 FApproval->acApprove);
    connect(FApproval.get(), &TCheckApproval::StateChanged, FCheck->Panel(),
            &TCheckResultsPanel::ShowApproval);
    FCheck->SetVerifyGate([this](const TCheckPoints& points, const TReference& reference) {
        // Required, an unapproved reference is refused before the harness is asked for;
        // otherwise the look only tells the record, after the prompt as before.
        const bool required = FApproval->Required();
        if (required && !FApproval->BeforeVerify(points, reference))
            return false;
        if (!FRecords->BeforeVerify(ProjectFile(), points, reference))
            return false;
        if (!required)
            FApproval->BeforeVerify(points, reference);
        FRecords->SetReferenceApproved(FApproval->Approved());
        return true;
    });
    connect(FCheck.get(), &TCheckController::VerifyFinished, FRecords.get(),
            [this](const TCheckResult& result) { FRecords->AfterVerify(result); });
    connect(FCheck.get(), &TCheckController::WatchFinished, FRecords.get(),
            [this](const std::vector<TLatchedFault>& latched, long long checks) {
                FRecords->AfterWatch(latched, checks);
            });
    connect(FCheck.get(), &TCheckController::ReferenceWritten, FRecords.get(),
            &TCheckRecords::KeepReference);

    try {
        // The splash is on screen and painted before the first command goes to the unit.
        splash->ShowNow();
        FWorkPlace = std::make_unique<TWorkPlace>();
        FWorkPlace->Modified = false;
        FfmSootv = std::make_unique<TfmSootv>(this);
        CreateFormPlaced(FfmSootv.get());
        FSootv = std::make_unique<TSootv>(FfmSootv->GridX1(), FfmSootv->GridX2());
        FfmSootv->SetProject(FWorkPlace.get(), FSootv.get());
        FWorkPlaceView = new TWorkPlaceView(FWorkPlace.get(), this, sbWorkSpace);
        CreateWorker();
        // The unit's hello may take as long as the reply time-out: it is awaited off this thread,
        // so the splash stays painted and the program answers meanwhile.
        TUSBHardWork* hard = FHard.get();
        const bool answered = TOffThreadCall::Run([hard] { return hard->InitUnit(); });
        splash.reset(); // gone before any message box
        // The library's reason (a wrong link, no access to the serial device, a harness that
        // does not read) and the settings that could not be taken follow the general text:
        // they are what the technician can mend.
        QStringList reasons = FDeviceProblems;
        if (!answered) {
            if (const QString why = FHard->InitError(); !why.isEmpty())
                reasons.prepend(why);
            AppMessageBox(UnitFailureText(tr("Не удалось инициализировать устройство. Работа в "
                                             "режиме тестера невозможна!"),
                                          reasons),
                          TMsgKind::Warning);
            acChangeMode->setEnabled(false);
        } else if (!reasons.isEmpty()) {
            AppMessageBox(
                UnitFailureText(
                    tr("Настройки блока диагностики в файле настроек неверны, взяты другие:"),
                    reasons),
                TMsgKind::Warning);
        }
        FWorkPlace->FSootv = FSootv.get();
        if (acChangeMode->isEnabled())
            acChangeModeExecute();
    } catch (...) {
        // The window shows with whatever could be created.
    }
    splash.reset();
    OpenStartupFile();
}

void TfmMain::OpenStartupFile() {
    if (!FStarted || FWorkPlace == nullptr || FOptions.StartupFile.isEmpty())
        return;
    Guarded([this] { LastFileClick(FOptions.StartupFile); });
}

QString TfmMain::UnitFailureText(const QString& text, const QStringList& reasons) {
    return reasons.isEmpty() ? text
                             : text + QStringLiteral("\r\r") + reasons.join(QLatin1Char('\r'));
}

void TfmMain::FormDestroy() {
    if (FInDestroy)
        return;
    FInDestroy = true;
    qApp->removeEventFilter(this);
    if (!FStarted)
        return;
    try {
        FCheck.reset();   // a check under way ends before the worker does
        FApproval.reset();
        FRecords.reset(); // the records handed over are written before the settings go
        if (FHard != nullptr) {
            // The worker ends in order: no pass runs, the unit stops, the loop ends and the
            // thread is joined, then the port is closed and the library let go.
            FHard->BringToRest(3000);
            FHard->StopUnit();
            FHard->Shutdown();
            FHard->ClosePort();
            FHard.reset();
        }
        if (FfmSootv != nullptr)
            FfmSootv->SetProject(nullptr, nullptr);
        FWorkPlace.reset();
        FSootv.reset();
        FfmSootv.reset();
        FProperty.reset(); // writes the folders and the recent files into the settings
        FAppSettings->SaveAtEnd();
        FAppSettings.reset();
    } catch (...) {
    }
}

void TfmMain::closeEvent(QCloseEvent* event) {
    // A save that fails on the way out keeps the window open: the changes are still there.
    bool allowed = false;
    Guarded([&] { allowed = FormCloseQuery(); });
    if (allowed)
        event->accept();
    else
        event->ignore();
}

bool TfmMain::FormCloseQuery() {
    if (!FStarted || FWorkPlace == nullptr || FWorkPlace->Count() == 0)
        return true;
    return QuerySaveChanges(true) != TSaveAnswer::Cancel;
}

// ---------------------------------------------------------------------------------------------
// Modes and the tester panel

bool TfmMain::IsTesterMode() const {
    return FWorkPlace != nullptr && FWorkPlace->IsTesterMode();
}

void TfmMain::UpdateModeItems() {
    const bool enabled = acChangeMode->isEnabled();
    N8->setEnabled(enabled && N8->property("modeEnabled").toBool());
    N7->setEnabled(enabled && N7->property("modeEnabled").toBool());
}

void TfmMain::acChangeModeExecute() {
    if (FWorkPlace == nullptr)
        return;
    const bool tester = !FWorkPlace->IsTesterMode();
    if (!tester) {
        // The editor may change or delete what a pass works on: the worker rests first, and the
        // mode stays when it cannot be brought to rest.
        if (FCheck != nullptr)
            FCheck->EndCheck();
        if (FProperty != nullptr)
            FProperty->SetCycle(false);
        if (!WorkerToRest())
            return;
    }
    FWorkPlace->SetTesterMode(tester);
    if (tester) {
        N8->setProperty("modeEnabled", false);
        N7->setProperty("modeEnabled", true);
        plMenuEditor->hide();
        plMenuTester->show();
        acStartTestExecute();
        WorkerResume();
    } else {
        N8->setProperty("modeEnabled", true);
        N7->setProperty("modeEnabled", false);
        plMenuTester->hide();
        plMenuEditor->show();
    }
    // The project entries of the file menu (and their keys) act in the editor mode only: the
    // workspace must not be replaced under a running tester.
    acNew->setEnabled(!tester);
    acSave->setEnabled(!tester);
    acSaveAs->setEnabled(!tester);
    UpdateModeItems();
    if (FCheck != nullptr)
        FCheck->ModeChanged(tester);
    SetCurrentFile(FProperty != nullptr ? FProperty->CurrentFile() : QString());
}

void TfmMain::acStartTestExecute() {
    if (FWorkPlace == nullptr)
        return;
    if (!FWorkPlace->IsTesterMode())
        FWorkPlace->SetTesterMode(true);
    WorkerFillPins();
    WorkerResume();
}

void TfmMain::acStopTestExecute() {
    if (FHard != nullptr)
        FHard->BringToRest();
}

bool TfmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == plCicle && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            plCicle->rect().contains(mouse->position().toPoint()))
            Guarded([this] { plCicleClick(); });
        return false;
    }
    // A key travels from the focused control up to the window; it is previewed once, at its
    // first receiver.
    QWidget* first = QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : this;
    if (event->type() == QEvent::KeyPress && watched == first && isActiveWindow() &&
        first->window() == this) {
        const int key = VirtualKey(*static_cast<QKeyEvent*>(event));
        // The check takes its keys first (Esc ends it; the tester's keys wait while it runs).
        if (FCheck == nullptr || !FCheck->KeyPressed(key))
            Guarded([this, key] { FormKeyDown(key); });
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------
// Service and help

void TfmMain::N10Click() {
    AppHelpContents();
}

void TfmMain::N11Click() {
    auto about = CreateFormPlaced<TfmAbout>(this);
    ExecDialog(*about);
}

int TfmMain::ExecDialog(QDialog& dialog) {
    if (FOptions.ExecDialog)
        return FOptions.ExecDialog(dialog);
    return dialog.exec();
}

void TfmMain::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const std::exception& e) {
        AppShowException(e);
    }
}

// ---------------------------------------------------------------------------------------------
// What the connectors ask of the window

TGenerator* TfmMain::Generator() {
    return FHard != nullptr ? &FHard->FGenerator : nullptr;
}

bool TfmMain::ReadRaz() const {
    return FTester.ReadRaz;
}

int TfmMain::ZondWrite() const {
    return ZondWriteIndex();
}

void TfmMain::SetCycle(bool on) {
    if (FProperty != nullptr)
        FProperty->SetCycle(on);
}

void TfmMain::ResumeWorker() {
    WorkerResume();
}

QMenu* TfmMain::ContactMenu() {
    return pmCont;
}

// ---------------------------------------------------------------------------------------------
// What the harness check asks of the window

TAbstractHard* TfmMain::Worker() {
    return FHard.get();
}

QString TfmMain::ProjectFile() const {
    return FProperty != nullptr ? FProperty->CurrentFile() : QString();
}

void TfmMain::SetTesterControlsEnabled(bool on) {
    rgZondWrite->setEnabled(on && !WorkerAutonomous());
    gbRead->setEnabled(on);
}
