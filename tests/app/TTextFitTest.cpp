// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppMessageBox.h"
#include "TAppFont.h"
#include "TApplication.h"
#include "TCheckController.h"
#include "TCheckResultsPanel.h"
#include "TStringGrid.h"
#include "TTranslation.h"
#include "TWireList.h"
#include "TWorkPlace.h"
#include "TfmAbout.h"
#include "TfmConstr.h"
#include "TfmEdit.h"
#include "TfmExample.h"
#include "TfmJournal.h"
#include "TfmMain.h"
#include "TfmSerialPrompt.h"
#include "TfmSootv.h"
#include "TfmSootvErr.h"
#include "TfmStartUp.h"
#include "TfmVidPropery.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

namespace {

QString Plain(QString text) {
    // A mnemonic's ampersand takes no room; a doubled one shows as one.
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return text;
}

QString Name(const QWidget* w) {
    return w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className())
                                     : w->objectName();
}

// Checks that every text of a window shows whole: labels, buttons, check boxes, radio buttons,
// group titles, the fixed cells of grids, read-only lines, the menu bar and its menus. Each
// fault names the window, the widget and the text.
class TFitCheck {
  public:
    explicit TFitCheck(QString font) : FFont(std::move(font)) {}

    void Window(QWidget* window, const QString& name) {
        FWindow = name;
        QVERIFY2(QTest::qWaitForWindowExposed(window), qPrintable(name));
        QApplication::processEvents();
        QList<QWidget*> widgets = window->findChildren<QWidget*>();
        widgets.prepend(window);
        for (QWidget* w : widgets) {
            if (w != window && (!w->isVisibleTo(window) || w->isWindow()))
                continue;
            Widget(w);
        }
        Overlaps(widgets, window);
        if (auto* main = qobject_cast<QMainWindow*>(window))
            MenuBar(main->menuBar());
    }

    void Menu(QMenu* menu, const QString& path) {
        menu->ensurePolished();
        const QFontMetrics fm(menu->font());
        for (QAction* a : menu->actions()) {
            if (a->isSeparator() || !a->isVisible())
                continue;
            const QString text = Plain(a->text());
            const QRect g = menu->actionGeometry(a);
            int need = fm.horizontalAdvance(text);
            if (!a->shortcut().isEmpty())
                need += fm.horizontalAdvance(a->shortcut().toString(QKeySequence::NativeText));
            if (g.isEmpty() || need > g.width())
                Fault(path, QStringLiteral("menu item"), text, need, g.width());
            if (a->menu() != nullptr)
                Menu(a->menu(), path + QStringLiteral(" / ") + text);
        }
    }

    QStringList Faults;

  private:
    void Fault(const QString& widget, const QString& kind, const QString& text, int need,
               int have) {
        Faults << QStringLiteral("%1 [%2]: %3 %4 \"%5\" needs %6 px, has %7")
                      .arg(FWindow, FFont, kind, widget, text)
                      .arg(need)
                      .arg(have);
    }

    void Widget(QWidget* w) {
        const QFontMetrics fm(w->font());
        QStyle* style = w->style();
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().isEmpty())
                return;
            const int m = l->margin();
            QRect cr = l->contentsRect().adjusted(m, m, -m, -m);
            int indent = l->indent();
            if (indent < 0 && l->frameWidth() > 0)
                indent = fm.horizontalAdvance(QLatin1Char('x')) / 2 - m;
            if (indent > 0) {
                if (l->alignment() & Qt::AlignLeft)
                    cr.setLeft(cr.left() + indent);
                if (l->alignment() & Qt::AlignRight)
                    cr.setRight(cr.right() - indent);
            }
            const int flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
            const QString text = l->text();
            const QRect br = fm.boundingRect(cr, flags, text);
            if (br.width() > cr.width())
                Fault(Name(l), QStringLiteral("label"), text, br.width(), cr.width());
            else if (br.height() > cr.height())
                Fault(Name(l), QStringLiteral("label (height)"), text, br.height(), cr.height());
            return;
        }
        if (auto* b = qobject_cast<QPushButton*>(w)) {
            const QString text = Plain(b->text());
            if (text.isEmpty())
                return;
            // Clear of both edges by the style's button margin.
            const int need = fm.horizontalAdvance(text) +
                             2 * style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, b);
            if (need > b->width())
                Fault(Name(b), QStringLiteral("button"), text, need, b->width());
            return;
        }
        if (qobject_cast<QCheckBox*>(w) != nullptr || qobject_cast<QRadioButton*>(w) != nullptr) {
            auto* b = static_cast<QAbstractButton*>(w);
            const int need = b->sizeHint().width();
            if (need > b->width())
                Fault(Name(b),
                      qobject_cast<QCheckBox*>(w) ? QStringLiteral("check box")
                                                  : QStringLiteral("radio button"),
                      Plain(b->text()), need, b->width());
            return;
        }
        if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (g->title().isEmpty())
                return;
            QStyleOptionGroupBox opt;
            opt.initFrom(g);
            opt.text = g->title();
            opt.textAlignment = g->alignment();
            opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
            opt.lineWidth = 1;
            const QRect label =
                style->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
            if (label.left() < 0 || label.right() >= g->width())
                Fault(Name(g), QStringLiteral("group title"), Plain(g->title()), label.right() + 1,
                      g->width());
            return;
        }
        if (auto* grid = qobject_cast<TStringGrid*>(w)) {
            Grid(grid);
            return;
        }
        if (auto* tree = qobject_cast<QTreeWidget*>(w)) {
            Header(tree);
            return;
        }
        if (auto* line = qobject_cast<QLineEdit*>(w); line != nullptr && line->isReadOnly()) {
            if (line->text().isEmpty())
                return;
            const QMargins tm = line->textMargins();
            const int frame = line->hasFrame()
                                  ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, line)
                                  : 0;
            // The line keeps 2 pixels of air on each side of its text.
            const int need =
                fm.horizontalAdvance(line->text()) + 2 * frame + tm.left() + tm.right() + 4;
            if (need > line->width())
                Fault(Name(line), QStringLiteral("read-only line"), line->text(), need,
                      line->width());
        }
    }

    void Grid(TStringGrid* grid) {
        const QFontMetrics fm(grid->font());
        const int margin =
            grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
        const int viewport = grid->viewport()->width();
        const bool scrolls = grid->horizontalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
        for (int r = 0; r < grid->rowCount(); ++r)
            for (int c = 0; c < grid->columnCount(); ++c) {
                if (!grid->IsFixed(c, r) || grid->Cells(c, r).isEmpty())
                    continue;
                const QString text = grid->Cells(c, r);
                const QString where = QStringLiteral("%1 cell %2,%3").arg(Name(grid)).arg(c).arg(r);
                const int w = grid->columnWidth(c) - 2 * margin;
                const int h = grid->rowHeight(r);
                const QRect br = fm.boundingRect(
                    QRect(0, 0, w, 10000),
                    Qt::AlignCenter | (grid->wordWrap() ? Qt::TextWordWrap : 0), text);
                if (br.width() > w)
                    Fault(where, QStringLiteral("grid header"), text, br.width() + 2 * margin,
                          grid->columnWidth(c));
                else if (br.height() > h)
                    Fault(where, QStringLiteral("grid header (height)"), text, br.height(), h);
                else if (!scrolls &&
                         grid->columnViewportPosition(c) + grid->columnWidth(c) > viewport)
                    Fault(where, QStringLiteral("grid header (outside the grid)"), text,
                          grid->columnViewportPosition(c) + grid->columnWidth(c), viewport);
            }
    }

    // The column titles of a list: each whole within its column, clear of the style's margins.
    void Header(QTreeWidget* tree) {
        const QHeaderView* header = tree->header();
        if (header->isHidden())
            return;
        const QFontMetrics fm(header->font());
        const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
        QTreeWidgetItem* titles = tree->headerItem();
        for (int c = 0; c < tree->columnCount(); ++c) {
            if (header->isSectionHidden(c) || titles->text(c).isEmpty())
                continue;
            const int need = fm.horizontalAdvance(titles->text(c)) + 2 * margin;
            if (need > header->sectionSize(c))
                Fault(QStringLiteral("%1 column %2").arg(Name(tree)).arg(c),
                      QStringLiteral("list header"), titles->text(c), need, header->sectionSize(c));
        }
    }

    void MenuBar(QMenuBar* bar) {
        const QFontMetrics fm(bar->font());
        for (QAction* a : bar->actions()) {
            if (!a->isVisible())
                continue;
            const QString text = Plain(a->text());
            const QRect g = bar->actionGeometry(a);
            const int need = fm.horizontalAdvance(text);
            if (g.isEmpty() || g.right() >= bar->width() || need > g.width())
                Fault(QStringLiteral("mmMain"), QStringLiteral("menu item"), text, need,
                      g.isEmpty() ? 0 : g.width());
            if (a->menu() != nullptr)
                Menu(a->menu(), text);
        }
    }

    // A text widget that covers part of a sibling's text hides it as surely as a cut.
    void Overlaps(const QList<QWidget*>& widgets, QWidget* window) {
        const auto carriesText = [](const QWidget* w) {
            return qobject_cast<const QLabel*>(w) != nullptr ||
                   qobject_cast<const QAbstractButton*>(w) != nullptr ||
                   qobject_cast<const QGroupBox*>(w) != nullptr ||
                   qobject_cast<const QLineEdit*>(w) != nullptr;
        };
        for (qsizetype i = 0; i < widgets.size(); ++i)
            for (qsizetype j = i + 1; j < widgets.size(); ++j) {
                QWidget* a = widgets[i];
                QWidget* b = widgets[j];
                if (a == window || b == window || a->parentWidget() != b->parentWidget() ||
                    !carriesText(a) || !carriesText(b) || !a->isVisibleTo(window) ||
                    !b->isVisibleTo(window))
                    continue;
                if (a->geometry().intersects(b->geometry()))
                    Faults << QStringLiteral("%1 [%2]: %3 and %4 overlap")
                                  .arg(FWindow, FFont, Name(a), Name(b));
            }
    }

    QString FFont;
    QString FWindow;
};

} // namespace

// Every window and dialog of the program, opened as the program opens it, shows every text
// whole: in Tahoma (fonts-wine's copy where the system has none) and in the stand-in the
// program takes when no Tahoma exists at all, in Russian and in English.
class TTextFitTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() {
        QVERIFY2(TAppFont::LoadTahoma(),
                 "no Tahoma: install fonts-wine (scripts/deps.sh does) to check the design type");
    }

    void cleanupTestCase() {
        SetAppMessageBoxHook({});
        TAppFont::Install();
    }

    void cleanup() { TTranslation::Install(TLanguage::Russian); }

    void standInIsTheLargestSizeNoWiderThanTahoma() {
        const QFont system(QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
        const int pixels = TAppFont::FittingPixelSize(system);
        const auto width = [&](int px) {
            QFont f = system;
            f.setPixelSize(px);
            return QFontMetrics(f).horizontalAdvance(TAppFont::ReferenceLine());
        };
        QVERIFY(pixels >= 7 && pixels <= 11);
        if (pixels > 7)
            QVERIFY2(width(pixels) <= TAppFont::ReferenceWidth, qPrintable(system.family()));
        if (pixels < 11)
            QVERIFY2(width(pixels + 1) > TAppFont::ReferenceWidth, qPrintable(system.family()));

        // Tahoma itself sets the line in the width the stand-in is measured against.
        QFont tahoma(QStringLiteral("Tahoma"), TAppFont::DesignPointSize);
        QCOMPARE(QFontMetrics(tahoma).horizontalAdvance(TAppFont::ReferenceLine()),
                 TAppFont::ReferenceWidth);
    }

    void everyTextShowsWhole_data() {
        QTest::addColumn<bool>("tahoma");
        QTest::addColumn<TLanguage>("language");
        QTest::newRow("Tahoma") << true << TLanguage::Russian;
        QTest::newRow("stand-in") << false << TLanguage::Russian;
        QTest::newRow("Tahoma, English") << true << TLanguage::English;
        QTest::newRow("stand-in, English") << false << TLanguage::English;
    }

    void everyTextShowsWhole() {
        QFETCH(bool, tahoma);
        QFETCH(TLanguage, language);
        QVERIFY(TTranslation::Install(language));
        TAppFont::Apply(tahoma);
        QCOMPARE(TAppFont::IsTahoma(), tahoma);
        QCOMPARE(QApplication::font().family() == QLatin1String("Tahoma"), tahoma);
        TFitCheck check(QApplication::font().family() + QLatin1Char(' ') +
                        QString::number(QFontInfo(QApplication::font()).pixelSize()) +
                        QStringLiteral(" px"));

        SetAppMessageBoxHook([](const QString&, TMsgKind) { return TMsgAnswer::No; });
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel fit XXXXXX"));
        TfmMainOptions o;
        o.SettingsPath = dir.filePath(QStringLiteral("pinvel.ini"));
        o.LibraryFolders = {qEnvironmentVariable("PINVEL_BIN_DIR")};
        o.DeviceLink = QByteArray("sim");
        // A copy of the demo project: the check writes its wire list beside it.
        const QString project = dir.filePath(QStringLiteral("демо.pvl"));
        QVERIFY(QFile::copy(qEnvironmentVariable("PINVEL_TEST_DATA") +
                                QStringLiteral("/demo-harness.pvl"),
                            project));
        o.FileDialog = [project](bool, const QString&) { return project; };
        QSize aboutSize;
        o.ExecDialog = [&check, &aboutSize](QDialog& dialog) {
            dialog.show();
            if (qobject_cast<TfmAbout*>(&dialog) != nullptr)
                aboutSize = dialog.size();
            if (auto* constr = qobject_cast<TfmConstr*>(&dialog)) {
                check.Window(constr, constr->windowTitle());
                // The list of repeated names opens from here.
                TfmSootvErr errors({QStringLiteral("a1"), QStringLiteral("a10")}, constr);
                errors.show();
                check.Window(&errors, QStringLiteral("Ошибки"));
            } else {
                check.Window(&dialog, dialog.windowTitle());
            }
            dialog.hide();
            return int(QDialog::Rejected);
        };
        // The serial number and operator asked before each check, shown and measured.
        o.HarnessDialog = [&check](QString& serial, QString& oper) {
            TfmSerialPrompt prompt(QStringLiteral("K1-26001017"), QStringLiteral("Иванова А."));
            prompt.show();
            check.Window(&prompt, prompt.windowTitle());
            serial = QStringLiteral("K1-26001017");
            oper = QStringLiteral("Иванова А.");
            return true;
        };
        TfmMain main(o);
        QVERIFY(main.Started());
        QVERIFY(main.IsTesterMode());
        QCOMPARE(main.miFile->title(),
                 language == TLanguage::English ? QStringLiteral("File") : QStringLiteral("Файл"));
        main.acLoadExecute();
        QVERIFY(main.WorkPlace()->Count() > 0);
        main.show();
        check.Window(&main, QStringLiteral("Pinvel [Тестер]"));

        // The harness check: a БРАК result in its panel (the simulated unit has every pin on
        // its own, the reference joins two), the watch with its progress, the reference.
        {
            QFile wires(TWireList::PathFor(project));
            QVERIFY(wires.open(QIODevice::WriteOnly));
            wires.write("from,to\nXT1:a1,XP2:a1\nXT1:a2,XP2:a2\n");
        }
        TCheckController& checker = *main.Check();
        checker.Verify();
        QVERIFY(QTest::qWaitFor([&] { return !checker.Busy(); }, 10000));
        QCOMPARE(checker.Panel()->Faults().size(), 2);
        check.Window(&main, QStringLiteral("Pinvel [Тестер], результаты проверки"));
        checker.SetWatching(true);
        QVERIFY(QTest::qWaitFor([&] { return checker.Panel()->Faults().size() == 2; }, 10000));
        check.Window(&main, QStringLiteral("Pinvel [Тестер], слежение"));
        checker.SetWatching(false);
        QVERIFY(QTest::qWaitFor([&] { return !checker.Busy(); }, 10000));
        check.Window(&main, QStringLiteral("Pinvel [Тестер], слежение окончено"));
        checker.ShowReference(); // through ExecDialog above

        // The journal of those checks.
        main.Records()->ShowJournal();
        TfmJournal* journal = main.Records()->Journal();
        QVERIFY(journal != nullptr);
        QVERIFY(QTest::qWaitFor([&] { return journal->Database() != nullptr; }, 10000));
        check.Window(journal, journal->windowTitle());
        journal->close();

        main.acChangeModeExecute();
        QVERIFY(!main.IsTesterMode());
        check.Window(&main, QStringLiteral("Pinvel [Редактор]"));
        check.Menu(main.ContactMenu(), QStringLiteral("pmCont"));

        main.N11Click();        // the about box
        main.acRazAddExecute(); // the constructor for a new connector
        main.WorkPlace()->SelectedRazem = 0;
        main.acRazEditExecute(); // and for editing one

        main.acSetSootvExecute();
        check.Window(main.fmSootv(), QStringLiteral("Соответствия"));
        main.fmSootv()->hide();

        TfmStartUp splash;
        splash.show();
        check.Window(&splash, QStringLiteral("splash"));

        TfmEdit rename(8, &main);
        rename.edButName->setText(QStringLiteral("a10"));
        rename.show();
        check.Window(&rename, QStringLiteral("rename box"));

        TfmVidPropery vid;
        vid.show();
        check.Window(&vid, QStringLiteral("Настройки вида"));

        TfmExample example;
        example.show();
        check.Window(&example, QStringLiteral("Вид разъема"));

        for (const QString& fault : check.Faults)
            qWarning("%s", qUtf8Printable(fault));
        QVERIFY2(check.Faults.isEmpty(),
                 qPrintable(QStringLiteral("%1 texts do not show whole; the first: %2")
                                .arg(check.Faults.size())
                                .arg(check.Faults.value(0))));
    }
};

int main(int argc, char** argv) {
    TApplication app(argc, argv);
    TTextFitTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "TTextFitTest.moc"
