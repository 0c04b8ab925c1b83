// SPDX-License-Identifier: GPL-3.0-or-later
// The counts kept as records are written give the same statistics as the records counted one by
// one, by time and by project, operator and station: over a journal made at random (harnesses
// checked on several days, records written out of their order, in batches, twice), for whole days,
// periods on quarters of an hour, a period within one day and open-ended ones; after a station's
// file sends records on; and after an upgrade counted a database written before the counts. The
// test runs in Asia/Kathmandu (UTC+5:45) so that local midnights lie on quarters of an hour but not
// on hours.

#include "TStatisticsCounts.h"
#include "RecordsTestKit.h"
#include "TCountedStatistics.h"
#include "TStatisticsQuery.h"

#include <QRandomGenerator>
#include <QTimeZone>

namespace {

using RecordsKit::TFreshDatabase;

const qint64 T0 = QDateTime(QDate(2026, 11, 30), QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
constexpr qint64 Minute = 60 * 1000;
constexpr qint64 Quarter = 15 * Minute;
constexpr qint64 Day = 24 * 60 * Minute;

// About 260 checks over eight days: 30 harnesses, checked again and again across days, a few
// without a serial number, a fifth continuous verifies, faults of every kind naming contacts
// twice in one record; some at a quarter's or a UTC day's very edge.
std::vector<TTestRecord> RandomJournal(quint32 seed) {
    QRandomGenerator rnd(seed);
    const QStringList contacts{"XT1:a1", "XT1:a2", "XT1:a3", "XP2:b1", "XP2:b2", "XP2:b3"};
    const auto contact = [&] { return contacts[rnd.bounded(int(contacts.size()))]; };
    std::vector<TTestRecord> journal;
    for (int i = 0; i < 260; ++i) {
        qint64 ms = T0 + rnd.bounded(8 * 24 * 60) * Minute + rnd.bounded(60) * 1000;
        if (i % 13 == 0)
            ms = T0 + rnd.bounded(8) * Day + (i % 2 ? 0 : Day - 1); // a UTC day's edges
        if (i % 17 == 0)
            ms = ms / Quarter * Quarter; // a quarter's first millisecond
        const QString serial =
            i % 23 == 0 ? QString() : QStringLiteral("SN-%1").arg(rnd.bounded(30));
        TTestRecord r = RecordsKit::Record(ms, serial, true,
                                           QStringLiteral("/plant/K%1.pvl").arg(rnd.bounded(3)),
                                           QStringLiteral("op-%1").arg(rnd.bounded(4)));
        r.Station = QStringLiteral("stand-%1").arg(rnd.bounded(3));
        if (rnd.bounded(5) == 0)
            r.Mode = TTestRecord::TMode::Watch;
        r.Faults.clear();
        if (rnd.bounded(3) == 0) {
            r.Faults.push_back({TFault::Open({contact()}, {contact(), contact()}), 1, {}, {}});
            if (rnd.bounded(4) == 0) // two of a kind in one check
                r.Faults.push_back({TFault::Open({contact()}, {contact()}), 1, {}, {}});
            if (rnd.bounded(2))
                r.Faults.push_back({TFault::Short({{contact()}, {contact()}}), 1, {}, {}});
            if (rnd.bounded(3) == 0)
                r.Faults.push_back({TFault::Foreign({contact()}), 1, {}, {}});
            if (rnd.bounded(3) == 0)
                r.Faults.push_back(
                    {TFault::Moved({contact()}, {contact()}, {contact()}), 1, {}, {}});
        }
        r.Good = r.Faults.empty();
        r.FaultTotal = int(r.Faults.size());
        journal.push_back(r);
    }
    // Two checks of one harness at the same millisecond, БРАК and ГОДЕН.
    TTestRecord same = RecordsKit::Record(T0 + 3 * Day + 7 * Minute, QStringLiteral("SN-3"));
    journal.push_back(same);
    same.Uid = TTestRecord::NewUid();
    same.Faults.push_back({TFault::Open({"XT1:a1"}, {"XT1:a2"}), 1, {}, {}});
    same.Good = false;
    same.FaultTotal = 1;
    journal.push_back(same);
    // And two ГОДЕН at one millisecond at two stations: the lesser id's is the first.
    for (const char* station : {"stand-8", "stand-9"}) {
        TTestRecord twin = RecordsKit::Record(T0 + 4 * Day + 9 * Minute, QStringLiteral("SN-TWIN"));
        twin.Station = QLatin1String(station);
        journal.push_back(twin);
    }
    return journal;
}

// Writes the journal out of its order: one by one, in batches, and some records a second time.
void Write(TRecordsDatabase& db, std::vector<TTestRecord> journal, bool waiting = false) {
    QRandomGenerator rnd(7);
    for (std::size_t i = journal.size(); i > 1; --i)
        std::swap(journal[i - 1], journal[rnd.bounded(quint32(i))]);
    std::size_t at = 0;
    while (at < journal.size()) {
        const std::size_t n = std::min<std::size_t>(1 + rnd.bounded(5), journal.size() - at);
        std::vector<TTestRecord> batch(journal.begin() + qsizetype(at),
                                       journal.begin() + qsizetype(at + n));
        if (at > 0 && rnd.bounded(4) == 0)
            batch.push_back(journal[rnd.bounded(quint32(at))]); // sent again
        QString error;
        QVERIFY2(db.Insert(batch, &error, waiting), qPrintable(error));
        at += n;
    }
}

TRecordFilter Period(std::optional<qint64> from, std::optional<qint64> to) {
    TRecordFilter f;
    if (from)
        f.From = TTestRecord::FromMs(*from);
    if (to)
        f.To = TTestRecord::FromMs(*to);
    return f;
}

// The periods compared: the whole journal, local days, quarters across days, within one day, at
// a UTC midnight, open at either end, and random ones.
std::vector<TRecordFilter> Periods() {
    std::vector<TRecordFilter> periods{Period({}, {})};
    for (const auto& [first, last] : {std::pair{QDate(2026, 11, 30), QDate(2026, 12, 7)},
                                      {QDate(2026, 12, 2), QDate(2026, 12, 2)},
                                      {QDate(2026, 12, 1), QDate(2026, 12, 4)}}) {
        TRecordFilter f;
        f.SetDays(first, last);
        periods.push_back(f);
    }
    periods.push_back(Period(T0 + 2 * Day, {}));
    periods.push_back(Period({}, T0 + 5 * Day + 3 * Quarter));
    periods.push_back(Period(T0 + Day + 5 * Quarter, T0 + Day + 40 * Quarter)); // one UTC day
    periods.push_back(Period(T0 + 3 * Day, T0 + 4 * Day));                      // exactly one
    QRandomGenerator rnd(11);
    for (int i = 0; i < 12; ++i) {
        const qint64 a = T0 - Day + rnd.bounded(10 * 96) * Quarter;
        const qint64 b = a + rnd.bounded(1, 6 * 96) * Quarter;
        periods.push_back(Period(a, b));
    }
    return periods;
}

void CompareWithRecords(TRecordsDatabase& db, qint64 expectedChecks) {
    bool sawChecks = false;
    for (const TRecordFilter& f : Periods()) {
        for (TStatisticsGrouping by :
             {TStatisticsGrouping::Day, TStatisticsGrouping::Week, TStatisticsGrouping::Project,
              TStatisticsGrouping::Operator, TStatisticsGrouping::Station}) {
            QVERIFY(TCountedStatistics::Serves(f, by));
            QString error;
            const auto counted = TStatisticsQuery::Compute(db, f, by, &error);
            QVERIFY2(counted, qPrintable(error));
            const auto records =
                TStatisticsQuery::Compute(db, f, by, &error, TStatisticsQuery::TSource::Records);
            QVERIFY2(records, qPrintable(error));
            const QString where = f.From.toString(Qt::ISODateWithMs) + QStringLiteral(" .. ") +
                                  f.To.toString(Qt::ISODateWithMs);
            if (!(*counted == *records)) {
                qWarning("counted %s", counted->ToCsv().toUtf8().constData());
                qWarning("records %s", records->ToCsv().toUtf8().constData());
            }
            QVERIFY2(*counted == *records, qPrintable(where));
            if (!f.From.isValid() && !f.To.isValid() && by == TStatisticsGrouping::Day) {
                QCOMPARE(counted->Checks, expectedChecks);
                sawChecks = true;
            }
        }
    }
    QVERIFY(sawChecks);
}

} // namespace

class TStatisticsCountsTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() {
        QCOMPARE(QTimeZone::systemTimeZone().offsetFromUtc(QDateTime(QDate(2026, 12, 1), {})),
                 5 * 3600 + 45 * 60);
    }

    void countsAnswerAsTheRecordsDo_data() { RecordsKit::Backends(); }
    void countsAnswerAsTheRecordsDo() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        const std::vector<TTestRecord> journal = RandomJournal(2026);
        Write(*db, journal);
        CompareWithRecords(*db, qint64(journal.size()));
    }

    // A station's file counts the records waiting for the shared database and takes each out as
    // it is sent on: a harness's first check, its last, its only one.
    void recordsSentOnLeaveTheCounts() {
        TFreshDatabase fresh(false);
        auto db = fresh.Open();
        std::vector<TTestRecord> journal = RandomJournal(77);
        Write(*db, journal, true);
        std::sort(journal.begin(), journal.end(),
                  [](const TTestRecord& a, const TTestRecord& b) { return a.Time < b.Time; });
        QSet<QString> sent;
        for (std::size_t i = 0; i < journal.size(); i += 3) {
            QString error;
            QVERIFY2(db->RemoveSent(journal[i].Uid, &error), qPrintable(error));
            sent.insert(journal[i].Uid);
        }
        CompareWithRecords(*db, qint64(journal.size() - std::size_t(sent.size())));
        for (const TTestRecord& r : journal)
            QVERIFY(db->RemoveSent(r.Uid));
        const auto empty = TStatisticsQuery::Compute(*db, {}, TStatisticsGrouping::Day);
        QVERIFY(empty);
        QCOMPARE(empty->Checks, 0);
        QCOMPARE(empty->Harnesses, 0);
        QVERIFY(empty->Groups.empty() && empty->Contacts.empty() && empty->Repeats.empty());
        for (const TKindFigure& k : empty->Kinds)
            QCOMPARE(k.Checks + k.Faults + k.WatchChecks + k.WatchFaults, 0);
    }

    // The counts made at once of the records a database holds, as the upgrade to them does.
    void countsMadeOfTheRecordsThere_data() { RecordsKit::Backends(); }
    void countsMadeOfTheRecordsThere() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        const std::vector<TTestRecord> journal = RandomJournal(5);
        auto db = fresh.Open();
        Write(*db, journal);
        QSqlDatabase connection = db->Connection();
        QVERIFY(connection.transaction());
        QSqlQuery q(connection);
        for (const QString& table : TStatisticsCounts::TableNames())
            QVERIFY2(q.exec(QStringLiteral("DELETE FROM ") + table), qPrintable(table));
        QVERIFY2(TStatisticsCounts::Fill(q, shared), qPrintable(q.lastError().text()));
        QVERIFY(connection.commit());
        CompareWithRecords(*db, qint64(journal.size()));
    }

    // Only a period alone, on quarters of an hour, is answered by the counts.
    void countsServeAPeriodAlone() {
        TRecordFilter f;
        QVERIFY(TCountedStatistics::Serves(f, TStatisticsGrouping::Week));
        QVERIFY(TCountedStatistics::Serves(f, TStatisticsGrouping::Station));
        f.From = TTestRecord::FromMs(T0 + Quarter);
        QVERIFY(TCountedStatistics::Serves(f, TStatisticsGrouping::Day));
        f.From = TTestRecord::FromMs(T0 + Quarter + 1);
        QVERIFY(!TCountedStatistics::Serves(f, TStatisticsGrouping::Day));
        f = {};
        f.To = TTestRecord::FromMs(T0 + Quarter - 1);
        QVERIFY(!TCountedStatistics::Serves(f, TStatisticsGrouping::Day));
        for (auto set : std::initializer_list<void (*)(TRecordFilter&)>{
                 [](TRecordFilter& g) { g.Serial = "SN*"; },
                 [](TRecordFilter& g) { g.Project = "K1.pvl"; },
                 [](TRecordFilter& g) { g.Operator = "Иванов"; },
                 [](TRecordFilter& g) { g.Station = "stand-3"; },
                 [](TRecordFilter& g) { g.Contact = "XT1:a1"; },
                 [](TRecordFilter& g) { g.Verdict = TRecordFilter::TVerdict::Faulty; }}) {
            TRecordFilter g;
            set(g);
            QVERIFY(!TCountedStatistics::Serves(g, TStatisticsGrouping::Day));
        }
    }
};

QTEST_GUILESS_MAIN(TStatisticsCountsTest)
#include "TStatisticsCountsTest.moc"
