// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Projects built the way the editor builds them, shared by the project file tests.
#include "TPinGrid.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TWorkPlace.h"

#include <memory>

namespace Samples {

inline TRowInfo Row(int count, const QString& prefix, int first = 1, int step = 1, int firstNum = 1,
                    int numStep = 1) {
    return {count, first, step, firstNum, numStep, prefix};
}

// A workspace with its table, as the main window creates them.
struct TProject {
    TPinGrid X1, X2;
    TSootv Sootv{&X1, &X2};
    TWorkPlace WorkPlace;
    TProject() { WorkPlace.FSootv = &Sootv; }

    TRazem& AddRazem(const QString& name, std::vector<TRowInfo> rows, int size = 1) {
        auto r = std::make_unique<TRazem>();
        TRazem* raw = r.get();
        WorkPlace.Add(std::move(r));
        raw->ClearPositions();
        raw->SetRowCount(int(rows.size()) * 2);
        raw->FRows = std::move(rows);
        raw->SetRazName(name);
        raw->SetColCount(raw->ColumnsNeeded());
        raw->SetButtSize(size);
        raw->BuildNames();
        return *raw;
    }

    // Ties the named contact of a connector to a pin cell, as the correspondence editor does.
    void Tie(TRazem& r, const QString& contact, int grid, int col, int row) {
        int k = Sootv.FindCell(col, row, grid);
        if (k < 0) {
            auto rec = std::make_unique<TSootvData>();
            rec->FCol = col;
            rec->FRow = row;
            rec->FGrid = std::uint8_t(grid);
            rec->FPin = TSootv::PinCode(grid, col, row);
            Sootv.Add(std::move(rec));
            k = Sootv.Count() - 1;
        }
        for (int c = 0; c < r.ColCount(); ++c)
            for (int g = 0; g < r.RowCount(); g += 2)
                if (r.ContactName(c, g) == contact) {
                    Sootv.Item(k).AddName(contact);
                    Sootv.Item(k).AddContact({c, g}, r.FIndex);
                    r.FCells[c][g].State = TContactState::csTied;
                    return;
                }
    }
};

// Three connectors (one with 5 columns, one with Cyrillic names) and three correspondences.
inline void FillMixed(TProject& p) {
    TRazem& a = p.AddRazem("XT0", {Row(5, "a"), Row(5, "b")}, 0);
    TRazem& b =
        p.AddRazem(QStringLiteral("Разъём"), {Row(7, QStringLiteral("Ш"), 2, 2, 10, -3)}, 2);
    TRazem& c = p.AddRazem("X9", {Row(3, "c"), Row(0, "d"), Row(4, "e", 3)}, 1);
    b.SetBounds(-40, 300);
    a.FCells[2][0].ButtColor = Colors::clMaroon;
    p.Tie(a, "a1", 1, 1, 3);
    p.Tie(b, QStringLiteral("Ш7"), 1, 1, 3);
    p.Tie(c, "e2", 2, 31, 1);
    p.Tie(a, "b5", 2, 5, 2);
}

} // namespace Samples
