// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

// How much work a PIN's hash costs. Interactive is what the program stores (Argon2id with
// libsodium's interactive limits: some 64 MB and a tenth of a second or more per check, so a
// stolen database does not give up four-digit PINs in an afternoon); Minimal only for tests
// that check many PINs.
enum class TPinCost { Interactive, Minimal };

// A supervisor's PIN as the database keeps it: a salted Argon2id hash in libsodium's own text
// form ("$argon2id$v=19$m=...,t=...,p=1$SALT$HASH"), which carries its salt and its cost, so a
// PIN stored under one cost is still checked after the program's cost changes. Never the PIN.
class TPinHash {
  public:
    // A fresh salt each time: the same PIN never hashes to the same text. Empty when the
    // machine cannot give the memory the hash needs.
    static QByteArray Make(const QString& pin, TPinCost cost = TPinCost::Interactive);
    // Slow by design (the cost the hash was made with): never on the window's thread.
    static bool Matches(const QByteArray& stored, const QString& pin);
};
