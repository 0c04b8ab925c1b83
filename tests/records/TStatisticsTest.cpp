// SPDX-License-Identifier: GPL-3.0-or-later
// The production statistics over a small journal written by hand, its figures worked out by hand
// below, in the station's SQLite file and in PostgreSQL alike. The test runs in a time zone five
// hours east of UTC (Asia/Yekaterinburg, no summer time), so a check at 00:30 local time lies on
// the day before in UTC.

#include "RecordsTestKit.h"
#include "StatisticsJournal.h"
#include "TStatisticsModel.h"
#include "TStatisticsQuery.h"

#include <QTimeZone>

namespace {

using namespace StatisticsJournal;

struct TRow {
    QString Key;
    qint64 Checks, Good, Faulty, Harnesses, FirstPassGood, FinalGood;
};

void CompareRows(const std::vector<TStatisticsGroup>& groups, const std::vector<TRow>& rows) {
    QCOMPARE(groups.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const TStatisticsGroup& g = groups[i];
        const TRow& r = rows[i];
        QCOMPARE(g.Key, r.Key);
        QCOMPARE(g.Checks, r.Checks);
        QCOMPARE(g.Good, r.Good);
        QCOMPARE(g.Faulty, r.Faulty);
        QCOMPARE(g.Harnesses, r.Harnesses);
        QCOMPARE(g.FirstPassGood, r.FirstPassGood);
        QCOMPARE(g.FinalGood, r.FinalGood);
    }
}

} // namespace

class TStatisticsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RecordsKit::TFreshDatabase> FFresh;
    std::unique_ptr<TRecordsDatabase> FDb;

    // The hand-written journal in a fresh database of the row's kind.
    bool Fill() {
        QFETCH(bool, shared);
        FDb.reset();
        FFresh = std::make_unique<RecordsKit::TFreshDatabase>(shared);
        FDb = FFresh->Open();
        QString error;
        if (!FDb->Insert(Journal(), &error)) {
            qWarning("%s", qPrintable(error));
            return false;
        }
        return true;
    }

    TStatistics Compute(const TRecordFilter& filter, TStatisticsGrouping by) {
        QString error;
        std::optional<TStatistics> s = TStatisticsQuery::Compute(*FDb, filter, by, &error);
        if (!s)
            qWarning("%s", qPrintable(error));
        return s.value_or(TStatistics());
    }

  private slots:
    void initTestCase() {
        QCOMPARE(QTimeZone::systemTimeZone().offsetFromUtc(QDateTime(Day1, {12, 0})), 5 * 3600);
    }
    void cleanup() {
        FDb.reset();
        FFresh.reset();
    }

    void wholeJournalByDay_data() { RecordsKit::Backends(); }
    void wholeJournalByDay() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        QVERIFY(Fill());
        const TStatistics s = Compute({}, TStatisticsGrouping::Day);
        QCOMPARE(s.Checks, 10);
        QCOMPARE(s.Good, 5);
        QCOMPARE(s.Faulty, 5);
        QCOMPARE(s.Unnumbered, 1);
        // SN-1..SN-5; first checks ГОДЕН: SN-2, SN-3, SN-5; last ГОДЕН: SN-1, SN-3, SN-4, SN-5.
        QCOMPARE(s.Harnesses, 5);
        QCOMPARE(s.FirstPassGood, 3);
        QCOMPARE(s.FinalGood, 4);
        QCOMPARE(*s.FirstPassYield(), 60.0);
        QCOMPARE(*s.FinalYield(), 80.0);
        // Day 1: checks 1, 2, 4, 5; first checks of SN-1 (БРАК, last ГОДЕН) and SN-2 (ГОДЕН,
        // last БРАК). Day 2 (with check 3 at 00:30): 3, 6, 7, 8, 10; first checks of SN-3
        // (ГОДЕН) and SN-4 (БРАК, last ГОДЕН). Day 3: SN-5.
        CompareRows(s.Groups, {{"2026-12-01", 4, 1, 3, 2, 1, 1},
                               {"2026-12-02", 5, 3, 2, 2, 1, 2},
                               {"2026-12-08", 1, 1, 0, 1, 1, 1}});
        QCOMPARE(s.Groups[1].Day, Day2);
        QCOMPARE(*s.Groups[0].FirstPassYield(), 50.0);
        QCOMPARE(*s.Groups[1].FinalYield(), 100.0);

        // Faulty checks naming each contact: XT1:a3 in checks 1, 2, 5 and 8; XT1:a4 twice in
        // check 2 counts once; 11 namings in all.
        const std::vector<std::pair<QString, qint64>> pareto = {
            {"XT1:a3", 4}, {"XP2:b5", 1}, {"XT1:a4", 1}, {"XT1:a5", 1},
            {"XT1:a6", 1}, {"XT1:a7", 1}, {"XT1:a8", 1}, {"XT1:a9", 1}};
        QCOMPARE(s.Contacts.size(), pareto.size());
        for (std::size_t i = 0; i < pareto.size(); ++i) {
            QCOMPARE(s.Contacts[i].Contact, pareto[i].first);
            QCOMPARE(s.Contacts[i].Checks, pareto[i].second);
            const bool watch = pareto[i].first == "XT1:a5" || pareto[i].first == "XT1:a6";
            QCOMPARE(s.Contacts[i].WatchChecks, watch ? 1 : 0);
        }
        QCOMPARE(TStatistics::Rounded(s.Contacts[0].Share), 36.4);      // 4 / 11
        QCOMPARE(TStatistics::Rounded(s.Contacts[1].Share), 9.1);       // 1 / 11
        QCOMPARE(TStatistics::Rounded(s.Contacts[1].Cumulative), 45.5); // 5 / 11
        QCOMPARE(TStatistics::Rounded(s.Contacts[2].Cumulative), 54.5); // 6 / 11
        QCOMPARE(s.Contacts.back().Cumulative, 100.0);

        // By kind: opens in checks 1 and 2, the continuous one apart; a short, a miswire and a
        // foreign potential once each.
        QCOMPARE(s.Kinds.size(), std::size_t(4));
        QCOMPARE(s.Kinds[0], (TKindFigure{TFaultKind::Open, 2, 2, 1, 1}));
        QCOMPARE(s.Kinds[1], (TKindFigure{TFaultKind::Short, 1, 1, 0, 0}));
        QCOMPARE(s.Kinds[2], (TKindFigure{TFaultKind::Miswire, 1, 1, 0, 0}));
        QCOMPARE(s.Kinds[3], (TKindFigure{TFaultKind::Foreign, 1, 1, 0, 0}));

        // Failed two times or more: SN-1 only (SN-2 and SN-4 once each).
        QCOMPARE(s.Repeats.size(), std::size_t(1));
        QCOMPARE(s.Repeats[0], (TRepeatFigure{"SN-1", 2, 3}));
    }

    void otherBreakdowns_data() { RecordsKit::Backends(); }
    void otherBreakdowns() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        QVERIFY(Fill());
        CompareRows(Compute({}, TStatisticsGrouping::Week).Groups,
                    {{"2026-W49", 9, 4, 5, 4, 2, 3}, {"2026-W50", 1, 1, 0, 1, 1, 1}});
        QCOMPARE(Compute({}, TStatisticsGrouping::Week).Groups[0].Day, QDate(2026, 11, 30));
        // The harness goes with its first check's operator: SN-4's final ГОДЕН is Петров's.
        CompareRows(Compute({}, TStatisticsGrouping::Operator).Groups,
                    {{"Иванов", 7, 3, 4, 3, 2, 2}, {"Петров", 3, 2, 1, 2, 1, 2}});
        CompareRows(Compute({}, TStatisticsGrouping::Project).Groups,
                    {{"K2.pvl", 1, 1, 0, 1, 1, 1}, {"жгут K1.pvl", 9, 4, 5, 4, 2, 3}});
        CompareRows(Compute({}, TStatisticsGrouping::Station).Groups,
                    {{"stand-3", 9, 4, 5, 4, 2, 3}, {"stand-4", 1, 1, 0, 1, 1, 1}});
    }

    void followsTheJournalsFilters_data() { RecordsKit::Backends(); }
    void followsTheJournalsFilters() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        QVERIFY(Fill());
        // Day 2 alone: SN-1's first check in the period is its ГОДЕН at 00:30.
        TRecordFilter day2;
        day2.SetDays(Day2, Day2);
        TStatistics s = Compute(day2, TStatisticsGrouping::Day);
        QCOMPARE(s.Checks, 5);
        QCOMPARE(s.Harnesses, 3);
        QCOMPARE(s.FirstPassGood, 2);
        QCOMPARE(s.FinalGood, 3);
        QCOMPARE(TStatistics::Rounded(*s.FirstPassYield()), 66.7);
        QVERIFY(s.Repeats.empty());
        QCOMPARE(s.Contacts.size(), std::size_t(5)); // a3, a5, a6, a7, a8

        TRecordFilter k1;
        k1.Project = QStringLiteral("жгут K1.pvl");
        s = Compute(k1, TStatisticsGrouping::Day);
        QCOMPARE(s.Checks, 9);
        QCOMPARE(s.Harnesses, 4);
        QCOMPARE(s.FirstPassGood, 2);
        QCOMPARE(s.FinalGood, 3);

        TRecordFilter prefix;
        prefix.Serial = QStringLiteral("SN-1*");
        s = Compute(prefix, TStatisticsGrouping::Day);
        QCOMPARE(s.Checks, 3);
        QCOMPARE(s.Repeats.size(), std::size_t(1));

        TRecordFilter station;
        station.Station = QStringLiteral("stand-4");
        QCOMPARE(Compute(station, TStatisticsGrouping::Day).Checks, 1);
        TRecordFilter oper;
        oper.Operator = QStringLiteral("Петров");
        s = Compute(oper, TStatisticsGrouping::Day);
        QCOMPARE(s.Checks, 3);
        QCOMPARE(s.Kinds[0].WatchFaults, 1);
        QCOMPARE(s.Kinds[0].Faults, 0);

        // Nothing chosen: no yield at all, not a yield of nought.
        TRecordFilter none;
        none.Serial = QStringLiteral("NO-SUCH");
        s = Compute(none, TStatisticsGrouping::Day);
        QCOMPARE(s.Checks, 0);
        QVERIFY(!s.FirstPassYield());
        QVERIFY(s.Contacts.empty());
    }

    // Two checks of a harness at the same millisecond: БРАК counts first, ГОДЕН last, in both
    // ways the first and the last check are found (by time and by a column).
    void sameMillisecondFaultyComesFirst_data() { RecordsKit::Backends(); }
    void sameMillisecondFaultyComesFirst() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        FFresh = std::make_unique<RecordsKit::TFreshDatabase>(shared);
        FDb = FFresh->Open();
        TTestRecord good = Check(Day1, {9, 0}, "SN-T", {});
        TTestRecord faulty = Check(Day1, {9, 0}, "SN-T", {TFault::Foreign({"XT1:a1"})});
        // The good one's id sorts first, so an order by id alone would take it as the first.
        good.Uid = QStringLiteral("0-good");
        faulty.Uid = QStringLiteral("1-faulty");
        QVERIFY(FDb->Insert({good, faulty}));
        for (TStatisticsGrouping by : {TStatisticsGrouping::Day, TStatisticsGrouping::Operator}) {
            const TStatistics s = Compute({}, by);
            QCOMPARE(s.Harnesses, 1);
            QCOMPARE(s.FirstPassGood, 0);
            QCOMPARE(s.FinalGood, 1);
        }
    }

    // Picking a contact of the Pareto list lists the records naming it: exactly that contact.
    void recordsNamingAContact_data() { RecordsKit::Backends(); }
    void recordsNamingAContact() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        QVERIFY(Fill());
        TRecordFilter f;
        f.Contact = QStringLiteral("XT1:a3");
        QCOMPARE(FDb->Count(f), 4);
        f.Contact = QStringLiteral("XT1:a4"); // named twice in one record
        QCOMPARE(FDb->Count(f), 1);
        for (const char* other : {"XT1:A3", "XT1:a", "T1:a3", "a3"}) {
            f.Contact = QString::fromUtf8(other);
            QCOMPARE(FDb->Count(f), 0);
        }
        f.Contact = QStringLiteral("XT1:a9"); // the last contact of its fault
        QCOMPARE(FDb->Count(f), 1);
        f.Contact = QStringLiteral("XT1:a3");
        f.Operator = QStringLiteral("Иванов");
        f.SetDays(Day1, Day1);
        QCOMPARE(FDb->Page(f, nullptr, 10).size(), std::size_t(3));
    }

    // The window's model shows the same figures as the statistics computed for the same filter.
    void modelShowsTheFigures_data() { RecordsKit::Backends(); }
    void modelShowsTheFigures() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        QVERIFY(Fill());
        TStatisticsModel model;
        model.SetGrouping(TStatisticsGrouping::Operator);
        model.SetDatabase(FDb.get());
        QVERIFY(model.Problem().isEmpty());
        QCOMPARE(model.rowCount(), 2);
        const auto value = [&](int row, int column) {
            return model.index(row, column).data(TStatisticsModel::ValueRole);
        };
        QCOMPARE(value(1, TStatisticsModel::colKey).toString(), QStringLiteral("Петров"));
        QCOMPARE(value(1, TStatisticsModel::colChecks).toLongLong(), 3);
        QCOMPARE(value(0, TStatisticsModel::colFirstPass).toDouble(), 66.7); // 2 of 3
        QCOMPARE(value(1, TStatisticsModel::colFinal).toDouble(), 100.0);
        TRecordFilter none;
        none.Serial = QStringLiteral("NO-SUCH");
        model.SetFilter(none);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.Statistics().Checks, 0);
    }
};

QTEST_GUILESS_MAIN(TStatisticsTest)
#include "TStatisticsTest.moc"
