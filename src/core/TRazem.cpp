// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRazem.h"

#include "TComponentStream.h"
#include "TErrors.h"
#include "TRazemRecord.h"
#include "TSootv.h"
#include "TWorkPlace.h"

#include <QCoreApplication>
#include <algorithm>
#include <optional>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TRazem)
};

struct TCellSize {
    int ColWidth;
    int RowHeight;
    int MaxName;
};
constexpr TCellSize kSizes[3] = {{32, 22, 4}, {42, 22, 6}, {62, 32, 8}};

} // namespace

TRazem::TRazem(QObject* parent) : QObject(parent) {}

TRazem::~TRazem() = default;

void TRazem::SetColCount(int count) {
    if (count < 0 || count > MaxCols)
        throw ELimit(TTexts::tr("Разъем может иметь от 0 до %1 позиций в ряду, запрошено %2.")
                         .arg(MaxCols)
                         .arg(count));
    FColCount = count;
}

void TRazem::SetRowCount(int count) {
    if (count < 0 || count > MaxGridRows)
        throw ELimit(
            TTexts::tr("Разъем может иметь не более %1 рядов контактов, запрошено %2 строк сетки.")
                .arg(MaxContactRows)
                .arg(count));
    FRowCount = count;
}

void TRazem::SetBounds(int left, int top) {
    if (left == FLeft && top == FTop)
        return;
    FLeft = left;
    FTop = top;
    emit GeometryChanged();
}

void TRazem::SetEnabled(bool enabled) {
    if (enabled == FEnabled)
        return;
    FEnabled = enabled;
    emit EnabledChanged();
}

void TRazem::ClearPositions() {
    for (auto& column : FCells)
        for (std::size_t r = 0; r < column.size(); r += 2) {
            TContact& t = column[r];
            t.State = TContactState::csEmpty;
            t.NameIndex = -1;
            t.IndColor = Colors::clRed;
            t.ButtColor = Colors::clBtnFace;
        }
}

void TRazem::SetButtSize(int sizeClass) {
    if (sizeClass < 0 || sizeClass > 2)
        throw ELimit(TTexts::tr("Неизвестный размер кнопок разъема: %1.").arg(sizeClass));
    FDefaultColWidth = kSizes[sizeClass].ColWidth;
    FDefaultRowHeight = kSizes[sizeClass].RowHeight;
    FWidth = FColCount * FDefaultColWidth + 4;
    FHeight = FRowCount * FDefaultRowHeight + 4;
    FButtSize = sizeClass;
    emit GeometryChanged();
    emit Repainted();
}

void TRazem::SetRazName(const QString& name) {
    FRazName = name;
    emit NameChanged();
}

void TRazem::SetIndex(int index) {
    FIndex = index;
    emit IndexChanged();
}

int TRazem::MaxNameLength() const {
    return FButtSize >= 0 && FButtSize <= 2 ? kSizes[FButtSize].MaxName : kSizes[0].MaxName;
}

int TRazem::ColumnsNeeded() const {
    qint64 needed = 0;
    for (const TRowInfo& d : FRows)
        needed = std::max(needed, qint64(d.Count - 1) * d.Step + d.First);
    return int(std::clamp<qint64>(needed, 0, INT32_MAX));
}

void TRazem::CheckRows() const {
    const int rows = FRowCount / 2;
    if (rows > MaxContactRows || qsizetype(FRows.size()) < rows)
        throw ELimit(
            TTexts::tr("Разъем может иметь не более %1 рядов контактов.").arg(MaxContactRows));
    for (int i = 0; i < rows; ++i) {
        const TRowInfo& d = FRows[i];
        if (d.Count < 0)
            throw ELimit(
                TTexts::tr("Ряд %1: количество контактов не может быть отрицательным.").arg(i + 1));
        if (d.Count == 0)
            continue;
        if (d.First < 1)
            throw ELimit(TTexts::tr("Ряд %1: первый контакт должен стоять в позиции 1 или дальше.")
                             .arg(i + 1));
        if (d.Count > 1 && d.Step < 1)
            throw ELimit(
                TTexts::tr("Ряд %1: приращение позиции должно быть не меньше 1.").arg(i + 1));
        const qint64 last = qint64(d.First) + qint64(d.Count - 1) * d.Step;
        if (last > MaxCols)
            throw ELimit(
                TTexts::tr("Ряд %1: последний контакт попадает в позицию %2, а разъем вмещает "
                           "не более %3 позиций.")
                    .arg(i + 1)
                    .arg(last)
                    .arg(MaxCols));
    }
}

void TRazem::BuildNames() {
    CheckRows();
    if (FNameList.isEmpty())
        FNameList.append(QString::fromLatin1(ReservedName));
    TSootv* sootv = FWorkPlace != nullptr ? FWorkPlace->FSootv : nullptr;
    const int rows = FRowCount / 2;
    for (int i = 0; i < rows; ++i) {
        const TRowInfo d = FRows[i];
        for (int j = 0; j < d.Count; ++j) {
            const int c = d.First - 1 + j * d.Step;
            const QString g =
                d.Prefix + QString::number(qint64(d.FirstNum) + qint64(j) * d.NumStep);
            TContact& p = FCells[c][2 * i];
            const int n = p.NameIndex;
            if (n >= 1 && n < FNameList.size() && FindName(FNameList[n]) == n) {
                // The position owns its entry: rename it in place, for every position sharing it.
                if (FNameList[n] == g)
                    continue;
                FNameList[n] = g;
                if (p.State != TContactState::csEmpty)
                    p.State = TContactState::csFree;
                continue;
            }
            int idx = FindName(g);
            if (idx < 0) {
                FNameList.append(g);
                idx = int(FNameList.size()) - 1;
            }
            p.NameIndex = idx;
            int record = -1;
            p.State = sootv != nullptr && sootv->FindContact(g, FIndex, &record)
                          ? TContactState::csTied
                          : TContactState::csFree;
        }
    }
    ReconcileTies();
    if (FWorkPlace != nullptr)
        FWorkPlace->FillSootvGrids();
    emit Repainted();
}

// After the names are rebuilt every entry of the table for this connector names the contact at
// its position: an entry follows its name to the position that carries it now, and an entry
// whose name no contact carries any more is taken out (an emptied record goes too). Exactly the
// contacts that entries name show tied. Positions outside the connector's present size never
// carry a name, so a connector made smaller loses the ties it no longer has; the tester then
// drives the contact the grids show, and the next save writes only ties that can be read back.
bool TRazem::ReconcileTies() {
    TSootv* sootv = FWorkPlace != nullptr ? FWorkPlace->FSootv : nullptr;
    if (sootv == nullptr)
        return false;
    const int cols = std::clamp(FColCount, 0, MaxCols);
    const int rows = std::clamp(FRowCount, 0, MaxGridRows);
    const auto carries = [&](int col, int row, const QString& name) {
        return col >= 0 && col < cols && row >= 0 && row < rows &&
               FCells[col][row & ~1].State != TContactState::csEmpty &&
               ContactName(col, row) == name;
    };
    const auto carrier = [&](const QString& name) -> std::optional<TCellPos> {
        for (int r = 0; r < rows; r += 2)
            for (int c = 0; c < cols; ++c)
                if (carries(c, r, name))
                    return TCellPos{c, r};
        return std::nullopt;
    };

    bool changed = false;
    std::vector<bool> named(std::size_t(cols) * std::size_t(rows), false);
    for (int k = sootv->Count() - 1; k >= 0; --k) {
        TSootvData& rec = sootv->Item(k);
        for (int e = rec.Count() - 1; e >= 0; --e) {
            if (rec.FRazemIndexes[std::size_t(e)] != FIndex)
                continue;
            const QString& name = rec.FNames[std::size_t(e)];
            TCellPos& at = rec.FContacts[std::size_t(e)];
            if (!carries(at.Col, at.Row, name)) {
                const std::optional<TCellPos> moved = carrier(name);
                changed = true;
                if (!moved) {
                    rec.Delete(e);
                    continue;
                }
                at = *moved;
            }
            named[std::size_t(at.Col) * std::size_t(rows) + std::size_t(at.Row & ~1)] = true;
        }
        if (rec.Count() == 0)
            sootv->Delete(k);
    }
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; r += 2) {
            TContact& t = FCells[c][r];
            if (t.State == TContactState::csEmpty)
                continue;
            if (named[std::size_t(c) * std::size_t(rows) + std::size_t(r)])
                t.State = TContactState::csTied;
            else if (t.State == TContactState::csTied)
                t.State = TContactState::csFree;
        }
    if (changed && FWorkPlace != nullptr)
        FWorkPlace->ClearSootvGrids();
    return changed;
}

bool TRazem::HasName(const QString& name, int* count) const {
    const int n = int(FNameList.count(name));
    if (count != nullptr)
        *count = n;
    return n > 0;
}

int TRazem::FindName(const QString& name) const {
    return int(FNameList.indexOf(name));
}

QString TRazem::ContactName(int col, int recordRow) const {
    if (!IsInside(col, recordRow))
        return {};
    const int n = FCells[col][recordRow & ~1].NameIndex;
    return n >= 1 && n < FNameList.size() ? FNameList[n] : QString();
}

void TRazem::ApplyTesterMode(bool on) {
    const int cols = std::min(FColCount, MaxCols);
    const int rows = std::min(FRowCount, MaxGridRows);
    for (int c = 0; c < cols; ++c)
        for (int r = 0; r < rows; r += 2) {
            TContact& t = FCells[c][r];
            const TContactState s = t.State;
            if (on) {
                if (s == TContactState::csFree)
                    t.IndColor = Colors::clGray;
                else if (s != TContactState::csEmpty)
                    t.State = TContactState::csTied;
            } else if (s != TContactState::csEmpty) {
                t.State = TContactState::csFree;
            }
        }
    if (!on && FWorkPlace != nullptr && FWorkPlace->FSootv != nullptr) {
        const TSootv& sootv = *FWorkPlace->FSootv;
        for (int k = 0; k < sootv.Count(); ++k) {
            const TSootvData& rec = sootv.Item(k);
            for (int i = 0; i < rec.Count(); ++i) {
                const TCellPos pos = rec.FContacts[i];
                if (rec.FRazemIndexes[i] == FIndex && IsInside(pos.Col, pos.Row))
                    FCells[pos.Col][pos.Row & ~1].State = TContactState::csTied;
            }
        }
    }
    FHasPopupMenu = !on;
    emit Repainted();
}

void TRazem::ShiftGenIndices(int freedSlot) {
    for (auto& column : FCells)
        for (std::size_t r = 0; r < column.size(); r += 2) {
            TContact& t = column[r];
            if (t.GenIndex > freedSlot)
                t.GenIndex = t.GenIndex - 1;
        }
}

void TRazem::UnselectLabel() {
    FLabelSelected = false;
    emit LabelSelectionChanged();
}

void TRazem::SelectLabel() {
    FLabelSelected = true;
    emit LabelSelectionChanged();
}

TComponentNode TRazem::ComponentBlock() const {
    TComponentNode node;
    node.ClassName = QStringLiteral("TRazem");
    auto add = [&node](const char* name, TComponentValue value) {
        node.Properties.push_back({QString::fromLatin1(name), std::move(value)});
    };
    // In the grid's order of published properties; values equal to the grid's defaults are
    // left out (only ColCount and RowCount can be, at 5).
    add("Left", TComponentValue::Integer(FLeft));
    add("Top", TComponentValue::Integer(FTop));
    add("Width", TComponentValue::Integer(FWidth));
    add("Height", TComponentValue::Integer(FHeight));
    add("Color", TComponentValue::Ident(QStringLiteral("clInfoBk")));
    if (FColCount != TRazemRecord::DefaultGridCount)
        add("ColCount", TComponentValue::Integer(FColCount));
    add("DefaultColWidth", TComponentValue::Integer(FDefaultColWidth));
    add("DefaultRowHeight", TComponentValue::Integer(FDefaultRowHeight));
    add("DefaultDrawing", TComponentValue::Boolean(false));
    add("FixedCols", TComponentValue::Integer(0));
    if (FRowCount != TRazemRecord::DefaultGridCount)
        add("RowCount", TComponentValue::Integer(FRowCount));
    add("FixedRows", TComponentValue::Integer(0));
    add("GridLineWidth", TComponentValue::Integer(0));
    if (FHasPopupMenu)
        add("PopupMenu", TComponentValue::Ident(QStringLiteral("fmMain.pmCont")));
    // Readers skip it; the connector's place in the workspace is the natural tab order.
    add("TabOrder", TComponentValue::Integer(FIndex));
    return node;
}

TRazemRecord TRazem::ToRecord() const {
    TRazemRecord rec;
    rec.Component = ComponentBlock();
    rec.ButtSize = FButtSize;
    rec.Index = FIndex;
    rec.Name = FRazName;
    rec.NameList = FNameList;
    const int cols = std::clamp(FColCount, 0, MaxCols);
    const int rows = std::clamp(FRowCount, 0, MaxGridRows);
    rec.Rows.assign(FRows.begin(),
                    FRows.begin() + std::min<std::size_t>(FRows.size(), std::size_t(rows / 2)));
    rec.Rows.resize(std::size_t(rows / 2));
    rec.Cells.resize(std::size_t(rows) * std::size_t(cols));
    for (int g = 0; g < rows; ++g)
        for (int c = 0; c < cols; ++c) {
            const TContact& t = FCells[c][g];
            rec.Cells[std::size_t(g) * std::size_t(cols) + std::size_t(c)] = {
                std::uint8_t(t.State.load()), t.NameIndex, t.IndColor.load(), t.ButtColor};
        }
    return rec;
}

void TRazem::SaveToStream(TStreamWriter& stream) const {
    ToRecord().WriteToStream(stream);
}

void TRazem::LoadFromStream(TStreamReader& stream) {
    ApplyRecord(TRazemRecord::ReadFromStream(stream, FIndex));
}

void TRazem::ApplyRecord(const TRazemRecord& rec) {
    SetBounds(rec.Left(), rec.Top());
    SetColCount(rec.ColCount());
    SetRowCount(rec.RowCount());
    SetButtSize(rec.ButtSize);
    SetIndex(rec.Index);
    FNameList = rec.NameList;
    FRows = rec.Rows;
    const int cols = ColCount();
    const int rows = RowCount();
    for (int c = 0; c < MaxCols; ++c)
        for (int g = 0; g < MaxGridRows; ++g) {
            TContact& t = FCells[c][g];
            const TContactRecord src = c < cols && g < rows ? rec.Cell(c, g) : TContactRecord{};
            t.State = TContactState(src.State);
            t.NameIndex = src.NameIndex;
            t.GenIndex = 0;
            t.IndColor = src.IndColor;
            t.ButtColor = src.ButtColor;
        }
    // The contact menu belongs to the editor mode, whatever mode the file was saved in.
    FHasPopupMenu = FWorkPlace == nullptr || !FWorkPlace->IsTesterMode();
    SetRazName(rec.Name);
    emit Repainted();
}
