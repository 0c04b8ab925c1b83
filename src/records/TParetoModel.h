// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TStatistics.h"

#include <QAbstractTableModel>

// The contacts of the faults as a Pareto list, most named first: how many faulty checks named
// each, its share, the share together with those above it, and how many of the checks were
// continuous verifies.
class TParetoModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    enum TColumn { colContact, colChecks, colShare, colCumulative, colWatch, ColumnCount };
    // The figure itself (a count, or a share in percent rounded to 0.1).
    static constexpr int ValueRole = Qt::UserRole + 1;

    explicit TParetoModel(QObject* parent = nullptr);

    void SetContacts(std::vector<TContactFigure> contacts);
    const std::vector<TContactFigure>& Contacts() const { return FContacts; }
    // The contact of a row.
    QString Contact(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

  private:
    std::vector<TContactFigure> FContacts;
};
