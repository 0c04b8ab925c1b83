// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns,
                         QWidget* parent)
    : QGroupBox(caption, parent), FGroup(new QButtonGroup(this)) {
    auto* layout = new QGridLayout(this);
    columns = std::max(columns, 1);
    const int rows = (int(items.size()) + columns - 1) / columns;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items[i], this);
        FGroup->addButton(b, i);
        // Filled column by column, as a radio group lays out its items.
        layout->addWidget(b, i % rows, i / rows);
    }
    connect(FGroup, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            emit ItemIndexChanged(id);
    });
}

int TRadioGroup::ItemIndex() const {
    return FGroup->checkedId();
}

void TRadioGroup::SetItemIndex(int index) {
    if (QAbstractButton* b = FGroup->button(index)) {
        b->setChecked(true);
        return;
    }
    // No valid choice: nothing checked.
    if (QAbstractButton* b = FGroup->checkedButton()) {
        FGroup->setExclusive(false);
        b->setChecked(false);
        FGroup->setExclusive(true);
    }
}

int TRadioGroup::Count() const {
    return int(FGroup->buttons().size());
}

QRadioButton* TRadioGroup::Button(int index) const {
    return qobject_cast<QRadioButton*>(FGroup->button(index));
}
