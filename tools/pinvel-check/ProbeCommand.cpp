// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check probe PROJECT.pvl [--wires WIRES.csv] [--seconds N]: the probe finds its net, and
// each change of where it touches is printed on a line of its own until Ctrl+C (or N seconds).

#include "CheckCommands.h"
#include "TProbeSearch.h"
#include "TToolUnit.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <atomic>
#include <chrono>
#include <csignal>
#include <thread>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};

std::atomic<bool> Stopped{false};

extern "C" void OnStop(int) {
    Stopped.store(true);
}

// A technician moves the probe far slower than this: the pause keeps the unit's line free.
constexpr int PauseMs = 10;

} // namespace

QString ProbeUsage() {
    return TTexts::tr("  pinvel-check probe ПРОЕКТ.pvl [--wires ПРОВОДА.csv] [--seconds N]\n"
                      "      найти зондом: каждое изменение того, чего касается зонд, — строкой\n"
                      "      (цепь эталона, без эталона — контакт; до Ctrl+C или N секунд)\n");
}

int ProbeCommand(const QStringList& args) {
    QString project;
    QString wires;
    int seconds = -1;
    TUnitOptions unitOptions;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (unitOptions.Take(args, i))
            continue;
        if ((a == QLatin1String("--wires") || a == QLatin1String("--seconds")) &&
            i + 1 >= args.size())
            throw EToolRefused(TTexts::tr("После %1 ожидается значение.").arg(a));
        if (a == QLatin1String("--wires")) {
            wires = args[++i];
        } else if (a == QLatin1String("--seconds")) {
            bool ok = false;
            seconds = args[++i].toInt(&ok);
            if (!ok || seconds < 1)
                throw EToolRefused(TTexts::tr("--seconds ожидает целое число секунд больше нуля."));
        } else if (!a.startsWith(QLatin1Char('-')) && project.isEmpty()) {
            project = a;
        } else {
            throw EToolRefused(TTexts::tr("Непонятный параметр «%1».").arg(a) + QLatin1Char('\n') +
                               ProbeUsage());
        }
    }
    if (project.isEmpty())
        throw EToolRefused(TTexts::tr("Не указан файл проекта.") + QLatin1Char('\n') +
                           ProbeUsage());

    const TToolProject pvl(project);
    const std::optional<TReference> reference = pvl.Reference(wires);
    TToolUnit unit(unitOptions);
    TProbeSearch search(pvl.Points(), reference.value_or(TReference{}));
    std::signal(SIGINT, OnStop);
    std::signal(SIGTERM, OnStop);
    QElapsedTimer timer;
    timer.start();
    std::optional<TProbeFind> shown;
    while (!Stopped.load() && (seconds < 0 || timer.elapsed() < qint64(seconds) * 1000)) {
        const TProbeFind find = search.Find(unit.Exchange());
        if (!shown || !shown->SamePlace(find)) {
            ToolOut(find.Text() + QLatin1Char('\n'));
            shown = find;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(PauseMs));
    }
    return 0;
}
