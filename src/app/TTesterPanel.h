// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QCoreApplication>

class QCheckBox;
class QFrame;
class QKeyEvent;
class TfmMain;

// The main window's tester panel: the probe lamps, the probe output selector and its keys (H, L,
// G in any layout, Esc), the reading boxes and the cycle. The controls are the window's, under
// its names; the panel builds them and acts on them.
class TTesterPanel {
    Q_DECLARE_TR_FUNCTIONS(TfmMain)
  public:
    explicit TTesterPanel(TfmMain& main) : FMain(main) {}

    QFrame* CreateTesterPanel();

    int ZondWriteIndex() const;
    void SetZondWriteIndex(int index);
    void rgZondWriteClick();
    void cbReadRazClick();
    void cbReadZondClick();
    void plCicleClick();
    void FormKeyDown(int key);
    void ShowCycle(bool on);
    void MarkGenerators();

    // The layout-independent key code of a key press (27 Esc, 71 G, 72 H, 76 L, ...).
    static int VirtualKey(const QKeyEvent& event);
    // The lamp colour of a panel (for the probe lamps).
    static QColor LampColor(const QFrame* lamp);
    static void SetLampColor(QFrame* lamp, const QColor& color);

  private:
    // Re-evaluates the cycle from the probe selector and starts a pass.
    void ApplyZondWrite();
    void ReadBoxClick(QCheckBox* box, bool readRaz);

    TfmMain& FMain;
};
