// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// Replaces a file as a whole: the data goes to a new file beside the target, is checked to be
// written completely and synced, and only then renamed over the target. A failed write (a full
// disk, a size limit, no permission) leaves the previous file as it was and no stray file.
class TSafeFile {
  public:
    // Raises EFileError with the reason ("Не удалось сохранить файл ...").
    static void Write(const QString& path, const QByteArray& data);
    // The same without raising: false with the system's reason in *reason.
    static bool TryWrite(const QString& path, const QByteArray& data, QString* reason);
};
