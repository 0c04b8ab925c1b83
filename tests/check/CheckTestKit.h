// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the harness check's tests: projects built as the editor builds them, harness
// descriptions for the simulated unit, and a port on the built libkestrum.so.

#include "ProjectSamples.h"
#include "TCheckPoints.h"
#include "TPortExchange.h"
#include "WorkWithCOM.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

namespace CheckKit {

// "X1:a5" as the grid cell of the correspondence editor: grid, column, row (row 1 = pin row c).
inline void PinCell(const QString& pin, int& grid, int& col, int& row) {
    grid = pin.at(1) == QLatin1Char('1') ? 1 : 2;
    row = 3 - (pin.at(3).unicode() - u'a');
    col = pin.mid(4).toInt();
}

// A project whose contacts are tied to unit pins by name: {"XT1:a1", "X1:a1"}.
struct TProject : Samples::TProject {
    // Connectors XT1 (rows a 1..8, b 1..6) and XP2 (rows a, b, c 1..4), as the demo has them.
    TProject() {
        AddRazem(QStringLiteral("XT1"), {Samples::Row(8, "a"), Samples::Row(6, "b")});
        AddRazem(QStringLiteral("XP2"),
                 {Samples::Row(4, "a"), Samples::Row(4, "b"), Samples::Row(4, "c")});
    }
    void TieTo(const QString& contact, const QString& pin) {
        const QString razem = contact.section(QLatin1Char(':'), 0, 0);
        int grid = 0, col = 0, row = 0;
        PinCell(pin, grid, col, row);
        Tie(*WorkPlace.Razem(WorkPlace.IndexOfName(razem)), contact.section(QLatin1Char(':'), 1),
            grid, col, row);
    }
    TCheckPoints Points() const { return TCheckPoints::FromProject(WorkPlace, Sootv); }
};

// A harness description for the simulated unit in a folder with a space in its name.
class THarnessFile {
  public:
    explicit THarnessFile(const QJsonObject& harness)
        : FDir(QDir::tempPath() + QStringLiteral("/pinvel check XXXXXX")) {
        FPath = FDir.filePath(QStringLiteral("жгут 1.json"));
        QFile file(FPath);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(FPath));
        file.write(QJsonDocument(harness).toJson());
    }
    QByteArray Path() const { return QFile::encodeName(FPath); }
    QString Folder() const { return FDir.path(); }

  private:
    QTemporaryDir FDir;
    QString FPath;
};

// A list of lists built by appending: a braced list of one array would be taken for a copy of
// that array by some compilers.
inline QJsonArray Lists(std::initializer_list<QJsonArray> lists) {
    QJsonArray out;
    for (const QJsonArray& l : lists)
        out.append(l);
    return out;
}

inline QJsonArray Pins(std::initializer_list<const char*> pins) {
    QJsonArray out;
    for (const char* p : pins)
        out.append(QString::fromLatin1(p));
    return out;
}

// A port of the built library on its simulated unit, opened, with the round trip over it.
struct TSimUnit {
    TComPortHandle Port;
    std::unique_ptr<TPortExchange> Exchange;

    explicit TSimUnit(const QByteArray& harness, int replyUs = 0) {
        TDeviceSettings device;
        device.Harness = harness;
        device.SimReplyUs = replyUs;
        QString error;
        Port = ComCreator(device.Config(), {qEnvironmentVariable("PINVEL_BIN_DIR")}, &error);
        if (!Port)
            qFatal("%s", qPrintable(error));
        const SCP_Info info{3, "Pinvel", 0, 1};
        std::int32_t out = 0;
        if (Port->Init(&info) == 0 || Port->Open(&out) == 0)
            qFatal("%s", qPrintable(PortErrorText(Port)));
        Exchange = std::make_unique<TPortExchange>(*Port, Port->UnitType() == 101);
    }
};

} // namespace CheckKit
