// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// A supervisor's PIN for the command line: on a terminal the prompt goes to standard error and
// what is typed is not shown; from a pipe or a file (scripts, tests) it is the next line of
// standard input, with no prompt.
class TPinPrompt {
  public:
    // False at the end of the input.
    static bool Read(const QString& prompt, QString& pin);
    static bool Interactive();
};
