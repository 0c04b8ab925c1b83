#include "TSimLink.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TSimLink)
};
} // namespace

TSimLink::TSimLink(Sink& sink, THarness harness) : FSink(sink), FUnit(std::move(harness)) {}

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
}

bool TSimLink::SendFrame(std::uint8_t code, const std::uint8_t* data, std::size_t size) {
    if (!FOpen) {
        FSink.OnFailure(TKestrumError::LinkLost,
                        TTexts::tr("Связь с имитатором блока диагностики потеряна.").toStdString());
        return false;
    }
    switch (FUnit.Handle(code, data, size, FReply)) {
    case TSimUnit::Outcome::Reply:
        FSink.OnFrame(FReply.Code, FReply.Payload.data(), FReply.Payload.size());
        return true;
    case TSimUnit::Outcome::Silent:
        return true;
    case TSimUnit::Outcome::LinkLost:
        break;
    }
    FOpen = false;
    FSink.OnFailure(TKestrumError::LinkLost,
                    TTexts::tr("Связь с имитатором блока диагностики потеряна.").toStdString());
    return false;
}

bool TSimLink::SetFault(int kind, int afterCommands) {
    FUnit.SetFault(kind, afterCommands);
    return true;
}
