// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantList>

// Which records the journal, the export and the report take. Every part left empty takes all.
struct TRecordFilter {
    enum class TVerdict { Any, Good, Faulty };

    QDateTime From; // from this moment on (invalid: no bound)
    QDateTime To;   // before this moment (invalid: no bound)
    // The serial number exactly; ending in '*', every serial number that starts so.
    QString Serial;
    QString Project;  // the project's file name ("K1.pvl"), exactly
    QString Operator; // exactly
    QString Station;  // the station's host name, exactly
    TVerdict Verdict = TVerdict::Any;
    // Only records with a fault naming this contact ("XT1:a3"), exactly.
    QString Contact;

    // The condition for the records table, with '?' for the values appended to `values` in
    // order; "1 = 1" when nothing is chosen.
    QString Where(QVariantList& values) const;

    // The days from `first` to `last` (inclusive) in local time.
    void SetDays(const QDate& first, const QDate& last);

    bool operator==(const TRecordFilter&) const = default;
};
