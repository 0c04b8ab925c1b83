// pinvel-check: the harness check on the command line, for scripts and production lines.
//
//   pinvel-check learn PROJECT.pvl [-o WIRES.csv]
//   pinvel-check verify PROJECT.pvl [--wires WIRES.csv] [--json]
//   pinvel-check watch PROJECT.pvl [--wires WIRES.csv] [--seconds N]
// with the unit from the settings file's [Device] section, or --link, --harness, --settings.
//
// Exit codes: 0 the harness is good (learnt, ГОДЕН, nothing latched), 1 it is not (БРАК, a
// fault latched, a foreign potential while learning), 2 it could not be tested (no unit, a bad
// file or argument); the reason goes to standard error in Russian.

#include "IComPort.h"
#include "TCheckPoints.h"
#include "TContinuousCheck.h"
#include "TErrors.h"
#include "THarnessCheck.h"
#include "TIniFile.h"
#include "TPortExchange.h"
#include "TSootv.h"
#include "TWireList.h"
#include "TWorkPlace.h"
#include "WorkWithCOM.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <optional>

namespace {

QString Tr(const char* text) {
    return QCoreApplication::translate("pinvel-check", text);
}

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

// Refusals of the command line and failures before a test: exit code 2.
class ECannotTest : public EPinvel {
  public:
    using EPinvel::EPinvel;
};

QString Usage() {
    return Tr("Использование:\n"
              "  pinvel-check learn ПРОЕКТ.pvl [-o ПРОВОДА.csv]\n"
              "      обучиться на исправном жгуте и записать эталон (по умолчанию "
              "ПРОЕКТ.wires.csv)\n"
              "  pinvel-check verify ПРОЕКТ.pvl [--wires ПРОВОДА.csv] [--json]\n"
              "      проверить жгут по эталону: ГОДЕН (код 0) или БРАК (код 1) и неисправности\n"
              "  pinvel-check watch ПРОЕКТ.pvl [--wires ПРОВОДА.csv] [--seconds N]\n"
              "      проверять непрерывно (до Ctrl+C или N секунд) и сообщать каждое отклонение\n"
              "Блок диагностики: раздел [Device] файла настроек pinvel.ini или\n"
              "  --link sim|serial:УСТРОЙСТВО|tcp:АДРЕС:ПОРТ  связь с блоком\n"
              "  --harness ФАЙЛ    описание жгута для встроенного имитатора (sim)\n"
              "  --settings ФАЙЛ   другой файл настроек\n"
              "Код выхода 2: проверить не удалось (нет блока, ошибка в файле); причина — в "
              "потоке ошибок.");
}

struct TOptions {
    QString Command;
    QString Project;
    QString Output; // learn -o
    QString Wires;  // verify/watch --wires
    bool Json = false;
    int Seconds = -1;
    std::optional<QString> Link;
    std::optional<QString> Harness;
    QString Settings;
};

TOptions Parse(const QStringList& args) {
    TOptions o;
    if (args.isEmpty())
        throw ECannotTest(Usage());
    o.Command = args[0];
    if (o.Command != QLatin1String("learn") && o.Command != QLatin1String("verify") &&
        o.Command != QLatin1String("watch"))
        throw ECannotTest(Tr("Неизвестная команда «%1».").arg(o.Command) + QLatin1Char('\n') +
                          Usage());
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw ECannotTest(Tr("После %1 ожидается значение.").arg(a));
            return args[++i];
        };
        if (a == QLatin1String("-o") && o.Command == QLatin1String("learn"))
            o.Output = value();
        else if (a == QLatin1String("--wires") && o.Command != QLatin1String("learn"))
            o.Wires = value();
        else if (a == QLatin1String("--json") && o.Command == QLatin1String("verify"))
            o.Json = true;
        else if (a == QLatin1String("--seconds") && o.Command == QLatin1String("watch")) {
            bool ok = false;
            o.Seconds = value().toInt(&ok);
            if (!ok || o.Seconds < 1)
                throw ECannotTest(Tr("--seconds ожидает целое число секунд больше нуля."));
        } else if (a == QLatin1String("--link"))
            o.Link = value();
        else if (a == QLatin1String("--harness"))
            o.Harness = value();
        else if (a == QLatin1String("--settings"))
            o.Settings = value();
        else if (!a.startsWith(QLatin1Char('-')) && o.Project.isEmpty())
            o.Project = a;
        else
            throw ECannotTest(Tr("Непонятный параметр «%1».").arg(a) + QLatin1Char('\n') + Usage());
    }
    if (o.Project.isEmpty())
        throw ECannotTest(Tr("Не указан файл проекта.") + QLatin1Char('\n') + Usage());
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
                Tr("В проекте «%1» нет контактов, привязанных к выводам блока: проверять нечего.")
                    .arg(path));
    }
};

// The unit, opened as the program opens it; released with the stop command, which lets every
// pin go.
class TUnit {
  public:
    explicit TUnit(const TOptions& o) {
        const QString iniPath = o.Settings.isEmpty() ? TIniFile::ProgramSettingsPath() : o.Settings;
        if (!o.Settings.isEmpty() && !QFileInfo::exists(iniPath))
            throw ECannotTest(Tr("Нет файла настроек «%1».").arg(iniPath));
        TIniFile ini(iniPath);
        if (QFileInfo::exists(iniPath) && !ini.Load())
            throw ECannotTest(Tr("Не удалось прочитать файл настроек «%1».").arg(iniPath));
        FDevice = ReadDeviceSettings(ini);
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
            throw ECannotTest(Tr("Не удалось подключиться к блоку диагностики (%1)%2")
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
        Err(Tr("Эталон не записан: на жгуте посторонний потенциал, его соединения не измерить."));
        for (const TFault& f : learnt.Faults)
            Out(f.Text() + QLatin1Char('\n'));
        return ExitFaulty;
    }
    const QString path = o.Output.isEmpty() ? TWireList::PathFor(o.Project) : o.Output;
    try {
        TWireList::Save(path, learnt.Reference, project.Points);
    } catch (const EPinvel& e) {
        throw ECannotTest(e.Message());
    }
    int wires = 0;
    for (const std::vector<int>& net : learnt.Reference.Nets())
        wires += int(project.Points.Contacts(net).size()) - 1;
    Out(Tr("Эталон записан: %1 (цепей %2, проводов %3, обменов с блоком %4)\n")
            .arg(path)
            .arg(learnt.Reference.NetCount())
            .arg(wires)
            .arg(learnt.RoundTrips));
    return ExitGood;
}

int Verify(const TOptions& o) {
    TProject project(o.Project);
    const TReference reference = LoadReference(o, project);
    TUnit unit(o);
    THarnessCheck check(project.Points, unit.Exchange());
    const TCheckResult result = check.Verify(reference);
    if (o.Json) {
        QJsonArray faults;
        for (const TFault& f : result.Faults)
            faults.append(f.ToJson());
        QJsonObject doc{{QStringLiteral("verdict"), result.Verdict()},
                        {QStringLiteral("good"), result.Good()},
                        {QStringLiteral("faults"), faults},
                        {QStringLiteral("roundTrips"), result.RoundTrips},
                        {QStringLiteral("nets"), reference.NetCount()},
                        {QStringLiteral("project"), o.Project}};
        Out(QString::fromUtf8(QJsonDocument(doc).toJson()));
    } else {
        QString text = result.Verdict() + QLatin1Char('\n');
        for (const TFault& f : result.Faults)
            text += f.Text() + QLatin1Char('\n');
        Out(text);
    }
    return result.Good() ? ExitGood : ExitFaulty;
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
    TUnit unit(o);
    THarnessCheck check(project.Points, unit.Exchange());
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    watch.SetOnLatched([](const TLatchedFault& latched) {
        Out(Time(latched.First) + QLatin1Char(' ') + latched.Fault.Text() + QLatin1Char('\n'));
    });
    Out(Tr("Непрерывная проверка: %1 цепей; остановка — Ctrl+C\n")
            .arg(watch.Reference().NetCount()));
    watch.Run(check, Interrupted, o.Seconds > 0 ? qint64(o.Seconds) * 1000 : -1);
    const std::vector<TLatchedFault> latched = watch.Latched();
    QString summary = Tr("Проверок: %1, без отклонений: %2. %3\n")
                          .arg(watch.Checks())
                          .arg(watch.CleanChecks())
                          .arg(TCheckResult::VerdictText(latched.empty()));
    for (const TLatchedFault& l : latched)
        summary += Tr("%1 — замечено %2 раз, впервые %3, последний раз %4\n")
                       .arg(l.Fault.Text())
                       .arg(l.Count)
                       .arg(Time(l.First), Time(l.Last));
    Out(summary);
    return latched.empty() ? ExitGood : ExitFaulty;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() == 1 &&
        (args[0] == QLatin1String("--help") || args[0] == QLatin1String("-h"))) {
        Out(Usage() + QLatin1Char('\n'));
        return ExitGood;
    }
    try {
        const TOptions options = Parse(args);
        if (options.Command == QLatin1String("learn"))
            return Learn(options);
        if (options.Command == QLatin1String("verify"))
            return Verify(options);
        return Watch(options);
    } catch (const EPinvel& e) {
        // A unit lost in the middle of a test is as much "could not test" as a missing file.
        Err(QStringLiteral("pinvel-check: ") + e.Message());
        return ExitCannot;
    }
}
