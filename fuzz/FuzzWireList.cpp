// SPDX-License-Identifier: GPL-3.0-or-later
// fuzz-wirelist: arbitrary bytes read as a wire list against a small project's points. Nothing
// may crash or read out of bounds; a list that is taken is a reference over exactly those
// points, and written out again it reads back the same.

#include "TCheckPoints.h"
#include "TReference.h"
#include "TWireList.h"

#include <QByteArray>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const TCheckPoints points(
        {{400, {"XT1:a1"}}, {401, {"XT1:a2", "XP2:a2"}}, {402, {"X,\"3:a3"}}, {272, {" XP2:c5"}}},
        {"XT1:a9"});
    const QByteArray text(reinterpret_cast<const char*>(data), qsizetype(size));
    TReference reference;
    std::vector<TWireListError> errors;
    if (!TWireList::FromCsv(text, points, reference, errors)) {
        if (errors.empty() || errors.size() > std::size_t(TWireList::MaxErrors) + 1)
            std::abort();
        return 0;
    }
    if (!errors.empty() || reference.PointCount() != points.Count())
        std::abort();
    TReference again;
    if (!TWireList::FromCsv(TWireList::ToCsv(reference, points), points, again, errors) ||
        !(again == reference))
        std::abort();
    return 0;
}
