// SPDX-License-Identifier: GPL-3.0-or-later
#include "TWin1251.h"
#include "TIniFile.h"

#include <QTemporaryDir>
#include <QTest>

class TWin1251Test : public QObject {
    Q_OBJECT
  private slots:
    void everyByteRoundTrips() {
        QByteArray all;
        for (int b = 0; b < 256; ++b)
            all.append(static_cast<char>(b));
        QCOMPARE(TWin1251::Encode(TWin1251::Decode(all)), all);
    }
    void cyrillicIsOneBytePerLetter() {
        const QString name = QStringLiteral("Разъём Ж1");
        const QByteArray bytes = TWin1251::Encode(name);
        QCOMPARE(bytes, QByteArray("\xD0\xE0\xE7\xFA\xB8\xEC \xC6\x31"));
        QCOMPARE(TWin1251::Decode(bytes), name);
    }
    void refusesWhatItCannotHold() {
        QCOMPARE(TWin1251::FirstUnencodable(QStringLiteral("ab\u4E2Dc")), 2);
        QVERIFY(!TWin1251::CanEncode(QStringLiteral("\U0001F600")));
        QVERIFY(TWin1251::CanEncode(QStringLiteral("№ €")));
    }
    void comparesCyrillicWithoutCase() {
        QVERIFY(TWin1251::SameTextNoCase(QStringLiteral("Ряд"), QStringLiteral("рЯД")));
        QVERIFY(TWin1251::SameTextNoCase(QStringLiteral("ёж"), QStringLiteral("ЁЖ")));
        QVERIFY(!TWin1251::SameTextNoCase(QStringLiteral("a1"), QStringLiteral("a2")));
    }
    void iniKeepsUnknownKeysAndDefaultsNonsense() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel ini XXXXXX"));
        const QString path = dir.filePath(QStringLiteral("pinvel.ini"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Folders]\r\nOpenDir=/home/\xCF\xF0\xEE\xE5\xEA\xF2/"
                "\r\n[LastFiles]\r\nFileCount=abc\r\n"
                "[fmMain]\r\nGeometry=01ff\r\nnoise without equals\r\n");
        f.close();
        TIniFile ini(path);
        QVERIFY(ini.Load());
        QCOMPARE(ini.ReadString("folders", "opendir", {}), QStringLiteral("/home/Проект/"));
        QCOMPARE(ini.ReadInteger("LastFiles", "FileCount", 0), 0);
        ini.WriteInteger("LastFiles", "FileCount", 2);
        QVERIFY(ini.Save());
        TIniFile again(path);
        QVERIFY(again.Load());
        QCOMPARE(again.ReadInteger("LastFiles", "FileCount", 0), 2);
        QCOMPARE(again.ReadString("fmMain", "Geometry", {}), QStringLiteral("01ff"));
        QVERIFY(!TIniFile(dir.filePath("missing.ini")).Load());
    }
};

QTEST_GUILESS_MAIN(TWin1251Test)
#include "TWin1251Test.moc"
