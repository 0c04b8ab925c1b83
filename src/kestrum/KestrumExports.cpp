// SPDX-License-Identifier: GPL-3.0-or-later
// The library's exported C functions; everything else stays hidden.

#include "IComPort.h"
#include "TKestrumPort.h"

#include <algorithm>
#include <cstring>

#define KESTRUM_EXPORT extern "C" __attribute__((visibility("default")))

KESTRUM_EXPORT IComPort* KestrumCreatePort(const KestrumConfig* config) {
    try {
        return new TKestrumPort(config);
    } catch (...) {
        return nullptr;
    }
}

KESTRUM_EXPORT std::int32_t KestrumErrorText(IComPort* port, char* buffer, std::int32_t size) {
    if (port == nullptr)
        return 0;
    const std::string text = static_cast<TKestrumPort*>(port)->ErrorText();
    if (buffer != nullptr && size > 0) {
        // Cut on a character boundary so the caller never gets half a UTF-8 sequence.
        std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
        while (n > 0 && n < text.size() && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80)
            --n;
        std::memcpy(buffer, text.data(), n);
        buffer[n] = '\0';
    }
    return static_cast<std::int32_t>(text.size());
}

KESTRUM_EXPORT std::int32_t KestrumSimulateFault(IComPort* port, std::int32_t kind,
                                                 std::int32_t afterCommands) {
    if (port == nullptr || kind < KestrumFault::None || kind > KestrumFault::Unplugged)
        return 0;
    return static_cast<TKestrumPort*>(port)->SimulateFault(kind, afterCommands) ? 1 : 0;
}
