// SPDX-License-Identifier: GPL-3.0-or-later
#include "TWorkPlace.h"

#include "TErrors.h"
#include "TFileErrorText.h"
#include "TPinGrid.h"
#include "TRazem.h"
#include "TSafeFile.h"
#include "TSootv.h"
#include "TStreamReader.h"
#include "TStreamWriter.h"

#include <QCoreApplication>
#include <QFile>
#include <cerrno>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TWorkPlace)
};
// The smallest connector record: "TPF0", an empty class name and component name, the ends of
// the property and child lists, then size class, index, name length and name count.
constexpr qint64 kMinRazemRecord = 24;
} // namespace

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
            const QString part = TiedContactName(rec, i);
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

QByteArray TWorkPlace::SaveToImage() const {
    TStreamWriter w;
    w.Reserve(1 << 16);
    w.WriteInt32(Count());
    for (const auto& r : FRazems)
        r->SaveToStream(w);
    if (FSootv != nullptr)
        FSootv->WriteToStream(w);
    else
        w.WriteInt32(0);
    return w.TakeData();
}

void TWorkPlace::SaveToFile(const QString& path) {
    TSafeFile::Write(path, SaveToImage());
    Modified = false; // only now: a failed save must still leave the save prompt armed
}

void TWorkPlace::LoadFromFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(TTexts::tr("Не удалось открыть файл «%1»: %2")
                             .arg(path, TFileErrorText::OfOpening(path)));
    const QByteArray image = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw EFileError(
            TTexts::tr("Не удалось прочитать файл «%1»: %2").arg(path, TFileErrorText::Of(EIO)));
    LoadFromImage(image);
}

void TWorkPlace::LoadFromImage(const QByteArray& image) {
    if (Count() != 0)
        throw EFileError(TTexts::tr("Проект загружается только в пустое рабочее поле."));
    TStreamReader r(image);
    const std::int32_t count = r.ReadCount(kMinRazemRecord, TTexts::tr("число разъемов"));
    for (std::int32_t i = 0; i < count; ++i) {
        r.SetContext(TTexts::tr("разъем %1").arg(i + 1));
        Add(std::make_unique<TRazem>());
        TRazem* razem = Razem(Count() - 1);
        try {
            razem->LoadFromStream(r);
        } catch (...) {
            // The record is checked whole before the connector takes any of it; the connector
            // is still fresh and goes again, so no entry can name a half-read connector.
            emit RazemRemoving(razem);
            FRazems.pop_back();
            throw;
        }
    }
    std::vector<TRazemExtent> extents;
    for (int i = 0; i < Count(); ++i)
        extents.push_back({Razem(i)->ColCount(), Razem(i)->RowCount()});
    if (FSootv != nullptr) {
        FSootv->ReadFromStream(r, extents);
    } else {
        TSootv scratch;
        scratch.ReadFromStream(r, extents);
    }
    if (!r.AtEnd())
        r.Fail(TTexts::tr("после последней записи соответствий лишние данные: %1 байт")
                   .arg(r.Remaining()));
    FillSootvGrids();
}

QString TWorkPlace::TiedContactName(const TSootvData& record, int i) const {
    const TRazem* razem = Razem(record.FRazemIndexes[std::size_t(i)]);
    return (razem != nullptr ? razem->FRazName : QString()) + QLatin1Char(':') +
           record.FNames[std::size_t(i)];
}
