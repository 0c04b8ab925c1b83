// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppHelp.h"
#include "AppMessageBox.h"
#include "TApplication.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QMainWindow>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <stdexcept>

// Receives the pages the help hands to the desktop.
class TPageCatcher : public QObject {
    Q_OBJECT
  public:
    QList<QUrl> Urls;
  public slots:
    void Open(const QUrl& url) { Urls << url; }
};

namespace {
class TThrowing : public QWidget {
  protected:
    void mousePressEvent(QMouseEvent*) override { throw std::runtime_error("Ошибка чтения файла"); }
};
} // namespace

// The help and the application's general handling of F1 and stray errors.
class AppShellTest : public QObject {
    Q_OBJECT

    TPageCatcher FCatcher;
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel help XXXXXX")};

  private slots:
    void initTestCase() { QDesktopServices::setUrlHandler("file", &FCatcher, "Open"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler("file"); }
    void init() { FCatcher.Urls.clear(); }
    void cleanup() {
        ResetAppHelpFolder();
        SetAppMessageBoxHook({});
    }

    void shippedPagesExist() {
        // The pages of the source tree: one per context and the index.
        const QString folder = AppHelpFolder();
        QVERIFY(!folder.isEmpty());
        for (int context :
             {HelpContext::Main, HelpContext::Constr, HelpContext::Sootv, HelpContext::Editor,
              HelpContext::Tester, HelpContext::Check, HelpContext::None})
            QVERIFY2(QFile::exists(folder + "/" + AppHelpPage(context)),
                     qPrintable(AppHelpPage(context)));
        QCOMPARE(AppHelpPage(HelpContext::Check), QStringLiteral("checking.html"));
    }

    void opensThePageOfAContext() {
        for (const char* page : {"index.html", "sootv.html"}) {
            QFile f(FDir.filePath(page));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        SetAppHelpFolder(FDir.path());
        QVERIFY(AppHelpAvailable());
        QVERIFY(AppHelp(HelpContext::Sootv));
        QVERIFY(AppHelp(12345)); // no page of its own: the index
        QVERIFY(AppHelpContents());
        QVERIFY(!AppHelp(HelpContext::Constr)); // its page is missing: nothing opens
        QCOMPARE(FCatcher.Urls, QList<QUrl>({QUrl::fromLocalFile(FDir.filePath("sootv.html")),
                                             QUrl::fromLocalFile(FDir.filePath("index.html")),
                                             QUrl::fromLocalFile(FDir.filePath("index.html"))}));
    }

    void withoutPagesNothingHappens() {
        SetAppHelpFolder(FDir.filePath("nowhere"));
        QVERIFY(!AppHelpAvailable());
        QVERIFY(!AppHelp(HelpContext::Main));
        QVERIFY(!AppHelpContents());
        QVERIFY(FCatcher.Urls.isEmpty());
    }

    void f1AsksTheFocusedWidgetsContext() {
        QWidget window;
        SetHelpContext(&window, HelpContext::Main);
        QWidget panel(&window);
        SetHelpContext(&panel, HelpContext::Editor);
        auto* edit = new QLineEdit(&panel);
        auto* other = new QLineEdit(&window);
        QCOMPARE(HelpContextOf(edit), HelpContext::Editor);
        QCOMPARE(HelpContextOf(other), HelpContext::Main);

        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_F1);
        other->setFocus();
        QTest::keyClick(other, Qt::Key_F1);
        const QString folder = AppHelpFolder();
        QCOMPARE(FCatcher.Urls, QList<QUrl>({QUrl::fromLocalFile(folder + "/editor.html"),
                                             QUrl::fromLocalFile(folder + "/main.html")}));
    }

    void strayErrorsAreReportedAndTheProgramGoesOn() {
        QList<std::pair<QString, TMsgKind>> shown;
        SetAppMessageBoxHook([&](const QString& text, TMsgKind kind) {
            shown.append({text, kind});
            return TMsgAnswer::Ok;
        });
        TThrowing w;
        w.show();
        QTest::mouseClick(&w, Qt::LeftButton);
        QTest::mouseClick(&w, Qt::LeftButton);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).first, QStringLiteral("Ошибка чтения файла"));
        QCOMPARE(shown.at(0).second, TMsgKind::Error);
    }

    void realBoxSpeaksRussian() {
        QString caption;
        QStringList buttons;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            QVERIFY(box != nullptr);
            caption = box->windowTitle();
            for (const QAbstractButton* b : box->buttons())
                buttons << b->text();
            box->button(QMessageBox::No)->click();
        });
        QCOMPARE(AppMessageBox("Сохранить изменения в текущем файле?", TMsgKind::QuestionCancel),
                 TMsgAnswer::No);
        QCOMPARE(caption, QStringLiteral("Pinvel"));
        buttons.sort();
        QCOMPARE(buttons, QStringList({"Да", "Нет", "Отмена"}));
    }

    void questionsAskWithOrWithoutTheirIcon() {
        const struct {
            TMsgKind Kind;
            QMessageBox::Icon Icon;
        } kinds[] = {{TMsgKind::Question, QMessageBox::Question},
                     {TMsgKind::WarningQuestion, QMessageBox::Warning},
                     {TMsgKind::PlainQuestion, QMessageBox::NoIcon}};
        for (const auto& k : kinds) {
            QMessageBox::Icon icon = QMessageBox::Critical;
            QMessageBox::StandardButtons buttons;
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                icon = box->icon();
                buttons = box->standardButtons();
                box->button(QMessageBox::Yes)->click();
            });
            QCOMPARE(AppMessageBox("Продолжить?", k.Kind), TMsgAnswer::Yes);
            QCOMPARE(icon, k.Icon);
            QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
        }
    }

    void boxesStandOnTheirWindow() {
        // Where a box shows: its owner and its middle.
        const auto shown = [](const QString& text) {
            std::pair<QWidget*, QPoint> at{nullptr, QPoint()};
            QTimer::singleShot(0, [&] {
                auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                QVERIFY(box != nullptr);
                at = {box->parentWidget(), box->frameGeometry().center()};
                box->button(QMessageBox::Ok)->click();
            });
            AppMessageBox(text, TMsgKind::Information);
            return at;
        };
        const auto near = [](const QPoint& a, const QPoint& b) {
            return (a - b).manhattanLength() <= 2;
        };

        QMainWindow main;
        main.setGeometry(20, 30, 300, 200); // far from the screen's middle
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        // A file dialog was active and is gone: no window is active yet.
        {
            QDialog files(&main);
            files.show();
            files.activateWindow();
            QTRY_COMPARE(QApplication::activeWindow(), &files);
        }
        QCOMPARE(QApplication::activeWindow(), nullptr);
        auto [owner, middle] = shown("Файл не найден");
        QCOMPARE(owner, &main);
        QVERIFY2(near(middle, main.frameGeometry().center()),
                 qPrintable(QStringLiteral("%1,%2").arg(middle.x()).arg(middle.y())));

        // Another window of the program is active: the box stands on it.
        QWidget other;
        other.setGeometry(420, 330, 250, 180);
        other.show();
        other.activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), &other);
        std::tie(owner, middle) = shown("Данный вывод нельзя задействовать!");
        QCOMPARE(owner, &other);
        QVERIFY(near(middle, other.frameGeometry().center()));
    }

    void boxFromAnotherThreadRunsOnTheUiThread() {
        QThread* seen = nullptr;
        SetAppMessageBoxHook([&](const QString&, TMsgKind) {
            seen = QThread::currentThread();
            return TMsgAnswer::Yes;
        });
        TMsgAnswer answer = TMsgAnswer::Ok;
        std::unique_ptr<QThread> worker(
            QThread::create([&] { answer = AppMessageBox("Вопрос", TMsgKind::WarningQuestion); }));
        worker->start();
        QTRY_VERIFY(worker->isFinished());
        QCOMPARE(answer, TMsgAnswer::Yes);
        QCOMPARE(seen, QThread::currentThread());
    }
};

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    AppShellTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "AppShellTest.moc"
