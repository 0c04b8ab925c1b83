// SPDX-License-Identifier: GPL-3.0-or-later
// The check engine over a unit in the test: the round trips it makes and what it drives in them,
// the detection claim of the coded check, naming faults that have gone again, continuous verify,
// and the round trip over a port (the frame's bytes, the unit's pin codes, bad replies).

#include "THarnessCheck.h"
#include "FakeUnit.h"
#include "IComPort.h"
#include "TCheckPoints.h"
#include "TContinuousCheck.h"
#include "TPortExchange.h"

#include <QElapsedTimer>
#include <QTest>
#include <cmath>
#include <functional>
#include <set>

namespace {

std::uint16_t PinOf(int i) {
    return std::uint16_t(i < 95 ? 272 + i : 400 + i - 95);
}

TCheckPoints Points(int count) {
    std::vector<TCheckPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({PinOf(i), {QStringLiteral("XT%1:a%2").arg(i / 32 + 1).arg(i % 32 + 1)}});
    return TCheckPoints(points);
}

// 190 points in 95 nets of 1, 3, 2 and 2 points, the points spread over the unit's pins in a
// fixed shuffled order, so nets are no runs of neighbouring pins.
std::vector<std::vector<int>> GeneratedNets() {
    std::vector<int> order(190);
    for (int i = 0; i < 190; ++i)
        order[std::size_t(i)] = (i * 77) % 190; // 77 and 190 share no factor
    const int sizes[] = {1, 3, 2, 2};
    std::vector<std::vector<int>> nets;
    std::size_t at = 0;
    for (int n = 0; n < 95; ++n) {
        std::vector<int> net;
        for (int k = 0; k < sizes[n % 4]; ++k)
            net.push_back(order[at++]);
        nets.push_back(net);
    }
    return nets;
}

struct TRig {
    TCheckPoints Points;
    TReference Reference;
    TFakeUnit Unit;
    THarnessCheck Check;
    explicit TRig(const std::vector<std::vector<int>>& nets, int count)
        : Points(::Points(count)), Reference(TReference::FromNets(nets, count)),
          Check(Points, Unit) {
        Rewire();
    }
    void Rewire() { Unit.Wire(Reference.Nets(), Points.Pins()); }
    std::uint16_t Pin(int point) const { return Points.Point(point).Pin; }
};

QStringList Texts(const std::vector<TFault>& faults) {
    QStringList out;
    for (const TFault& f : faults)
        out.append(f.Text());
    return out;
}

// A port that records what is sent and answers as scripted.
class TScriptedPort final : public IComPort {
  public:
    std::vector<std::uint8_t> Sent;
    std::int32_t SentCode = 0;
    std::int32_t WaitResult = 0;
    std::int32_t Code = 21;
    std::vector<std::uint8_t> Reply;

    std::int32_t Init(const SCP_Info*) override { return 1; }
    std::int32_t Start() override { return 1; }
    std::int32_t Done() override { return 1; }
    std::int32_t Close() override { return 1; }
    std::int32_t Reboot() override { return 1; }
    std::int32_t Send(std::int32_t code, std::int32_t length, const std::uint8_t* data) override {
        SentCode = code;
        Sent.assign(data, data + length);
        return 1;
    }
    std::int32_t Wait(std::int32_t) override { return WaitResult; }
    std::int32_t WaitFor(std::int32_t, std::int32_t) override { return WaitResult; }
    const std::uint8_t* ReplyData() override { return Reply.data(); }
    std::int32_t ReplyLength() override { return std::int32_t(Reply.size()); }
    std::int32_t ReplyCode() override { return Code; }
    std::int32_t LastError() override { return 0; }
    std::int32_t Open(std::int32_t*) override { return 1; }
    std::int32_t UnitType() override { return 101; }
    void Release() override {}
};

} // namespace

class THarnessCheckTest : public QObject {
    Q_OBJECT
  private slots:
    void codedRoundTripsAtTheirBoundaries() {
        // 2·⌈log2(nets + 1)⌉: the numbers 1..nets need that many bits.
        const std::pair<int, int> cases[] = {{0, 0}, {1, 2}, {2, 4},   {3, 4},    {4, 6},
                                             {7, 6}, {8, 8}, {95, 14}, {127, 14}, {128, 16}};
        for (auto [nets, trips] : cases) {
            QCOMPARE(THarnessCheck::FastRoundTrips(nets), trips);
            if (nets > 0)
                QVERIFY(trips <= 2 * int(std::ceil(std::log2(nets + 1))) + 1);
        }
        // Net 0 is number 1, net 5 is number 6 (binary 110); odd round trips are complements.
        const int net0[] = {1, 0, 0, 1, 0, 1};
        const int net5[] = {0, 1, 1, 0, 1, 0};
        for (int trip = 0; trip < 6; ++trip) {
            QCOMPARE(int(THarnessCheck::CodedLevel(0, trip)), net0[trip]);
            QCOMPARE(int(THarnessCheck::CodedLevel(5, trip)), net5[trip]);
        }
    }

    void learnDrivesEachNetOnceAfterAnAllZeroRoundTrip() {
        TRig rig(GeneratedNets(), 190);
        rig.Unit.Record = true;
        const TLearnResult learnt = rig.Check.Learn();
        QVERIFY(learnt.Learnt());
        QCOMPARE(learnt.RoundTrips, 96);
        QCOMPARE(rig.Check.RoundTrips(), 96LL);
        QVERIFY(learnt.Reference == rig.Reference);
        QCOMPARE(rig.Unit.Driven.front(), std::vector<std::uint8_t>(190, 0));
        std::vector<int> drivenOnce(190, 0);
        for (std::size_t t = 1; t < rig.Unit.Driven.size(); ++t) {
            int ones = 0;
            for (int p = 0; p < 190; ++p)
                if (rig.Unit.Driven[t][std::size_t(p)] != 0) {
                    ++ones;
                    ++drivenOnce[std::size_t(p)];
                    // The lowest point not yet placed: the first point of its net.
                    QCOMPARE(rig.Reference.Net(rig.Reference.NetOf(p)).front(), p);
                }
            QCOMPARE(ones, 1);
        }
        for (int p = 0; p < 190; ++p)
            QCOMPARE(drivenOnce[std::size_t(p)],
                     rig.Reference.Net(rig.Reference.NetOf(p)).front() == p ? 1 : 0);
    }

    void learnRefusesAForeignPotential() {
        TRig rig({{0, 1}, {2, 3}, {4}}, 5);
        rig.Unit.Foreign[rig.Pin(3)] = 1;
        const TLearnResult learnt = rig.Check.Learn();
        QVERIFY(!learnt.Learnt());
        // Points 2 and 3 read 1 from the start and are measured no further.
        QCOMPARE(Texts(learnt.Faults), QStringList{"посторонний потенциал: XT1:a3, XT1:a4"});
        QCOMPARE(learnt.RoundTrips, 3);
        QCOMPARE(learnt.Reference.NetCount(), 0);
    }

    void goodHarnessTakesTheCodedRoundTripsOnly() {
        TRig rig(GeneratedNets(), 190);
        rig.Unit.Record = true;
        const TCheckResult result = rig.Check.Verify(rig.Reference);
        QVERIFY(result.Good());
        QCOMPARE(result.Verdict(), QStringLiteral("ГОДЕН"));
        QCOMPARE(result.RoundTrips, 14);
        QCOMPARE(rig.Unit.Driven.size(), std::size_t(14));
        for (int t = 0; t < 14; ++t)
            for (int p = 0; p < 190; ++p) {
                const int net = rig.Reference.NetOf(p);
                const int want =
                    rig.Reference.Net(net).front() == p ? THarnessCheck::CodedLevel(net, t) : 0;
                QCOMPARE(int(rig.Unit.Driven[std::size_t(t)][std::size_t(p)]), want);
            }
        // One net: a round trip with its bit and one with the complement.
        TRig one({{0, 1, 2}}, 3);
        QCOMPARE(one.Check.Verify(one.Reference).RoundTrips, 2);
    }

    void everySingleOpenIsFoundAndNamed() {
        TRig rig(GeneratedNets(), 190);
        int tried = 0;
        for (int p = 0; p < 190; ++p) {
            const std::vector<int>& net = rig.Reference.Net(rig.Reference.NetOf(p));
            if (net.size() < 2)
                continue;
            rig.Rewire();
            rig.Unit.Cut(rig.Pin(p));
            QVERIFY2(!rig.Check.FastCheck(rig.Reference), qPrintable(QString::number(p)));
            const TCheckResult result = rig.Check.Verify(rig.Reference);
            QCOMPARE(result.Faults.size(), std::size_t(1));
            const TFault& fault = result.Faults[0];
            QCOMPARE(fault.Kind, TFaultKind::Open);
            // Of a pair, the first point's half stays the net.
            const int cut = net.size() == 2 && p == net.front() ? net.back() : p;
            QCOMPARE(fault.Groups[0], rig.Points.Point(cut).Contacts);
            QCOMPARE(fault.Groups[1].size(), qsizetype(net.size() - 1));
            ++tried;
        }
        QCOMPARE(tried, 24 * 3 + 47 * 2); // the nets of 3 and of 2 points
    }

    void everySingleShortIsFoundAndNamed() {
        TRig rig(GeneratedNets(), 190);
        int tried = 0;
        for (int a = 0; a < 95; ++a)
            for (int b = a + 1; b < 95; ++b) {
                rig.Rewire();
                for (int p : rig.Reference.Net(b))
                    rig.Unit.NetOf[rig.Pin(p)] = a;
                const TCheckResult result = rig.Check.Verify(rig.Reference);
                QVERIFY(!result.Good());
                QCOMPARE(result.Faults.size(), std::size_t(1));
                QCOMPARE(result.Faults[0].Kind, TFaultKind::Short);
                QCOMPARE(result.Faults[0].Groups,
                         (std::vector<QStringList>{rig.Points.Contacts(rig.Reference.Net(a)),
                                                   rig.Points.Contacts(rig.Reference.Net(b))}));
                // Naming takes an all-zero round trip and one for the joined net.
                QCOMPARE(result.RoundTrips, 14 + 2);
                ++tried;
            }
        QCOMPARE(tried, 95 * 94 / 2);
    }

    void everyMovedContactAndForeignPotentialIsFound() {
        TRig rig(GeneratedNets(), 190);
        for (int p = 0; p < 190; ++p) {
            const int from = rig.Reference.NetOf(p);
            const int to = (from + 1) % 95;
            rig.Rewire();
            rig.Unit.Foreign[rig.Pin(p)] = 1;
            const TCheckResult foreign = rig.Check.Verify(rig.Reference);
            rig.Unit.Foreign[rig.Pin(p)] = 0;
            QVERIFY(!foreign.Good());
            QCOMPARE(foreign.Faults.front().Kind, TFaultKind::Foreign);
            if (rig.Reference.Net(from).size() < 2)
                continue;
            rig.Unit.NetOf[rig.Pin(p)] = to;
            const TCheckResult moved = rig.Check.Verify(rig.Reference);
            QCOMPARE(moved.Faults.size(), std::size_t(1));
            QCOMPARE(moved.Faults[0].Kind, TFaultKind::Miswire);
            QVERIFY(!moved.Faults[0].Swapped);
            QCOMPARE(moved.Faults[0].Groups[0], rig.Points.Point(p).Contacts);
            QCOMPARE(moved.Faults[0].Groups[2], rig.Points.Contacts(rig.Reference.Net(to)));
        }
    }

    void swappedPairIsOneFault() {
        TRig rig({{0, 1}, {2, 3}, {4, 5, 6}}, 7);
        rig.Unit.NetOf[rig.Pin(1)] = 2;
        rig.Unit.NetOf[rig.Pin(5)] = 0;
        QCOMPARE(Texts(rig.Check.Verify(rig.Reference).Faults),
                 QStringList{"перепутан: XT1:a2 и XT1:a6 поменяны местами"});
    }

    void faultGoneBeforeTheScanIsNamedFromTheCodedReadings() {
        TRig rig({{0, 1, 2}, {3, 4}, {5}, {6, 7}}, 8);
        const auto during = [&rig](long long first, long long last, auto change) {
            rig.Unit.Calls = 0;
            rig.Unit.BeforeTrip = [&rig, first, last, change](TFakeUnit& unit, long long trip) {
                rig.Rewire();
                if (trip >= first && trip <= last)
                    change(unit);
            };
        };
        // A contact that drops out for three of the six coded round trips.
        during(2, 4, [&rig](TFakeUnit& u) { u.Cut(rig.Pin(2)); });
        TCheckResult result = rig.Check.Verify(rig.Reference);
        QCOMPARE(Texts(result.Faults), QStringList{"обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2"});
        QVERIFY(result.RoundTrips > 6); // the scan ran and found the harness good again
        // The first contact of a net drops out: the rest lost it.
        during(1, 6, [&rig](TFakeUnit& u) { u.Cut(rig.Pin(3)); });
        QCOMPARE(Texts(rig.Check.Verify(rig.Reference).Faults),
                 QStringList{"обрыв: XT1:a5 отсоединен от XT1:a4"});
        // Two nets joined for the whole coded check.
        during(1, 6, [&rig](TFakeUnit& u) { u.NetOf[rig.Pin(5)] = 1; });
        QCOMPARE(Texts(rig.Check.Verify(rig.Reference).Faults),
                 QStringList{"замыкание: XT1:a4, XT1:a5 — XT1:a6"});
        // Joined for the first bit's two round trips only: the nets held together, the levels
        // tell who drove.
        during(1, 2, [&rig](TFakeUnit& u) {
            u.NetOf[rig.Pin(6)] = 0;
            u.NetOf[rig.Pin(7)] = 0;
        });
        QCOMPARE(Texts(rig.Check.Verify(rig.Reference).Faults),
                 QStringList{"замыкание: XT1:a1, XT1:a2, XT1:a3 — XT1:a7, XT1:a8"});
        // A level from outside for the whole coded check.
        during(1, 6, [&rig](TFakeUnit& u) { u.Foreign[rig.Pin(5)] = 1; });
        QCOMPARE(Texts(rig.Check.Verify(rig.Reference).Faults),
                 QStringList{"посторонний потенциал: XT1:a6"});
        rig.Unit.Foreign.fill(0);
        rig.Unit.BeforeTrip = nullptr;
        rig.Rewire();
        QVERIFY(rig.Check.Verify(rig.Reference).Good());
    }

    void silentContactsOfTwoNetsNamedFromTheReadingsAreTwoOpens() {
        // Both read nothing throughout the coded check and are gone before the scan: each lost
        // its own net, they were never joined to each other.
        TRig rig({{0, 1, 2}, {3, 4}, {5}, {6, 7}}, 8);
        const auto cutDuringTheCodedCheck = [&rig](std::vector<int> points) {
            rig.Unit.Calls = 0;
            rig.Unit.BeforeTrip = [&rig, points](TFakeUnit& unit, long long trip) {
                rig.Rewire();
                if (trip <= 6)
                    for (int p : points)
                        unit.Cut(rig.Pin(p));
            };
        };
        // Contacts that are not their net's first.
        cutDuringTheCodedCheck({2, 7});
        TCheckResult result = rig.Check.Verify(rig.Reference);
        QVERIFY(result.RoundTrips > 6); // the scan ran and found the harness good again
        QCOMPARE(Texts(result.Faults), (QStringList{"обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2",
                                                    "обрыв: XT1:a8 отсоединен от XT1:a7"}));
        // The first contacts of two nets drop out: the rest of each lost its driver.
        cutDuringTheCodedCheck({3, 6});
        QCOMPARE(Texts(rig.Check.Verify(rig.Reference).Faults),
                 (QStringList{"обрыв: XT1:a5 отсоединен от XT1:a4",
                              "обрыв: XT1:a8 отсоединен от XT1:a7"}));
    }

    void lostUnitPassesThroughAndLatchesNothing() {
        TRig rig({{0, 1}, {2}}, 3);
        TContinuousCheck watch(rig.Reference);
        rig.Unit.FailAt = 3;
        QVERIFY_THROWS_EXCEPTION(EUnitError, watch.RunOnce(rig.Check));
        QCOMPARE(watch.Checks(), 0LL);
        QVERIFY(watch.Latched().empty());
        QVERIFY_THROWS_EXCEPTION(EUnitError, rig.Check.Verify(TReference::FromNets({}, 2)));
    }

    void continuousVerifyLatchesWhatComesAndGoes() {
        TRig rig({{0, 1, 2}, {3, 4}}, 5);
        TContinuousCheck watch(rig.Reference);
        int reported = 0;
        watch.SetOnLatched([&](const TLatchedFault& l) {
            ++reported;
            QCOMPARE(l.Count, 1);
        });
        // Each coded check takes 4 round trips; the contact drops out in the third check and in
        // the sixth (the scans after them shift the count, so the trips are looked up by check).
        int check = 0;
        rig.Unit.BeforeTrip = [&](TFakeUnit& u, long long) {
            rig.Rewire();
            if (check == 3 || check == 6)
                u.Cut(rig.Pin(2));
        };
        QDateTime beforeSixth;
        for (check = 1; check <= 8; ++check) {
            if (check == 6) {
                QTest::qSleep(5); // the second sighting a few milliseconds after the first
                beforeSixth = QDateTime::currentDateTimeUtc();
            }
            watch.RunOnce(rig.Check);
        }
        QCOMPARE(watch.Checks(), 8LL);
        QCOMPARE(watch.CleanChecks(), 6LL);
        const std::vector<TLatchedFault> latched = watch.Latched();
        QCOMPARE(latched.size(), std::size_t(1));
        QCOMPARE(latched[0].Fault.Text(),
                 QStringLiteral("обрыв: XT1:a3 отсоединен от XT1:a1, XT1:a2"));
        QCOMPARE(latched[0].Count, 2);
        QVERIFY(latched[0].First < beforeSixth);
        QVERIFY(latched[0].Last >= beforeSixth); // the last sighting, not the first
        // In UTC, so that the checking thread never reads the time zone.
        QCOMPARE(latched[0].First.timeSpec(), Qt::UTC);
        QCOMPARE(latched[0].Last.timeSpec(), Qt::UTC);
        QCOMPARE(reported, 1);
        QVERIFY(watch.RoundTrips() >= 8 * 4);

        std::atomic<bool> stop{true};
        check = 0;
        watch.Run(rig.Check, stop); // a stop already asked for: no check
        QCOMPARE(watch.Checks(), 8LL);
        stop = false;
        QElapsedTimer watched;
        watched.start();
        watch.Run(rig.Check, stop, 30);
        QVERIFY(watch.Checks() > 8);
        QVERIFY2(watched.elapsed() < 2000, "the watch ran past its time");
        watch.Clear();
        QCOMPARE(watch.Checks(), 0LL);
        QVERIFY(watch.Latched().empty());
    }

    // A contact that drops out of its net for 5 round trips in every 300 (5 ms in 300 ms at a USB
    // unit's pace) is latched in nearly every drop, whether or not another net has a lasting open
    // or short: the lasting fault must not hide it.
    void intermittentOpenIsLatchedBesideALastingFault() {
        const std::vector<std::vector<int>> nets = GeneratedNets();
        const int flaky = nets[1][1]; // not the first point of its net: the rest still drive it
        const QString flakyText =
            QStringLiteral("обрыв: %1 отсоединен от ").arg(Points(190).Point(flaky).Contacts[0]);
        const auto lasting = std::vector<std::function<void(TRig&, TFakeUnit&)>>{
            [](TRig&, TFakeUnit&) {},
            [&nets](TRig& rig, TFakeUnit& u) { u.Cut(rig.Pin(nets[5][2])); },
            [&nets](TRig& rig, TFakeUnit& u) { u.NetOf[rig.Pin(nets[9][0])] = 6; },
        };
        for (std::size_t kind = 0; kind < lasting.size(); ++kind) {
            TRig rig(nets, 190);
            TContinuousCheck watch(rig.Reference);
            long long window = -1;
            rig.Unit.BeforeTrip = [&](TFakeUnit& u, long long trip) {
                rig.Rewire();
                lasting[kind](rig, u);
                if (trip % 300 >= 295) {
                    u.Cut(rig.Pin(flaky));
                    window = trip / 300;
                }
            };
            std::set<long long> caught;
            while (rig.Unit.Calls < 9000) {
                window = -1;
                for (const TFault& f : watch.RunOnce(rig.Check))
                    if (f.Text().startsWith(flakyText) && window >= 0)
                        caught.insert(window);
            }
            const long long windows = 9000 / 300;
            QVERIFY2(caught.size() * 10 >= std::size_t(windows) * 9,
                     qPrintable(QStringLiteral("lasting fault %1: %2 of %3 drops latched")
                                    .arg(kind)
                                    .arg(caught.size())
                                    .arg(windows)));
            if (kind > 0) {
                QCOMPARE(watch.CleanChecks(), 0LL); // the lasting fault is in every check
                QCOMPARE(watch.Latched().size(), std::size_t(2));
            }
        }
    }

    void portRoundTripCarriesTheFrameOfCommand21() {
        TScriptedPort port;
        TPortExchange raw(port, true);
        port.Reply = {1, 0, 1, 0};
        std::vector<std::uint8_t> read;
        raw.WriteRead({400, 272, 366}, {1, 0, 1}, read);
        QCOMPARE(port.SentCode, 21);
        QCOMPARE(port.Sent, (std::vector<std::uint8_t>{1, 144, 1, 1, 16, 0, 1, 110, 1}));
        QCOMPARE(read, (std::vector<std::uint8_t>{1, 0, 1})); // the probe's byte is not a pin
        // A unit of another type takes the reduced codes; codes outside both connectors stay.
        TPortExchange reduced(port, false);
        port.Reply = {0, 0, 0, 0, 0};
        reduced.WriteRead({400, 494, 272, 271}, {0, 1, 0, 1}, read);
        QCOMPARE(port.Sent, (std::vector<std::uint8_t>{0, 0, 0, 0, 94, 1, 0, 0, 0, 1, 15, 1}));
        QCOMPARE(TPortExchange::UnitPin(495, false), std::uint16_t(495));
        QCOMPARE(TPortExchange::UnitPin(366, false), std::uint16_t(94));
        QCOMPARE(TPortExchange::UnitPin(367, false), std::uint16_t(367));
        QCOMPARE(TPortExchange::UnitPin(399, false), std::uint16_t(399));
    }

    void portRoundTripRefusesWhatIsNoAnswer() {
        TScriptedPort port;
        TPortExchange exchange(port, true, [] { return QStringLiteral("нет связи"); });
        std::vector<std::uint8_t> read;
        const auto message = [&] {
            try {
                exchange.WriteRead({400, 401}, {1, 0}, read);
            } catch (const EUnitError& e) {
                return e.Message();
            }
            return QString();
        };
        port.Reply = {1, 1}; // one byte short
        QVERIFY(message().contains(QStringLiteral("длина 2")));
        port.Reply = {1, 1, 0, 0}; // one byte long
        QVERIFY(message().contains(QStringLiteral("длина 4")));
        port.Reply = {1, 1, 0};
        port.Code = 8;
        QVERIFY(message().contains(QStringLiteral("код 8")));
        port.Code = 21;
        QVERIFY(message().isEmpty());
        port.WaitResult = 2;
        QCOMPARE(message(), QStringLiteral("Блок диагностики не ответил: нет связи"));
    }
};

QTEST_GUILESS_MAIN(THarnessCheckTest)
#include "THarnessCheckTest.moc"
