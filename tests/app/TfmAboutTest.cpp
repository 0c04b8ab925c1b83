// SPDX-License-Identifier: GPL-3.0-or-later
#include "TfmAbout.h"
#include "TVersionInfo.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

// Receives what the about box hands to the desktop.
class TUrlCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> Urls;
  public slots:
    void Open(const QUrl& url) { Urls << url; }
};

// The about box, with and without version data, its links, and the splash.
class TfmAboutTest : public QObject {
    Q_OBJECT

    TUrlCatcher FCatcher;

    static QRgb Color(const QLabel* l) { return l->palette().color(QPalette::WindowText).rgba(); }
    static void MoveOver(QWidget* w) {
        QMouseEvent move(QEvent::MouseMove, QPointF(2, 2), w->mapToGlobal(QPointF(2, 2)),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(w, &move);
    }

  private slots:
    void initTestCase() {
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::setUrlHandler(scheme, &FCatcher, "Open");
    }
    void cleanupTestCase() {
        for (const char* scheme : {"mailto", "https"})
            QDesktopServices::unsetUrlHandler(scheme);
    }
    void init() { FCatcher.Urls.clear(); }

    void showsVersionDataAndOpensLinks() {
        const TVersionInfo info({{"FileDescription", "Пинвел"},
                                 {"FileVersion", "2.1.0.7"},
                                 {"LegalCopyright", "© 2026 Пинвел"},
                                 {"Support", "https://example.org/help"},
                                 {"Email", "help@example.org"}},
                                "041904e3");
        TfmAbout about(nullptr, info);
        QCOMPARE(about.lb1->text(), QStringLiteral("Пинвел"));
        QCOMPARE(about.lb2->text(), QStringLiteral("Версия: 2.1.0.7"));
        QCOMPARE(about.lb3->text(), QStringLiteral("© 2026 Пинвел"));
        QCOMPARE(about.lbSupport->text(), QStringLiteral("https://example.org/help"));
        QCOMPARE(about.lbEmail->text(), QStringLiteral("help@example.org"));

        QTest::mouseClick(about.lbEmail, Qt::LeftButton);
        QTest::mouseClick(about.lbSupport, Qt::LeftButton);
        QCOMPARE(FCatcher.Urls,
                 QList<QUrl>({QUrl("mailto:help@example.org"), QUrl("https://example.org/help")}));
        QTest::mouseClick(about.bt1, Qt::LeftButton);
        QCOMPARE(about.result(), int(QDialog::Accepted));
    }

    void fixedFrameWithTheSystemMenuOnly() {
        TfmAbout about;
        const Qt::WindowFlags f = about.windowFlags();
        QCOMPARE(f & Qt::WindowType_Mask, Qt::Dialog);
        QVERIFY(f & Qt::CustomizeWindowHint); // the hints below are all the frame shows
        QVERIFY(f & Qt::WindowTitleHint);
        QVERIFY(f & Qt::WindowSystemMenuHint);
        QVERIFY(f & Qt::WindowCloseButtonHint);
        QVERIFY(!(f & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(f & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(f & Qt::WindowContextHelpButtonHint));
        QCOMPARE(about.minimumSize(), about.maximumSize());
        QVERIFY(about.width() >= TfmAbout::ClientWidth && about.height() >= TfmAbout::ClientHeight);
    }

    void withoutVersionData() {
        const TVersionInfo none({}, "041904E3");
        QVERIFY(!none.Valid());
        QCOMPARE(none.Value("FileDescription"), QString());
        QCOMPARE(TVersionInfo().TranslationKey(), QStringLiteral("041904E3"));
        TfmAbout about(nullptr, none);
        for (const QLabel* l : {about.lb1, about.lb3, about.lbSupport, about.lbEmail})
            QCOMPARE(l->text(), QString());
        QCOMPARE(about.lb2->text(), QStringLiteral("Версия: "));
        QCOMPARE(about.LinkTarget(about.lbEmail), QStringLiteral("mailto:"));
        QCOMPARE(about.LinkTarget(about.lbSupport), QString());
        QTest::mouseClick(about.lbEmail, Qt::LeftButton);
        QCOMPARE(FCatcher.Urls, QList<QUrl>({QUrl("mailto:")}));
    }

    void hoverColours() {
        TfmAbout about(nullptr, TVersionInfo());
        const QRgb blue = qRgb(0, 0, 255), navy = qRgb(0, 0, 128);
        QCOMPARE(Color(about.lbEmail), blue);
        QCOMPARE(Color(about.lbSupport), blue);
        MoveOver(about.lbEmail);
        QCOMPARE(Color(about.lbEmail), navy);
        QCOMPARE(Color(about.lbSupport), blue);
        MoveOver(about.lbSupport);
        QCOMPARE(Color(about.lbEmail), blue);
        QCOMPARE(Color(about.lbSupport), navy);
        MoveOver(&about); // the form's background
        QCOMPARE(Color(about.lbEmail), blue);
        QCOMPARE(Color(about.lbSupport), blue);
    }
};

QTEST_MAIN(TfmAboutTest)
#include "TfmAboutTest.moc"
