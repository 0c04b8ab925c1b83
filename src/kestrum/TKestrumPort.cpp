// SPDX-License-Identifier: GPL-3.0-or-later
#include "TKestrumPort.h"

#include "THarness.h"
#include "TSerialLink.h"
#include "TSimLink.h"
#include "TTcpLink.h"

#include <QCoreApplication>
#include <QString>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstring>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TKestrumPort)
};

constexpr int DefaultTimeoutMs = 1000;
// A real unit answers a round trip in about a millisecond; the simulated one keeps that pace
// unless told otherwise, so the program behaves with it as it will with the unit.
constexpr int DefaultSimReplyUs = 1000;
constexpr int MaxSimReplyUs = 1000000;

// Reads a text field of the caller's configuration when the caller's record is long enough to
// hold it (older callers may hand a shorter record).
template <typename T> bool Covers(const KestrumConfig* config, std::size_t offset) {
    return config != nullptr && config->Size >= 0 &&
           static_cast<std::size_t>(config->Size) >= offset + sizeof(T);
}

bool StartsWith(const std::string& s, const char* prefix) {
    return s.compare(0, std::strlen(prefix), prefix) == 0;
}
} // namespace

TKestrumPort::TKestrumPort(const KestrumConfig* config)
    : FTimeoutMs(DefaultTimeoutMs), FSimReplyUs(DefaultSimReplyUs) {
    if (Covers<const char*>(config, offsetof(KestrumConfig, Link)) && config->Link != nullptr)
        FLinkSpec = config->Link;
    if (Covers<const char*>(config, offsetof(KestrumConfig, Harness)) && config->Harness != nullptr)
        FHarnessPath = config->Harness;
    if (Covers<std::int32_t>(config, offsetof(KestrumConfig, ReplyTimeoutMs)) &&
        config->ReplyTimeoutMs > 0)
        FTimeoutMs = config->ReplyTimeoutMs;
    if (Covers<std::int32_t>(config, offsetof(KestrumConfig, SimReplyUs)) &&
        config->SimReplyUs >= 0)
        FSimReplyUs = std::min(config->SimReplyUs, MaxSimReplyUs);
}

TKestrumPort::~TKestrumPort() {
    std::lock_guard io(FIoLock);
    if (FLink)
        CloseLink();
}

void TKestrumPort::Release() {
    delete this;
}

void TKestrumPort::SetErrorLocked(TKestrumError error, std::string text) {
    FLastError = static_cast<std::int32_t>(error);
    FErrorText = std::move(text);
}

void TKestrumPort::SetError(TKestrumError error, std::string text) {
    std::lock_guard lock(FLock);
    SetErrorLocked(error, std::move(text));
}

std::string TKestrumPort::ErrorText() const {
    std::lock_guard lock(FLock);
    return FLastError == 0 ? std::string() : FErrorText;
}

// Makes the link the settings ask for; the simulated unit also reads its harness here, so a bad
// harness file is reported by Init (and by Open when Init was skipped).
bool TKestrumPort::Prepare() {
    if (FPrepared)
        return true;
    const std::string spec = FLinkSpec.empty() ? std::string("sim") : FLinkSpec;
    TUnitLink::Sink& sink = *this;
    if (spec == "sim") {
        THarness harness;
        std::string error;
        if (!FHarnessPath.empty() && !THarness::Load(FHarnessPath, harness, error)) {
            SetError(TKestrumError::BadHarness, error);
            return false;
        }
        FLink = std::make_unique<TSimLink>(sink, std::move(harness), FSimReplyUs);
    } else if (StartsWith(spec, "serial:") && spec.size() > 7) {
        // "serial:/dev/ttyACM0@1000000": the speed after the last '@', 115200 without one.
        std::string device = spec.substr(7);
        int baud = TSerialLink::DefaultBaud;
        if (const std::size_t at = device.rfind('@'); at != std::string::npos) {
            const std::string speed = device.substr(at + 1);
            device.resize(at);
            if (!TSerialLink::ParseBaud(speed, baud)) {
                SetError(TKestrumError::BadConfig,
                         TTexts::tr("Неизвестная скорость последовательного порта \"%1\" в "
                                    "настройке связи \"%2\": допустимы %3.")
                             .arg(QString::fromStdString(speed), QString::fromStdString(spec),
                                  QString::fromStdString(TSerialLink::KnownBauds()))
                             .toStdString());
                return false;
            }
        }
        if (!device.empty())
            FLink = std::make_unique<TSerialLink>(sink, device, baud, FTimeoutMs);
    } else if (StartsWith(spec, "tcp:")) {
        std::string rest = spec.substr(4);
        const std::size_t colon = rest.rfind(':');
        std::string host = colon == std::string::npos ? std::string() : rest.substr(0, colon);
        if (host.size() > 2 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2); // [::1]
        int port = 0;
        bool digits =
            colon != std::string::npos && colon + 1 < rest.size() && rest.size() - colon <= 6;
        for (std::size_t i = colon + 1; digits && i < rest.size(); ++i) {
            digits = rest[i] >= '0' && rest[i] <= '9';
            port = port * 10 + (rest[i] - '0');
        }
        if (!host.empty() && digits && port > 0 && port <= 65535)
            FLink = std::make_unique<TTcpLink>(sink, host, port, FTimeoutMs);
    }
    if (!FLink) {
        SetError(TKestrumError::BadConfig,
                 TTexts::tr("Неверная настройка связи с блоком диагностики \"%1\": ожидается sim, "
                            "serial:/dev/ttyACM0 или tcp:127.0.0.1:5025.")
                     .arg(QString::fromStdString(spec))
                     .toStdString());
        return false;
    }
    FPrepared = true;
    return true;
}

std::int32_t TKestrumPort::Init(const SCP_Info* info) {
    std::lock_guard io(FIoLock);
    if (FDone || info == nullptr) {
        SetError(TKestrumError::BadRequest,
                 TTexts::tr("Неверные данные запуска библиотеки.").toStdString());
        return 0;
    }
    if (info->Title != nullptr)
        FTitle.assign(info->Title, strnlen(info->Title, 1024));
    return Prepare() ? 1 : 0;
}

std::int32_t TKestrumPort::Start() {
    std::lock_guard lock(FLock);
    return FOpen ? 1 : 0;
}

// Takes the link down; a wait in progress on another thread ends at once. FIoLock is held.
void TKestrumPort::CloseLink() {
    if (FLink)
        FLink->Close(); // joins the link's reader, which may be inside OnFrame: FLock not held here
    std::lock_guard lock(FLock);
    FOpen = false;
    FExpecting = false;
    FPending = false;
    FOverdue = 0;
    FInterrupt = TKestrumError::Interrupted;
    FArrived.notify_all();
}

std::int32_t TKestrumPort::Close() {
    {
        // An Open waiting for the unit's hello holds FIoLock: it learns of this Close at once and
        // gives up, instead of making this call wait out its time-out.
        std::lock_guard lock(FLock);
        ++FCloseCount;
        FArrived.notify_all();
    }
    std::lock_guard io(FIoLock);
    CloseLink();
    return 1;
}

std::int32_t TKestrumPort::Done() {
    std::lock_guard io(FIoLock);
    CloseLink();
    FDone = true;
    return 1;
}

std::int32_t TKestrumPort::Open(std::int32_t* out) {
    if (out != nullptr)
        *out = 0;
    std::lock_guard io(FIoLock);
    if (FDone) {
        SetError(TKestrumError::NotOpen,
                 TTexts::tr("Работа с библиотекой завершена.").toStdString());
        return 0;
    }
    if (!Prepare())
        return 0;
    std::uint64_t closes = 0;
    {
        std::lock_guard lock(FLock);
        closes = FCloseCount;
    }
    CloseLink();
    std::string error;
    if (!FLink->Open(error)) {
        SetError(TKestrumError::OpenFailed, error);
        return 0;
    }
    {
        std::lock_guard lock(FLock);
        FOpen = true;
        FLinkError = TKestrumError::None;
        FExpecting = false;
        FPending = false;
        FOverdue = 0;
        FHelloWanted = true;
        FHelloSize = 0;
    }
    // Hello: the unit answers its type, which also proves that something answers at all. Its
    // answer has a slot of its own, so a wait on another thread never takes it for a reply.
    FLink->SendFrame(TFrameCodec::Hello, nullptr, 0);
    std::unique_lock lock(FLock);
    FArrived.wait_for(lock, std::chrono::milliseconds(FTimeoutMs), [this, closes] {
        return FHelloSize > 0 || !FOpen || FLinkError != TKestrumError::None ||
               FCloseCount != closes;
    });
    FHelloWanted = false;
    const bool closed = FCloseCount != closes;
    const TKestrumError result = FHelloSize > 0 && !closed           ? TKestrumError::None
                                 : closed                            ? TKestrumError::Interrupted
                                 : FLinkError != TKestrumError::None ? FLinkError
                                                                     : TKestrumError::Timeout;
    if (result == TKestrumError::None && FHelloSize >= 2) {
        FUnitType = FHelloData[0] | (FHelloData[1] << 8);
        FCompactOn = FUnitType == THarness::DefaultUnitType &&
                     TCompactForm::Announced(FHelloData.data(), FHelloSize);
        FCompact.Forget();
        SetErrorLocked(TKestrumError::None, {});
        if (out != nullptr)
            *out = FUnitType;
        return 1;
    }
    QString why;
    if (result == TKestrumError::None)
        why = TTexts::tr("неверный ответ на приветствие");
    else if (result == TKestrumError::Timeout)
        why = TTexts::tr("блок диагностики не ответил за %1 мс").arg(FTimeoutMs);
    else if (result == TKestrumError::Interrupted)
        why = TTexts::tr("связь закрыта во время ожидания ответа");
    else
        why = QString::fromStdString(FErrorText);
    lock.unlock();
    CloseLink();
    SetError(TKestrumError::OpenFailed,
             TTexts::tr("Блок диагностики не отвечает (%1): %2")
                 .arg(QString::fromStdString(FLinkSpec.empty() ? "sim" : FLinkSpec), why)
                 .toStdString());
    return 0;
}

std::int32_t TKestrumPort::Reboot() {
    {
        // As with Close: an Open waiting for the hello gives up rather than hold this call.
        std::lock_guard lock(FLock);
        ++FCloseCount;
        FArrived.notify_all();
    }
    std::lock_guard io(FIoLock);
    {
        std::lock_guard lock(FLock);
        if (!FOpen) {
            SetErrorLocked(TKestrumError::NotOpen,
                           TTexts::tr("Связь с блоком диагностики не открыта.").toStdString());
            return 0;
        }
        // The unit forgets the command it was working on (and its pin list): whoever waits for
        // it learns now.
        FCompact.Forget();
        FInterrupt = TKestrumError::Interrupted;
        FExpecting = false;
        FPending = false;
        FArrived.notify_all();
    }
    return FLink->SendFrame(TFrameCodec::Reboot, nullptr, 0) ? 1 : 0;
}

std::int32_t TKestrumPort::Send(std::int32_t code, std::int32_t length, const std::uint8_t* data) {
    if (code < 0 || code >= TFrameCodec::Hello || length < 0 ||
        static_cast<std::size_t>(length) > TFrameCodec::MaxPayload ||
        (length > 0 && data == nullptr)) {
        SetError(TKestrumError::BadRequest,
                 TTexts::tr("Неверная команда блоку диагностики: код %1, длина %2.")
                     .arg(code)
                     .arg(length)
                     .toStdString());
        return 0;
    }
    std::lock_guard io(FIoLock);
    std::vector<TFrame> compact;
    {
        std::lock_guard lock(FLock);
        if (!FOpen) {
            SetErrorLocked(TKestrumError::NotOpen,
                           TTexts::tr("Связь с блоком диагностики не открыта.").toStdString());
            return 0;
        }
        if (FLinkError != TKestrumError::None) {
            FLastError = static_cast<std::int32_t>(FLinkError);
            return 0;
        }
        if (code != UnitCode::Stop) {
            // A reply still on its way for an earlier command must not pass for this one's:
            // over a wire it still comes, first, and is dropped then.
            if (FExpecting && !FPending && FLink->LateAnswersArrive())
                ++FOverdue;
            FExpecting = true;
            FPending = false;
            FInterrupt = TKestrumError::None;
        }
        // Stop gets no reply, so a compact command's reply still on its way stays awaited.
        if (FCompactOn && code != UnitCode::Stop &&
            !FCompact.Encode(static_cast<std::uint8_t>(code), data,
                             static_cast<std::size_t>(length), compact))
            FCompact.Cancel();
    }
    if (!compact.empty()) {
        for (const TFrame& frame : compact)
            if (!FLink->SendFrame(frame.Code, frame.Payload.data(), frame.Payload.size()))
                return 0;
        return 1;
    }
    return FLink->SendFrame(static_cast<std::uint8_t>(code), data, static_cast<std::size_t>(length))
               ? 1
               : 0;
}

TKestrumError TKestrumPort::AwaitReply(std::unique_lock<std::mutex>& lock, int timeoutMs) {
    FArrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] {
        return FPending || !FExpecting || !FOpen || FInterrupt != TKestrumError::None ||
               FLinkError != TKestrumError::None;
    });
    if (FPending)
        return TKestrumError::None;
    if (FLinkError != TKestrumError::None)
        return FLinkError;
    if (FInterrupt != TKestrumError::None)
        return FInterrupt;
    if (!FOpen)
        return TKestrumError::NotOpen;
    if (!FExpecting)
        return TKestrumError::NoCommand;
    return TKestrumError::Timeout;
}

std::int32_t TKestrumPort::Wait(std::int32_t timeoutMs) {
    const int wait = timeoutMs < 0 ? FTimeoutMs : timeoutMs;
    std::unique_lock lock(FLock);
    const TKestrumError result = AwaitReply(lock, wait);
    if (result == TKestrumError::None) {
        std::memcpy(FReply.data(), FPendingData.data(), FPendingSize);
        FReplyLength = static_cast<std::int32_t>(FPendingSize);
        FReplyCode = FPendingCode;
        FPending = false;
        FExpecting = false;
        SetErrorLocked(TKestrumError::None, {});
        return 0;
    }
    FReplyCode = 0;
    FReplyLength = 0;
    switch (result) {
    case TKestrumError::Timeout:
        SetErrorLocked(result,
                       TTexts::tr("Блок диагностики не ответил за %1 мс.").arg(wait).toStdString());
        break;
    case TKestrumError::Interrupted:
        SetErrorLocked(result,
                       TTexts::tr("Ожидание ответа прервано: блок перезагружен или связь закрыта.")
                           .toStdString());
        break;
    case TKestrumError::NotOpen:
        SetErrorLocked(result, TTexts::tr("Связь с блоком диагностики не открыта.").toStdString());
        break;
    case TKestrumError::NoCommand:
        SetErrorLocked(result, TTexts::tr("Нет команды, ожидающей ответа.").toStdString());
        break;
    default:
        FLastError = static_cast<std::int32_t>(result); // the link's own message stays
        break;
    }
    return static_cast<std::int32_t>(result);
}

std::int32_t TKestrumPort::WaitFor(std::int32_t code, std::int32_t timeoutMs) {
    const std::int32_t result = Wait(timeoutMs);
    if (result != 0)
        return result;
    return FReplyCode == code ? 0 : -1;
}

const std::uint8_t* TKestrumPort::ReplyData() {
    return FReply.data();
}
std::int32_t TKestrumPort::ReplyLength() {
    return FReplyLength;
}
std::int32_t TKestrumPort::ReplyCode() {
    return FReplyCode;
}
std::int32_t TKestrumPort::LastError() {
    return FLastError;
}
std::int32_t TKestrumPort::UnitType() {
    return FUnitType;
}

void TKestrumPort::OnFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) {
    std::lock_guard lock(FLock);
    if (code >= TFrameCodec::Hello) {
        // Link codes answer the link, never a command.
        if (code == TFrameCodec::Hello && FHelloWanted && FHelloSize == 0) {
            FHelloSize = size == 0 ? 1 : size; // an empty answer is still an answer, a wrong one
            for (std::size_t i = 0; i < FHelloData.size(); ++i)
                FHelloData[i] = i < size ? data[i] : 0;
            FArrived.notify_all();
        }
        return;
    }
    // The answer to an earlier command given up on, come late: dropped before the compact form
    // reads it, so it cannot take the place of the answer the next command awaits (a pin list's
    // confirmation is the compact form's own and still goes to it).
    if (FOverdue > 0 && !(FCompactOn && FCompact.Confirms(code))) {
        --FOverdue;
        return;
    }
    TFrame compact;
    if (FCompactOn) {
        // The compact form's frames become the full form's before anyone sees them.
        compact.Code = code;
        compact.Payload.assign(data, data + size);
        if (FCompact.Decode(compact) == TCompactForm::Reply::Swallow)
            return;
        code = compact.Code;
        data = compact.Payload.data();
        size = compact.Payload.size();
    }
    if (!FExpecting || FPending || size > FPendingData.size())
        return; // nobody asked, or the answer is already in: a stray frame is dropped
    FPendingCode = code;
    FPendingSize = size;
    if (size > 0)
        std::memcpy(FPendingData.data(), data, size);
    FPending = true;
    FArrived.notify_all();
}

void TKestrumPort::OnFailure(TKestrumError error, const std::string& text) {
    std::lock_guard lock(FLock);
    FLinkError = error;
    SetErrorLocked(error, text);
    FArrived.notify_all();
}

bool TKestrumPort::SimulateFault(int kind, int afterCommands) {
    std::lock_guard io(FIoLock);
    return Prepare() && FLink->SetFault(kind, afterCommands);
}
