// SPDX-License-Identifier: GPL-3.0-or-later
#include "TProjectFile.h"
#include "ProjectSamples.h"
#include "TErrors.h"
#include "TRazemRecord.h"
#include "TStreamReader.h"
#include "TStreamWriter.h"
#include "TWin1251.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <sys/resource.h>

using namespace Samples;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray Prop(const char* name, const QByteArray& value) {
    return char(std::strlen(name)) + QByteArray(name) + value;
}

// Loads an image into a fresh project and saves it again.
QByteArray Reload(const QByteArray& image, bool tester = false) {
    TProject p;
    p.WorkPlace.SetTesterMode(tester);
    p.WorkPlace.LoadFromImage(image);
    return p.WorkPlace.SaveToImage();
}

} // namespace

class TProjectFileTest : public QObject {
    Q_OBJECT
  private slots:
    void emptyProjectIsEightZeroBytes() {
        TProject p;
        QCOMPARE(p.WorkPlace.SaveToImage(), QByteArray(8, '\0'));
        TProject q;
        q.WorkPlace.LoadFromImage(QByteArray(8, '\0'));
        QCOMPARE(q.WorkPlace.Count(), 0);
        QCOMPARE(q.Sootv.Count(), 0);
    }

    void exampleConnectorByteForByte() {
        TProject p;
        p.AddRazem("XT0", {Row(2, "X")}, 1);
        const QByteArray block =
            "TPF0" + Hex("06") + "TRazem" + Hex("00") + Prop("Left", Hex("02 1E")) +
            Prop("Top", Hex("02 19")) + Prop("Width", Hex("02 58")) + Prop("Height", Hex("02 30")) +
            Prop("Color", Hex("07 08") + "clInfoBk") + Prop("ColCount", Hex("02 02")) +
            Prop("DefaultColWidth", Hex("02 2A")) + Prop("DefaultRowHeight", Hex("02 16")) +
            Prop("DefaultDrawing", Hex("08")) + Prop("FixedCols", Hex("02 00")) +
            Prop("RowCount", Hex("02 02")) + Prop("FixedRows", Hex("02 00")) +
            Prop("GridLineWidth", Hex("02 00")) +
            Prop("PopupMenu", Hex("07 0D") + "fmMain.pmCont") + Prop("TabOrder", Hex("02 00")) +
            Hex("00 00");
        const QByteArray fields = Hex("01 00 00 00  00 00 00 00  03 00 00 00 58 54 30"
                                      "03 00 00 00  05 00 00 00 24 53 79 73 23"
                                      "02 00 00 00 58 31  02 00 00 00 58 32"
                                      "02 00 00 00 01 00 00 00 01 00 00 00 01 00 00 00 01 00 00 "
                                      "00 01 00 00 00 58"
                                      "00 01 00 00 00 FF 00 00 00 0F 00 00 FF"
                                      "00 02 00 00 00 FF 00 00 00 0F 00 00 FF") +
                                  QByteArray(26, '\0');
        QCOMPARE(p.WorkPlace.SaveToImage(),
                 Hex("01 00 00 00") + block + fields + Hex("00 00 00 00"));
    }

    void layoutOfRowsAndContacts() {
        // 3 rows of 7: three descriptors after the names, then 6 x 7 records of 13 bytes.
        TProject p;
        TRazem& r = p.AddRazem("R", {Row(7, "a"), Row(7, "b"), Row(7, "c")});
        TStreamWriter w;
        r.SaveToStream(w);
        TStreamReader rd(w.Data());
        TComponentStream::Read(rd);
        const qint64 namesEnd = 4 + 4 + 5 + 4 + (4 + 5) + 21 * (4 + 2);
        QCOMPARE(w.Data().size() - rd.Pos() - namesEnd, qint64(3 * 25 + 546));
    }

    void roundTripBothModes() {
        TProject p;
        FillMixed(p);
        const QByteArray editor = p.WorkPlace.SaveToImage();
        QCOMPARE(Reload(editor), editor);

        p.WorkPlace.SetTesterMode(true);
        p.WorkPlace.Razem(0)->FCells[0][0].State = TContactState::csGenerator;
        const QByteArray tester = p.WorkPlace.SaveToImage();
        QVERIFY(!tester.contains("fmMain.pmCont"));
        QCOMPARE(Reload(tester, true), tester);

        // The loaded model matches the saved one field by field.
        TProject q;
        q.WorkPlace.LoadFromImage(editor);
        QCOMPARE(q.WorkPlace.Count(), 3);
        const TRazem& b = *q.WorkPlace.Razem(1);
        QCOMPARE(b.FRazName, QStringLiteral("Разъём"));
        QCOMPARE(b.Left(), -40);
        QCOMPARE(b.Top(), 300);
        QCOMPARE(b.FButtSize, 2);
        QCOMPARE(b.Width(), b.ColCount() * 62 + 4);
        QCOMPARE(b.FRows, p.WorkPlace.Razem(1)->FRows);
        QCOMPARE(q.WorkPlace.Razem(0)->ColCount(), 5);
        QVERIFY(!q.WorkPlace.Razem(0)->ComponentBlock().Find("ColCount"));
        QCOMPARE(q.WorkPlace.Razem(0)->FCells[2][0].ButtColor, Colors::clMaroon);
        QCOMPARE(q.Sootv.Count(), 3);
        QCOMPARE(q.Sootv.Item(0).Count(), 2);
        QCOMPARE(q.Sootv.Item(0).FRazemIndexes[1], 1);
        QCOMPARE(q.X1.Cell(1, 3), QStringLiteral("XT0:a1 | Разъём:Ш7"));
        QCOMPARE(q.WorkPlace.Razem(0)->FCells[0][0].State.load(), TContactState::csTied);

        // Cyrillic text is stored one Windows-1251 byte per letter.
        QVERIFY(editor.contains(Hex("06 00 00 00") + TWin1251::Encode(QStringLiteral("Разъём"))));
        QVERIFY(editor.contains(Hex("06 00 00 00 D0 E0 E7 FA B8 EC")));
    }

    void foreignComponentBlockReads() {
        // Another writer of the format: integer colour, every value type, children.
        TProject p;
        p.AddRazem("F", {Row(3, "a")});
        TProjectFile file = TProjectFile::Read(p.WorkPlace.SaveToImage());
        TComponentNode& n = file.Razems[0].Component;
        n.Properties[4].Value = TComponentValue::Integer(std::int32_t(0xFF000018));
        TComponentValue list;
        list.Type = TValueType::vaList;
        for (TValueType t : {TValueType::vaString, TValueType::vaLString, TValueType::vaWString,
                             TValueType::vaUTF8String}) {
            TComponentValue s;
            s.Type = t;
            s.Text = QStringLiteral("Шрифт");
            list.List.push_back(s);
        }
        TComponentValue set;
        set.Type = TValueType::vaSet;
        set.Set = QStringList{"goFixedVertLine", "goRangeSelect"};
        TComponentValue bin;
        bin.Type = TValueType::vaBinary;
        bin.Bytes = Hex("00 01 02 FF");
        TComponentValue coll;
        coll.Type = TValueType::vaCollection;
        coll.Collection.push_back({TComponentValue::Integer(3), {{"Width", list}}});
        coll.Collection.push_back({std::nullopt, {}});
        std::vector<TComponentProperty> extra = {{"Font.Names", list},
                                                 {"Options", set},
                                                 {"Data", bin},
                                                 {"Columns", coll},
                                                 {"Enabled", TComponentValue::Boolean(false)}};
        for (TValueType t :
             {TValueType::vaExtended, TValueType::vaSingle, TValueType::vaDouble,
              TValueType::vaCurrency, TValueType::vaDate, TValueType::vaInt64, TValueType::vaNil}) {
            TComponentValue v;
            v.Type = t;
            v.Bytes = QByteArray(TComponentValue::FloatSize(t), '\x11');
            v.Int = -5000000000;
            extra.push_back({TComponentStream::TypeName(t), v});
        }
        n.Properties.insert(n.Properties.begin() + 6, extra.begin(), extra.end());
        n.Children.push_back({false, 0, std::nullopt, "TLabel", "lb", {}, {}});
        const QByteArray image = file.Write();

        QCOMPARE(TProjectFile::Read(image).Write(), image);
        TProject q;
        q.WorkPlace.LoadFromImage(image);
        QCOMPARE(q.WorkPlace.Razem(0)->ColCount(), 3);
        QCOMPARE(q.WorkPlace.Razem(0)->Left(), 30);
        QCOMPARE(q.WorkPlace.Razem(0)->ContactName(2, 0), QStringLiteral("a3"));
    }

    void droppedRecordsAndDefaultRowCount() {
        TProject p;
        FillMixed(p);
        TProjectFile file = TProjectFile::Read(p.WorkPlace.SaveToImage());
        file.Sootv[1].FCol = 0; // read completely, then dropped
        file.Sootv[1].FGrid = 9;
        // A block without RowCount means the grid's 5 rows: 2 descriptors, 5 x ColCount records.
        TRazemRecord& r = file.Razems[2];
        auto& props = r.Component.Properties;
        props.erase(std::find_if(props.begin(), props.end(),
                                 [](const auto& x) { return x.Name == "RowCount"; }));
        r.Rows.resize(2);
        r.Cells.resize(std::size_t(r.ColCount()) * 5);
        TProject q;
        q.WorkPlace.LoadFromImage(file.Write());
        QCOMPARE(q.Sootv.Count(), 2);
        QCOMPARE(q.WorkPlace.Razem(2)->RowCount(), 5);
    }

    void saveKeepsPreviousFileOnFailure() {
        QTemporaryDir dir(QDir::tempPath() + "/pinvel files XXXXXX");
        const QString path = dir.filePath("проект 1.pvl");
        TProject small;
        small.WorkPlace.Modified = true;
        small.WorkPlace.SaveToFile(path);
        QVERIFY(!small.WorkPlace.Modified);

        TProject big;
        FillMixed(big);
        big.WorkPlace.Modified = true;
        // Files may grow no further than a few bytes: the write of the big image fails.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit old{};
        getrlimit(RLIMIT_FSIZE, &old);
        rlimit tiny = old;
        tiny.rlim_cur = 64;
        setrlimit(RLIMIT_FSIZE, &tiny);
        bool failed = false;
        try {
            big.WorkPlace.SaveToFile(path);
        } catch (const EFileError& e) {
            failed = e.Message().contains(QStringLiteral("Не удалось сохранить"));
        }
        setrlimit(RLIMIT_FSIZE, &old);
        QVERIFY(failed);
        QVERIFY(big.WorkPlace.Modified); // the save prompt still guards the work
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray(8, '\0'));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1); // no temporary left

        big.WorkPlace.SaveToFile(path);
        TProject back;
        back.WorkPlace.LoadFromFile(path);
        QCOMPARE(back.WorkPlace.SaveToImage(), big.WorkPlace.SaveToImage());
    }
};

QTEST_GUILESS_MAIN(TProjectFileTest)
#include "TProjectFileTest.moc"
