// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QLabel;

// The start-up window: "Ждите, идет загрузка..." on a bevelled panel, borderless, on top of
// every window and centred on the desktop, while the main window sets itself up.
class TfmStartUp : public QWidget {
    Q_OBJECT
  public:
    explicit TfmStartUp(QWidget* parent = nullptr);
    ~TfmStartUp() override;

    // Shows the window and returns once it has been painted (a window manager maps it some
    // time after the request), or after PaintWaitMs, before the set-up goes on.
    void ShowNow();
    bool Painted() const { return FPainted; }

    static constexpr int PaintWaitMs = 1000;

    QLabel* lbWait = nullptr;

  signals:
    void FirstPainted();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool FPainted = false;
};
