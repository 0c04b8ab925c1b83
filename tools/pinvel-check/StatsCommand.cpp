// SPDX-License-Identifier: GPL-3.0-or-later
#include "StatsCommand.h"

#include "CheckCommands.h"
#include "TErrors.h"
#include "THarnessCheck.h"
#include "TIniFile.h"
#include "TRecordStore.h"
#include "TStatisticsQuery.h"

#include <QCoreApplication>
#include <QDate>
#include <QFileInfo>
#include <QJsonDocument>
#include <cstdio>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};

void Print(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

QString StatsUsage() {
    return TTexts::tr(
        "Использование:\n"
        "  pinvel-check stats [--by day|week|project|operator|station] [--json|--csv]\n"
        "                     [--local] [--from ГГГГ-ММ-ДД] [--to ГГГГ-ММ-ДД]\n"
        "                     [--serial НОМЕР[*]] [--project ИМЯ.pvl] [--operator ФИО]\n"
        "                     [--station ИМЯ] [--verdict ГОДЕН|БРАК] [--settings ФАЙЛ]\n"
        "      статистика записей журнала: проверки, жгуты, выход годных с первого\n"
        "      предъявления и итоговый, разбивка по дням (неделям, проектам, операторам,\n"
        "      станциям), неисправности по контактам и по видам, жгуты с браком\n"
        "      два раза и более");
}

struct TStatsOptions {
    TRecordFilter Filter;
    TStatisticsGrouping By = TStatisticsGrouping::Day;
    bool Json = false;
    bool Csv = false;
    bool Local = false;
    QString Settings;
};

QDate DateArgument(const QString& option, const QString& text) {
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw EPinvel(TTexts::tr("%1 ожидает дату в виде ГГГГ-ММ-ДД.").arg(option));
    return date;
}

TStatsOptions ParseStats(const QStringList& args) {
    TStatsOptions o;
    QDate from;
    QDate to;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw EPinvel(TTexts::tr("После %1 ожидается значение.").arg(a));
            return args[++i];
        };
        if (a == QLatin1String("--by")) {
            const QString key = value().trimmed();
            const std::optional<TStatisticsGrouping> by = TStatistics::GroupingFromKey(key);
            if (!by)
                throw EPinvel(TTexts::tr("--by ожидает day, week, project, operator или station."));
            o.By = *by;
        } else if (a == QLatin1String("--json"))
            o.Json = true;
        else if (a == QLatin1String("--csv"))
            o.Csv = true;
        else if (a == QLatin1String("--local"))
            o.Local = true;
        else if (a == QLatin1String("--from"))
            from = DateArgument(a, value());
        else if (a == QLatin1String("--to"))
            to = DateArgument(a, value());
        else if (a == QLatin1String("--serial"))
            o.Filter.Serial = value().trimmed();
        else if (a == QLatin1String("--project"))
            o.Filter.Project = value().trimmed();
        else if (a == QLatin1String("--operator"))
            o.Filter.Operator = value().trimmed();
        else if (a == QLatin1String("--station"))
            o.Filter.Station = value().trimmed();
        else if (a == QLatin1String("--verdict")) {
            const QString v = value().trimmed();
            if (v == TCheckResult::VerdictText(true) || v == QLatin1String("ГОДЕН") ||
                v == QLatin1String("good"))
                o.Filter.Verdict = TRecordFilter::TVerdict::Good;
            else if (v == TCheckResult::VerdictText(false) || v == QLatin1String("БРАК") ||
                     v == QLatin1String("faulty"))
                o.Filter.Verdict = TRecordFilter::TVerdict::Faulty;
            else
                throw EPinvel(TTexts::tr("--verdict ожидает ГОДЕН или БРАК."));
        } else if (a == QLatin1String("--settings"))
            o.Settings = value();
        else
            throw EPinvel(TTexts::tr("Непонятный параметр «%1».").arg(a) + QLatin1Char('\n') +
                          StatsUsage());
    }
    if (o.Json && o.Csv)
        throw EPinvel(TTexts::tr("Укажите одно из двух: --json или --csv."));
    o.Filter.SetDays(from, to);
    return o;
}

QString Count(qint64 n) {
    return QString::number(n);
}

QString Text(const TStatistics& s) {
    QString out;
    out += TTexts::tr("Проверок: %1 (ГОДЕН %2, БРАК %3), без серийного номера: %4\n")
               .arg(Count(s.Checks), Count(s.Good), Count(s.Faulty), Count(s.Unnumbered));
    out += TTexts::tr("Жгутов: %1; годны с первого предъявления: %2 (%3); годны в итоге: %4 (%5)\n")
               .arg(Count(s.Harnesses), Count(s.FirstPassGood),
                    TStatistics::PercentText(s.FirstPassYield()), Count(s.FinalGood),
                    TStatistics::PercentText(s.FinalYield()));
    out += QLatin1Char('\n') +
           TTexts::tr("%1: проверок, ГОДЕН, БРАК, жгутов, с первого предъявления, в итоге\n")
               .arg(TStatistics::GroupingKey(s.By));
    for (const TStatisticsGroup& g : s.Groups)
        out += QStringLiteral("  %1  %2  %3  %4  %5  %6  %7\n")
                   .arg(g.Key.isEmpty() ? QStringLiteral("—") : g.Key, Count(g.Checks),
                        Count(g.Good), Count(g.Faulty), Count(g.Harnesses),
                        TStatistics::PercentText(g.FirstPassYield()),
                        TStatistics::PercentText(g.FinalYield()));
    out += QLatin1Char('\n') + TTexts::tr("Контакты в неисправностях (бракованных проверок, доля, "
                                          "нарастающим итогом, из них непрерывных):\n");
    for (const TContactFigure& c : s.Contacts)
        out += QStringLiteral("  %1  %2  %3  %4  %5\n")
                   .arg(c.Contact, Count(c.Checks), TStatistics::PercentText(c.Share),
                        TStatistics::PercentText(c.Cumulative), Count(c.WatchChecks));
    out += QLatin1Char('\n') + TTexts::tr("Неисправности по видам (разовые проверки; непрерывные "
                                          "отдельно):\n");
    for (const TKindFigure& k : s.Kinds)
        out += TTexts::tr("  %1: %2 в %3 проверках; непрерывные: %4 в %5\n")
                   .arg(TFault::KindText(k.Kind), Count(k.Faults), Count(k.Checks),
                        Count(k.WatchFaults), Count(k.WatchChecks));
    out += QLatin1Char('\n') +
           TTexts::tr("Жгуты с браком два раза и более: %1\n").arg(s.Repeats.size());
    for (const TRepeatFigure& r : s.Repeats)
        out += TTexts::tr("  %1: БРАК %2 из %3 проверок\n")
                   .arg(r.Serial, Count(r.Faulty), Count(r.Checks));
    return out;
}

} // namespace

int RunStats(const QStringList& args) {
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        Print(StatsUsage() + QLatin1Char('\n'));
        return 0;
    }
    const TStatsOptions o = ParseStats(args);
    const TRecordsConfig config = RecordsConfigOf(o.Settings);
    TRecordStore store(config);
    QString problem;
    TRecordsDatabase* database = o.Local ? store.ReadingLocal(&problem) : store.Reading(&problem);
    if (!database)
        throw EPinvel(problem +
                      (config.HasShared() && !o.Local
                           ? QLatin1Char('\n') +
                                 TTexts::tr("Записи этой станции: pinvel-check stats --local.")
                           : QString()));
    const std::optional<TStatistics> stats =
        TStatisticsQuery::Compute(*database, o.Filter, o.By, &problem);
    if (!stats)
        throw EPinvel(problem);
    if (o.Json)
        Print(QString::fromUtf8(QJsonDocument(stats->ToJson()).toJson()));
    else if (o.Csv)
        Print(stats->ToCsv());
    else
        Print(Text(*stats));
    return 0;
}

TRecordsConfig RecordsConfigOf(const QString& settings) {
    const QString path = settings.isEmpty() ? TIniFile::ProgramSettingsPath() : settings;
    if (!settings.isEmpty() && !QFileInfo::exists(path))
        throw EPinvel(TTexts::tr("Нет файла настроек «%1».").arg(path));
    TIniFile ini(path);
    if (QFileInfo::exists(path) && !ini.Load())
        throw EPinvel(TTexts::tr("Не удалось прочитать файл настроек «%1».").arg(path));
    QString problem;
    TRecordsConfig config = TRecordsConfig::FromIni(ini, &problem);
    if (!problem.isEmpty()) {
        const QByteArray bytes = (QStringLiteral("pinvel-check: ") + problem + '\n').toUtf8();
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
    }
    return config;
}
