// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatisticsTab.h"

#include "AppMessageBox.h"
#include "TJournalModel.h"
#include "TParetoModel.h"
#include "TRecordReport.h"
#include "TSafeFile.h"
#include "TStatisticsModel.h"
#include "TStatisticsReport.h"

#include <QApplication>
#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonDocument>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <QValueAxis>

namespace {
// How many contacts the Pareto chart draws (the list holds them all).
constexpr int ChartContacts = 15;

QTableView* MakeTable(QAbstractItemModel* model, QWidget* parent) {
    auto* view = new QTableView(parent);
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->setAlternatingRowColors(true);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() + 6);
    view->horizontalHeader()->setStretchLastSection(true);
    return view;
}

QChartView* MakeChartView(QWidget* parent) {
    auto* chart = new QChart();
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setMargins(QMargins(4, 4, 4, 4));
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumSize(240, 180);
    return view;
}

// The chart's axes and series go; the chart stays.
void Clear(QChart* chart) {
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
}
} // namespace

TStatisticsTab::TStatisticsTab(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("tsStatistics"));
    FModel = new TStatisticsModel(this);
    FPareto = new TParetoModel(this);
    FContactRecords = new TJournalModel(this);

    cbBy = new QComboBox(this);
    for (TStatisticsGrouping by :
         {TStatisticsGrouping::Day, TStatisticsGrouping::Week, TStatisticsGrouping::Project,
          TStatisticsGrouping::Operator, TStatisticsGrouping::Station})
        cbBy->addItem(TStatisticsModel::GroupingText(by), int(by));
    lbSummary = new QLabel(this);
    lbSummary->setObjectName(QStringLiteral("lbSummary"));
    lbSummary->setWordWrap(true);
    lbSummary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btCsv = new QPushButton(tr("CSV..."), this);
    btJson = new QPushButton(tr("JSON..."), this);
    btPng = new QPushButton(tr("Графики PNG..."), this);
    btPdf = new QPushButton(tr("Отчет (PDF)..."), this);
    auto* top = new QHBoxLayout();
    top->addWidget(new QLabel(tr("Выход годных"), this));
    top->addWidget(cbBy);
    top->addStretch(1);
    for (QPushButton* b : {btCsv, btJson, btPng, btPdf}) {
        b->setAutoDefault(false);
        top->addWidget(b);
    }

    tvGroups = MakeTable(FModel, this);
    tvGroups->setObjectName(QStringLiteral("tvGroups"));
    tvContacts = MakeTable(FPareto, this);
    tvContacts->setObjectName(QStringLiteral("tvContacts"));
    tvContactRecords = MakeTable(FContactRecords, this);
    tvContactRecords->setObjectName(QStringLiteral("tvContactRecords"));
    tbKinds = new QTextBrowser(this);
    tbKinds->setObjectName(QStringLiteral("tbKinds"));
    cvYield = MakeChartView(this);
    cvYield->chart()->setTitle(tr("Выход годных, %"));
    cvPareto = MakeChartView(this);
    cvPareto->chart()->setTitle(tr("Контакты в неисправностях"));

    auto* upper = new QSplitter(Qt::Horizontal, this);
    upper->addWidget(tvGroups);
    upper->addWidget(cvYield);
    auto* records = new QSplitter(Qt::Vertical, this);
    records->addWidget(tvContacts);
    records->addWidget(tvContactRecords);
    auto* lower = new QSplitter(Qt::Horizontal, this);
    lower->addWidget(records);
    lower->addWidget(cvPareto);
    lower->addWidget(tbKinds);
    lower->setStretchFactor(0, 2);
    lower->setStretchFactor(1, 3);
    lower->setStretchFactor(2, 2);
    auto* both = new QSplitter(Qt::Vertical, this);
    both->addWidget(upper);
    both->addWidget(lower);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(lbSummary);
    layout->addWidget(both, 1);

    connect(cbBy, &QComboBox::currentIndexChanged, this,
            [this] { FModel->SetGrouping(TStatisticsGrouping(cbBy->currentData().toInt())); });
    connect(FModel, &TStatisticsModel::Computed, this, &TStatisticsTab::ShowFigures);
    connect(tvContacts->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TStatisticsTab::ShowContactRecords);
    connect(btCsv, &QPushButton::clicked, this, &TStatisticsTab::ExportCsv);
    connect(btJson, &QPushButton::clicked, this, &TStatisticsTab::ExportJson);
    connect(btPng, &QPushButton::clicked, this, &TStatisticsTab::ExportPng);
    connect(btPdf, &QPushButton::clicked, this, &TStatisticsTab::ExportPdf);
    ShowFigures();
}

TStatisticsTab::~TStatisticsTab() = default;

void TStatisticsTab::SetDatabase(TRecordsDatabase* database) {
    FDatabase = database;
    FContactRecords->SetDatabase(nullptr);
    FStale = true;
    if (isVisible() || !database)
        Compute();
}

void TStatisticsTab::SetFilter(const TRecordFilter& filter) {
    // The same filter again is the journal's refresh: new records count too.
    FFilter = filter;
    FStale = true;
    if (isVisible())
        Compute();
}

void TStatisticsTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (FStale)
        Compute();
}

void TStatisticsTab::Compute() {
    FStale = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    FModel->Set(FDatabase, FFilter, TStatisticsGrouping(cbBy->currentData().toInt()));
    QApplication::restoreOverrideCursor();
}

void TStatisticsTab::ShowFigures() {
    const TStatistics& s = FModel->Statistics();
    if (!FModel->Problem().isEmpty()) {
        lbSummary->setText(FModel->Problem().toHtmlEscaped());
    } else {
        lbSummary->setText(
            tr("Проверок: <b>%1</b> (ГОДЕН %2, БРАК %3; без серийного номера %4). Жгутов: "
               "<b>%5</b>. Годны с первого предъявления: <b>%6</b> (%7), в итоге: <b>%8</b> (%9).")
                .arg(s.Checks)
                .arg(s.Good)
                .arg(s.Faulty)
                .arg(s.Unnumbered)
                .arg(s.Harnesses)
                .arg(TStatistics::PercentText(s.FirstPassYield()))
                .arg(s.FirstPassGood)
                .arg(TStatistics::PercentText(s.FinalYield()))
                .arg(s.FinalGood));
    }
    FPareto->SetContacts(s.Contacts);
    FContactRecords->SetDatabase(nullptr);
    tbKinds->setHtml(TStatisticsReport::KindsHtml(s));
    DrawYield();
    DrawPareto();
    tvGroups->resizeColumnsToContents();
    tvContacts->resizeColumnsToContents();
    const bool any = s.Checks > 0;
    for (QPushButton* b : {btCsv, btJson, btPng, btPdf})
        b->setEnabled(any);
}

void TStatisticsTab::DrawYield() {
    QChart* chart = cvYield->chart();
    Clear(chart);
    const TStatistics& s = FModel->Statistics();
    auto* firstPass = new QLineSeries();
    firstPass->setName(tr("С первого предъявления"));
    auto* lastGood = new QLineSeries();
    lastGood->setName(tr("В итоге"));
    QStringList keys;
    for (std::size_t i = 0; i < s.Groups.size(); ++i) {
        const TStatisticsGroup& g = s.Groups[i];
        keys << (g.Key.isEmpty() ? tr("(не указан)") : g.Key);
        if (const std::optional<double> y = g.FirstPassYield())
            firstPass->append(double(i), *y);
        if (const std::optional<double> y = g.FinalYield())
            lastGood->append(double(i), *y);
    }
    for (QLineSeries* series : {firstPass, lastGood}) {
        series->setPointsVisible(true);
        chart->addSeries(series);
    }
    firstPass->setColor(QColor(0, 90, 200));
    lastGood->setColor(QColor(0, 140, 0));
    auto* x = new QBarCategoryAxis();
    x->append(keys);
    x->setLabelsAngle(keys.size() > 8 ? -90 : 0);
    auto* y = new QValueAxis();
    y->setRange(0, 100);
    y->setLabelFormat(QStringLiteral("%d"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    for (QLineSeries* series : {firstPass, lastGood}) {
        series->attachAxis(x);
        series->attachAxis(y);
    }
}

void TStatisticsTab::DrawPareto() {
    QChart* chart = cvPareto->chart();
    Clear(chart);
    const std::vector<TContactFigure>& contacts = FModel->Statistics().Contacts;
    auto* set = new QBarSet(tr("Проверок с браком"));
    set->setColor(QColor(192, 0, 0));
    auto* cumulative = new QLineSeries();
    cumulative->setName(tr("Нарастающим итогом, %"));
    cumulative->setPointsVisible(true);
    QStringList names;
    qint64 most = 1;
    for (std::size_t i = 0; i < contacts.size() && i < std::size_t(ChartContacts); ++i) {
        names << contacts[i].Contact;
        *set << double(contacts[i].Checks);
        cumulative->append(double(i), contacts[i].Cumulative);
        most = qMax(most, contacts[i].Checks);
    }
    auto* bars = new QBarSeries();
    bars->append(set);
    chart->addSeries(bars);
    chart->addSeries(cumulative);
    auto* x = new QBarCategoryAxis();
    x->append(names);
    x->setLabelsAngle(names.size() > 5 ? -90 : 0);
    auto* count = new QValueAxis();
    count->setRange(0, double(most));
    count->setLabelFormat(QStringLiteral("%d"));
    auto* percent = new QValueAxis();
    percent->setRange(0, 100);
    percent->setLabelFormat(QStringLiteral("%d %%"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(count, Qt::AlignLeft);
    chart->addAxis(percent, Qt::AlignRight);
    bars->attachAxis(x);
    bars->attachAxis(count);
    cumulative->attachAxis(x);
    cumulative->attachAxis(percent);
}

void TStatisticsTab::ShowContactRecords() {
    const QString contact = FPareto->Contact(tvContacts->currentIndex().row());
    if (contact.isEmpty() || !FDatabase) {
        FContactRecords->SetDatabase(nullptr);
        return;
    }
    TRecordFilter filter = FFilter;
    filter.Contact = contact;
    FContactRecords->SetFilter(filter);
    if (!FContactRecords->Database())
        FContactRecords->SetDatabase(FDatabase);
    tvContactRecords->resizeColumnsToContents();
}

QImage TStatisticsTab::ChartsImage() const {
    const QSize size(900, 360);
    QImage image(size.width(), size.height() * 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    int top = 0;
    for (QChartView* view : {cvYield, cvPareto}) {
        // Drawn at the size of the picture, whatever the size on the screen.
        QChart* chart = view->chart();
        const QSizeF shown = chart->size();
        chart->resize(size);
        view->scene()->render(&painter, QRectF(0, top, size.width(), size.height()),
                              QRectF(QPointF(0, 0), QSizeF(size)));
        chart->resize(shown);
        top += size.height();
    }
    return image;
}

QString TStatisticsTab::AskPath(const QString& caption, const QString& suggested,
                                const QString& filter) {
    if (SaveDialog)
        return SaveDialog(caption, suggested, filter);
    return QFileDialog::getSaveFileName(this, caption, QDir::home().filePath(suggested), filter);
}

bool TStatisticsTab::Save(const QString& path, const QByteArray& bytes) {
    QString reason;
    if (TSafeFile::TryWrite(path, bytes, &reason))
        return true;
    AppMessageBox(tr("Не удалось сохранить файл «%1»: %2").arg(path, reason), TMsgKind::Error);
    return false;
}

void TStatisticsTab::ExportCsv() {
    const QString path =
        AskPath(tr("Статистика в CSV"), QStringLiteral("statistics.csv"), tr("Файлы CSV (*.csv)"));
    if (!path.isEmpty())
        Save(path, FModel->Statistics().ToCsv().toUtf8());
}

void TStatisticsTab::ExportJson() {
    const QString path = AskPath(tr("Статистика в JSON"), QStringLiteral("statistics.json"),
                                 tr("Файлы JSON (*.json)"));
    if (!path.isEmpty())
        Save(path, QJsonDocument(FModel->Statistics().ToJson()).toJson());
}

void TStatisticsTab::ExportPng() {
    const QString path =
        AskPath(tr("Графики в PNG"), QStringLiteral("statistics.png"), tr("Рисунки PNG (*.png)"));
    if (path.isEmpty())
        return;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ChartsImage().save(&buffer, "PNG");
    Save(path, buffer.data());
}

void TStatisticsTab::ExportPdf() {
    const QString path =
        AskPath(tr("Статистика в PDF"), QStringLiteral("statistics.pdf"), tr("Файлы PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    QString problem;
    if (!TStatisticsReport::Write(FModel->Statistics(), TRecordReport::FilterText(FFilter),
                                  ChartsImage(), path, &problem))
        AppMessageBox(problem, TMsgKind::Error);
}
