// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPinPrompt.h"

#include <csignal>
#include <cstdio>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace {
termios Saved;

// Ctrl+C at the prompt: the terminal shows what is typed again before the program ends.
extern "C" void RestoreAndEnd(int signal) {
    ::tcsetattr(STDIN_FILENO, TCSANOW, &Saved);
    const char newline = '\n';
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, &newline, 1);
    ::_exit(128 + signal);
}

bool ReadLine(QString& out) {
    std::string line;
    int c = 0;
    bool any = false;
    while ((c = std::getchar()) != EOF) {
        any = true;
        if (c == '\n')
            break;
        line += char(c);
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    out = QString::fromStdString(line);
    return any;
}
} // namespace

bool TPinPrompt::Interactive() {
    return ::isatty(STDIN_FILENO) != 0;
}

bool TPinPrompt::Read(const QString& prompt, QString& pin) {
    if (!Interactive())
        return ReadLine(pin);
    const QByteArray text = prompt.toUtf8();
    std::fwrite(text.constData(), 1, std::size_t(text.size()), stderr);
    std::fflush(stderr);
    if (::tcgetattr(STDIN_FILENO, &Saved) != 0)
        return ReadLine(pin);
    termios quiet = Saved;
    quiet.c_lflag &= ~tcflag_t(ECHO);
    quiet.c_lflag |= ECHONL; // the Enter still moves to the next line
    auto* const oldInt = std::signal(SIGINT, RestoreAndEnd);
    auto* const oldTerm = std::signal(SIGTERM, RestoreAndEnd);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    const bool read = ReadLine(pin);
    ::tcsetattr(STDIN_FILENO, TCSANOW, &Saved);
    std::signal(SIGINT, oldInt);
    std::signal(SIGTERM, oldTerm);
    return read;
}
