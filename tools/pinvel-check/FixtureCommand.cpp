// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check fixture PROJECT.pvl: the test fixture checks itself with no harness connected.
// Exit code 0 every pin stands alone, 1 a fault of the fixture, 2 it could not be checked.

#include "CheckCommands.h"
#include "TFixtureCheck.h"
#include "TToolUnit.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};
} // namespace

QString FixtureUsage() {
    return TTexts::tr("  pinvel-check fixture ПРОЕКТ.pvl\n"
                      "      проверить адаптер без жгута: каждый вывод должен быть сам по себе;\n"
                      "      код 0 — исправен, 1 — неисправность адаптера\n");
}

int FixtureCommand(const QStringList& args) {
    QString project;
    TUnitOptions unitOptions;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (unitOptions.Take(args, i))
            continue;
        if (!args[i].startsWith(QLatin1Char('-')) && project.isEmpty())
            project = args[i];
        else
            throw EToolRefused(TTexts::tr("Непонятный параметр «%1».").arg(args[i]) +
                               QLatin1Char('\n') + FixtureUsage());
    }
    if (project.isEmpty())
        throw EToolRefused(TTexts::tr("Не указан файл проекта.") + QLatin1Char('\n') +
                           FixtureUsage());
    const TToolProject pvl(project);
    TToolUnit unit(unitOptions);
    TFixtureCheck fixture(pvl.Points());
    const TFixtureResult result = fixture.Run(unit.Exchange());
    if (result.Good()) {
        ToolOut(TTexts::tr("Адаптер исправен: выводов %1, обменов с блоком %2\n")
                    .arg(pvl.Points().Count())
                    .arg(result.RoundTrips));
        return 0;
    }
    QString text = TTexts::tr("Неисправность адаптера:\n");
    for (const TFixtureFault& f : result.Faults)
        text += f.Text(pvl.Points()) + QLatin1Char('\n');
    ToolOut(text);
    return 1;
}
