// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The open unit's simulated board (pinvel-avrsim) as a child process of a test, its firmware's
// ELF named by PINVEL_FIRMWARE_ELF.

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

inline QString Bin(const QString& name) {
    return qEnvironmentVariable("PINVEL_BIN_DIR") + QLatin1Char('/') + name;
}

inline QString Firmware() {
    return qEnvironmentVariable("PINVEL_FIRMWARE_ELF");
}

// The simulated board as a separate process, its first line naming its terminal.
class TBoard {
  public:
    bool Start(const QString& harness) {
        QStringList args;
        if (!harness.isEmpty())
            args << "--harness" << harness;
        FProcess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        FProcess.start(Bin("pinvel-avrsim"), args << Firmware());
        if (!FProcess.waitForStarted(5000))
            return false;
        const QRegularExpression line(QStringLiteral("pinvel-avrsim: unit on (\\S+)"));
        QByteArray seen;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 10000 && FProcess.waitForReadyRead(10000)) {
            seen += FProcess.readAllStandardOutput();
            const QRegularExpressionMatch m = line.match(QString::fromUtf8(seen));
            if (m.hasMatch()) {
                Tty = m.captured(1);
                Link = QStringLiteral("serial:") + Tty;
                return true;
            }
        }
        return false;
    }
    // SIGTERM, and how the board ended.
    int Terminate() {
        FProcess.terminate();
        if (!FProcess.waitForFinished(5000))
            return -1;
        return FProcess.exitStatus() == QProcess::NormalExit ? FProcess.exitCode() : -2;
    }
    ~TBoard() {
        if (FProcess.state() != QProcess::NotRunning) {
            FProcess.kill();
            FProcess.waitForFinished(5000);
        }
    }
    QString Tty;
    QString Link;

  private:
    QProcess FProcess;
};
