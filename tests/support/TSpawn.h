// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A child process whose standard output comes back through a pipe. QProcess is not used: it does
// not survive a thread-sanitizer build; posix_spawn does.

#include <QByteArray>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

struct TSpawn {
    pid_t Pid = -1; // -1: it did not start
    int Out = -1;   // the read end of the child's standard output

    // words[0] is the program's path. With quietErrors the child's standard error goes to
    // /dev/null, so that nothing of it holds the test's own output open: a runner waiting for
    // that output to end would otherwise wait for a child left behind by a failed test.
    static TSpawn Start(std::vector<QByteArray> words, bool quietErrors) {
        TSpawn child;
        int out[2];
        if (words.empty() || ::pipe2(out, O_CLOEXEC) != 0)
            return child;
        std::vector<char*> argv;
        for (QByteArray& w : words)
            argv.push_back(w.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        if (quietErrors)
            posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int rc = ::posix_spawn(&child.Pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        if (rc != 0) {
            child.Pid = -1;
            ::close(out[0]);
            return child;
        }
        child.Out = out[0];
        return child;
    }

    // Reads the output until it ends or until stop says enough has come; answers what came.
    template <typename TEnough> QByteArray ReadUntil(TEnough enough) const {
        QByteArray seen;
        char buffer[4096];
        while (!enough(seen)) {
            const ssize_t n = ::read(Out, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            seen.append(buffer, n);
        }
        return seen;
    }

    // Closes the pipe and waits for the child's end; answers its wait status.
    int Wait() {
        if (Out >= 0) {
            ::close(Out);
            Out = -1;
        }
        int status = 0;
        if (Pid > 0) {
            while (::waitpid(Pid, &status, 0) < 0 && errno == EINTR) {
            }
            Pid = -1;
        }
        return status;
    }
};
