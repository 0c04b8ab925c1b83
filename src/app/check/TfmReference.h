// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QTreeWidget;
class TCheckPoints;
class TReference;

// "Эталон": the nets of a project's reference, each with its contacts and the unit pin each
// contact is tied to; nets of one point (wired to nothing) come after the others.
class TfmReference : public QDialog {
    Q_OBJECT
  public:
    TfmReference(const TReference& reference, const TCheckPoints& points, const QString& path,
                 QWidget* parent = nullptr);

    QTreeWidget* tvNets = nullptr;
    QLabel* lbFile = nullptr;
    QLabel* lbCount = nullptr;
};
