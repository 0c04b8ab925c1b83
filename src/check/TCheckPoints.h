// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class TSootv;
class TWorkPlace;

// One point of measurement: a pin of the unit and the contacts tied to it, named as the
// correspondence grids show them ("XT1:a1"). Contacts on one pin are measured together.
struct TCheckPoint {
    std::uint16_t Pin = 0; // pin code as the table stores it (X1 from 400, X2 from 272)
    QStringList Contacts;
};

// The points of measurement of a project: one per pin of its correspondence table, in table
// order, and the names of every contact the project has (tied or not), so that a list naming a
// contact can tell "no such contact" from "not tied to a pin".
class TCheckPoints {
  public:
    TCheckPoints() = default;
    // `untied`: contacts of the project that no point carries.
    explicit TCheckPoints(std::vector<TCheckPoint> points, const QStringList& untied = {});
    // The points of an open project. Records of the same pin become one point.
    static TCheckPoints FromProject(const TWorkPlace& workPlace, const TSootv& sootv);

    int Count() const { return int(FPoints.size()); }
    const TCheckPoint& Point(int index) const { return FPoints[std::size_t(index)]; }
    std::vector<std::uint16_t> Pins() const;

    // The points a contact is tied to (usually one); empty when none.
    std::vector<int> PointsOf(const QString& contact) const;
    // Whether the project has a contact of this name, tied or not.
    bool HasContact(const QString& contact) const;
    // Every contact of the points, in the order of the points.
    QStringList Contacts(const std::vector<int>& points) const;

  private:
    void Index();

    std::vector<TCheckPoint> FPoints;
    QHash<QString, std::vector<int>> FByName;
    QSet<QString> FAll;
};
