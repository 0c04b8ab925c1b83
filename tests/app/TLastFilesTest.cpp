// SPDX-License-Identifier: GPL-3.0-or-later
#include "TLastFiles.h"
#include "TIniFile.h"

#include <QAction>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

// The recent-files list: its order rules, its settings keys and its submenu.
class TLastFilesTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel last files XXXXXX")};

    TIniFile Ini() { return TIniFile(FDir.filePath(QStringLiteral("pinvel.ini"))); }

    static QStringList MenuTexts(const QMenu& menu) {
        QStringList texts;
        for (const QAction* a : menu.actions())
            texts << a->text();
        return texts;
    }

  private slots:
    void newestFirstAndCapacity() {
        TIniFile ini = Ini();
        QMenu menu;
        TLastFiles list(ini, &menu, {}, 5);
        QVERIFY(!menu.menuAction()->isEnabled()); // empty list: the submenu is disabled
        for (int i = 1; i <= 6; ++i)
            list.AddFile(QStringLiteral("/h/K%1.pvl").arg(i));
        QCOMPARE(list.Files(),
                 QStringList({"/h/K6.pvl", "/h/K5.pvl", "/h/K4.pvl", "/h/K3.pvl", "/h/K2.pvl"}));
        QVERIFY(menu.menuAction()->isEnabled());
        QCOMPARE(MenuTexts(menu), list.Files());

        list.AddFile(QStringLiteral("/h/K4.pvl")); // the third entry moves to the top
        QCOMPARE(list.Files(),
                 QStringList({"/h/K4.pvl", "/h/K6.pvl", "/h/K5.pvl", "/h/K3.pvl", "/h/K2.pvl"}));

        list.AddFile(QStringLiteral("C:/a.pvl"));
        list.AddFile(QStringLiteral("C:/A.pvl")); // letter case counts
        QCOMPARE(list.Files().mid(0, 2), QStringList({"C:/A.pvl", "C:/a.pvl"}));
    }

    void readsAndWritesTheSettingsKeys() {
        TIniFile ini = Ini();
        ini.WriteInteger("LastFiles", "FileCount", 7);
        for (int i = 0; i < 7; ++i)
            ini.WriteString("LastFiles", QStringLiteral("File_%1").arg(i),
                            QStringLiteral("/p/%1.pvl").arg(i));
        ini.WriteString("LastFiles", "File_9", "/p/stale.pvl");
        {
            TLastFiles list(ini, nullptr, {}, 5);
            QCOMPARE(list.Files().size(), 7); // the capacity is not applied when reading
            list.AddFile(QStringLiteral("/p/new.pvl"));
            QCOMPARE(list.Files().size(), 7);
            QCOMPARE(list.Files().first(), QStringLiteral("/p/new.pvl"));
            QCOMPARE(list.Files().last(), QStringLiteral("/p/5.pvl"));
        }
        QCOMPARE(ini.ReadInteger("LastFiles", "FileCount", -1), 7);
        QCOMPARE(ini.ReadString("LastFiles", "File_0", {}), QStringLiteral("/p/new.pvl"));
        QCOMPARE(ini.ReadString("LastFiles", "File_6", {}), QStringLiteral("/p/5.pvl"));
        QCOMPARE(ini.ReadString("LastFiles", "File_9", {}), QStringLiteral("/p/stale.pvl"));
    }

    void missingKeysAndNonsense_data() {
        QTest::addColumn<QString>("count");
        QTest::addColumn<int>("expected");
        QTest::newRow("missing keys read as empty entries") << "3" << 3;
        QTest::newRow("negative") << "-4" << 0;
        QTest::newRow("not a number") << "lots" << 0;
        QTest::newRow("huge") << "2000000000" << int(TLastFiles::MaxReadCount);
        QTest::newRow("overflow") << "99999999999999999999" << 0;
    }
    void missingKeysAndNonsense() {
        QFETCH(QString, count);
        QFETCH(int, expected);
        TIniFile ini = Ini();
        ini.WriteString("LastFiles", "FileCount", count);
        ini.WriteString("LastFiles", "File_1", "/x/only.pvl");
        QMenu menu;
        TLastFiles list(ini, &menu, {}, 5);
        QCOMPARE(list.Files().size(), expected);
        if (expected == 3)
            QCOMPARE(list.Files(), QStringList({"", "/x/only.pvl", ""}));
        QCOMPARE(menu.actions().size(), expected);
    }

    void entriesCarryTheirPath() {
        TIniFile ini = Ini();
        QMenu menu;
        QStringList clicked;
        TLastFiles* self = nullptr; // the handler opens the file, which rebuilds the menu
        TLastFiles list(ini, &menu, [&](const QString& p) {
            clicked << p;
            self->AddFile(p);
        });
        self = &list;
        list.AddFile(QStringLiteral("/home/R&D/K&1.pvl"));
        list.AddFile(QStringLiteral("/home/a.pvl"));
        QAction* entry = menu.actions().at(1);
        QCOMPARE(entry->text(), QStringLiteral("/home/R&&D/K&&1.pvl")); // shows every "&"
        QCOMPARE(entry->data().toString(), QStringLiteral("/home/R&D/K&1.pvl"));
        entry->trigger();
        QCOMPARE(clicked, QStringList({"/home/R&D/K&1.pvl"}));
        QCOMPARE(list.Files().first(), QStringLiteral("/home/R&D/K&1.pvl"));
        QCOMPARE(menu.actions().at(0)->data().toString(), list.Files().first());
    }
};

QTEST_MAIN(TLastFilesTest)
#include "TLastFilesTest.moc"
