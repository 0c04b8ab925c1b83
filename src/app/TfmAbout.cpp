#include "TfmAbout.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QUrl>

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
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(360, 212);
    setFont(QFont(QStringLiteral("Tahoma"), 8));

    const auto label = [this](const char* name, const QRect& r, Qt::Alignment align) {
        auto* l = new QLabel(this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r);
        l->setAlignment(align | Qt::AlignVCenter);
        l->setTextFormat(Qt::PlainText);
        return l;
    };

    lb1 = label("lb1", QRect(8, 8, 344, 26), Qt::AlignHCenter);
    QFont big(QStringLiteral("Tahoma"));
    big.setPixelSize(19);
    big.setBold(true);
    lb1->setFont(big);
    SetTextColor(lb1, Green);

    lb2 = label("lb2", QRect(8, 36, 344, 16), Qt::AlignHCenter);
    QFont bold = font();
    bold.setBold(true);
    lb2->setFont(bold);
    SetTextColor(lb2, Navy);

    lb3 = label("lb3", QRect(16, 56, 336, 16), Qt::AlignLeft);
    lb4 = label("lb4", QRect(16, 76, 140, 16), Qt::AlignLeft);
    lb4->setText(tr("Техническая поддержка:"));
    lbSupport = label("lbSupport", QRect(156, 76, 196, 16), Qt::AlignLeft);
    lb5 = label("lb5", QRect(16, 94, 140, 16), Qt::AlignLeft);
    lb5->setText(tr("Электронная почта:"));
    lbEmail = label("lbEmail", QRect(156, 94, 196, 16), Qt::AlignLeft);
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
    shp->setGeometry(8, 116, 344, 60);
    shp->setStyleSheet(
        QStringLiteral("QFrame#shp { border: 1px solid black; border-radius: 8px; }"));
    lb8 = label("lb8", QRect(12, 118, 336, 56), Qt::AlignHCenter);
    lb8->setText(tr("Программа предназначена для проверки кабельных жгутов\n"
                    "с блоком диагностики. Незаконное копирование\n"
                    "и распространение программы или её части\n"
                    "преследуется в соответствии с законом."));
    SetTextColor(lb8, Maroon);

    bt1 = new QPushButton(tr("OK"), this);
    bt1->setObjectName(QStringLiteral("bt1"));
    bt1->setGeometry(142, 182, 75, 25);
    bt1->setDefault(true);
    connect(bt1, &QPushButton::clicked, this, &QDialog::accept);

    // The links follow the mouse over the form and every control on it.
    setMouseTracking(true);
    installEventFilter(this);
    for (QWidget* w : findChildren<QWidget*>()) {
        w->setMouseTracking(true);
        w->installEventFilter(this);
    }

    FormCreate(info);
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
