// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFault.h"

#include <QDate>
#include <QJsonObject>
#include <QString>
#include <optional>
#include <vector>

// What the yield is broken down by.
enum class TStatisticsGrouping { Day, Week, Project, Operator, Station };

// One row of the yield's breakdown. The harnesses of a row are those whose first check in the
// selection falls in it (a harness counts in one row only, so the rows add up to the whole).
struct TStatisticsGroup {
    QString Key; // "2026-12-07", "2026-W49", the project's file name, operator or station
    QDate Day;   // the day, or the Monday of the week (by time only)
    qint64 Checks = 0;
    qint64 Good = 0;
    qint64 Faulty = 0;
    qint64 Harnesses = 0;     // first checked here
    qint64 FirstPassGood = 0; // of them, the first check ГОДЕН
    qint64 FinalGood = 0;     // of them, the last check in the selection ГОДЕН

    // Percent, nothing without harnesses.
    std::optional<double> FirstPassYield() const;
    std::optional<double> FinalYield() const;

    bool operator==(const TStatisticsGroup&) const = default;
};

// A contact of the Pareto list: how many faulty checks named it.
struct TContactFigure {
    QString Contact;
    qint64 Checks = 0;      // faulty checks with a fault naming the contact
    qint64 WatchChecks = 0; // of them, continuous verifies
    double Share = 0;       // percent of all the contacts' checks together
    double Cumulative = 0;  // percent, this contact and those above it

    bool operator==(const TContactFigure&) const = default;
};

// The faults of one kind.
struct TKindFigure {
    TFaultKind Kind = TFaultKind::Open;
    qint64 Faults = 0;      // in one-shot verifies
    qint64 Checks = 0;      // one-shot verifies with a fault of the kind
    qint64 WatchFaults = 0; // in continuous verifies, counted apart
    qint64 WatchChecks = 0;

    bool operator==(const TKindFigure&) const = default;
};

// A harness found faulty two times or more.
struct TRepeatFigure {
    QString Serial;
    qint64 Faulty = 0;
    qint64 Checks = 0;

    bool operator==(const TRepeatFigure&) const = default;
};

// The production statistics over the records of a filter: the checks and the harnesses, the
// first-pass and the final yield, their breakdown, the faults by contact (a Pareto list) and by
// kind, and the harnesses failed again and again. Made by TStatisticsQuery.
struct TStatistics {
    TStatisticsGrouping By = TStatisticsGrouping::Day;
    qint64 Checks = 0;
    qint64 Good = 0;
    qint64 Faulty = 0;
    qint64 Unnumbered = 0; // checks without a serial number: no harness, no yield
    qint64 Harnesses = 0;
    qint64 FirstPassGood = 0;
    qint64 FinalGood = 0;
    std::vector<TStatisticsGroup> Groups; // in time order, else by key
    std::vector<TContactFigure> Contacts; // most named first
    std::vector<TKindFigure> Kinds;       // every kind, in the order of TFaultKind
    std::vector<TRepeatFigure> Repeats;   // most failed first

    std::optional<double> FirstPassYield() const;
    std::optional<double> FinalYield() const;

    // {"checks": .., "groups": [..], "contacts": [..], "kinds": [..], "repeats": [..]}; yields in
    // percent rounded to 0.1, null without harnesses.
    QJsonObject ToJson() const;
    // Sections one after another, each with its header line.
    QString ToCsv() const;

    static QString GroupingKey(TStatisticsGrouping by);
    static std::optional<TStatisticsGrouping> GroupingFromKey(const QString& key);
    // The rounding every output shows: percent to 0.1.
    static double Rounded(double percent);
    // "66,7 %" style text for the window and the report ("—" for nothing).
    static QString PercentText(std::optional<double> percent);

    bool operator==(const TStatistics&) const = default;
};
