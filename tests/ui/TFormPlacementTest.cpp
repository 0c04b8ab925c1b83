// SPDX-License-Identifier: GPL-3.0-or-later
#include "TFormPlacement.h"
#include "CreateFormPlaced.h"
#include "TAppSettings.h"

#include <QTemporaryDir>
#include <QTest>

namespace {
class TPlacedWindow : public QWidget {
  public:
    explicit TPlacedWindow(bool placed) {
        setObjectName(QStringLiteral("fmSootv"));
        if (placed)
            new TFormPlacement(this);
        setGeometry(10, 20, 300, 200); // design placement
    }
};
} // namespace

// Placed windows come back where they were closed, through the settings file on disk.
class TFormPlacementTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel placement XXXXXX")};

  private slots:
    void restoredAfterRestart() {
        const QString path = FDir.filePath("pinvel.ini");
        const QRect moved(120, 90, 420, 260);
        {
            TAppSettings settings(path);
            auto w = CreateFormPlaced<TPlacedWindow>(true);
            QCOMPARE(w->geometry(), QRect(10, 20, 300, 200)); // nothing remembered yet
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            w->setGeometry(moved);
            QTRY_COMPARE(w->geometry(), moved);
            w->close(); // stores the placement
            QVERIFY(settings.Ini().ValueExists("fmSootv", "Geometry"));
            QVERIFY(settings.SaveAtEnd());
        }
        TAppSettings settings(path);
        auto again = CreateFormPlaced<TPlacedWindow>(true);
        QCOMPARE(again->geometry(), moved);
        QVERIFY(!again->isMaximized());

        auto plain = CreateFormPlaced<TPlacedWindow>(false); // no placement component
        QCOMPARE(plain->geometry(), QRect(10, 20, 300, 200));
    }

    void maximisedAndNonsense() {
        TAppSettings settings(FDir.filePath("max.ini"));
        {
            auto w = CreateFormPlaced<TPlacedWindow>(true);
            w->showMaximized();
            QVERIFY(QTest::qWaitForWindowExposed(w.get()));
            w->hide();
        }
        QVERIFY(settings.Ini().ReadBool("fmSootv", "Maximized", false));
        auto again = CreateFormPlaced<TPlacedWindow>(true);
        QVERIFY(again->windowState() & Qt::WindowMaximized);

        settings.Ini().WriteString("fmSootv", "Geometry", "not hex at all");
        auto broken = CreateFormPlaced<TPlacedWindow>(true);
        QCOMPARE(broken->geometry(), QRect(10, 20, 300, 200));
    }
};

QTEST_MAIN(TFormPlacementTest)
#include "TFormPlacementTest.moc"
