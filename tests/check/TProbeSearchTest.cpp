// SPDX-License-Identifier: GPL-3.0-or-later
// The probe finds its net, against the unit emulator with the probe moved through its control
// port: on every pin of a 190-pin project, each search in ⌈log2(nets + 1)⌉ round trips.
#include "TProbeSearch.h"
#include "UnitControlKit.h"

#include <cmath>

namespace {
using namespace ControlKit;

int Log2Up(int nets) {
    return int(std::ceil(std::log2(double(nets) + 1)));
}
} // namespace

class TProbeSearchTest : public QObject {
    Q_OBJECT
  private slots:
    void roundTripsAreTheBitsOfTheNetNumbers() {
        for (int nets : {0, 1, 2, 3, 4, 7, 8, 95, 127, 128, 190, 255, 256})
            QCOMPARE(TProbeSearch::RoundTrips(nets), Log2Up(nets));
    }

    void everyPinWithoutAReference() {
        TUnit unit;
        TProbeSearch search(Points(190), TReference{});
        QCOMPARE(search.NetCount(), 190);
        for (int p = 0; p < 190; ++p) {
            QCOMPARE(unit.Say(QStringLiteral("probe ") + PinName(p)), QStringLiteral("ok"));
            const long long before = unit.Counted->Trips;
            const TProbeFind find = search.Find(unit.Unit());
            QCOMPARE(unit.Counted->Trips - before, 8);
            QCOMPARE(find.RoundTrips, 8);
            QCOMPARE(find.Where, TProbeFind::TWhere::Net);
            QCOMPARE(find.Net, p);
            QCOMPARE(find.Contacts, QStringList{ContactOf(p)});
        }
        QCOMPARE(unit.Say("probe none"), QStringLiteral("ok"));
        const TProbeFind none = search.Find(unit.Unit());
        QCOMPARE(none.Where, TProbeFind::TWhere::Nothing);
        QCOMPARE(none.Text(), QStringLiteral("Зонд ни к чему не подключен"));
    }

    void everyPinFindsItsNetOfTheReference() {
        TUnit unit;
        std::vector<std::vector<int>> nets;
        for (int k = 0; k < 95; ++k) {
            nets.push_back({k, 95 + k});
            QVERIFY(unit.Connect(k, 95 + k));
        }
        const TReference reference = TReference::FromNets(nets, 190);
        TProbeSearch search(Points(190), reference);
        QCOMPARE(search.NetCount(), 95);
        for (int p = 0; p < 190; ++p) {
            QCOMPARE(unit.Say(QStringLiteral("probe ") + PinName(p)), QStringLiteral("ok"));
            const long long before = unit.Counted->Trips;
            const TProbeFind find = search.Find(unit.Unit());
            QCOMPARE(unit.Counted->Trips - before, Log2Up(95));
            QCOMPARE(find.Net, reference.NetOf(p));
            QCOMPARE(find.Contacts, (QStringList{ContactOf(p % 95), ContactOf(95 + p % 95)}));
        }
        QCOMPARE(search.Find(unit.Unit()).Text(), QStringLiteral("Зонд: XT1:c31, XP2:c31"));
        // A loose wire end touched: its contact's net, though the harness does not join them.
        QVERIFY(unit.Disconnect(3, 98));
        QCOMPARE(unit.Say(QStringLiteral("probe ") + PinName(98)), QStringLiteral("ok"));
        QCOMPARE(search.Find(unit.Unit()).Text(), QStringLiteral("Зонд: XT1:a4, XP2:a4"));
        // Nets 64 and 32 shorted under the probe read 96, no net's number.
        QVERIFY(unit.Connect(158, 31));
        QCOMPARE(unit.Say(QStringLiteral("probe ") + PinName(158)), QStringLiteral("ok"));
        QCOMPARE(search.Find(unit.Unit()).Where, TProbeFind::TWhere::Unclear);
    }

    void theJobSearchesUntilStopped() {
        TUnit unit;
        TProbeSearch search(Points(190), TReference{});
        QCOMPARE(unit.Say("probe X2:a1"), QStringLiteral("ok"));
        QVERIFY(search.Step(unit.Unit()));
        QCOMPARE(search.Searches(), 1);
        QCOMPARE(search.Latest().Contacts, QStringList{QStringLiteral("XP2:a1")});
        QCOMPARE(unit.Say("probe X1:b1"), QStringLiteral("ok"));
        QVERIFY(search.Step(unit.Unit()));
        QCOMPARE(search.Latest().Text(), QStringLiteral("Зонд: XT1:b1"));
        QCOMPARE(search.RoundTripsMade(), 16);
        search.Stop();
        QVERIFY(!search.Step(unit.Unit()));
        QVERIFY(search.Done());
        QCOMPARE(search.RoundTripsMade(), 16);
    }
};

QTEST_GUILESS_MAIN(TProbeSearchTest)
#include "TProbeSearchTest.moc"
