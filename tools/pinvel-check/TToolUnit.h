// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IUnitExchange.h"
#include "TCheckPoints.h"
#include "TErrors.h"
#include "TReference.h"
#include "TSootv.h"
#include "TWorkPlace.h"
#include "WorkWithCOM.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class TPortExchange;

// What a command of the tool cannot start with (a bad argument, a project or wire list that
// cannot be read, no unit): exit code 2, said on standard error.
class EToolRefused : public EPinvel {
  public:
    using EPinvel::EPinvel;
};

// The options every command that reaches the unit takes: --link, --harness, --settings.
struct TUnitOptions {
    std::optional<QString> Link;
    std::optional<QString> Harness;
    QString Settings;

    // Takes args[i] (and its value) when it is one of them; false when it is not.
    bool Take(const QStringList& args, qsizetype& i);
};

// A project's points of measurement, read as the program reads it.
class TToolProject {
  public:
    explicit TToolProject(const QString& path);
    const TCheckPoints& Points() const { return FPoints; }
    // The reference of the wire list `wires` (empty: the one beside the project); nothing when
    // the list is not there and was not asked for by name.
    std::optional<TReference> Reference(const QString& wires) const;

  private:
    QString FPath;
    TSootv FSootv;
    TWorkPlace FWorkPlace;
    TCheckPoints FPoints;
};

// The unit opened as the program opens it, released with the stop command.
class TToolUnit {
  public:
    explicit TToolUnit(const TUnitOptions& options);
    ~TToolUnit();
    IUnitExchange& Exchange();

  private:
    TComPortHandle FPort;
    std::unique_ptr<TPortExchange> FExchange;
};

// Text to standard output at once, and a line to standard error.
void ToolOut(const QString& text);
void ToolErr(const QString& text);
