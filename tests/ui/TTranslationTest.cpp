// SPDX-License-Identifier: GPL-3.0-or-later
#include "TTranslation.h"
#include "AppHelp.h"
#include "AppMessageBox.h"
#include "TIniFile.h"
#include "WorkWithCOM.h"

#include "TsMessages.h"
#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Receives the pages the help hands to the desktop.
class TTranslationPageCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> Urls;
  public slots:
    void Open(const QUrl& url) { Urls << url; }
};

namespace {

// The finished messages of the checked-in catalogue.
QList<TTsMessage> CatalogueMessages() {
    QList<TTsMessage> finished;
    for (const TTsMessage& m : ReadTsMessages(QStringLiteral(PINVEL_TS_FILE)))
        if (m.Type.isEmpty())
            finished << m;
    return finished;
}

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

// The choice of the language, the installed texts (the program's, Qt's own and the device
// library's), and the help pages in the program's language.
class TTranslationTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel language XXXXXX")};
    TTranslationPageCatcher FCatcher;

  private slots:
    void initTestCase() { QDesktopServices::setUrlHandler("file", &FCatcher, "Open"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }
    void cleanup() {
        TTranslation::Install(TLanguage::Russian);
        ResetAppHelpFolder();
        FCatcher.Urls.clear();
    }

    void theSettingWinsOverTheLocale_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<TLanguage>("language");
        QTest::newRow("English locale") << ""
                                        << "en_US" << TLanguage::English;
        QTest::newRow("British locale") << ""
                                        << "en_GB" << TLanguage::English;
        QTest::newRow("Russian locale") << ""
                                        << "ru_RU" << TLanguage::Russian;
        QTest::newRow("German locale: Russian") << ""
                                                << "de_DE" << TLanguage::Russian;
        QTest::newRow("C locale: Russian") << ""
                                           << "C" << TLanguage::Russian;
        QTest::newRow("en forces English") << "en"
                                           << "ru_RU" << TLanguage::English;
        QTest::newRow("EN, spaced") << " EN "
                                    << "de_DE" << TLanguage::English;
        QTest::newRow("ru forces Russian") << "ru"
                                           << "en_US" << TLanguage::Russian;
        QTest::newRow("Ru") << "Ru"
                            << "en_GB" << TLanguage::Russian;
        QTest::newRow("unknown: the locale") << "fr"
                                             << "en_US" << TLanguage::English;
        QTest::newRow("unknown, Russian locale") << "english"
                                                 << "ru_RU" << TLanguage::Russian;
    }
    void theSettingWinsOverTheLocale() {
        QFETCH(QString, setting);
        QFETCH(QString, locale);
        QFETCH(TLanguage, language);
        QCOMPARE(TTranslation::Choose(setting, QLocale(locale)), language);
    }

    void theSettingComesFromTheMainWindowsSection() {
        // As the program writes its settings: Windows-1251, CRLF, the placement keys beside.
        const QString path = FDir.filePath("pinvel.ini");
        WriteFile(path, "[Folders]\r\nOpenDir=/home/\r\n[FMMAIN]\r\nGeometry=01d9\r\n"
                        "language=en\r\n");
        TIniFile ini(path);
        QVERIFY(ini.Load());
        QCOMPARE(TTranslation::SettingOf(ini), QStringLiteral("en"));
        QCOMPARE(TTranslation::ChooseForProgram(path), TLanguage::English);
        WriteFile(path, "[fmMain]\r\nLanguage=ru\r\n");
        QCOMPARE(TTranslation::ChooseForProgram(path), TLanguage::Russian);
        // The key belongs to [fmMain]: elsewhere it means nothing.
        WriteFile(path, "[Folders]\r\nLanguage=en\r\n");
        TIniFile other(path);
        QVERIFY(other.Load());
        QCOMPARE(TTranslation::SettingOf(other), QString());
    }

    void englishTextsReplaceTheRussianOnes() {
        QVERIFY(TTranslation::Install(TLanguage::English));
        QCOMPARE(TTranslation::Current(), TLanguage::English);
        QCOMPARE(QCoreApplication::translate("TfmMain", "Файл"), QStringLiteral("File"));
        QCOMPARE(QCoreApplication::translate("TProperty", " [Тестер]"),
                 QStringLiteral(" [Tester]"));
        QVERIFY(TTranslation::Install(TLanguage::Russian));
        QCOMPARE(TTranslation::Current(), TLanguage::Russian);
        QCOMPARE(QCoreApplication::translate("TfmMain", "Файл"), QStringLiteral("Файл"));
    }

    void everyCatalogueMessageIsCompiledIn() {
        // The program carries the catalogue as it is checked in, every context included (a
        // message lost between the .ts and the compiled texts shows Russian in English).
        const QList<TTsMessage> messages = CatalogueMessages();
        QVERIFY(messages.size() > 200);
        QVERIFY(TTranslation::Install(TLanguage::English));
        QStringList wrong;
        for (const TTsMessage& m : messages) {
            const QByteArray comment = m.Comment.toUtf8();
            const QString shown = QCoreApplication::translate(
                m.Context.toUtf8().constData(), m.Source.toUtf8().constData(),
                m.Comment.isEmpty() ? nullptr : comment.constData());
            if (shown != m.Translation)
                wrong << m.Context + QStringLiteral(": ") + m.Source;
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    void qtsOwnTextsFollowTheLanguage() {
        // The standard buttons of Qt's dialogs (the file dialog's Cancel) speak the language.
        QVERIFY(TTranslation::Install(TLanguage::Russian));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
        QVERIFY(TTranslation::Install(TLanguage::English));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    }

    void messageBoxesSpeakTheLanguage() {
        QVERIFY(TTranslation::Install(TLanguage::English));
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            for (const QAbstractButton* b : box->buttons())
                buttons << b->text();
            box->button(QMessageBox::Cancel)->click();
        });
        QCOMPARE(AppMessageBox(QStringLiteral("Save?"), TMsgKind::QuestionCancel),
                 TMsgAnswer::Cancel);
        buttons.sort();
        QCOMPARE(buttons, QStringList({"Cancel", "No", "Yes"}));
    }

    void theDeviceLibrarysMessagesAreTranslated() {
        // The library is a shared object of its own; its texts reach the user in the
        // program's language because the program installs the translation before loading it.
        QVERIFY(TTranslation::Install(TLanguage::English));
        TDeviceSettings settings;
        settings.Link = "carrier-pigeon";
        QString error;
        TComPortHandle port =
            ComCreator(settings.Config(), {qEnvironmentVariable("PINVEL_BIN_DIR")}, &error);
        QVERIFY2(port != nullptr, qPrintable(error));
        const SCP_Info info{3, "Pinvel", 0, 1};
        QCOMPARE(port->Init(&info), 0);
        QCOMPARE(PortErrorText(port),
                 QStringLiteral("Wrong setting of the link to the diagnostic unit "
                                "\"carrier-pigeon\": sim, serial:/dev/ttyACM0 or "
                                "tcp:127.0.0.1:5025 is expected."));
        // And the program's own part of the registration text.
        const QString missing = CheckRegistration({FDir.filePath("no library here")});
        QVERIFY2(missing.startsWith(QStringLiteral("COM object \"libkestrum.so\": is not "
                                                   "registered or missing.")),
                 qPrintable(missing));
    }

    void helpOpensThePagesOfTheLanguage() {
        QDir root(FDir.filePath("help"));
        QVERIFY(root.mkpath("en"));
        for (const char* page :
             {"index.html", "sootv.html", "constr.html", "en/index.html", "en/sootv.html"})
            WriteFile(root.filePath(page), "<html></html>");
        SetAppHelpFolder(root.path());

        QVERIFY(TTranslation::Install(TLanguage::English));
        QCOMPARE(AppHelpPagesFolder(), root.filePath("en"));
        QVERIFY(AppHelp(HelpContext::Sootv));
        QVERIFY(AppHelp(HelpContext::Constr)); // not translated yet: the Russian page
        QVERIFY(AppHelpContents());
        QVERIFY(TTranslation::Install(TLanguage::Russian));
        QCOMPARE(AppHelpPagesFolder(), root.path());
        QVERIFY(AppHelp(HelpContext::Sootv));
        QCOMPARE(FCatcher.Urls, QList<QUrl>({QUrl::fromLocalFile(root.filePath("en/sootv.html")),
                                             QUrl::fromLocalFile(root.filePath("constr.html")),
                                             QUrl::fromLocalFile(root.filePath("en/index.html")),
                                             QUrl::fromLocalFile(root.filePath("sootv.html"))}));

        // An English folder without its index page is no English help: the Russian pages.
        QVERIFY(QFile::remove(root.filePath("en/index.html")));
        QVERIFY(TTranslation::Install(TLanguage::English));
        QCOMPARE(AppHelpPagesFolder(), root.path());
    }

    void shippedHelpHasEveryPageInEnglish() {
        const QString folder = AppHelpFolder();
        QVERIFY(!folder.isEmpty());
        const QStringList pages = QDir(folder).entryList({"*.html", "*.css"}, QDir::Files);
        QVERIFY(pages.size() >= 6);
        static const QRegularExpression anchor(QStringLiteral("id=\"([^\"]+)\""));
        static const QRegularExpression title(QStringLiteral("<title>([^<]*)</title>"));
        const auto read = [](const QString& path) {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        const auto anchors = [](const QString& html) {
            QStringList ids;
            for (const QRegularExpressionMatch& m : anchor.globalMatch(html))
                ids << m.captured(1);
            return ids;
        };
        for (const QString& page : pages) {
            const QString english = read(folder + "/en/" + page);
            QVERIFY2(!english.isEmpty(), qPrintable("en/" + page));
            if (!page.endsWith(QLatin1String(".html")))
                continue;
            // An English page, whose title is English, with every place the pages link to.
            QVERIFY2(english.contains(QLatin1String("<html lang=\"en\">")), qPrintable(page));
            const QString heading = title.match(english).captured(1);
            const bool russian = std::any_of(heading.cbegin(), heading.cend(), [](QChar c) {
                return c.unicode() >= 0x0400 && c.unicode() <= 0x04FF;
            });
            QVERIFY2(!heading.isEmpty() && !russian, qPrintable(page + ": " + heading));
            QCOMPARE(anchors(english), anchors(read(folder + "/" + page)));
        }
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TTranslationTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "TTranslationTest.moc"
