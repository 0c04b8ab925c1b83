// SPDX-License-Identifier: GPL-3.0-or-later
// The references kept in the records: a record's reference turned back into its wires, in the
// station's file and in the shared database; the first keeping of a sum standing; a text that is
// not its sum's refused; a record queued while the shared database was away taking its
// reference (and who learned it) there when it is sent.

#include "TReferenceArchive.h"
#include "RecordsTestKit.h"
#include "TCheckPoints.h"
#include "TRecordStore.h"
#include "TReference.h"
#include "TWireList.h"

#include <QCryptographicHash>
#include <QTcpServer>

using namespace RecordsKit;

namespace {
const qint64 T0 = QDateTime(QDate(2026, 6, 1), QTime(9, 15), Qt::UTC).toMSecsSinceEpoch();

// XT1:a1..a4 and XP2:a1..a4, one pin each (points 0..7); "XT1:a,1" carries a comma, as a
// quoted field of the list.
TCheckPoints Points() {
    std::vector<TCheckPoint> points;
    for (int i = 1; i <= 4; ++i)
        points.push_back({std::uint16_t(400 + i), {QStringLiteral("XT1:a%1").arg(i)}});
    for (int i = 1; i <= 4; ++i)
        points.push_back({std::uint16_t(272 + i), {QStringLiteral("XP2:a%1").arg(i)}});
    points[0].Contacts = QStringList{QStringLiteral("XT1:a,1")};
    return TCheckPoints(points);
}

TReference Harness() {
    return TReference::FromNets({{0, 4}, {1, 5, 6}, {3, 7}}, 8);
}

TTestRecord CheckedRecord(const QString& oper = QStringLiteral("Сидорова")) {
    TTestRecord r = Record(T0, QStringLiteral("SN-7"), true, QStringLiteral("/plant/K7.pvl"), oper);
    r.TakeReference(Harness(), Points());
    return r;
}

// The text as the database holds it, read past the program's own reading.
QByteArray StoredText(TRecordsDatabase& db, const QString& sum) {
    QSqlQuery q(db.Connection());
    q.prepare(QStringLiteral("SELECT wires FROM reference_lists WHERE sha256 = ?"));
    q.addBindValue(sum);
    if (!q.exec() || !q.next())
        return {};
    return q.value(0).toString().toUtf8();
}

qint64 KeptCount(TRecordsDatabase& db) {
    QSqlQuery q(db.Connection());
    return q.exec(QStringLiteral("SELECT COUNT(*) FROM reference_lists")) && q.next()
               ? q.value(0).toLongLong()
               : -1;
}

int ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}
} // namespace

class TReferenceArchiveTest : public QObject {
    Q_OBJECT
  private slots:
    void recordsReferenceTurnsBackIntoItsWires_data() { Backends(); }
    void recordsReferenceTurnsBackIntoItsWires() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        const TTestRecord record = CheckedRecord();
        // The sum the record keeps is the one a check computes of its reference.
        QCOMPARE(record.ReferenceSum, TTestRecord::ReferenceSumOf(Harness(), Points()));
        QVERIFY(db->Insert(record));

        const std::optional<TTestRecord> loaded = db->Load(record.Uid);
        QVERIFY(loaded);
        const QByteArray stored = StoredText(*db, loaded->ReferenceSum);
        QCOMPARE(QString::fromLatin1(
                     QCryptographicHash::hash(stored, QCryptographicHash::Sha256).toHex()),
                 loaded->ReferenceSum);
        const std::optional<TKeptReference> kept =
            TReferenceArchive::Find(*db, loaded->ReferenceSum.toUpper());
        QVERIFY(kept);
        QCOMPARE(kept->Sum, record.ReferenceSum);
        QCOMPARE(kept->Wires, TWireList::ToCsv(Harness(), Points()));
        QVERIFY(kept->Wires.startsWith("from,to\n\"XT1:a,1\",XP2:a1\n"));
        TReference back;
        std::vector<TWireListError> errors;
        QVERIFY(TWireList::FromCsv(kept->Wires, Points(), back, errors));
        QVERIFY(back == Harness());
        QCOMPARE(kept->Origin, TKeptReference::TOrigin::Checked);
        QCOMPARE(kept->KeptBy, QStringLiteral("Сидорова"));
        QCOMPARE(kept->Station, QStringLiteral("stand-3"));
        QCOMPARE(kept->Project, QStringLiteral("K7.pvl"));
        QCOMPARE(TTestRecord::ToMs(kept->Time), T0);

        // An unknown sum: nothing, and no error either.
        QString error;
        QVERIFY(!TReferenceArchive::Find(*db, QString(64, QLatin1Char('0')), &error));
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void firstKeepingStandsAndAFalseSumIsRefused_data() { Backends(); }
    void firstKeepingStandsAndAFalseSumIsRefused() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        const QByteArray wires = TWireList::ToCsv(Harness(), Points());
        TKeptReference learned =
            TKeptReference::Make(wires, QStringLiteral("/plant/K7.pvl"), QStringLiteral("Петров"),
                                 TKeptReference::TOrigin::Learned);
        QVERIFY(TReferenceArchive::Keep(*db, learned));
        // Checked against later by someone else, and learned again: still Петров's learning.
        QVERIFY(db->Insert(CheckedRecord(QStringLiteral("Иванов"))));
        TKeptReference again = learned;
        again.KeptBy = QStringLiteral("Кто-то");
        QVERIFY(TReferenceArchive::Keep(*db, again));
        QCOMPARE(KeptCount(*db), 1);
        const std::optional<TKeptReference> kept = TReferenceArchive::Find(*db, learned.Sum);
        QVERIFY(kept);
        QCOMPARE(kept->KeptBy, QStringLiteral("Петров"));
        QCOMPARE(kept->Origin, TKeptReference::TOrigin::Learned);

        // A text changed by one byte under the old sum is not kept.
        TKeptReference forged = learned;
        forged.Wires =
            TWireList::ToCsv(TReference::FromNets({{0, 4}, {1, 5}, {3, 7}}, 8), Points());
        forged.Sum = TKeptReference::SumOf(wires.left(wires.size() - 1));
        QString error;
        QVERIFY(!TReferenceArchive::Keep(*db, forged, &error));
        QVERIFY2(error.contains(forged.Sum), qPrintable(error));
        QCOMPARE(KeptCount(*db), 1);
        // A record whose text is not its sum's keeps no reference either.
        TTestRecord odd = CheckedRecord();
        odd.ReferenceWires = forged.Wires;
        odd.ReferenceSum = forged.Sum;
        QVERIFY(db->Insert(odd));
        QCOMPARE(KeptCount(*db), 1);
    }

    // A database of the first version (no reference_lists) gets the table at its opening, its
    // records untouched, and keeps references from then on.
    void queuedRecordTakesItsReferenceToTheSharedDatabase() {
        RECORDS_NEED_SERVER(true);
        TFreshDatabase fresh(true);
        fresh.Open(); // the schema made
        // The shared database away: the learning and the record stay at the station.
        TRecordsConfig away = fresh.Config;
        away.PgHost = QStringLiteral("127.0.0.1");
        away.PgPort = ClosedPort();
        const QByteArray wires = TWireList::ToCsv(Harness(), Points());
        const TTestRecord record = CheckedRecord();
        {
            TRecordStore store(away);
            QCOMPARE(store.Keep(TKeptReference::Make(wires, QStringLiteral("/plant/K7.pvl"),
                                                     QStringLiteral("Петров"),
                                                     TKeptReference::TOrigin::Learned)),
                     TWriteOutcome::Waiting);
            QCOMPARE(store.Write(record), TWriteOutcome::Waiting);
            QVERIFY(store.FindReference(record.ReferenceSum)); // from the station's file
        }
        // Back: the record goes on, its reference ahead of it with who learned it.
        {
            TRecordStore store(fresh.Config);
            QCOMPARE(store.SendWaiting(), 0);
        }
        auto db = fresh.Open();
        QVERIFY(db->Contains(record.Uid));
        const std::optional<TKeptReference> kept =
            TReferenceArchive::Find(*db, record.ReferenceSum);
        QVERIFY(kept);
        QCOMPARE(kept->Wires, wires);
        QCOMPARE(kept->KeptBy, QStringLiteral("Петров"));
        QCOMPARE(kept->Origin, TKeptReference::TOrigin::Learned);
    }
};

QTEST_GUILESS_MAIN(TReferenceArchiveTest)
#include "TReferenceArchiveTest.moc"
