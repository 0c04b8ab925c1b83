// SPDX-License-Identifier: GPL-3.0-or-later
// The references kept in the records: the difference a learned list would make to the one it
// replaces, its keeping, and a kept reference written out again.

#include "CheckCommands.h"
#include "TIniFile.h"
#include "TRecordStore.h"
#include "TReference.h"
#include "TReferenceDiff.h"
#include "TSafeFile.h"
#include "TToolUnit.h"
#include "TWireList.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};

TRecordsConfig Config(const QString& settings) {
    const QString path = settings.isEmpty() ? TIniFile::ProgramSettingsPath() : settings;
    if (!settings.isEmpty() && !QFileInfo::exists(path))
        throw EToolRefused(TTexts::tr("Нет файла настроек «%1».").arg(path));
    TIniFile ini(path);
    if (QFileInfo::exists(path) && !ini.Load())
        throw EToolRefused(TTexts::tr("Не удалось прочитать файл настроек «%1».").arg(path));
    QString problem;
    TRecordsConfig config = TRecordsConfig::FromIni(ini, &problem);
    if (!problem.isEmpty())
        ToolErr(QStringLiteral("pinvel-check: ") + problem);
    return config;
}

QString Who(const QString& oper, const QString& settings) {
    if (!oper.trimmed().isEmpty())
        return oper.trimmed();
    TIniFile ini(settings.isEmpty() ? TIniFile::ProgramSettingsPath() : settings);
    const QString remembered =
        ini.Load() ? ini.ReadString(QStringLiteral("Records"), QStringLiteral("Operator"), {})
                   : QString();
    return remembered.trimmed().isEmpty() ? qEnvironmentVariable("USER") : remembered.trimmed();
}

} // namespace

bool LearnMayReplace(const QString& path, const TReference& renewed, const TCheckPoints& points,
                     bool replace) {
    if (!QFileInfo::exists(path))
        return true;
    TReference previous;
    std::vector<TWireListError> errors;
    QStringList lines;
    if (TWireList::Load(path, points, previous, errors))
        lines = TReferenceDiff::Lines(TReferenceDiff::Compare(previous, renewed, points), 0);
    else
        lines = {TTexts::tr("Прежний эталон не прочитать, сравнить не с чем."),
                 TWireList::ErrorText(path, errors)};
    ToolOut(lines.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    if (replace)
        return true;
    ToolErr(QStringLiteral("pinvel-check: ") +
            TTexts::tr("Эталон не записан: перечень проводов «%1» уже есть, и он остался как был. "
                       "Чем новый эталон отличается от прежнего, сказано выше; заменить прежний "
                       "эталон: повторите с --replace.")
                .arg(path));
    return false;
}

void KeepLearnedReference(const QString& settings, const QString& projectPath,
                          const QByteArray& wires, const QString& oper) {
    TRecordStore store(Config(settings));
    QString problem;
    const TWriteOutcome outcome =
        store.Keep(TKeptReference::Make(wires, projectPath, Who(oper, settings),
                                        TKeptReference::TOrigin::Learned),
                   &problem);
    if (const QString notice = store.TakeNotice(); !notice.isEmpty())
        ToolErr(QStringLiteral("pinvel-check: ") + notice);
    if (outcome == TWriteOutcome::Failed)
        ToolErr(QStringLiteral("pinvel-check: ") +
                TTexts::tr("Эталон не сохранен в базе записей (%1); он будет сохранен с первой "
                           "записью проверки по нему.")
                    .arg(problem.trimmed()));
    else if (outcome == TWriteOutcome::Waiting)
        ToolErr(QStringLiteral("pinvel-check: ") +
                TTexts::tr("Общая база записей %1 недоступна (%2); эталон сохранен на этой "
                           "станции и попадет в общую базу с первой записью проверки по нему.")
                    .arg(store.Config().SharedUrl(), problem.trimmed()));
}

QString ReferenceReportUsage() {
    return TTexts::tr("  pinvel-check report --reference SHA256 [-o ПРОВОДА.csv] [--local]\n"
                      "      эталон записи по его SHA-256: перечень проводов, как его записывает "
                      "learn\n");
}

int ReferenceReportCommand(const QStringList& args) {
    QString sum;
    QString output;
    QString settings;
    bool local = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const auto value = [&]() -> QString {
            if (i + 1 >= args.size())
                throw EToolRefused(TTexts::tr("После %1 ожидается значение.").arg(a));
            return args[++i];
        };
        if (a == QLatin1String("--reference"))
            sum = value().trimmed().toLower();
        else if (a == QLatin1String("-o"))
            output = value();
        else if (a == QLatin1String("--settings"))
            settings = value();
        else if (a == QLatin1String("--local"))
            local = true;
        else
            throw EToolRefused(TTexts::tr("Непонятный параметр «%1».").arg(a) + QLatin1Char('\n') +
                               ReferenceReportUsage());
    }
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    if (!hex.match(sum).hasMatch())
        throw EToolRefused(
            TTexts::tr("--reference ожидает SHA-256 эталона: 64 шестнадцатеричные цифры, "
                       "как в журнале и в reference_sha256."));
    TRecordStore store(Config(settings));
    QString problem;
    std::optional<TKeptReference> kept;
    if (local) {
        TRecordsDatabase* database = store.ReadingLocal(&problem);
        if (database)
            kept = TReferenceArchive::Find(*database, sum, &problem);
    } else {
        kept = store.FindReference(sum, &problem);
    }
    if (const QString notice = store.TakeNotice(); !notice.isEmpty())
        ToolErr(QStringLiteral("pinvel-check: ") + notice);
    if (!kept)
        throw EToolRefused(problem.isEmpty()
                               ? TTexts::tr("Эталона с SHA-256 %1 нет в базе записей.").arg(sum)
                               : problem);
    const QString about = TTexts::tr("Эталон %1: %2, %3, станция %4, %5")
                              .arg(kept->Sum, TKeptReference::OriginText(kept->Origin),
                                   kept->KeptBy.isEmpty() ? QStringLiteral("—") : kept->KeptBy,
                                   kept->Station, TTestRecord::TimeText(kept->Time));
    if (output.isEmpty()) {
        ToolErr(QStringLiteral("pinvel-check: ") + about);
        ToolOut(QString::fromUtf8(kept->Wires));
        return 0;
    }
    try {
        TSafeFile::Write(output, kept->Wires);
    } catch (const EPinvel& e) {
        throw EToolRefused(e.Message());
    }
    ToolOut(about + QStringLiteral(" → ") + output + QLatin1Char('\n'));
    return 0;
}
