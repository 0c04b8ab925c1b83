// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordFilter.h"

#include <QByteArray>
#include <QString>
#include <vector>

class TRecordsDatabase;
struct TTestRecord;

// The records as CSV for a spreadsheet or a script: UTF-8, comma-separated, a header line, one
// record a line, fields with a comma, a quote or a line break quoted as RFC 4180 says; a field
// that a spreadsheet would take for a formula (starting with =, +, -, @, a tab or CR) starts with
// an apostrophe.
//
// Columns: time (local, "2026-12-07 14:03:12"), station, operator, serial, project,
// project_path, reference_sha256, verdict ("ГОДЕН"/"БРАК"), mode ("verify"/"watch"), scans,
// fault_count, faults (the faults' texts joined by " | "), id.
class TRecordsCsv {
  public:
    static QByteArray Header();
    static QByteArray Line(const TTestRecord& record);
    static QByteArray Field(const QString& text);

    // Writes every record of the filter (newest first) through a temporary file; false with
    // the reason. `count` gets the number of records written.
    static bool Export(TRecordsDatabase& database, const TRecordFilter& filter, const QString& path,
                       int* count = nullptr, QString* error = nullptr);
};
