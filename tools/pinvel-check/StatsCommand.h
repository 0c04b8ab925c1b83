// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>

// pinvel-check stats [filters] [--by day|week|project|operator|station] [--json|--csv]: the
// production statistics of the journal's records, computed by the database. `args` follow the
// word "stats". Answers the exit code (0); a bad argument or a database that cannot be read
// raises EPinvel with the reason in the user's language.
int RunStats(const QStringList& args);
