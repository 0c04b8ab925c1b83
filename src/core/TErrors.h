// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <stdexcept>

// Failures of files, of the unit and of limits travel as these exceptions to the one place that
// reports them. The message is the readable Russian text the user sees.
class EPinvel : public std::runtime_error {
  public:
    explicit EPinvel(const QString& message)
        : std::runtime_error(message.toStdString()), FMessage(message) {}
    const QString& Message() const { return FMessage; }

  private:
    QString FMessage;
};

// A request that would go past the connector's limits (columns, rows, size class).
class ELimit : public EPinvel {
  public:
    using EPinvel::EPinvel;
};

// A project file that cannot be read or written.
class EFileError : public EPinvel {
  public:
    using EPinvel::EPinvel;
};

// A failure of the diagnostic unit or of its link; the message may be one of the worker's
// recovery keys ("Must repair", "Invalid callback", "InvalidCallBack").
class EUnitError : public EPinvel {
  public:
    using EPinvel::EPinvel;
};
