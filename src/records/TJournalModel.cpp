// SPDX-License-Identifier: GPL-3.0-or-later
#include "TJournalModel.h"

#include "TRecordsDatabase.h"

TJournalModel::TJournalModel(QObject* parent) : QAbstractTableModel(parent) {}

void TJournalModel::SetDatabase(TRecordsDatabase* database) {
    FDatabase = database;
    Reload();
}

void TJournalModel::SetFilter(const TRecordFilter& filter) {
    FFilter = filter;
    Reload();
}

void TJournalModel::Refresh() {
    Reload();
}

void TJournalModel::Reload() {
    beginResetModel();
    FRows.clear();
    FMore = false;
    FTotal = 0;
    FProblem.clear();
    if (FDatabase) {
        FRows = ReadPage(nullptr, &FProblem);
        if (FProblem.isEmpty())
            FTotal = FDatabase->Count(FFilter, &FProblem);
        if (FTotal < 0)
            FTotal = 0;
    }
    endResetModel();
    emit Reloaded();
}

// The page after the record (nullptr: the first); one row past it tells whether there is more.
std::vector<TTestRecord> TJournalModel::ReadPage(const TTestRecord* after, QString* problem) {
    std::vector<TTestRecord> page = FDatabase->Page(FFilter, after, PageSize + 1, problem);
    FMore = int(page.size()) > PageSize;
    if (FMore)
        page.pop_back();
    return page;
}

bool TJournalModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && FMore && FDatabase;
}

void TJournalModel::fetchMore(const QModelIndex& parent) {
    if (!canFetchMore(parent))
        return;
    QString problem;
    std::vector<TTestRecord> page = ReadPage(&FRows.back(), &problem);
    if (!problem.isEmpty()) {
        FProblem = problem;
        FMore = false;
    }
    if (page.empty())
        return;
    beginInsertRows({}, int(FRows.size()), int(FRows.size() + page.size()) - 1);
    FRows.insert(FRows.end(), std::make_move_iterator(page.begin()),
                 std::make_move_iterator(page.end()));
    endInsertRows();
}

int TJournalModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(FRows.size());
}

int TJournalModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TJournalModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= int(FRows.size()))
        return {};
    const TTestRecord& r = FRows[std::size_t(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case colTime:
            return TTestRecord::TimeText(r.Time);
        case colSerial:
            return r.Serial;
        case colVerdict:
            return r.VerdictText();
        case colFaults:
            return r.FaultTotal;
        case colProject:
            return r.ProjectName();
        case colOperator:
            return r.Operator;
        case colStation:
            return r.Station;
        case colScans:
            return r.Scans;
        default:
            return {};
        }
    }
    if (role == GoodRole)
        return r.Good;
    if (role == Qt::ToolTipRole && index.column() == colProject)
        return r.ProjectPath;
    if (role == Qt::TextAlignmentRole &&
        (index.column() == colFaults || index.column() == colScans))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant TJournalModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case colTime:
        return tr("Время");
    case colSerial:
        return tr("Серийный номер");
    case colVerdict:
        return tr("Результат");
    case colFaults:
        return tr("Неисправностей");
    case colProject:
        return tr("Проект");
    case colOperator:
        return tr("Оператор");
    case colStation:
        return tr("Станция");
    case colScans:
        return tr("Проверок");
    default:
        return {};
    }
}
