// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRazemRecord.h"
#include "TSootvData.h"

#include <QByteArray>
#include <vector>

// A whole project file as plain data: every connector record and every correspondence record
// as stored (records the program would drop on loading included). The project tool and the
// checks that need no workspace use it; the reading rules are the workspace's own.
class TProjectFile {
  public:
    std::vector<TRazemRecord> Razems;
    std::vector<TSootvData> Sootv;

    // Checks as the workspace does and raises EFileError with the same messages.
    static TProjectFile Read(const QByteArray& image);
    // Refuses (EFileError) records that do not match their grid.
    QByteArray Write() const;

    std::vector<TRazemExtent> Extents() const;
};
