// SPDX-License-Identifier: GPL-3.0-or-later
// The tester's worker on the open unit: its passes through the library's serial link to the
// firmware in pinvel-avrsim paint the levels the harness gives.
#include "../hardware/HardTestKit.h"
#include "AvrsimTestKit.h"
#include "WorkWithCOM.h"

#include <QFile>
#include <QTemporaryDir>

class PinvelAvrsimTesterTest : public QObject {
    Q_OBJECT
  private slots:
    void passesPaintTheHarness() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel avrsim tester XXXXXX"));
        QFile file(dir.filePath(QStringLiteral("harness one.json")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(R"({"nets": [["X1:a1", "X2:c5"], ["X1:b3", "X1:b4"]], "probe": "X1:a1"})");
        file.close();
        TBoard board;
        QVERIFY(board.Start(file.fileName()));

        TRig rig(false);
        TDeviceSettings device;
        device.Link = "serial:" + QFile::encodeName(board.Tty) + "@1000000";
        device.ReplyTimeoutMs = 2000;
        QString error;
        TComPortHandle handle = ComCreator(device.Config(), &error);
        QVERIFY2(handle, qPrintable(error));
        IComPort* raw = handle.get();
        rig.MakeWorker([raw] { return std::shared_ptr<IComPort>(raw, [](IComPort*) {}); });
        QVERIFY(rig.Worker->FRawPins); // the open unit is of type 101

        rig.Tie(TSootv::PinCode(1, 1, 3), {{0, 0}}); // X1:a1, switched on
        rig.Tie(TSootv::PinCode(2, 5, 1), {{1, 0}}); // X2:c5, off, in the same net
        rig.Tie(TSootv::PinCode(1, 3, 2), {{2, 0}}); // X1:b3, on
        rig.Tie(TSootv::PinCode(1, 4, 2), {{3, 0}}); // X1:b4, off, in the same net
        rig.Tie(TSootv::PinCode(1, 9, 1), {{4, 0}}); // X1:c9, off, alone
        for (int c : {1, 3, 4})
            rig.At(c, 0).State = TContactState::csFree;
        rig.Worker->FillPins();
        const auto colours = [&] {
            std::vector<TColor> out;
            for (int c = 0; c < 5; ++c)
                out.push_back(rig.At(c, 0).IndColor);
            return out;
        };
        const TColor r = Colors::clRed, g = Colors::clGreen;
        QVERIFY(rig.Pass());
        QCOMPARE(colours(), (std::vector<TColor>{r, r, r, r, g}));
        QCOMPARE(rig.View.ZondIn, r); // the probe touches the first net
        // Both contacts of the first net off: it falls to 0; the probe output alone lifts it.
        rig.At(0, 0).State = TContactState::csFree;
        QVERIFY(rig.Pass());
        QCOMPARE(colours(), (std::vector<TColor>{g, g, r, r, g}));
        rig.Settings.ZondWrite = ZondWriteMode::Hi;
        QVERIFY(rig.Pass());
        QCOMPARE(colours(), (std::vector<TColor>{r, r, r, r, g}));
        QCOMPARE(rig.View.ZondOut, r);
        rig.Worker->ClosePort();
    }
};

QTEST_GUILESS_MAIN(PinvelAvrsimTesterTest)
#include "PinvelAvrsimTesterTest.moc"
