// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Turns the stop requests of the session and the terminal (SIGTERM, SIGHUP, SIGINT) into an
// ordinary close of the main window on the user-interface thread, so the save question, the
// settings file and the ordered end of the worker all happen as when the user closes it. The
// handler only writes to an eventfd; a second request ends the program the default way.
class TStopSignals : public QObject {
    Q_OBJECT
  public:
    explicit TStopSignals(QObject* parent = nullptr);
    ~TStopSignals() override;

  signals:
    void StopRequested(int signalNumber);

  private:
    void Received();

    std::unique_ptr<QSocketNotifier> FNotifier;
};
