// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// What kind of difference from the reference a fault is.
enum class TFaultKind {
    Open,    // обрыв: a net of the reference split
    Short,   // замыкание: nets of the reference joined
    Miswire, // перепутан: contacts left their net and joined another
    Foreign, // посторонний потенциал: contacts read 1 with nothing driven
};

// One fault of a harness, named by its contacts ("XT1:a1"): a Russian text for people and a
// machine-readable form for scripts and the records of tests.
//
// Groups, by kind:
//  - Open: [the contacts cut off, the rest of their net that still holds together];
//  - Short: one group per joined net (two or more);
//  - Miswire: [the contacts that moved, the rest of the net they left, the net they joined];
//    a swapped pair (Swapped): [one side, the other side], each now where the other belongs;
//  - Foreign: [the contacts reading 1].
class TFault {
  public:
    TFaultKind Kind = TFaultKind::Open;
    std::vector<QStringList> Groups;
    bool Swapped = false;
    // A fault read back in a form this program does not know (a newer one wrote it): the text it
    // was stored with, shown as it stands.
    QString StoredText;

    static TFault Open(const QStringList& cut, const QStringList& rest);
    static TFault Short(std::vector<QStringList> nets);
    static TFault Moved(const QStringList& moved, const QStringList& from, const QStringList& to);
    static TFault Swap(const QStringList& one, const QStringList& other);
    static TFault Foreign(const QStringList& contacts);

    // "обрыв: XT1:a3 отсоединен от XP2:b5, XP2:b6".
    QString Text() const;
    // Every contact the fault names, once each, in its order.
    QStringList Contacts() const;
    // The kind in Russian as it starts the text: "обрыв", "замыкание", "перепутан",
    // "посторонний потенциал".
    static QString KindText(TFaultKind kind);
    // The kind's key in the machine-readable form: "open", "short", "miswire", "foreign".
    static QString KindKey(TFaultKind kind);
    static std::optional<TFaultKind> KindFromKey(const QString& key);

    // {"kind": "open", "text": "...", "contacts": [...], "from": [...]};
    // short: "nets": [[...], ...]; miswire: "contacts", "from", "to", or "swapped": [[...], [...]];
    // foreign: "contacts".
    QJsonObject ToJson() const;
    // The fault back from its JSON form; nothing when the form is not one ToJson writes.
    static std::optional<TFault> FromJson(const QJsonObject& json);

    bool operator==(const TFault&) const = default;
};
