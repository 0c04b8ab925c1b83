// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCheckController.h"

#include "AppMessageBox.h"
#include "AppWindowAction.h"
#include "CreateFormPlaced.h"
#include "ICheckHost.h"
#include "TAbstractHard.h"
#include "TAppSettings.h"
#include "TCheckResultsPanel.h"
#include "TCheckRun.h"
#include "TErrors.h"
#include "TGuidedChecks.h"
#include "TRazem.h"
#include "TReferenceReplace.h"
#include "TSootv.h"
#include "TWireList.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"
#include "TfmReference.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

namespace {

constexpr int KeyEscape = 27;

const QString SettingsSection = QStringLiteral("Check");
const QString SoundKey = QStringLiteral("Sound");
const QString StateKey = QStringLiteral("State");

TIniFile* Settings() {
    TAppSettings* settings = TAppSettings::Instance();
    return settings != nullptr ? &settings->Ini() : nullptr;
}

// A message of several lines (the message box breaks them at '\r').
QString Lines(const QStringList& lines) {
    return lines.join(QLatin1Char('\r'));
}

} // namespace

TCheckController::TCheckController(QMainWindow& window, ICheckHost& host, QAction* menuBefore,
                                   TCheckOptions options)
    : FRun(std::make_unique<TCheckRun>(*this)), FWindow(window), FHost(host),
      FOptions(std::move(options)) {
    setObjectName(QStringLiteral("CheckController"));
    if (const TIniFile* ini = Settings())
        FSound = ini->ReadBool(SettingsSection, SoundKey, true);

    FDesignMinimum = window.minimumSize();
    FPanel = new TCheckResultsPanel(&window);
    window.addDockWidget(Qt::BottomDockWidgetArea, FPanel);
    FPanel->hide(); // until the first check
    connect(FPanel, &QDockWidget::visibilityChanged, this, &TCheckController::FitWindow);
    connect(FPanel, &QDockWidget::dockLocationChanged, this, &TCheckController::FitWindow);
    connect(FPanel, &QDockWidget::topLevelChanged, this, &TCheckController::FitWindow);
    connect(FPanel, &TCheckResultsPanel::FaultPicked, this, &TCheckController::OnFaultPicked);
    connect(FPanel, &TCheckResultsPanel::EscapePressed, this, [this] { KeyPressed(KeyEscape); });

    CreateActions(menuBefore);
    CreateProgress();
    FGuided = std::make_unique<TGuidedChecks>(window, host, *this);
    FPoll.setInterval(std::max(1, FOptions.PollMs));
    connect(&FPoll, &QTimer::timeout, this, &TCheckController::Poll);
    window.installEventFilter(this);
    ModeChanged(host.IsTesterMode());
}

TCheckController::~TCheckController() {
    FWindow.removeEventFilter(this);
    EndCheck();
    StorePlacement();
    if (FMarkedView != nullptr)
        FMarkedView->SetMarks(nullptr);
    FPanel->disconnect(this);
    delete FPanel;
    for (QWidget* w : std::initializer_list<QWidget*>{lbProgress, pbProgress, btCancel}) {
        FWindow.statusBar()->removeWidget(w);
        delete w;
    }
    delete miCheck;
}

void TCheckController::CreateActions(QAction* menuBefore) {
    auto make = [this](const char* name, const QString& text, const QKeySequence& keys = {}) {
        return CreateWindowAction(FWindow, this, name, text, keys);
    };
    acLearn = make("acLearn", tr("Снять эталон"), QKeySequence(Qt::CTRL | Qt::Key_E));
    acImport =
        make("acImport", tr("Загрузить перечень проводов..."), QKeySequence(Qt::CTRL | Qt::Key_I));
    acReference = make("acReference", tr("Эталон..."), QKeySequence(Qt::CTRL | Qt::Key_R));
    acVerify = make("acVerify", tr("Проверить жгут"), QKeySequence(Qt::Key_F5));
    acWatch = make("acWatch", tr("Следить за перемежающимися обрывами"), QKeySequence(Qt::Key_F6));
    acWatch->setCheckable(true);
    acSound = make("acSound", tr("Звуковой сигнал при браке"));
    acSound->setCheckable(true);
    acSound->setChecked(FSound);
    acPanel = FPanel->toggleViewAction();
    acPanel->setObjectName(QStringLiteral("acPanel"));

    connect(acLearn, &QAction::triggered, this, &TCheckController::Learn);
    connect(acImport, &QAction::triggered, this, &TCheckController::ImportWires);
    connect(acReference, &QAction::triggered, this, &TCheckController::ShowReference);
    connect(acVerify, &QAction::triggered, this, &TCheckController::Verify);
    connect(acWatch, &QAction::toggled, this, &TCheckController::SetWatching);
    connect(acSound, &QAction::toggled, this, &TCheckController::SetSoundOn);

    miCheck = new QMenu(tr("Проверка"), &FWindow);
    miCheck->setObjectName(QStringLiteral("miCheck"));
    miCheck->addAction(acLearn);
    miCheck->addAction(acImport);
    miCheck->addAction(acReference);
    miCheck->addSeparator();
    miCheck->addAction(acVerify);
    miCheck->addAction(acWatch);
    miCheck->addSeparator();
    miCheck->addAction(acPanel);
    miCheck->addAction(acSound);
    FWindow.menuBar()->insertMenu(menuBefore, miCheck);
}

void TCheckController::CreateProgress() {
    QStatusBar* bar = FWindow.statusBar();
    lbProgress = new QLabel(bar);
    lbProgress->setObjectName(QStringLiteral("lbCheckProgress"));
    pbProgress = new QProgressBar(bar);
    pbProgress->setObjectName(QStringLiteral("pbCheckProgress"));
    pbProgress->setFixedWidth(140);
    pbProgress->setTextVisible(false);
    btCancel = new QPushButton(bar);
    btCancel->setObjectName(QStringLiteral("btCheckCancel"));
    btCancel->setFocusPolicy(Qt::NoFocus);
    connect(btCancel, &QPushButton::clicked, this, &TCheckController::Cancel);
    bar->addPermanentWidget(lbProgress);
    bar->addPermanentWidget(pbProgress);
    bar->addPermanentWidget(btCancel);
    lbProgress->hide();
    pbProgress->hide();
    btCancel->hide();
}

// ---- the commands ----

QString TCheckController::WiresPath() const {
    const QString project = FHost.ProjectFile();
    return project.isEmpty() ? QString() : TWireList::PathFor(project);
}

bool TCheckController::CanCheck(TCheckPoints& points) {
    if (Busy())
        return false;
    TAbstractHard* hard = FHost.Worker();
    if (!FHost.IsTesterMode() || hard == nullptr || FHost.WorkPlace() == nullptr ||
        FHost.Sootv() == nullptr) {
        AppMessageBox(tr("Проверка жгута работает в режиме тестера, когда блок диагностики "
                         "подключен."),
                      TMsgKind::Warning);
        return false;
    }
    if (hard->FAutonomous) {
        AppMessageBox(tr("Блок диагностики работает автономно. Включите «Читать разъем» или "
                         "«Читать зонд» и повторите команду."),
                      TMsgKind::Warning);
        return false;
    }
    points = TCheckPoints::FromProject(*FHost.WorkPlace(), *FHost.Sootv());
    if (points.Count() == 0) {
        AppMessageBox(tr("В проекте нет контактов, привязанных к выводам блока диагностики: "
                         "проверять нечего."),
                      TMsgKind::Warning);
        return false;
    }
    return true;
}

QString TCheckController::SavedProject() {
    const QString project = FHost.ProjectFile();
    const TWorkPlace* wp = FHost.WorkPlace();
    if (!project.isEmpty() && wp != nullptr && !wp->Modified)
        return project;
    AppMessageBox(tr("Сначала сохраните проект: эталон хранится рядом с ним, в перечне проводов "
                     "ИМЯ.wires.csv. Сохранить проект можно в режиме «Редактор» (Файл / "
                     "Сохранить)."),
                  TMsgKind::Warning);
    return QString();
}

std::optional<TReference> TCheckController::LoadReference(const TCheckPoints& points,
                                                          QString* path) {
    const QString wires = WiresPath();
    if (path != nullptr)
        *path = wires;
    if (wires.isEmpty() || !QFileInfo::exists(wires)) {
        AppMessageBox(tr("Для этого проекта нет эталона. Снимите эталон с исправного жгута "
                         "(«Проверка / Снять эталон») или загрузите перечень проводов."),
                      TMsgKind::Warning);
        return std::nullopt;
    }
    TReference reference;
    std::vector<TWireListError> errors;
    if (!TWireList::Load(wires, points, reference, errors)) {
        AppMessageBox(TWireList::ErrorText(wires, errors) + QStringLiteral("\r\r") +
                          tr("Снимите эталон заново или загрузите исправленный перечень "
                             "проводов."),
                      TMsgKind::Warning);
        return std::nullopt;
    }
    return reference;
}

bool TCheckController::CurrentReference(TCheckPoints& points, TReference& reference) {
    if (Busy() || FHost.WorkPlace() == nullptr || FHost.Sootv() == nullptr ||
        SavedProject().isEmpty())
        return false;
    points = TCheckPoints::FromProject(*FHost.WorkPlace(), *FHost.Sootv());
    std::optional<TReference> loaded = LoadReference(points);
    if (!loaded)
        return false;
    reference = std::move(*loaded);
    return true;
}

void TCheckController::Learn() {
    TCheckPoints points;
    if (!CanCheck(points))
        return;
    const QString project = SavedProject();
    if (project.isEmpty())
        return;
    // Whether it replaces the reference there is asked once it is learned, with what it changes.
    FLearnPath = TWireList::PathFor(project);
    Start(TCheckJob::TKind::Learn, std::move(points));
}

void TCheckController::ImportWires() {
    if (Busy())
        return;
    TWorkPlace* wp = FHost.WorkPlace();
    TSootv* sootv = FHost.Sootv();
    if (wp == nullptr || sootv == nullptr)
        return;
    const QString project = SavedProject();
    if (project.isEmpty())
        return;
    const TCheckPoints points = TCheckPoints::FromProject(*wp, *sootv);
    const QString folder = QFileInfo(project).absolutePath();
    QString path;
    if (FOptions.WiresDialog) {
        path = FOptions.WiresDialog(folder);
    } else {
        QFileDialog dialog(&FWindow, tr("Загрузить перечень проводов"), folder);
        dialog.setObjectName(QStringLiteral("dlgWires"));
        dialog.setNameFilters({tr("Перечни проводов (*.csv)"), tr("Все файлы (*)")});
        dialog.setFileMode(QFileDialog::ExistingFile);
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            path = dialog.selectedFiles().constFirst();
    }
    if (path.isEmpty())
        return;
    TReference reference;
    std::vector<TWireListError> errors;
    if (!TWireList::Load(path, points, reference, errors)) {
        AppMessageBox(TWireList::ErrorText(path, errors), TMsgKind::Warning);
        return;
    }
    const QString wires = TWireList::PathFor(project);
    const bool same = QFileInfo(path).canonicalFilePath() == QFileInfo(wires).canonicalFilePath();
    if (!same && !TReferenceReplace::Confirm(wires, reference, points,
                                             tr("Заменить его загруженным перечнем проводов?")))
        return;
    try {
        TWireList::Save(wires, reference, points);
    } catch (const EPinvel& e) {
        AppMessageBox(e.Message(), TMsgKind::Error);
        return;
    }
    emit ReferenceWritten(project, TWireList::ToCsv(reference, points), false);
    AppMessageBox(Lines({tr("Перечень проводов принят: цепей %1. Он записан как эталон проекта:")
                             .arg(reference.NetCount()),
                         QDir::toNativeSeparators(wires)}),
                  TMsgKind::Information);
}

void TCheckController::ShowReference() {
    if (Busy() || FHost.WorkPlace() == nullptr || FHost.Sootv() == nullptr)
        return;
    const TCheckPoints points = TCheckPoints::FromProject(*FHost.WorkPlace(), *FHost.Sootv());
    QString path;
    const std::optional<TReference> reference = LoadReference(points, &path);
    if (!reference)
        return;
    TfmReference dialog(*reference, points, path, &FWindow);
    CreateFormPlaced(&dialog);
    ExecDialog(dialog);
}

void TCheckController::Verify() {
    TCheckPoints points;
    if (!CanCheck(points))
        return;
    std::optional<TReference> reference = LoadReference(points);
    if (!reference)
        return;
    if (FVerifyGate && !FVerifyGate(points, *reference))
        return;
    emit VerifyStarted();
    Start(TCheckJob::TKind::Verify, std::move(points), std::move(*reference));
}

void TCheckController::SetWatching(bool on) {
    if (!on) {
        if (FState == TState::Watching && FJob != nullptr)
            FJob->Stop();
        return;
    }
    if (FState == TState::Watching)
        return;
    TCheckPoints points;
    std::optional<TReference> reference;
    if (CanCheck(points))
        reference = LoadReference(points);
    // A continuous verify is a verify: the gate is asked as well.
    if (reference && FVerifyGate && !FVerifyGate(points, *reference))
        reference.reset();
    if (!reference) {
        const QSignalBlocker quiet(acWatch);
        acWatch->setChecked(false);
        return;
    }
    Start(TCheckJob::TKind::Watch, std::move(points), std::move(*reference));
}

void TCheckController::Cancel() {
    if (FJob == nullptr)
        return;
    if (FJob->Kind() == TCheckJob::TKind::Watch)
        FJob->Stop();
    else
        FJob->Cancel();
    btCancel->setEnabled(false);
}

void TCheckController::SetSoundOn(bool on) {
    FSound = on;
    if (acSound->isChecked() != on)
        acSound->setChecked(on);
    if (TIniFile* ini = Settings())
        ini->WriteBool(SettingsSection, SoundKey, on);
}

int TCheckController::ExecDialog(QDialog& dialog) {
    return FOptions.ExecDialog ? FOptions.ExecDialog(dialog) : dialog.exec();
}

// ---- a check's life (TCheckRun) ----

void TCheckController::Start(TCheckJob::TKind kind, TCheckPoints points, TReference reference) {
    FRun->Start(kind, std::move(points), std::move(reference));
}

void TCheckController::Poll() {
    FRun->Poll();
}

void TCheckController::EndCheck() {
    FGuided->End();
    FRun->EndCheck();
}

void TCheckController::UpdateActions() {
    const bool tester = FHost.IsTesterMode();
    const bool idle = FState == TState::Idle;
    for (QAction* a : {acLearn, acImport, acReference, acVerify})
        a->setEnabled(tester && idle);
    acWatch->setEnabled(tester && (idle || FState == TState::Watching));
}

// ---- the main window's part ----

void TCheckController::ModeChanged(bool tester) {
    if (!tester) {
        EndCheck();
        ClearMarks();
    }
    miCheck->menuAction()->setVisible(tester);
    UpdateActions();
}

void TCheckController::ProjectReplaced() {
    EndCheck();
    FMarks.Clear();
    FKeys.clear();
    FPanel->ClearResults();
}

bool TCheckController::KeyPressed(int key) {
    if (FGuided->KeyPressed(key))
        return true;
    if (key == KeyEscape) {
        if (Busy()) {
            Cancel();
            return true;
        }
        ClearMarks();
        return false; // the tester's Esc as ever
    }
    // The tester's keys wait while a check has the unit.
    return Busy();
}

// ---- marks ----

QSet<TContactKey> TCheckController::KeysOf(const QStringList& contacts) const {
    QSet<TContactKey> keys;
    for (const QString& name : contacts)
        for (const TContactKey& key : FKeys.value(name))
            keys.insert(key);
    return keys;
}

QSet<TContactKey> TCheckController::KeysOf(const std::vector<TFault>& faults) const {
    QSet<TContactKey> keys;
    for (const TFault& fault : faults)
        keys.unite(KeysOf(fault.Contacts()));
    return keys;
}

void TCheckController::AttachMarks() {
    TWorkPlaceView* view = FHost.WorkPlaceView();
    if (view == FMarkedView)
        return;
    if (view != nullptr)
        view->SetMarks(&FMarks);
    FMarkedView = view;
}

void TCheckController::ShowMarks(const QSet<TContactKey>& faulty) {
    AttachMarks();
    FMarks.SetFaulty(faulty);
}

void TCheckController::ClearMarks() {
    FPanel->Unpick();
    FMarks.Clear();
}

void TCheckController::OnFaultPicked(const QStringList& contacts) {
    AttachMarks();
    FMarks.SetPicked(KeysOf(contacts));
    if (FMarkedView == nullptr)
        return;
    for (const QString& name : contacts)
        for (const TContactKey& key : FKeys.value(name)) {
            FMarkedView->ShowContact(key.Razem, key.Col, key.Row);
            return;
        }
}

void TCheckController::Sound() {
    if (!FSound)
        return;
    if (FOptions.Beep)
        FOptions.Beep();
    else
        QApplication::beep();
}

// ---- the panel's place ----

void TCheckController::ShowPanel() {
    if (!FPlaced) {
        // Where the user left it last time; the first check shows it whatever it was then.
        FPlaced = true;
        if (const TIniFile* ini = Settings()) {
            const QByteArray state = QByteArray::fromHex(
                ini->ReadString(FPanel->objectName(), StateKey, QString()).toLatin1());
            if (!state.isEmpty())
                FWindow.restoreState(state);
        }
    }
    FPanel->show();
    if (FPanel->isFloating())
        FPanel->raise();
    FitWindow();
}

void TCheckController::FitWindow() {
    QLayout* layout = FWindow.layout();
    if (layout == nullptr)
        return;
    layout->invalidate();
    // Growing the minimum makes a smaller window as large; a hidden panel gives the room back
    // to the user's choice.
    FWindow.setMinimumSize(FDesignMinimum.expandedTo(layout->totalMinimumSize()));
}

void TCheckController::StorePlacement() {
    if (!FPlaced)
        return;
    if (TIniFile* ini = Settings())
        ini->WriteString(FPanel->objectName(), StateKey,
                         QString::fromLatin1(FWindow.saveState().toHex()));
}

bool TCheckController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &FWindow && (event->type() == QEvent::Close || event->type() == QEvent::Hide))
        StorePlacement();
    return QObject::eventFilter(watched, event);
}
