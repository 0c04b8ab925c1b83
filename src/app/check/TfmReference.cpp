// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmReference.h"

#include "AppHelp.h"
#include "TCheckPoints.h"
#include "TFormPlacement.h"
#include "TReference.h"
#include "TSootv.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

TfmReference::TfmReference(const TReference& reference, const TCheckPoints& points,
                           const QString& path, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("fmReference"));
    setWindowTitle(tr("Эталон"));
    SetHelpContext(this, HelpContext::Check);
    new TFormPlacement(this);
    resize(440, 480);

    auto* column = new QVBoxLayout(this);
    lbFile = new QLabel(tr("Перечень проводов: %1").arg(QDir::toNativeSeparators(path)), this);
    lbFile->setObjectName(QStringLiteral("lbFile"));
    lbFile->setWordWrap(true);
    lbFile->setTextInteractionFlags(Qt::TextSelectableByMouse);
    column->addWidget(lbFile);

    // Connected nets first, in the reference's order; then the contacts wired to nothing.
    std::vector<int> order;
    int joined = 0;
    for (int n = 0; n < reference.NetCount(); ++n)
        if (reference.Net(n).size() > 1) {
            order.push_back(n);
            ++joined;
        }
    for (int n = 0; n < reference.NetCount(); ++n)
        if (reference.Net(n).size() <= 1)
            order.push_back(n);

    lbCount = new QLabel(tr("Цепей: %1, из них соединений: %2, одиночных выводов: %3")
                             .arg(reference.NetCount())
                             .arg(joined)
                             .arg(reference.NetCount() - joined),
                         this);
    lbCount->setObjectName(QStringLiteral("lbCount"));
    column->addWidget(lbCount);

    tvNets = new QTreeWidget(this);
    tvNets->setObjectName(QStringLiteral("tvNets"));
    tvNets->setHeaderLabels({tr("Цепь, контакт"), tr("Вывод блока")});
    tvNets->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    tvNets->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    tvNets->header()->setStretchLastSection(false);
    tvNets->setUniformRowHeights(true);
    int number = 0;
    for (int n : order) {
        auto* net = new QTreeWidgetItem(tvNets);
        net->setText(0, tr("Цепь %1").arg(++number));
        for (int point : reference.Net(n)) {
            if (point < 0 || point >= points.Count())
                continue;
            const TCheckPoint& p = points.Point(point);
            for (const QString& contact : p.Contacts) {
                auto* item = new QTreeWidgetItem(net);
                item->setText(0, contact);
                item->setText(1, TSootv::PinName(p.Pin));
            }
        }
    }
    tvNets->expandAll();
    column->addWidget(tvNets, 1);

    auto* buttons = new QHBoxLayout();
    buttons->addStretch(1);
    auto* btClose = new QPushButton(tr("Закрыть"), this);
    btClose->setObjectName(QStringLiteral("btClose"));
    btClose->setDefault(true);
    btClose->setMinimumWidth(90);
    connect(btClose, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(btClose);
    column->addLayout(buttons);
}
