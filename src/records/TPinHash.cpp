// SPDX-License-Identifier: GPL-3.0-or-later
#include "TPinHash.h"

#include <sodium.h>

namespace {
bool Ready() {
    // Safe to call from any thread, any number of times; -1 only when the system has no source
    // of random numbers.
    static const bool ready = sodium_init() >= 0;
    return ready;
}
} // namespace

QByteArray TPinHash::Make(const QString& pin, TPinCost cost) {
    if (!Ready())
        return {};
    const QByteArray text = pin.toUtf8();
    const bool minimal = cost == TPinCost::Minimal;
    const unsigned long long ops =
        minimal ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
    const std::size_t memory =
        minimal ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str_alg(out, text.constData(), std::size_t(text.size()), ops, memory,
                              crypto_pwhash_ALG_ARGON2ID13) != 0)
        return {};
    return QByteArray(out);
}

bool TPinHash::Matches(const QByteArray& stored, const QString& pin) {
    if (!Ready() || stored.isEmpty() || stored.size() >= crypto_pwhash_STRBYTES)
        return false;
    const QByteArray text = pin.toUtf8();
    return crypto_pwhash_str_verify(stored.constData(), text.constData(),
                                    std::size_t(text.size())) == 0;
}
