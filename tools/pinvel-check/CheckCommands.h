// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

// Commands of pinvel-check kept in files of their own: each takes the arguments after its name
// and answers the exit code; what stops it before a test raises (EToolRefused: exit code 2).
int ProbeCommand(const QStringList& args);
int FixtureCommand(const QStringList& args);
int AuditCommand(const QStringList& args);
int DbCommand(const QStringList& args);
// Their lines of the usage text.
QString ProbeUsage();
QString FixtureUsage();
QString AuditUsage();
QString DbUsage();
