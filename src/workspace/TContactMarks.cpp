// SPDX-License-Identifier: GPL-3.0-or-later
#include "TContactMarks.h"

TContactMarks::TContactMarks(QObject* parent) : QObject(parent) {}

void TContactMarks::SetFaulty(QSet<TContactKey> contacts) {
    if (contacts == FFaulty)
        return;
    FFaulty = std::move(contacts);
    emit Changed();
}

void TContactMarks::SetPicked(QSet<TContactKey> contacts) {
    if (contacts == FPicked)
        return;
    FPicked = std::move(contacts);
    emit Changed();
}

void TContactMarks::SetGuided(QSet<TContactKey> contacts) {
    if (contacts == FGuided)
        return;
    FGuided = std::move(contacts);
    emit Changed();
}

void TContactMarks::Clear() {
    if (IsEmpty())
        return;
    FFaulty.clear();
    FPicked.clear();
    FGuided.clear();
    emit Changed();
}

bool TContactMarks::IsFaulty(int razem, int col, int row) const {
    return FFaulty.contains({razem, col, row & ~1});
}

bool TContactMarks::IsPicked(int razem, int col, int row) const {
    return FPicked.contains({razem, col, row & ~1});
}
