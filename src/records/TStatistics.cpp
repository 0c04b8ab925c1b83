// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStatistics.h"

#include "TRecordsCsv.h"

#include <QJsonArray>
#include <QLocale>
#include <cmath>

namespace {
std::optional<double> Percent(qint64 part, qint64 whole) {
    if (whole <= 0)
        return std::nullopt;
    return 100.0 * double(part) / double(whole);
}

QJsonValue JsonPercent(std::optional<double> percent) {
    return percent ? QJsonValue(TStatistics::Rounded(*percent)) : QJsonValue(QJsonValue::Null);
}

QString CsvPercent(std::optional<double> percent) {
    return percent ? QString::number(TStatistics::Rounded(*percent), 'f', 1) : QString();
}

QByteArray CsvLine(const QStringList& fields) {
    QByteArray line;
    for (const QString& f : fields) {
        if (!line.isEmpty())
            line += ',';
        line += TRecordsCsv::Field(f);
    }
    return line + '\n';
}
} // namespace

std::optional<double> TStatisticsGroup::FirstPassYield() const {
    return Percent(FirstPassGood, Harnesses);
}

std::optional<double> TStatisticsGroup::FinalYield() const {
    return Percent(FinalGood, Harnesses);
}

std::optional<double> TStatistics::FirstPassYield() const {
    return Percent(FirstPassGood, Harnesses);
}

std::optional<double> TStatistics::FinalYield() const {
    return Percent(FinalGood, Harnesses);
}

double TStatistics::Rounded(double percent) {
    return std::round(percent * 10.0) / 10.0;
}

QString TStatistics::PercentText(std::optional<double> percent) {
    if (!percent)
        return QStringLiteral("—");
    return QLocale().toString(Rounded(*percent), 'f', 1) + QStringLiteral(" %");
}

QString TStatistics::GroupingKey(TStatisticsGrouping by) {
    switch (by) {
    case TStatisticsGrouping::Day:
        return QStringLiteral("day");
    case TStatisticsGrouping::Week:
        return QStringLiteral("week");
    case TStatisticsGrouping::Project:
        return QStringLiteral("project");
    case TStatisticsGrouping::Operator:
        return QStringLiteral("operator");
    case TStatisticsGrouping::Station:
        return QStringLiteral("station");
    }
    return {};
}

std::optional<TStatisticsGrouping> TStatistics::GroupingFromKey(const QString& key) {
    for (TStatisticsGrouping by :
         {TStatisticsGrouping::Day, TStatisticsGrouping::Week, TStatisticsGrouping::Project,
          TStatisticsGrouping::Operator, TStatisticsGrouping::Station})
        if (GroupingKey(by) == key)
            return by;
    return std::nullopt;
}

QJsonObject TStatistics::ToJson() const {
    QJsonArray groups;
    for (const TStatisticsGroup& g : Groups)
        groups.append(
            QJsonObject{{QStringLiteral("key"), g.Key},
                        {QStringLiteral("checks"), g.Checks},
                        {QStringLiteral("good"), g.Good},
                        {QStringLiteral("faulty"), g.Faulty},
                        {QStringLiteral("harnesses"), g.Harnesses},
                        {QStringLiteral("first_pass_good"), g.FirstPassGood},
                        {QStringLiteral("final_good"), g.FinalGood},
                        {QStringLiteral("first_pass_yield"), JsonPercent(g.FirstPassYield())},
                        {QStringLiteral("final_yield"), JsonPercent(g.FinalYield())}});
    QJsonArray contacts;
    for (const TContactFigure& c : Contacts)
        contacts.append(QJsonObject{{QStringLiteral("contact"), c.Contact},
                                    {QStringLiteral("checks"), c.Checks},
                                    {QStringLiteral("watch_checks"), c.WatchChecks},
                                    {QStringLiteral("share"), Rounded(c.Share)},
                                    {QStringLiteral("cumulative"), Rounded(c.Cumulative)}});
    QJsonArray kinds;
    for (const TKindFigure& k : Kinds)
        kinds.append(QJsonObject{{QStringLiteral("kind"), TFault::KindKey(k.Kind)},
                                 {QStringLiteral("text"), TFault::KindText(k.Kind)},
                                 {QStringLiteral("faults"), k.Faults},
                                 {QStringLiteral("checks"), k.Checks},
                                 {QStringLiteral("watch_faults"), k.WatchFaults},
                                 {QStringLiteral("watch_checks"), k.WatchChecks}});
    QJsonArray repeats;
    for (const TRepeatFigure& r : Repeats)
        repeats.append(QJsonObject{{QStringLiteral("serial"), r.Serial},
                                   {QStringLiteral("faulty"), r.Faulty},
                                   {QStringLiteral("checks"), r.Checks}});
    return QJsonObject{{QStringLiteral("by"), GroupingKey(By)},
                       {QStringLiteral("checks"), Checks},
                       {QStringLiteral("good"), Good},
                       {QStringLiteral("faulty"), Faulty},
                       {QStringLiteral("unnumbered"), Unnumbered},
                       {QStringLiteral("harnesses"), Harnesses},
                       {QStringLiteral("first_pass_good"), FirstPassGood},
                       {QStringLiteral("final_good"), FinalGood},
                       {QStringLiteral("first_pass_yield"), JsonPercent(FirstPassYield())},
                       {QStringLiteral("final_yield"), JsonPercent(FinalYield())},
                       {QStringLiteral("groups"), groups},
                       {QStringLiteral("contacts"), contacts},
                       {QStringLiteral("kinds"), kinds},
                       {QStringLiteral("repeats"), repeats}};
}

QString TStatistics::ToCsv() const {
    const auto n = [](qint64 v) { return QString::number(v); };
    QByteArray out;
    out += CsvLine({QStringLiteral("checks"), QStringLiteral("good"), QStringLiteral("faulty"),
                    QStringLiteral("unnumbered"), QStringLiteral("harnesses"),
                    QStringLiteral("first_pass_good"), QStringLiteral("final_good"),
                    QStringLiteral("first_pass_yield"), QStringLiteral("final_yield")});
    out += CsvLine({n(Checks), n(Good), n(Faulty), n(Unnumbered), n(Harnesses), n(FirstPassGood),
                    n(FinalGood), CsvPercent(FirstPassYield()), CsvPercent(FinalYield())});
    out += '\n';
    out += CsvLine({GroupingKey(By), QStringLiteral("checks"), QStringLiteral("good"),
                    QStringLiteral("faulty"), QStringLiteral("harnesses"),
                    QStringLiteral("first_pass_good"), QStringLiteral("final_good"),
                    QStringLiteral("first_pass_yield"), QStringLiteral("final_yield")});
    for (const TStatisticsGroup& g : Groups)
        out +=
            CsvLine({g.Key, n(g.Checks), n(g.Good), n(g.Faulty), n(g.Harnesses), n(g.FirstPassGood),
                     n(g.FinalGood), CsvPercent(g.FirstPassYield()), CsvPercent(g.FinalYield())});
    out += '\n';
    out += CsvLine({QStringLiteral("contact"), QStringLiteral("checks"),
                    QStringLiteral("watch_checks"), QStringLiteral("share"),
                    QStringLiteral("cumulative")});
    for (const TContactFigure& c : Contacts)
        out += CsvLine({c.Contact, n(c.Checks), n(c.WatchChecks), CsvPercent(c.Share),
                        CsvPercent(c.Cumulative)});
    out += '\n';
    out += CsvLine({QStringLiteral("kind"), QStringLiteral("faults"), QStringLiteral("checks"),
                    QStringLiteral("watch_faults"), QStringLiteral("watch_checks")});
    for (const TKindFigure& k : Kinds)
        out += CsvLine({TFault::KindKey(k.Kind), n(k.Faults), n(k.Checks), n(k.WatchFaults),
                        n(k.WatchChecks)});
    out += '\n';
    out += CsvLine({QStringLiteral("serial"), QStringLiteral("faulty"), QStringLiteral("checks")});
    for (const TRepeatFigure& r : Repeats)
        out += CsvLine({r.Serial, n(r.Faulty), n(r.Checks)});
    return QString::fromUtf8(out);
}
