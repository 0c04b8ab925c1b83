// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TSpawn.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <csignal>
#include <poll.h>

// The unit emulator as a child process, its first line of output telling the port it listens on.
class TUnitProcess {
  public:
    // The emulator's path and its options after --listen ("--harness", FILE, ...).
    TUnitProcess(QString program, QStringList options)
        : FProgram(std::move(program)), FOptions(std::move(options)) {}
    ~TUnitProcess() { Kill(); }

    // Starts the emulator on the port (0: any free one) and answers the port it listens on, or
    // 0 when it did not come up.
    int Start(int port) {
        std::vector<QByteArray> words{FProgram.toLocal8Bit(), "--listen",
                                      QByteArray("127.0.0.1:") + QByteArray::number(port)};
        for (const QString& o : FOptions)
            words.push_back(o.toLocal8Bit());
        FChild = TSpawn::Start(std::move(words), true);
        if (FChild.Pid < 0)
            return 0;
        // "pinvel-unit: listening on 127.0.0.1:PORT, unit type 101"
        QByteArray line;
        char c = 0;
        while (!line.endsWith('\n')) {
            pollfd p{FChild.Out, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0 || ::read(FChild.Out, &c, 1) != 1)
                return 0;
            line.append(c);
        }
        const int at = line.indexOf("listening on ");
        if (at < 0)
            return 0;
        const QByteArray address = line.mid(at + 13).split(',').value(0);
        return address.mid(address.lastIndexOf(':') + 1).toInt();
    }

    // With "--control", "127.0.0.1:0" among the options: the control port it took, from its
    // second line; 0 when it did not say.
    int ControlPort() {
        QByteArray line;
        char c = 0;
        while (!line.endsWith('\n')) {
            pollfd p{FChild.Out, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0 || ::read(FChild.Out, &c, 1) != 1)
                return 0;
            line.append(c);
        }
        const int at = line.indexOf("control on ");
        return at < 0 ? 0 : line.mid(line.lastIndexOf(':') + 1).trimmed().toInt();
    }

    void Kill() {
        if (FChild.Pid > 0)
            ::kill(FChild.Pid, SIGKILL);
        FChild.Wait();
    }

  private:
    QString FProgram;
    QStringList FOptions;
    TSpawn FChild;
};

// A settings file that points the program at the emulator on this port; false when it could not
// be written.
inline bool WriteUnitSettings(const QString& path, int port) {
    QFile ini(path);
    if (!ini.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = "[Device]\r\nLink=tcp:127.0.0.1:" + QByteArray::number(port) +
                            "\r\nReplyTimeoutMs=2000\r\n";
    return ini.write(text) == text.size();
}
