// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A project for the harness check in the window: two connectors of one row of eight contacts,
// XT1 a1..a8 tied to X1:a1..a8 and XP2 a1..a8 tied to X2:a1..a8, written as the editor writes
// it; and harness descriptions of it for the simulated unit and the emulator.

#include "TRazem.h"
#include "TSootv.h"
#include "TWorkPlace.h"

#include <QByteArray>
#include <QFile>
#include <QString>

namespace CheckWindowTestKit {

inline TRazem* AddRow(TWorkPlace& wp, const QString& name, int top) {
    auto owned = std::make_unique<TRazem>();
    TRazem* r = owned.get();
    r->ClearPositions();
    r->SetRowCount(2);
    r->FRows.push_back({8, 1, 1, 1, 1, QStringLiteral("a")});
    wp.Add(std::move(owned));
    r->SetRazName(name);
    r->SetColCount(r->ColumnsNeeded());
    r->SetButtSize(1);
    r->BuildNames();
    r->SetBounds(20, top);
    return r;
}

// Writes the project; answers false when it could not.
inline bool WriteProject(const QString& path) {
    TWorkPlace wp;
    TSootv sootv;
    wp.FSootv = &sootv;
    TRazem* razems[] = {AddRow(wp, QStringLiteral("XT1"), 30),
                        AddRow(wp, QStringLiteral("XP2"), 160)};
    for (int grid = 1; grid <= 2; ++grid)
        for (int c = 0; c < 8; ++c) {
            TRazem& r = *razems[grid - 1];
            auto rec = std::make_unique<TSootvData>();
            rec->FCol = c + 1;
            rec->FRow = 3; // row a
            rec->FGrid = std::uint8_t(grid);
            rec->FPin = TSootv::PinCode(grid, c + 1, 3);
            rec->AddName(r.ContactName(c, 0));
            rec->AddContact({c, 0}, r.FIndex);
            sootv.Add(std::move(rec));
            r.FCells[std::size_t(c)][0].State = TContactState::csTied;
        }
    try {
        wp.SaveToFile(path);
    } catch (...) {
        return false;
    }
    return true;
}

// The good harness: XT1:aN with XP2:aN for N = 1, 2, 4 .. 6 (XP2 one further from 4 on), XT1:a3
// with XP2:a3 and XP2:a4; XT1:a7, XT1:a8 and XP2:a8 wired to nothing. The probe touches X1:a2.
inline const char* GoodNets() {
    return R"("nets": [["X1:a1", "X2:a1"], ["X1:a2", "X2:a2"], ["X1:a3", "X2:a3", "X2:a4"],
                       ["X1:a4", "X2:a5"], ["X1:a5", "X2:a6"], ["X1:a6", "X2:a7"]],
              "probe": "X1:a2")";
}

// The wire list a learning of the good harness writes.
inline QByteArray GoodWires() {
    return "from,to\n"
           "XT1:a1,XP2:a1\n"
           "XT1:a2,XP2:a2\n"
           "XT1:a3,XP2:a3\n"
           "XT1:a3,XP2:a4\n"
           "XT1:a4,XP2:a5\n"
           "XT1:a5,XP2:a6\n"
           "XT1:a6,XP2:a7\n";
}

// A harness file: the good nets and the faults given ("opens": [...], ...).
inline bool WriteHarness(const QString& path, const QByteArray& faults = QByteArray()) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    QByteArray text = QByteArray("{") + GoodNets();
    if (!faults.isEmpty())
        text += ", " + faults;
    text += "}";
    return f.write(text) == text.size();
}

} // namespace CheckWindowTestKit

using namespace CheckWindowTestKit;
