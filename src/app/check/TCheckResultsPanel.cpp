// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCheckResultsPanel.h"

#include "AppHelp.h"
#include "TAppFont.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QColor VerdictGood(0, 128, 0);
const QColor VerdictBad(255, 0, 0);
const QColor VerdictNone(128, 128, 128);

constexpr int ContactsRole = Qt::UserRole;

} // namespace

TCheckResultsPanel::TCheckResultsPanel(QWidget* parent) : QDockWidget(parent) {
    setObjectName(QStringLiteral("pnCheckResults"));
    setWindowTitle(tr("Результаты проверки"));
    setAllowedAreas(Qt::AllDockWidgetAreas);
    SetHelpContext(this, HelpContext::Check);

    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("plCheckResults"));
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(4);

    auto* top = new QHBoxLayout();
    top->setSpacing(10);
    lbVerdict = new QLabel(body);
    lbVerdict->setObjectName(QStringLiteral("lbVerdict"));
    lbVerdict->setFont(TAppFont::PixelFont(24, true));
    lbVerdict->setAlignment(Qt::AlignCenter);
    lbVerdict->setAutoFillBackground(true);
    // Wide enough for either verdict, so the panel does not jump between checks.
    const QFontMetrics fm(lbVerdict->font());
    const int wide = std::max({fm.horizontalAdvance(TCheckResult::VerdictText(true)),
                               fm.horizontalAdvance(TCheckResult::VerdictText(false)),
                               fm.horizontalAdvance(QStringLiteral("…"))});
    lbVerdict->setMinimumSize(wide + 24, fm.height() + 10);
    top->addWidget(lbVerdict);

    auto* texts = new QVBoxLayout();
    texts->setSpacing(2);
    lbWhen = new QLabel(body);
    lbWhen->setObjectName(QStringLiteral("lbWhen"));
    lbSummary = new QLabel(body);
    lbSummary->setObjectName(QStringLiteral("lbSummary"));
    texts->addStretch(1);
    texts->addWidget(lbWhen);
    texts->addWidget(lbSummary);
    lbApproval = new QLabel(body);
    lbApproval->setObjectName(QStringLiteral("lbApproval"));
    lbApproval->hide(); // until a verify has looked at its reference
    texts->addWidget(lbApproval);
    texts->addStretch(1);
    top->addLayout(texts, 1);
    column->addLayout(top);

    lvFaults = new QTreeWidget(body);
    lvFaults->setObjectName(QStringLiteral("lvFaults"));
    lvFaults->setRootIsDecorated(false);
    lvFaults->setUniformRowHeights(true);
    lvFaults->setSelectionMode(QAbstractItemView::SingleSelection);
    lvFaults->setHeaderLabels({tr("Неисправность"), tr("Раз"), tr("Впервые"), tr("Последний раз")});
    lvFaults->header()->setStretchLastSection(false);
    lvFaults->header()->setSectionResizeMode(int(TColumn::Fault), QHeaderView::Stretch);
    for (TColumn c : {TColumn::Count, TColumn::First, TColumn::Last})
        lvFaults->header()->setSectionResizeMode(int(c), QHeaderView::ResizeToContents);
    lvFaults->setMinimumHeight(60);
    column->addWidget(lvFaults, 1);
    connect(lvFaults, &QTreeWidget::itemSelectionChanged, this,
            &TCheckResultsPanel::OnSelectionChanged);

    setWidget(body);
    ClearResults();
}

QString TCheckResultsPanel::TimeText(const QDateTime& when) {
    return when.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString TCheckResultsPanel::MomentText(const QDateTime& when) {
    return when.toLocalTime().toString(QStringLiteral("HH:mm:ss.zzz"));
}

void TCheckResultsPanel::SetVerdict(const QString& text, const QColor& ground) {
    lbVerdict->setText(text);
    QPalette p = lbVerdict->palette();
    p.setColor(QPalette::Window, ground);
    p.setColor(QPalette::WindowText, Qt::white);
    lbVerdict->setPalette(p);
}

void TCheckResultsPanel::SetWatchColumns(bool watch) {
    for (TColumn c : {TColumn::Count, TColumn::First, TColumn::Last})
        lvFaults->setColumnHidden(int(c), !watch);
}

QTreeWidgetItem* TCheckResultsPanel::AddFault(const TFault& fault) {
    auto* item = new QTreeWidgetItem(lvFaults);
    item->setText(int(TColumn::Fault), fault.Text());
    item->setData(int(TColumn::Fault), ContactsRole, fault.Contacts());
    item->setTextAlignment(int(TColumn::Count), Qt::AlignRight | Qt::AlignVCenter);
    return item;
}

void TCheckResultsPanel::ClearResults() {
    SetVerdict(QStringLiteral("…"), VerdictNone);
    lbWhen->setText(tr("Проверок еще не было"));
    lbSummary->clear();
    lbApproval->hide();
    lvFaults->clear();
    SetWatchColumns(false);
}

void TCheckResultsPanel::ShowCancelled() {
    SetVerdict(QStringLiteral("…"), VerdictNone);
    lbWhen->setText(tr("Проверка отменена"));
    lbSummary->clear();
    lvFaults->clear();
}

void TCheckResultsPanel::ShowRunning(bool watch) {
    SetVerdict(QStringLiteral("…"), VerdictNone);
    lbWhen->setText(watch ? tr("Идет слежение...") : tr("Идет проверка..."));
    lbSummary->clear();
    lvFaults->clear();
    SetWatchColumns(watch);
}

void TCheckResultsPanel::ShowVerified(const TCheckResult& result, const QDateTime& when) {
    SetVerdict(result.Verdict(), result.Good() ? VerdictGood : VerdictBad);
    lbWhen->setText(tr("Проверка: %1").arg(TimeText(when)));
    lbSummary->setText(result.Good() ? tr("Неисправностей нет")
                                     : tr("Неисправностей: %1").arg(result.Faults.size()));
    lvFaults->clear();
    SetWatchColumns(false);
    for (const TFault& fault : result.Faults)
        AddFault(fault);
}

void TCheckResultsPanel::ShowWatch(const std::vector<TLatchedFault>& latched, long long checks,
                                   long long clean, const QDateTime& from, const QDateTime& to) {
    SetVerdict(TCheckResult::VerdictText(latched.empty()),
               latched.empty() ? VerdictGood : VerdictBad);
    lbWhen->setText(to.isValid() ? tr("Слежение: %1 — %2").arg(TimeText(from), MomentText(to))
                                 : tr("Слежение с %1").arg(TimeText(from)));
    lbSummary->setText(tr("Проверок: %1, без отклонений: %2").arg(checks).arg(clean));
    SetWatchColumns(true);
    // Latched faults only ever join the end of the list: the rows there stay (and so does the
    // user's pick), only their counters change.
    const int shown = lvFaults->topLevelItemCount();
    for (std::size_t i = 0; i < latched.size(); ++i) {
        const TLatchedFault& l = latched[i];
        QTreeWidgetItem* item = int(i) < shown ? lvFaults->topLevelItem(int(i)) : AddFault(l.Fault);
        item->setText(int(TColumn::Count), QString::number(l.Count));
        item->setText(int(TColumn::First), MomentText(l.First));
        item->setText(int(TColumn::Last), MomentText(l.Last));
    }
}

void TCheckResultsPanel::Unpick() {
    lvFaults->clearSelection();
    lvFaults->setCurrentItem(nullptr);
}

QString TCheckResultsPanel::Verdict() const {
    return lbVerdict->text();
}

QStringList TCheckResultsPanel::Faults() const {
    QStringList out;
    for (int i = 0; i < lvFaults->topLevelItemCount(); ++i)
        out << lvFaults->topLevelItem(i)->text(int(TColumn::Fault));
    return out;
}

void TCheckResultsPanel::OnSelectionChanged() {
    const QList<QTreeWidgetItem*> picked = lvFaults->selectedItems();
    emit FaultPicked(picked.isEmpty()
                         ? QStringList()
                         : picked.front()->data(int(TColumn::Fault), ContactsRole).toStringList());
}

void TCheckResultsPanel::keyPressEvent(QKeyEvent* event) {
    // Docked, the main window sees the key first; floating, the panel passes it on.
    if (event->key() == Qt::Key_Escape && isFloating()) {
        emit EscapePressed();
        event->accept();
        return;
    }
    QDockWidget::keyPressEvent(event);
}

void TCheckResultsPanel::ShowApproval(const QString& text, bool approved) {
    lbApproval->setText(tr("Эталон %1").arg(text));
    // An unapproved reference stands out; an approved one reads as the rest.
    lbApproval->setStyleSheet(approved ? QString() : QStringLiteral("color: #C00000"));
    lbApproval->show();
}
