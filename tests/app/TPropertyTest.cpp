// SPDX-License-Identifier: GPL-3.0-or-later
#include "TProperty.h"
#include "AppMessageBox.h"
#include "TAppSettings.h"
#include "TTesterSettings.h"
#include "TWin1251.h"

#include <QFile>
#include <QMenu>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <map>
#include <set>

// The settings object: title, tester settings and their hooks, and the settings file after a run.
class TPropertyTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel property XXXXXX")};

  private slots:
    void cleanup() { SetAppMessageBoxHook({}); }

    void windowTitle_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("mode"); // -1 no query wired, 0 editor, 1 tester
        QTest::addColumn<QString>("title");
        QTest::newRow("no file, editor") << "" << 0 << "Pinvel [Редактор]";
        QTest::newRow("file, editor") << "/h/K1.pvl" << 0 << "Pinvel - /h/K1.pvl [Редактор]";
        QTest::newRow("file, tester") << "/h/K1.pvl" << 1 << "Pinvel - /h/K1.pvl [Тестер]";
        QTest::newRow("mode unknown") << "/h/K1.pvl" << -1 << "Pinvel - /h/K1.pvl [Редактор]";
    }
    void windowTitle() {
        QFETCH(QString, file);
        QFETCH(int, mode);
        QFETCH(QString, title);
        TIniFile ini(FDir.filePath("a.ini"));
        TTesterSettings tester;
        TProperty p(ini, tester, nullptr, {});
        if (mode >= 0)
            p.SetTesterModeQuery([mode] { return mode == 1; });
        QSignalSpy spy(&p, &TProperty::TitleChanged);
        p.SetCurrentFile(file);
        QCOMPARE(p.CurrentFile(), file);
        QCOMPARE(p.Title(), title);
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.at(0).at(0).toString(), title);
    }

    void testerSettingsAndHooks() {
        TIniFile ini(FDir.filePath("b.ini"));
        TTesterSettings tester;
        tester.Cycle = true; // left over from earlier: every run starts with the defaults
        tester.ReadRaz = false;
        TProperty p(ini, tester, nullptr, {});
        QVERIFY(!p.Cycle() && p.ReadRaz() && p.ReadZond());

        QStringList calls;
        p.SetWorkerControl([&] { calls << "resume"; }, [&] { calls << "stop"; });
        p.SetMarkGeneratorsHook([&] { calls << "mark"; });
        QSignalSpy shown(&p, &TProperty::CycleShown);

        p.SetCycle(true);
        QVERIFY(tester.Cycle);
        p.SetCycle(false);
        QVERIFY(!tester.Cycle);
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown.at(0).at(0).toBool(), true);
        QCOMPARE(shown.at(1).at(0).toBool(), false);

        p.SetReadRaz(true);
        p.SetReadRaz(false); // the generator contacts turn yellow
        QVERIFY(!tester.ReadRaz);
        p.SetReadZond(false);
        QVERIFY(!tester.ReadZond && !p.ReadZond());
        QCOMPARE(calls, QStringList({"resume", "stop", "mark"}));
    }

    void defaultFolders() {
        const QString app = FDir.filePath("app dir");
        QVERIFY(QDir().mkpath(app));
        QCOMPARE(TProperty::DefaultDir(app), app + "/");
        QVERIFY(QDir().mkpath(app + "/Pvl"));
        QCOMPARE(TProperty::DefaultDir(app + "/"), app + "/Pvl/");
        QCOMPARE(TProperty::FileFolder("/h/x y/K1.pvl"), QStringLiteral("/h/x y/"));
    }

    // A run that opens K1.pvl and then K2.pvl and saves there leaves exactly these keys
    // (besides the placement sections and whatever else the file held).
    void settingsFileAfterRun() {
        const QString path = FDir.filePath("run.ini");
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("[Device]\r\nLink=sim\r\n");
        }
        {
            TAppSettings settings(path);
            QMenu menu;
            {
                TTesterSettings tester;
                TProperty p(settings.Ini(), tester, &menu, {});
                QVERIFY(!menu.menuAction()->isEnabled());
                const QString k1 = FDir.filePath("Жгут/K1.pvl"), k2 = FDir.filePath("Жгут/K2.pvl");
                for (const QString& k : {k1, k2}) {
                    p.SetCurrentFile(k);
                    p.SetOpenDir(TProperty::FileFolder(k));
                    p.LastFiles().AddFile(k);
                }
                p.SetSaveDir(TProperty::FileFolder(k2));
                p.LastFiles().AddFile(k2);
            }
            QVERIFY(settings.SaveAtEnd());
        }
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        std::map<QString, std::set<QString>> lines;
        QString section;
        for (const QString& line : TWin1251::Decode(f.readAll()).split("\r\n", Qt::SkipEmptyParts))
            if (line.startsWith('['))
                section = line;
            else
                lines[section].insert(line);
        const QString folder = FDir.filePath("Жгут/");
        QCOMPARE(lines.size(), size_t(3));
        QCOMPARE(lines["[Device]"], std::set<QString>({"Link=sim"}));
        QCOMPARE(lines["[Folders]"], std::set<QString>({"OpenDir=" + folder, "SaveDir=" + folder}));
        QCOMPARE(lines["[LastFiles]"],
                 std::set<QString>({"FileCount=2", "File_0=" + folder + "K2.pvl",
                                    "File_1=" + folder + "K1.pvl"}));
    }

    void unwritableSettingsReportedOnce() {
        QFile blocker(FDir.filePath("not a folder"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        const QString path = blocker.fileName() + "/pinvel.ini";
        QStringList shown;
        SetAppMessageBoxHook([&](const QString& text, TMsgKind kind) {
            shown << text;
            return kind == TMsgKind::Error ? TMsgAnswer::Ok : TMsgAnswer::No;
        });
        TAppSettings settings(path);
        QCOMPARE(TAppSettings::Instance(), &settings);
        settings.Ini().WriteString("Folders", "OpenDir", "/x/");
        QVERIFY(!settings.SaveAtEnd());
        QVERIFY(!settings.SaveAtEnd());
        QCOMPARE(shown.size(), 1);
        QVERIFY(shown.first().contains(path));
        QCOMPARE(settings.Ini().ReadString("Folders", "OpenDir", {}), QStringLiteral("/x/"));
    }
};

QTEST_MAIN(TPropertyTest)
#include "TPropertyTest.moc"
