// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmJournal.h"

#include "AppHelp.h"
#include "AppMessageBox.h"
#include "TChainCheck.h"
#include "THarnessCheck.h"
#include "TJournalModel.h"
#include "TOffThreadCall.h"
#include "TRecordReport.h"
#include "TRecordStore.h"
#include "TRecordsCsv.h"
#include "TStatisticsTab.h"
#include "TVerdictDelegate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSplitter>
#include <QStyle>
#include <QTabWidget>
#include <QTableView>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

TfmJournal::TfmJournal(TRecordsConfig config, QWidget* parent)
    : QDialog(parent), FConfig(std::move(config)) {
    setObjectName(QStringLiteral("fmJournal"));
    setWindowTitle(tr("Журнал проверок"));
    SetHelpContext(this, HelpContext::Records);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    resize(900, 600);

    auto* filters = new QGridLayout();
    cbPeriod = new QCheckBox(tr("Период с"), this);
    deFrom = new QDateEdit(QDate::currentDate().addDays(-30), this);
    deTo = new QDateEdit(QDate::currentDate(), this);
    for (QDateEdit* d : {deFrom, deTo}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
        d->setEnabled(false);
    }
    edSerial = new QLineEdit(this);
    edSerial->setObjectName(QStringLiteral("edSerial"));
    edSerial->setPlaceholderText(tr("номер или начало*"));
    edSerial->setClearButtonEnabled(true);
    cbProject = new QComboBox(this);
    cbOperator = new QComboBox(this);
    cbStation = new QComboBox(this);
    cbStation->setObjectName(QStringLiteral("cbStation"));
    for (QComboBox* c : {cbProject, cbOperator, cbStation}) {
        c->setEditable(true);
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setMinimumContentsLength(14);
    }
    cbVerdict = new QComboBox(this);
    cbVerdict->addItems(
        {tr("все"), TCheckResult::VerdictText(true), TCheckResult::VerdictText(false)});
    filters->addWidget(cbPeriod, 0, 0);
    filters->addWidget(deFrom, 0, 1);
    filters->addWidget(new QLabel(tr("по"), this), 0, 2);
    filters->addWidget(deTo, 0, 3);
    filters->addWidget(new QLabel(tr("Результат:"), this), 0, 4);
    filters->addWidget(cbVerdict, 0, 5);
    filters->addWidget(new QLabel(tr("Станция:"), this), 0, 6);
    filters->addWidget(cbStation, 0, 7);
    filters->addWidget(new QLabel(tr("Серийный номер:"), this), 1, 0);
    filters->addWidget(edSerial, 1, 1, 1, 3);
    filters->addWidget(new QLabel(tr("Проект:"), this), 1, 4);
    filters->addWidget(cbProject, 1, 5);
    filters->addWidget(new QLabel(tr("Оператор:"), this), 1, 6);
    filters->addWidget(cbOperator, 1, 7);
    filters->setColumnStretch(5, 1);
    filters->setColumnStretch(7, 1);

    FModel = new TJournalModel(this);
    tvRecords = new QTableView(this);
    tvRecords->setObjectName(QStringLiteral("tvRecords"));
    tvRecords->setModel(FModel);
    tvRecords->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvRecords->setSelectionMode(QAbstractItemView::SingleSelection);
    tvRecords->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvRecords->setAlternatingRowColors(true);
    tvRecords->verticalHeader()->hide();
    tvRecords->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tvRecords->horizontalHeader()->setStretchLastSection(true);
    tvRecords->setItemDelegateForColumn(TJournalModel::colVerdict, new TVerdictDelegate(this));
    tbRecord = new QTextBrowser(this);
    tbRecord->setObjectName(QStringLiteral("tbRecord"));
    auto* splitter = new QSplitter(Qt::Vertical, this);
    splitter->addWidget(tvRecords);
    splitter->addWidget(tbRecord);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 2);

    lbCount = new QLabel(this);
    lbSource = new QLabel(this);
    lbSource->setWordWrap(true);
    lbChain = new QLabel(this);
    lbChain->setObjectName(QStringLiteral("lbChain"));
    lbChain->setWordWrap(true);
    FChain = new TChainCheck(this);
    connect(FChain, &TChainCheck::Finished, this,
            [this](const QString& text, const QString& details, bool whole) {
                lbChain->setText(text);
                lbChain->setToolTip(details);
                lbChain->setStyleSheet(whole ? QString() : QStringLiteral("color: #c00000;"));
            });
    btCsv = new QPushButton(tr("Экспорт в CSV..."), this);
    btPdfRecord = new QPushButton(tr("Протокол записи (PDF)..."), this);
    btPdfList = new QPushButton(tr("Отчет по списку (PDF)..."), this);
    btRefresh = new QPushButton(tr("Обновить"), this);
    btReference = new QPushButton(tr("Эталон записи"), this);
    btReference->setObjectName(QStringLiteral("btReference"));
    auto* btClose = new QPushButton(tr("Закрыть"), this);
    auto* buttons = new QHBoxLayout();
    buttons->addWidget(lbCount, 1);
    for (QPushButton* b : {btRefresh, btReference, btCsv, btPdfRecord, btPdfList, btClose}) {
        b->setAutoDefault(false);
        // Never narrower than its text with the style's margins, whatever the type.
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) +
                           2 * style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b) + 8);
        buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    tcPages = new QTabWidget(this);
    tcPages->addTab(splitter, tr("Записи"));
    tsStatistics = new TStatisticsTab(this);
    tsStatistics->SaveDialog = [this](const QString& c, const QString& s, const QString& f) {
        return AskPath(c, s, f);
    };
    tcPages->addTab(tsStatistics, tr("Статистика"));
    layout->addWidget(tcPages, 1);
    layout->addWidget(lbSource);
    layout->addWidget(lbChain);
    layout->addLayout(buttons);

    FTyping = new QTimer(this);
    FTyping->setSingleShot(true);
    FTyping->setInterval(300);
    connect(FTyping, &QTimer::timeout, this, &TfmJournal::ApplyFilter);
    const auto typed = [this] { FTyping->start(); };
    connect(edSerial, &QLineEdit::textEdited, this, typed);
    connect(edSerial, &QLineEdit::returnPressed, this, &TfmJournal::ApplyFilter);
    for (QComboBox* c : {cbProject, cbOperator, cbStation})
        connect(c, &QComboBox::currentTextChanged, this, typed);
    connect(cbVerdict, &QComboBox::currentIndexChanged, this, &TfmJournal::ApplyFilter);
    connect(cbPeriod, &QCheckBox::toggled, this, [this](bool on) {
        deFrom->setEnabled(on);
        deTo->setEnabled(on);
        ApplyFilter();
    });
    for (QDateEdit* d : {deFrom, deTo})
        connect(d, &QDateEdit::dateChanged, this, &TfmJournal::ApplyFilter);
    connect(tvRecords->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TfmJournal::ShowCurrentRecord);
    connect(tvRecords, &QTableView::activated, this, [this] { tbRecord->setFocus(); });
    connect(FModel, &TJournalModel::Reloaded, this, &TfmJournal::ShowCount);
    connect(FModel, &QAbstractItemModel::rowsInserted, this, &TfmJournal::ShowCount);
    connect(btCsv, &QPushButton::clicked, this, &TfmJournal::ExportCsv);
    connect(btPdfRecord, &QPushButton::clicked, this, &TfmJournal::ReportRecord);
    connect(btPdfList, &QPushButton::clicked, this, &TfmJournal::ReportList);
    connect(btRefresh, &QPushButton::clicked, this, &TfmJournal::Refresh);
    connect(btReference, &QPushButton::clicked, this, &TfmJournal::ShowReference);
    connect(btClose, &QPushButton::clicked, this, &TfmJournal::close);
}

TfmJournal::~TfmJournal() {
    // The models let go of the database before the store closes it.
    FModel->SetDatabase(nullptr);
    tsStatistics->SetDatabase(nullptr);
}

void TfmJournal::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!FOpened)
        QTimer::singleShot(0, this, &TfmJournal::OpenDatabase);
}

void TfmJournal::OpenDatabase() {
    FOpened = true;
    FModel->SetDatabase(nullptr);
    FDatabase = nullptr;
    FStore = std::make_unique<TRecordStore>(FConfig);
    QString problem;
    bool shared = false;
    if (FConfig.HasShared()) {
        // Whether the server answers is found on a thread of its own, within the connect
        // time-out; the window keeps painting meanwhile.
        const TRecordsConfig config = FConfig;
        shared = TOffThreadCall::Run([config, &problem] {
            TRecordsDatabase probe(config, TRecordsDatabase::TKind::Shared);
            return probe.Open(&problem);
        });
        if (shared)
            FDatabase = FStore->Reading(&problem);
    }
    if (!FDatabase) {
        QString localProblem;
        FDatabase = FStore->ReadingLocal(&localProblem);
        if (!localProblem.isEmpty())
            problem = localProblem;
    }
    const QString notice = FStore->TakeNotice();
    if (!FDatabase)
        FSourceText = problem;
    else if (FDatabase->Kind() == TRecordsDatabase::TKind::Shared)
        FSourceText = tr("Общая база записей: %1").arg(FDatabase->Name());
    else if (FConfig.HasShared())
        FSourceText = tr("Общая база %1 недоступна; показаны записи этой станции (%2).")
                          .arg(FConfig.SharedUrl(), FDatabase->Name()) +
                      QLatin1Char(' ') + problem.trimmed();
    else
        FSourceText = tr("Записи этой станции: %1").arg(FDatabase->Name());
    if (FDatabase && FDatabase->Kind() == TRecordsDatabase::TKind::Local && FConfig.HasShared()) {
        const int waiting = FDatabase->WaitingCount();
        if (waiting > 0)
            FSourceText += QLatin1Char(' ') + tr("Записей ждут отправки: %1.").arg(waiting);
    }
    if (!notice.isEmpty())
        FSourceText = notice + QLatin1Char('\n') + FSourceText;
    FillChoices();
    FModel->SetDatabase(FDatabase);
    tsStatistics->SetDatabase(FDatabase);
    ApplyFilter();
    CheckChain();
    // The columns fit the first page once; later pages and filters leave them as they are.
    tvRecords->resizeColumnsToContents();
}

void TfmJournal::FillChoices() {
    for (QComboBox* c : {cbProject, cbOperator, cbStation}) {
        const QString current = c->currentText();
        const QSignalBlocker block(c);
        c->clear();
        c->addItem(QString());
        if (FDatabase)
            c->addItems(c == cbProject    ? FDatabase->Projects()
                        : c == cbOperator ? FDatabase->Operators()
                                          : FDatabase->Stations());
        c->setCurrentText(current);
    }
}

TRecordFilter TfmJournal::FilterFromControls() const {
    TRecordFilter f;
    if (cbPeriod->isChecked())
        f.SetDays(deFrom->date(), deTo->date());
    f.Serial = edSerial->text().trimmed();
    f.Project = cbProject->currentText().trimmed();
    f.Operator = cbOperator->currentText().trimmed();
    f.Station = cbStation->currentText().trimmed();
    f.Verdict = cbVerdict->currentIndex() == 1   ? TRecordFilter::TVerdict::Good
                : cbVerdict->currentIndex() == 2 ? TRecordFilter::TVerdict::Faulty
                                                 : TRecordFilter::TVerdict::Any;
    return f;
}

void TfmJournal::ApplyFilter() {
    FTyping->stop();
    FModel->SetFilter(FilterFromControls());
    tsStatistics->SetFilter(FModel->Filter());
    if (FModel->rowCount() > 0)
        tvRecords->setCurrentIndex(FModel->index(0, 0));
    else
        tbRecord->clear();
}

void TfmJournal::Refresh() {
    FillChoices();
    ApplyFilter();
    CheckChain();
}

void TfmJournal::CheckChain() {
    lbChain->setStyleSheet(QString());
    lbChain->setToolTip(QString());
    if (!FDatabase) {
        lbChain->clear();
        return;
    }
    lbChain->setText(tr("Цепочка записей проверяется..."));
    FChain->Start(FConfig, FDatabase->Kind());
}

void TfmJournal::ShowCount() {
    QString text = tr("Записей: %1").arg(FModel->Total());
    if (!FModel->Problem().isEmpty())
        text = FModel->Problem();
    lbCount->setText(text);
    lbSource->setText(FSourceText);
    const bool any = FModel->Total() > 0;
    btCsv->setEnabled(any);
    btPdfList->setEnabled(any);
    btPdfRecord->setEnabled(tvRecords->currentIndex().isValid());
    btReference->setEnabled(tvRecords->currentIndex().isValid());
}

void TfmJournal::ShowCurrentRecord() {
    const QModelIndex current = tvRecords->currentIndex();
    btPdfRecord->setEnabled(current.isValid());
    btReference->setEnabled(current.isValid());
    if (!current.isValid() || !FDatabase) {
        tbRecord->clear();
        return;
    }
    QString problem;
    const std::optional<TTestRecord> record =
        FDatabase->Load(FModel->Record(current.row()).Uid, &problem);
    if (record)
        tbRecord->setHtml(TRecordReport::RecordHtml(*record));
    else
        tbRecord->setPlainText(problem);
}

void TfmJournal::ShowReference() {
    const QModelIndex current = tvRecords->currentIndex();
    if (!current.isValid() || !FDatabase)
        return;
    QString problem;
    const std::optional<TTestRecord> record =
        FDatabase->Load(FModel->Record(current.row()).Uid, &problem);
    if (!record) {
        tbRecord->setPlainText(problem);
        return;
    }
    std::optional<TKeptReference> kept =
        TReferenceArchive::Find(*FDatabase, record->ReferenceSum, &problem);
    // Learned here while the shared database was away, it is still only in the station's file.
    if (!kept && FDatabase->Kind() == TRecordsDatabase::TKind::Shared)
        if (TRecordsDatabase* local = FStore->ReadingLocal())
            kept = TReferenceArchive::Find(*local, record->ReferenceSum);
    QString html = TRecordReport::RecordHtml(*record);
    html += kept || problem.isEmpty() ? TRecordReport::ReferenceHtml(record->ReferenceSum, kept)
                                      : QStringLiteral("<p>%1</p>").arg(problem.toHtmlEscaped());
    tbRecord->setHtml(html);
    tbRecord->scrollToAnchor(QStringLiteral("reference"));
}

QString TfmJournal::AskPath(const QString& caption, const QString& suggested,
                            const QString& filter) {
    if (SaveDialog)
        return SaveDialog(caption, suggested, filter);
    return QFileDialog::getSaveFileName(this, caption, QDir::home().filePath(suggested), filter);
}

void TfmJournal::ExportCsv() {
    if (!FDatabase)
        return;
    const QString path = AskPath(tr("Экспорт журнала в CSV"), QStringLiteral("journal.csv"),
                                 tr("Файлы CSV (*.csv)"));
    if (path.isEmpty())
        return;
    QString problem;
    int count = 0;
    if (!TRecordsCsv::Export(*FDatabase, FModel->Filter(), path, &count, &problem))
        AppMessageBox(problem, TMsgKind::Error);
    else
        lbCount->setText(tr("Записей: %1; в CSV записано: %2").arg(FModel->Total()).arg(count));
}

void TfmJournal::ReportRecord() {
    const QModelIndex current = tvRecords->currentIndex();
    if (!FDatabase || !current.isValid())
        return;
    QString problem;
    const std::optional<TTestRecord> record =
        FDatabase->Load(FModel->Record(current.row()).Uid, &problem);
    if (!record) {
        AppMessageBox(problem, TMsgKind::Error);
        return;
    }
    QString name = record->Serial;
    name.replace(QRegularExpression(QStringLiteral("[^\\w.-]+")), QStringLiteral("_"));
    const QString path = AskPath(tr("Протокол проверки в PDF"), tr("протокол %1.pdf").arg(name),
                                 tr("Файлы PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!TRecordReport::WriteRecord(*record, path, &problem))
        AppMessageBox(problem, TMsgKind::Error);
}

void TfmJournal::ReportList() {
    if (!FDatabase)
        return;
    const QString path = AskPath(tr("Отчет по списку в PDF"), QStringLiteral("journal.pdf"),
                                 tr("Файлы PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString problem;
    if (!TRecordReport::WriteList(*FDatabase, FModel->Filter(), path, nullptr, &problem))
        AppMessageBox(problem, TMsgKind::Error);
}
