// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TContact.h"

#include <QDialog>
#include <QStringList>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class TRadioGroup;
class TRazem;
class TStringGrid;
class TUpDown;
class TWorkPlace;

// The connector constructor: the user describes a connector's name, size class and contact rows;
// OK passes only when the parameters make a connector the program can hold. The dialog collects
// and checks, the caller builds the connector from the results.
class TfmConstr : public QDialog {
    Q_OBJECT
  public:
    // Columns of the row table.
    enum Column { ColRow = 0, ColCount, ColFirst, ColStep, ColPrefix, ColFirstNum, ColNumStep };
    static constexpr int MaxRowCount = 100; // what the stepper offers; the connector holds 50

    explicit TfmConstr(TWorkPlace* workPlace, QWidget* parent = nullptr);
    ~TfmConstr() override;

    // Results, read after OK.
    int RowCount() const; // the number in edRowCount, 0 when there is none
    // RowCount() descriptors from the row table; a row the table lacks stays all zero.
    std::vector<TRowInfo> Rows() const;
    QString RazName() const;
    int ButtSize() const;

    // Preparation by the edit command.
    void SetCaption(const QString& caption) { setWindowTitle(caption); }
    void SetRazName(const QString& name);
    // Writes the count into edRowCount (running the row-count change) and moves udRows.
    void SetRowCount(int count);
    void SetButtSize(int sizeClass);
    void SetEditMode(bool on) { FEditMode = on; }
    bool EditMode() const { return FEditMode; }
    // Fills rows 1.. of the table from the descriptors (row number and the six fields).
    void SetRows(const std::vector<TRowInfo>& rows);
    void SetSkip(bool on) { FSkip = on; }
    bool Skip() const { return FSkip; }
    // Detaches (false) or attaches again (true) the row-count change.
    void SetRowCountChangeAttached(bool attached) { FRowCountChangeAttached = attached; }
    // The whole preparation of the edit command, in its order, from the connector.
    void PrepareEdit(const TRazem& razem);

    // Runs on each change of edRowCount's text.
    void RowCountChange();
    // The OK button: marks the project modified, checks, closes on success.
    void btOKClick();
    // The checks of OK in their order, with their messages; true when the parameters pass.
    bool CheckParams();
    // The names that repeat among the generated contact names, each once, in order of repetition.
    QStringList RepeatedNames() const;

    // The default prefix of a row: a..z for rows 1..26, then aa, ab, ... as spreadsheets count.
    static QString DefaultPrefix(int row);
    static bool StrToInt(const QString& text, int* value);

    QLabel* lbName;
    QLineEdit* edName;
    QLabel* lbRowCount;
    QLineEdit* edRowCount;
    TUpDown* udRows;
    TRadioGroup* rgButtSize;
    QLabel* lbPosParams;
    QLabel* lbNameParams;
    TStringGrid* sgRowInfo;
    QPushButton* btOK;
    QPushButton* btCancel;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    bool ReadRow(int row, TRowInfo* info) const;
    bool CheckRanges(int rowCount);
    bool CheckEncodable(int rowCount);

    TWorkPlace* FWorkPlace;
    bool FEditMode = false;
    bool FSkip = false;
    bool FRowCountChangeAttached = true;
    bool FShownOnce = false;
};
