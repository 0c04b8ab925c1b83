// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordsCsv.h"

#include "TRecordsDatabase.h"
#include "TSafeFile.h"
#include "TTestRecord.h"

#include <QStringList>
#include <optional>

QByteArray TRecordsCsv::Header() {
    return QByteArrayLiteral("time,station,operator,serial,project,project_path,"
                             "reference_sha256,verdict,mode,scans,fault_count,faults,"
                             "reference_approved,id\n");
}

QByteArray TRecordsCsv::Field(const QString& text) {
    // A serial number or an operator typed or scanned as "=..." would run as a formula in the
    // spreadsheet that opens the file: such a field starts with an apostrophe, which shows it as
    // text.
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    QByteArray bytes =
        (!text.isEmpty() && formulaStarts.contains(text.front()) ? QStringLiteral("'") + text
                                                                 : text)
            .toUtf8();
    if (bytes.contains(',') || bytes.contains('"') || bytes.contains('\n') ||
        bytes.contains('\r')) {
        bytes.replace('"', QByteArrayLiteral("\"\""));
        bytes = '"' + bytes + '"';
    }
    return bytes;
}

QByteArray TRecordsCsv::Line(const TTestRecord& r) {
    QStringList faults;
    for (const TRecordFault& f : r.Faults)
        faults << f.Fault.Text();
    const QStringList fields{TTestRecord::TimeText(r.Time),
                             r.Station,
                             r.Operator,
                             r.Serial,
                             r.ProjectName(),
                             r.ProjectPath,
                             r.ReferenceSum,
                             r.VerdictText(),
                             TTestRecord::ModeKey(r.Mode),
                             QString::number(r.Scans),
                             QString::number(r.FaultTotal),
                             faults.join(QLatin1String(" | ")),
                             r.ReferenceApproved ? QStringLiteral("1") : QStringLiteral("0"),
                             r.Uid};
    QByteArray line;
    for (const QString& f : fields) {
        if (!line.isEmpty())
            line += ',';
        line += Field(f);
    }
    return line + '\n';
}

bool TRecordsCsv::Export(TRecordsDatabase& database, const TRecordFilter& filter,
                         const QString& path, int* count, QString* error) {
    QByteArray text = Header();
    int written = 0;
    // A page at a time, each with its faults: a long journal never sits in memory twice.
    constexpr int Page = 2000;
    std::optional<TTestRecord> last;
    for (;;) {
        QString problem;
        const std::vector<TTestRecord> records =
            database.LoadAll(filter, last ? &*last : nullptr, Page, &problem);
        if (!problem.isEmpty()) {
            if (error)
                *error = problem;
            return false;
        }
        for (const TTestRecord& r : records)
            text += Line(r);
        written += int(records.size());
        if (int(records.size()) < Page)
            break;
        last = records.back();
    }
    if (!TSafeFile::TryWrite(path, text, error))
        return false;
    if (count)
        *count = written;
    return true;
}
