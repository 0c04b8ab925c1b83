// SPDX-License-Identifier: GPL-3.0-or-later
#include "TSimLink.h"

#include "IComPort.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TSimLink)
};
} // namespace

TSimLink::TSimLink(Sink& sink, THarness harness, int replyUs)
    : FSink(sink), FUnit(std::move(harness)), FPace(replyUs > 0 ? replyUs : 0) {}

TSimLink::~TSimLink() {
    StopDelivery();
}

bool TSimLink::Open(std::string& error) {
    if (FUnit.Unplugged()) {
        error = TTexts::tr("Имитатор блока диагностики отключён.").toStdString();
        return false;
    }
    FOpen = true;
    return true;
}

void TSimLink::Close() {
    FOpen = false;
    StopDelivery();
}

// Ends the delivery thread and forgets the answers still on their way. Never called with the
// port's reply lock held: the thread may be inside the sink.
void TSimLink::StopDelivery() {
    {
        std::lock_guard lock(FDueLock);
        FStopDelivery = true;
        FDue.clear();
        FDueChanged.notify_all();
    }
    if (FDeliverer.joinable())
        FDeliverer.join();
    std::lock_guard lock(FDueLock);
    FStopDelivery = false;
}

void TSimLink::Deliver() {
    std::unique_lock lock(FDueLock);
    while (!FStopDelivery) {
        if (FDue.empty()) {
            FDueChanged.wait(lock);
            continue;
        }
        const TClock::time_point at = FDue.front().At;
        if (TClock::now() < at) {
            FDueChanged.wait_until(lock, at);
            continue;
        }
        const TDue due = std::move(FDue.front());
        FDue.pop_front();
        FSink.OnFrame(due.Reply.Code, due.Reply.Payload.data(), due.Reply.Payload.size());
    }
}

bool TSimLink::SendFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) {
    if (!FOpen) {
        FSink.OnFailure(TKestrumError::LinkLost,
                        TTexts::tr("Связь с имитатором блока диагностики потеряна.").toStdString());
        return false;
    }
    if (code == TFrameCodec::Reboot || (code < TFrameCodec::Hello && code != UnitCode::Stop)) {
        // A reboot makes the unit forget what it was answering; a new command takes the place of
        // the one whose answer is still on its way, as the port discards a pending reply.
        std::lock_guard lock(FDueLock);
        FDue.clear();
    }
    switch (FUnit.Handle(code, data, size, FReply)) {
    case TSimUnit::Outcome::Reply:
        if (FPace.count() == 0) {
            FSink.OnFrame(FReply.Code, FReply.Payload.data(), FReply.Payload.size());
        } else {
            std::lock_guard lock(FDueLock);
            const TClock::time_point now = TClock::now();
            FLastDue = (FDue.empty() || FLastDue < now ? now : FLastDue) + FPace;
            FDue.push_back({FLastDue, FReply});
            if (!FDeliverer.joinable())
                FDeliverer = std::thread(&TSimLink::Deliver, this);
            FDueChanged.notify_all();
        }
        return true;
    case TSimUnit::Outcome::Silent:
        return true;
    case TSimUnit::Outcome::LinkLost:
        break;
    }
    FOpen = false;
    {
        std::lock_guard lock(FDueLock);
        FDue.clear();
    }
    FSink.OnFailure(TKestrumError::LinkLost,
                    TTexts::tr("Связь с имитатором блока диагностики потеряна.").toStdString());
    return false;
}

bool TSimLink::SetFault(int kind, int afterCommands) {
    FUnit.SetFault(kind, afterCommands);
    return true;
}
