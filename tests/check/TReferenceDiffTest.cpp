// SPDX-License-Identifier: GPL-3.0-or-later
// A new reference against the one it would replace: each change named as the check names a
// fault of a harness, the new list taken for the harness and the old one for its reference.

#include "TReferenceDiff.h"
#include "TCheckPoints.h"
#include "TReference.h"

#include <QTest>

namespace {

// XT1:a1..a6 and XP2:a1..a6, one point each: XT1:aN is point N-1, XP2:aN point N+5.
TCheckPoints Points() {
    std::vector<TCheckPoint> points;
    for (const char* connector : {"XT1", "XP2"})
        for (int i = 1; i <= 6; ++i)
            points.push_back({std::uint16_t(400 + points.size()),
                              {QStringLiteral("%1:a%2").arg(QLatin1String(connector)).arg(i)}});
    return TCheckPoints(points);
}

int XT(int n) {
    return n - 1;
}
int XP(int n) {
    return n + 5;
}

// The old list: XT1:aN wired to XP2:aN for N = 1..5; XT1:a6 and XP2:a6 free.
TReference Old() {
    return TReference::FromNets(
        {{XT(1), XP(1)}, {XT(2), XP(2)}, {XT(3), XP(3)}, {XT(4), XP(4)}, {XT(5), XP(5)}}, 12);
}

QStringList Lines(const TReference& renewed, int limit = 40) {
    return TReferenceDiff::Lines(TReferenceDiff::Compare(Old(), renewed, Points()), limit);
}

} // namespace

class TReferenceDiffTest : public QObject {
    Q_OBJECT
  private slots:
    void eachChangeIsNamedAsAFaultOfTheNewList() {
        // Equal lists, whatever order the nets come in: nothing to say but that.
        QCOMPARE(
            Lines(TReference::FromNets(
                {{XP(5), XT(5)}, {XT(1), XP(1)}, {XT(2), XP(2)}, {XT(3), XP(3)}, {XT(4), XP(4)}},
                12)),
            QStringList{"Новый эталон не отличается от прежнего."});
        // A wire the new list lacks: an open of the old net.
        QCOMPARE(Lines(TReference::FromNets(
                     {{XT(1), XP(1)}, {XT(2), XP(2)}, {XT(4), XP(4)}, {XT(5), XP(5)}}, 12)),
                 QStringList{"в новом эталоне: обрыв: XP2:a3 отсоединен от XT1:a3"});
        // Two nets the new list joins: a short.
        QCOMPARE(Lines(TReference::FromNets(
                     {{XT(1), XP(1)}, {XT(2), XP(2), XT(3), XP(3)}, {XT(4), XP(4)}, {XT(5), XP(5)}},
                     12)),
                 QStringList{"в новом эталоне: замыкание: XT1:a2, XP2:a2 — XT1:a3, XP2:a3"});
        // A contact moved to another net: a miswire, from where to where.
        QCOMPARE(
            Lines(TReference::FromNets(
                {{XT(1), XP(1)}, {XT(2), XP(2)}, {XT(3), XP(4)}, {XT(4), XP(3)}, {XT(5), XP(5)}},
                12)),
            QStringList{"в новом эталоне: перепутан: XP2:a3 и XP2:a4 поменяны местами"});
        QCOMPARE(Lines(TReference::FromNets(
                     {{XT(1), XP(1)}, {XT(2), XP(2)}, {XT(3), XP(3)}, {XT(4), XP(4), XP(5)}}, 12)),
                 QStringList{"в новом эталоне: перепутан: XP2:a5 отсоединен от XT1:a5 и "
                             "соединен с XT1:a4, XP2:a4"});
        // A wire the old list lacks: the new one joins two free contacts (a short).
        QCOMPARE(Lines(TReference::FromNets({{XT(1), XP(1)},
                                             {XT(2), XP(2)},
                                             {XT(3), XP(3)},
                                             {XT(4), XP(4)},
                                             {XT(5), XP(5)},
                                             {XT(6), XP(6)}},
                                            12)),
                 QStringList{"в новом эталоне: замыкание: XT1:a6 — XP2:a6"});
    }

    void manyChangesAreCutAtTheLimit() {
        // Every wire gone: five opens; at most three shown, then how many more.
        const TReference none = TReference::FromNets({}, 12);
        QCOMPARE(Lines(none, 0).size(), 5);
        QCOMPARE(Lines(none, 5).size(), 5);
        const QStringList cut = Lines(none, 4);
        QCOMPARE(cut.size(), 5);
        QCOMPARE(cut.value(0),
                 QStringLiteral("в новом эталоне: обрыв: XP2:a1 отсоединен от XT1:a1"));
        QCOMPARE(cut.value(3),
                 QStringLiteral("в новом эталоне: обрыв: XP2:a4 отсоединен от XT1:a4"));
        QCOMPARE(cut.value(4), QStringLiteral("и ещё различий: 1"));
    }
};

QTEST_GUILESS_MAIN(TReferenceDiffTest)
#include "TReferenceDiffTest.moc"
