#include "TfmMain.h"

#include "AppHelp.h"
#include "AppMessageBox.h"
#include "AppWindowAction.h"
#include "CreateFormPlaced.h"
#include "TAppFont.h"
#include "TAppSettings.h"
#include "TCheckPoints.h"
#include "TColors.h"
#include "TErrors.h"
#include "TFormPlacement.h"
#include "TOffThreadCall.h"
#include "TPinGrid.h"
#include "TProperty.h"
#include "TRazem.h"
#include "TRazemView.h"
#include "TSootv.h"
#include "TUSBHardWork.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"
#include "TfmAbout.h"
#include "TfmConstr.h"
#include "TfmSootv.h"
#include "TfmStartUp.h"
#include "WorkWithCOM.h"
#include "XEdit.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

namespace {

constexpr int ClientWidth = 822;
constexpr int ClientHeight = 393;

constexpr int KeyEscape = 27;
constexpr int KeyG = 71;
constexpr int KeyH = 72;
constexpr int KeyL = 76;

const QColor LampRed(255, 0, 0);
const QColor LampGreen(0, 128, 0);
const QColor LampYellow(255, 255, 0);
const QColor LampGray(128, 128, 128);

QFrame* NewLamp(const QString& name, const QColor& color, QWidget* parent) {
    auto* lamp = new QFrame(parent);
    lamp->setObjectName(name);
    lamp->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    lamp->setFixedSize(17, 17);
    lamp->setAutoFillBackground(true);
    TfmMain::SetLampColor(lamp, color);
    return lamp;
}

// The file name typed without an extension gets ".pvl", as the save dialog does.
QString WithDefaultSuffix(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    return path + QLatin1String(".pvl");
}

} // namespace

TfmMain::TfmMain(TfmMainOptions options, QWidget* parent)
    : QMainWindow(parent), FOptions(std::move(options)) {
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
    plMenuTester = CreateTesterPanel();
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

QFrame* TfmMain::CreateTesterPanel() {
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("plMenuTester"));
    SetHelpContext(panel, HelpContext::Tester);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setFixedHeight(77);
    // The panel's small type lets the four groups and the exit button share the window's width.
    panel->setFont(TAppFont::PixelFont(11));
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(6, 2, 6, 4);
    row->setSpacing(6);

    // Probe lamps.
    gbZondState = new QGroupBox(tr("Состояние зонда"), panel);
    gbZondState->setObjectName(QStringLiteral("gbZondState"));
    gbZondState->setStatusTip(tr("Отображает состояния зондов чтения и записи"));
    {
        auto* grid = new QGridLayout(gbZondState);
        grid->setContentsMargins(8, 2, 8, 4);
        grid->setVerticalSpacing(2);
        auto* lbIn = new QLabel(tr("Вход"), gbZondState);
        auto* lbOut = new QLabel(tr("Выход", "the probe output lamp"), gbZondState);
        plZondIn_Ind = NewLamp(QStringLiteral("plZondIn_Ind"), LampRed, gbZondState);
        plZondOut_Ind = NewLamp(QStringLiteral("plZondOut_Ind"), LampGray, gbZondState);
        grid->addWidget(lbIn, 0, 0, Qt::AlignHCenter);
        grid->addWidget(lbOut, 0, 1, Qt::AlignHCenter);
        grid->addWidget(plZondIn_Ind, 1, 0, Qt::AlignHCenter);
        grid->addWidget(plZondOut_Ind, 1, 1, Qt::AlignHCenter);
    }
    row->addWidget(gbZondState);

    // Probe output selector.
    rgZondWrite = new QGroupBox(tr("Зонд - запись"), panel);
    rgZondWrite->setObjectName(QStringLiteral("rgZondWrite"));
    rgZondWrite->setStatusTip(tr("Управление выходным зондом"));
    rgZondWriteItems = new QButtonGroup(rgZondWrite);
    rgZondWriteItems->setExclusive(true);
    {
        auto* grid = new QGridLayout(rgZondWrite);
        grid->setContentsMargins(8, 2, 8, 2);
        grid->setVerticalSpacing(0);
        const QString items[] = {QStringLiteral("Hi"), QStringLiteral("Low"), QStringLiteral("Gen"),
                                 tr("Выключен")};
        for (int i = 0; i < 4; ++i) {
            auto* rb = new QRadioButton(items[i], rgZondWrite);
            rb->setObjectName(QStringLiteral("rgZondWrite_%1").arg(i));
            rgZondWriteItems->addButton(rb, i);
            grid->addWidget(rb, i % 2, i / 2);
        }
        rgZondWriteItems->button(ZondWriteMode::Off)->setChecked(true);
    }
    connect(rgZondWriteItems, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (!checked)
            return;
        FTester.ZondWrite = id;
        Guarded([this] { rgZondWriteClick(); });
    });
    row->addWidget(rgZondWrite);

    // Reading.
    gbRead = new QGroupBox(tr("Чтение"), panel);
    gbRead->setObjectName(QStringLiteral("gbRead"));
    {
        auto* grid = new QGridLayout(gbRead);
        grid->setContentsMargins(8, 2, 8, 2);
        grid->setVerticalSpacing(0);
        cbReadRaz = new QCheckBox(tr("Читать разъем"), gbRead);
        cbReadRaz->setObjectName(QStringLiteral("cbReadRaz"));
        cbReadRaz->setChecked(true);
        cbReadZond = new QCheckBox(tr("Читать зонд"), gbRead);
        cbReadZond->setObjectName(QStringLiteral("cbReadZond"));
        cbReadZond->setChecked(true);
        plCicle = new QLabel(tr("Цикл"), gbRead);
        plCicle->setObjectName(QStringLiteral("plCicle"));
        plCicle->setAlignment(Qt::AlignCenter);
        plCicle->setFrameStyle(QFrame::Panel | QFrame::Raised);
        plCicle->setLineWidth(2);
        plCicle->setMinimumSize(60, 36);
        plCicle->setCursor(Qt::PointingHandCursor);
        grid->addWidget(cbReadRaz, 0, 0);
        grid->addWidget(cbReadZond, 1, 0);
        grid->addWidget(plCicle, 0, 1, 2, 1);
    }
    // The boxes act on every change of their state, also when the program checks them.
    connect(cbReadRaz, &QCheckBox::toggled, this,
            [this] { Guarded([this] { cbReadRazClick(); }); });
    connect(cbReadZond, &QCheckBox::toggled, this,
            [this] { Guarded([this] { cbReadZondClick(); }); });
    row->addWidget(gbRead);

    // Legend of the contact colours.
    gbInfo = new QGroupBox(tr("Информация"), panel);
    gbInfo->setObjectName(QStringLiteral("gbInfo"));
    {
        auto* grid = new QGridLayout(gbInfo);
        grid->setContentsMargins(6, 0, 6, 0);
        grid->setVerticalSpacing(0);
        grid->setHorizontalSpacing(4);
        const struct {
            const char* Name;
            QColor Color;
            QString Text;
        } legend[] = {
            {"plInfoRed", LampRed, tr("Уровень логической единицы")},
            {"plInfoGreen", LampGreen, tr("Уровень логического нуля")},
            {"plInfoYellow", LampYellow, tr("Работает генератор")},
            {"plInfoGray", LampGray, tr("Вывод не задействован")},
        };
        const QFont legendFont = TAppFont::PixelFont(10);
        for (int i = 0; i < 4; ++i) {
            QFrame* lamp = NewLamp(QString::fromLatin1(legend[i].Name), legend[i].Color, gbInfo);
            lamp->setFixedSize(10, 10);
            auto* text = new QLabel(legend[i].Text, gbInfo);
            text->setFont(legendFont);
            grid->addWidget(lamp, i, 0);
            grid->addWidget(text, i, 1);
        }
    }
    row->addWidget(gbInfo);
    row->addStretch(1);

    btTesterExit = new QPushButton(tr("Выход"), panel);
    btTesterExit->setObjectName(QStringLiteral("btTesterExit"));
    btTesterExit->setFocusPolicy(Qt::TabFocus);
    connect(btTesterExit, &QPushButton::clicked, acExit, &QAction::trigger);
    row->addWidget(btTesterExit, 0, Qt::AlignVCenter);
    return panel;
}

QColor TfmMain::LampColor(const QFrame* lamp) {
    return lamp->palette().color(QPalette::Window);
}

void TfmMain::SetLampColor(QFrame* lamp, const QColor& color) {
    QPalette p = lamp->palette();
    p.setColor(QPalette::Window, color);
    lamp->setPalette(p);
    lamp->update();
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
    FCheck->SetVerifyGate([this](const TCheckPoints& points, const TReference& reference) {
        return FRecords->BeforeVerify(ProjectFile(), points, reference);
    });
    connect(FCheck.get(), &TCheckController::VerifyFinished, FRecords.get(),
            [this](const TCheckResult& result) { FRecords->AfterVerify(result); });
    connect(FCheck.get(), &TCheckController::WatchFinished, FRecords.get(),
            [this](const std::vector<TLatchedFault>& latched, long long checks) {
                FRecords->AfterWatch(latched, checks);
            });

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

int TfmMain::ZondWriteIndex() const {
    return rgZondWriteItems->checkedId();
}

void TfmMain::SetZondWriteIndex(int index) {
    if (QAbstractButton* b = rgZondWriteItems->button(index))
        b->setChecked(true);
}

void TfmMain::UpdateModeItems() {
    const bool enabled = acChangeMode->isEnabled();
    N8->setEnabled(enabled && N8->property("modeEnabled").toBool());
    N7->setEnabled(enabled && N7->property("modeEnabled").toBool());
}

void TfmMain::SetCurrentFile(const QString& path) {
    if (FProperty != nullptr)
        FProperty->SetCurrentFile(path);
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

void TfmMain::ShowCycle(bool on) {
    plCicle->setFrameShadow(on ? QFrame::Sunken : QFrame::Raised);
}

void TfmMain::ApplyZondWrite() {
    if (FProperty == nullptr)
        return;
    if (ZondWriteIndex() == ZondWriteMode::Gen)
        FProperty->SetCycle(true);
    else if (GeneratorLines() == 0)
        FProperty->SetCycle(false);
    WorkerResume();
}

void TfmMain::rgZondWriteClick() {
    ApplyZondWrite();
}

void TfmMain::ReadBoxClick(QCheckBox* box, bool readRaz) {
    if (FProperty == nullptr)
        return;
    // The probe output is switched off while the reading changes, then restored.
    const int zond = ZondWriteIndex();
    SetZondWriteIndex(ZondWriteMode::Off);
    QThread::msleep(50);
    if (readRaz)
        FProperty->SetReadRaz(box->isChecked());
    else
        FProperty->SetReadZond(box->isChecked());
    SetZondWriteIndex(zond);
    WorkerResume();
}

void TfmMain::cbReadRazClick() {
    ReadBoxClick(cbReadRaz, true);
}

void TfmMain::cbReadZondClick() {
    ReadBoxClick(cbReadZond, false);
}

void TfmMain::plCicleClick() {
    if (FProperty != nullptr)
        FProperty->SetCycle(!FProperty->Cycle());
}

void TfmMain::MarkGenerators() {
    if (FWorkPlace == nullptr)
        return;
    for (int i = 0; i < FWorkPlace->Count(); ++i) {
        TRazem* r = FWorkPlace->Razem(i);
        for (int c = 0; c < r->ColCount(); ++c)
            for (int k = 0; k < r->RowCount() / 2; ++k) {
                TContact& t = r->FCells[std::size_t(c)][std::size_t(2 * k)];
                if (t.State == TContactState::csGenerator)
                    t.IndColor = TProperty::IndYellow;
            }
        r->Repaint();
    }
}

int TfmMain::VirtualKey(const QKeyEvent& event) {
    // Letters of other layouts arrive as their upper-case character: П, Р and Д sit on the keys
    // G, H and L of the Russian layout.
    switch (event.key()) {
    case Qt::Key_Escape:
        return KeyEscape;
    case Qt::Key_G:
    case 0x041F: // П
    case 0x043F: // п
        return KeyG;
    case Qt::Key_H:
    case 0x0420: // Р
    case 0x0440: // р
        return KeyH;
    case Qt::Key_L:
    case 0x0414: // Д
    case 0x0434: // д
        return KeyL;
    default:
        break;
    }
    // Another layout: the physical key (X11 key codes of G, H and L).
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        switch (event.nativeScanCode()) {
        case 42:
            return KeyG;
        case 43:
            return KeyH;
        case 46:
            return KeyL;
        default:
            break;
        }
    }
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z)
        return event.key();
    return int(event.nativeVirtualKey());
}

void TfmMain::FormKeyDown(int key) {
    if (!IsTesterMode() || FProperty == nullptr)
        return;
    if (key == KeyEscape && FProperty->Cycle()) {
        if (WorkerAutonomous()) {
            cbReadRaz->setChecked(true);
            cbReadZond->setChecked(true);
            FProperty->SetReadRaz(true);
            FProperty->SetReadZond(true);
        }
        // Every generator assignment ends; the probe output goes off.
        FWorkPlace->StopGenerators();
        SetZondWriteIndex(ZondWriteMode::Off);
        GeneratorReset();
        QThread::msleep(500);
        WorkerResume();
        WorkerStopAfterPass();
    }
    if (key == KeyG)
        SetZondWriteIndex(ZondWriteMode::Gen);
    else if (key == KeyH)
        SetZondWriteIndex(ZondWriteMode::Hi);
    else if (key == KeyL)
        SetZondWriteIndex(ZondWriteMode::Low);
    ApplyZondWrite();
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

void TfmMain::N15Click() {
    if (FWorkPlace == nullptr)
        return;
    if (FHard == nullptr) {
        CreateWorker();
        FHard->SetModel(FWorkPlace.get(), FSootv.get());
    }
    // The worker re-opens the unit only in the tester mode; a check started in the editor mode
    // returns to it once the worker has reported (SetModeControls).
    FCheckFromEditor = !plMenuTester->isVisibleTo(this);
    FWorkPlace->SetTesterMode(true);
    WorkerFillPins();
    WorkerMustRepair();
    WorkerResume();
}

void TfmMain::N16Click() {
    if (AppMessageBox(tr("Вы действительно хотите перезагрузить блок диагностики?"),
                      TMsgKind::Question) != TMsgAnswer::Yes)
        return;
    if (FHard != nullptr)
        FHard->RebootUnit();
}

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
// Project commands

TfmMain::TSaveAnswer TfmMain::QuerySaveChanges(bool /*checkMode*/) {
    // Unsaved changes are never dropped without a question, in either mode.
    if (FWorkPlace == nullptr || FWorkPlace->Count() == 0 || !FWorkPlace->Modified)
        return TSaveAnswer::GoOn;
    switch (AppMessageBox(tr("Сохранить изменения в текущем файле?"), TMsgKind::QuestionCancel)) {
    case TMsgAnswer::Yes:
        // Cancelling the save dialog keeps the project: the command stops.
        return acSaveExecute() ? TSaveAnswer::Yes : TSaveAnswer::Cancel;
    case TMsgAnswer::No:
        return TSaveAnswer::No;
    default:
        return TSaveAnswer::Cancel;
    }
}

QString TfmMain::ChooseFile(bool save, const QString& startDir) {
    if (FOptions.FileDialog)
        return save ? WithDefaultSuffix(FOptions.FileDialog(true, startDir))
                    : FOptions.FileDialog(false, startDir);
    QFileDialog dialog(this);
    dialog.setObjectName(save ? QStringLiteral("dlgSave") : QStringLiteral("dlgOpen"));
    dialog.setDirectory(startDir);
    dialog.setNameFilter(tr("Файлы Pinvel (*.pvl)"));
    dialog.setDefaultSuffix(QStringLiteral("pvl"));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return save ? WithDefaultSuffix(dialog.selectedFiles().constFirst())
                : dialog.selectedFiles().constFirst();
}

bool TfmMain::NewProject() {
    if (FCheck != nullptr)
        FCheck->ProjectReplaced();
    // No pass may run while the workspace and the table are replaced.
    if (!WorkerToRest())
        return false;
    if (FHard != nullptr && !FHard->SetModel(nullptr, nullptr))
        return false;
    if (FfmSootv != nullptr)
        FfmSootv->SetProject(nullptr, nullptr);
    FWorkPlace.reset();
    FWorkPlace = std::make_unique<TWorkPlace>();
    // The question about the old project's changes has been answered: a project just created or
    // read has none.
    FWorkPlace->Modified = false;
    FWorkPlaceView = new TWorkPlaceView(FWorkPlace.get(), this, sbWorkSpace);
    FSootv = FfmSootv != nullptr ? std::make_unique<TSootv>(FfmSootv->GridX1(), FfmSootv->GridX2())
                                 : std::make_unique<TSootv>();
    FWorkPlace->FSootv = FSootv.get();
    if (FfmSootv != nullptr) {
        FfmSootv->SetProject(FWorkPlace.get(), FSootv.get());
        FfmSootv->ClearGrids();
    }
    if (FHard != nullptr)
        FHard->SetModel(FWorkPlace.get(), FSootv.get());
    return true;
}

void TfmMain::ReadProject(const QString& path) {
    try {
        FWorkPlace->LoadFromFile(path);
    } catch (...) {
        // What was read stays, and the correspondence dialog shows it; the error goes on to
        // the report.
        FWorkPlace->ClearSootvGrids();
        FWorkPlace->FillSootvGrids();
        throw;
    }
}

void TfmMain::acNewExecute() {
    if (IsTesterMode())
        return;
    if (QuerySaveChanges(false) == TSaveAnswer::Cancel)
        return;
    if (!NewProject())
        return;
    SetCurrentFile(QString());
    acRazAddExecute();
}

void TfmMain::acLoadExecute() {
    if (QuerySaveChanges(true) == TSaveAnswer::Cancel)
        return;
    const bool tester = IsTesterMode();
    if (!NewProject())
        return;
    FWorkPlace->SetTesterMode(tester);
    SetCurrentFile(QString());
    if (tester) {
        acChangeModeExecute();
        QThread::msleep(100);
    }
    const QString path = ChooseFile(false, FProperty->OpenDir());
    if (path.isEmpty())
        return;
    ReadProject(path);
    SetCurrentFile(path);
    if (tester) {
        QThread::msleep(100);
        acChangeModeExecute();
    }
    FProperty->SetOpenDir(TProperty::FileFolder(path));
    FProperty->LastFiles().AddFile(path);
}

bool TfmMain::acSaveExecute() {
    QString path = FProperty->CurrentFile();
    if (path.isEmpty()) {
        path = ChooseFile(true, FProperty->SaveDir());
        if (path.isEmpty())
            return false;
    }
    FWorkPlace->SaveToFile(path);
    SetCurrentFile(path);
    FProperty->SetSaveDir(TProperty::FileFolder(path));
    FProperty->LastFiles().AddFile(path);
    return true;
}

bool TfmMain::acSaveAsExecute() {
    const QString path = ChooseFile(true, FProperty->SaveDir());
    if (path.isEmpty())
        return false;
    FWorkPlace->SaveToFile(path);
    SetCurrentFile(path);
    FProperty->SetSaveDir(TProperty::FileFolder(path));
    FProperty->LastFiles().AddFile(path);
    return true;
}

void TfmMain::LastFileClick(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        AppMessageBox(tr("Указанный файл не найден! Проверьте правильность пути!"),
                      TMsgKind::Warning);
        return;
    }
    if (QuerySaveChanges(true) == TSaveAnswer::Cancel)
        return;
    const bool tester = IsTesterMode();
    if (!NewProject())
        return;
    FWorkPlace->SetTesterMode(tester);
    SetCurrentFile(QString());
    if (tester)
        acChangeModeExecute();
    ReadProject(path);
    SetCurrentFile(path);
    if (tester)
        acChangeModeExecute();
    FProperty->SetOpenDir(TProperty::FileFolder(path));
    FProperty->LastFiles().AddFile(path);
}

// ---------------------------------------------------------------------------------------------
// Editing commands

namespace {

// The reset contact position: no contact, red indicator, button face; the generator slot stays.
void ResetPosition(TContact& t) {
    t.State = TContactState::csEmpty;
    t.NameIndex = -1;
    t.IndColor = Colors::clRed;
    t.ButtColor = Colors::clBtnFace;
}

// Every position of the connector's present size becomes the reset contact.
void ResetPositions(TRazem& k) {
    for (int c = 0; c < k.ColCount(); ++c)
        for (int r = 0; r < k.RowCount(); r += 2)
            ResetPosition(k.FCells[std::size_t(c)][std::size_t(r)]);
}

} // namespace

void TfmMain::ReadConstr(const TfmConstr& dialog, TRazem& k) {
    const int rows = dialog.RowCount();
    k.SetRowCount(2 * rows);
    std::vector<TRowInfo> infos = dialog.Rows();
    infos.resize(std::size_t(std::max(rows, 0)), TRowInfo{0, 0, 0, 0, 0, QString()});
    k.FRows = std::move(infos);
    k.CheckRows();
    k.SetRazName(dialog.RazName());
    k.SetColCount(k.ColumnsNeeded());
    k.SetButtSize(dialog.ButtSize());
}

void TfmMain::acRazAddExecute() {
    if (FWorkPlace == nullptr)
        return;
    std::unique_ptr<TfmConstr> dialog = CreateFormPlaced<TfmConstr>(FWorkPlace.get(), this);
    if (ExecDialog(*dialog) != QDialog::Accepted)
        return;
    auto razem = std::make_unique<TRazem>();
    ReadConstr(*dialog, *razem);
    dialog.reset();

    // A new connector shares neither its top nor its left with any other.
    for (bool moved = true; moved;) {
        moved = false;
        for (int i = 0; i < FWorkPlace->Count() && !moved; ++i) {
            const TRazem* other = FWorkPlace->Razem(i);
            if (razem->Top() == other->Top()) {
                razem->SetTop(razem->Top() + 20);
                moved = true;
            }
            if (razem->Left() == other->Left()) {
                razem->SetLeft(razem->Left() + 20);
                moved = true;
            }
        }
    }
    TRazem* k = razem.get();
    if (!FWorkPlace->Add(std::move(razem)))
        return;
    ResetPositions(*k);
    k->BuildNames();
}

void TfmMain::acRazDeleteExecute() {
    if (FWorkPlace == nullptr)
        return;
    if (AppMessageBox(tr("Вы действительно хотите удалить разъем?"), TMsgKind::Question) !=
        TMsgAnswer::Yes)
        return;
    if (FWorkPlace->SelectedRazem < 0 || FWorkPlace->SelectedRazem >= FWorkPlace->Count()) {
        AppMessageBox(tr("Разъем не выбран!"), TMsgKind::Information);
        return;
    }
    if (!FWorkPlace->Delete(FWorkPlace->SelectedRazem))
        AppMessageBox(tr("Не удалось удалить разъем!"), TMsgKind::Error);
    else
        FWorkPlace->Modified = true; // else closing would lose the deletion without a word
}

void TfmMain::acRazEditExecute() {
    if (FWorkPlace == nullptr || FWorkPlace->SelectedRazem == -1)
        return;
    TRazem* k = FWorkPlace->Selected();
    if (k == nullptr)
        return;
    std::unique_ptr<TfmConstr> dialog = CreateFormPlaced<TfmConstr>(FWorkPlace.get(), this);
    dialog->PrepareEdit(*k);
    if (ExecDialog(*dialog) != QDialog::Accepted)
        return;
    if (AppMessageBox(tr("Внимание!") + QLatin1Char('\r') +
                          tr("Применение параметров переименует контакты в соответствии с "
                             "таблицей! Продолжить?"),
                      TMsgKind::WarningQuestion) != TMsgAnswer::Yes)
        return;
    ResetPositions(*k);
    ReadConstr(*dialog, *k);
    dialog.reset();
    // Positions that never held a contact take no part either.
    for (int c = 0; c < k->ColCount(); ++c)
        for (int r = 0; r < k->RowCount(); r += 2) {
            TContact& t = k->FCells[std::size_t(c)][std::size_t(r)];
            if (t.NameIndex == 0) {
                t.State = TContactState::csEmpty;
                t.IndColor = Colors::clRed;
                t.ButtColor = Colors::clBtnFace;
            }
        }
    k->BuildNames();
    k->Repaint();
    if (FfmSootv != nullptr)
        FfmSootv->ClearGrids();
    FWorkPlace->FillSootvGrids();
}

void TfmMain::acSetSootvExecute() {
    if (FfmSootv == nullptr)
        return;
    FfmSootv->show();
    FfmSootv->raise();
    FfmSootv->activateWindow();
}

void TfmMain::N12Click() {
    TRazem* k = FWorkPlace != nullptr ? FWorkPlace->Selected() : nullptr;
    TRazemView* view =
        k != nullptr && FWorkPlaceView != nullptr ? FWorkPlaceView->ViewOf(k) : nullptr;
    if (view == nullptr || !TRazem::IsInside(k->FMarkCol, k->FMarkRow))
        return;
    // Either row of the contact's pair names the same contact: rename through its button row,
    // with the field at the left and bottom edges of the cell that was clicked.
    const QRect cell = view->CellRect(k->FMarkCol, k->FMarkRow);
    view->RenameContact(k->FMarkRow - (k->FMarkRow % 2) + 1, k->FMarkCol, cell.left(),
                        cell.bottom() + 1);
}

void TfmMain::N13Click() {
    TRazem* k = FWorkPlace != nullptr ? FWorkPlace->Selected() : nullptr;
    if (k == nullptr || !TRazem::IsInside(k->FMarkCol, k->FMarkRow))
        return;
    const int record = k->FMarkRow - (k->FMarkRow % 2);
    TContact& t = k->FCells[std::size_t(k->FMarkCol)][std::size_t(record)];
    const QColor initial = QColor::fromRgb(Colors::ToRgb(t.ButtColor));
    std::optional<QColor> chosen;
    if (FOptions.ColorDialog) {
        chosen = FOptions.ColorDialog(initial);
    } else {
        const QColor c = QColorDialog::getColor(initial, this);
        if (c.isValid())
            chosen = c;
    }
    if (!chosen || !chosen->isValid())
        return;
    t.ButtColor = Colors::FromRgb(chosen->rgb() & 0xFFFFFF);
    FWorkPlace->Modified = true; // the colour is stored in the project
    k->RedrawCell(k->FMarkCol, record + 1);
}

// ---------------------------------------------------------------------------------------------
// The tester's worker

void TfmMain::CreateWorker() {
    TDeviceSettings device = ReadDeviceSettings(FAppSettings->Ini());
    FDeviceProblems = device.Problems;
    if (FOptions.DeviceLink)
        device.Link = *FOptions.DeviceLink;
    if (FOptions.DeviceHarness)
        device.Harness = *FOptions.DeviceHarness;
    if (FOptions.DeviceReplyTimeoutMs)
        device.ReplyTimeoutMs = *FOptions.DeviceReplyTimeoutMs;
    const QStringList folders = FOptions.LibraryFolders;
    auto factory = [device, folders]() -> std::shared_ptr<IComPort> {
        QString error;
        TComPortHandle port = folders.isEmpty() ? ComCreator(device.Config(), &error)
                                                : ComCreator(device.Config(), folders, &error);
        // The box the user sees is the general one; the exact reason (a wrong link in the
        // settings file, a harness that does not read) goes to the program's log.
        if (!port && !error.isEmpty())
            qWarning("pinvel: %s", qUtf8Printable(error));
        return std::shared_ptr<IComPort>(std::move(port));
    };
    FHard = std::make_unique<TUSBHardWork>(FTester, static_cast<IHardView&>(*this), factory);
    FHard->SetAppInfo(AppTitle().toUtf8(), 0);
    if (FWorkPlace != nullptr && FSootv != nullptr)
        FHard->SetModel(FWorkPlace.get(), FSootv.get());
}

void TfmMain::WorkerResume() {
    if (FHard != nullptr)
        FHard->Resume();
}

bool TfmMain::WorkerToRest() {
    if (FHard == nullptr || FHard->BringToRest())
        return true;
    // From inside one of the worker's own calls (the recovery leaves the tester mode) the worker
    // stands still until that call returns.
    if (FHard->InViewCall())
        return true;
    AppMessageBox(tr("Блок диагностики не отвечает, и тестер не удалось остановить. Повторите "
                     "команду."),
                  TMsgKind::Warning);
    return false;
}

void TfmMain::WorkerFillPins() {
    if (FHard != nullptr)
        FHard->FillPins();
}

void TfmMain::WorkerStopAfterPass() {
    if (FHard != nullptr)
        FHard->FStopAfterPass = true;
}

void TfmMain::WorkerMustRepair() {
    if (FHard != nullptr)
        FHard->FMustRepair = true;
}

bool TfmMain::WorkerAutonomous() const {
    return FHard != nullptr && FHard->FAutonomous;
}

int TfmMain::GeneratorLines() const {
    return FHard != nullptr ? FHard->FGenerator.FLines() : 0;
}

void TfmMain::GeneratorReset() {
    if (FHard != nullptr)
        FHard->FGenerator.SetLines(0);
}

// ---------------------------------------------------------------------------------------------
// What the worker asks of the window

void TfmMain::RepaintContacts(const std::vector<TPaintItem>& items) {
    if (FWorkPlace == nullptr)
        return;
    for (const TPaintItem& item : items)
        if (TRazem* r = FWorkPlace->Razem(item.FRazemIndex);
            r != nullptr && TRazem::IsInside(item.FPaintCol, item.FPaintRow))
            r->RedrawCell(item.FPaintCol, item.FPaintRow);
}

void TfmMain::ShowZondState(TColor zondIn, TColor zondOut) {
    SetLampColor(plZondIn_Ind, QColor::fromRgb(Colors::ToRgb(zondIn)));
    SetLampColor(plZondOut_Ind, QColor::fromRgb(Colors::ToRgb(zondOut)));
}

bool TfmMain::ShowMessage(const QString& text, THardMessage kind) {
    TMsgKind box = TMsgKind::Information;
    switch (kind) {
    case THardMessage::Information:
        box = TMsgKind::Information;
        break;
    case THardMessage::Warning:
        box = TMsgKind::Warning;
        break;
    case THardMessage::Stop:
        box = TMsgKind::Error;
        break;
    case THardMessage::WarningQuestion:
        box = TMsgKind::WarningQuestion;
        break;
    case THardMessage::PlainQuestion:
        box = TMsgKind::PlainQuestion;
        break;
    }
    const TMsgAnswer answer = AppMessageBox(text, box);
    return answer == TMsgAnswer::Yes || answer == TMsgAnswer::Ok;
}

void TfmMain::RestoreReads() {
    cbReadRaz->setChecked(true);
    if (FProperty != nullptr)
        FProperty->SetReadRaz(true);
    cbReadZond->setChecked(true);
    if (FProperty != nullptr)
        FProperty->SetReadZond(true);
}

void TfmMain::ShowAutonomous(bool on) {
    if (FWorkPlace != nullptr)
        FWorkPlace->SetRazemsEnabled(!on);
    rgZondWrite->setEnabled(!on);
}

void TfmMain::StopCycle() {
    if (FProperty != nullptr)
        FProperty->SetCycle(false);
}

void TfmMain::SetModeControls(bool changeMode, bool editorItem, bool testerItem) {
    if (FCheckFromEditor) {
        FCheckFromEditor = false;
        if (IsTesterMode() && FWorkPlace != nullptr)
            FWorkPlace->SetTesterMode(false); // the panels never left the editor mode
        editorItem = false;
        testerItem = true;
    }
    N7->setProperty("modeEnabled", editorItem);
    N8->setProperty("modeEnabled", testerItem);
    acChangeMode->setEnabled(changeMode);
    UpdateModeItems();
}

void TfmMain::LeaveTesterMode() {
    if (IsTesterMode())
        acChangeModeExecute();
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
