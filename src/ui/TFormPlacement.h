// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QWidget;
class TIniFile;

// Remembers the position, size and maximised state of one window in the settings file, in a
// section named after the window's objectName ("fmMain", "fmConstr", "fmSootv"). A window opts
// in by creating one as its child: `new TFormPlacement(this)`; the object is named
// "FormPlacement". CreateFormPlaced then restores the window from the settings file, and from
// then on the placement is stored again whenever the window closes or hides.
class TFormPlacement : public QObject {
    Q_OBJECT
  public:
    explicit TFormPlacement(QWidget* form);
    ~TFormPlacement() override;

    // The placement of the window's section in this file, when it has one.
    void Restore(const TIniFile& ini);
    // Writes the window's placement into its section of the file.
    void Store(TIniFile& ini) const;
    // Stores the placement of every restored window that is still on screen (at program end).
    static void StoreAll(TIniFile& ini);

    QString Section() const;
    bool Active() const { return FActive; }

    static constexpr const char* GeometryKey = "Geometry";
    static constexpr const char* MaximizedKey = "Maximized";

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* FForm;
    bool FActive = false; // restored by CreateFormPlaced: stores itself from now on
};
