// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Connectors and ties built the way the editing commands build them, and a fake main window.

#include "IWorkspaceHost.h"
#include "TGenerator.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TTesterSettings.h"
#include "TWorkPlace.h"

#include <QMenu>
#include <QTest>
#include <memory>

namespace testkit {

inline TRowInfo Row(int count, const QString& prefix, int first = 1) {
    return {count, first, 1, 1, 1, prefix};
}

// Adds a connector to the workspace as the add command does and answers it.
inline TRazem* AddRazem(TWorkPlace& wp, const QString& name, std::vector<TRowInfo> rows,
                        int size = 1) {
    auto owned = std::make_unique<TRazem>();
    TRazem* r = owned.get();
    r->ClearPositions();
    r->SetRowCount(int(rows.size()) * 2);
    r->FRows = std::move(rows);
    wp.Add(std::move(owned));
    r->SetRazName(name);
    r->SetColCount(r->ColumnsNeeded());
    r->SetButtSize(size);
    r->BuildNames();
    return r;
}

// Ties a contact (column, record row) to pin (grid, col, row) as the correspondence dialog does.
inline void Tie(TSootv& sootv, TRazem& r, int c, int recordRow, int grid, int col, int row) {
    int k = sootv.FindCell(col, row, grid);
    if (k < 0) {
        auto rec = std::make_unique<TSootvData>();
        rec->FCol = col;
        rec->FRow = row;
        rec->FGrid = std::uint8_t(grid);
        rec->FPin = TSootv::PinCode(grid, col, row);
        sootv.Add(std::move(rec));
        k = sootv.Count() - 1;
    }
    sootv.Item(k).AddName(r.ContactName(c, recordRow));
    sootv.Item(k).AddContact({c, recordRow}, r.FIndex);
    r.FCells[c][recordRow].State = TContactState::csTied;
}

class FakeHost : public IWorkspaceHost {
  public:
    TGenerator FGenerator;
    bool FHasGenerator = true;
    bool FReadRaz = true;
    int FZondWrite = ZondWriteMode::Off;
    bool FCycle = false;
    int FCycleCalls = 0;
    int FResumes = 0;
    QMenu FMenu;
    bool FHasMenu = true;

    TGenerator* Generator() override { return FHasGenerator ? &FGenerator : nullptr; }
    bool ReadRaz() const override { return FReadRaz; }
    int ZondWrite() const override { return FZondWrite; }
    void SetCycle(bool on) override {
        FCycle = on;
        ++FCycleCalls;
    }
    void ResumeWorker() override { ++FResumes; }
    QMenu* ContactMenu() override { return FHasMenu ? &FMenu : nullptr; }
};

} // namespace testkit
