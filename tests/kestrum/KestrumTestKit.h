// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Shared by the library's tests: ports are made through the built libkestrum.so, loaded as the
// program loads it, never by linking the library's classes.

#include "WorkWithCOM.h"

#include <QByteArray>
#include <QString>
#include <QTest>
#include <initializer_list>

struct TPinLevel {
    std::uint16_t Pin;
    std::uint8_t Level;
};

inline QByteArray Triples(std::initializer_list<TPinLevel> pins, QByteArray head = {}) {
    for (const TPinLevel& p : pins) {
        head.append(static_cast<char>(p.Pin >> 8));
        head.append(static_cast<char>(p.Pin & 0xFF));
        head.append(static_cast<char>(p.Level));
    }
    return head;
}

inline QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

inline QString BinDir() {
    return qEnvironmentVariable("PINVEL_BIN_DIR");
}
inline QString TestData(const QString& name) {
    return qEnvironmentVariable("PINVEL_TEST_DATA") + QLatin1Char('/') + name;
}

inline TComPortHandle MakePort(const QByteArray& link, const QByteArray& harness = {},
                               int timeoutMs = 300) {
    TDeviceSettings settings;
    settings.Link = link;
    settings.Harness = harness;
    settings.ReplyTimeoutMs = timeoutMs;
    QString error;
    TComPortHandle port = ComCreator(settings.Config(), {BinDir()}, &error);
    if (!port)
        qWarning("%s", qPrintable(error));
    return port;
}

inline bool InitAndOpen(IComPort* port, std::int32_t* unitType = nullptr) {
    const SCP_Info info{3, "Pinvel", 0, 1};
    std::int32_t out = 0;
    const bool ok = port->Init(&info) != 0 && port->Open(&out) != 0 && port->LastError() == 0;
    if (unitType != nullptr)
        *unitType = out;
    return ok;
}

inline std::int32_t SendBytes(IComPort* port, int code, const QByteArray& data) {
    return port->Send(code, static_cast<std::int32_t>(data.size()),
                      reinterpret_cast<const std::uint8_t*>(data.constData()));
}

inline QByteArray Reply(IComPort* port) {
    return QByteArray(reinterpret_cast<const char*>(port->ReplyData()), port->ReplyLength());
}

// Sends a command and waits for its reply; the reply's bytes, or "<no reply>".
inline QByteArray Exchange(IComPort* port, int code, const QByteArray& data) {
    if (SendBytes(port, code, data) == 0 || port->Wait(-1) != 0)
        return QByteArrayLiteral("<no reply>");
    return Reply(port);
}
