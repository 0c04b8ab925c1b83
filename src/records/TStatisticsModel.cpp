// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatisticsModel.h"

#include "TStatisticsQuery.h"

TStatisticsModel::TStatisticsModel(QObject* parent) : QAbstractTableModel(parent) {}

void TStatisticsModel::SetDatabase(TRecordsDatabase* database) {
    FDatabase = database;
    Compute();
}

void TStatisticsModel::SetFilter(const TRecordFilter& filter) {
    FFilter = filter;
    Compute();
}

void TStatisticsModel::SetGrouping(TStatisticsGrouping by) {
    FBy = by;
    Compute();
}

void TStatisticsModel::Set(TRecordsDatabase* database, const TRecordFilter& filter,
                           TStatisticsGrouping by) {
    FDatabase = database;
    FFilter = filter;
    FBy = by;
    Compute();
}

void TStatisticsModel::Refresh() {
    Compute();
}

void TStatisticsModel::Compute() {
    beginResetModel();
    FStatistics = TStatistics();
    FStatistics.By = FBy;
    FProblem.clear();
    if (FDatabase) {
        std::optional<TStatistics> s =
            TStatisticsQuery::Compute(*FDatabase, FFilter, FBy, &FProblem);
        if (s)
            FStatistics = std::move(*s);
    }
    endResetModel();
    emit Computed();
}

int TStatisticsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(FStatistics.Groups.size());
}

int TStatisticsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TStatisticsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const TStatisticsGroup& g = FStatistics.Groups[std::size_t(index.row())];
    const auto yield = [role](std::optional<double> percent) -> QVariant {
        if (role == Qt::DisplayRole)
            return TStatistics::PercentText(percent);
        return percent ? QVariant(TStatistics::Rounded(*percent)) : QVariant();
    };
    if (role == Qt::DisplayRole || role == ValueRole) {
        switch (index.column()) {
        case colKey:
            return g.Key.isEmpty() && role == Qt::DisplayRole ? tr("(не указан)") : g.Key;
        case colChecks:
            return g.Checks;
        case colGood:
            return g.Good;
        case colFaulty:
            return g.Faulty;
        case colHarnesses:
            return g.Harnesses;
        case colFirstPass:
            return yield(g.FirstPassYield());
        case colFinal:
            return yield(g.FinalYield());
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && index.column() != colKey)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TStatisticsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case colKey:
        switch (FBy) {
        case TStatisticsGrouping::Day:
            return tr("День");
        case TStatisticsGrouping::Week:
            return tr("Неделя");
        case TStatisticsGrouping::Project:
            return tr("Проект");
        case TStatisticsGrouping::Operator:
            return tr("Оператор");
        case TStatisticsGrouping::Station:
            return tr("Станция");
        }
        return {};
    case colChecks:
        return tr("Проверок");
    case colGood:
        return tr("ГОДЕН");
    case colFaulty:
        return tr("БРАК");
    case colHarnesses:
        return tr("Жгутов");
    case colFirstPass:
        return tr("С первого предъявления");
    case colFinal:
        return tr("В итоге");
    default:
        return {};
    }
}

QString TStatisticsModel::GroupingText(TStatisticsGrouping by) {
    switch (by) {
    case TStatisticsGrouping::Day:
        return tr("по дням");
    case TStatisticsGrouping::Week:
        return tr("по неделям");
    case TStatisticsGrouping::Project:
        return tr("по проектам");
    case TStatisticsGrouping::Operator:
        return tr("по операторам");
    case TStatisticsGrouping::Station:
        return tr("по станциям");
    }
    return {};
}
