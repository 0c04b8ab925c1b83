// SPDX-License-Identifier: GPL-3.0-or-later
// The records' database, the same cases against the station's SQLite file and against a real
// PostgreSQL server: the schema and its version, a record's columns as stored, whole-or-absent
// writes, a record sent twice, the filters at their exact bounds, pages, the queue.

#include "RecordsTestKit.h"
#include "TRecordFilter.h"

#include <QJsonDocument>
#include <QSet>
#include <QSqlRecord>

using namespace RecordsKit;

namespace {
// A connection of the test's own to the database under test, to look at it as stored.
class TPeek {
  public:
    explicit TPeek(const TFreshDatabase& fresh)
        : FName(QStringLiteral("peek-") + QUuid::createUuid().toString()) {
        QSqlDatabase db;
        if (fresh.Shared()) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), FName);
            db.setHostName(fresh.Config.PgHost);
            db.setPort(fresh.Config.PgPort);
            db.setUserName(fresh.Config.PgUser);
            db.setDatabaseName(fresh.Config.PgDatabase);
        } else {
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
            db.setDatabaseName(fresh.Config.LocalPath);
        }
        if (!db.open())
            qFatal("%s", qPrintable(db.lastError().text()));
    }
    ~TPeek() {
        QSqlDatabase::database(FName, false).close();
        QSqlDatabase::removeDatabase(FName);
    }
    QVariantList Row(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(FName, false));
        QVariantList row;
        if (!q.exec(sql)) {
            qWarning("%s", qPrintable(q.lastError().text()));
            return row;
        }
        if (q.next())
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
        return row;
    }
    qint64 Number(const QString& sql) {
        const QVariantList row = Row(sql);
        return row.isEmpty() ? -1 : row[0].toLongLong();
    }
    bool Exec(const QString& sql) {
        QSqlQuery q(QSqlDatabase::database(FName, false));
        return q.exec(sql);
    }

  private:
    QString FName;
};

QStringList Uids(const std::vector<TTestRecord>& records) {
    QStringList out;
    for (const TTestRecord& r : records)
        out << r.Uid;
    return out;
}

constexpr qint64 Day = 24LL * 3600 * 1000;
const qint64 T0 = QDateTime(QDate(2026, 3, 2), QTime(8, 0), Qt::UTC).toMSecsSinceEpoch();
} // namespace

class TRecordsDatabaseTest : public QObject {
    Q_OBJECT
  private slots:
    void schemaIsMadeOnceAndVersioned_data() { Backends(); }
    void schemaIsMadeOnceAndVersioned() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        {
            auto db = fresh.Open();
            QCOMPARE(db->SchemaVersion(), TRecordsDatabase::CurrentSchema);
            QVERIFY(db->Insert(Record(T0, "A1")));
        }
        TPeek peek(fresh);
        QCOMPARE(peek.Number("SELECT COUNT(*) FROM schema_version"),
                 TRecordsDatabase::CurrentSchema);
        {
            // Opened again: nothing made twice, the record still there.
            auto db = fresh.Open();
            QCOMPARE(db->SchemaVersion(), TRecordsDatabase::CurrentSchema);
            QCOMPARE(db->Count({}), 1);
        }
        QCOMPARE(peek.Number("SELECT COUNT(*) FROM schema_version"),
                 TRecordsDatabase::CurrentSchema);
        // A database a newer program has upgraded is refused, saying why, and left as it is.
        QVERIFY(peek.Exec("INSERT INTO schema_version (version) VALUES (3)"));
        TRecordsDatabase newer(fresh.Config, shared ? TRecordsDatabase::TKind::Shared
                                                    : TRecordsDatabase::TKind::Local);
        QString error;
        QVERIFY(!newer.Open(&error));
        QVERIFY2(error.contains("схема 3") && error.contains("схему 2"), qPrintable(error));
        QVERIFY(!newer.IsOpen());
        QCOMPARE(peek.Number("SELECT COUNT(*) FROM records"), 1);
    }

    void recordIsStoredColumnByColumn_data() { Backends(); }
    void recordIsStoredColumnByColumn() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        TTestRecord r = Record(T0 + 123, "SN-0042", true, "/home/op/Pvl/жгут, K1.pvl", "Пётр");
        r.Mode = TTestRecord::TMode::Watch;
        r.Scans = 5012;
        const TFault swap = TFault::Swap({"XT1:a1"}, {"XT1:a2"});
        const TFault moved = TFault::Moved({"XT1:b1"}, {"XT1:b2"}, {"XP2:c1", "XP2:c2"});
        const TFault foreign = TFault::Foreign({"XP2:a4"});
        r.Faults = {{swap, 3, TTestRecord::FromMs(T0 + 10), TTestRecord::FromMs(T0 + 99)},
                    {moved, 1, TTestRecord::FromMs(T0 + 50), TTestRecord::FromMs(T0 + 50)},
                    {foreign, 7, TTestRecord::FromMs(T0 + 1), TTestRecord::FromMs(T0 + 120)}};
        r.Good = false;
        r.FaultTotal = 3;
        QVERIFY(db->Insert(r));

        TPeek peek(fresh);
        const QVariantList row =
            peek.Row(QStringLiteral("SELECT uid, checked_at, station, operator_name, project, "
                                    "project_path, reference_sum, serial, verdict, mode, scans, "
                                    "fault_count FROM records"));
        QCOMPARE(row.size(), 12);
        QCOMPARE(row[0].toString(), r.Uid);
        QCOMPARE(row[1].toLongLong(), T0 + 123); // ms since 1970 UTC
        QCOMPARE(row[2].toString(), QString("stand-3"));
        QCOMPARE(row[3].toString(), QString("Пётр"));
        QCOMPARE(row[4].toString(), QString("жгут, K1.pvl"));
        QCOMPARE(row[5].toString(), QString("/home/op/Pvl/жгут, K1.pvl"));
        QCOMPARE(row[6].toString(), r.ReferenceSum);
        QCOMPARE(row[7].toString(), QString("SN-0042"));
        QCOMPARE(row[8].toString(), QString("faulty"));
        QCOMPARE(row[9].toString(), QString("watch"));
        QCOMPARE(row[10].toInt(), 5012);
        QCOMPARE(row[11].toInt(), 3);
        const QVariantList fault = peek.Row(QStringLiteral(
            "SELECT seq, kind, contacts, detail, seen, first_seen, last_seen FROM faults "
            "WHERE seq = 1"));
        QCOMPARE(fault.size(), 7);
        QCOMPARE(fault[1].toString(), QString("miswire"));
        QCOMPARE(fault[2].toString(), QString("XT1:b1 XT1:b2 XP2:c1 XP2:c2"));
        QCOMPARE(QJsonDocument::fromJson(fault[3].toString().toUtf8()).object(), moved.ToJson());
        QCOMPARE(fault[4].toInt(), 1);
        QCOMPARE(fault[5].toLongLong(), T0 + 50);
        QCOMPARE(fault[6].toLongLong(), T0 + 50);

        // Read back whole, the faults in their order.
        const std::optional<TTestRecord> back = db->Load(r.Uid);
        QVERIFY(back);
        QCOMPARE(*back, r);
        QVERIFY(!db->Load(TTestRecord::NewUid()));
        // A one-shot verify's faults carry no times.
        TTestRecord once = Record(T0 + 200, "SN-0043", false);
        QVERIFY(db->Insert(once));
        QCOMPARE(peek.Number(QStringLiteral("SELECT COUNT(*) FROM faults WHERE record_uid = '%1' "
                                            "AND first_seen IS NULL AND last_seen IS NULL")
                                 .arg(once.Uid)),
                 2);
        QCOMPARE(*db->Load(once.Uid), once);
    }

    void aRecordIsWholeOrAbsent_data() { Backends(); }
    void aRecordIsWholeOrAbsent() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        // The faults cannot be written: the record's own row goes with them.
        TPeek peek(fresh);
        QVERIFY(peek.Exec("ALTER TABLE faults RENAME TO faults_gone"));
        QString error;
        const TTestRecord faulty = Record(T0, "B7", false);
        QVERIFY(!db->Insert(faulty, &error));
        QVERIFY2(error.contains("Не удалось записать проверку"), qPrintable(error));
        QVERIFY(peek.Exec("ALTER TABLE faults_gone RENAME TO faults"));
        QCOMPARE(peek.Number("SELECT COUNT(*) FROM records"), 0);
        // The same record written again leaves one record and one set of faults.
        QVERIFY(db->Insert(faulty));
        QVERIFY(db->Insert(faulty));
        TTestRecord changed = faulty;
        changed.Serial = QStringLiteral("other");
        QVERIFY(db->Insert(changed));
        QCOMPARE(
            peek.Number(
                QStringLiteral("SELECT COUNT(*) FROM records WHERE uid = '%1'").arg(faulty.Uid)),
            1);
        QCOMPARE(db->Load(faulty.Uid)->Serial, QString("B7"));
        QCOMPARE(peek.Number(QStringLiteral("SELECT COUNT(*) FROM faults WHERE record_uid = '%1'")
                                 .arg(faulty.Uid)),
                 2);
    }

    void aFaultOfAFormNotKnownShowsItsStoredText_data() { Backends(); }
    void aFaultOfAFormNotKnownShowsItsStoredText() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        const TTestRecord r = Record(T0, "N1", false);
        QVERIFY(db->Insert(r));
        // As a newer program might write them: a kind this one knows in a form it does not, and
        // a kind it does not know at all.
        TPeek peek(fresh);
        QVERIFY(peek.Exec(QStringLiteral("UPDATE faults SET detail = '{\"kind\": \"open\", "
                                         "\"text\": \"обрыв: XT1:a1 по новому\"}' WHERE "
                                         "record_uid = '%1' AND seq = 0")
                              .arg(r.Uid)));
        QVERIFY(peek.Exec(QStringLiteral("UPDATE faults SET detail = '{\"kind\": \"burnt\", "
                                         "\"text\": \"прогар: XT1:a2\"}' WHERE "
                                         "record_uid = '%1' AND seq = 1")
                              .arg(r.Uid)));
        const std::optional<TTestRecord> read = db->Load(r.Uid);
        QVERIFY(read);
        QCOMPARE(read->Faults.size(), std::size_t(2));
        QCOMPARE(read->Faults[0].Fault.Text(), QStringLiteral("обрыв: XT1:a1 по новому"));
        QCOMPARE(read->Faults[0].Fault.Kind, TFaultKind::Open);
        QCOMPARE(read->Faults[1].Fault.Text(), QStringLiteral("прогар: XT1:a2"));
        QCOMPARE(read->Faults[1].Fault.Kind, TFaultKind::Foreign);
        // Passed on (a waiting record sent to the shared database) it keeps its text.
        TTestRecord again = *read;
        again.Uid = TTestRecord::NewUid();
        QVERIFY(db->Insert(again));
        QCOMPARE(db->Load(again.Uid)->Faults[0].Fault.Text(),
                 QStringLiteral("обрыв: XT1:a1 по новому"));
    }

    void severalRecordsInOneTransaction_data() { Backends(); }
    void severalRecordsInOneTransaction() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        const TTestRecord a = Record(T0, "A");
        const TTestRecord b = Record(T0 + 1, "B", false);
        QVERIFY(db->Insert(std::vector<TTestRecord>{a, b}));
        QCOMPARE(db->Count({}), 2);
        // The second of a batch breaks: the first of it is not kept either.
        TPeek peek(fresh);
        QVERIFY(peek.Exec("ALTER TABLE faults RENAME TO faults_gone"));
        const TTestRecord c = Record(T0 + 2, "C");
        const TTestRecord d = Record(T0 + 3, "D", false);
        QVERIFY(!db->Insert(std::vector<TTestRecord>{c, d}));
        QVERIFY(peek.Exec("ALTER TABLE faults_gone RENAME TO faults"));
        QCOMPARE(db->Count({}), 2);
        QVERIFY(!db->Contains(c.Uid));
        // A batch with one record there already writes the others.
        QVERIFY(db->Insert(std::vector<TTestRecord>{b, c}));
        QCOMPARE(db->Count({}), 3);
        QCOMPARE(peek.Number("SELECT COUNT(*) FROM faults"), 2);
    }

    void filtersTakeTheirExactBounds_data() { Backends(); }
    void filtersTakeTheirExactBounds() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        const std::vector<TTestRecord> all{
            Record(T0 - 1, "A1"),                                             // 0
            Record(T0, "A10", false),                                         // 1
            Record(T0 + Day - 1, "A1", true, "/x/K2.pvl"),                    // 2
            Record(T0 + Day, "B1", false, "/y/K2.pvl", "Петров"),             // 3
            Record(T0 + 2 * Day, "a1", true, "/plant/жгут K1.pvl", "Петров"), // 4
        };
        QVERIFY(db->Insert(all));
        const auto take = [&](const TRecordFilter& f) {
            QStringList got = Uids(db->Page(f, nullptr, 100));
            if (db->Count(f) != got.size())
                return QStringList{"count differs"};
            return got;
        };
        const auto uids = [&](std::initializer_list<int> rows) {
            QStringList out;
            for (int i : rows)
                out << all[std::size_t(i)].Uid;
            return out;
        };
        QCOMPARE(take({}), uids({4, 3, 2, 1, 0})); // newest first
        TRecordFilter f;
        f.From = TTestRecord::FromMs(T0);     // from this moment on
        f.To = TTestRecord::FromMs(T0 + Day); // before this moment
        QCOMPARE(take(f), uids({2, 1}));
        f = {};
        f.Serial = "A1"; // exactly, case and all
        QCOMPARE(take(f), uids({2, 0}));
        f.Serial = " A1 ";
        QCOMPARE(take(f), uids({2, 0}));
        f.Serial = "A1*"; // starts with
        QCOMPARE(take(f), uids({2, 1, 0}));
        f.Serial = "A10*";
        QCOMPARE(take(f), uids({1}));
        f.Serial = "*"; // every serial number
        QCOMPARE(take(f).size(), 5);
        f = {};
        f.Project = "K2.pvl"; // the file name, whatever the folder
        QCOMPARE(take(f), uids({3, 2}));
        f.Project = "жгут K1.pvl";
        QCOMPARE(take(f), uids({4, 1, 0}));
        f = {};
        f.Operator = "Петров";
        QCOMPARE(take(f), uids({4, 3})); // by name
        f = {};
        f.Verdict = TRecordFilter::TVerdict::Faulty;
        QCOMPARE(take(f), uids({3, 1}));
        f.Verdict = TRecordFilter::TVerdict::Good;
        QCOMPARE(take(f), uids({4, 2, 0}));
        f.Project = "K2.pvl"; // parts together
        QCOMPARE(take(f), uids({2}));
        // Whole days in local time: the last day counts to its end.
        f = {};
        const QDate first = TTestRecord::FromMs(T0).toLocalTime().date();
        f.SetDays(first, first);
        QCOMPARE(f.From, first.startOfDay());
        QCOMPARE(f.To, first.addDays(1).startOfDay());
        QCOMPARE(db->Projects(), QStringList({"K2.pvl", "жгут K1.pvl"}));
        QCOMPARE(db->Operators(), QStringList({"Иванов", "Петров"}));
    }

    void pagesListEveryRecordOnce_data() { Backends(); }
    void pagesListEveryRecordOnce() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        // Many records share a moment: the pages must neither skip nor repeat them.
        std::vector<TTestRecord> all;
        for (int i = 0; i < 250; ++i)
            all.push_back(Record(T0 + (i / 7), QStringLiteral("S%1").arg(i % 3), i % 5 != 0));
        QVERIFY(db->Insert(all));
        std::sort(all.begin(), all.end(), [](const TTestRecord& a, const TTestRecord& b) {
            return a.Time != b.Time ? a.Time > b.Time : a.Uid > b.Uid;
        });
        for (int size : {1, 7, 50, 249, 250, 251}) {
            QStringList got;
            std::vector<TTestRecord> page = db->Page({}, nullptr, size);
            while (!page.empty()) {
                got += Uids(page);
                const TTestRecord last = page.back();
                page = db->Page({}, &last, size);
            }
            QCOMPARE(got, Uids(all));
        }
        // With a filter, and with the faults.
        TRecordFilter f;
        f.Serial = "S1";
        QStringList got;
        std::vector<TTestRecord> page = db->LoadAll(f, nullptr, 20);
        int faults = 0;
        while (!page.empty()) {
            for (const TTestRecord& r : page) {
                QCOMPARE(r.Serial, QString("S1"));
                QCOMPARE(int(r.Faults.size()), r.FaultTotal);
                QCOMPARE(r.Good, r.Faults.empty());
                faults += int(r.Faults.size());
            }
            got += Uids(page);
            const TTestRecord last = page.back();
            page = db->LoadAll(f, &last, 20);
        }
        QCOMPARE(got.size(), db->Count(f));
        QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), got.size());
        int expected = 0;
        for (int i = 0; i < 250; ++i)
            if (i % 3 == 1 && i % 5 == 0)
                expected += 2;
        QCOMPARE(faults, expected);
    }

    void theQueueKeepsOrderAndLetsGoWhole_data() { Backends(); }
    void theQueueKeepsOrderAndLetsGoWhole() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        const TTestRecord late = Record(T0 + 5, "L", false);
        const TTestRecord early = Record(T0, "E", false);
        const TTestRecord kept = Record(T0 + 1, "K");
        QVERIFY(db->Insert(late, nullptr, true));
        QVERIFY(db->Insert(early, nullptr, true));
        QVERIFY(db->Insert(kept));
        QCOMPARE(db->WaitingCount(), 2);
        QCOMPARE(db->WaitingUids(), QStringList({early.Uid, late.Uid})); // in the checks' order
        QVERIFY(db->RemoveSent(early.Uid));
        QCOMPARE(db->WaitingUids(), QStringList({late.Uid}));
        QVERIFY(!db->Contains(early.Uid));
        TPeek peek(fresh);
        QCOMPARE(peek.Number(QStringLiteral("SELECT COUNT(*) FROM faults WHERE record_uid = '%1'")
                                 .arg(early.Uid)),
                 0);
        QCOMPARE(peek.Number("SELECT COUNT(*) FROM faults"), 2);
        QVERIFY(db->Contains(kept.Uid));
    }
};

QTEST_GUILESS_MAIN(TRecordsDatabaseTest)
#include "TRecordsDatabaseTest.moc"
