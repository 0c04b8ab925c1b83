// SPDX-License-Identifier: GPL-3.0-or-later
// Guided assembly against the unit emulator, its wires put in and pulled out through the
// emulator's control port: what is ticked, what is named, and the round trips each look costs.
#include "TAssemblyGuide.h"
#include "THarnessCheck.h"
#include "UnitControlKit.h"

namespace {

using namespace ControlKit;

// Ten nets of a X1 pin and its X2 pin, and one of X1:a11 with X2:a11 and X2:a12: twelve wires.
TReference TwelveWires() {
    std::vector<std::vector<int>> nets;
    for (int k = 0; k < 10; ++k)
        nets.push_back({k, 95 + k});
    nets.push_back({10, 105, 106});
    return TReference::FromNets(nets, 190);
}

} // namespace

class TAssemblyGuideTest : public QObject {
    Q_OBJECT
  private slots:
    void wiresFollowTheWireList() {
        const TCheckPoints points = Points(190);
        const std::vector<TGuideWire> wires = TAssemblyGuide::Wires(TwelveWires(), points);
        QCOMPARE(int(wires.size()), 12);
        QCOMPARE(wires[0].From, QStringLiteral("XT1:a1"));
        QCOMPARE(wires[0].To, QStringLiteral("XP2:a1"));
        QCOMPARE(wires[10].From, QStringLiteral("XT1:a11"));
        QCOMPARE(wires[10].To, QStringLiteral("XP2:a11"));
        // A net of three is two wires from its first contact, as the wire list writes it.
        QCOMPARE(wires[11].From, QStringLiteral("XT1:a11"));
        QCOMPARE(wires[11].To, QStringLiteral("XP2:a12"));
        QCOMPARE(wires[11].FromPoint, 10);
        QCOMPARE(wires[11].ToPoint, 106);
    }

    void aDozenWiresOneByOne() {
        TUnit unit;
        const TCheckPoints points = Points(190);
        const TReference reference = TwelveWires();
        TAssemblyGuide guide(points, reference);
        const int quiet = THarnessCheck::FastRoundTrips(190); // every point a net of its own
        const auto look = [&] {
            const long long before = unit.Counted->Trips;
            guide.Look(unit.Unit());
            return unit.Counted->Trips - before;
        };

        look();
        TAssemblyState s = guide.State();
        QCOMPARE(s.Next, 0);
        QCOMPARE(s.TickedCount(), 0);
        QVERIFY(s.Wrong.isEmpty());
        QCOMPARE(guide.Line(s), QStringLiteral("Вставьте провод 1 из 12: XT1:a1 — XP2:a1"));
        // Nothing changes: the coded check alone.
        QCOMPARE(look(), quiet);
        QCOMPARE(guide.State().Changes, 0);

        for (int k = 0; k < 3; ++k) {
            QVERIFY(unit.Connect(k, 95 + k));
            // The coded check, then the two nets it involves scanned: all-low and one driven.
            QCOMPARE(look(), quiet + 2);
            s = guide.State();
            QCOMPARE(s.Next, k + 1);
            QCOMPARE(s.TickedCount(), k + 1);
        }
        QCOMPARE(guide.Line(s), QStringLiteral("Вставьте провод 4 из 12: XT1:a4 — XP2:a4"));
        // Wire 4's far end goes into wire 5's cavity: named at once, and the guidance waits.
        QVERIFY(unit.Connect(3, 99));
        look();
        s = guide.State();
        QCOMPARE(s.Wrong, QStringList{QStringLiteral(
                              "Неверно: XT1:a4 соединен с XP2:a5, а должен с XP2:a4")});
        QCOMPARE(guide.Line(s), s.Wrong.front());
        QCOMPARE(s.Next, 3);
        QCOMPARE(s.Ticked[3], char(0));
        QCOMPARE(s.Ticked[4], char(0));
        QCOMPARE(look(), quiet); // still wrong, nothing new
        QVERIFY(guide.State().Wrong.size() == 1);
        QVERIFY(unit.Disconnect(3, 99));
        look();
        QVERIFY(guide.State().Wrong.isEmpty());
        QCOMPARE(guide.State().Next, 3);
        QVERIFY(unit.Connect(3, 98));
        look();
        QCOMPARE(guide.State().Next, 4);

        // Wire 6 ahead of wire 5 is ticked too; the guidance still asks for wire 5.
        QVERIFY(unit.Connect(5, 100));
        look();
        s = guide.State();
        QCOMPARE(s.Ticked[5], char(1));
        QCOMPARE(s.Next, 4);
        QVERIFY(unit.Connect(4, 99));
        look();
        QCOMPARE(guide.State().Next, 6);

        // Wire 3 comes out again: un-ticked and named until it is back.
        QVERIFY(unit.Disconnect(2, 97));
        look();
        s = guide.State();
        QCOMPARE(s.Ticked[2], char(0));
        QCOMPARE(s.Pulled, std::vector<int>{2});
        QCOMPARE(s.Next, 2);
        QCOMPARE(guide.Line(s), QStringLiteral("Провод 3 вынут: XT1:a3 — XP2:a3"));
        QVERIFY(unit.Connect(2, 97));
        look();
        s = guide.State();
        QVERIFY(s.Pulled.empty());
        QCOMPARE(s.Next, 6);

        for (int k = 6; k < 10; ++k)
            QVERIFY(unit.Connect(k, 95 + k));
        // The last net's wires put in as a chain: XP2:a12 hangs on XP2:a11, not on XT1:a11.
        QVERIFY(unit.Connect(10, 105));
        QVERIFY(unit.Connect(105, 106));
        look();
        s = guide.State();
        QCOMPARE(s.TickedCount(), 12);
        QVERIFY(s.Complete());
        QVERIFY(guide.Line(s).isEmpty());
        QCOMPARE(look(), THarnessCheck::FastRoundTrips(reference.NetCount()));

        THarnessCheck check(points, unit.Unit());
        QVERIFY(check.Verify(reference).Good());
    }

    void aShortBetweenOtherNetsIsNamedByTheirContacts() {
        TUnit unit;
        const TCheckPoints points = Points(190);
        TAssemblyGuide guide(points, TwelveWires());
        guide.Look(unit.Unit());
        // XT1:a8 and XT1:a9 belong to wires 8 and 9, not to the next one.
        QVERIFY(unit.Connect(7, 8));
        guide.Look(unit.Unit());
        QCOMPARE(guide.State().Wrong, QStringList{QStringLiteral(
                                          "Неверно: XT1:a8 соединен с XT1:a9, а должен с XP2:a8")});
        // A contact the reference leaves alone has nothing it should be joined with.
        QVERIFY(unit.Disconnect(7, 8));
        QVERIFY(unit.Connect(150, 151));
        guide.Look(unit.Unit());
        QCOMPARE(guide.State().Wrong,
                 QStringList{QStringLiteral("Неверно: XP2:b24 соединен с XP2:b25")});
    }

    void theJobEndsWhenStopped() {
        TUnit unit;
        TAssemblyGuide guide(Points(190), TwelveWires());
        QVERIFY(guide.Step(unit.Unit()));
        QVERIFY(guide.Step(unit.Unit()));
        QCOMPARE(guide.State().Looks, 2);
        QCOMPARE(guide.RoundTrips(), 2 * THarnessCheck::FastRoundTrips(190));
        guide.Stop();
        QVERIFY(!guide.Step(unit.Unit()));
        QVERIFY(guide.Done());
        QCOMPARE(guide.RoundTrips(), 2 * THarnessCheck::FastRoundTrips(190));
    }
};

QTEST_GUILESS_MAIN(TAssemblyGuideTest)
#include "TAssemblyGuideTest.moc"
