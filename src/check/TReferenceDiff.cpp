// SPDX-License-Identifier: GPL-3.0-or-later
#include "TReferenceDiff.h"

#include "TNetCompare.h"
#include "TReference.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TReferenceDiff)
};
} // namespace

std::vector<TFault> TReferenceDiff::Compare(const TReference& previous, const TReference& renewed,
                                            const TCheckPoints& points) {
    // A list carries no potentials: nothing of the new one can be foreign.
    return TNetCompare::Compare(previous, renewed.Nets(), {}, points);
}

QString TReferenceDiff::Line(const TFault& difference) {
    return TTexts::tr("в новом эталоне: %1").arg(difference.Text());
}

QStringList TReferenceDiff::Lines(const std::vector<TFault>& differences, int limit) {
    if (differences.empty())
        return {TTexts::tr("Новый эталон не отличается от прежнего.")};
    QStringList lines;
    const int total = int(differences.size());
    const int shown = limit > 0 && total > limit ? limit : total;
    for (int i = 0; i < shown; ++i)
        lines.append(Line(differences[std::size_t(i)]));
    if (shown < total)
        lines.append(TTexts::tr("и ещё различий: %1").arg(total - shown));
    return lines;
}
