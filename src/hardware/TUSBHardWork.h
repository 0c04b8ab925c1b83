// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "IComPort.h"
#include "TAbstractHard.h"

#include <QByteArray>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

// The worker for the USB diagnostic unit: the unit operations as command frames through the
// device access library's port, opening and re-opening the unit, and the run wrapper that leads
// the user through a re-initialisation when the unit stops answering.
class TUSBHardWork : public TAbstractHard {
  public:
    // Makes a port object of the device access library (empty when it cannot).
    using TPortFactory = std::function<std::shared_ptr<IComPort>()>;

    // The worker is created at rest; the thread starts at the first Resume.
    TUSBHardWork(TTesterSettings& settings, IHardView& view, TPortFactory portFactory);
    ~TUSBHardWork() override;

    // What Init hands to the library: the application title and its window.
    void SetAppInfo(const QByteArray& title, std::intptr_t window);

    // Creates and opens the port; false when any step fails. Called on the user-interface thread
    // before the first Resume.
    bool InitUnit() override;
    // Closes and re-opens the port (creating it first when there is none); run by the recovery.
    bool ReInitUnit();
    // Closes and opens the port again; false when the unit does not answer.
    bool ReopenPort();
    // The unit's stop command, then a 100 ms pause; nothing without a port.
    void StopUnit() override;
    void RebootUnit();
    // Program end, after Shutdown: the port's Close, then Done; the port is released.
    void ClosePort();
    bool HasPort();
    // Why the last InitUnit failed, as the device library tells it; empty when it cannot.
    QString InitError();

    void WriteLevels(const std::uint8_t* levels, const std::uint16_t* pins, int count) override;
    void ReadLevels(const std::uint16_t* pins, std::uint8_t* levels, int count) override;
    void WriteReadLevels(const std::uint16_t* pins, std::uint8_t* levels, int count) override;
    void SetAutonomous(int mode) override;
    void WriteZond(std::uint8_t level, int count, const std::uint16_t* pins,
                   std::uint8_t* levels) override;
    std::uint8_t ReadZondIn() override;
    // Command 21 for a job: pin codes reduced as FillPins does; anything but a reply of code 21
    // with a level per pin (a bare confirmation too) raises "InvalidCallBack".
    void WriteRead(const std::vector<std::uint16_t>& pins, const std::vector<std::uint8_t>& levels,
                   std::vector<std::uint8_t>& read) override;
    std::uint8_t ProbeIn() const override { return FProbeIn; }

    // The generator entries of the table in order: each one's pin code as stored in its record
    // and the low 16 bits of its contact's GenIndex. Answers their number.
    int CollectGenerators();
    const std::vector<std::uint16_t>& GenPins() const { return FGenPins; }
    const std::vector<std::uint16_t>& GenIndexes() const { return FGenIndexes; }

  protected:
    // The run wrapper: Start, the pass loop, and after a failure the recovery dialogue; then
    // the same again.
    void Execute() override;
    // Closes the port from the user-interface thread: the library ends a wait at once.
    void InterruptUnit() override;
    // After a cut the port is opened again before the pass.
    void BeforePass() override;

  private:
    bool CreatePort();
    void Recover(const QString& message);
    // A failure text with the library's reason for the last failed opening below it.
    QString WithReason(const QString& text);
    // Code 8 (confirmed without data) passes; any other code is a failure.
    void CheckReply(bool fetch);
    // The port for an exchange (the caller holds FPortLock); raises when there is none.
    IComPort& Link();
    // The port itself for a call from the user-interface thread that must not wait behind an
    // exchange (reboot, the cut); the library takes such calls from a second thread.
    std::shared_ptr<IComPort> PortRef();
    // Waits for the reply to the command just sent (Wait, or WaitFor the code). A wait that the
    // user-interface thread cut short drops the pass (EPassCut).
    std::int32_t AwaitReply(IComPort& port);
    std::int32_t AwaitCode(IComPort& port, std::int32_t code);
    void SetPort(std::shared_ptr<IComPort> port);
    static void PutTriple(std::vector<std::uint8_t>& frame, std::uint16_t pin, std::uint8_t level);

    TPortFactory FPortFactory;
    std::shared_ptr<IComPort> FPort;
    // The port is used by the worker and, for stop, by the user-interface thread: one exchange at
    // a time. FPort changes only under both locks; FPortRefLock alone is held just long enough
    // to copy the pointer.
    std::mutex FPortLock;
    std::mutex FPortRefLock;
    // The user-interface thread closed the port to cut a wait short: it is opened again before
    // the next pass.
    std::atomic<bool> FPortCut{false};
    QString FInitError; // under FPortLock
    QByteArray FAppTitle = "Pinvel";
    std::intptr_t FAppWindow = 0;
    std::vector<std::uint16_t> FGenPins;
    std::vector<std::uint16_t> FGenIndexes;
    std::uint8_t FProbeIn = 0; // the worker's last round trip
};
