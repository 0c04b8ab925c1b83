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

    // Shows the window and paints it at once, before the set-up goes on.
    void ShowNow();

    QLabel* lbWait = nullptr;
};
