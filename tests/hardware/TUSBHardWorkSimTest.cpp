// SPDX-License-Identifier: GPL-3.0-or-later
// The worker through the real device library and its simulated unit.

#include "HardTestKit.h"
#include "WorkWithCOM.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

namespace {

// The rig's worker on the library's simulated unit with a harness file. The test keeps the
// library's handle (for the fault switch); the worker borrows the port.
struct TSimRig : TRig {
    TComPortHandle Handle;

    explicit TSimRig(const QByteArray& harness, int timeoutMs = 1000) : TRig(false) {
        TDeviceSettings device;
        device.Harness = harness;
        device.ReplyTimeoutMs = timeoutMs;
        device.SimReplyUs = 0;
        QString error;
        Handle = ComCreator(device.Config(), &error);
        if (!Handle)
            qFatal("%s", qPrintable(error));
        IComPort* raw = Handle.get();
        MakeWorker([raw] { return std::shared_ptr<IComPort>(raw, [](IComPort*) {}); });
    }
    ~TSimRig() { Worker->ClosePort(); }
};

} // namespace

class TUSBHardWorkSimTest : public QObject {
    Q_OBJECT
  private slots:
    void netsShowOneLevel() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel sim XXXXXX"));
        QFile file(dir.filePath(QStringLiteral("harness one.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"nets": [["X1:a1", "X2:c5"], ["X1:b3", "X1:b4"]], "probe": "X1:a1"})");
        file.close();
        TSimRig rig(QFile::encodeName(file.fileName()));
        QVERIFY(rig.Worker->FRawPins);
        rig.Tie(TSootv::PinCode(1, 1, 3), {{0, 0}}); // X1:a1, switched on
        rig.Tie(TSootv::PinCode(2, 5, 1), {{1, 0}}); // X2:c5, off, in the same net
        rig.Tie(TSootv::PinCode(1, 3, 2), {{2, 0}}); // X1:b3, on
        rig.Tie(TSootv::PinCode(1, 4, 2), {{3, 0}}); // X1:b4, off, in the same net
        rig.Tie(TSootv::PinCode(1, 9, 1), {{4, 0}}); // X1:c9, off, alone
        for (int c : {1, 3, 4})
            rig.At(c, 0).State = TContactState::csFree;
        rig.Worker->FillPins();
        QVERIFY(rig.Pass());
        const auto colours = [&] {
            std::vector<TColor> out;
            for (int c = 0; c < 5; ++c)
                out.push_back(rig.At(c, 0).IndColor);
            return out;
        };
        const TColor r = Colors::clRed, g = Colors::clGreen;
        QCOMPARE(colours(), (std::vector<TColor>{r, r, r, r, g}));
        QCOMPARE(rig.View.ZondIn, r); // the probe touches the first net

        // Both contacts of the first net off: the probe output alone drives that net.
        rig.At(0, 0).State = TContactState::csFree;
        QVERIFY(rig.Pass());
        QCOMPARE(colours(), (std::vector<TColor>{g, g, r, r, g}));
        rig.Settings.ZondWrite = ZondWriteMode::Hi;
        QVERIFY(rig.Pass());
        QCOMPARE(colours(), (std::vector<TColor>{r, r, r, r, g}));
        QCOMPARE(rig.View.ZondOut, r);
    }

    void lostLinkIsRestored() {
        TSimRig rig(QByteArray(), 200);
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        QVERIFY(rig.Pass());
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::LinkLost));
        rig.View.Answers = {true};
        QVERIFY(rig.Pass());
        QCOMPARE(rig.View.Texts.size(), qsizetype(2));
        QCOMPARE(rig.View.Texts.at(1), QStringLiteral("Соединение восстановлено!"));
        QCOMPARE(rig.View.Calls.filter("Controls"), QStringList{"Controls 110"});
        QCOMPARE(rig.At(0, 0).IndColor.load(), Colors::clRed);

        // A unit that stops answering: the wait gives up and the user is asked.
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::NoReply));
        rig.View.Answers = {false};
        rig.Worker->Resume();
        QTRY_COMPARE(rig.View.Texts.size(), qsizetype(3));
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::None));
        QVERIFY(rig.Worker->WaitForRest());
        QVERIFY(!rig.Worker->FMustRepair);
    }

    // A reply of the right length under another code is no reading: the worker takes the
    // recovery road and the indicators keep what the unit last really said.
    void replyUnderAnotherCodeIsNoReading() {
        TSimRig rig(QByteArray(), 300);
        rig.Tie(TSootv::PinCode(1, 1, 3), {{0, 0}});
        rig.Tie(TSootv::PinCode(1, 2, 3), {{1, 0}});
        rig.At(1, 0).State = TContactState::csFree;
        rig.Worker->FillPins();
        QVERIFY(rig.Pass());
        QCOMPARE(rig.At(0, 0).IndColor.load(), Colors::clRed);
        QCOMPARE(rig.At(1, 0).IndColor.load(), Colors::clGreen);
        QVERIFY(rig.View.Texts.isEmpty());

        // Both switched the other way: a reading taken for real would swap the colours. The
        // worker asks after every failed pass while the fault lasts (as often as it goes round
        // before the fault is cleared); each time "No".
        rig.At(0, 0).State = TContactState::csFree;
        rig.At(1, 0).State = TContactState::csTied;
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::WrongCode));
        rig.View.Answers = std::deque<bool>(100000, false);
        rig.Worker->Resume();
        QTRY_VERIFY(!rig.View.Texts.isEmpty());
        QVERIFY2(rig.View.Texts.front().startsWith(
                     QStringLiteral("Произошла ошибка при обращении к устройству.")),
                 qPrintable(rig.View.Texts.front()));
        QCOMPARE(rig.At(0, 0).IndColor.load(), Colors::clRed);
        QCOMPARE(rig.At(1, 0).IndColor.load(), Colors::clGreen);

        // The unit answers properly again: the next pass reads the new levels and rests.
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::None));
        QVERIFY(rig.Worker->WaitForRest(5000));
        QCOMPARE(rig.At(0, 0).IndColor.load(), Colors::clGreen);
        QCOMPARE(rig.At(1, 0).IndColor.load(), Colors::clRed);
        QVERIFY(rig.View.Texts.filter(QStringLiteral("Соединение")).isEmpty());
    }

    // A unit that is slow to answer never holds the user-interface thread: a rest asked for cuts
    // the wait short (the unit did nothing wrong: no question), the next pass opens the port
    // again, and a reboot or the program's end do not wait behind the worker either.
    void slowUnitIsCutShort() {
        TSimRig rig(QByteArray(), 20000);
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        QVERIFY(rig.Pass());
        const std::uint64_t passes = rig.Worker->Passes();
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::NoReply));
        rig.Worker->Resume();
        QTRY_VERIFY(rig.Worker->WaitsForUnit());
        QElapsedTimer clock;
        clock.start();
        QVERIFY(rig.Worker->BringToRest());
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(rig.Worker->IsResting());
        QVERIFY(rig.View.Texts.isEmpty());
        QCOMPARE(rig.Worker->Passes(), passes);

        // Answering again, the unit is reached through a port opened anew.
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::None));
        rig.At(0, 0).IndColor = Colors::clGreen;
        QVERIFY(rig.Pass());
        QCOMPARE(rig.Worker->Passes(), passes + 1);
        QCOMPARE(rig.At(0, 0).IndColor.load(), Colors::clRed);
        QVERIFY(rig.View.Texts.isEmpty());
        QVERIFY(!rig.Worker->CutRequested());

        // A reboot while the worker waits: at once, and the worker takes the recovery road.
        QVERIFY(SimulateFault(rig.Handle, KestrumFault::NoReply));
        rig.View.Answers = {false};
        rig.Worker->Resume();
        QTRY_VERIFY(rig.Worker->WaitsForUnit());
        clock.restart();
        rig.Worker->RebootUnit();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE(rig.View.Texts.size(), qsizetype(1));
        QVERIFY(rig.View.Texts[0].startsWith(QStringLiteral("Произошла ошибка")));
        // Declined, the worker goes on and waits again: the rest cuts that wait too.
        QVERIFY(rig.Worker->BringToRest());
        QCOMPARE(rig.View.Texts.size(), qsizetype(1));

        // The program ends while the worker waits.
        rig.Worker->Resume();
        QTRY_VERIFY(rig.Worker->WaitsForUnit());
        clock.restart();
        QVERIFY(rig.Worker->BringToRest(3000));
        rig.Worker->StopUnit();
        rig.Worker->Shutdown();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
    }

    // A wait shorter than the grace is left alone: the pass ends by itself and the port stays.
    void quickUnitIsNeverCut() {
        TSimRig rig(QByteArray(), 20000);
        rig.Tie(400, {{0, 0}});
        rig.Worker->FillPins();
        rig.Settings.Cycle = true;
        rig.Worker->Resume();
        QTRY_VERIFY(rig.Worker->Passes() > 50);
        QVERIFY(rig.Worker->BringToRest());
        QVERIFY(!rig.Worker->CutRequested());
        rig.Settings.Cycle = false;
        QVERIFY(rig.View.Texts.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TUSBHardWorkSimTest)
#include "TUSBHardWorkSimTest.moc"
