// SPDX-License-Identifier: GPL-3.0-or-later
#include "TGenerator.h"

#include <QTest>

class TGeneratorTest : public QObject {
    Q_OBJECT
  private slots:
    void noLines() {
        TGenerator g;
        g.SetLines(0);
        QCOMPARE(g.FPeriod(), 1u);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(g.Bit(0), 0);
            g.NextStep();
        }
        g.SetLines(-4);
        QCOMPARE(g.FPeriod(), 0u);
    }

    void twoLinesCount() {
        TGenerator g;
        g.SetLines(2);
        QString line0, line1;
        for (int pass = 0; pass < 5; ++pass) {
            line0 += QString::number(g.Bit(0));
            line1 += QString::number(g.Bit(1));
            g.NextStep();
        }
        QCOMPARE(line0, QStringLiteral("01010"));
        QCOMPARE(line1, QStringLiteral("00110"));
    }

    void thirtyTwoLinesWrapAtTheEndOfTheRange() {
        TGenerator g;
        g.SetLines(32);
        QCOMPARE(g.FPeriod(), 0u);
        g.NextStep();
        QCOMPARE(g.FCounter(), 1u);
        g.SetLines(31);
        QCOMPARE(g.FPeriod(), 0x80000000u);
    }

    void automaticIndex() {
        TGenerator g;
        g.SetLines(3);
        g.NextStep();
        g.NextStep();           // counter 2 (binary 010)
        QCOMPARE(g.Bit(-1), 0); // first call of the pass reads bit 0
        QCOMPARE(g.Bit(-1), 1); // the second reads bit 1
        g.NextStep();           // counter 3
        QCOMPARE(g.Bit(2), 0);  // an own index still advances the automatic one
        QCOMPARE(g.Bit(-1), 1);
        QCOMPARE(g.FAutoIndex(), 2);
        QCOMPARE(g.Bit(33), 1); // only the low five bits of the shift
    }

    void toggleSurvivesSetLines() {
        TGenerator g;
        QCOMPARE(g.Toggle(), 1);
        QCOMPARE(g.Toggle(), 0);
        QCOMPARE(g.Toggle(), 1);
        g.SetLines(1);
        QCOMPARE(g.Toggle(), 0);
    }
};

QTEST_GUILESS_MAIN(TGeneratorTest)
#include "TGeneratorTest.moc"
