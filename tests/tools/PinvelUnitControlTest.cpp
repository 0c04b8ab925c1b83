// SPDX-License-Identifier: GPL-3.0-or-later
// The unit emulator's control port: the harness changed by hand while the unit runs, seen
// through the unit's own replies over TCP.
#include "UnitControlKit.h"

#include <QTemporaryDir>

namespace {

using namespace ControlKit;

// Levels read on points 0..count-1 with only `driven` at 1.
std::vector<std::uint8_t> ReadWith(TUnit& unit, const TCheckPoints& points, int driven) {
    std::vector<std::uint8_t> levels(std::size_t(points.Count()), 0);
    if (driven >= 0)
        levels[std::size_t(driven)] = 1;
    std::vector<std::uint8_t> read;
    unit.Unit().WriteRead(points.Pins(), levels, read);
    return read;
}

// The points that read 1 while `driven` alone is driven.
std::vector<int> NetOf(TUnit& unit, const TCheckPoints& points, int driven) {
    const std::vector<std::uint8_t> read = ReadWith(unit, points, driven);
    std::vector<int> net;
    for (int p = 0; p < int(read.size()); ++p)
        if (read[std::size_t(p)] != 0)
            net.push_back(p);
    return net;
}

} // namespace

class PinvelUnitControlTest : public QObject {
    Q_OBJECT
  private slots:
    void wiresGoInAndComeOut() {
        TUnit unit;
        const TCheckPoints points = Points(190);
        QCOMPARE(NetOf(unit, points, 0), std::vector<int>{0});
        QCOMPARE(unit.Say("connect X1:a1 X2:a1"), QStringLiteral("ok"));
        QCOMPARE(NetOf(unit, points, 0), (std::vector<int>{0, 95}));
        // A second wire from the same pin joins a third; the order of the pins does not matter.
        QCOMPARE(unit.Say("connect X2:b3 X1:a1"), QStringLiteral("ok"));
        QCOMPARE(NetOf(unit, points, 95), (std::vector<int>{0, 95, 95 + 34}));
        QCOMPARE(unit.Say("disconnect X2:a1 X1:a1"), QStringLiteral("ok"));
        QCOMPARE(NetOf(unit, points, 0), (std::vector<int>{0, 95 + 34}));
        QCOMPARE(NetOf(unit, points, 95), std::vector<int>{95});
    }

    void aBadLineIsAnsweredAndChangesNothing() {
        TUnit unit;
        const TCheckPoints points = Points(190);
        QCOMPARE(unit.Say("connect X1:a1 X2:a1"), QStringLiteral("ok"));
        QCOMPARE(unit.Say("probe X1:a1"), QStringLiteral("ok"));
        const QStringList bad{"disconnect X1:a1 X2:a2", // no such wire
                              "connect X9:a1 X1:a1",    // no such connector
                              "connect X1:c32 X1:a1",   // c32 is not wired
                              "connect X1:a1 X1:a1",    // a wire to itself
                              "connect X1:a1",          // one pin short
                              "probe",                  // no pin
                              "probe X1:a1 X1:a2",      // one too many
                              "Probe X1:a2",            // commands are lower case
                              "reset now",
                              "frobnicate"};
        for (const QString& line : bad) {
            const QString answer = unit.Say(line);
            QVERIFY2(answer.startsWith(QStringLiteral("ошибка: ")),
                     qPrintable(line + " -> " + answer));
            QVERIFY(!answer.contains(QLatin1Char('\n')));
        }
        // A line far longer than any command is refused whole, and the next one is taken.
        QVERIFY(
            unit.Control->Send(QByteArray(300, 'x') + '\n').startsWith(QStringLiteral("ошибка: ")));
        QCOMPARE(unit.Say("connect X1:a2 X1:a3"), QStringLiteral("ok"));
        QCOMPARE(NetOf(unit, points, 0), (std::vector<int>{0, 95}));
        ReadWith(unit, points, 95);
        QCOMPARE(unit.Unit().ProbeIn(), std::uint8_t(1));
    }

    void theProbeReadsTheNetItTouches() {
        TUnit unit;
        const TCheckPoints points = Points(190);
        QCOMPARE(unit.Say("connect X1:a5 X2:c7"), QStringLiteral("ok"));
        ReadWith(unit, points, 95 + 64 + 6);              // X2:c7
        QCOMPARE(unit.Unit().ProbeIn(), std::uint8_t(0)); // touches nothing yet
        QCOMPARE(unit.Say("probe X1:a5"), QStringLiteral("ok"));
        ReadWith(unit, points, 95 + 64 + 6);
        QCOMPARE(unit.Unit().ProbeIn(), std::uint8_t(1));
        ReadWith(unit, points, 5); // X1:a6, another net
        QCOMPARE(unit.Unit().ProbeIn(), std::uint8_t(0));
        QCOMPARE(unit.Say("probe none"), QStringLiteral("ok"));
        ReadWith(unit, points, 4);
        QCOMPARE(unit.Unit().ProbeIn(), std::uint8_t(0));
    }

    void resetGoesBackToTheHarnessFile() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel unit XXXXXX"));
        const QString path = dir.filePath(QStringLiteral("жгут.json"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"nets": [["X1:a5", "X2:a5", "X2:a6"]], "probe": "X1:a5"})");
        file.close();
        TUnit unit({QStringLiteral("--harness"), path});
        const TCheckPoints points = Points(190);
        const std::vector<int> fileNet{4, 95 + 4, 95 + 5};
        QCOMPARE(NetOf(unit, points, 4), fileNet);
        // A wire of the file (from its net's first pin) can be pulled out.
        QCOMPARE(unit.Say("disconnect X2:a6 X1:a5"), QStringLiteral("ok"));
        QCOMPARE(unit.Say("connect X1:a1 X1:a2"), QStringLiteral("ok"));
        QCOMPARE(unit.Say("probe none"), QStringLiteral("ok"));
        QCOMPARE(NetOf(unit, points, 4), (std::vector<int>{4, 95 + 4}));
        QCOMPARE(unit.Say("reset"), QStringLiteral("ok"));
        QCOMPARE(NetOf(unit, points, 4), fileNet);
        QCOMPARE(NetOf(unit, points, 0), std::vector<int>{0});
        QCOMPARE(unit.Unit().ProbeIn(), std::uint8_t(0));
        ReadWith(unit, points, 95 + 5);
        QCOMPARE(unit.Unit().ProbeIn(), std::uint8_t(1));
    }
};

QTEST_GUILESS_MAIN(PinvelUnitControlTest)
#include "PinvelUnitControlTest.moc"
