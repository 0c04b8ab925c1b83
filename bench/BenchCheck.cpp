// pinvel-bench-check: the harness check on 190 pins in 95 nets through the loaded libkestrum.so
// and its simulated unit: round trips to learn and to verify a good harness, and the time of a
// verify with the unit answering each round trip after 1 ms (a USB unit's pace) and flat out.

#include "BenchQuick.h"
#include "TCheckPoints.h"
#include "THarnessCheck.h"
#include "TPortExchange.h"
#include "TSootv.h"
#include "WorkWithCOM.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int Nets = 95;

std::uint16_t X1(int k) {
    return std::uint16_t(400 + k);
}
std::uint16_t X2(int k) {
    return std::uint16_t(272 + k);
}

// Net k joins X1 pin k and X2 pin k; the points follow the table of a project that tied them
// in that order.
TCheckPoints Points() {
    std::vector<TCheckPoint> points;
    for (int k = 0; k < Nets; ++k) {
        points.push_back({X1(k), {QStringLiteral("XT1:%1").arg(k + 1)}});
        points.push_back({X2(k), {QStringLiteral("XP2:%1").arg(k + 1)}});
    }
    return TCheckPoints(points);
}

QByteArray Harness() {
    QJsonArray nets;
    for (int k = 0; k < Nets; ++k)
        nets.append(QJsonArray{TSootv::PinName(X1(k)), TSootv::PinName(X2(k))});
    return QJsonDocument(QJsonObject{{"nets", nets}}).toJson();
}

struct TUnit {
    TComPortHandle Port;
    std::unique_ptr<TPortExchange> Exchange;
};

TUnit Open(const QString& harness, int replyUs) {
    TDeviceSettings device;
    device.Harness = QFile::encodeName(harness);
    device.SimReplyUs = replyUs;
    QString error;
    TUnit unit;
    unit.Port = ComCreator(device.Config(), {QCoreApplication::applicationDirPath()}, &error);
    const SCP_Info info{3, "pinvel-bench-check", 0, 1};
    if (!unit.Port || unit.Port->Init(&info) == 0 || unit.Port->Open(nullptr) == 0) {
        std::fprintf(stderr, "%s\n", qPrintable(unit.Port ? PortErrorText(unit.Port) : error));
        unit.Port.reset();
        return unit;
    }
    unit.Exchange = std::make_unique<TPortExchange>(*unit.Port, unit.Port->UnitType() == 101);
    return unit;
}

// Milliseconds per verify of the good harness over at least `spanMs`.
double VerifyMs(THarnessCheck& check, const TReference& reference, int spanMs, bool& good) {
    for (int i = 0; i < 3; ++i) // warm up
        good = good && check.Verify(reference).Good();
    QElapsedTimer timer;
    timer.start();
    long long runs = 0;
    while (timer.elapsed() < spanMs) {
        good = good && check.Verify(reference).Good();
        ++runs;
    }
    return double(timer.nsecsElapsed()) / 1e6 / double(runs);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int second = BenchSize(BenchQuick(argc, argv), 1000, 100);
    QTemporaryDir dir;
    const QString harness = dir.filePath(QStringLiteral("harness.json"));
    QFile file(harness);
    if (!file.open(QIODevice::WriteOnly) || file.write(Harness()) < 0)
        return 1;
    file.close();
    const TCheckPoints points = Points();

    TUnit flat = Open(harness, 0);
    TUnit paced = Open(harness, 1000);
    if (!flat.Exchange || !paced.Exchange)
        return 1;
    THarnessCheck inProcess(points, *flat.Exchange);
    const TLearnResult learnt = inProcess.Learn();
    if (!learnt.Learnt() || learnt.Reference.NetCount() != Nets) {
        std::fprintf(stderr, "the good harness did not learn as %d nets\n", Nets);
        return 1;
    }
    const TCheckResult verified = inProcess.Verify(learnt.Reference);
    std::printf("learn_round_trips: %d\n", learnt.RoundTrips);
    std::printf("verify_round_trips_good: %d\n", verified.RoundTrips);
    std::fflush(stdout);

    bool good = verified.Good();
    THarnessCheck atPace(points, *paced.Exchange);
    std::printf("verify_ms_190_pins_1ms_unit: %.1f\n",
                VerifyMs(atPace, learnt.Reference, 2 * second, good));
    std::printf("verify_ms_190_pins_inprocess: %.3f\n",
                VerifyMs(inProcess, learnt.Reference, second, good));
    std::fflush(stdout);
    if (!good) {
        std::fprintf(stderr, "the good harness did not verify as good\n");
        return 1;
    }
    return 0;
}
