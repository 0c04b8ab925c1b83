// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-bench-link: round trips of command 21 over all 190 pins per second, through the loaded
// libkestrum.so, on the simulated unit in process and on the unit emulator over TCP loopback.

#include "BenchQuick.h"
#include "WorkWithCOM.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>

#include <cstdio>

namespace {
int MeasureMs = 1000;

QByteArray AllPins() {
    QByteArray frame;
    for (int i = 0; i < 190; ++i) {
        const int code = i < 95 ? 272 + i : 400 + i - 95;
        frame.append(static_cast<char>(code >> 8));
        frame.append(static_cast<char>(code & 0xFF));
        frame.append(static_cast<char>(i & 1));
    }
    return frame;
}

// Round trips per second over about a second; -1 when a reply goes missing.
long long Measure(const QByteArray& link) {
    TDeviceSettings settings;
    settings.Link = link;
    settings.SimReplyUs = 0; // the link's own speed, not a unit's pace
    QString error;
    TComPortHandle port =
        ComCreator(settings.Config(), {QCoreApplication::applicationDirPath()}, &error);
    const SCP_Info info{3, "pinvel-bench-link", 0, 1};
    if (!port || port->Init(&info) == 0 || port->Open(nullptr) == 0) {
        std::fprintf(stderr, "%s: %s\n", link.constData(),
                     qPrintable(port ? PortErrorText(port) : error));
        return -1;
    }
    const QByteArray frame = AllPins();
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(frame.constData());
    auto roundTrip = [&] {
        return port->Send(21, static_cast<std::int32_t>(frame.size()), bytes) != 0 &&
               port->Wait(-1) == 0 && port->ReplyLength() == 191;
    };
    for (int i = 0; i < 100; ++i) // warm up
        if (!roundTrip())
            return -1;
    QElapsedTimer timer;
    timer.start();
    long long count = 0;
    while (timer.elapsed() < MeasureMs) {
        for (int i = 0; i < 50; ++i)
            if (!roundTrip())
                return -1;
        count += 50;
    }
    return count * 1000000000LL / timer.nsecsElapsed();
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    MeasureMs = BenchSize(BenchQuick(argc, argv), 1000, 100);
    std::printf("roundtrips_per_second_inprocess: %lld\n", Measure("sim"));
    std::fflush(stdout);

    QProcess emulator;
    emulator.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pinvel-unit"),
                   {QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"),
                    QStringLiteral("--reply-us"), QStringLiteral("0")});
    long long tcp = -1;
    if (emulator.waitForStarted(5000) && emulator.waitForReadyRead(5000)) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("127\\.0\\.0\\.1:(\\d+),"))
                .match(QString::fromUtf8(emulator.readAllStandardOutput()));
        if (m.hasMatch())
            tcp = Measure("tcp:127.0.0.1:" + m.captured(1).toLatin1());
    } else {
        std::fprintf(stderr, "pinvel-unit did not start\n");
    }
    std::printf("roundtrips_per_second_tcp: %lld\n", tcp);
    emulator.kill();
    emulator.waitForFinished(5000);
    return tcp > 0 ? 0 : 1;
}
