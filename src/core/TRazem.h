// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TContact.h"

#include <QObject>
#include <QStringList>
#include <array>
#include <vector>

class TWorkPlace;
class TRazemRecord;
class TStreamReader;
class TStreamWriter;
struct TComponentNode;

// A connector of the harness: a grid of contact positions in rows. Grid row 2k shows the
// indicators and grid row 2k+1 the buttons of contact row k; both show the contact whose record
// is kept once, in the even (record) row. This is the connector's data and its algorithms; the
// widget that draws it and takes the mouse is a view over it and follows its signals.
class TRazem : public QObject {
    Q_OBJECT
  public:
    static constexpr int MaxCols = 101;
    static constexpr int MaxGridRows = 101;
    static constexpr int MaxContactRows = 50;
    static constexpr const char* ReservedName = "$Sys#"; // entry 0 of the name list

    explicit TRazem(QObject* parent = nullptr);
    ~TRazem() override;

    // Size class 0 small, 1 medium, 2 large: cell size and the longest typed contact name.
    std::int32_t FButtSize = 0;
    std::int32_t FIndex = 0;     // position in the workspace
    QString FRazName;            // shown in the name label; unique among connectors
    QStringList FNameList;       // contact names shared by index; entry 0 is reserved
    std::vector<TRowInfo> FRows; // one per contact row (RowCount / 2)
    std::array<std::array<TContact, MaxGridRows>, MaxCols> FCells{}; // [column][grid row]
    std::int32_t FMarkCol = 0; // contact last marked or right-clicked
    std::int32_t FMarkRow = 0;

    // Grid properties.
    int ColCount() const { return FColCount; }
    int RowCount() const { return FRowCount; }
    // Both refuse (ELimit) a count the contact array cannot hold; neither changes Width/Height.
    void SetColCount(int count);
    void SetRowCount(int count);
    int DefaultColWidth() const { return FDefaultColWidth; }
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetLeft(int left) { SetBounds(left, FTop); }
    void SetTop(int top) { SetBounds(FLeft, top); }
    void SetBounds(int left, int top);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool enabled);
    // The contact popup menu is attached in the editor mode only.
    bool HasPopupMenu() const { return FHasPopupMenu; }
    // The name label's look: aqua while the connector is the selected one, else white.
    bool LabelSelected() const { return FLabelSelected; }
    int TabOrder() const { return FTabOrder; }
    void SetTabOrder(int order) { FTabOrder = order; }

    // The workspace this connector belongs to (for the correspondence table and mode); may be null.
    TWorkPlace* WorkPlace() const { return FWorkPlace; }
    void SetWorkPlace(TWorkPlace* workPlace) { FWorkPlace = workPlace; }

    // Fills every record row of a new connector with empty positions (no contact, red indicator,
    // button face), as the add command does before the rows are described.
    void ClearPositions();

    void SetButtSize(int sizeClass);
    void SetRazName(const QString& name);
    void SetIndex(int index);
    // The longest contact name the user may type for the size class: 4, 6 or 8.
    int MaxNameLength() const;
    // The 1-based column of the last contact of the widest row.
    int ColumnsNeeded() const;
    // Refuses (ELimit) row descriptors that would place a contact outside the contact array.
    void CheckRows() const;
    // Gives every contact of the rows its generated name, then ReconcileTies.
    void BuildNames();
    // Points every table entry of this connector at the contact that carries its name, drops
    // the entries whose name no contact carries, and sets exactly the named contacts tied.
    // Answers whether the table changed.
    bool ReconcileTies();
    bool HasName(const QString& name, int* count = nullptr) const;
    int FindName(const QString& name) const;
    // Name of the contact whose record is at (col, recordRow); empty when it has none.
    QString ContactName(int col, int recordRow) const;
    const TContact& Contact(int col, int gridRow) const { return FCells[col][gridRow & ~1]; }
    TContact& Contact(int col, int gridRow) { return FCells[col][gridRow & ~1]; }
    static bool IsInside(int col, int gridRow) {
        return col >= 0 && col < MaxCols && gridRow >= 0 && gridRow < MaxGridRows;
    }

    void ApplyTesterMode(bool on);
    void ShiftGenIndices(int freedSlot);
    void UnselectLabel();
    void SelectLabel();

    // The connector's record of a project file. Saving writes the component block of the grid
    // properties, the connector's fields and every contact record (odd grid rows included).
    void SaveToStream(TStreamWriter& stream) const;
    // Reads one record on a connector just created and added to the workspace. The record is
    // read and checked whole before anything is applied, so on EFileError the connector is
    // unchanged. Of the component block Left, Top, ColCount and RowCount are applied.
    void LoadFromStream(TStreamReader& stream);
    // The record SaveToStream writes, and applying a read one.
    TRazemRecord ToRecord() const;
    void ApplyRecord(const TRazemRecord& record);
    // The component block of the current grid properties (PopupMenu only in the editor mode).
    TComponentNode ComponentBlock() const;

    // Asks the view to paint one cell at once, or the whole connector.
    void RedrawCell(int col, int gridRow) { emit CellRedraw(col, gridRow); }
    void Repaint() { emit Repainted(); }

  signals:
    void CellRedraw(int col, int gridRow);
    void Repainted();
    void GeometryChanged();
    void NameChanged();
    void IndexChanged();
    void LabelSelectionChanged();
    void EnabledChanged();

  private:
    int FColCount = 5;
    int FRowCount = 5;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FLeft = 30;
    int FTop = 25;
    int FWidth = 320;
    int FHeight = 120;
    int FTabOrder = 0;
    bool FEnabled = true;
    bool FHasPopupMenu = true;
    bool FLabelSelected = false;
    TWorkPlace* FWorkPlace = nullptr;
};
