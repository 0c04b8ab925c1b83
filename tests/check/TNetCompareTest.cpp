// SPDX-License-Identifier: GPL-3.0-or-later
// The faults: their texts and machine-readable form, and how a comparison of nets names them.

#include "TNetCompare.h"
#include "TCheckPoints.h"
#include "TFault.h"
#include "TReference.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

namespace {

// Points p0.. named XT1:a1.., one contact each; point 9 (when there) carries XT1:a10 and XP2:a10.
TCheckPoints Points(int count) {
    std::vector<TCheckPoint> points;
    for (int i = 0; i < count; ++i) {
        TCheckPoint p{std::uint16_t(400 + i), {QStringLiteral("XT1:a%1").arg(i + 1)}};
        if (i == 9)
            p.Contacts.append(QStringLiteral("XP2:a10"));
        points.push_back(p);
    }
    return TCheckPoints(points);
}

QStringList Names(std::initializer_list<int> numbers) {
    QStringList out;
    for (int n : numbers)
        out.append(QStringLiteral("XT1:a%1").arg(n));
    return out;
}

QStringList Texts(const std::vector<TFault>& faults) {
    QStringList out;
    for (const TFault& f : faults)
        out.append(f.Text());
    return out;
}

std::vector<TFault> Compare(const std::vector<std::vector<int>>& reference,
                            const std::vector<std::vector<int>>& measured, int count,
                            const std::vector<int>& foreign = {}) {
    return TNetCompare::Compare(TReference::FromNets(reference, count), measured, foreign,
                                Points(count));
}

} // namespace

class TNetCompareTest : public QObject {
    Q_OBJECT
  private slots:
    void textsNameTheContacts() {
        QCOMPARE(TFault::Open(Names({3}), Names({5, 6})).Text(),
                 QStringLiteral("обрыв: XT1:a3 отсоединен от XT1:a5, XT1:a6"));
        QCOMPARE(TFault::Open(Names({3, 4}), Names({5})).Text(),
                 QStringLiteral("обрыв: XT1:a3, XT1:a4 отсоединены от XT1:a5"));
        QCOMPARE(TFault::Short({Names({3}), Names({4})}).Text(),
                 QStringLiteral("замыкание: XT1:a3 — XT1:a4"));
        QCOMPARE(TFault::Short({Names({1, 2}), Names({4}), Names({7})}).Text(),
                 QStringLiteral("замыкание: XT1:a1, XT1:a2 — XT1:a4 — XT1:a7"));
        QCOMPARE(TFault::Moved(Names({3}), Names({1, 2}), Names({4})).Text(),
                 QStringLiteral("перепутан: XT1:a3 отсоединен от XT1:a1, XT1:a2 и соединен с "
                                "XT1:a4"));
        QCOMPARE(TFault::Moved(Names({3, 9}), Names({1}), Names({4})).Text(),
                 QStringLiteral("перепутан: XT1:a3, XT1:a9 отсоединены от XT1:a1 и соединены с "
                                "XT1:a4"));
        QCOMPARE(TFault::Swap(Names({2}), Names({4})).Text(),
                 QStringLiteral("перепутан: XT1:a2 и XT1:a4 поменяны местами"));
        QCOMPARE(TFault::Foreign(Names({5, 6})).Text(),
                 QStringLiteral("посторонний потенциал: XT1:a5, XT1:a6"));
    }

    void jsonFormIsStableAndReadsBack() {
        const TFault open = TFault::Open(Names({3}), Names({5, 6}));
        QCOMPARE(QJsonDocument(open.ToJson()).toJson(QJsonDocument::Compact),
                 QByteArray(R"({"contacts":["XT1:a3"],"from":["XT1:a5","XT1:a6"],"kind":"open",)"
                            R"("text":")") +
                     open.Text().toUtf8() + "\"}");
        const TFault faults[] = {open, TFault::Short({Names({1}), Names({2}), Names({7})}),
                                 TFault::Moved(Names({3}), Names({1, 2}), Names({4})),
                                 TFault::Swap(Names({2}), Names({4})), TFault::Foreign(Names({8}))};
        const char* kinds[] = {"open", "short", "miswire", "miswire", "foreign"};
        for (std::size_t i = 0; i < std::size(faults); ++i) {
            const QJsonObject json = faults[i].ToJson();
            QCOMPARE(json.value("kind").toString(), QString::fromLatin1(kinds[i]));
            QCOMPARE(json.value("text").toString(), faults[i].Text());
            const std::optional<TFault> back = TFault::FromJson(json);
            QVERIFY(back);
            QVERIFY(*back == faults[i]);
        }
        const QJsonObject swap = TFault::Swap(Names({2}), Names({4})).ToJson();
        QCOMPARE(swap.value("swapped").toArray().size(), 2);
        QVERIFY(!swap.contains("contacts"));
        const QJsonObject moved = faults[2].ToJson();
        QCOMPARE(moved.value("to").toArray().at(0).toString(), QStringLiteral("XT1:a4"));
        QCOMPARE(moved.value("from").toArray().size(), 2);
    }

    void jsonThatIsNoFaultIsRefused_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::newRow("unknown kind") << QByteArray(R"({"kind":"burnt","contacts":["a"]})");
        QTest::newRow("no kind") << QByteArray(R"({"contacts":["a"]})");
        QTest::newRow("open without from") << QByteArray(R"({"kind":"open","contacts":["a"]})");
        QTest::newRow("empty contacts") << QByteArray(R"({"kind":"foreign","contacts":[]})");
        QTest::newRow("contact not text") << QByteArray(R"({"kind":"foreign","contacts":[5]})");
        QTest::newRow("short of one net") << QByteArray(R"({"kind":"short","nets":[["a"]]})");
        QTest::newRow("swap of three")
            << QByteArray(R"({"kind":"miswire","swapped":[["a"],["b"],["c"]]})");
        QTest::newRow("miswire without to")
            << QByteArray(R"({"kind":"miswire","contacts":["a"],"from":["b"]})");
    }
    void jsonThatIsNoFaultIsRefused() {
        QFETCH(QByteArray, json);
        QVERIFY(!TFault::FromJson(QJsonDocument::fromJson(json).object()));
    }

    void referenceHasOneOrder() {
        const TReference a = TReference::FromNets({{4, 2}, {0, 3}, {2, 5}}, 7);
        QCOMPARE(a.Nets(), (std::vector<std::vector<int>>{{0, 3}, {1}, {2, 4, 5}, {6}}));
        QCOMPARE(a.NetOf(5), 2);
        QCOMPARE(a.NetOf(6), 3);
        QVERIFY(a == TReference::FromNets({{5, 4, 2}, {3, 0}, {-1, 9}}, 7));
        QVERIFY(!(a == TReference::FromNets({{4, 2, 5}}, 7)));
    }

    void identicalNetsAreGood() {
        QVERIFY(Compare({{0, 1}, {2, 3, 4}}, {{4, 3, 2}, {1, 0}, {5}}, 6).empty());
    }

    void openNamesThePartThatBrokeOff() {
        QCOMPARE(Texts(Compare({{0, 1, 2}}, {{0, 1}, {2}}, 3)),
                 QStringList{"обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2"});
        // Halves of a pair: the first contact's half stays the net.
        QCOMPARE(Texts(Compare({{0, 1}}, {{1}, {0}}, 2)),
                 QStringList{"обрыв: XT1:a2 отсоединен от XT1:a1"});
        // The larger part stays the net even without the first contact.
        QCOMPARE(Texts(Compare({{0, 1, 2}}, {{0}, {1, 2}}, 3)),
                 QStringList{"обрыв: XT1:a1 отсоединен от XT1:a2, XT1:a3"});
        // A net in three parts: two breaks.
        QCOMPARE(Texts(Compare({{0, 1, 2, 3}}, {{0, 1}, {2}, {3}}, 4)),
                 (QStringList{"обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2",
                              "обрыв: XT1:a4 отсоединен от XT1:a1, XT1:a2"}));
    }

    void contactsOnOnePinTravelTogether() {
        QCOMPARE(Texts(Compare({{8, 9}}, {{8}, {9}}, 10)),
                 QStringList{"обрыв: XT1:a10, XP2:a10 отсоединены от XT1:a9"});
    }

    void shortNamesEveryJoinedNet() {
        QCOMPARE(Texts(Compare({{0, 1}, {2}, {3}}, {{0, 1, 2}, {3}}, 4)),
                 QStringList{"замыкание: XT1:a1, XT1:a2 — XT1:a3"});
        const std::vector<TFault> three = Compare({{0}, {1, 4}, {2}, {3}}, {{0, 1, 2, 4}, {3}}, 5);
        QCOMPARE(three.size(), std::size_t(1));
        QCOMPARE(three[0].Kind, TFaultKind::Short);
        QCOMPARE(three[0].Groups,
                 (std::vector<QStringList>{Names({1}), Names({2, 5}), Names({3})}));
    }

    void contactThatMovedIsOneMiswire() {
        QCOMPARE(Texts(Compare({{0, 1, 2}, {3, 4}}, {{0, 1}, {2, 3, 4}}, 5)),
                 QStringList{"перепутан: XT1:a3 отсоединен от XT1:a1, XT1:a2 и соединен с "
                             "XT1:a4, XT1:a5"});
        // From a pair into a pair: the first contact's side stays home.
        const std::vector<TFault> pair = Compare({{0, 1}, {2, 3}}, {{0}, {1, 2, 3}}, 4);
        QCOMPARE(Texts(pair), QStringList{"перепутан: XT1:a2 отсоединен от XT1:a1 и соединен с "
                                          "XT1:a3, XT1:a4"});
        // The first contact itself moved: the other side is home, it is not a short.
        QCOMPARE(Texts(Compare({{0, 1}, {2, 3}}, {{1}, {0, 2, 3}}, 4)),
                 QStringList{"перепутан: XT1:a1 отсоединен от XT1:a2 и соединен с XT1:a3, "
                             "XT1:a4"});
    }

    void swappedPairIsOneMiswire() {
        // a1-a2, a3-a4 built as a1-a4, a3-a2 and as a1-a3, a2-a4: either way one swap.
        QCOMPARE(Texts(Compare({{0, 1}, {2, 3}}, {{0, 3}, {2, 1}}, 4)),
                 QStringList{"перепутан: XT1:a2 и XT1:a4 поменяны местами"});
        QCOMPARE(Texts(Compare({{0, 1}, {2, 3}}, {{0, 2}, {1, 3}}, 4)),
                 QStringList{"перепутан: XT1:a2 и XT1:a3 поменяны местами"});
        QCOMPARE(Texts(Compare({{0, 1, 2}, {3, 4, 5}}, {{0, 1, 5}, {3, 4, 2}}, 6)),
                 QStringList{"перепутан: XT1:a3 и XT1:a6 поменяны местами"});
    }

    void rotationIsThreeMiswiresNotASwap() {
        // a2 moved into a3's net, a4 into a5's, a6 into a1's: no two traded places.
        QCOMPARE(Texts(Compare({{0, 1}, {2, 3}, {4, 5}}, {{0, 5}, {2, 1}, {4, 3}}, 6)),
                 (QStringList{"перепутан: XT1:a2 отсоединен от XT1:a1 и соединен с XT1:a3",
                              "перепутан: XT1:a6 отсоединен от XT1:a5 и соединен с XT1:a1",
                              "перепутан: XT1:a4 отсоединен от XT1:a3 и соединен с XT1:a5"}));
        // The other way round, with nets of three.
        const std::vector<TFault> faults =
            Compare({{0, 1, 2}, {3, 4, 5}, {6, 7, 8}}, {{0, 1, 5}, {3, 4, 8}, {6, 7, 2}}, 9);
        QCOMPARE(faults.size(), std::size_t(3));
        for (const TFault& f : faults) {
            QCOMPARE(f.Kind, TFaultKind::Miswire);
            QVERIFY(!f.Swapped);
        }
        QCOMPARE(faults[0].Groups[0], Names({3}));
        QCOMPARE(faults[0].Groups[2], Names({7, 8}));
    }

    void partsThatBrokeOffTogether() {
        QCOMPARE(Texts(Compare({{0, 1}, {2, 3}}, {{0}, {2}, {1, 3}}, 4)),
                 (QStringList{"обрыв: XT1:a2 отсоединен от XT1:a1", "замыкание: XT1:a2 — XT1:a4",
                              "обрыв: XT1:a4 отсоединен от XT1:a3"}));
    }

    void foreignPotentialTakesItsPointsOut() {
        // The points reading 1 are measured no further; the rest of their net is fine.
        QCOMPARE(Texts(Compare({{0, 1, 2}, {3}}, {{0, 1}, {3}}, 4, {2})),
                 QStringList{"посторонний потенциал: XT1:a3"});
        QCOMPARE(Texts(Compare({{0, 1}, {2, 3}}, {}, 4, {3, 1, 2})),
                 (QStringList{"посторонний потенциал: XT1:a2", "посторонний потенциал: XT1:a3, "
                                                               "XT1:a4"}));
    }

    void faultsComeInTheOrderOfTheirFirstContact() {
        const std::vector<TFault> faults =
            Compare({{0, 1}, {2}, {3}, {4, 5}}, {{0}, {1}, {2, 3}, {4, 5}}, 6, {5});
        QCOMPARE(Texts(faults),
                 (QStringList{"обрыв: XT1:a2 отсоединен от XT1:a1", "замыкание: XT1:a3 — XT1:a4",
                              "посторонний потенциал: XT1:a6"}));
    }
};

QTEST_GUILESS_MAIN(TNetCompareTest)
#include "TNetCompareTest.moc"
