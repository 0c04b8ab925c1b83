#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// The unit emulator as a child process. QProcess is not used: it does not survive a
// thread-sanitizer build; posix_spawn with a pipe for the first line of output does.
class TUnitProcess {
  public:
    // The emulator's path and its options after --listen ("--harness", FILE, ...).
    TUnitProcess(QString program, QStringList options)
        : FProgram(std::move(program)), FOptions(std::move(options)) {}
    ~TUnitProcess() { Kill(); }

    // Starts the emulator on the port (0: any free one) and answers the port it listens on, or
    // 0 when it did not come up.
    int Start(int port) {
        int out[2];
        if (::pipe(out) != 0)
            return 0;
        const QByteArray program = FProgram.toLocal8Bit();
        const QByteArray listen = QByteArray("127.0.0.1:") + QByteArray::number(port);
        std::vector<QByteArray> options;
        for (const QString& o : FOptions)
            options.push_back(o.toLocal8Bit());
        std::vector<char*> argv = {const_cast<char*>(program.constData()),
                                   const_cast<char*>("--listen"),
                                   const_cast<char*>(listen.constData())};
        for (QByteArray& o : options)
            argv.push_back(o.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        // Nothing of the emulator holds the test's own output open: a runner waiting for that
        // output to end would otherwise wait for an emulator left behind by a failed test.
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int rc =
            ::posix_spawn(&FPid, program.constData(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (rc != 0) {
            FPid = -1;
            ::close(out[0]);
            return 0;
        }
        FOut = out[0];
        // "pinvel-unit: listening on 127.0.0.1:PORT, unit type 101"
        QByteArray line;
        char c = 0;
        while (!line.endsWith('\n')) {
            pollfd p{FOut, POLLIN, 0};
            if (::poll(&p, 1, 10000) <= 0 || ::read(FOut, &c, 1) != 1)
                return 0;
            line.append(c);
        }
        const int at = line.indexOf("listening on ");
        if (at < 0)
            return 0;
        const QByteArray address = line.mid(at + 13).split(',').value(0);
        return address.mid(address.lastIndexOf(':') + 1).toInt();
    }

    void Kill() {
        if (FPid > 0) {
            ::kill(FPid, SIGKILL);
            int status = 0;
            while (::waitpid(FPid, &status, 0) < 0 && errno == EINTR) {
            }
            FPid = -1;
        }
        if (FOut >= 0) {
            ::close(FOut);
            FOut = -1;
        }
    }

  private:
    QString FProgram;
    QStringList FOptions;
    pid_t FPid = -1;
    int FOut = -1;
};
