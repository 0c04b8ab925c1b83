// SPDX-License-Identifier: GPL-3.0-or-later
#include "TGuidancePanel.h"

#include "AppHelp.h"
#include "TAppFont.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace {
const QColor ToneNormal(0, 0, 128);
const QColor ToneDone(0, 128, 0);
const QColor ToneWrong(255, 0, 0);
} // namespace

TGuidancePanel::TGuidancePanel(QWidget* parent) : QDockWidget(parent) {
    setObjectName(QStringLiteral("pnGuidance"));
    setWindowTitle(tr("Сборка и зонд"));
    setAllowedAreas(Qt::AllDockWidgetAreas);
    SetHelpContext(this, HelpContext::Check);

    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("plGuidance"));
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(6, 4, 6, 6);
    column->setSpacing(4);
    lbGuide = new QLabel(body);
    lbGuide->setObjectName(QStringLiteral("lbGuide"));
    lbGuide->setFont(TAppFont::PixelFont(20, true));
    lbGuide->setWordWrap(true);
    lbGuide->setMinimumHeight(QFontMetrics(lbGuide->font()).height() + 8);
    column->addWidget(lbGuide);
    lbCount = new QLabel(body);
    lbCount->setObjectName(QStringLiteral("lbGuideCount"));
    column->addWidget(lbCount);
    lwWires = new QListWidget(body);
    lwWires->setObjectName(QStringLiteral("lwGuideWires"));
    lwWires->setUniformItemSizes(true);
    // The ticks follow the harness, not the mouse.
    lwWires->setSelectionMode(QAbstractItemView::NoSelection);
    lwWires->setFocusPolicy(Qt::NoFocus);
    lwWires->setMinimumHeight(60);
    column->addWidget(lwWires, 1);
    setWidget(body);
}

void TGuidancePanel::ShowAssembly(const QStringList& wires) {
    setWindowTitle(tr("Сборка по эталону"));
    lwWires->clear();
    for (qsizetype i = 0; i < wires.size(); ++i) {
        auto* item =
            new QListWidgetItem(QStringLiteral("%1. %2").arg(i + 1).arg(wires[i]), lwWires);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    lwWires->show();
    lbCount->show();
    lbCount->clear();
    SetLine(QString());
}

void TGuidancePanel::ShowProbe() {
    setWindowTitle(tr("Найти зондом"));
    lwWires->clear();
    lwWires->hide();
    lbCount->hide();
    SetLine(QString());
}

void TGuidancePanel::SetLine(const QString& text, TTone tone) {
    lbGuide->setText(text);
    QPalette palette = lbGuide->palette();
    palette.setColor(QPalette::WindowText, tone == TTone::Wrong  ? ToneWrong
                                           : tone == TTone::Done ? ToneDone
                                                                 : ToneNormal);
    lbGuide->setPalette(palette);
}

void TGuidancePanel::SetTicks(const std::vector<char>& ticked, int next) {
    const int count = std::min(int(ticked.size()), lwWires->count());
    int in = 0;
    for (int i = 0; i < count; ++i) {
        QListWidgetItem* item = lwWires->item(i);
        const Qt::CheckState state = ticked[std::size_t(i)] ? Qt::Checked : Qt::Unchecked;
        if (item->checkState() != state)
            item->setCheckState(state);
        QFont font = item->font();
        if (font.bold() != (i == next)) {
            font.setBold(i == next);
            item->setFont(font);
        }
        in += ticked[std::size_t(i)] ? 1 : 0;
    }
    if (next >= 0 && next < lwWires->count())
        lwWires->scrollToItem(lwWires->item(next));
    lbCount->setText(tr("Вставлено проводов: %1 из %2").arg(in).arg(lwWires->count()));
}

QString TGuidancePanel::Line() const {
    return lbGuide->text();
}

int TGuidancePanel::TickedCount() const {
    int in = 0;
    for (int i = 0; i < lwWires->count(); ++i)
        in += lwWires->item(i)->checkState() == Qt::Checked ? 1 : 0;
    return in;
}

void TGuidancePanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && isFloating()) {
        emit EscapePressed();
        return;
    }
    QDockWidget::keyPressEvent(event);
}
