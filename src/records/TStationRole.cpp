// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStationRole.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

const std::vector<TStationRole::TGrant>& TStationRole::Grants() {
    static const std::vector<TGrant> grants{
        // A check writes its record and its faults, and reads what is there (its record sent
        // twice stays one; the journal, the reports, the statistics, the audit).
        {"records", "SELECT, INSERT"},
        {"faults", "SELECT, INSERT"},
        {"schema_version", "SELECT"},
        // The station's own queue and chain head live in its file; the shared database's copies
        // stay the administrator's.
        {"waiting", ""},
        {"chain_head", ""},
        // The statistics' counts change with every record written (TStatisticsCounts): rows
        // added and their figures added to; never a row deleted.
        {"count_quarters", "SELECT, INSERT, UPDATE"},
        {"harness_spans", "SELECT, INSERT, UPDATE"},
        {"count_harnesses", "SELECT, INSERT, UPDATE"},
        {"count_kinds", "SELECT, INSERT, UPDATE"},
        {"count_contacts", "SELECT, INSERT, UPDATE"},
        {"count_groups", "SELECT, INSERT, UPDATE"},
        {"count_first_groups", "SELECT, INSERT, UPDATE"},
        // Every reference a check names is kept once, never changed; approvals are only added.
        {"reference_lists", "SELECT, INSERT"},
        {"approvals", "SELECT, INSERT"},
        // A PIN is checked at the station: it counts the wrong ones and sets the lock, nothing
        // else of a supervisor's row.
        {"supervisors", "SELECT, UPDATE (wrong_pins, locked_until)"},
    };
    return grants;
}

bool TStationRole::ValidName(const QString& name) {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]{0,62}$"));
    return pattern.match(name).hasMatch();
}

bool TStationRole::Make(const QSqlDatabase& admin, const QString& role, QString* error) {
    QSqlDatabase db = admin;
    const QString quoted = QLatin1Char('"') + role + QLatin1Char('"');
    QSqlQuery q(db);
    const auto fail = [&](const QSqlError& why) {
        db.rollback();
        if (error)
            *error = why.text();
        return false;
    };
    if (!db.transaction())
        return fail(db.lastError());
    if (!q.prepare(QStringLiteral("SELECT 1 FROM pg_roles WHERE rolname = ?")))
        return fail(q.lastError());
    q.addBindValue(role);
    if (!q.exec())
        return fail(q.lastError());
    const bool exists = q.next();
    QStringList statements;
    if (!exists)
        statements << QStringLiteral("CREATE ROLE %1 LOGIN").arg(quoted);
    // A role made before keeps its password, and loses any power beyond its rights.
    statements << QStringLiteral("ALTER ROLE %1 NOSUPERUSER NOCREATEDB NOCREATEROLE NOREPLICATION "
                                 "NOBYPASSRLS INHERIT LOGIN")
                      .arg(quoted);
    // No one but the owner changes the schema; the stations only use it.
    statements << QStringLiteral("REVOKE CREATE ON SCHEMA public FROM PUBLIC");
    statements << QStringLiteral("REVOKE ALL ON SCHEMA public FROM %1").arg(quoted);
    statements << QStringLiteral("GRANT USAGE ON SCHEMA public TO %1").arg(quoted);
    statements
        << QStringLiteral("GRANT CONNECT ON DATABASE \"%1\" TO %2").arg(db.databaseName(), quoted);
    QStringList tables;
    for (const TGrant& g : Grants())
        if (!tables.contains(QLatin1String(g.Table)))
            tables << QLatin1String(g.Table);
    for (const QString& table : tables)
        statements << QStringLiteral("REVOKE ALL ON TABLE %1 FROM PUBLIC, %2").arg(table, quoted);
    for (const TGrant& g : Grants())
        if (*g.Rights)
            statements << QStringLiteral("GRANT %1 ON TABLE %2 TO %3")
                              .arg(QLatin1String(g.Rights), QLatin1String(g.Table), quoted);
    for (const QString& sql : statements)
        if (!q.exec(sql))
            return fail(q.lastError());
    if (!db.commit())
        return fail(db.lastError());
    return true;
}
