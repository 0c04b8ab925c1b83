// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmAbout.h"

#include "TAppFont.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace {
constexpr QRgb Green = 0xFF008040;  // RGB 0, 128, 64
constexpr QRgb Navy = 0xFF000080;   // clNavy
constexpr QRgb Maroon = 0xFF800000; // clMaroon
// The description the build gives by default, so that it has its translation; a description a
// release sets is shown as it was given.
[[maybe_unused]] constexpr const char* DefaultDescription =
    QT_TRANSLATE_NOOP("TfmAbout", "Pinvel - тестер кабельных жгутов");
} // namespace

TfmAbout::TfmAbout(QWidget* parent, const TVersionInfo& info) : QDialog(parent) {
    setObjectName(QStringLiteral("fmAbout"));
    setWindowTitle(tr("О программе"));
    // A fixed frame with the system menu and the close box only: nothing to minimise or
    // maximise.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint |
                   Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);

    const auto label = [this](const char* name, Qt::Alignment align) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setAlignment(align | Qt::AlignVCenter);
        l->setTextFormat(Qt::PlainText);
        return l;
    };

    lb1 = label("lb1", Qt::AlignHCenter);
    lb1->setFont(TAppFont::PixelFont(19, true));
    SetTextColor(lb1, Green);

    lb2 = label("lb2", Qt::AlignHCenter);
    QFont bold = font();
    bold.setBold(true);
    lb2->setFont(bold);
    SetTextColor(lb2, Navy);

    lb3 = label("lb3", Qt::AlignLeft);
    lb4 = label("lb4", Qt::AlignLeft);
    lb4->setText(tr("Техническая поддержка:"));
    lbSupport = label("lbSupport", Qt::AlignLeft);
    lb5 = label("lb5", Qt::AlignLeft);
    lb5->setText(tr("Электронная почта:"));
    lbEmail = label("lbEmail", Qt::AlignLeft);
    QFont link = font();
    link.setBold(true);
    link.setUnderline(true);
    for (QLabel* l : {lbSupport, lbEmail}) {
        l->setFont(link);
        l->setCursor(Qt::PointingHandCursor);
        SetTextColor(l, LinkColor);
    }

    shp = new QFrame(this);
    shp->setObjectName(QStringLiteral("shp"));
    shp->setStyleSheet(
        QStringLiteral("QFrame#shp { border: 1px solid black; border-radius: 8px; }"));
    lb8 = new QLabel(shp);
    lb8->setObjectName(QStringLiteral("lb8"));
    lb8->setAlignment(Qt::AlignCenter);
    lb8->setTextFormat(Qt::PlainText);
    lb8->setText(tr("Программа предназначена для проверки кабельных жгутов\n"
                    "с блоком диагностики. Незаконное копирование\n"
                    "и распространение программы или её части\n"
                    "преследуется в соответствии с законом."));
    SetTextColor(lb8, Maroon);
    auto* notice = new QVBoxLayout(shp);
    notice->setContentsMargins(6, 2, 6, 2);
    notice->addWidget(lb8);

    bt1 = new QPushButton(tr("OK"), this);
    bt1->setObjectName(QStringLiteral("bt1"));
    bt1->setFixedSize(75, 25);
    bt1->setDefault(true);
    connect(bt1, &QPushButton::clicked, this, &QDialog::accept);

    // The design's places (client area 360 x 212) hold Tahoma 8; the rows are laid out by
    // their texts, so a longer address or description widens the box instead of being cut.
    auto* contacts = new QGridLayout();
    contacts->setContentsMargins(8, 0, 0, 0);
    contacts->setHorizontalSpacing(6);
    contacts->setVerticalSpacing(2);
    contacts->addWidget(lb4, 0, 0);
    contacts->addWidget(lbSupport, 0, 1);
    contacts->addWidget(lb5, 1, 0);
    contacts->addWidget(lbEmail, 1, 1);
    contacts->setColumnStretch(1, 1);
    auto* legal = new QHBoxLayout();
    legal->setContentsMargins(8, 0, 0, 0);
    legal->addWidget(lb3);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 5);
    layout->setSpacing(3);
    layout->addWidget(lb1);
    layout->addWidget(lb2);
    layout->addLayout(legal);
    layout->addLayout(contacts);
    layout->addWidget(shp, 1);
    layout->addWidget(bt1, 0, Qt::AlignHCenter);

    // The links follow the mouse over the form and every control on it.
    setMouseTracking(true);
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    FormCreate(info);
    // Fixed at the design's size, or larger where the texts need it.
    setFixedSize(layout->sizeHint().expandedTo(QSize(ClientWidth, ClientHeight)));
    layout->activate(); // the controls stand in their places before the box is first shown
}

TfmAbout::~TfmAbout() = default;

void TfmAbout::FormCreate(const TVersionInfo& info) {
    const auto value = [&info](const char* key) {
        return info.Valid() ? info.Value(QString::fromLatin1(key)) : QString();
    };
    lb1->setText(tr(value("FileDescription").toUtf8().constData()));
    lb2->setText(tr("Версия: ") + value("FileVersion"));
    lb3->setText(value("LegalCopyright"));
    lbSupport->setText(value("Support"));
    lbEmail->setText(value("Email"));
}

QString TfmAbout::LinkTarget(const QLabel* link) const {
    if (link == lbEmail)
        return QStringLiteral("mailto:") + lbEmail->text();
    return link->text();
}

void TfmAbout::SetTextColor(QLabel* label, QRgb color) {
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor::fromRgb(color));
    label->setPalette(p);
}

void TfmAbout::lbEmailMouseMove(QObject* over) {
    if (over == lbEmail) {
        SetTextColor(lbEmail, HoverColor);
        SetTextColor(lbSupport, LinkColor);
    } else if (over == lbSupport) {
        SetTextColor(lbSupport, HoverColor);
        SetTextColor(lbEmail, LinkColor);
    } else {
        SetTextColor(lbEmail, LinkColor);
        SetTextColor(lbSupport, LinkColor);
    }
}

void TfmAbout::lbEmailSupportClick(QLabel* link) {
    // An empty target opens nothing: the desktop is handed an empty address and refuses it.
    QDesktopServices::openUrl(QUrl(LinkTarget(link)));
}

bool TfmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove && watched->isWidgetType()) {
        // A move the control under the mouse does not take travels on to the form: decide by
        // what is under the mouse, not by who is told.
        const auto* w = static_cast<QWidget*>(watched);
        const QPoint at = w->mapTo(this, static_cast<QMouseEvent*>(event)->position().toPoint());
        QWidget* over = childAt(at);
        lbEmailMouseMove(over != nullptr ? static_cast<QObject*>(over) : this);
    } else if (event->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
               (watched == lbEmail || watched == lbSupport))
        lbEmailSupportClick(static_cast<QLabel*>(watched));
    return QDialog::eventFilter(watched, event);
}
