// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

class TIniFile;

// pinvel-check supervisor add NAME | remove NAME | list: the supervisors who approve
// references, in the records' database of the settings. `args` follow the word "supervisor".
// Exit code 0 done, 1 refused (a name taken, no such supervisor, a PIN not acceptable).
int SupervisorCommand(const QStringList& args);
// pinvel-check approve PROJECT.pvl --supervisor NAME: the project's reference approved with
// the supervisor's PIN. Exit code 0 approved, 1 refused (wrong PIN, locked, no such supervisor).
int ApproveCommand(const QStringList& args);
QString ApprovalUsage();

// The settings file of --settings, else the program's; a missing named file refuses.
TIniFile ToolSettings(const QString& path);
// Before a verify or watch against the reference `referenceSum`: whether it is approved; with
// `[Check] RequireApproval=1` an unapproved one (or one whose approval cannot be read) refuses
// the check (EToolRefused).
bool ApprovedForCheck(const QString& settingsPath, const QString& referenceSum);
