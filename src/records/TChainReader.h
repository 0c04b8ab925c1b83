// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordChain.h"

#include <QSqlDatabase>
#include <QVariantList>
#include <atomic>
#include <vector>

// Reads records with their faults as the database holds them, column by column, for their
// fingerprints: what the audit checks and the upgrade chains. Rows come sorted by station, then
// place in the chain (unchained ones first), then time and id, as the program compares texts.
class TChainReader {
  public:
    // The records whose columns meet `where` (an SQL condition on the records table with `?`
    // for `values`). False with the database's reason in `error`; false too when `stop` is set.
    static bool Read(const QSqlDatabase& db, const QString& where, const QVariantList& values,
                     std::vector<TChainRow>& rows, QString* error,
                     const std::atomic<bool>* stop = nullptr);
};
