// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFault.h"

#include <QString>
#include <QStringList>
#include <vector>

class TCheckPoints;
class TReference;

// What a new reference would change against the one it replaces, in the check's own words: the
// new list is judged as if it were a harness measured against the old one, so a wire the new
// list lacks is an open, two nets it joins a short, a contact it moves a miswire. Said before a
// learned or imported list takes the place of the project's list, so that a faulty harness
// learned by mistake shows as what it is.
class TReferenceDiff {
  public:
    // The faults of `renewed` against `previous` (both over `points`); none when they are equal.
    static std::vector<TFault> Compare(const TReference& previous, const TReference& renewed,
                                       const TCheckPoints& points);

    // One line per difference ("в новом эталоне: обрыв: XT1:a3 отсоединен от XP2:b5"), at most
    // `limit` of them and then how many more there are; "Новый эталон не отличается от
    // прежнего." when there is none.
    static QStringList Lines(const std::vector<TFault>& differences, int limit = 40);
    // One difference as a line.
    static QString Line(const TFault& difference);
};
