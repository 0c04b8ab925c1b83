// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>

class TCheckPoints;
class TReference;

// The question before a learned or imported list takes the place of the project's reference:
// what the new list would change, in the check's own words (TReferenceDiff), or that it changes
// nothing, and then whether to replace.
class TReferenceReplace {
    Q_DECLARE_TR_FUNCTIONS(TReferenceReplace)
  public:
    // True when there is no list at `path` yet, or the user answers Yes to `question` asked
    // under the differences.
    static bool Confirm(const QString& path, const TReference& renewed, const TCheckPoints& points,
                        const QString& question);
    // The question's text, the differences included.
    static QString Text(const QString& path, const TReference& renewed, const TCheckPoints& points,
                        const QString& question);
};
