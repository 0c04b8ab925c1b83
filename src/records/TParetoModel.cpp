// SPDX-License-Identifier: GPL-3.0-or-later
#include "TParetoModel.h"

TParetoModel::TParetoModel(QObject* parent) : QAbstractTableModel(parent) {}

void TParetoModel::SetContacts(std::vector<TContactFigure> contacts) {
    beginResetModel();
    FContacts = std::move(contacts);
    endResetModel();
}

QString TParetoModel::Contact(int row) const {
    return row >= 0 && row < rowCount() ? FContacts[std::size_t(row)].Contact : QString();
}

int TParetoModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(FContacts.size());
}

int TParetoModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TParetoModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TContactFigure& c = FContacts[std::size_t(index.row())];
    const auto share = [role](double percent) -> QVariant {
        if (role == Qt::DisplayRole)
            return TStatistics::PercentText(percent);
        return TStatistics::Rounded(percent);
    };
    if (role == Qt::DisplayRole || role == ValueRole) {
        switch (index.column()) {
        case colContact:
            return c.Contact;
        case colChecks:
            return c.Checks;
        case colShare:
            return share(c.Share);
        case colCumulative:
            return share(c.Cumulative);
        case colWatch:
            return c.WatchChecks;
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() != colContact)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TParetoModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case colContact:
        return tr("Контакт");
    case colChecks:
        return tr("Проверок с браком");
    case colShare:
        return tr("Доля");
    case colCumulative:
        return tr("Нарастающим итогом");
    case colWatch:
        return tr("Из них непрерывных");
    default:
        return {};
    }
}
