// SPDX-License-Identifier: GPL-3.0-or-later
// A stop request of the session reaches the user-interface thread as a signal, once.

#include "TStopSignals.h"

#include <QSignalSpy>
#include <QTest>
#include <csignal>

namespace {
bool IsDefault(int signalNumber) {
    struct sigaction now {};
    sigaction(signalNumber, nullptr, &now);
    return now.sa_handler == SIG_DFL;
}
} // namespace

class TStopSignalsTest : public QObject {
    Q_OBJECT
  private slots:
    void aRequestArrivesOnTheEventLoopOnce() {
        {
            TStopSignals stop;
            QSignalSpy spy(&stop, &TStopSignals::StopRequested);
            QVERIFY(!IsDefault(SIGTERM) && !IsDefault(SIGHUP) && !IsDefault(SIGINT));
            std::raise(SIGTERM); // the process lives on: the handler only wakes the loop
            QTRY_COMPARE(spy.count(), 1);
            QCOMPARE(spy.front().front().toInt(), SIGTERM);
            // A second request of the same kind would end the program the default way.
            QVERIFY(IsDefault(SIGTERM));
            QVERIFY(!IsDefault(SIGINT));
        }
        // The object gone, every signal has its default meaning; a new one takes them again.
        QVERIFY(IsDefault(SIGINT) && IsDefault(SIGHUP));
        TStopSignals again;
        QSignalSpy spy(&again, &TStopSignals::StopRequested);
        std::raise(SIGINT);
        QTRY_COMPARE(spy.count(), 1);
        QCOMPARE(spy.front().front().toInt(), SIGINT);
    }
};

QTEST_GUILESS_MAIN(TStopSignalsTest)
#include "TStopSignalsTest.moc"
