// SPDX-License-Identifier: GPL-3.0-or-later
// A stand-in device library for the loader's tests: a port that does nothing but count how many
// of its kind are alive, so the tests see Release called through the library that made it.

#include "IComPort.h"

namespace {
int Alive = 0;

class TFakePort final : public IComPort {
  public:
    TFakePort() { ++Alive; }
    ~TFakePort() { --Alive; }
    std::int32_t Init(const SCP_Info*) override { return 1; }
    std::int32_t Start() override { return 1; }
    std::int32_t Done() override { return 1; }
    std::int32_t Close() override { return 1; }
    std::int32_t Reboot() override { return 1; }
    std::int32_t Send(std::int32_t, std::int32_t, const std::uint8_t*) override { return 1; }
    std::int32_t Wait(std::int32_t) override { return 1; }
    std::int32_t WaitFor(std::int32_t, std::int32_t) override { return 1; }
    const std::uint8_t* ReplyData() override { return nullptr; }
    std::int32_t ReplyLength() override { return 0; }
    std::int32_t ReplyCode() override { return 0; }
    std::int32_t LastError() override { return 0; }
    std::int32_t Open(std::int32_t*) override { return 1; }
    std::int32_t UnitType() override { return 7; }
    void Release() override { delete this; }
};
} // namespace

#ifndef FAKE_WITHOUT_CREATOR
extern "C" __attribute__((visibility("default"))) IComPort*
KestrumCreatePort(const KestrumConfig*) {
    return new TFakePort;
}
#endif

extern "C" __attribute__((visibility("default"))) int FakeKestrumAlive() {
    return Alive;
}
