// SPDX-License-Identifier: GPL-3.0-or-later
#include "TUSBHardWork.h"

#include "WorkWithCOM.h"

#include "TContact.h"
#include "TErrors.h"
#include "TSootv.h"
#include "TTesterSettings.h"

#include <QCoreApplication>
#include <chrono>
#include <cstring>
#include <thread>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TUSBHardWork)
};

void Pause(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

// Failure keys of the unit operations; the recovery tells "Must repair" from the others.
const char* const MustRepair = "Must repair";
const char* const InvalidCallback = "Invalid callback";
const char* const InvalidCallBackReply = "InvalidCallBack";

} // namespace

TUSBHardWork::TUSBHardWork(TTesterSettings& settings, IHardView& view, TPortFactory portFactory)
    : TAbstractHard(settings, view), FPortFactory(std::move(portFactory)) {
    FMustRepair = false;
    FRawPins = true;
}

TUSBHardWork::~TUSBHardWork() {
    // The thread runs this class's code: it must be gone before the members are.
    Shutdown();
}

void TUSBHardWork::SetAppInfo(const QByteArray& title, std::intptr_t window) {
    std::lock_guard lock(FPortLock);
    FAppTitle = title;
    FAppWindow = window;
}

bool TUSBHardWork::HasPort() {
    std::lock_guard lock(FPortLock);
    return FPort != nullptr;
}

std::shared_ptr<IComPort> TUSBHardWork::PortRef() {
    std::lock_guard ref(FPortRefLock);
    return FPort;
}

void TUSBHardWork::SetPort(std::shared_ptr<IComPort> port) {
    std::lock_guard ref(FPortRefLock);
    FPort = std::move(port);
}

std::int32_t TUSBHardWork::AwaitReply(IComPort& port) {
    TUnitWait wait(*this);
    const std::int32_t result = port.Wait(-1);
    if (result != 0 && CutRequested())
        throw EPassCut();
    return result;
}

std::int32_t TUSBHardWork::AwaitCode(IComPort& port, std::int32_t code) {
    TUnitWait wait(*this);
    const std::int32_t result = port.WaitFor(code, -1);
    if (result != 0 && CutRequested())
        throw EPassCut();
    return result;
}

void TUSBHardWork::InterruptUnit() {
    if (std::shared_ptr<IComPort> port = PortRef()) {
        FPortCut = true;
        port->Close();
    }
}

void TUSBHardWork::BeforePass() {
    if (FPortCut.exchange(false) && !ReopenPort())
        throw EUnitError(QString::fromLatin1(InvalidCallBackReply));
}

IComPort& TUSBHardWork::Link() {
    if (!FPort)
        throw EUnitError(QString::fromLatin1(InvalidCallBackReply));
    return *FPort;
}

// Creates the port object and initialises it; the caller holds FPortLock.
bool TUSBHardWork::CreatePort() {
    std::shared_ptr<IComPort> port;
    try {
        if (FPortFactory)
            port = FPortFactory();
    } catch (...) {
        port.reset();
    }
    if (!port)
        return false;
    const SCP_Info info{3, FAppTitle.constData(), FAppWindow, 1};
    if (port->Init(&info) == 0) {
        FInitError = PortErrorText(port);
        return false;
    }
    SetPort(std::move(port));
    return true;
}

QString TUSBHardWork::InitError() {
    std::lock_guard lock(FPortLock);
    return FInitError;
}

bool TUSBHardWork::InitUnit() {
    {
        std::lock_guard lock(FPortLock);
        FInitError.clear();
        if (!FPort && !CreatePort())
            return false;
        std::int32_t out = 0;
        bool opened = false;
        {
            TUnitWait wait(*this);
            opened = FPort->Open(&out) != 0;
        }
        if (!opened || FPort->LastError() != 0) {
            FInitError = PortErrorText(FPort);
            return false;
        }
        FRawPins = FPort->UnitType() == 101;
    }
    Pause(100);
    return true;
}

bool TUSBHardWork::ReInitUnit() {
    FMustRepair = true;
    const bool result = ReopenPort();
    FMustRepair = false;
    return result;
}

bool TUSBHardWork::ReopenPort() {
    bool result = false;
    try {
        bool open = false;
        {
            std::lock_guard lock(FPortLock);
            // No port yet (the unit was missing at start): the check-connection command is the
            // way back, so the port is made here.
            if (FPort || CreatePort()) {
                FPort->Close();
                open = true;
            }
        }
        if (open) {
            Pause(50);
            std::int32_t out = 0;
            bool opened = false;
            {
                std::lock_guard lock(FPortLock);
                FInitError.clear();
                {
                    TUnitWait wait(*this);
                    opened = FPort->Open(&out) != 0;
                }
                if (opened)
                    FPort->Start();
                else
                    FInitError = PortErrorText(FPort);
            }
            if (opened) {
                Pause(50);
                std::lock_guard lock(FPortLock);
                if (FPort->LastError() == 0) {
                    FRawPins = FPort->UnitType() == 101;
                    result = true;
                } else {
                    FInitError = PortErrorText(FPort);
                }
            }
        }
    } catch (...) {
        result = false;
    }
    return result;
}

void TUSBHardWork::StopUnit() {
    {
        // Called with the worker at rest; behind an exchange that did not end (a library that
        // ignores the cut) the stop frame is left out rather than wait for it.
        std::unique_lock lock(FPortLock, std::try_to_lock);
        if (!lock.owns_lock() || !FPort)
            return;
        FPort->Send(UnitCode::Stop, 0, nullptr);
    }
    Pause(100);
}

void TUSBHardWork::RebootUnit() {
    // Not behind the worker's exchange: the reboot ends a wait for the unit at once.
    if (std::shared_ptr<IComPort> port = PortRef())
        port->Reboot();
}

void TUSBHardWork::ClosePort() {
    Shutdown();
    std::lock_guard lock(FPortLock);
    if (!FPort)
        return;
    FPort->Close();
    FPort->Done();
    SetPort(nullptr);
}

// ---- frames ----

void TUSBHardWork::PutTriple(std::vector<std::uint8_t>& frame, std::uint16_t pin,
                             std::uint8_t level) {
    frame.push_back(std::uint8_t(pin >> 8));
    frame.push_back(std::uint8_t(pin & 255));
    frame.push_back(level);
}

void TUSBHardWork::CheckReply(bool fetch) {
    if (fetch)
        FReplyCode = Link().ReplyCode();
    if (FReplyCode != UnitCode::Confirm)
        throw EUnitError(QString::fromLatin1(InvalidCallBackReply));
}

void TUSBHardWork::WriteLevels(const std::uint8_t* levels, const std::uint16_t* pins, int count) {
    std::vector<std::uint8_t> frame;
    frame.reserve(std::size_t(3 * count));
    for (int i = 0; i < count; ++i)
        PutTriple(frame, pins[i], levels[i]);
    std::lock_guard lock(FPortLock);
    IComPort& port = Link();
    port.Send(UnitCode::Write, std::int32_t(frame.size()), frame.data());
    if (AwaitCode(port, UnitCode::Write) != 0)
        CheckReply(true);
}

void TUSBHardWork::ReadLevels(const std::uint16_t* pins, std::uint8_t* levels, int count) {
    std::vector<std::uint8_t> frame;
    frame.reserve(std::size_t(2 * count));
    for (int i = 0; i < count; ++i) {
        frame.push_back(std::uint8_t(pins[i] >> 8));
        frame.push_back(std::uint8_t(pins[i] & 255));
    }
    std::lock_guard lock(FPortLock);
    IComPort& port = Link();
    port.Send(UnitCode::WriteRead, std::int32_t(frame.size()), frame.data());
    AwaitReply(port);
    FReplyCode = port.ReplyCode();
    if (FReplyCode == UnitCode::WriteRead && port.ReplyLength() == count + 1)
        std::memcpy(levels, port.ReplyData(), std::size_t(count) + 1);
    else
        CheckReply(false);
}

void TUSBHardWork::WriteReadLevels(const std::uint16_t* pins, std::uint8_t* levels, int count) {
    std::vector<std::uint8_t> frame;
    frame.reserve(std::size_t(3 * count));
    for (int i = 0; i < count; ++i)
        PutTriple(frame, pins[i], levels[i]);
    std::lock_guard lock(FPortLock);
    IComPort& port = Link();
    port.Send(UnitCode::WriteRead, std::int32_t(frame.size()), frame.data());
    // A reply that does not come within the port's longest wait leaves code 0: a failure.
    AwaitReply(port);
    FReplyCode = port.ReplyCode();
    if (FReplyCode == UnitCode::WriteRead && port.ReplyLength() == count + 1)
        std::memcpy(levels, port.ReplyData(), std::size_t(count) + 1);
    else
        CheckReply(false);
}

void TUSBHardWork::WriteZond(std::uint8_t level, int count, const std::uint16_t* pins,
                             std::uint8_t* levels) {
    // One look at the setting serves both the request and the check of its reply, so a click
    // in between cannot make a good reply look wrong.
    const bool readRaz = FSettings.ReadRaz;
    std::vector<std::uint8_t> frame;
    frame.reserve(std::size_t(3 * count + 2));
    frame.push_back(level);
    frame.push_back(readRaz ? 1 : 0);
    for (int i = 0; i < count; ++i)
        PutTriple(frame, pins[i], levels[i]);
    std::lock_guard lock(FPortLock);
    IComPort& port = Link();
    port.Send(UnitCode::WriteZond, std::int32_t(frame.size()), frame.data());
    AwaitReply(port);
    FReplyCode = port.ReplyCode();
    const int length = port.ReplyLength();
    if (readRaz && length == count + 1 && FReplyCode == UnitCode::WriteZond)
        std::memcpy(levels, port.ReplyData(), std::size_t(count) + 1);
    else if (!readRaz && length == 1 && FReplyCode == UnitCode::WriteZond)
        levels[count] = port.ReplyData()[0];
    else
        CheckReply(false);
}

void TUSBHardWork::WriteRead(const std::vector<std::uint16_t>& pins,
                             const std::vector<std::uint8_t>& levels,
                             std::vector<std::uint8_t>& read) {
    const bool raw = FRawPins;
    const std::size_t count = pins.size();
    std::vector<std::uint8_t> frame;
    frame.reserve(3 * count);
    for (std::size_t i = 0; i < count; ++i) {
        std::uint16_t code = pins[i];
        if (!raw) {
            if (code >= 272 && code <= 366)
                code = std::uint16_t(code - 272);
            else if (code >= 400 && code <= 494)
                code = std::uint16_t(code - 400);
        }
        PutTriple(frame, code, i < levels.size() ? levels[i] : 0);
    }
    std::lock_guard lock(FPortLock);
    IComPort& port = Link();
    port.Send(UnitCode::WriteRead, std::int32_t(frame.size()), frame.data());
    AwaitReply(port); // a cut ends the job's step here, as it ends a pass
    if (port.ReplyCode() != UnitCode::WriteRead || port.ReplyLength() != std::int32_t(count) + 1)
        throw EUnitError(QString::fromLatin1(InvalidCallBackReply));
    read.assign(port.ReplyData(), port.ReplyData() + count);
    FProbeIn = port.ReplyData()[count];
}

std::uint8_t TUSBHardWork::ReadZondIn() {
    std::lock_guard lock(FPortLock);
    IComPort& port = Link();
    port.Send(UnitCode::ReadZond, 0, nullptr);
    AwaitReply(port);
    if (port.ReplyCode() != UnitCode::ReadZond || port.ReplyLength() < 1)
        throw EUnitError(QString::fromLatin1(InvalidCallback));
    return port.ReplyData()[0];
}

int TUSBHardWork::CollectGenerators() {
    FGenPins.clear();
    FGenIndexes.clear();
    const TSootv* sootv = Sootv();
    if (sootv == nullptr)
        return 0;
    for (int i = 0; i < sootv->Count(); ++i) {
        const TSootvData& record = sootv->Item(i);
        for (int j = 0; j < record.Count(); ++j) {
            const TContact* t = EntryContact(record, j);
            if (t != nullptr && t->State == TContactState::csGenerator) {
                FGenPins.push_back(record.FPin);
                FGenIndexes.push_back(std::uint16_t(t->GenIndex.load() & 0xFFFF));
            }
        }
    }
    return int(FGenPins.size());
}

void TUSBHardWork::SetAutonomous(int mode) {
    if (mode == 0) {
        const int count = int(FPassPins.size());
        std::vector<std::uint8_t> frame;
        frame.reserve(std::size_t(3 * count + 1));
        frame.push_back(0);
        for (int i = 0; i < count; ++i)
            PutTriple(frame, FPassPins[std::size_t(i)], FLevels[std::size_t(i)]);
        {
            std::lock_guard lock(FPortLock);
            IComPort& port = Link();
            port.Send(UnitCode::Autonomous, std::int32_t(frame.size()), frame.data());
            if (AwaitCode(port, UnitCode::Autonomous) != 0)
                CheckReply(true);
        }
        // The generator table is sized to its entries, however many there are.
        const int g = CollectGenerators();
        frame.clear();
        frame.reserve(std::size_t(3 * g + 2));
        frame.push_back(1);
        frame.push_back(FSettings.ZondWrite == ZondWriteMode::Gen ? 1 : 0);
        for (int k = 0; k < g; ++k)
            PutTriple(frame, FGenPins[std::size_t(k)],
                      std::uint8_t(FGenIndexes[std::size_t(k)] & 255));
        std::lock_guard lock(FPortLock);
        IComPort& port = Link();
        port.Send(UnitCode::Autonomous, std::int32_t(frame.size()), frame.data());
        if (AwaitCode(port, UnitCode::Autonomous) != 0)
            CheckReply(true);
    } else if (mode == 2) {
        const std::uint8_t frame[1] = {2};
        std::lock_guard lock(FPortLock);
        IComPort& port = Link();
        port.Send(UnitCode::Autonomous, 1, frame);
        if (AwaitCode(port, UnitCode::Autonomous) != 0)
            CheckReply(true);
    }
}

// ---- the run wrapper ----

void TUSBHardWork::Execute() {
    for (;;) {
        QString failure;
        try {
            // Rest here first: the worker is created at rest, and the switch to the editor mode
            // from the recovery leaves it resting right after the recovery.
            RestPoint(false);
            {
                std::lock_guard lock(FPortLock);
                if (FPort)
                    FPort->Start();
            }
            TAbstractHard::Execute();
        } catch (const ECallCancelled&) {
            throw;
        } catch (const EPinvel& e) {
            failure = e.Message();
        } catch (const std::exception& e) {
            failure = QString::fromLocal8Bit(e.what());
        }
        // A failure the cut made (the port closed under a command) is no fault of the unit: the
        // worker rests, and the port is opened again before the next pass.
        if (CutRequested())
            continue;
        Recover(failure);
    }
}

QString TUSBHardWork::WithReason(const QString& text) {
    const QString why = InitError();
    return why.isEmpty() ? text : text + QStringLiteral("\r\r") + why;
}

void TUSBHardWork::Recover(const QString& message) {
    const auto controls = [this](bool changeMode, bool editor, bool tester) {
        CallView([=](IHardView& v) { v.SetModeControls(changeMode, editor, tester); });
    };
    const auto leaveTester = [this] {
        if (IsTesterMode())
            CallView([](IHardView& v) { v.LeaveTesterMode(); });
    };
    if (message == QLatin1String(MustRepair)) {
        if (ReInitUnit()) {
            Message(TTexts::tr("Устройство подключено и готово к работе!"),
                    THardMessage::Information);
            controls(true, IsTesterMode(), true);
        } else {
            Message(WithReason(TTexts::tr("Не удалось инициализировать устройство. Работа в режиме "
                                          "тестера невозможна!")),
                    THardMessage::Warning);
            leaveTester();
            controls(false, false, false);
        }
        return;
    }
    if (Message(
            TTexts::tr("Произошла ошибка при обращении к устройству. Для того чтобы произвести "
                       "повторную инициализацию устройства проверьте исправность соединительных "
                       "кабелей и нажмите \"Да\""),
            THardMessage::PlainQuestion)) {
        if (!ReInitUnit()) {
            Message(
                WithReason(TTexts::tr("Не удалось инициализировать устройство. Дальнейшая работа в "
                                      "режиме тестера не возможна.")),
                THardMessage::Stop);
            leaveTester();
            controls(false, false, false);
        } else {
            Message(TTexts::tr("Соединение восстановлено!"), THardMessage::Information);
            const bool tester = IsTesterMode();
            controls(true, tester, !tester);
        }
    } else {
        FMustRepair = false;
    }
}
