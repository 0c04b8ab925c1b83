// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-bench-approval: what a supervisor waits for a PIN at the cost the program stores
// (libsodium's interactive Argon2id limits), and the same hash made.
//
//   pin_hash_ms   making one PIN's hash (adding a supervisor)
//   pin_check_ms  checking one PIN against its hash (an approval, a wrong PIN)

#include "BenchQuick.h"
#include "TPinHash.h"

#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    const int runs = BenchSize(BenchQuick(argc, argv), 15, 3);
    std::vector<double> make;
    std::vector<double> check;
    QByteArray hash;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        hash = TPinHash::Make(QStringLiteral("24681357"));
        make.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        if (!TPinHash::Matches(hash, QStringLiteral("24681357"))) {
            std::fprintf(stderr, "the PIN did not match its own hash\n");
            return 1;
        }
        check.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::printf("pin_hash_ms: %.1f\npin_check_ms: %.1f\n", Median(make), Median(check));
    return 0;
}
