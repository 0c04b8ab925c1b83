// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TStatistics.h"

#include "TRecordFilter.h"
#include "TReferenceArchive.h"
#include "TTestRecord.h"

#include <QString>
#include <optional>
#include <vector>

class TRecordsDatabase;

// The printable report of checks as a PDF (A4): one record (the harness's protocol: project,
// serial number, verdict, faults, the reference's checksum, who checked it where and when) or
// the list of a filter's records with the same facts. Needs QtGui (a QGuiApplication; the
// offscreen platform does without a display).
class TRecordReport {
  public:
    static QString RecordHtml(const TTestRecord& record);
    // "Эталон записи": who kept the reference of sum `sum`, where and when, and its wires as
    // its list gives them; that it is not kept when `kept` is empty.
    static QString ReferenceHtml(const QString& sum, const std::optional<TKeptReference>& kept);
    // With `statistics`, their page follows the list.
    static QString ListHtml(const std::vector<TTestRecord>& records, const QString& filterText,
                            const TStatistics* statistics = nullptr);

    // Write through a temporary file: a failed report leaves no half file and no previous one
    // damaged. False with the reason.
    static bool WriteRecord(const TTestRecord& record, const QString& path,
                            QString* error = nullptr);
    static bool WriteList(const std::vector<TTestRecord>& records, const QString& filterText,
                          const QString& path, QString* error = nullptr);
    // The filter's records read from the database; more than MaxListRecords is refused.
    static bool WriteList(TRecordsDatabase& database, const TRecordFilter& filter,
                          const QString& path, int* count = nullptr, QString* error = nullptr);

    // What a filter takes, in words ("серийный номер A1*, БРАК").
    static QString FilterText(const TRecordFilter& filter);

    static constexpr int MaxListRecords = 5000;
};
