// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordFilter.h"

#include "TTestRecord.h"

#include <QStringList>

QString TRecordFilter::Where(QVariantList& values) const {
    QStringList parts;
    if (From.isValid()) {
        parts << QStringLiteral("checked_at >= ?");
        values << TTestRecord::ToMs(From);
    }
    if (To.isValid()) {
        parts << QStringLiteral("checked_at < ?");
        values << TTestRecord::ToMs(To);
    }
    const QString serial = Serial.trimmed();
    if (serial.endsWith(QLatin1Char('*'))) {
        const QString prefix = serial.chopped(1);
        if (!prefix.isEmpty()) {
            parts << QStringLiteral("substr(serial, 1, ?) = ?");
            values << int(prefix.size()) << prefix;
        }
    } else if (!serial.isEmpty()) {
        parts << QStringLiteral("serial = ?");
        values << serial;
    }
    if (!Project.trimmed().isEmpty()) {
        parts << QStringLiteral("project = ?");
        values << Project.trimmed();
    }
    if (!Operator.trimmed().isEmpty()) {
        parts << QStringLiteral("operator_name = ?");
        values << Operator.trimmed();
    }
    if (!Station.trimmed().isEmpty()) {
        parts << QStringLiteral("station = ?");
        values << Station.trimmed();
    }
    if (Verdict != TVerdict::Any) {
        parts << QStringLiteral("verdict = ?");
        values << TTestRecord::VerdictKey(Verdict == TVerdict::Good);
    }
    if (!Contact.trimmed().isEmpty()) {
        // The fault's contacts are kept one space apart; replace() compares exactly (LIKE would
        // not tell a1 from A1 in SQLite) and reads the same in both databases.
        parts << QStringLiteral("uid IN (SELECT fc.record_uid FROM faults fc WHERE "
                                "length(replace(' ' || fc.contacts || ' ', ?, '')) < "
                                "length(fc.contacts) + 2)");
        values << QLatin1Char(' ') + Contact.trimmed() + QLatin1Char(' ');
    }
    return parts.isEmpty() ? QStringLiteral("1 = 1") : parts.join(QLatin1String(" AND "));
}

void TRecordFilter::SetDays(const QDate& first, const QDate& last) {
    From = first.isValid() ? first.startOfDay() : QDateTime();
    To = last.isValid() ? last.addDays(1).startOfDay() : QDateTime();
}
