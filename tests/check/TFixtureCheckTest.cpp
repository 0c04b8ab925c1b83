// SPDX-License-Identifier: GPL-3.0-or-later
// The fixture's self-check against the unit emulator: a shorted pair and a foreign potential
// named by unit pin and contacts, and the round trips of a clean fixture.
#include "TFixtureCheck.h"
#include "THarnessCheck.h"
#include "UnitControlKit.h"

#include <QTemporaryDir>

using namespace ControlKit;

class TFixtureCheckTest : public QObject {
    Q_OBJECT
  private slots:
    void aCleanFixtureTakesTheCodedCheckAlone() {
        TUnit unit;
        TFixtureCheck fixture(Points(190));
        const TFixtureResult result = fixture.Run(unit.Unit());
        QVERIFY(result.Good());
        QCOMPARE(result.RoundTrips, THarnessCheck::FastRoundTrips(190));
        QCOMPARE(unit.Counted->Trips, THarnessCheck::FastRoundTrips(190));
    }

    void aShortedPairAndAForeignPotentialByPins() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel fixture XXXXXX"));
        const QString path = dir.filePath(QStringLiteral("адаптер.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"foreign": ["X2:a7"]})");
        file.close();
        TUnit unit({QStringLiteral("--harness"), path});
        QVERIFY(unit.Connect(1, 2)); // X1:a2 with X1:a3 in the adapter cable
        const TCheckPoints points = Points(190);
        TFixtureCheck fixture(points);
        const TFixtureResult result = fixture.Run(unit.Unit());
        QCOMPARE(int(result.Faults.size()), 2);
        QCOMPARE(result.Faults[0], (TFixtureFault{TFixtureFault::TKind::Joined, {1, 2}}));
        QCOMPARE(result.Faults[1], (TFixtureFault{TFixtureFault::TKind::Foreign, {95 + 6}}));
        QCOMPARE(result.Faults[0].Text(points),
                 QStringLiteral("замкнуты выводы блока: X1:a2 (XT1:a2), X1:a3 (XT1:a3)"));
        QCOMPARE(result.Faults[1].Text(points),
                 QStringLiteral("посторонний потенциал на выводах блока: X2:a7 (XP2:a7)"));
    }

    void aPointNamesEveryContactOnItsPin() {
        const TCheckPoints points(
            {{400, {QStringLiteral("XT1:a1"), QStringLiteral("XP2:c4")}}, {272 + 94, {}}});
        QCOMPARE(TFixtureCheck::PointText(points, 0), QStringLiteral("X1:a1 (XT1:a1, XP2:c4)"));
        QCOMPARE(TFixtureCheck::PointText(points, 1), QStringLiteral("X2:c31"));
    }

    void theJobLeavesItsResult() {
        TUnit unit;
        QVERIFY(unit.Connect(0, 189));
        TFixtureCheck fixture(Points(190));
        QVERIFY(!fixture.Step(unit.Unit()));
        QVERIFY(fixture.Done());
        QVERIFY(!fixture.Cancelled());
        QVERIFY(fixture.Result().has_value());
        QCOMPARE(fixture.Result()->Faults.front().Points, (std::vector<int>{0, 189}));
        QCOMPARE(fixture.RoundTrips(), fixture.Result()->RoundTrips);

        TFixtureCheck cancelled(Points(190));
        cancelled.Cancel();
        QVERIFY(!cancelled.Step(unit.Unit()));
        QVERIFY(cancelled.Cancelled());
        QVERIFY(!cancelled.Result().has_value());
        QCOMPARE(cancelled.RoundTrips(), 0);
    }
};

QTEST_GUILESS_MAIN(TFixtureCheckTest)
#include "TFixtureCheckTest.moc"
