// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// `--quick`: a short run that shows a benchmark still runs to its end and prints every figure
// (CI runs each so); its numbers are too rough for the README.

#include <cstring>

inline bool BenchQuick(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--quick") == 0)
            return true;
    return false;
}

// A duration or a count: the full run's, or the quick run's.
inline int BenchSize(bool quick, int full, int quickRun) {
    return quick ? quickRun : full;
}
