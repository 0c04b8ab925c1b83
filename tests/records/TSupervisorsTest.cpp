// SPDX-License-Identifier: GPL-3.0-or-later
// Supervisors and the approval of references, against the station's SQLite file and a real
// PostgreSQL server: the PIN's hash in libsodium's documented form and never the PIN, the five
// wrong PINs that lock for exactly five minutes (a clock of the test's own), a right PIN that
// starts the count afresh, the lock seen by another connection, approvals stored and found,
// and the station's copy of an approval while the shared database is away.

#include "TSupervisors.h"
#include "RecordsTestKit.h"
#include "TApprovals.h"
#include "TPinHash.h"
#include "TRecordStore.h"

#include <QDirIterator>
#include <QFile>
#include <QTcpServer>

using namespace RecordsKit;

namespace {
const QDateTime T0(QDate(2026, 12, 8), QTime(9, 0), Qt::UTC);
const QString Sum = QStringLiteral("ab") + QString(62, QLatin1Char('7'));

int ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

// Every byte of the files under `folder` (the database and its logs).
QByteArray BytesUnder(const QString& folder) {
    QByteArray all;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile f(it.next());
        if (f.open(QIODevice::ReadOnly))
            all += f.readAll();
    }
    return all;
}
} // namespace

class TSupervisorsTest : public QObject {
    Q_OBJECT
  private slots:
    void pinHashIsSaltedArgon2idInLibsodiumsForm() {
        const QByteArray a = TPinHash::Make("4711", TPinCost::Minimal);
        const QByteArray b = TPinHash::Make("4711", TPinCost::Minimal);
        QVERIFY2(a.startsWith("$argon2id$v=19$m=8,t=1,p=1$"), a.constData());
        QVERIFY(a != b); // salted afresh
        QVERIFY(TPinHash::Matches(a, "4711"));
        QVERIFY(TPinHash::Matches(b, "4711"));
        for (const char* wrong : {"4712", "471", "47110", "", " 4711"})
            QVERIFY2(!TPinHash::Matches(a, wrong), wrong);
        QVERIFY(!TPinHash::Matches(QByteArray(), "4711"));
        QVERIFY(!TPinHash::Matches("4711", "4711")); // a PIN stored in clear is no hash
        // The cost the program stores with: libsodium's interactive limits, 64 MiB and two
        // passes, checked once at full cost.
        const QByteArray real = TPinHash::Make("4711");
        QVERIFY2(real.startsWith("$argon2id$v=19$m=65536,t=2,p=1$"), real.constData());
        QVERIFY(TPinHash::Matches(real, "4711"));
        QVERIFY(!TPinHash::Matches(real, "4710"));
    }

    void pinsOfFourToSixteenDigits() {
        QVERIFY(TSupervisors::PinProblem("1234").isEmpty());
        QVERIFY(TSupervisors::PinProblem("1234567890123456").isEmpty());
        for (const char* bad : {"123", "12345678901234567", "12a4", "12 34", "", "١٢٣٤"})
            QVERIFY2(!TSupervisors::PinProblem(QString::fromUtf8(bad)).isEmpty(), bad);
    }

    void addedCheckedListedRemoved_data() { Backends(); }
    void addedCheckedListedRemoved() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        QDateTime now = T0;
        TSupervisors sv(*db, TPinCost::Minimal, [&] { return now; });
        QString error;
        QVERIFY2(sv.Add(" Петров П. ", "2468", &error), qPrintable(error));
        QVERIFY(!sv.Add("Петров П.", "1357", &error));
        QVERIFY2(error.contains("уже есть"), qPrintable(error));
        QVERIFY(!sv.Add("Сидоров", "12", &error));
        QVERIFY(!sv.Add("  ", "1234", &error));
        QVERIFY(sv.Add("Алексеев", "13579", &error));
        const std::vector<TSupervisor> all = sv.List(&error);
        QCOMPARE(all.size(), std::size_t(2));
        QCOMPARE(all[0].Name, QString("Алексеев"));
        QCOMPARE(all[1].Name, QString("Петров П."));
        QCOMPARE(all[1].Added, T0);
        QVERIFY(!all[1].LockedUntil.isValid());

        QCOMPARE(sv.Check("Петров П.", "2468").Verdict, TPinCheck::TVerdict::Accepted);
        QCOMPARE(sv.Check("Петров П.", "13579").Verdict, TPinCheck::TVerdict::Wrong);
        const TPinCheck unknown = sv.Check("Иванов", "2468");
        QCOMPARE(unknown.Verdict, TPinCheck::TVerdict::Unknown);
        QVERIFY(unknown.Text().contains("Иванов"));

        QVERIFY(sv.Remove("Алексеев", &error));
        QVERIFY(!sv.Remove("Алексеев", &error));
        QVERIFY(error.isEmpty()); // none there: no failure of the database
        QCOMPARE(sv.Check("Алексеев", "13579").Verdict, TPinCheck::TVerdict::Unknown);
    }

    void fiveWrongInARowLockForExactlyFiveMinutes_data() { Backends(); }
    void fiveWrongInARowLockForExactlyFiveMinutes() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        QDateTime now = T0;
        TSupervisors sv(*db, TPinCost::Minimal, [&] { return now; });
        QVERIFY(sv.Add("Петров", "2468"));
        for (int i = 1; i <= 4; ++i)
            QCOMPARE(sv.Check("Петров", "1111").WrongPins, i);
        QVERIFY(sv.Check("Петров", "2468").Accepted()); // a right one: afresh
        for (int i = 1; i <= 4; ++i) {
            now = now.addSecs(10);
            const TPinCheck c = sv.Check("Петров", "1111");
            QCOMPARE(c.Verdict, TPinCheck::TVerdict::Wrong);
            QCOMPARE(c.WrongPins, i);
            QVERIFY(c.Text().contains(QString::number(5 - i)));
        }
        now = now.addSecs(10);
        const QDateTime fifth = now;
        const TPinCheck locking = sv.Check("Петров", "1111");
        QCOMPARE(locking.Verdict, TPinCheck::TVerdict::Wrong);
        QCOMPARE(locking.LockedUntil, fifth.addSecs(300));
        QVERIFY(locking.Text().contains("заблокирован"));

        // Kept in the database: another connection, another program, sees the lock.
        TRecordsDatabase other(fresh.Config, shared ? TRecordsDatabase::TKind::Shared
                                                    : TRecordsDatabase::TKind::Local);
        QVERIFY(other.Open());
        QDateTime otherNow = fifth.addMSecs(TSupervisors::LockMs - 1);
        TSupervisors elsewhere(other, TPinCost::Minimal, [&] { return otherNow; });
        const TPinCheck held = elsewhere.Check("Петров", "2468"); // even the right PIN
        QCOMPARE(held.Verdict, TPinCheck::TVerdict::Locked);
        QCOMPARE(held.LockedUntil, fifth.addSecs(300));
        QCOMPARE(elsewhere.List()[0].LockedUntil, fifth.addSecs(300));
        // Its last millisecond still locked, and a wrong PIN then counts nothing.
        now = fifth.addMSecs(TSupervisors::LockMs - 1);
        QCOMPARE(sv.Check("Петров", "1111").Verdict, TPinCheck::TVerdict::Locked);
        // At five minutes exactly it is over, and the count starts from nothing.
        now = fifth.addMSecs(TSupervisors::LockMs);
        QVERIFY(sv.List()[0].LockedUntil.isValid() == false);
        const TPinCheck again = sv.Check("Петров", "1111");
        QCOMPARE(again.Verdict, TPinCheck::TVerdict::Wrong);
        QCOMPARE(again.WrongPins, 1);
        QVERIFY(sv.Check("Петров", "2468").Accepted());
    }

    void thePinIsNowhereInTheDatabase_data() { Backends(); }
    void thePinIsNowhereInTheDatabase() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        const QString folder = shared ? qEnvironmentVariable("PINVEL_TEST_PG_DIR") : QString();
        if (shared && folder.isEmpty())
            QSKIP("PINVEL_TEST_PG_DIR is not set: the server's files cannot be searched");
        const QByteArray pin = "7351948620461937";
        TFreshDatabase fresh(shared);
        {
            auto db = fresh.Open();
            TSupervisors sv(*db, TPinCost::Minimal);
            QVERIFY(sv.Add("Петров", QString::fromLatin1(pin)));
            QVERIFY(sv.Check("Петров", QString::fromLatin1(pin)).Accepted());
            if (shared) {
                // The server's pages and its log on the disk now.
                QSqlQuery q(db->Connection());
                q.exec("CHECKPOINT");
            }
        }
        const QByteArray bytes = BytesUnder(shared ? folder : fresh.Folder());
        QVERIFY(bytes.contains("$argon2id$")); // the hash is there, so the search reads the data
        QVERIFY(!bytes.contains(pin));
        QVERIFY(!bytes.contains(QByteArray::fromRawData(
            reinterpret_cast<const char*>(QString::fromLatin1(pin).utf16()), pin.size() * 2)));
    }

    void approvedWithTheRightPinOnly_data() { Backends(); }
    void approvedWithTheRightPinOnly() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        {
            auto db = fresh.Open();
            QVERIFY(TSupervisors(*db, TPinCost::Minimal).Add("Петров П.", "2468"));
        }
        QDateTime now = T0.addMSecs(123);
        TRecordStore store(fresh.Config);
        TApprovals approvals(store, TPinCost::Minimal, [&] { return now; });
        QString error;
        QVERIFY(!approvals.Find(Sum, &error));
        QVERIFY(error.isEmpty());
        const TPinCheck wrong = approvals.Approve(Sum, "Петров П.", "1357");
        QCOMPARE(wrong.Verdict, TPinCheck::TVerdict::Wrong);
        QVERIFY(!approvals.Find(Sum));
        QCOMPARE(approvals.Approve(Sum, "Сидоров", "2468").Verdict, TPinCheck::TVerdict::Unknown);
        QVERIFY(!approvals.Find(Sum));

        TApproval made;
        QVERIFY(approvals.Approve(Sum, "Петров П.", "2468", &made).Accepted());
        const std::optional<TApproval> found = approvals.Find(Sum);
        QVERIFY(found);
        QCOMPARE(found->Supervisor, QString("Петров П."));
        QCOMPARE(found->When, T0.addMSecs(123));
        QCOMPARE(found->ReferenceSum, Sum);
        QCOMPARE(found->Station, TTestRecord::ThisStation());
        QCOMPARE(made.When, found->When);
        QVERIFY(found->Text().startsWith("утвержден: Петров П., "));
        QVERIFY(!approvals.Find(Sum.left(63) + "8")); // another reference is not approved
        if (!shared)
            return;
        // The shared database away: the station's own copy still knows the approval.
        TRecordsConfig away = fresh.Config;
        away.PgPort = ClosedPort();
        away.ConnectTimeoutS = 1;
        TRecordStore offline(away);
        TApprovals fallback(offline);
        const std::optional<TApproval> kept = fallback.Find(Sum, &error);
        QVERIFY2(kept, qPrintable(error));
        QCOMPARE(kept->Supervisor, QString("Петров П."));
        QCOMPARE(kept->When, T0.addMSecs(123));
    }

    void aRecordSaysWhetherItsReferenceWasApproved_data() { Backends(); }
    void aRecordSaysWhetherItsReferenceWasApproved() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        TFreshDatabase fresh(shared);
        auto db = fresh.Open();
        TTestRecord approved = Record(T0.toMSecsSinceEpoch(), "A");
        approved.ReferenceApproved = true;
        const TTestRecord plain = Record(T0.toMSecsSinceEpoch() + 1, "B");
        QVERIFY(db->Insert({approved, plain}));
        QSqlQuery q(db->Connection());
        QVERIFY(q.exec("SELECT serial, reference_approved FROM records ORDER BY serial"));
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toInt(), 1);
        QVERIFY(q.next());
        QCOMPARE(q.value(1).toInt(), 0);
        QVERIFY(db->Load(approved.Uid)->ReferenceApproved);
        QVERIFY(!db->Load(plain.Uid)->ReferenceApproved);
    }
};

QTEST_GUILESS_MAIN(TSupervisorsTest)
#include "TSupervisorsTest.moc"
