// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class TIniFile;

// Where the records go, from the settings file's section [Records]:
//
//   [Records]
//   Database=postgresql://USER@HOST:PORT/DBNAME   the plant's shared database (absent: none)
//   ConnectTimeoutS=3                             the longest wait for it to answer, 2..60
//   RetryS=30                                     how often waiting records are offered again
//   Operator=...                                  the last operator (the window remembers it)
//
// Without a shared database the records stay in the station's own file,
// ~/.local/share/Pinvel/records.sqlite; with one, that file holds the records waiting for it.
// The password is never in the settings file: the database's client library reads ~/.pgpass
// (or the file PGPASSFILE names) itself.
struct TRecordsConfig {
    QString LocalPath;
    // The shared database; empty host: none.
    QString PgHost;
    int PgPort = 5432;
    QString PgUser;
    QString PgDatabase;
    int ConnectTimeoutS = 3;
    int RetryS = 30;

    bool HasShared() const { return !PgHost.isEmpty(); }
    // "postgresql://pinvel@db:5432/records" back, for messages.
    QString SharedUrl() const;

    // The local file's default place.
    static QString DefaultLocalPath();
    // Reads the section; a Database value it cannot take gives an error text and no shared
    // database (the records then stay local rather than being lost).
    static TRecordsConfig FromIni(const TIniFile& ini, QString* error = nullptr);
    // Parses "postgresql://USER@HOST:PORT/DBNAME" (postgres:// too; the port defaults to
    // 5432, the user to the login name); empty answer on success, else the reason.
    QString SetSharedUrl(const QString& url);

    static constexpr int MinConnectTimeoutS = 2; // the client library's own floor
    static constexpr int MaxConnectTimeoutS = 60;
};
