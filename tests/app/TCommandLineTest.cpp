// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCommandLine.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString RuntimeDir() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel runtime XXXXXX"));
    QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return dir.path();
}

struct TRun {
    int ExitCode = -1;
    QString Out;
    QString Err;
};

// Runs a program with the given environment changes and waits (bounded) for its end.
TRun Run(const QString& program, const QStringList& arguments,
         const QList<std::pair<QString, QString>>& environment = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Qt's complaint about a missing runtime folder is not the program's output.
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), RuntimeDir());
    for (const auto& [name, value] : environment) {
        if (value.isNull())
            env.remove(name);
        else
            env.insert(name, value);
    }
    p.setProcessEnvironment(env);
    p.start(program, arguments);
    TRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.ExitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.Out = QString::fromUtf8(p.readAllStandardOutput());
    r.Err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

// The command line: what it asks for, and the real program answering --help, --version and a
// wrong word, in the language of the locale or of the settings file.
class TCommandLineTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel command line XXXXXX")};

    // A copy of the program in a folder of its own, so it reads the settings file beside it
    // (pinvel.ini of this test, never the build's).
    QString Program() const { return FDir.filePath("pinvel"); }
    QString Ini() const { return FDir.filePath("pinvel.ini"); }

  private slots:
    void initTestCase() {
        QVERIFY(QFile::copy(qEnvironmentVariable("PINVEL_BIN_DIR") + "/pinvel", Program()));
    }
    void cleanup() { QFile::remove(Ini()); }

    void parse_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<TCommandLineAction>("action");
        QTest::addColumn<QString>("file");
        using A = TCommandLineAction;
        QTest::newRow("nothing") << QStringList{} << A::Run << "";
        QTest::newRow("a project") << QStringList{"K1.pvl"} << A::Run << "/work/K1.pvl";
        QTest::newRow("a path with spaces")
            << QStringList{"../my harness/K 2.pvl"} << A::Run << "/my harness/K 2.pvl";
        QTest::newRow("absolute") << QStringList{"/data/a.pvl"} << A::Run << "/data/a.pvl";
        QTest::newRow("--help") << QStringList{"--help"} << A::Help << "";
        QTest::newRow("-h") << QStringList{"-h"} << A::Help << "";
        QTest::newRow("--version") << QStringList{"--version"} << A::Version << "";
        QTest::newRow("help after a file") << QStringList{"a.pvl", "--help"} << A::Help << "";
        QTest::newRow("version past Qt's options")
            << QStringList{"-platform", "offscreen", "--version"} << A::Version << "";
        QTest::newRow("help past an unknown option")
            << QStringList{"--bogus", "--help"} << A::Help << "";
        QTest::newRow("unknown option") << QStringList{"--bogus"} << A::Error << "";
        QTest::newRow("unknown short option") << QStringList{"-x", "a.pvl"} << A::Error << "";
        QTest::newRow("two projects") << QStringList{"a.pvl", "b.pvl"} << A::Error << "";
        QTest::newRow("an empty word") << QStringList{""} << A::Error << "";
        QTest::newRow("-- makes a file of the next word")
            << QStringList{"--", "--help"} << A::Run << "/work/--help";
        QTest::newRow("a file named -") << QStringList{"-"} << A::Run << "/work/-";
    }
    void parse() {
        QFETCH(QStringList, arguments);
        QFETCH(TCommandLineAction, action);
        QFETCH(QString, file);
        const TCommandLine line = TCommandLine::Parse(arguments, QStringLiteral("/work"));
        QCOMPARE(line.Action, action);
        QCOMPARE(line.File, file);
        QCOMPARE(line.Error.isEmpty(), action != TCommandLineAction::Error);
    }

    void errorsNameTheWord() {
        QCOMPARE(TCommandLine::Parse({"a.pvl", "--bogus", "-y"}, "/").ErrorText(),
                 QStringLiteral("pinvel: неизвестный параметр «--bogus»\n"
                                "Справка: pinvel --help\n"));
        QCOMPARE(TCommandLine::Parse({"a.pvl", "b.pvl", "c.pvl"}, "/").Error,
                 QStringLiteral("можно открыть только один проект, а названо 3: «a.pvl», "
                                "«b.pvl»..."));
    }

    void programPrintsItsVersionWithoutADisplay() {
        // No display and no platform: --version must not need a window system.
        const TRun r = Run(Program(), {"--version"},
                           {{"QT_QPA_PLATFORM", QString()},
                            {"DISPLAY", QString()},
                            {"WAYLAND_DISPLAY", QString()}});
        QCOMPARE(r.ExitCode, 0);
        QVERIFY2(r.Out.startsWith(QStringLiteral("Pinvel " PINVEL_VERSION "\n")),
                 qPrintable(r.Out + r.Err));
        QVERIFY2(r.Out.contains(QStringLiteral("GPL-3.0-or-later")), qPrintable(r.Out));
        QVERIFY(r.Err.isEmpty());
    }

    void programHelpSpeaksTheLocalesLanguage() {
        const TRun russian = Run(Program(), {"--help"},
                                 {{"LANG", "ru_RU.UTF-8"},
                                  {"LC_ALL", QString()},
                                  {"LC_MESSAGES", QString()},
                                  {"QT_QPA_PLATFORM", QString()}});
        QCOMPARE(russian.ExitCode, 0);
        QVERIFY2(russian.Out.startsWith(QStringLiteral("Использование: pinvel [ФАЙЛ.pvl]\n")),
                 qPrintable(russian.Out));
        const TRun english = Run(Program(), {"-h"},
                                 {{"LANG", "en_US.UTF-8"},
                                  {"LC_ALL", QString()},
                                  {"LC_MESSAGES", QString()},
                                  {"QT_QPA_PLATFORM", QString()}});
        QCOMPARE(english.ExitCode, 0);
        QVERIFY2(english.Out.startsWith(QStringLiteral("Usage: pinvel [FILE.pvl]\n")),
                 qPrintable(english.Out));
        QVERIFY(
            english.Out.contains(QStringLiteral("  --version     show the version and exit\n")));
    }

    void programHelpFollowsTheSettingsFile() {
        QFile ini(Ini());
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.write("[fmMain]\r\nLanguage=en\r\n");
        ini.close();
        const TRun r = Run(Program(), {"--help"}, {{"LANG", "ru_RU.UTF-8"}, {"LC_ALL", QString()}});
        QCOMPARE(r.ExitCode, 0);
        QVERIFY2(r.Out.startsWith(QStringLiteral("Usage: pinvel")), qPrintable(r.Out));
        // Asking for the help writes no settings.
        QVERIFY(ini.open(QIODevice::ReadOnly));
        QCOMPARE(ini.readAll(), QByteArray("[fmMain]\r\nLanguage=en\r\n"));
    }

    void programRefusesAWrongWord() {
        const TRun r =
            Run(Program(), {"--frobnicate"},
                {{"LANG", "en_US.UTF-8"}, {"LC_ALL", QString()}, {"QT_QPA_PLATFORM", "offscreen"}});
        QCOMPARE(r.ExitCode, 2);
        QCOMPARE(r.Out, QString());
        QCOMPARE(r.Err, QStringLiteral("pinvel: unknown option \"--frobnicate\"\n"
                                       "Help: pinvel --help\n"));
    }
};

QTEST_GUILESS_MAIN(TCommandLineTest)
#include "TCommandLineTest.moc"
