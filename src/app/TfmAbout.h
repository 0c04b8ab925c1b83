// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TVersionInfo.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

// The about box "О программе": description, version, legal line and two links (support web
// page and e-mail) from the version data, and a legal notice. Created, shown modal and
// destroyed each time the menu item is used.
class TfmAbout : public QDialog {
    Q_OBJECT
  public:
    explicit TfmAbout(QWidget* parent = nullptr, const TVersionInfo& info = TVersionInfo());
    ~TfmAbout() override;

    // What a click on a link opens: the label's text, with "mailto:" in front for lbEmail.
    QString LinkTarget(const QLabel* link) const;

    QLabel* lb1 = nullptr;       // FileDescription
    QLabel* lb2 = nullptr;       // "Версия: " + FileVersion
    QLabel* lb3 = nullptr;       // LegalCopyright
    QLabel* lb4 = nullptr;       // "Техническая поддержка:"
    QLabel* lbSupport = nullptr; // Support
    QLabel* lb5 = nullptr;       // "Электронная почта:"
    QLabel* lbEmail = nullptr;   // Email
    QFrame* shp = nullptr;       // rounded frame around lb8
    QLabel* lb8 = nullptr;       // legal notice
    QPushButton* bt1 = nullptr;  // "OK"

    static constexpr int ClientWidth = 360;
    static constexpr int ClientHeight = 212;
    static constexpr QRgb LinkColor = 0xFF0000FF;  // clBlue
    static constexpr QRgb HoverColor = 0xFF000080; // clNavy

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void FormCreate(const TVersionInfo& info);
    // The mouse is over this widget: the link under it turns navy, the other blue.
    void lbEmailMouseMove(QObject* over);
    void lbEmailSupportClick(QLabel* link);
    static void SetTextColor(QLabel* label, QRgb color);
};
