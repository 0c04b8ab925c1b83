// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs one of the program's command-line tools to its end and collects what it printed.

#include "TSpawn.h"

#include <QString>
#include <QStringList>

struct TToolRun {
    int ExitCode = -1; // -1: it did not start or did not end by itself
    QByteArray Out;

    static TToolRun Run(const QString& program, const QStringList& args) {
        TToolRun result;
        std::vector<QByteArray> words{program.toLocal8Bit()};
        for (const QString& a : args)
            words.push_back(a.toLocal8Bit());
        TSpawn child = TSpawn::Start(std::move(words), true);
        if (child.Pid < 0)
            return result;
        result.Out = child.ReadUntil([](const QByteArray&) { return false; });
        const int status = child.Wait();
        if (WIFEXITED(status))
            result.ExitCode = WEXITSTATUS(status);
        return result;
    }
};
