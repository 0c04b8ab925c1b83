// SPDX-License-Identifier: GPL-3.0-or-later
// The canonical form of a record, byte for byte as the help describes it (so a third party can
// compute the fingerprint again), the row a record is written as, and its link to the record
// before it.

#include "TRecordChain.h"
#include "TTestRecord.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QTest>

namespace {
TChainRow Sample() {
    TChainRow row;
    row.Uid = QStringLiteral("3f0c2a8e-1111-4222-8333-944455556666");
    row.Station = QStringLiteral("stand-3");
    row.Seq = 7;
    row.PrevHash = QString(32, QLatin1Char('a')).replace(QLatin1String("a"), QLatin1String("ab"));
    row.CheckedAt = 1772438400123;
    row.Operator = QStringLiteral("Петров\\П\nА");
    row.Project = QStringLiteral("K1.pvl");
    row.ProjectPath = QStringLiteral("/plant/K1.pvl");
    row.ReferenceSum = QStringLiteral("9f2c") + QString(60, QLatin1Char('0'));
    row.Serial = QStringLiteral("SN-0042\r");
    row.Verdict = QStringLiteral("faulty");
    row.Mode = QStringLiteral("watch");
    row.Scans = 12;
    row.FaultCount = 2;
    row.ReferenceApproved = 1;
    row.Faults.push_back({QStringLiteral("open"), QStringLiteral("XT1:a3 XP2:b5"),
                          QStringLiteral("{\"kind\":\"open\"}"), 3, 1772438400000, 1772438400100});
    row.Faults.push_back({QStringLiteral("short"), QStringLiteral("XT1:a3 XT1:a4"),
                          QStringLiteral("{}"), 1, std::nullopt, std::nullopt});
    row.Hash = QStringLiteral("not part of the form");
    return row;
}
} // namespace

class TRecordChainTest : public QObject {
    Q_OBJECT
  private slots:
    void canonicalFormIsTheDocumentedBytes() {
        const QByteArray expected = "pinvel-record=1\n"
                                    "uid=3f0c2a8e-1111-4222-8333-944455556666\n"
                                    "station=stand-3\n"
                                    "chain_seq=7\n"
                                    "prev_hash=abababababababababababababababab"
                                    "abababababababababababababababab\n"
                                    "checked_at=1772438400123\n"
                                    "operator_name=Петров\\\\П\\nА\n"
                                    "project=K1.pvl\n"
                                    "project_path=/plant/K1.pvl\n"
                                    "reference_sum=9f2c000000000000000000000000000000000000000000"
                                    "000000000000000000\n"
                                    "serial=SN-0042\\r\n"
                                    "verdict=faulty\n"
                                    "mode=watch\n"
                                    "scans=12\n"
                                    "fault_count=2\n"
                                    "reference_approved=1\n"
                                    "fault=0\n"
                                    "kind=open\n"
                                    "contacts=XT1:a3 XP2:b5\n"
                                    "detail={\"kind\":\"open\"}\n"
                                    "seen=3\n"
                                    "first_seen=1772438400000\n"
                                    "last_seen=1772438400100\n"
                                    "fault=1\n"
                                    "kind=short\n"
                                    "contacts=XT1:a3 XT1:a4\n"
                                    "detail={}\n"
                                    "seen=1\n"
                                    "first_seen=\n"
                                    "last_seen=\n";
        QCOMPARE(TRecordChain::Canonical(Sample()), expected);
        // Computed apart from the program (sha256sum of the bytes above).
        QCOMPARE(
            TRecordChain::HashOf(Sample()),
            QStringLiteral("e87c2f45b2af512c6c12d6a45b4a3a141d080f62da2952f94608bde379636485"));
    }

    void everyFieldCountsInTheFingerprint() {
        const QString base = TRecordChain::HashOf(Sample());
        QList<std::function<void(TChainRow&)>> changes{
            [](TChainRow& r) { r.Uid += 'x'; },
            [](TChainRow& r) { r.Station += 'x'; },
            [](TChainRow& r) { r.Seq += 1; },
            [](TChainRow& r) { r.PrevHash[0] = 'c'; },
            [](TChainRow& r) { r.CheckedAt += 1; },
            [](TChainRow& r) { r.Operator += 'x'; },
            [](TChainRow& r) { r.Project += 'x'; },
            [](TChainRow& r) { r.ProjectPath += 'x'; },
            [](TChainRow& r) { r.ReferenceSum[5] = '1'; },
            [](TChainRow& r) { r.Serial.chop(1); },
            [](TChainRow& r) { r.Verdict = QStringLiteral("good"); },
            [](TChainRow& r) { r.Mode = QStringLiteral("verify"); },
            [](TChainRow& r) { r.Scans -= 1; },
            [](TChainRow& r) { r.FaultCount -= 1; },
            [](TChainRow& r) { r.Faults.pop_back(); },
            [](TChainRow& r) { std::swap(r.Faults[0], r.Faults[1]); },
            [](TChainRow& r) { r.Faults[1].Kind = QStringLiteral("open"); },
            [](TChainRow& r) { r.Faults[1].Contacts = QStringLiteral("XT1:a3"); },
            [](TChainRow& r) { r.Faults[0].Detail = QStringLiteral("{}"); },
            [](TChainRow& r) { r.Faults[0].Seen = 2; },
            [](TChainRow& r) { r.Faults[0].First = std::nullopt; },
            [](TChainRow& r) { r.Faults[1].Last = 0; },
        };
        for (qsizetype i = 0; i < changes.size(); ++i) {
            TChainRow row = Sample();
            changes[i](row);
            QVERIFY2(TRecordChain::HashOf(row) != base, qPrintable(QString::number(i)));
        }
        // The stored fingerprint itself is not part of what it covers.
        TChainRow row = Sample();
        row.Hash.clear();
        QCOMPARE(TRecordChain::HashOf(row), base);
        // A field's text cannot pass for the next field: the line break inside is escaped.
        TChainRow a = Sample();
        TChainRow b = Sample();
        a.Operator = QStringLiteral("A\nproject=K1.pvl");
        b.Operator = QStringLiteral("A");
        b.Project = QStringLiteral("K1.pvl\nproject=K1.pvl");
        QVERIFY(TRecordChain::Canonical(a) != TRecordChain::Canonical(b));
    }

    void aRecordIsWrittenAsItsRow() {
        TTestRecord r;
        r.Uid = QStringLiteral("u-1");
        r.Time = TTestRecord::FromMs(1772438400123);
        r.Station = QStringLiteral("stand-3");
        r.ProjectPath = QStringLiteral("/plant/жгут K1.pvl");
        r.Serial = QStringLiteral("SN1");
        r.Mode = TTestRecord::TMode::Watch;
        r.Scans = 40;
        const TFault open = TFault::Open({"XT1:a3"}, {"XP2:b5"});
        r.Faults.push_back({open, 5, TTestRecord::FromMs(1000), TTestRecord::FromMs(2000)});
        r.Good = false;
        r.FaultTotal = 9; // what a journal's list says; the row counts the faults it has
        const TChainRow row = TRecordChain::RowOf(r);
        QCOMPARE(row.Project, QStringLiteral("жгут K1.pvl"));
        QVERIFY(!row.Operator.isNull()); // stored as an empty text, never NULL
        QCOMPARE(row.Verdict, QStringLiteral("faulty"));
        QCOMPARE(row.Mode, QStringLiteral("watch"));
        QCOMPARE(row.CheckedAt, 1772438400123);
        QCOMPARE(row.FaultCount, 1);
        QCOMPARE(row.Faults.size(), std::size_t(1));
        QCOMPARE(row.Faults[0].Kind, QStringLiteral("open"));
        QCOMPARE(row.Faults[0].Contacts, QStringLiteral("XT1:a3 XP2:b5"));
        QCOMPARE(row.Faults[0].Detail,
                 QString::fromUtf8(QJsonDocument(open.ToJson()).toJson(QJsonDocument::Compact)));
        QCOMPARE(row.Faults[0].Seen, 5);
        QCOMPARE(row.Faults[0].First, std::optional<qint64>(1000));
        QCOMPARE(row.Faults[0].Last, std::optional<qint64>(2000));
    }

    void aRecordLinksToTheOneBefore() {
        TTestRecord first;
        first.Uid = QStringLiteral("u-1");
        first.Time = TTestRecord::FromMs(1000);
        first.Station = QStringLiteral("stand-3");
        TRecordChain::Link(first, 0, QStringLiteral("ignored"));
        QCOMPARE(first.ChainSeq, 1);
        QVERIFY(first.PrevHash.isEmpty());
        QCOMPARE(first.Hash, TRecordChain::HashOf(TRecordChain::RowOf(first)));
        QVERIFY(TRecordChain::Canonical(TRecordChain::RowOf(first)).contains("\nprev_hash=\n"));
        TTestRecord second = first;
        second.Uid = QStringLiteral("u-2");
        TRecordChain::Link(second, 41, first.Hash);
        QCOMPARE(second.ChainSeq, 42);
        QCOMPARE(second.PrevHash, first.Hash);
        QCOMPARE(second.Hash.size(), 64);
        QCOMPARE(second.Hash, TRecordChain::HashOf(TRecordChain::RowOf(second)));
    }
};

QTEST_GUILESS_MAIN(TRecordChainTest)
#include "TRecordChainTest.moc"
