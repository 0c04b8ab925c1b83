// SPDX-License-Identifier: GPL-3.0-or-later
// The audit of the chains, in the station's file and in PostgreSQL: records written by the
// station's store, then changed behind the program's back with plain SQL (a record deleted, a
// verdict or a fault changed, two records swapped, a fingerprint computed anew, a record slipped
// in); each break named exactly once, at its place. A chain whose station lost the shared server
// for a while is whole, its queued records in their places.

#include "TRecordAudit.h"
#include "RecordsTestKit.h"
#include "TChainReader.h"
#include "TRecordChain.h"
#include "TRecordStore.h"

#include <QTcpServer>

using namespace RecordsKit;

namespace {
const qint64 T0 = QDateTime(QDate(2026, 6, 1), QTime(7, 0), Qt::UTC).toMSecsSinceEpoch();

using TKind = TChainBreak::TKind;

// Records 1..n of station stand-3, every other one БРАК, written by the station's store (into
// the shared database when there is one).
QStringList WriteChain(const TFreshDatabase& fresh, int n, const QString& station = "stand-3") {
    TRecordStore store(fresh.Config);
    QStringList uids;
    for (int i = 1; i <= n; ++i) {
        TTestRecord r = Record(T0 + i * 60000, QStringLiteral("SN-%1").arg(i), i % 2 == 1);
        r.Station = station;
        QString error;
        if (store.Write(r, &error) != TWriteOutcome::Stored)
            qFatal("%s", qPrintable(error));
        uids << r.Uid;
    }
    return uids;
}

bool Exec(TRecordsDatabase& db, const QString& sql) {
    QSqlQuery q(db.Connection());
    if (!q.exec(sql))
        qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    return q.isActive();
}

// What an audit found, one line a break: "kind seq uid".
QStringList Found(TRecordsDatabase& db, const QString& station = {}) {
    QString error;
    const std::optional<TAuditResult> result = TRecordAudit::Run(db, station, &error);
    if (!result) {
        qWarning("%s", qPrintable(error));
        return {QStringLiteral("unreadable")};
    }
    QStringList out;
    for (const TChainBreak& b : result->Breaks) {
        static const char* const names[] = {"deleted", "altered", "inserted", "reordered"};
        QString line = QStringLiteral("%1 %2").arg(QLatin1String(names[int(b.Kind)])).arg(b.Seq);
        if (b.Kind == TKind::Deleted && b.SeqTo != b.Seq)
            line += QStringLiteral("-%1").arg(b.SeqTo);
        if (!b.Uid.isEmpty())
            line += QLatin1Char(' ') + b.Uid;
        if (b.Kind == TKind::Reordered)
            line += QStringLiteral(" after %1").arg(b.After);
        if (b.Rewritten)
            line += QStringLiteral(" rewritten");
        out << line;
    }
    return out;
}

int ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}
} // namespace

class TRecordAuditTest : public QObject {
    Q_OBJECT
  private slots:
    void aWholeChainOfTwoStations_data() { Backends(); }
    void aWholeChainOfTwoStations() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        const QStringList a = WriteChain(fresh, 4);
        WriteChain(fresh, 3, QStringLiteral("stand-4"));
        auto db = fresh.Open();
        QString error;
        const std::optional<TAuditResult> all = TRecordAudit::Run(*db, {}, &error);
        QVERIFY2(all, qPrintable(error));
        QVERIFY(all->Whole());
        QCOMPARE(all->Stations, 2);
        QCOMPARE(all->Records, 7);
        QVERIFY(all->Summary().contains(QStringLiteral("цела")));
        const std::optional<TAuditResult> one = TRecordAudit::Run(*db, "stand-4", &error);
        QCOMPARE(one->Records, 3);
        // Each station's chain counts from 1 on its own.
        const std::optional<TTestRecord> first = db->Load(a[0]);
        QCOMPARE(first->ChainSeq, 1);
        QVERIFY(first->PrevHash.isEmpty());
        const std::optional<TTestRecord> second = db->Load(a[1]);
        QCOMPARE(second->ChainSeq, 2);
        QCOMPARE(second->PrevHash, first->Hash);
        // A break in one station's chain is that station's alone.
        QVERIFY(Exec(*db, "UPDATE records SET serial = 'X' WHERE uid = '" + a[2] + "'"));
        QCOMPARE(Found(*db, "stand-4"), QStringList());
        QCOMPARE(Found(*db), QStringList{"altered 3 " + a[2]});
    }

    void eachBreakIsNamed_data() {
        QTest::addColumn<bool>("shared");
        QTest::addColumn<QString>("tamper");
        for (const bool shared : {false, true})
            for (const char* tamper : {"deleted", "deleted two", "verdict", "fault", "swapped",
                                       "rewritten", "inserted", "unchained"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(
                    shared ? "postgresql" : "sqlite", QLatin1String(tamper))))
                    << shared << QString::fromLatin1(tamper);
    }
    void eachBreakIsNamed() {
        QFETCH(bool, shared);
        QFETCH(QString, tamper);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        const QStringList u = WriteChain(fresh, 6);
        auto db = fresh.Open();
        QCOMPARE(Found(*db), QStringList());
        const auto where = [&](int n) { return QStringLiteral(" WHERE uid = '%1'").arg(u[n - 1]); };
        const auto faultsOf = [&](int n) {
            return QStringLiteral(" WHERE record_uid = '%1'").arg(u[n - 1]);
        };
        QStringList expected;
        if (tamper == "deleted") {
            QVERIFY(Exec(*db, "DELETE FROM faults" + faultsOf(3)));
            QVERIFY(Exec(*db, "DELETE FROM records" + where(3)));
            expected = {"deleted 3"};
        } else if (tamper == "deleted two") {
            for (const int n : {2, 3}) {
                QVERIFY(Exec(*db, "DELETE FROM faults" + faultsOf(n)));
                QVERIFY(Exec(*db, "DELETE FROM records" + where(n)));
            }
            expected = {"deleted 2-3"};
        } else if (tamper == "verdict") {
            QVERIFY(Exec(*db, "UPDATE records SET verdict = 'good'" + where(4)));
            expected = {"altered 4 " + u[3]};
        } else if (tamper == "fault") {
            // A fault of a БРАК record taken away, the count left as it was.
            QVERIFY(Exec(*db, "DELETE FROM faults" + faultsOf(2) + " AND seq = 1"));
            expected = {"altered 2 " + u[1]};
        } else if (tamper == "swapped") {
            QVERIFY(Exec(*db, "UPDATE records SET chain_seq = 7 - chain_seq WHERE uid IN ('" +
                                  u[2] + "', '" + u[3] + "')"));
            // Record 4 now stands third, record 3 fourth.
            expected = {"reordered 3 " + u[3] + " after 4", "reordered 4 " + u[2] + " after 2"};
        } else if (tamper == "rewritten") {
            // Changed and fingerprinted anew: the next record remembers the old fingerprint.
            std::vector<TChainRow> rows;
            QVERIFY(TChainReader::Read(db->Connection(), "uid = ?", {u[3]}, rows, nullptr));
            rows[0].Serial = QStringLiteral("SN-forged");
            QVERIFY(Exec(*db, "UPDATE records SET serial = 'SN-forged', record_hash = '" +
                                  TRecordChain::HashOf(rows[0]) + "'" + where(4)));
            expected = {"altered 4 " + u[3] + " rewritten"};
        } else if (tamper == "inserted") {
            // A copy of record 5 claiming its place, with another serial number.
            TTestRecord forged = *db->Load(u[4]);
            forged.Uid = TTestRecord::NewUid();
            forged.Serial = QStringLiteral("SN-forged");
            QVERIFY(db->Insert(forged));
            expected = {"inserted 5 " + forged.Uid};
        } else if (tamper == "unchained") {
            TTestRecord forged = Record(T0 + 3 * 60000 + 1, QStringLiteral("SN-forged"));
            QVERIFY(db->Insert(forged));
            expected = {"inserted 0 " + forged.Uid};
        }
        const QStringList found = Found(*db);
        QVERIFY2(found == expected, qPrintable(found.join(" | ")));
    }

    // The station keeps writing while the shared server is away: its records wait in the file
    // with their places and go on, oldest first, when it answers again.
    void aChainIsWholeAfterAnOutage() {
        RECORDS_NEED_SERVER(true);
        TFreshDatabase fresh(true);
        WriteChain(fresh, 2);
        TRecordsConfig away = fresh.Config;
        away.PgPort = ClosedPort();
        away.ConnectTimeoutS = 2;
        QStringList queued;
        {
            TRecordStore store(away);
            for (int i = 3; i <= 4; ++i) {
                TTestRecord r = Record(T0 + i * 60000, QStringLiteral("SN-%1").arg(i), false);
                QCOMPARE(store.Write(r), TWriteOutcome::Waiting);
                queued << r.Uid;
            }
            QCOMPARE(store.Waiting(), 2);
            // The station's file alone is a whole chain too, its queued records included.
            const QStringList found = Found(store.Local());
            QVERIFY2(found.isEmpty(), qPrintable(found.join(" | ")));
        }
        TRecordStore store(fresh.Config);
        TTestRecord last = Record(T0 + 5 * 60000, QStringLiteral("SN-5"));
        QCOMPARE(store.Write(last), TWriteOutcome::Stored);
        QCOMPARE(store.Waiting(), 0);
        auto db = fresh.Open();
        QCOMPARE(Found(*db), QStringList());
        QCOMPARE(db->Load(queued[0])->ChainSeq, 3);
        QCOMPARE(db->Load(queued[1])->ChainSeq, 4);
        QCOMPARE(db->Load(last.Uid)->ChainSeq, 5);
        QCOMPARE(db->Load(last.Uid)->PrevHash, db->Load(queued[1])->Hash);
        QCOMPARE(db->Count({}), 5);
    }
};

QTEST_GUILESS_MAIN(TRecordAuditTest)
#include "TRecordAuditTest.moc"
