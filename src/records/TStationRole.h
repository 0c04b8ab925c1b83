// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSqlDatabase>
#include <QString>
#include <vector>

// The rights of the stations in the plant's shared database: the tables belong to the
// administrator who made them, and the stations' role may add records and read them, nothing
// more: no UPDATE, no DELETE, no change of the tables. What each table allows it is one list,
// `Grants()`; a table a station must write gets its line there.
class TStationRole {
  public:
    struct TGrant {
        const char* Table;
        // "SELECT", "SELECT, INSERT", or column rights such as "UPDATE (failed_pins)".
        const char* Rights;
    };
    static const std::vector<TGrant>& Grants();

    // A role name the database takes as it is: a letter or "_", then letters, digits, "_".
    static bool ValidName(const QString& name);
    // On the administrator's connection to a database whose schema is current: makes the role
    // (able to log in, nothing else) when there is none, takes from it and from everyone every
    // right on the tables and on changing the schema, and grants the list. One transaction.
    // False with the database's reason.
    static bool Make(const QSqlDatabase& admin, const QString& role, QString* error);
};
