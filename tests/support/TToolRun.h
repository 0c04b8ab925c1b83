#pragma once

// Runs one of the program's command-line tools to its end and collects what it printed. QProcess
// is not used: it does not survive a thread-sanitizer build; posix_spawn does.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct TToolRun {
    int ExitCode = -1; // -1: it did not start or did not end by itself
    QByteArray Out;

    static TToolRun Run(const QString& program, const QStringList& args) {
        TToolRun result;
        int out[2];
        if (::pipe(out) != 0)
            return result;
        std::vector<QByteArray> words{program.toLocal8Bit()};
        for (const QString& a : args)
            words.push_back(a.toLocal8Bit());
        std::vector<char*> argv;
        for (QByteArray& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        pid_t pid = -1;
        const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (rc != 0) {
            ::close(out[0]);
            return result;
        }
        char buffer[4096];
        for (;;) {
            const ssize_t n = ::read(out[0], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            result.Out.append(buffer, n);
        }
        ::close(out[0]);
        int status = 0;
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (WIFEXITED(status))
            result.ExitCode = WEXITSTATUS(status);
        return result;
    }
};
