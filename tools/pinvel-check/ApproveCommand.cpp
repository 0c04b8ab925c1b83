// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check approve PROJECT.pvl --supervisor NAME [--wires WIRES.csv] [--settings FILE]

#include "ApprovalCommands.h"
#include "TApprovals.h"
#include "TIniFile.h"
#include "TPinPrompt.h"
#include "TRecordStore.h"
#include "TToolUnit.h"
#include "TWireList.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};
} // namespace

QString ApprovalUsage() {
    return TTexts::tr(
        "  pinvel-check approve ПРОЕКТ.pvl --supervisor ИМЯ [--wires ПРОВОДА.csv]\n"
        "      утвердить эталон проекта PIN-кодом мастера (код 0 — утвержден, 1 — отказано)\n"
        "  pinvel-check supervisor add ИМЯ | remove ИМЯ | list\n"
        "      мастера, утверждающие эталоны (в базе записей; PIN — с терминала без эха\n"
        "      или строкой со стандартного ввода)\n");
}

TIniFile ToolSettings(const QString& path) {
    const QString iniPath = path.isEmpty() ? TIniFile::ProgramSettingsPath() : path;
    if (!path.isEmpty() && !QFileInfo::exists(iniPath))
        throw EToolRefused(TTexts::tr("Нет файла настроек «%1».").arg(iniPath));
    TIniFile ini(iniPath);
    if (QFileInfo::exists(iniPath) && !ini.Load())
        throw EToolRefused(TTexts::tr("Не удалось прочитать файл настроек «%1».").arg(iniPath));
    return ini;
}

bool ApprovedForCheck(const QString& settingsPath, const QString& referenceSum) {
    const TIniFile ini = ToolSettings(settingsPath);
    TRecordStore store(TRecordsConfig::FromIni(ini));
    TApprovals approvals(store);
    QString problem;
    const bool approved = approvals.Find(referenceSum, &problem).has_value();
    if (!approved && TApprovals::Required(ini))
        throw EToolRefused(TApprovals::RefusalText() +
                           (problem.isEmpty() ? QString() : QLatin1Char('\n') + problem));
    return approved;
}

int ApproveCommand(const QStringList& args) {
    QString project;
    QString supervisor;
    QString wires;
    QString settings;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool valued = a == QLatin1String("--supervisor") || a == QLatin1String("--wires") ||
                            a == QLatin1String("--settings");
        if (valued && i + 1 >= args.size())
            throw EToolRefused(TTexts::tr("После %1 ожидается значение.").arg(a));
        if (a == QLatin1String("--supervisor"))
            supervisor = args[++i].trimmed();
        else if (a == QLatin1String("--wires"))
            wires = args[++i];
        else if (a == QLatin1String("--settings"))
            settings = args[++i];
        else if (!a.startsWith(QLatin1Char('-')) && project.isEmpty())
            project = a;
        else
            throw EToolRefused(TTexts::tr("Непонятный параметр «%1».").arg(a) + QLatin1Char('\n') +
                               ApprovalUsage());
    }
    if (project.isEmpty() || supervisor.isEmpty())
        throw EToolRefused(TTexts::tr("Укажите проект и --supervisor ИМЯ.") + QLatin1Char('\n') +
                           ApprovalUsage());
    const TToolProject pvl(project);
    const std::optional<TReference> reference = pvl.Reference(wires);
    if (!reference)
        throw EToolRefused(TTexts::tr("Для проекта «%1» нет эталона (%2): утверждать нечего.")
                               .arg(project, TWireList::PathFor(project)));
    const QString sum = TTestRecord::ReferenceSumOf(*reference, pvl.Points());
    TRecordStore store(TRecordsConfig::FromIni(ToolSettings(settings)));
    TApprovals approvals(store);
    QString pin;
    if (!TPinPrompt::Read(TTexts::tr("PIN мастера «%1»: ").arg(supervisor), pin))
        throw EToolRefused(TTexts::tr("PIN не введен."));
    TApproval approval;
    const TPinCheck check = approvals.Approve(sum, supervisor, pin, &approval);
    if (check.Verdict == TPinCheck::TVerdict::Failed)
        throw EToolRefused(check.Text());
    if (!check.Accepted()) {
        ToolErr(QStringLiteral("pinvel-check: ") + check.Text());
        return 1;
    }
    ToolOut(TTexts::tr("Эталон %1 %2 (SHA-256 %3)\n").arg(project, approval.Text(), sum));
    return 0;
}
