// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The unit emulator started with its control port, reached over TCP through the built
// libkestrum.so as the program reaches it, and changed by hand through the control lines.

#include "IComPort.h"
#include "TCheckPoints.h"
#include "TControlClient.h"
#include "TPortExchange.h"
#include "TSootv.h"
#include "TUnitProcess.h"
#include "WorkWithCOM.h"

#include <QTest>
#include <memory>

namespace ControlKit {

// Point i: X1 pins first (X1:a1 = point 0), then X2; its one contact "XT1:a1" / "XP2:a1".
inline std::uint16_t PinOf(int point) {
    return std::uint16_t(point < 95 ? 400 + point : 272 + point - 95);
}
inline QString PinName(int point) {
    return TSootv::PinName(PinOf(point));
}
inline QString ContactOf(int point) {
    const QString pin = PinName(point);
    return (point < 95 ? QStringLiteral("XT1:") : QStringLiteral("XP2:")) + pin.mid(3);
}
inline TCheckPoints Points(int count) {
    std::vector<TCheckPoint> points;
    for (int i = 0; i < count; ++i)
        points.push_back({PinOf(i), {ContactOf(i)}});
    return TCheckPoints(points);
}

// Counts the round trips through it.
class TCounted final : public IUnitExchange {
  public:
    explicit TCounted(IUnitExchange& unit) : FUnit(unit) {}
    void WriteRead(const std::vector<std::uint16_t>& pins, const std::vector<std::uint8_t>& levels,
                   std::vector<std::uint8_t>& read) override {
        ++Trips;
        FUnit.WriteRead(pins, levels, read);
    }
    std::uint8_t ProbeIn() const override { return FUnit.ProbeIn(); }
    long long Trips = 0;

  private:
    IUnitExchange& FUnit;
};

// pinvel-unit with --control, answering at once, and a port on it.
struct TUnit {
    TUnitProcess Process;
    int ControlPort = 0;
    std::unique_ptr<TControlClient> Control;
    TComPortHandle Port;
    std::unique_ptr<TPortExchange> Exchange;
    std::unique_ptr<TCounted> Counted;

    explicit TUnit(const QStringList& options = {})
        : Process(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-unit"),
                  QStringList{"--reply-us", "0", "--control", "127.0.0.1:0"} + options) {
        const int port = Process.Start(0);
        if (port == 0)
            qFatal("pinvel-unit did not start");
        ControlPort = Process.ControlPort();
        if (ControlPort == 0)
            qFatal("pinvel-unit did not say its control port");
        Control = std::make_unique<TControlClient>(ControlPort);
        TDeviceSettings device;
        device.Link = "tcp:127.0.0.1:" + QByteArray::number(port);
        device.ReplyTimeoutMs = 3000;
        QString error;
        Port = ComCreator(device.Config(), {qEnvironmentVariable("PINVEL_BIN_DIR")}, &error);
        if (!Port)
            qFatal("%s", qPrintable(error));
        const SCP_Info info{3, "Pinvel", 0, 1};
        std::int32_t out = 0;
        if (Port->Init(&info) == 0 || Port->Open(&out) == 0)
            qFatal("%s", qPrintable(PortErrorText(Port)));
        Exchange = std::make_unique<TPortExchange>(*Port, Port->UnitType() == 101);
        Counted = std::make_unique<TCounted>(*Exchange);
    }
    ~TUnit() {
        if (Port)
            Port->Close();
    }

    // One control line; its answer.
    QString Say(const QString& line) { return Control->Line(line); }
    // Wires point a to point b (by their unit pins); false unless the emulator says ok.
    bool Connect(int a, int b) {
        return Say(QStringLiteral("connect %1 %2").arg(PinName(a), PinName(b))) ==
               QLatin1String("ok");
    }
    bool Disconnect(int a, int b) {
        return Say(QStringLiteral("disconnect %1 %2").arg(PinName(a), PinName(b))) ==
               QLatin1String("ok");
    }
    IUnitExchange& Unit() { return *Counted; }
};

} // namespace ControlKit
