// SPDX-License-Identifier: GPL-3.0-or-later
// Where a station's records go: the settings that point at a shared database, the local file
// when there is none, the queue when it does not answer, and the faults: the shared server
// stopped in the middle of a series of checks, a record sent again after a commit whose answer
// was lost. Nothing lost, nothing doubled.

#include "TRecordStore.h"
#include "RecordsTestKit.h"
#include "TIniFile.h"
#include "TRecordWriter.h"

#include <QFileInfo>
#include <QTcpServer>
#include <cstdlib>

using namespace RecordsKit;

namespace {
const qint64 T0 = QDateTime(QDate(2026, 5, 11), QTime(7, 30), Qt::UTC).toMSecsSinceEpoch();

QString PgCtl() {
    return qEnvironmentVariable("PINVEL_TEST_PG_CTL");
}

// The server's own control command ("stop" or "start"); the server it starts must hold none of
// this test's files open, so nothing here is piped.
bool ServerCtl(const char* what) {
    const QByteArray command = "'" + QFile::encodeName(PgCtl()) + "' " + what + " >/dev/null 2>&1";
    return std::system(command.constData()) == 0;
}

// The test server stopped for a while; started again at the end whatever happens.
class TServerStop {
  public:
    bool Stop() {
        FStopped = ServerCtl("stop");
        return FStopped;
    }
    bool Start() {
        const bool ok = ServerCtl("start");
        if (ok)
            FStopped = false;
        return ok;
    }
    ~TServerStop() {
        if (FStopped)
            Start();
    }

  private:
    bool FStopped = false;
};

// A port of 127.0.0.1 that nothing listens on.
int ClosedPort() {
    QTcpServer server;
    server.listen(QHostAddress::LocalHost, 0);
    return server.serverPort();
}

QStringList UidsOf(TRecordsDatabase& db) {
    QStringList out;
    for (const TTestRecord& r : db.Page({}, nullptr, 1000))
        out.prepend(r.Uid); // oldest first
    return out;
}

QString WriteIni(const QString& folder, const QByteArray& text) {
    const QString path = folder + QStringLiteral("/pinvel.ini");
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(text);
    return path;
}
} // namespace

class TRecordStoreTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel store XXXXXX")};

    TRecordsConfig FromIni(const QByteArray& text, QString* error) {
        TIniFile ini(WriteIni(FDir.path(), text));
        ini.Load();
        return TRecordsConfig::FromIni(ini, error);
    }

  private slots:
    void settingsPointAtTheSharedDatabase() {
        qputenv("XDG_DATA_HOME", QFile::encodeName(FDir.filePath("data home")));
        QString error;
        TRecordsConfig c = FromIni("[Fmmain]\r\nx=1\r\n", &error);
        QVERIFY(error.isEmpty());
        QVERIFY(!c.HasShared());
        QCOMPARE(c.LocalPath, FDir.filePath("data home/Pinvel/records.sqlite"));
        QCOMPARE(c.ConnectTimeoutS, 3);
        QCOMPARE(c.RetryS, 30);

        c = FromIni("[Records]\r\nDatabase=postgresql://qa@db.plant:6543/records\r\n", &error);
        QVERIFY(error.isEmpty());
        QVERIFY(c.HasShared());
        QCOMPARE(c.PgUser, QString("qa"));
        QCOMPARE(c.PgHost, QString("db.plant"));
        QCOMPARE(c.PgPort, 6543);
        QCOMPARE(c.PgDatabase, QString("records"));
        QCOMPARE(c.SharedUrl(), QString("postgresql://qa@db.plant:6543/records"));
        c = FromIni("[records]\r\ndatabase=postgres://qa@db.plant/records\r\n", &error);
        QVERIFY(error.isEmpty());
        QVERIFY(c.HasShared());
        QCOMPARE(c.PgPort, 5432);
        c = FromIni("[Records]\r\nDatabase=postgresql://qa@db.plant:65535/records\r\n", &error);
        QVERIFY(error.isEmpty());
        QCOMPARE(c.PgPort, 65535);
        qputenv("USER", "station7");
        c = FromIni("[Records]\r\nDatabase=postgresql://db.plant/records\r\n", &error);
        QCOMPARE(c.PgUser, QString("station7"));

        // The connect time-out within 2..60 s, the retry within 1..3600 s.
        for (auto [given, taken] : {std::pair{1, 2}, {2, 2}, {3, 3}, {60, 60}, {61, 60}}) {
            c = FromIni("[Records]\r\nConnectTimeoutS=" + QByteArray::number(given) + "\r\n",
                        &error);
            QCOMPARE(c.ConnectTimeoutS, taken);
        }
        for (auto [given, taken] : {std::pair{0, 1}, {1, 1}, {3600, 3600}, {3601, 3600}}) {
            c = FromIni("[Records]\r\nRetryS=" + QByteArray::number(given) + "\r\n", &error);
            QCOMPARE(c.RetryS, taken);
        }

        // A password in the settings, or an address that is not one: said, and the records
        // stay on the station.
        for (const QByteArray& bad :
             {QByteArray("postgresql://qa:secret@db/records"), QByteArray("mysql://qa@db/r"),
              QByteArray("postgresql://qa@db"), QByteArray("postgresql://qa@db:0/r"),
              QByteArray("postgresql://qa@db:65536/r"), QByteArray("postgresql:///r"),
              QByteArray("postgresql://qa@db/records/more")}) {
            error.clear();
            c = FromIni("[Records]\r\nDatabase=" + bad + "\r\n", &error);
            QVERIFY2(!c.HasShared(), bad.constData());
            QVERIFY2(error.contains("[Records]") && error.contains("остаются на этой станции"),
                     qPrintable(error));
        }
        QVERIFY(FromIni("[Records]\r\nDatabase=postgresql://qa:secret@db/records\r\n", &error)
                    .LocalPath.endsWith("records.sqlite"));
        QVERIFY(error.contains("~/.pgpass"));
        qunsetenv("XDG_DATA_HOME");
    }

    void withoutASharedDatabaseTheFileKeepsThem() {
        TFreshDatabase fresh(false);
        TRecordStore store(fresh.Config);
        const TTestRecord r = Record(T0, "L1", false);
        QCOMPARE(store.Write(r), TWriteOutcome::Stored);
        QCOMPARE(store.Waiting(), 0);
        QCOMPARE(store.Reading(), &store.Local());
        QCOMPARE(Unchained(*store.Local().Load(r.Uid)), r);
    }

    void anUnansweringDatabaseQueuesTheRecord() {
        TFreshDatabase fresh(false);
        fresh.Config.SetSharedUrl(
            QStringLiteral("postgresql://pinvel@127.0.0.1:%1/records").arg(ClosedPort()));
        TRecordStore store(fresh.Config);
        QString error;
        const TTestRecord a = Record(T0, "Q1", false);
        const TTestRecord b = Record(T0 + 1, "Q2");
        QCOMPARE(store.Write(a, &error), TWriteOutcome::Waiting);
        QVERIFY2(error.contains("127.0.0.1"), qPrintable(error));
        QCOMPARE(store.Write(b, &error), TWriteOutcome::Waiting);
        QCOMPARE(store.Waiting(), 2);
        QCOMPARE(store.Local().WaitingUids(), QStringList({a.Uid, b.Uid}));
        QCOMPARE(Unchained(*store.Local().Load(a.Uid)), a);
        QCOMPARE(store.SendWaiting(&error), 2); // still nobody there
        QVERIFY(!store.Reading(&error));
        // Closing: no server is tried at all.
        const TTestRecord c = Record(T0 + 2, "Q3");
        QCOMPARE(store.Write(c, &error, false), TWriteOutcome::Waiting);
        QCOMPARE(store.Waiting(), 3);
    }

    void aLocalFileThatCannotBeWrittenIsAFailure() {
        TFreshDatabase fresh(false);
        // A plain file where the folder should be.
        QFile blocker(fresh.Folder() + QStringLiteral("/station"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        TRecordStore store(fresh.Config);
        QString error;
        QCOMPARE(store.Write(Record(T0, "F"), &error), TWriteOutcome::Failed);
        QVERIFY2(error.contains("не удалось создать папку"), qPrintable(error));
    }

    // A station file that is no database (random bytes) or a database cut short: the check's
    // record goes to a new file, the damaged one is kept under a new name with its bytes as they
    // were, and the station hears of it once, both files named.
    void aDamagedFileIsSetAsideForANewOne_data() {
        QTest::addColumn<bool>("truncated");
        QTest::newRow("random bytes") << false;
        QTest::newRow("truncated database") << true;
    }
    void aDamagedFileIsSetAsideForANewOne() {
        QFETCH(bool, truncated);
        TFreshDatabase fresh(false);
        const QString path = fresh.Config.LocalPath;
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        if (truncated) {
            {
                TRecordsDatabase db(path);
                std::vector<TTestRecord> many;
                for (int i = 0; i < 3000; ++i)
                    many.push_back(Record(T0 + i, QStringLiteral("T%1").arg(i), i % 7 != 0));
                QVERIFY(db.Open() && db.Insert(many));
            } // closed: the log is folded into the file
            QFile f(path);
            QVERIFY(f.size() > 64 * 1024);
            QVERIFY(f.resize(f.size() / 2));
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QByteArray noise(8192, 0);
            for (qsizetype i = 0; i < noise.size(); ++i)
                noise[i] = char((i * 7919 + 13) % 251);
            f.write(noise);
        }
        QByteArray damaged;
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            damaged = f.readAll();
        }

        TRecordStore store(fresh.Config);
        const TTestRecord r = Record(T0, "D1", false);
        QString error;
        QCOMPARE(store.Write(r, &error), TWriteOutcome::Stored);
        const QString notice = store.TakeNotice();
        const QStringList aside = QDir(QFileInfo(path).absolutePath())
                                      .entryList({QStringLiteral("records-damaged-*.sqlite")});
        QCOMPARE(aside.size(), 1);
        const QString asidePath = QFileInfo(path).absolutePath() + QLatin1Char('/') + aside[0];
        QVERIFY2(notice.contains(path) && notice.contains(asidePath) &&
                     notice.contains(QStringLiteral("повреждена")),
                 qPrintable(notice));
        QFile kept(asidePath);
        QVERIFY(kept.open(QIODevice::ReadOnly));
        QCOMPARE(kept.readAll(), damaged);
        QCOMPARE(Unchained(*store.Local().Load(r.Uid)), r);
        QCOMPARE(store.Local().Count({}), 1LL);

        // Said once: the next record and the next program find a good file.
        QCOMPARE(store.Write(Record(T0 + 1, "D2"), &error), TWriteOutcome::Stored);
        QVERIFY(store.TakeNotice().isEmpty());
        TRecordStore next(fresh.Config);
        QCOMPARE(next.Waiting(), 0);
        QVERIFY(next.TakeNotice().isEmpty());
        QCOMPARE(QDir(QFileInfo(path).absolutePath())
                     .entryList({QStringLiteral("records-damaged-*.sqlite")})
                     .size(),
                 1);
    }

    void theSharedDatabaseTakesThem() {
        RECORDS_NEED_SERVER(true);
        TFreshDatabase fresh(true);
        TRecordStore store(fresh.Config);
        const TTestRecord r = Record(T0, "S1", false);
        QCOMPARE(store.Write(r), TWriteOutcome::Stored);
        QCOMPARE(store.Waiting(), 0);
        QCOMPARE(store.Local().Count({}), 0);
        TRecordsDatabase* shared = store.Reading();
        QVERIFY(shared && shared->Kind() == TRecordsDatabase::TKind::Shared);
        QCOMPARE(Unchained(*shared->Load(r.Uid)), r);
    }

    void aRecordSentAgainIsStillOne() {
        RECORDS_NEED_SERVER(true);
        TFreshDatabase fresh(true);
        // The shared database committed the record, but its answer never came: the station
        // kept it waiting and sends it again.
        const TTestRecord r = Record(T0, "D1", false);
        QVERIFY(fresh.Open()->Insert(r));
        {
            TRecordsDatabase local(fresh.Config.LocalPath);
            QVERIFY(local.Open());
            QVERIFY(local.Insert(r, nullptr, true));
        }
        TRecordStore store(fresh.Config);
        QCOMPARE(store.Waiting(), 1);
        QCOMPARE(store.SendWaiting(), 0);
        auto shared = fresh.Open();
        QCOMPARE(shared->Count({}), 1);
        QCOMPARE(Unchained(*shared->Load(r.Uid)), r); // its two faults, not four
        QCOMPARE(store.Local().Count({}), 0);
    }

    void theServerStoppedInTheMiddleOfASeries() {
        RECORDS_NEED_SERVER(true);
        if (PgCtl().isEmpty())
            QSKIP("PINVEL_TEST_PG_CTL is not set: the server cannot be stopped here");
        TFreshDatabase fresh(true);
        TRecordStore store(fresh.Config);
        TServerStop server;
        QStringList made;
        const auto check = [&](int i, TWriteOutcome expected) {
            const TTestRecord r = Record(T0 + i * 1000, QStringLiteral("M%1").arg(i), i % 3 != 0);
            made << r.Uid;
            QString error;
            const TWriteOutcome got = store.Write(r, &error);
            QVERIFY2(got == expected, qPrintable(QStringLiteral("check %1: %2").arg(i).arg(error)));
        };
        for (int i = 0; i < 4; ++i)
            check(i, TWriteOutcome::Stored);
        QVERIFY(server.Stop());
        for (int i = 4; i < 8; ++i) {
            check(i, TWriteOutcome::Waiting);
            QCOMPARE(store.Waiting(), i - 3);
        }
        QVERIFY(!store.Reading());
        QVERIFY(server.Start());
        // The next check sends the waiting ones first, then itself.
        for (int i = 8; i < 12; ++i)
            check(i, TWriteOutcome::Stored);
        QCOMPARE(store.Waiting(), 0);
        QCOMPARE(store.Local().Count({}), 0);
        auto shared = fresh.Open();
        QCOMPARE(UidsOf(*shared), made);
        QCOMPARE(shared->Count({}), 12);
        TPgAdmin admin;
        int faults = 0;
        for (const TTestRecord& r : shared->LoadAll({}, nullptr, 100))
            faults += int(r.Faults.size());
        QCOMPARE(faults, 2 * 4); // checks 0, 3, 6, 9 were faulty
    }

    void aServerRestartedBetweenTwoChecksTakesTheSecond() {
        // The connection the first check left open is dead after the restart; the second check
        // must not go to the queue for that alone.
        RECORDS_NEED_SERVER(true);
        if (PgCtl().isEmpty())
            QSKIP("PINVEL_TEST_PG_CTL is not set: the server cannot be restarted here");
        TFreshDatabase fresh(true);
        TRecordStore store(fresh.Config);
        TServerStop server;
        QCOMPARE(store.Write(Record(T0, "R1")), TWriteOutcome::Stored);
        QVERIFY(server.Stop());
        QVERIFY(server.Start());
        QString error;
        const TWriteOutcome second = store.Write(Record(T0 + 1, "R2"), &error);
        QVERIFY2(second == TWriteOutcome::Stored, qPrintable(error));
        QCOMPARE(store.Waiting(), 0);
    }

    void aRecordNoFileTakesIsKeptUntilOneDoes() {
        TFreshDatabase fresh(false);
        fresh.Config.RetryS = 1;
        // A plain file where the station's folder should be: nothing can be written.
        QFile blocker(fresh.Folder() + QStringLiteral("/station"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const TTestRecord r = Record(T0, "K1", false);
        {
            TRecordWriter writer(fresh.Config);
            QTest::qWait(100); // nothing is said before the writer is started
            QList<QString> problems;
            // The receiver goes before the list: a status still queued then is dropped with it.
            QObject receiver;
            connect(
                &writer, &TRecordWriter::StatusChanged, &receiver,
                [&problems](int, const QString& problem) { problems.append(problem); },
                Qt::QueuedConnection);
            writer.Start();
            // Said at once, before any record: the file cannot be opened.
            QTRY_VERIFY_WITH_TIMEOUT(!problems.isEmpty(), 20000);
            QVERIFY2(!problems.first().isEmpty(), "the start-up status names no problem");
            writer.Submit(r);
            QTRY_VERIFY_WITH_TIMEOUT(problems.size() >= 2, 20000);
            QVERIFY(!problems.last().isEmpty());
            QCOMPARE(writer.Pending(), 1);
            QVERIFY(blocker.remove());
            QTRY_COMPARE_WITH_TIMEOUT(writer.Pending(), 0, 20000);
        }
        TRecordsDatabase local(fresh.Config.LocalPath);
        QVERIFY(local.Open());
        QCOMPARE(Unchained(*local.Load(r.Uid)), r);
    }

    void theWriterSendsThemOnWhenTheServerIsBack() {
        RECORDS_NEED_SERVER(true);
        if (PgCtl().isEmpty())
            QSKIP("PINVEL_TEST_PG_CTL is not set: the server cannot be stopped here");
        TFreshDatabase fresh(true);
        fresh.Config.RetryS = 1;
        TServerStop server;
        QStringList made;
        {
            TRecordWriter writer(fresh.Config);
            // Seen on this thread, as a window sees it (the writer's thread emits).
            QList<std::pair<int, QString>> status;
            QObject receiver; // goes before the list, and a status still queued with it
            connect(
                &writer, &TRecordWriter::StatusChanged, &receiver,
                [&status](int waiting, const QString& problem) {
                    status.append({waiting, problem});
                },
                Qt::QueuedConnection);
            writer.Start();
            const TTestRecord first = Record(T0, "W0");
            made << first.Uid;
            writer.Submit(first);
            QTRY_COMPARE_WITH_TIMEOUT(writer.Pending(), 0, 20000);
            QVERIFY(server.Stop());
            for (int i = 1; i <= 3; ++i) {
                const TTestRecord r = Record(T0 + i, QStringLiteral("W%1").arg(i), false);
                made << r.Uid;
                writer.Submit(r);
            }
            QTRY_COMPARE_WITH_TIMEOUT(writer.Waiting(), 3, 20000);
            QTRY_VERIFY_WITH_TIMEOUT(!status.isEmpty() && status.last().first == 3 &&
                                         !status.last().second.isEmpty(),
                                     20000);
            QVERIFY(server.Start());
            // Offered again within RetryS, without a new record to carry them.
            QTRY_COMPARE_WITH_TIMEOUT(writer.Waiting(), 0, 20000);
            QTRY_VERIFY_WITH_TIMEOUT(status.last().first == 0 && status.last().second.isEmpty(),
                                     20000);
        }
        auto shared = fresh.Open();
        QCOMPARE(UidsOf(*shared), made);
    }

    void closingPutsTheRestInTheFile() {
        TFreshDatabase fresh(false);
        fresh.Config.SetSharedUrl(
            QStringLiteral("postgresql://pinvel@127.0.0.1:%1/records").arg(ClosedPort()));
        QStringList made;
        {
            // Never started: closing still writes what was handed over.
            TRecordWriter writer(fresh.Config);
            for (int i = 0; i < 5; ++i) {
                const TTestRecord r = Record(T0 + i, QStringLiteral("C%1").arg(i));
                made << r.Uid;
                writer.Submit(r);
            }
            writer.Stop();
            QCOMPARE(writer.Pending(), 0);
        }
        TRecordsDatabase local(fresh.Config.LocalPath);
        QVERIFY(local.Open());
        QCOMPARE(local.WaitingUids(), made);
    }
};

QTEST_GUILESS_MAIN(TRecordStoreTest)
#include "TRecordStoreTest.moc"
