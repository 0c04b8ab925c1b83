// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check supervisor add NAME | remove NAME | list [--settings FILE]

#include "ApprovalCommands.h"
#include "TApprovals.h"
#include "TIniFile.h"
#include "TPinPrompt.h"
#include "TRecordStore.h"
#include "TToolUnit.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};

QString PinOf(const QString& name) {
    QString pin;
    if (!TPinPrompt::Read(TTexts::tr("PIN мастера «%1»: ").arg(name), pin))
        throw EToolRefused(TTexts::tr("PIN не введен."));
    if (const QString problem = TSupervisors::PinProblem(pin); !problem.isEmpty())
        throw EToolRefused(problem);
    // Typed blind: typed twice.
    QString again;
    if (TPinPrompt::Interactive() &&
        (!TPinPrompt::Read(TTexts::tr("Повторите PIN: "), again) || again != pin))
        throw EToolRefused(TTexts::tr("PIN не совпал с повторением; мастер не добавлен."));
    return pin;
}
} // namespace

int SupervisorCommand(const QStringList& args) {
    QString action;
    QString name;
    QString settings;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--settings") && i + 1 < args.size())
            settings = args[++i];
        else if (action.isEmpty() && !a.startsWith(QLatin1Char('-')))
            action = a;
        else if (name.isEmpty() && !a.startsWith(QLatin1Char('-')) &&
                 action != QLatin1String("list"))
            name = a.trimmed();
        else
            throw EToolRefused(TTexts::tr("Непонятный параметр «%1».").arg(a) + QLatin1Char('\n') +
                               ApprovalUsage());
    }
    const bool list = action == QLatin1String("list");
    if ((!list && action != QLatin1String("add") && action != QLatin1String("remove")) ||
        (!list && name.isEmpty()))
        throw EToolRefused(ApprovalUsage());
    TRecordStore store(TRecordsConfig::FromIni(ToolSettings(settings)));
    TApprovals approvals(store);
    QString problem;
    TSupervisors* supervisors = approvals.Supervisors(&problem);
    if (supervisors == nullptr)
        throw EToolRefused(problem);
    if (list) {
        const std::vector<TSupervisor> all = supervisors->List(&problem);
        if (!problem.isEmpty())
            throw EToolRefused(problem);
        QString text;
        for (const TSupervisor& s : all) {
            text += s.Name + QLatin1Char('\t') + TTestRecord::TimeText(s.Added);
            if (s.LockedUntil.isValid())
                text += QLatin1Char('\t') +
                        TTexts::tr("заблокирован до %1").arg(TTestRecord::TimeText(s.LockedUntil));
            text += QLatin1Char('\n');
        }
        ToolOut(text);
        return 0;
    }
    if (action == QLatin1String("add")) {
        if (!supervisors->Add(name, PinOf(name), &problem)) {
            ToolErr(QStringLiteral("pinvel-check: ") + problem);
            return 1;
        }
        ToolOut(TTexts::tr("Мастер «%1» добавлен.\n").arg(name));
        return 0;
    }
    if (!supervisors->Remove(name, &problem)) {
        if (!problem.isEmpty())
            throw EToolRefused(problem);
        ToolErr(QStringLiteral("pinvel-check: ") +
                TTexts::tr("В базе записей нет мастера «%1».").arg(name));
        return 1;
    }
    ToolOut(TTexts::tr("Мастер «%1» удален; его прежние утверждения остаются в силе.\n").arg(name));
    return 0;
}
