// SPDX-License-Identifier: GPL-3.0-or-later
// A technician's day with the real main window and the unit emulator over TCP: two connectors
// from the constructor, contacts tied to pins of X1 and X2 in the correspondence editor, the
// project saved, the tester switched on, contacts switched and handed to the generator, Esc,
// the project reopened from the recent files while testing, and the unit lost and found again.
// Every indicator is checked against what the harness's nets make of the driven levels.

#include "AppMessageBox.h"
#include "TColors.h"
#include "TLastFiles.h"
#include "TProperty.h"
#include "TRazem.h"
#include "TRazemView.h"
#include "TSootv.h"
#include "TStringGrid.h"
#include "TUnitProcess.h"
#include "TWorkPlace.h"
#include "TWorkPlaceView.h"
#include "TfmConstr.h"
#include "TfmMain.h"
#include "TfmSootv.h"
#include "XEdit.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <deque>
#include <map>
#include <set>

namespace {

// The pin code of a unit pin written as in a harness file: "X1:a1", "X2:c31".
int PinOf(const QString& pin) {
    const int grid = pin.startsWith(QLatin1String("X1")) ? 1 : 2;
    const QChar letter = pin.at(3);
    const int row = letter == QLatin1Char('c') ? 1 : letter == QLatin1Char('b') ? 2 : 3;
    return TSootv::PinCode(grid, pin.mid(4).toInt(), row);
}

// The harness as the test reads it: which pins make one net, and the pin the probe touches.
struct THarnessModel {
    std::vector<std::vector<int>> Nets;
    int Probe = -1;

    static THarnessModel Load(const QString& path) {
        THarnessModel m;
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly))
            return m;
        const QJsonObject doc = QJsonDocument::fromJson(f.readAll()).object();
        for (const QJsonValue& net : doc.value(QLatin1String("nets")).toArray()) {
            std::vector<int> pins;
            for (const QJsonValue& pin : net.toArray())
                pins.push_back(PinOf(pin.toString()));
            m.Nets.push_back(pins);
        }
        if (doc.value(QLatin1String("probe")).isString())
            m.Probe = PinOf(doc.value(QLatin1String("probe")).toString());
        return m;
    }

    // What a pin reads: the OR of the levels driven on its net, or its own level.
    int Read(int pin, const std::map<int, int>& driven, int probeOut) const {
        auto level = [&](int p) {
            const auto it = driven.find(p);
            int v = it != driven.end() ? it->second : 0;
            if (p == Probe && probeOut == 1)
                v = 1;
            return v;
        };
        for (const std::vector<int>& net : Nets)
            if (std::find(net.begin(), net.end(), pin) != net.end()) {
                int v = 0;
                for (int p : net)
                    v |= level(p);
                return v;
            }
        return level(pin);
    }
};

// A contact: connector index, column, record row (0, 2, ...).
struct TAt {
    int Razem;
    int Col;
    int Row;
};

} // namespace

class TTechnicianDayTest : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase();
    void cleanupTestCase();
    void aDayAtTheTester();

  private:
    TfmMain& Window() { return *FWindow; }
    TRazem& Razem(int i) { return *Window().WorkPlace()->Razem(i); }
    TContact& Contact(TAt at) {
        return Razem(at.Razem).FCells[std::size_t(at.Col)][std::size_t(at.Row)];
    }
    TRazemView* View(int i) { return Window().WorkPlaceView()->ViewAt(i); }

    void AddConnector(int rows, int count);
    void ClickContact(TAt at, Qt::MouseButton button = Qt::LeftButton);
    void ClickPin(int grid, const QString& pin);
    void ClickMenuBar(QAction* item);
    void PressKey(Qt::Key key);
    // Every tied contact's indicator and the probe input lamp against the harness model;
    // empty when all agree.
    QString Mismatches(int probeOut = 0);

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel day XXXXXX")};
    QString FHarness;
    THarnessModel FModel;
    std::unique_ptr<TUnitProcess> FUnit;
    int FPort = 0;
    std::unique_ptr<TfmMain> FWindow;
    std::vector<std::pair<QString, TMsgKind>> FMessages;
    // Answers for the error question of a lost unit: No until the unit is back, then Yes.
    std::atomic<bool> FUnitBack{false};
    int FErrorQuestions = 0;
};

void TTechnicianDayTest::initTestCase() {
    QVERIFY(FDir.isValid());
    FHarness = qEnvironmentVariable("PINVEL_TEST_DATA") + QStringLiteral("/harness-example.json");
    FModel = THarnessModel::Load(FHarness);
    QCOMPARE(int(FModel.Nets.size()), 4);
    FUnit = std::make_unique<TUnitProcess>(
        qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-unit"),
        // The emulator flat out: many passes run here.
        QStringList{QStringLiteral("--harness"), FHarness, QStringLiteral("--reply-us"),
                    QStringLiteral("0")});
    FPort = FUnit->Start(0);
    QVERIFY2(FPort > 0, "the unit emulator did not start");

    // The settings file points the program at the emulator.
    QVERIFY(WriteUnitSettings(FDir.filePath(QStringLiteral("pinvel.ini")), FPort));

    SetAppMessageBoxHook([this](const QString& text, TMsgKind kind) {
        FMessages.emplace_back(text, kind);
        if (text.startsWith(QStringLiteral("Произошла ошибка при обращении к устройству."))) {
            ++FErrorQuestions;
            return FUnitBack ? TMsgAnswer::Yes : TMsgAnswer::No;
        }
        return TMsgAnswer::Ok;
    });
}

void TTechnicianDayTest::cleanupTestCase() {
    FWindow.reset();
    SetAppMessageBoxHook({});
    FUnit.reset();
}

void TTechnicianDayTest::AddConnector(int rows, int count) {
    // The constructor runs modally; the technician types into it and presses OK.
    bool accepted = false;
    QTimer::singleShot(0, this, [&] {
        auto* d = qobject_cast<TfmConstr*>(QApplication::activeModalWidget());
        if (d == nullptr)
            return;
        // Whatever goes wrong below, the dialog must not stay open and hold the test.
        const auto leave = qScopeGuard([d] {
            if (d->isVisible())
                d->reject();
        });
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d));
        d->edRowCount->selectAll();
        QTest::keyClicks(d->edRowCount, QString::number(rows));
        TStringGrid* g = d->sgRowInfo;
        for (int r = 1; r <= rows; ++r) {
            // A click on the cell opens its editor (on the current cell after the double-click
            // interval); then the number and Enter.
            QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                              g->CellRect(TfmConstr::ColCount, r).center());
            QLineEdit* editor = nullptr;
            QTRY_VERIFY_WITH_TIMEOUT(
                (editor = qobject_cast<QLineEdit*>(QApplication::focusWidget())) != nullptr &&
                    g->isAncestorOf(editor),
                3000);
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, QString::number(count));
            QTest::keyClick(editor, Qt::Key_Return);
        }
        QTest::mouseClick(d->btOK, Qt::LeftButton);
        accepted = d->result() == QDialog::Accepted;
        if (!accepted) { // refused: say why and leave the dialog
            for (int r = 0; r <= rows; ++r)
                qWarning() << "row" << r << d->sgRowInfo->Cells(TfmConstr::ColCount, r);
        }
    });
    QTest::mouseClick(Window().btRazAdd, Qt::LeftButton);
    QVERIFY2(accepted, FMessages.empty() ? "the constructor did not open"
                                         : qPrintable(FMessages.back().first));
}

void TTechnicianDayTest::ClickContact(TAt at, Qt::MouseButton button) {
    TRazemView* v = View(at.Razem);
    QVERIFY(v != nullptr);
    QTest::mouseClick(v, button, {}, v->CellRect(at.Col, at.Row + 1).center());
}

void TTechnicianDayTest::ClickPin(int grid, const QString& pin) {
    TStringGrid* g = Window().fmSootv()->View(grid);
    const QChar letter = pin.at(0);
    const int row = letter == QLatin1Char('c') ? 1 : letter == QLatin1Char('b') ? 2 : 3;
    const int col = pin.mid(1).toInt();
    g->scrollTo(g->model()->index(row, col));
    QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, g->CellRect(col, row).center());
}

void TTechnicianDayTest::ClickMenuBar(QAction* item) {
    QMenuBar* bar = Window().menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(item).center());
}

void TTechnicianDayTest::PressKey(Qt::Key key) {
    QWidget* target =
        QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : FWindow.get();
    QTest::keyClick(target, key, Qt::NoModifier);
}

QString TTechnicianDayTest::Mismatches(int probeOut) {
    TSootv& sootv = *Window().Sootv();
    std::map<int, int> driven;
    for (int i = 0; i < sootv.Count(); ++i) {
        const TSootvData& rec = sootv.Item(i);
        int level = 1;
        for (int e = 0; e < rec.Count(); ++e) {
            const TContact& t = Razem(rec.FRazemIndexes[std::size_t(e)])
                                    .FCells[std::size_t(rec.FContacts[std::size_t(e)].Col)]
                                           [std::size_t(rec.FContacts[std::size_t(e)].Row)];
            if (t.State != TContactState::csTied)
                level = 0;
        }
        driven[rec.FPin] = level;
    }
    QStringList bad;
    for (int i = 0; i < sootv.Count(); ++i) {
        const TSootvData& rec = sootv.Item(i);
        const int level = FModel.Read(rec.FPin, driven, probeOut);
        const TColor expected = level ? Colors::clRed : Colors::clGreen;
        for (int e = 0; e < rec.Count(); ++e) {
            const TCellPos at = rec.FContacts[std::size_t(e)];
            const int k = rec.FRazemIndexes[std::size_t(e)];
            const TColor shown = Razem(k).FCells[std::size_t(at.Col)][std::size_t(at.Row)].IndColor;
            if (shown != expected)
                bad << QStringLiteral("%1:%2 pin %3 shows %4, nets say %5")
                           .arg(Razem(k).FRazName, rec.FNames[std::size_t(e)])
                           .arg(rec.FPin)
                           .arg(shown, 6, 16, QLatin1Char('0'))
                           .arg(expected, 6, 16, QLatin1Char('0'));
        }
    }
    const int probe = FModel.Read(FModel.Probe, driven, probeOut);
    const QColor lamp = TfmMain::LampColor(Window().plZondIn_Ind);
    if (lamp != (probe ? QColor(255, 0, 0) : QColor(0, 128, 0)))
        bad << QStringLiteral("probe input lamp %1, nets say %2").arg(lamp.name()).arg(probe);
    return bad.join(QLatin1String("; "));
}

void TTechnicianDayTest::aDayAtTheTester() {
    TfmMainOptions options;
    options.SettingsPath = FDir.filePath(QStringLiteral("pinvel.ini"));
    options.LibraryFolders = {qEnvironmentVariable("PINVEL_BIN_DIR")};
    const QString project = FDir.filePath(QStringLiteral("жгут 1.pvl"));
    // The save dialog is the platform's; the technician types the project's name into it.
    options.FileDialog = [project](bool save, const QString&) {
        return save ? project : QString();
    };
    FWindow = std::make_unique<TfmMain>(options);
    TfmMain& w = Window();
    QVERIFY(w.Started());
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QVERIFY2(FMessages.empty(), qPrintable(FMessages.empty() ? QString() : FMessages[0].first));
    QVERIFY(w.IsTesterMode()); // the emulator answered

    // ---- The editor: two connectors, ties to X1 and X2, save.
    ClickMenuBar(w.N7);
    QVERIFY(!w.IsTesterMode());
    AddConnector(2, 3); // XT0: a1..a3, b1..b3
    AddConnector(1, 4); // XT1: a1..a4
    QCOMPARE(w.WorkPlace()->Count(), 2);
    QCOMPARE(Razem(0).FRazName, QStringLiteral("XT0"));
    QCOMPARE(Razem(1).ContactName(3, 0), QStringLiteral("a4"));

    QTest::mouseClick(w.btSetSootv, Qt::LeftButton);
    QVERIFY(w.fmSootv()->isVisible());
    // Harness nets: X1:a1+X2:a1, X1:a2+X1:a3+X2:b5 (the probe), X1:b1+X2:c31, X2:a2+X2:a3.
    const struct {
        TAt At;
        int Grid;
        const char* Pin;
    } ties[] = {
        {{0, 0, 0}, 1, "a1"}, {{0, 1, 0}, 2, "a1"}, {{0, 2, 0}, 1, "a2"},
        {{0, 0, 2}, 1, "b1"}, {{0, 1, 2}, 2, "a2"}, {{1, 0, 0}, 2, "c31"},
        {{1, 1, 0}, 2, "b5"}, {{1, 2, 0}, 2, "a3"}, {{1, 3, 0}, 1, "c5"},
    };
    for (const auto& t : ties) {
        ClickContact(t.At);
        QCOMPARE(Contact(t.At).State.load(), TContactState::csMarked);
        ClickPin(t.Grid, QString::fromLatin1(t.Pin));
        QCOMPARE(Contact(t.At).State.load(), TContactState::csTied);
    }
    QCOMPARE(w.Sootv()->Count(), 9);
    QCOMPARE(w.fmSootv()->sgX2->Cells(1, 3), QStringLiteral("XT0:a2"));
    QCOMPARE(w.fmSootv()->sgX2->Cells(31, 1), QStringLiteral("XT1:a1"));
    QCOMPARE(Contact({0, 2, 2}).State.load(), TContactState::csFree); // b3 stays untied
    QTest::mouseClick(w.fmSootv()->btOK, Qt::LeftButton);
    QVERIFY(!w.fmSootv()->isVisible());
    QVERIFY(w.WorkPlace()->Modified);

    // Back in the main window (a window manager activates it when the editor closes).
    w.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(QFile::exists(project));
    QVERIFY(!w.WorkPlace()->Modified);
    QCOMPARE(w.Property()->LastFiles().Files().value(0), project);

    // ---- The tester: everything tied drives one; each net reads the OR of its pins.
    ClickMenuBar(w.N8);
    QVERIFY(w.IsTesterMode());
    QCOMPARE(w.windowTitle(), QStringLiteral("Pinvel - %1 [Тестер]").arg(project));
    QTRY_COMPARE_WITH_TIMEOUT(Mismatches(), QString(), 10000);

    // A contact switched off still reads one while its net has another driver.
    const TAt switches[] = {{0, 0, 0}, {0, 1, 0}, {0, 2, 0}, {1, 1, 0},
                            {1, 3, 0}, {0, 0, 2}, {0, 0, 0}, {1, 2, 0}};
    for (const TAt& at : switches) {
        const TContactState before = Contact(at).State;
        ClickContact(at);
        QVERIFY(Contact(at).State != before);
        QTRY_COMPARE_WITH_TIMEOUT(Mismatches(), QString(), 10000);
    }
    QCOMPARE(Contact({0, 0, 2}).IndColor.load(), Colors::clRed); // XT1:a1 still drives X2:c31

    // The indicators on screen are the colours of the model.
    {
        const QImage image = View(0)->grab().toImage();
        const QPoint a3 = View(0)->CellRect(2, 0).center(); // switched off, net off: green
        const QPoint b1 = View(0)->CellRect(0, 2).center(); // switched off, net on: red
        QCOMPARE(QColor(image.pixel(a3)), QColor(0, 128, 0));
        QCOMPARE(QColor(image.pixel(b1)), QColor(255, 0, 0));
    }

    // ---- The generator: two contacts on lines 0 and 1 run through 00, 01, 10, 11.
    const TAt gen0{0, 1, 2}; // XT0:b2 on X2:a2, whose net X2:a3 (XT1:a3) is switched off
    const TAt gen1{1, 3, 0}; // XT1:a4 alone on X1:c5
    QCOMPARE(Contact({1, 2, 0}).State.load(), TContactState::csFree);
    ClickContact(gen0, Qt::RightButton);
    ClickContact(gen1, Qt::RightButton);
    QCOMPARE(Contact(gen0).State.load(), TContactState::csGenerator);
    QCOMPARE(Contact(gen1).GenIndex.load(), 1);
    QVERIFY(w.Property()->Cycle());
    std::set<std::pair<bool, bool>> seen;
    std::set<bool> netFollows;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            seen.insert(
                {Contact(gen0).IndColor == Colors::clRed, Contact(gen1).IndColor == Colors::clRed});
            netFollows.insert(Contact({1, 2, 0}).IndColor == Colors::clRed);
            return seen.size() == 4 && netFollows.size() == 2;
        }(),
        20000);

    // Esc ends the generators and the cycle; the model holds again once the passes stop.
    PressKey(Qt::Key_Escape);
    QCOMPARE(Contact(gen0).State.load(), TContactState::csTied);
    QCOMPARE(w.ZondWriteIndex(), 3);
    QVERIFY(!w.Property()->Cycle());
    QTRY_COMPARE_WITH_TIMEOUT(Mismatches(), QString(), 10000);

    // ---- Reopen the project from the recent files while testing: as saved, all tied.
    ClickMenuBar(w.miFile->menuAction());
    QTRY_VERIFY(w.miFile->isVisible());
    QTest::mouseClick(w.miFile, Qt::LeftButton, {},
                      w.miFile->actionGeometry(w.miLastFiles->menuAction()).center());
    QTRY_VERIFY(w.miLastFiles->isVisible());
    QAction* entry = w.miLastFiles->actions().value(0);
    QVERIFY(entry != nullptr);
    QTest::mouseClick(w.miLastFiles, Qt::LeftButton, {},
                      w.miLastFiles->actionGeometry(entry).center());
    QTRY_VERIFY(!w.miFile->isVisible());
    QVERIFY(w.IsTesterMode());
    QCOMPARE(w.Property()->CurrentFile(), project);
    QCOMPARE(w.Sootv()->Count(), 9);
    QCOMPARE(Contact({0, 0, 0}).State.load(), TContactState::csTied);
    QTRY_COMPARE_WITH_TIMEOUT(Mismatches(), QString(), 10000);

    // ---- The unit is lost: the error question (No), the unit comes back, Yes, restored.
    FMessages.clear();
    FUnit->Kill();
    ClickContact({0, 0, 0});
    QTRY_VERIFY_WITH_TIMEOUT(FErrorQuestions > 0, 10000);
    QCOMPARE(FMessages.front().first,
             QStringLiteral("Произошла ошибка при обращении к устройству. Для того чтобы "
                            "произвести повторную инициализацию устройства проверьте "
                            "исправность соединительных кабелей и нажмите \"Да\""));
    QCOMPARE(FMessages.front().second, TMsgKind::PlainQuestion); // no icon
    QCOMPARE(FUnit->Start(FPort), FPort);
    FUnitBack = true;
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(FMessages.begin(), FMessages.end(),
                                         [](const auto& m) {
                                             return m.first ==
                                                    QStringLiteral("Соединение восстановлено!");
                                         }),
                             10000);
    QCOMPARE(FMessages.back().second, TMsgKind::Information);
    QVERIFY(w.IsTesterMode());
    QVERIFY(w.acChangeMode->isEnabled() && w.N7->isEnabled() && !w.N8->isEnabled());
    // The restarted unit knows nothing; the next pass drives every level again.
    ClickContact({0, 1, 0});
    QTRY_COMPARE_WITH_TIMEOUT(Mismatches(), QString(), 10000);
    QCOMPARE(Contact({0, 0, 0}).IndColor.load(), Colors::clGreen);

    // Closing from the tester asks nothing.
    FMessages.clear();
    QVERIFY(w.close());
    QVERIFY(FMessages.empty());
}

QTEST_MAIN(TTechnicianDayTest)
#include "TTechnicianDayTest.moc"
