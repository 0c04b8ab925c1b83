#include "TWorkPlace.h"

#include "TPinGrid.h"
#include "TRazem.h"
#include "TSootv.h"

TWorkPlace::TWorkPlace(QObject* parent) : QObject(parent) {}

TWorkPlace::~TWorkPlace() {
    while (!FRazems.empty()) {
        emit RazemRemoving(FRazems.back().get());
        FRazems.pop_back();
    }
}

TRazem* TWorkPlace::Razem(int index) const {
    return index >= 0 && index < Count() ? FRazems[std::size_t(index)].get() : nullptr;
}

int TWorkPlace::IndexOfName(const QString& name) const {
    for (int i = 0; i < Count(); ++i)
        if (FRazems[std::size_t(i)]->FRazName == name)
            return i;
    return -1;
}

bool TWorkPlace::Add(std::unique_ptr<TRazem> razem) {
    try {
        TRazem* r = razem.get();
        if (r == nullptr)
            return false;
        r->SetWorkPlace(this);
        FRazems.push_back(std::move(razem));
        r->SetIndex(Count() - 1);
        emit RazemAdded(r);
        return true;
    } catch (...) {
        return false;
    }
}

bool TWorkPlace::Delete(int index) {
    try {
        if (index < 0 || index >= Count())
            return false;
        emit RazemRemoving(FRazems[std::size_t(index)].get());
        FRazems.erase(FRazems.begin() + index);
        for (int i = 0; i < Count(); ++i)
            FRazems[std::size_t(i)]->SetIndex(i);
        if (FSootv != nullptr)
            FSootv->DeleteRazem(index);
        ClearSootvGrids();
        FillSootvGrids();
        SelectedRazem = -1;
        return true;
    } catch (...) {
        return false;
    }
}

void TWorkPlace::FillSootvGrids() {
    if (FSootv == nullptr)
        return;
    for (int k = 0; k < FSootv->Count(); ++k) {
        const TSootvData& rec = FSootv->Item(k);
        if (rec.FCol < 1 || rec.FRow < 1)
            continue;
        TPinGrid* grid = rec.FGrid == 1 ? FSootv->FGridX1 : FSootv->FGridX2;
        if (grid == nullptr)
            continue;
        for (int i = 0; i < rec.Count(); ++i) {
            const TRazem* razem = Razem(rec.FRazemIndexes[std::size_t(i)]);
            const QString part = (razem != nullptr ? razem->FRazName : QString()) +
                                 QLatin1Char(':') + rec.FNames[std::size_t(i)];
            grid->SetCell(rec.FCol, rec.FRow,
                          i == 0 ? part
                                 : grid->Cell(rec.FCol, rec.FRow) + QLatin1String(" | ") + part);
        }
    }
}

void TWorkPlace::ClearSootvGrids() {
    if (FSootv == nullptr)
        return;
    if (FSootv->FGridX1 != nullptr)
        FSootv->FGridX1->Clear();
    if (FSootv->FGridX2 != nullptr)
        FSootv->FGridX2->Clear();
}

void TWorkPlace::SetTesterMode(bool on) {
    FTesterMode.store(on, std::memory_order_release);
    for (auto& r : FRazems)
        r->ApplyTesterMode(on);
    emit TesterModeChanged(on);
}

void TWorkPlace::SetRazemsEnabled(bool enabled) {
    for (auto& r : FRazems)
        r->SetEnabled(enabled);
}

void TWorkPlace::Deselect() {
    if (TRazem* r = Selected())
        r->UnselectLabel();
}

void TWorkPlace::Select(int index) {
    TRazem* r = Razem(index);
    if (r == nullptr)
        return;
    if (index != SelectedRazem) {
        Deselect();
        r->SelectLabel();
    }
    SelectedRazem = index;
}

void TWorkPlace::ReleaseGeneratorSlot(int slot) {
    for (auto& r : FRazems)
        r->ShiftGenIndices(slot);
}

void TWorkPlace::StopGenerators() {
    for (auto& r : FRazems) {
        if (FSootv != nullptr)
            FSootv->ResetGenerators(*this);
        r->Repaint();
    }
}
