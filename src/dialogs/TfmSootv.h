// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

class QLabel;
class QPushButton;
class TPinGrid;
class TSootv;
class TStringGrid;
class TWorkPlace;

// The correspondence editor: the unit's connectors X1 and X2 as two grids of pins (rows c, b, a;
// positions 1..32). A left click ties the contact marked in the selected connector to the pin,
// any other button or the Delete key unties every contact from the pin. Every change goes
// straight into the correspondence table; the window has no undo. One instance lives for the
// whole run and is shown modeless, on top of the main window.
class TfmSootv : public QDialog {
    Q_OBJECT
  public:
    static constexpr int DefaultColWidth = 24;
    static constexpr int FixedHeight = 400;

    explicit TfmSootv(QWidget* parent = nullptr);
    ~TfmSootv() override;

    // The texts of the two grids; the correspondence table is created on them.
    TPinGrid* GridX1() const { return FPinX1.get(); }
    TPinGrid* GridX2() const { return FPinX2.get(); }
    TPinGrid* PinGrid(int tag) const;
    TStringGrid* View(int tag) const;

    // The project the window works on; the project commands replace it while the window lives.
    void SetProject(TWorkPlace* workPlace, TSootv* sootv);
    TWorkPlace* WorkPlace() const { return FWorkPlace; }
    TSootv* Sootv() const { return FSootv; }

    // Writes the headers again and empties every pin cell of both grids.
    void ClearGrids();

    // The last selected cell: grid tag (0 while none was selected yet), column and row.
    int LastGrid() const { return FLastGrid; }
    int LastCol() const { return FLastCol; }
    int LastRow() const { return FLastRow; }

    // A mouse press at a point of a grid's cell area, as the grid reports it.
    void GridMouseDown(int tag, Qt::MouseButton button, const QPoint& pos);
    // Ties the selected connector's marked contact to a pin cell.
    void TieContact(int tag, int col, int row);
    // Frees every contact tied to a pin cell and removes its record.
    void UntiePin(int tag, int col, int row);

    // Closing (OK, "Отмена", the close box) ends the editing session.
    void done(int result) override;

    QLabel* lbX1;
    TStringGrid* sgX1;
    QLabel* lbX2;
    TStringGrid* sgX2;
    QPushButton* btOK;
    QPushButton* btCancel;

  protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BindGrid(TStringGrid* view, TPinGrid* pins, int tag);
    void WriteHeaders(TStringGrid* view);
    void FitColumn(TStringGrid* view, int col);
    void SelectCell(int tag, int col, int row);

    std::unique_ptr<TPinGrid> FPinX1;
    std::unique_ptr<TPinGrid> FPinX2;
    TWorkPlace* FWorkPlace = nullptr;
    TSootv* FSootv = nullptr;
    int FLastGrid = 0;
    int FLastCol = 0;
    int FLastRow = 0;
    bool FSettingUp = true; // the grids' own first current cell is no user selection
};
