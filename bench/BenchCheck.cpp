// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-bench-check: the harness check on 190 pins in 95 nets through the loaded libkestrum.so
// and its simulated unit: round trips to learn and to verify a good harness, and the time of a
// verify with the unit answering each round trip after 1 ms (a USB unit's pace) and flat out.

#include "BenchQuick.h"
#include "TAssemblyGuide.h"
#include "TCheckPoints.h"
#include "TControlClient.h"
#include "THarnessCheck.h"
#include "TProbeSearch.h"
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

#include <QProcess>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

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

// The most round trips one probe search takes over 190 points on their own, the probe on each.
int ProbeRoundTrips190() {
    TUnit unit = Open(QString(), 0);
    if (!unit.Exchange)
        return -1;
    TCounted counted(*unit.Exchange);
    TProbeSearch search(Points(), TReference{});
    long long most = 0;
    for (int i = 0; i < 4; ++i) {
        const long long before = counted.Trips;
        search.Find(counted);
        most = std::max(most, counted.Trips - before);
    }
    return int(most);
}

// Guided assembly of the 95 wires at a USB unit's pace: pinvel-unit answers each round trip after
// 1 ms, its harness changed through its control port; the guide looks on a thread of its own as
// the worker runs it. Milliseconds from a wire's insertion until it is ticked: mean and most.
bool AssemblyDetectMs(double& mean, double& most) {
    QProcess unit;
    unit.start(QCoreApplication::applicationDirPath() + QStringLiteral("/pinvel-unit"),
               {"--listen", "127.0.0.1:0", "--control", "127.0.0.1:0", "--reply-us", "1000"});
    QByteArray said;
    while (said.count('\n') < 2 && unit.waitForReadyRead(10000))
        said += unit.readAllStandardOutput();
    const QList<QByteArray> lines = said.split('\n');
    if (lines.size() < 2)
        return false;
    const auto port = [](const QByteArray& line) {
        return line.split(',').value(0).split(':').last().trimmed().toInt();
    };
    TDeviceSettings device;
    device.Link = "tcp:127.0.0.1:" + QByteArray::number(port(lines[0]));
    QString error;
    TComPortHandle handle =
        ComCreator(device.Config(), {QCoreApplication::applicationDirPath()}, &error);
    const SCP_Info info{3, "pinvel-bench-check", 0, 1};
    if (!handle || handle->Init(&info) == 0 || handle->Open(nullptr) == 0)
        return false;
    TPortExchange exchange(*handle, handle->UnitType() == 101);
    TControlClient control(port(lines[1]));
    std::vector<std::vector<int>> nets;
    for (int k = 0; k < Nets; ++k)
        nets.push_back({2 * k, 2 * k + 1});
    TAssemblyGuide guide(Points(), TReference::FromNets(nets, 2 * Nets));
    std::thread worker([&] {
        while (guide.Step(exchange)) {
        }
    });
    std::vector<double> detect;
    for (int k = 0; k < 20; ++k) {
        std::this_thread::sleep_for(std::chrono::milliseconds(37)); // anywhere in a look
        QElapsedTimer timer;
        timer.start();
        if (control.Line(QStringLiteral("connect %1 %2").arg(TSootv::PinName(X1(k)),
                                                             TSootv::PinName(X2(k)))) !=
            QLatin1String("ok"))
            break;
        while (guide.State().TickedCount() <= k && timer.elapsed() < 5000)
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        detect.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    guide.Stop();
    worker.join();
    handle->Close();
    unit.kill();
    unit.waitForFinished(5000);
    if (detect.size() != 20)
        return false;
    mean = 0;
    for (double d : detect)
        mean += d / double(detect.size());
    most = *std::max_element(detect.begin(), detect.end());
    return true;
}

// The figures of the checks that work beside the technician.
bool PrintGuidedFigures() {
    std::printf("probe_round_trips_190: %d\n", ProbeRoundTrips190());
    std::fflush(stdout);
    double mean = 0;
    double most = 0;
    if (!AssemblyDetectMs(mean, most)) {
        std::fprintf(stderr, "the assembly's detection could not be measured\n");
        return false;
    }
    std::printf("assembly_detect_ms_190_1ms_unit: %.1f\n", mean);
    std::printf("assembly_detect_ms_190_1ms_unit_max: %.1f\n", most);
    std::fflush(stdout);
    return true;
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
    return PrintGuidedFigures() ? 0 : 1;
}
