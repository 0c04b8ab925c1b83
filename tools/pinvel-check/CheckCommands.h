// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordsConfig.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TCheckPoints;
class TReference;

// Commands of pinvel-check kept in files of their own: each takes the arguments after its name
// and answers the exit code; what stops it before a test raises (EToolRefused: exit code 2).
int ProbeCommand(const QStringList& args);
int FixtureCommand(const QStringList& args);
// The records' settings of --settings, else the program's (a named file missing or unreadable
// raises; a [Records] section that cannot be taken is said on standard error).
TRecordsConfig RecordsConfigOf(const QString& settings);
int AuditCommand(const QStringList& args);
int DbCommand(const QStringList& args);
// report --reference SHA: the kept reference's wire list.
int ReferenceReportCommand(const QStringList& args);
// Their lines of the usage text.
QString ProbeUsage();
QString FixtureUsage();
QString AuditUsage();
QString DbUsage();
QString ReferenceReportUsage();

// Before learn writes `renewed` over the list at `path`: prints how it differs from the list
// there; false (nothing written) when there is one and `replace` was not given.
bool LearnMayReplace(const QString& path, const TReference& renewed, const TCheckPoints& points,
                     bool replace);
// Keeps a learned reference in the records (the settings file's [Records]); a failure is said,
// never fatal: the first record checked against it keeps it too.
void KeepLearnedReference(const QString& settings, const QString& projectPath,
                          const QByteArray& wires, const QString& oper);
