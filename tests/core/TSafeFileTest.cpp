// SPDX-License-Identifier: GPL-3.0-or-later
// Saving over a file on disk: the project and the settings file are replaced whole, and the file
// keeps what the user gave it (its mode, the links that lead to it).
#include "TSafeFile.h"
#include "ProjectSamples.h"
#include "TErrors.h"
#include "TIniFile.h"
#include "TSootv.h"
#include "TWorkPlace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace Samples;

namespace {
QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
int Mode(const QString& path) {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}
bool IsLink(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}
// Files of a folder, the hidden and temporary ones included.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
QByteArray ProjectImage() {
    TProject p;
    p.AddRazem("XT0", {Row(2, "a")});
    return p.WorkPlace.SaveToImage();
}
} // namespace

class TSafeFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel safe XXXXXX")};
    QString Path(const QString& name) const { return FDir.filePath(name); }

  private slots:
    void projectKeepsItsMode() {
        const QString path = Path(QStringLiteral("harness one.pvl"));
        WriteBytes(path, "old");
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0640) == 0);
        TProject p;
        p.AddRazem("XT0", {Row(2, "a")});
        p.WorkPlace.SaveToFile(path);
        QCOMPARE(ReadBytes(path), ProjectImage());
        QCOMPARE(Mode(path), 0640);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), 0604) == 0);
        p.WorkPlace.SaveToFile(path);
        QCOMPARE(Mode(path), 0604);
    }

    // Through a link in another folder, relative or absolute, or a chain of links: the file at
    // the end is replaced, every link stays a link, and nothing is left beside any of them.
    void projectOpenedThroughALinkIsSavedIntoItsTarget() {
        QVERIFY(QDir(FDir.path()).mkpath(QStringLiteral("real folder")));
        QVERIFY(QDir(FDir.path()).mkpath(QStringLiteral("links")));
        const QString target = Path(QStringLiteral("real folder/k1.pvl"));
        WriteBytes(target, "old");
        QVERIFY(::chmod(QFile::encodeName(target).constData(), 0640) == 0);
        const QString relative = Path(QStringLiteral("links/relative.pvl"));
        const QString chained = Path(QStringLiteral("links/chained.pvl"));
        QVERIFY(::symlink("../real folder/k1.pvl", QFile::encodeName(relative).constData()) == 0);
        QVERIFY(QFile::link(relative, chained));

        TProject p;
        p.AddRazem("XT0", {Row(2, "a")});
        for (const QString& link : {relative, chained}) {
            WriteBytes(target, "old");
            p.WorkPlace.SaveToFile(link);
            QVERIFY(IsLink(relative) && IsLink(chained));
            QCOMPARE(ReadBytes(target), ProjectImage());
            QCOMPARE(Mode(target), 0640);
            QCOMPARE(Entries(Path(QStringLiteral("links"))),
                     (QStringList{"chained.pvl", "relative.pvl"}));
            QCOMPARE(Entries(Path(QStringLiteral("real folder"))), QStringList{"k1.pvl"});
        }

        // A link that leads nowhere creates the file it names.
        const QString dangling = Path(QStringLiteral("links/new.pvl"));
        QVERIFY(::symlink("../real folder/new.pvl", QFile::encodeName(dangling).constData()) == 0);
        TSafeFile::Write(dangling, "new");
        QVERIFY(IsLink(dangling));
        QCOMPARE(ReadBytes(Path(QStringLiteral("real folder/new.pvl"))), QByteArray("new"));

        // A loop of links is refused with its reason; nothing is written.
        const QString a = Path(QStringLiteral("links/loop a.pvl"));
        const QString b = Path(QStringLiteral("links/loop b.pvl"));
        QVERIFY(QFile::link(a, b) && QFile::link(b, a));
        QVERIFY_THROWS_EXCEPTION(EFileError, TSafeFile::Write(a, "x"));
        QVERIFY(IsLink(a) && IsLink(b));
        QCOMPARE(Entries(Path(QStringLiteral("links"))).size(), 5);
    }

    // The settings file is written the same safe way.
    void settingsFileKeepsItsModeAndLink() {
        QVERIFY(QDir(FDir.path()).mkpath(QStringLiteral("config")));
        const QString real = Path(QStringLiteral("config/pinvel.ini"));
        const QString link = Path(QStringLiteral("pinvel.ini"));
        WriteBytes(real, "[Folders]\r\nOpenDir=/old/\r\n");
        QVERIFY(::chmod(QFile::encodeName(real).constData(), 0600) == 0);
        QVERIFY(QFile::link(real, link));
        TIniFile ini(link);
        QVERIFY(ini.Load());
        QCOMPARE(ini.ReadString("Folders", "OpenDir", {}), QStringLiteral("/old/"));
        ini.WriteString("Folders", "OpenDir", QStringLiteral("/new/"));
        QVERIFY(ini.Save());
        QVERIFY(IsLink(link));
        QCOMPARE(ReadBytes(real), QByteArray("[Folders]\r\nOpenDir=/new/\r\n"));
        QCOMPARE(Mode(real), 0600);
        QCOMPARE(Entries(Path(QStringLiteral("config"))), QStringList{"pinvel.ini"});
    }

    // A file that cannot be written or read is explained in the user's words, never in the
    // system's English.
    void failuresSayWhyInRussian() {
        const QString missing = Path(QStringLiteral("no such folder/x.pvl"));
        try {
            TSafeFile::Write(missing, "x");
            QFAIL("a save into a missing folder succeeded");
        } catch (const EFileError& e) {
            QCOMPARE(e.Message(), QStringLiteral("Не удалось сохранить файл «%1»: файл или папка "
                                                 "не найдены")
                                      .arg(missing));
        }
        QString reason;
        QVERIFY(!TSafeFile::TryWrite(missing, "x", &reason));
        QCOMPARE(reason, QStringLiteral("файл или папка не найдены"));

        TWorkPlace wp;
        TSootv sootv;
        wp.FSootv = &sootv;
        try {
            wp.LoadFromFile(FDir.path());
            QFAIL("a folder was read as a project");
        } catch (const EFileError& e) {
            QCOMPARE(e.Message(),
                     QStringLiteral("Не удалось открыть файл «%1»: это папка, а не файл")
                         .arg(FDir.path()));
        }
        try {
            wp.LoadFromFile(missing);
            QFAIL("a missing file was read");
        } catch (const EFileError& e) {
            QVERIFY2(e.Message().endsWith(QStringLiteral("файл или папка не найдены")),
                     qPrintable(e.Message()));
        }
    }
};

QTEST_GUILESS_MAIN(TSafeFileTest)
#include "TSafeFileTest.moc"
