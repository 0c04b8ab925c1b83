// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TColors.h"

#include <QString>
#include <atomic>
#include <cstdint>

// Contact states; the numbers are stored in project files.
enum class TContactState : std::uint8_t {
    csFree = 0,      // editor: in no correspondence; tester: switched off
    csTied = 1,      // editor: in a correspondence; tester: switched on
    csMarked = 2,    // editor: picked for the correspondence dialog
    csEmpty = 3,     // no contact at this position
    csGenerator = 4, // tester: driven by a generator slot
};

// A field that the tester's worker and the user-interface thread both touch. Each access is a
// whole, relaxed atomic load or store: the fields are independent values, and the hand-over
// between the threads orders everything else.
template <class T> class TShared {
  public:
    constexpr TShared(T v = T{}) noexcept : FValue(v) {}
    TShared(const TShared& other) noexcept : FValue(other.load()) {}
    TShared& operator=(const TShared& other) noexcept {
        store(other.load());
        return *this;
    }
    TShared& operator=(T v) noexcept {
        store(v);
        return *this;
    }
    operator T() const noexcept { return load(); }
    T load() const noexcept { return FValue.load(std::memory_order_relaxed); }
    void store(T v) noexcept { FValue.store(v, std::memory_order_relaxed); }

  private:
    std::atomic<T> FValue;
};

// The record of one contact position; only the even (record) grid rows carry contact data.
struct TContact {
    TShared<TContactState> State{TContactState::csFree};
    std::int32_t NameIndex = 0;        // index into the connector's name list; -1 or 0: no name yet
    TShared<std::int32_t> GenIndex{0}; // generator slot in the tester mode, -1 none
    TShared<TColor> IndColor{0};       // indicator colour shown in the tester mode
    TColor ButtColor = 0;              // button colour chosen by the user
};

// One contact row as the constructor dialog describes it.
struct TRowInfo {
    std::int32_t Count = 0;    // contacts in the row
    std::int32_t First = 1;    // grid column of the first contact, from 1
    std::int32_t Step = 1;     // column distance between neighbours, at least 1
    std::int32_t FirstNum = 1; // number in the first contact's name
    std::int32_t NumStep = 1;  // increment of that number, may be 0 or negative
    QString Prefix;            // row name, the text in front of the number

    bool operator==(const TRowInfo&) const = default;
};
