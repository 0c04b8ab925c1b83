// SPDX-License-Identifier: GPL-3.0-or-later
// The pinvel-file tool, run as a separate process on files the program writes.
#include "../core/ProjectSamples.h"
#include "TErrors.h"
#include "ToolTestKit.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Samples;

namespace {

using namespace ToolKit;

TRun Tool(const QStringList& args) {
    return RunTool(QStringLiteral("pinvel-file"), args);
}

} // namespace

class PinvelFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel file tool XXXXXX")};

    QString Path(const QString& name) const { return FDir.filePath(name); }

  private slots:
    void dumpThenBuildReproducesTheFile() {
        TProject p;
        FillMixed(p);
        p.WorkPlace.Razem(1)->FCells[3][1].IndColor = 0x12345678; // an odd row keeps its data
        const QByteArray editor = p.WorkPlace.SaveToImage();
        p.WorkPlace.SetTesterMode(true);
        p.WorkPlace.Razem(0)->FCells[0][0].State = TContactState::csGenerator;
        const QByteArray tester = p.WorkPlace.SaveToImage();
        const QByteArray empty(8, '\0');
        int n = 0;
        for (const QByteArray& image : {editor, tester, empty}) {
            const QString pvl = Path(QStringLiteral("проект %1.pvl").arg(n));
            const QString json = Path(QStringLiteral("проект %1.json").arg(n));
            const QString rebuilt = Path(QStringLiteral("снова %1.pvl").arg(n++));
            WriteFile(pvl, image);
            const TRun dump = Tool({"dump", pvl});
            QCOMPARE(dump.Exit, 0);
            WriteFile(json, dump.Out.toUtf8());
            QCOMPARE(Tool({"build", json, rebuilt}).Exit, 0);
            QCOMPARE(ReadFile(rebuilt), image);
        }
    }

    void dumpShowsTheWholeProject() {
        TProject p;
        FillMixed(p);
        WriteFile(Path("m.pvl"), p.WorkPlace.SaveToImage());
        const TRun dump = Tool({"dump", Path("m.pvl")});
        const QJsonObject root = QJsonDocument::fromJson(dump.Out.toUtf8()).object();
        const QJsonObject b = root["razems"].toArray()[1].toObject();
        QCOMPARE(b["name"].toString(), QStringLiteral("Разъём"));
        QCOMPARE(b["left"].toInt(), -40);
        QCOMPARE(b["cells"].toArray().size(), 2); // the odd grid row too
        QCOMPARE(b["nameList"].toArray()[1].toString(), QStringLiteral("Ш10"));
        QCOMPARE(b["cells"].toArray()[0].toArray()[1].toObject()["buttColor"].toString(),
                 QStringLiteral("0xFF00000F"));
        const QJsonObject prop = b["component"].toObject()["properties"].toArray()[4].toObject();
        QCOMPARE(prop["name"].toString(), QStringLiteral("Color"));
        QCOMPARE(prop["value"].toString(), QStringLiteral("clInfoBk"));
        const QJsonObject s = root["sootv"].toArray()[0].toObject();
        QCOMPARE(s["pinName"].toString(), QStringLiteral("X1:a1"));
        QCOMPARE(s["entries"].toArray()[1].toObject()["name"].toString(), QStringLiteral("Ш7"));
    }

    void wiringListsEveryPin() {
        TProject p;
        FillMixed(p);
        WriteFile(Path("w.pvl"), p.WorkPlace.SaveToImage());
        const TRun wiring = Tool({"wiring", Path("w.pvl")});
        QCOMPARE(wiring.Exit, 0);
        QCOMPARE(wiring.Out,
                 QStringLiteral("unit_connector,pin_row,pin_position,pin_code,contacts\n"
                                "X1,a,1,400,XT0:a1 | Разъём:Ш7\n"
                                "X2,c,31,366,X9:e2\n"
                                "X2,b,5,308,XT0:b5\n"));
    }

    void checkReportsTheReadersError() {
        TProject p;
        FillMixed(p);
        QByteArray image = p.WorkPlace.SaveToImage();
        WriteFile(Path("good.pvl"), image);
        const TRun good = Tool({"check", Path("good.pvl")});
        QCOMPARE(good.Exit, 0);
        QCOMPARE(good.Out, QStringLiteral("Файл читается: разъемов 3, соответствий 3.\n"));

        image.chop(3);
        WriteFile(Path("bad.pvl"), image);
        QString expected;
        try {
            TProject q;
            q.WorkPlace.LoadFromImage(image);
        } catch (const EFileError& e) {
            expected = e.Message();
        }
        QVERIFY(!expected.isEmpty());
        for (const char* command : {"check", "dump", "wiring"}) {
            const TRun bad = Tool({command, Path("bad.pvl")});
            QCOMPARE(bad.Exit, 1);
            QCOMPARE(bad.Err, expected + "\n");
            QVERIFY(bad.Out.isEmpty());
        }
        QCOMPARE(Tool({"check", Path("нет такого.pvl")}).Exit, 1);
        QCOMPARE(Tool({"frobnicate"}).Exit, 2);

        // Bytes after the table: refused by the tool as the program refuses them.
        image = p.WorkPlace.SaveToImage() + "xy";
        WriteFile(Path("tail.pvl"), image);
        for (const char* command : {"check", "dump", "wiring"}) {
            const TRun tail = Tool({command, Path("tail.pvl")});
            QCOMPARE(tail.Exit, 1);
            QCOMPARE(tail.Err,
                     QStringLiteral("Файл проекта поврежден: после последней записи соответствий "
                                    "лишние данные: 2 байт (смещение %1).\n")
                         .arg(image.size() - 2));
        }
    }

    // An entry names the contact at its position; one that names another is worth a word but
    // the file still reads.
    void checkWarnsOfEntriesNamedOtherwise() {
        TProject p;
        FillMixed(p);
        p.Sootv.Item(0).FNames[0] = QStringLiteral("a2");
        WriteFile(Path("named.pvl"), p.WorkPlace.SaveToImage());
        const TRun run = Tool({"check", Path("named.pvl")});
        QCOMPARE(run.Exit, 0);
        QCOMPARE(run.Out, QStringLiteral("Файл читается: разъемов 3, соответствий 3.\n"));
        QCOMPARE(run.Err, QStringLiteral("Предупреждение: соответствие 1 (X1:a1), связь 1: имя "
                                         "«a2», а контакт разъема «XT0» в этой позиции (столбец "
                                         "0, строка 0) называется «a1».\n"));
        p.Sootv.Item(0).FNames[0] = QStringLiteral("a1");
        WriteFile(Path("named.pvl"), p.WorkPlace.SaveToImage());
        QCOMPARE(Tool({"check", Path("named.pvl")}).Err, QString());
    }

    void helpPrintsTheUsage() {
        for (const char* option : {"--help", "-h"}) {
            const TRun help = Tool({option});
            QCOMPARE(help.Exit, 0);
            QVERIFY(help.Out.startsWith(QStringLiteral("Использование:\n")));
            for (const char* command : {"dump", "build", "check", "wiring"})
                QVERIFY(help.Out.contains(QStringLiteral("pinvel-file %1 ").arg(command)));
            QVERIFY(help.Err.isEmpty());
        }
        const TRun wrong = Tool({"--frobnicate"});
        QCOMPARE(wrong.Exit, 2);
        QVERIFY(wrong.Out.isEmpty());
        QVERIFY(wrong.Err.startsWith(QStringLiteral("Использование:\n")));
    }

    void buildRefusesBadDescriptions() {
        TProject p;
        p.AddRazem("A", {Row(1, "a")});
        WriteFile(Path("a.pvl"), p.WorkPlace.SaveToImage());
        QJsonObject root =
            QJsonDocument::fromJson(Tool({"dump", Path("a.pvl")}).Out.toUtf8()).object();
        QJsonArray razems = root["razems"].toArray();
        QJsonObject razem = razems[0].toObject();
        QJsonArray cells = razem["cells"].toArray();
        QJsonArray line = cells[0].toArray();
        QJsonObject cell = line[0].toObject();
        cell["nameIndex"] = 7;
        line[0] = cell;
        cells[0] = line;
        razem["cells"] = cells;
        razems[0] = razem;
        root["razems"] = razems;
        WriteFile(Path("bad.json"), QJsonDocument(root).toJson());
        const TRun r = Tool({"build", Path("bad.json"), Path("out.pvl")});
        QCOMPARE(r.Exit, 1);
        QVERIFY2(r.Err.contains("номер имени 7"), qPrintable(r.Err));
        QVERIFY(!QFile::exists(Path("out.pvl")));

        razems[0] = QJsonObject();
        root["razems"] = razems;
        WriteFile(Path("worse.json"), QJsonDocument(root).toJson());
        QVERIFY(Tool({"build", Path("worse.json"), Path("out.pvl")})
                    .Err.contains("razems[0]: нет поля «index»"));
        WriteFile(Path("not.json"), "{ not json");
        QCOMPARE(Tool({"build", Path("not.json"), Path("out.pvl")}).Exit, 1);
    }
};

QTEST_GUILESS_MAIN(PinvelFileTest)
#include "PinvelFileTest.moc"
