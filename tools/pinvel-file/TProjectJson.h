// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TProjectFile.h"

#include <QJsonObject>

// The project tool's JSON form of a project file (schema in docs/pinvel-file.md). Every stored
// value is kept, the component block's value types included, so FromJson(ToJson(p)) writes the
// same bytes as p. Faults in a JSON text raise EFileError naming the place ("razems[0].rows").
class TProjectJson {
  public:
    static QJsonObject ToJson(const TProjectFile& project);
    static TProjectFile FromJson(const QJsonObject& json);
};
