// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Runs a command-line tool of the program to its end, its output and errors apart, and the files
// the tests hand it.

#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTest>

namespace ToolKit {

struct TRun {
    int Exit = -1; // -1: it did not start or did not end by itself
    QString Out;
    QString Err;
};

// tool: the file name in the build's program folder ("pinvel-check").
// `env`: variables set (an empty value removes one) over the test's own environment.
inline TRun RunTool(const QString& tool, const QStringList& args,
                    const QList<std::pair<QString, QString>>& env = {}) {
    QProcess p;
    QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : env) {
        if (value.isEmpty())
            e.remove(name);
        else
            e.insert(name, value);
    }
    p.setProcessEnvironment(e);
    p.start(qEnvironmentVariable("PINVEL_BIN_DIR") + QLatin1Char('/') + tool, args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

inline void WriteFile(const QString& path, const QByteArray& data) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

inline QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace ToolKit
