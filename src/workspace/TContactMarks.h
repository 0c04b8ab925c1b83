// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QSet>
#include <cstddef>

// A contact as the workspace addresses it: the connector's index, the column and the record row
// (the even grid row of the contact's pair).
struct TContactKey {
    int Razem = 0;
    int Col = 0;
    int Row = 0;
    bool operator==(const TContactKey&) const = default;
};

inline std::size_t qHash(const TContactKey& key, std::size_t seed = 0) {
    return qHashMulti(seed, key.Razem, key.Col, key.Row);
}

// What the connectors draw over their contacts after a harness check: a fault mark on every
// contact that takes part in a fault, and a frame around the contacts of the fault the user
// picked in the results. The check fills it; the connector widgets read it when they paint and
// repaint on Changed. Data only: no widget.
class TContactMarks : public QObject {
    Q_OBJECT
  public:
    explicit TContactMarks(QObject* parent = nullptr);

    void SetFaulty(QSet<TContactKey> contacts);
    void SetPicked(QSet<TContactKey> contacts);
    // The contacts the guidance points at (the next wire's two ends): a ring, no frame.
    void SetGuided(QSet<TContactKey> contacts);
    // No marks at all.
    void Clear();

    // `row` may be either grid row of the contact.
    bool IsFaulty(int razem, int col, int row) const;
    bool IsPicked(int razem, int col, int row) const;
    bool IsEmpty() const { return FFaulty.isEmpty() && FPicked.isEmpty() && FGuided.isEmpty(); }
    const QSet<TContactKey>& Faulty() const { return FFaulty; }
    const QSet<TContactKey>& Picked() const { return FPicked; }
    const QSet<TContactKey>& Guided() const { return FGuided; }

  signals:
    void Changed();

  private:
    QSet<TContactKey> FFaulty;
    QSet<TContactKey> FPicked;
    QSet<TContactKey> FGuided;
};
