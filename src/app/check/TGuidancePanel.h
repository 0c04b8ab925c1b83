// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDockWidget>
#include <QStringList>
#include <vector>

class QLabel;
class QListWidget;

// The panel of guided assembly and of the probe's search, a dock above the workspace: one large
// line that says what to do or what the probe touches, and for the assembly the reference's
// wires in the order of the wire list, each ticked when it is in.
class TGuidancePanel : public QDockWidget {
    Q_OBJECT
  public:
    enum class TTone { Normal, Done, Wrong };

    explicit TGuidancePanel(QWidget* parent = nullptr);

    // Guided assembly of these wires ("XT1:a3 — XP2:b5"), none in yet.
    void ShowAssembly(const QStringList& wires);
    // The probe's search: the line alone.
    void ShowProbe();
    void SetLine(const QString& text, TTone tone = TTone::Normal);
    // The wires in (1) and not (0), the next one current and in sight.
    void SetTicks(const std::vector<char>& ticked, int next);

    QString Line() const;
    QLabel* LineLabel() const { return lbGuide; }
    QListWidget* WireList() const { return lwWires; }
    // The wires ticked, by the list.
    int TickedCount() const;

  signals:
    // Esc in the panel while it floats as a window of its own.
    void EscapePressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QLabel* lbGuide = nullptr;
    QLabel* lbCount = nullptr;
    QListWidget* lwWires = nullptr;
};
