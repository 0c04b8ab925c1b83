// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmSootvErr.h"

#include "TStringGrid.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfmSootvErr::TfmSootvErr(const QStringList& names, QWidget* parent)
    : QDialog(parent), lbTitle(new QLabel(tr("Повторяющиеся имена"), this)),
      sgErr(new TStringGrid(1, 0, 0, 0, this)), btOK(new QPushButton(tr("OK"), this)) {
    setObjectName(QStringLiteral("fmSootvErr"));
    setWindowTitle(tr("Ошибки"));
    QFont bold = lbTitle->font();
    bold.setBold(true);
    lbTitle->setFont(bold);
    sgErr->setObjectName(QStringLiteral("sgErr"));
    sgErr->setColumnWidth(0, 101);
    sgErr->setFixedWidth(101 + 2 * sgErr->frameWidth() + 20);
    btOK->setDefault(true);
    connect(btOK, &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lbTitle, 0, Qt::AlignHCenter);
    layout->addWidget(sgErr, 1, Qt::AlignHCenter);
    layout->addWidget(btOK, 0, Qt::AlignHCenter);
    SetNames(names);
}

void TfmSootvErr::SetNames(const QStringList& names) {
    sgErr->SetRowCount(int(names.size()));
    for (int i = 0; i < names.size(); ++i)
        sgErr->SetCells(0, i, names[i]);
}

QStringList TfmSootvErr::Names() const {
    QStringList names;
    for (int r = 0; r < sgErr->rowCount(); ++r)
        names.append(sgErr->Cells(0, r));
    return names;
}
