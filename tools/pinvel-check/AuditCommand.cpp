// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check audit [--station NAME] [--local] [--settings FILE]: walks each station's chain of
// records in the journal's database and names every record deleted, altered, inserted or
// reordered. Exit 0: every chain whole; 1: a break; 2: the records could not be read.

#include "CheckCommands.h"
#include "TErrors.h"
#include "TIniFile.h"
#include "TRecordAudit.h"
#include "TRecordStore.h"

#include <QCoreApplication>
#include <QFileInfo>
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

struct TAuditOptions {
    QString Station;
    bool Local = false;
    QString Settings;
};

TAuditOptions ParseAudit(const QStringList& args) {
    TAuditOptions o;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw EPinvel(TTexts::tr("После %1 ожидается значение.").arg(a));
            return args[++i];
        };
        if (a == QLatin1String("--station"))
            o.Station = value().trimmed();
        else if (a == QLatin1String("--local"))
            o.Local = true;
        else if (a == QLatin1String("--settings"))
            o.Settings = value();
        else
            throw EPinvel(TTexts::tr("Непонятный параметр «%1».").arg(a) + QLatin1Char('\n') +
                          AuditUsage());
    }
    return o;
}

} // namespace

QString AuditUsage() {
    return TTexts::tr("  pinvel-check audit [--station ИМЯ] [--local] [--settings ФАЙЛ]\n"
                      "      проверить цепочки записей станций: назвать каждую удаленную,\n"
                      "      измененную, вставленную или переставленную запись (код 0: цепочки\n"
                      "      целы, 1: есть нарушения)\n");
}

int AuditCommand(const QStringList& args) {
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        Print(AuditUsage());
        return 0;
    }
    const TAuditOptions o = ParseAudit(args);
    const TRecordsConfig config = RecordsConfigOf(o.Settings);
    TRecordStore store(config);
    QString problem;
    TRecordsDatabase* database = o.Local ? store.ReadingLocal(&problem) : store.Reading(&problem);
    if (!database)
        throw EPinvel(problem + (config.HasShared() && !o.Local
                                     ? QLatin1Char('\n') +
                                           TTexts::tr("Записи этой станции: pinvel-check audit "
                                                      "--local.")
                                     : QString()));
    const std::optional<TAuditResult> result = TRecordAudit::Run(*database, o.Station, &problem);
    if (!result)
        throw EPinvel(problem);
    QString out;
    for (const TChainBreak& b : result->Breaks)
        out += b.Text() + QLatin1Char('\n');
    out += result->Summary() + QLatin1Char('\n');
    Print(out);
    return result->Whole() ? 0 : 1;
}
