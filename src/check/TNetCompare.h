// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TFault.h"

#include <vector>

class TCheckPoints;
class TReference;

// Names the differences between the nets of a harness and its reference, each as one fault.
//
// Each net of the reference keeps a body: the measured net that holds most of it, each measured
// net being the body of at most one reference net unless reference nets joined whole. The
// rest follows from the bodies: two reference nets with their bodies in one measured net are a
// short; a part of a net that sits in another net's body moved there (a miswire, and two parts
// that moved into each other's nets are one swapped pair); a part that sits in no body broke
// off (an open).
class TNetCompare {
  public:
    // `measured`: the nets found among the reference's points less `foreign`, the points that
    // read 1 with nothing driven (one fault per reference net they belong to). A point that no
    // measured net holds counts as a net of its own. The faults come ordered by the lowest point
    // each names.
    static std::vector<TFault> Compare(const TReference& reference,
                                       const std::vector<std::vector<int>>& measured,
                                       const std::vector<int>& foreign, const TCheckPoints& points);
};
