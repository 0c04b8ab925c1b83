// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the records' tests: a fresh database of either kind (an SQLite file in a folder with
// a space in its name, or a database of its own on the PostgreSQL server that
// PINVEL_TEST_PG_URL names), and records made to measure.

#include "TRecordsConfig.h"
#include "TRecordsDatabase.h"
#include "TTestRecord.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <QUuid>
#include <memory>

namespace RecordsKit {

inline QString PgUrl() {
    return qEnvironmentVariable("PINVEL_TEST_PG_URL");
}

// The two kinds every database test runs against, as QTest data rows.
inline void Backends() {
    QTest::addColumn<bool>("shared");
    QTest::newRow("sqlite") << false;
    QTest::newRow("postgresql") << true;
}

// Skips the PostgreSQL row visibly when no server is given.
#define RECORDS_NEED_SERVER(shared)                                                                \
    do {                                                                                           \
        if ((shared) && RecordsKit::PgUrl().isEmpty())                                             \
            QSKIP("PINVEL_TEST_PG_URL is not set: the PostgreSQL half is not run "                 \
                  "(scripts/pg-test-server.sh starts a server)");                                  \
    } while (false)

// A maintenance connection to the test server, for making and dropping databases.
class TPgAdmin {
  public:
    TPgAdmin() : FName(QStringLiteral("pinvel-test-admin-") + QUuid::createUuid().toString()) {
        TRecordsConfig c;
        c.SetSharedUrl(PgUrl());
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), FName);
        db.setHostName(c.PgHost);
        db.setPort(c.PgPort);
        db.setUserName(c.PgUser);
        db.setDatabaseName(c.PgDatabase);
        db.setConnectOptions(QStringLiteral("connect_timeout=5"));
    }
    ~TPgAdmin() {
        QSqlDatabase::database(FName, false).close();
        QSqlDatabase::removeDatabase(FName);
    }
    bool Exec(const QString& sql) {
        QSqlDatabase db = QSqlDatabase::database(FName, false);
        if (!db.isOpen() && !db.open()) {
            qWarning("%s", qPrintable(db.lastError().text()));
            return false;
        }
        QSqlQuery q(db);
        if (!q.exec(sql))
            qWarning("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
        return q.isActive();
    }
    void Close() { QSqlDatabase::database(FName, false).close(); }

  private:
    QString FName;
};

// A fresh, empty database of one kind, gone at the end.
class TFreshDatabase {
  public:
    explicit TFreshDatabase(bool shared)
        : FDir(QDir::tempPath() + QStringLiteral("/pinvel records XXXXXX")) {
        Config.LocalPath = FDir.filePath(QStringLiteral("station/records.sqlite"));
        Config.RetryS = 1;
        if (!shared)
            return;
        static int next = 0;
        FPgName =
            QStringLiteral("pinvel_t_%1_%2").arg(QCoreApplication::applicationPid()).arg(next++);
        TPgAdmin admin;
        if (!admin.Exec(QStringLiteral("CREATE DATABASE %1").arg(FPgName)))
            qFatal("cannot make the test database %s", qPrintable(FPgName));
        Config.SetSharedUrl(PgUrl());
        Config.PgDatabase = FPgName;
        Config.ConnectTimeoutS = 5;
    }
    ~TFreshDatabase() {
        if (!FPgName.isEmpty()) {
            TPgAdmin admin;
            admin.Exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(FPgName));
        }
    }
    bool Shared() const { return !FPgName.isEmpty(); }
    // The database under test: the shared one when there is one, else the local file.
    std::unique_ptr<TRecordsDatabase> Open() const {
        auto db = std::make_unique<TRecordsDatabase>(
            Config, Shared() ? TRecordsDatabase::TKind::Shared : TRecordsDatabase::TKind::Local);
        QString error;
        if (!db->Open(&error))
            qFatal("%s", qPrintable(error));
        return db;
    }
    QString Folder() const { return FDir.path(); }

    TRecordsConfig Config;

  private:
    QTemporaryDir FDir;
    QString FPgName;
};

// A record at a given moment (ms since 1970 UTC) with the given faults.
inline TTestRecord Record(qint64 ms, const QString& serial, bool good = true,
                          const QString& project = QStringLiteral("/plant/жгут K1.pvl"),
                          const QString& oper = QStringLiteral("Иванов")) {
    TTestRecord r;
    r.Uid = TTestRecord::NewUid();
    r.Time = TTestRecord::FromMs(ms);
    r.Station = QStringLiteral("stand-3");
    r.Operator = oper;
    r.ProjectPath = project;
    r.ReferenceSum = QStringLiteral("9f2c") + QString(60, QLatin1Char('0'));
    r.Serial = serial;
    if (!good) {
        r.Faults.push_back({TFault::Open({"XT1:a3"}, {"XP2:b5", "XP2:b6"}), 1, {}, {}});
        r.Faults.push_back({TFault::Short({{"XT1:a3"}, {"XT1:a4"}}), 1, {}, {}});
    }
    r.Good = r.Faults.empty();
    r.FaultTotal = int(r.Faults.size());
    return r;
}

// The record as it was made, without the place in its station's chain the store gave it.
inline TTestRecord Unchained(TTestRecord r) {
    r.ChainSeq = 0;
    r.PrevHash.clear();
    r.Hash.clear();
    return r;
}

} // namespace RecordsKit
