// SPDX-License-Identifier: GPL-3.0-or-later
// The harness check against the library's simulated unit and the faults its harness file
// describes: every kind found and named by its contacts, at a real unit's pace where time
// matters.

#include "CheckTestKit.h"
#include "TContinuousCheck.h"
#include "THarnessCheck.h"
#include "TWireList.h"

#include <QElapsedTimer>

namespace {

// XT1:a1..a8 on X1:a1..a8, XP2:a1..a4 on X2:a1..a4, XP2:b1..b4 on X2:b1..b4, and XP2:c1 on
// X1:a8 with XT1:a8. Points 0..7 are X1:a1..a8, 8..11 X2:a1..a4, 12..15 X2:b1..b4.
struct TBench : CheckKit::TProject {
    TCheckPoints Points;
    TBench() {
        for (int i = 1; i <= 8; ++i)
            TieTo(QStringLiteral("XT1:a%1").arg(i), QStringLiteral("X1:a%1").arg(i));
        for (const char* row : {"a", "b"})
            for (int i = 1; i <= 4; ++i)
                TieTo(QStringLiteral("XP2:%1%2").arg(row).arg(i),
                      QStringLiteral("X2:%1%2").arg(row).arg(i));
        TieTo("XP2:c1", "X1:a8");
        Points = TProject::Points();
    }
};

// The good harness: seven nets over the sixteen pins.
QJsonObject Harness(const QJsonObject& faults = {}) {
    QJsonObject harness = faults;
    harness.insert(
        "nets",
        CheckKit::Lists({CheckKit::Pins({"X1:a1", "X2:a1"}),
                         CheckKit::Pins({"X1:a2", "X2:a2", "X2:b1"}),
                         CheckKit::Pins({"X1:a3", "X2:a3"}), CheckKit::Pins({"X1:a4", "X2:a4"}),
                         CheckKit::Pins({"X1:a5", "X1:a6"}), CheckKit::Pins({"X1:a7", "X2:b2"}),
                         CheckKit::Pins({"X1:a8", "X2:b3", "X2:b4"})}));
    return harness;
}

TReference Learn(const TBench& bench) {
    const CheckKit::THarnessFile file(Harness());
    CheckKit::TSimUnit unit(file.Path());
    THarnessCheck check(bench.Points, *unit.Exchange);
    const TLearnResult learnt = check.Learn();
    if (!learnt.Learnt())
        qFatal("the good harness did not learn");
    return learnt.Reference;
}

QStringList Verify(const TBench& bench, const TReference& reference, const QJsonObject& faults,
                   int* roundTrips = nullptr) {
    const CheckKit::THarnessFile file(Harness(faults));
    CheckKit::TSimUnit unit(file.Path());
    THarnessCheck check(bench.Points, *unit.Exchange);
    const TCheckResult result = check.Verify(reference);
    if (roundTrips != nullptr)
        *roundTrips = result.RoundTrips;
    QStringList out{result.Verdict()};
    for (const TFault& f : result.Faults)
        out.append(f.Text());
    return out;
}

QJsonArray Pair(const char* a, const char* b) {
    return CheckKit::Pins({a, b});
}

} // namespace

class TCheckSimTest : public QObject {
    Q_OBJECT
  private slots:
    void learntReferenceIsTheHarness() {
        TBench bench;
        const CheckKit::THarnessFile file(Harness());
        CheckKit::TSimUnit unit(file.Path());
        THarnessCheck check(bench.Points, *unit.Exchange);
        const TLearnResult learnt = check.Learn();
        QVERIFY(learnt.Learnt());
        QCOMPARE(learnt.RoundTrips, 7 + 1);
        QCOMPARE(TWireList::ToCsv(learnt.Reference, bench.Points), QByteArray("from,to\n"
                                                                              "XT1:a1,XP2:a1\n"
                                                                              "XT1:a2,XP2:a2\n"
                                                                              "XT1:a2,XP2:b1\n"
                                                                              "XT1:a3,XP2:a3\n"
                                                                              "XT1:a4,XP2:a4\n"
                                                                              "XT1:a5,XT1:a6\n"
                                                                              "XT1:a7,XP2:b2\n"
                                                                              "XT1:a8,XP2:c1\n"
                                                                              "XT1:a8,XP2:b3\n"
                                                                              "XT1:a8,XP2:b4\n"));
    }

    void cleanHarnessIsGoodInTheCodedRoundTrips() {
        TBench bench;
        int trips = 0;
        QCOMPARE(Verify(bench, Learn(bench), {}, &trips), QStringList{"ГОДЕН"});
        QCOMPARE(trips, THarnessCheck::FastRoundTrips(7));
    }

    void everyKindIsNamedByItsContacts_data() {
        QTest::addColumn<QJsonObject>("faults");
        QTest::addColumn<QStringList>("found");
        QTest::newRow("open") << QJsonObject{{"opens", CheckKit::Pins({"X2:b1"})}}
                              << QStringList{"БРАК", "обрыв: XP2:b1 отсоединен от XT1:a2, XP2:a2"};
        QTest::newRow("short") << QJsonObject{{"shorts", CheckKit::Lists({Pair("X1:a3", "X2:a4")})}}
                               << QStringList{"БРАК", "замыкание: XT1:a3, XP2:a3 — XT1:a4, XP2:a4"};
        // A contact wired to the wrong net: cut from its own and joined to another.
        QTest::newRow("miswire") << QJsonObject{{"opens", CheckKit::Pins({"X2:b1"})},
                                                {"shorts",
                                                 CheckKit::Lists({Pair("X2:b1", "X1:a3")})}}
                                 << QStringList{"БРАК",
                                                "перепутан: XP2:b1 отсоединен от XT1:a2, XP2:a2 "
                                                "и соединен с XT1:a3, XP2:a3"};
        QTest::newRow("swapped pair")
            << QJsonObject{{"opens", CheckKit::Pins({"X2:a1", "X2:a3"})},
                           {"shorts",
                            CheckKit::Lists({Pair("X2:a1", "X1:a3"), Pair("X2:a3", "X1:a1")})}}
            << QStringList{"БРАК", "перепутан: XP2:a1 и XP2:a3 поменяны местами"};
        QTest::newRow("foreign") << QJsonObject{{"foreign", CheckKit::Pins({"X1:a6"})}}
                                 << QStringList{"БРАК", "посторонний потенциал: XT1:a5, XT1:a6"};
        QTest::newRow("shared pin") << QJsonObject{{"opens", CheckKit::Pins({"X1:a8"})}}
                                    << QStringList{"БРАК", "обрыв: XT1:a8, XP2:c1 отсоединены "
                                                           "от XP2:b3, XP2:b4"};
        QTest::newRow("several") << QJsonObject{{"opens", CheckKit::Pins({"X2:a1"})},
                                                {"shorts",
                                                 CheckKit::Lists({Pair("X1:a5", "X1:a7")})},
                                                {"foreign", CheckKit::Pins({"X2:a4"})}}
                                 << QStringList{"БРАК", "обрыв: XP2:a1 отсоединен от XT1:a1",
                                                "посторонний потенциал: XT1:a4, XP2:a4",
                                                "замыкание: XT1:a5, XT1:a6 — XT1:a7, XP2:b2"};
    }
    void everyKindIsNamedByItsContacts() {
        QFETCH(QJsonObject, faults);
        QFETCH(QStringList, found);
        TBench bench;
        QCOMPARE(Verify(bench, Learn(bench), faults), found);
    }

    void reducedUnitChecksToo() {
        // A unit of another type takes the pins as 0..94, reduced from the table's codes.
        CheckKit::TProject project;
        for (int i = 1; i <= 4; ++i)
            project.TieTo(QStringLiteral("XT1:b%1").arg(i), QStringLiteral("X1:c%1").arg(i));
        const TCheckPoints points = project.Points();
        QJsonObject harness{
            {"unitType", 7},
            {"nets", CheckKit::Lists({CheckKit::Pins({"X1:c1", "X1:c2", "X1:c4"})})}};
        const CheckKit::THarnessFile good(harness);
        CheckKit::TSimUnit unit(good.Path());
        THarnessCheck check(points, *unit.Exchange);
        const TLearnResult learnt = check.Learn();
        QVERIFY(learnt.Learnt());
        QCOMPARE(learnt.Reference.Nets(), (std::vector<std::vector<int>>{{0, 1, 3}, {2}}));
        QVERIFY(check.Verify(learnt.Reference).Good());
        harness.insert("opens", CheckKit::Pins({"X1:c4"}));
        const CheckKit::THarnessFile open(harness);
        CheckKit::TSimUnit faulty(open.Path());
        THarnessCheck again(points, *faulty.Exchange);
        const TCheckResult result = again.Verify(learnt.Reference);
        QCOMPARE(result.Faults.size(), std::size_t(1));
        QCOMPARE(result.Faults[0].Text(),
                 QStringLiteral("обрыв: XT1:b4 отсоединен от XT1:b1, XT1:b2"));
    }

    void intermittentContactIsLatchedWithinTwoSeconds() {
        // 5 ms out of its net every 200 ms, the unit answering at a real unit's pace.
        TBench bench;
        const TReference reference = Learn(bench);
        QJsonObject drop{{"pin", "X2:a2"}, {"dropMs", 5}, {"periodMs", 200}};
        const CheckKit::THarnessFile file(Harness({{"intermittent", QJsonArray{drop}}}));
        CheckKit::TSimUnit unit(file.Path(), 1000);
        THarnessCheck check(bench.Points, *unit.Exchange);
        TContinuousCheck watch(reference);
        std::atomic<bool> stop{false};
        watch.SetOnLatched([&stop](const TLatchedFault&) { stop = true; });
        QElapsedTimer timer;
        timer.start();
        watch.Run(check, stop, 2000);
        const std::vector<TLatchedFault> latched = watch.Latched();
        QCOMPARE(latched.size(), std::size_t(1));
        QCOMPARE(latched[0].Fault.Text(),
                 QStringLiteral("обрыв: XP2:a2 отсоединен от XT1:a2, XP2:b1"));
        QVERIFY(watch.CleanChecks() > 0); // most checks meet the contact in its net
        qInfo("latched after %lld ms, %lld checks", timer.elapsed(), watch.Checks());
        // Latched means kept: clean checks after it change nothing.
        stop = false;
        watch.SetOnLatched(nullptr);
        watch.Run(check, stop, 50);
        QCOMPARE(watch.Latched().size(), std::size_t(1));
    }
};

QTEST_GUILESS_MAIN(TCheckSimTest)
#include "TCheckSimTest.moc"
