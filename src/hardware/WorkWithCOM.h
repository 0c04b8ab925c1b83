// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Creation of the device access object: finding and loading libkestrum.so (or a vendor's library
// of the same name), the registration check run at start-up, and the "Device" settings.

#include "IComPort.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

class QLibrary;
class TIniFile;

// Frees a port through its own library and keeps that library loaded until the last port made
// by it is gone.
struct TComPortDeleter {
    std::shared_ptr<QLibrary> Library;
    void operator()(IComPort* port) const;
};
using TComPortHandle = std::unique_ptr<IComPort, TComPortDeleter>;

// The "Device" section of the settings file, with text storage for the KestrumConfig that points
// into it (so the config is valid while this object lives).
struct TDeviceSettings {
    // The longest wait for a reply the settings file may ask for; a wait beyond a minute would
    // look like a frozen program, one below 50 ms fails a healthy unit.
    static constexpr int MinReplyTimeoutMs = 50;
    static constexpr int MaxReplyTimeoutMs = 60000;

    QByteArray Link = "sim";
    QByteArray Harness; // empty: no harness description
    int ReplyTimeoutMs = 1000;
    // The simulated unit's time per answer, microseconds: a real unit's pace unless set; a
    // second per answer is already far slower than any unit.
    int SimReplyUs = 1000;
    static constexpr int MaxSimReplyUs = 1000000;
    // Values of the section that could not be taken as written, each with what was taken
    // instead ("ReplyTimeoutMs=abc: ожидалось число от 50 до 60000, взято 1000").
    QStringList Problems;

    KestrumConfig Config() const;
};

// Keys Link, Harness, ReplyTimeoutMs and SimReplyUs of section "Device"; a relative harness path
// is taken from the settings file's folder. A time-out that is not a number reads as 1000 and one
// outside 50..60000 as the nearer end; a pace that is no number from 0 to 1000000 reads as 1000;
// each is named in Problems.
TDeviceSettings ReadDeviceSettings(const TIniFile& ini);

// The library's file name, compared without regard to case.
inline constexpr const char* KestrumLibraryName = "libkestrum.so";
// Where the library is looked for, in order: beside the executable, then ../lib/pinvel/.
QStringList KestrumLibraryFolders();
// The full path of the library in the first folder that has it; empty when none has.
QString FindKestrumLibrary(const QStringList& folders);

// Empty when the library is registered (found, loads, exports its creator), otherwise the text
// the program shows before it ends.
QString CheckRegistration();
QString CheckRegistration(const QStringList& folders);

// Creates a port object through the library; an empty handle (and a message in `error`) when
// the library is missing, does not load, lacks the creator or the creator fails.
TComPortHandle ComCreator(const KestrumConfig& config, QString* error = nullptr);
TComPortHandle ComCreator(const KestrumConfig& config, const QStringList& folders,
                          QString* error = nullptr);

// The text of the port's last error, when its library can tell it; empty otherwise.
QString PortErrorText(const TComPortHandle& port);
// The same for a port handed on as a shared pointer (it keeps the handle's deleter).
QString PortErrorText(const std::shared_ptr<IComPort>& port);
// Tells a port on the simulated unit to misbehave (KestrumFault kinds); false when its library
// cannot (not the simulated unit, or a library without this export).
bool SimulateFault(const TComPortHandle& port, int kind, int afterCommands = 0);
