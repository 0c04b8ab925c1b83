// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Why a file could not be opened, read or written, in the user's words (the system's own texts
// are English).
class TFileErrorText {
  public:
    // The reason for a system error number (errno).
    static QString Of(int error);
    // The reason a file could not be opened for reading, worked out from what the path is now.
    static QString OfOpening(const QString& path);
};
