// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check: the harness check on the command line, for scripts and production lines.
//
//   pinvel-check learn PROJECT.pvl [-o WIRES.csv] [--replace]
//   pinvel-check verify PROJECT.pvl [--wires WIRES.csv] [--json]
//   pinvel-check watch PROJECT.pvl [--wires WIRES.csv] [--seconds N]
//   pinvel-check report --csv FILE | --pdf FILE [--record ID] [filters]
//   pinvel-check approve PROJECT.pvl --supervisor NAME; supervisor add|remove|list
// with the unit from the settings file's [Device] section, or --link, --harness, --settings.
// Verify and watch write the record of the check ([Records] of the settings file: the station's
// file, or the shared database), with --serial and --operator.
//
// Exit codes: 0 the harness is good (learnt, ГОДЕН, nothing latched), 1 it is not (БРАК, a
// fault latched, a foreign potential while learning), 2 it could not be tested (no unit, a bad
// file or argument), 3 it was checked but its record could not be written anywhere; the reason
// goes to standard error in Russian.

#include "ApprovalCommands.h"
#include "CheckCommands.h"
#include "IComPort.h"
#include "StatsCommand.h"
#include "TCheckPoints.h"
#include "TContinuousCheck.h"
#include "TErrors.h"
#include "THarnessCheck.h"
#include "TIniFile.h"
#include "TPortExchange.h"
#include "TRecordReport.h"
#include "TRecordStore.h"
#include "TRecordsCsv.h"
#include "TSootv.h"
#include "TTranslation.h"
#include "TWireList.h"
#include "TWorkPlace.h"
#include "WorkWithCOM.h"

#include <QCoreApplication>
#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};

void Out(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void Err(const QString& text) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

constexpr int ExitGood = 0;
constexpr int ExitFaulty = 1;
constexpr int ExitCannot = 2;
constexpr int ExitNotRecorded = 3;

// Refusals of the command line and failures before a test: exit code 2.
class ECannotTest : public EPinvel {
  public:
    using EPinvel::EPinvel;
};

QString Usage() {
    return TTexts::tr(
        "Использование:\n"
        "  pinvel-check learn ПРОЕКТ.pvl [-o ПРОВОДА.csv] [--replace] [--operator ФИО]\n"
        "      обучиться на исправном жгуте и записать эталон (по умолчанию "
        "ПРОЕКТ.wires.csv);\n"
        "      прежний эталон заменяется только с --replace, различия выводятся всегда\n"
        "  pinvel-check verify ПРОЕКТ.pvl [--wires ПРОВОДА.csv] [--json]\n"
        "                     [--serial НОМЕР] [--operator ФИО]\n"
        "      проверить жгут по эталону: ГОДЕН (код 0) или БРАК (код 1) и неисправности;\n"
        "      запись проверки — в журнал (раздел [Records] файла настроек)\n"
        "  pinvel-check watch ПРОЕКТ.pvl [--wires ПРОВОДА.csv] [--seconds N]\n"
        "                     [--serial НОМЕР] [--operator ФИО]\n"
        "      проверять непрерывно (до Ctrl+C или N секунд) и сообщать каждое отклонение\n"
        "  pinvel-check report --csv ФАЙЛ | --pdf ФАЙЛ [--record ИД] [--local]\n"
        "                     [--from ГГГГ-ММ-ДД] [--to ГГГГ-ММ-ДД] [--serial НОМЕР[*]]\n"
        "                     [--project ИМЯ.pvl] [--operator ФИО] [--verdict ГОДЕН|БРАК]\n"
        "      записи журнала в CSV или отчет PDF (одна запись с --record или список)\n"
        "Блок диагностики: раздел [Device] файла настроек pinvel.ini или\n"
        "  --link sim|serial:УСТРОЙСТВО|tcp:АДРЕС:ПОРТ  связь с блоком\n"
        "  --harness ФАЙЛ    описание жгута для встроенного имитатора (sim)\n"
        "  --settings ФАЙЛ   другой файл настроек\n"
        "Код выхода 2: проверить не удалось (нет блока, ошибка в файле); 3: жгут проверен,\n"
        "но запись проверки не сохранить; причина — в потоке ошибок.");
}

struct TOptions {
    QString Command;
    QString Project;
    QString Output; // learn -o
    QString Wires;  // verify/watch --wires
    bool Json = false;
    bool Replace = false; // learn over an existing list
    int Seconds = -1;
    std::optional<QString> Link;
    std::optional<QString> Harness;
    QString Settings;
    QString Serial;   // verify/watch: the harness; report: the filter
    QString Operator; // verify/watch: who checks; report: the filter
    // report
    QString Csv;
    QString Pdf;
    QString RecordId;
    bool Local = false;
    TRecordFilter Filter;
};

QDate DateArgument(const QString& option, const QString& text) {
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (!date.isValid())
        throw ECannotTest(TTexts::tr("%1 ожидает дату в виде ГГГГ-ММ-ДД.").arg(option));
    return date;
}

TOptions Parse(const QStringList& args) {
    TOptions o;
    if (args.isEmpty())
        throw ECannotTest(Usage());
    o.Command = args[0];
    const bool report = o.Command == QLatin1String("report");
    const bool checks = o.Command == QLatin1String("verify") || o.Command == QLatin1String("watch");
    if (o.Command != QLatin1String("learn") && !checks && !report)
        throw ECannotTest(TTexts::tr("Неизвестная команда «%1».").arg(o.Command) +
                          QLatin1Char('\n') + Usage());
    QDate from;
    QDate to;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw ECannotTest(TTexts::tr("После %1 ожидается значение.").arg(a));
            return args[++i];
        };
        if (a == QLatin1String("-o") && o.Command == QLatin1String("learn"))
            o.Output = value();
        else if (a == QLatin1String("--serial") && (checks || report))
            o.Serial = value().trimmed();
        else if (a == QLatin1String("--replace") && o.Command == QLatin1String("learn"))
            o.Replace = true;
        else if (a == QLatin1String("--operator") &&
                 (checks || report || o.Command == QLatin1String("learn")))
            o.Operator = value().trimmed();
        else if (a == QLatin1String("--csv") && report)
            o.Csv = value();
        else if (a == QLatin1String("--pdf") && report)
            o.Pdf = value();
        else if (a == QLatin1String("--record") && report)
            o.RecordId = value().trimmed();
        else if (a == QLatin1String("--local") && report)
            o.Local = true;
        else if (a == QLatin1String("--from") && report)
            from = DateArgument(a, value());
        else if (a == QLatin1String("--to") && report)
            to = DateArgument(a, value());
        else if (a == QLatin1String("--project") && report)
            o.Filter.Project = value().trimmed();
        else if (a == QLatin1String("--verdict") && report) {
            const QString v = value().trimmed();
            if (v == TCheckResult::VerdictText(true) || v == QLatin1String("ГОДЕН") ||
                v == QLatin1String("good"))
                o.Filter.Verdict = TRecordFilter::TVerdict::Good;
            else if (v == TCheckResult::VerdictText(false) || v == QLatin1String("БРАК") ||
                     v == QLatin1String("faulty"))
                o.Filter.Verdict = TRecordFilter::TVerdict::Faulty;
            else
                throw ECannotTest(TTexts::tr("--verdict ожидает ГОДЕН или БРАК."));
        } else if (a == QLatin1String("--wires") && checks)
            o.Wires = value();
        else if (a == QLatin1String("--json") && o.Command == QLatin1String("verify"))
            o.Json = true;
        else if (a == QLatin1String("--seconds") && o.Command == QLatin1String("watch")) {
            bool ok = false;
            o.Seconds = value().toInt(&ok);
            if (!ok || o.Seconds < 1)
                throw ECannotTest(TTexts::tr("--seconds ожидает целое число секунд больше нуля."));
        } else if (a == QLatin1String("--link"))
            o.Link = value();
        else if (a == QLatin1String("--harness"))
            o.Harness = value();
        else if (a == QLatin1String("--settings"))
            o.Settings = value();
        else if (!a.startsWith(QLatin1Char('-')) && o.Project.isEmpty() && !report)
            o.Project = a;
        else
            throw ECannotTest(TTexts::tr("Непонятный параметр «%1».").arg(a) + QLatin1Char('\n') +
                              Usage());
    }
    if (report) {
        o.Filter.Serial = o.Serial;
        o.Filter.Operator = o.Operator;
        o.Filter.SetDays(from, to);
        if (o.Csv.isEmpty() == o.Pdf.isEmpty())
            throw ECannotTest(TTexts::tr("Укажите одно из двух: --csv ФАЙЛ или --pdf ФАЙЛ.") +
                              QLatin1Char('\n') + Usage());
        if (!o.RecordId.isEmpty() && o.Pdf.isEmpty())
            throw ECannotTest(
                TTexts::tr("--record печатает одну запись в PDF: укажите --pdf ФАЙЛ."));
        return o;
    }
    if (o.Project.isEmpty())
        throw ECannotTest(TTexts::tr("Не указан файл проекта.") + QLatin1Char('\n') + Usage());
    return o;
}

// The project's workspace and table, read as the program reads them.
struct TProject {
    TSootv Sootv;
    TWorkPlace WorkPlace;
    TCheckPoints Points;

    explicit TProject(const QString& path) {
        WorkPlace.FSootv = &Sootv;
        try {
            WorkPlace.LoadFromFile(path);
        } catch (const EPinvel& e) {
            throw ECannotTest(e.Message());
        }
        Points = TCheckPoints::FromProject(WorkPlace, Sootv);
        if (Points.Count() == 0)
            throw ECannotTest(
                TTexts::tr(
                    "В проекте «%1» нет контактов, привязанных к выводам блока: проверять нечего.")
                    .arg(path));
    }
};

// The unit, opened as the program opens it; released with the stop command, which lets every
// pin go.
TIniFile Settings(const TOptions& o) {
    const QString iniPath = o.Settings.isEmpty() ? TIniFile::ProgramSettingsPath() : o.Settings;
    if (!o.Settings.isEmpty() && !QFileInfo::exists(iniPath))
        throw ECannotTest(TTexts::tr("Нет файла настроек «%1».").arg(iniPath));
    TIniFile ini(iniPath);
    if (QFileInfo::exists(iniPath) && !ini.Load())
        throw ECannotTest(TTexts::tr("Не удалось прочитать файл настроек «%1».").arg(iniPath));
    return ini;
}

// Where the records go; a [Records] section that cannot be taken is said, and the records stay
// on the station.
TRecordsConfig RecordsConfig(const TOptions& o) {
    QString problem;
    TRecordsConfig config = TRecordsConfig::FromIni(Settings(o), &problem);
    if (!problem.isEmpty())
        Err(QStringLiteral("pinvel-check: ") + problem);
    return config;
}

// Writes the record of a check; answers the exit code, which a record written nowhere turns
// into ExitNotRecorded.
int Record(const TOptions& o, const TTestRecord& record, int exitCode) {
    TRecordStore store(RecordsConfig(o));
    QString problem;
    const TWriteOutcome outcome = store.Write(record, &problem);
    if (const QString notice = store.TakeNotice(); !notice.isEmpty())
        Err(QStringLiteral("pinvel-check: ") + notice);
    switch (outcome) {
    case TWriteOutcome::Stored:
        return exitCode;
    case TWriteOutcome::Waiting:
        Err(QStringLiteral("pinvel-check: ") +
            TTexts::tr("Общая база записей %1 недоступна (%2); запись сохранена на этой станции и "
                       "будет отправлена позже. Записей ждут отправки: %3.")
                .arg(store.Config().SharedUrl(), problem.trimmed())
                .arg(store.Waiting()));
        return exitCode;
    case TWriteOutcome::Failed:
        break;
    }
    Err(QStringLiteral("pinvel-check: ") +
        TTexts::tr("Запись проверки не сохранена: %1").arg(problem.trimmed()));
    return ExitNotRecorded;
}

class TUnit {
  public:
    explicit TUnit(const TOptions& o) {
        FDevice = ReadDeviceSettings(Settings(o));
        if (o.Link)
            FDevice.Link = QFile::encodeName(*o.Link);
        if (o.Harness)
            FDevice.Harness = QFile::encodeName(QFileInfo(*o.Harness).absoluteFilePath());
        QString error;
        FPort = ComCreator(FDevice.Config(), &error);
        if (!FPort)
            throw ECannotTest(error);
        const SCP_Info info{3, "pinvel-check", 0, 1};
        std::int32_t out = 0;
        if (FPort->Init(&info) == 0 || FPort->Open(&out) == 0 || FPort->LastError() != 0) {
            const QString why = PortErrorText(FPort);
            throw ECannotTest(TTexts::tr("Не удалось подключиться к блоку диагностики (%1)%2")
                                  .arg(QString::fromLocal8Bit(FDevice.Link),
                                       why.isEmpty() ? QString() : QStringLiteral(": ") + why));
        }
        FExchange = std::make_unique<TPortExchange>(*FPort, FPort->UnitType() == 101,
                                                    [this] { return PortErrorText(FPort); });
    }
    ~TUnit() {
        FPort->Send(UnitCode::Stop, 0, nullptr);
        FPort->Close();
        FPort->Done();
    }
    IUnitExchange& Exchange() { return *FExchange; }

  private:
    TDeviceSettings FDevice;
    TComPortHandle FPort;
    std::unique_ptr<TPortExchange> FExchange;
};

TReference LoadReference(const TOptions& o, const TProject& project) {
    const QString path = o.Wires.isEmpty() ? TWireList::PathFor(o.Project) : o.Wires;
    TReference reference;
    std::vector<TWireListError> errors;
    if (!TWireList::Load(path, project.Points, reference, errors))
        throw ECannotTest(TWireList::ErrorText(path, errors));
    return reference;
}

int Learn(const TOptions& o) {
    TProject project(o.Project);
    TUnit unit(o);
    THarnessCheck check(project.Points, unit.Exchange());
    const TLearnResult learnt = check.Learn();
    if (!learnt.Learnt()) {
        Err(TTexts::tr(
            "Эталон не записан: на жгуте посторонний потенциал, его соединения не измерить."));
        for (const TFault& f : learnt.Faults)
            Out(f.Text() + QLatin1Char('\n'));
        return ExitFaulty;
    }
    const QString path = o.Output.isEmpty() ? TWireList::PathFor(o.Project) : o.Output;
    if (!LearnMayReplace(path, learnt.Reference, project.Points, o.Replace))
        return ExitCannot;
    try {
        TWireList::Save(path, learnt.Reference, project.Points);
    } catch (const EPinvel& e) {
        throw ECannotTest(e.Message());
    }
    KeepLearnedReference(o.Settings, o.Project, TWireList::ToCsv(learnt.Reference, project.Points),
                         o.Operator);
    int wires = 0;
    for (const std::vector<int>& net : learnt.Reference.Nets())
        wires += int(project.Points.Contacts(net).size()) - 1;
    Out(TTexts::tr("Эталон записан: %1 (цепей %2, проводов %3, обменов с блоком %4)\n")
            .arg(path)
            .arg(learnt.Reference.NetCount())
            .arg(wires)
            .arg(learnt.RoundTrips));
    return ExitGood;
}

int Verify(const TOptions& o) {
    TProject project(o.Project);
    const TReference reference = LoadReference(o, project);
    const QString referenceSum = TTestRecord::ReferenceSumOf(reference, project.Points);
    const bool approved = ApprovedForCheck(o.Settings, referenceSum);
    TUnit unit(o);
    THarnessCheck check(project.Points, unit.Exchange());
    const TCheckResult result = check.Verify(reference);
    TTestRecord record = TTestRecord::Make(o.Project, QString(), o.Serial, o.Operator);
    record.TakeReference(reference, project.Points);
    record.ReferenceApproved = approved;
    record.TakeResult(result);
    if (o.Json) {
        QJsonArray faults;
        for (const TFault& f : result.Faults)
            faults.append(f.ToJson());
        // Scripts read the verdict word as it always was, whatever the language of the texts.
        const QString verdict = result.Good() ? QStringLiteral("ГОДЕН") : QStringLiteral("БРАК");
        QJsonObject doc{{QStringLiteral("verdict"), verdict},
                        {QStringLiteral("good"), result.Good()},
                        {QStringLiteral("faults"), faults},
                        {QStringLiteral("roundTrips"), result.RoundTrips},
                        {QStringLiteral("nets"), reference.NetCount()},
                        {QStringLiteral("project"), o.Project},
                        {QStringLiteral("serial"), record.Serial},
                        {QStringLiteral("operator"), record.Operator},
                        {QStringLiteral("referenceSha256"), record.ReferenceSum},
                        {QStringLiteral("referenceApproved"), record.ReferenceApproved},
                        {QStringLiteral("record"), record.Uid}};
        Out(QString::fromUtf8(QJsonDocument(doc).toJson()));
    } else {
        QString text = result.Verdict() + QLatin1Char('\n');
        for (const TFault& f : result.Faults)
            text += f.Text() + QLatin1Char('\n');
        Out(text);
    }
    return Record(o, record, result.Good() ? ExitGood : ExitFaulty);
}

std::atomic<bool> Interrupted{false};

extern "C" void OnSignal(int) {
    Interrupted.store(true);
}

QString Time(const QDateTime& t) {
    return t.toLocalTime().toString(QStringLiteral("HH:mm:ss.zzz"));
}

int Watch(const TOptions& o) {
    TProject project(o.Project);
    TContinuousCheck watch(LoadReference(o, project));
    const QString referenceSum = TTestRecord::ReferenceSumOf(watch.Reference(), project.Points);
    const bool approved = ApprovedForCheck(o.Settings, referenceSum);
    TUnit unit(o);
    THarnessCheck check(project.Points, unit.Exchange());
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    watch.SetOnLatched([](const TLatchedFault& latched) {
        Out(Time(latched.First) + QLatin1Char(' ') + latched.Fault.Text() + QLatin1Char('\n'));
    });
    Out(TTexts::tr("Непрерывная проверка: %1 цепей; остановка — Ctrl+C\n")
            .arg(watch.Reference().NetCount()));
    watch.Run(check, Interrupted, o.Seconds > 0 ? qint64(o.Seconds) * 1000 : -1);
    const std::vector<TLatchedFault> latched = watch.Latched();
    QString summary = TTexts::tr("Проверок: %1, без отклонений: %2. %3\n")
                          .arg(watch.Checks())
                          .arg(watch.CleanChecks())
                          .arg(TCheckResult::VerdictText(latched.empty()));
    for (const TLatchedFault& l : latched)
        summary += TTexts::tr("%1 — замечено %2 раз, впервые %3, последний раз %4\n")
                       .arg(l.Fault.Text())
                       .arg(l.Count)
                       .arg(Time(l.First), Time(l.Last));
    Out(summary);
    TTestRecord record = TTestRecord::Make(o.Project, referenceSum, o.Serial, o.Operator);
    record.TakeReference(watch.Reference(), project.Points);
    record.ReferenceApproved = approved;
    record.TakeLatched(latched, watch.Checks());
    return Record(o, record, latched.empty() ? ExitGood : ExitFaulty);
}

int Report(const TOptions& o) {
    const TRecordsConfig config = RecordsConfig(o);
    TRecordStore store(config);
    QString problem;
    TRecordsDatabase* database = o.Local ? store.ReadingLocal(&problem) : store.Reading(&problem);
    if (const QString notice = store.TakeNotice(); !notice.isEmpty())
        Err(QStringLiteral("pinvel-check: ") + notice);
    if (!database)
        throw ECannotTest(
            problem +
            (config.HasShared() && !o.Local
                 ? QLatin1Char('\n') + TTexts::tr("Записи этой станции: pinvel-check report "
                                                  "--local.")
                 : QString()));
    int count = 0;
    if (!o.RecordId.isEmpty()) {
        const std::optional<TTestRecord> record = database->Load(o.RecordId, &problem);
        if (!record)
            throw ECannotTest(
                problem.isEmpty()
                    ? TTexts::tr("В базе «%1» нет записи %2.").arg(database->Name(), o.RecordId)
                    : problem);
        if (!TRecordReport::WriteRecord(*record, o.Pdf, &problem))
            throw ECannotTest(problem);
        count = 1;
    } else if (!o.Pdf.isEmpty()) {
        if (!TRecordReport::WriteList(*database, o.Filter, o.Pdf, &count, &problem))
            throw ECannotTest(problem);
    } else if (!TRecordsCsv::Export(*database, o.Filter, o.Csv, &count, &problem)) {
        throw ECannotTest(problem);
    }
    Out(TTexts::tr("Записей: %1 → %2\n").arg(count).arg(o.Pdf.isEmpty() ? o.Csv : o.Pdf));
    return ExitGood;
}

// The PDF is drawn with QtGui, which wants a window system: without a display the offscreen
// one does.
bool NeedsGui(int argc, char** argv) {
    if (argc < 2 || qstrcmp(argv[1], "report") != 0)
        return false;
    for (int i = 2; i < argc; ++i)
        if (qstrcmp(argv[i], "--pdf") == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QCoreApplication> app;
    if (NeedsGui(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
            qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    } else {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    const QStringList args = app->arguments().mid(1);
    // The program's language: its settings file's choice (--settings names another), else the
    // locale's. The verdict words of --json stay as scripts read them.
    const qsizetype settingsAt = args.indexOf(QLatin1String("--settings"));
    TTranslation::Install(TTranslation::ChooseForProgram(
        settingsAt >= 0 && settingsAt + 1 < args.size() ? args[settingsAt + 1]
                                                        : TIniFile::ProgramSettingsPath()));
    if (args.size() == 1 &&
        (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        Out(Usage() + QLatin1Char('\n') + ReferenceReportUsage() + ProbeUsage() + FixtureUsage() +
            AuditUsage() + DbUsage() + ApprovalUsage());
        return ExitGood;
    }
    try {
        if (!args.isEmpty() && args[0] == QLatin1String("stats"))
            return RunStats(args.mid(1));
        if (!args.isEmpty() && args[0] == QLatin1String("probe"))
            return ProbeCommand(args.mid(1));
        if (!args.isEmpty() && args[0] == QLatin1String("fixture"))
            return FixtureCommand(args.mid(1));
        if (!args.isEmpty() && args[0] == QLatin1String("audit"))
            return AuditCommand(args.mid(1));
        if (!args.isEmpty() && args[0] == QLatin1String("db"))
            return DbCommand(args.mid(1));
        if (args.size() > 1 && args[0] == QLatin1String("report") &&
            args.contains(QLatin1String("--reference")))
            return ReferenceReportCommand(args.mid(1));
        if (!args.isEmpty() && args[0] == QLatin1String("supervisor"))
            return SupervisorCommand(args.mid(1));
        if (!args.isEmpty() && args[0] == QLatin1String("approve"))
            return ApproveCommand(args.mid(1));
        const TOptions options = Parse(args);
        if (options.Command == QLatin1String("learn"))
            return Learn(options);
        if (options.Command == QLatin1String("verify"))
            return Verify(options);
        if (options.Command == QLatin1String("report"))
            return Report(options);
        return Watch(options);
    } catch (const EPinvel& e) {
        // A unit lost in the middle of a test is as much "could not test" as a missing file.
        Err(QStringLiteral("pinvel-check: ") + e.Message());
        return ExitCannot;
    }
}
