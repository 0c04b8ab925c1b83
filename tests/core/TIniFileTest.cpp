// SPDX-License-Identifier: GPL-3.0-or-later
// The settings file on disk: Windows-1251 text, and values it cannot carry as they stand.
#include "TIniFile.h"
#include "TWin1251.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
} // namespace

class TIniFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel ini XXXXXX")};

  private slots:
    void plainValuesAreWrittenAsTheyStand() {
        const QString path = FDir.filePath(QStringLiteral("plain.ini"));
        TIniFile ini(path);
        ini.WriteString("Folders", "OpenDir", QStringLiteral("/home/Иван/Жгуты №1/"));
        ini.WriteString("LastFiles", "File_0", QStringLiteral("/tmp/a%20b utf8:x/k.pvl"));
        ini.WriteString("LastFiles", "File_1", QString());
        ini.WriteString("LastFiles", "File_2", QStringLiteral("D:\\Harness\\K1.pvl"));
        QVERIFY(ini.Save());
        QCOMPARE(ReadBytes(path), TWin1251::Encode(QStringLiteral(
                                      "[Folders]\r\nOpenDir=/home/Иван/Жгуты №1/\r\n"
                                      "[LastFiles]\r\nFile_0=/tmp/a%20b utf8:x/k.pvl\r\nFile_1=\r\n"
                                      "File_2=D:\\Harness\\K1.pvl\r\n")));
        TIniFile again(path);
        QVERIFY(again.Load());
        QCOMPARE(again.ReadString("folders", "opendir", {}),
                 QStringLiteral("/home/Иван/Жгуты №1/"));
        // "%20" in a plain value is text, not an escape.
        QCOMPARE(again.ReadString("LastFiles", "File_0", {}),
                 QStringLiteral("/tmp/a%20b utf8:x/k.pvl"));
    }

    void valuesTheCodePageCannotHoldReadBackExactly_data() {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("umlaut") << QStringLiteral("/home/jürgen/x.pvl")
                                << QByteArray("utf8:/home/j%C3%BCrgen/x.pvl");
        QTest::newRow("cjk folder")
            << QStringLiteral("/home/a/漢字 жгут/")
            << QByteArray("utf8:/home/a/%E6%BC%A2%E5%AD%97 \xE6\xE3\xF3\xF2/");
        QTest::newRow("outside the basic plane") << QStringLiteral("/tmp/\U0001F50C/k.pvl")
                                                 << QByteArray("utf8:/tmp/%F0%9F%94%8C/k.pvl");
        QTest::newRow("percent beside")
            << QStringLiteral("/tmp/100% ü") << QByteArray("utf8:/tmp/100%25 %C3%BC");
        QTest::newRow("line break")
            << QStringLiteral("/tmp/a\nb.pvl") << QByteArray("utf8:/tmp/a%0Ab.pvl");
        QTest::newRow("spaces at the ends")
            << QStringLiteral(" /tmp/x.pvl ") << QByteArray("utf8:%20/tmp/x.pvl%20");
        QTest::newRow("starts with the mark")
            << QStringLiteral("utf8:%41") << QByteArray("utf8:utf8:%2541");
    }
    void valuesTheCodePageCannotHoldReadBackExactly() {
        QFETCH(QString, value);
        QFETCH(QByteArray, written);
        const QString path = FDir.filePath(QStringLiteral("escaped.ini"));
        TIniFile ini(path);
        ini.WriteString("LastFiles", "File_0", value);
        QVERIFY(ini.Save());
        QCOMPARE(ReadBytes(path), "[LastFiles]\r\nFile_0=" + written + "\r\n");
        TIniFile again(path);
        QVERIFY(again.Load());
        QCOMPARE(again.ReadString("LastFiles", "File_0", {}), value);
        // Read and written again, the file keeps its bytes.
        QVERIFY(again.Save());
        QCOMPARE(ReadBytes(path), "[LastFiles]\r\nFile_0=" + written + "\r\n");
    }

    void escapesTypedInLowerCaseReadTheSame() {
        // Every hex digit from a to f in either case: ü (C3 BC), ï (C3 AF), ÿ (C3 BF), Ð (C3 90),
        // ê (C3 AA), ý (C3 BD), ì (C3 AC), þ (C3 BE), Þ (C3 9E) and a space at the end (20).
        const QString path = FDir.filePath(QStringLiteral("typed by hand.ini"));
        WriteBytes(path,
                   "[LastFiles]\r\n"
                   "File_0=utf8:/j%C3%BC%C3%AF%C3%BF%C3%90%C3%AA%C3%BD%C3%AC%C3%BE%C3%9E%20\r\n"
                   "File_1=utf8:/j%c3%bc%c3%af%c3%bf%c3%90%c3%aa%c3%bd%c3%ac%c3%be%c3%9e%20\r\n"
                   "File_2=utf8:/j%c3%Bc%C3%aF%c3%Bf%C3%90%c3%Aa%C3%bD%c3%aC%C3%bE%c3%9e%20\r\n");
        TIniFile ini(path);
        QVERIFY(ini.Load());
        const QString want = QStringLiteral("/jüïÿÐêýìþÞ ");
        QCOMPARE(ini.ReadString("LastFiles", "File_0", {}), want);
        QCOMPARE(ini.ReadString("LastFiles", "File_1", {}), want);
        QCOMPARE(ini.ReadString("LastFiles", "File_2", {}), want);
    }

    void malformedEscapesAreTakenAsTheyStand() {
        const QString path = FDir.filePath(QStringLiteral("typed.ini"));
        WriteBytes(path, "[A]\r\nb=utf8:%C3\r\nc=utf8:%G1\r\nd=utf8:%4\r\ne=utf8:%41\r\n");
        TIniFile ini(path);
        QVERIFY(ini.Load());
        QCOMPARE(ini.ReadString("A", "b", {}), QStringLiteral("utf8:%C3"));
        QCOMPARE(ini.ReadString("A", "c", {}), QStringLiteral("utf8:%G1"));
        QCOMPARE(ini.ReadString("A", "d", {}), QStringLiteral("utf8:%4"));
        QCOMPARE(ini.ReadString("A", "e", {}), QStringLiteral("A"));
    }
};

QTEST_GUILESS_MAIN(TIniFileTest)
#include "TIniFileTest.moc"
