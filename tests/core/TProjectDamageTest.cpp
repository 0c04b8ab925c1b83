// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProjectSamples.h"
#include "TErrors.h"
#include "TProjectFile.h"

#include <QSignalSpy>
#include <QTest>

using namespace Samples;

namespace {

QByteArray Hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray Patch(QByteArray image, const QByteArray& from, const QByteArray& to, int nth = 0) {
    qsizetype at = -1;
    for (int i = 0; i <= nth; ++i)
        at = image.indexOf(from, at + 1);
    Q_ASSERT(at >= 0);
    return image.replace(at, from.size(), to);
}

// Two connectors (a 2 x 3 and a 3-row one) and two correspondences.
QByteArray Base() {
    TProject p;
    TRazem& a = p.AddRazem("XT0", {Row(3, "a"), Row(3, "b")});
    TRazem& b = p.AddRazem("XT1", {Row(4, "c"), Row(4, "d"), Row(4, "e")});
    p.Tie(a, "a1", 1, 1, 3);
    p.Tie(b, "e4", 1, 1, 3);
    p.Tie(b, "c2", 2, 7, 2);
    return p.WorkPlace.SaveToImage();
}

// Every table entry names a connector there and a contact cell inside it; indexes are dense.
void CheckConsistent(const TProject& p) {
    for (int i = 0; i < p.WorkPlace.Count(); ++i)
        QCOMPARE(p.WorkPlace.Razem(i)->FIndex, i);
    for (int k = 0; k < p.Sootv.Count(); ++k) {
        const TSootvData& rec = p.Sootv.Item(k);
        for (int i = 0; i < rec.Count(); ++i) {
            const TRazem* r = p.WorkPlace.Razem(rec.FRazemIndexes[std::size_t(i)]);
            QVERIFY(r != nullptr);
            QVERIFY(rec.FContacts[std::size_t(i)].Col < r->ColCount());
            QVERIFY(rec.FContacts[std::size_t(i)].Row < r->RowCount());
        }
    }
}

// Loads an image both ways (the workspace as the program reads it, the plain file as the tool
// does); returns the message, empty when the image is accepted. Readers that disagree fail the
// test there and then, and the answer is one no check expects.
QString LoadError(const QByteArray& image, int* razemsLeft = nullptr) {
    TProject p;
    QString message;
    try {
        p.WorkPlace.LoadFromImage(image);
    } catch (const EFileError& e) {
        message = e.Message();
    }
    CheckConsistent(p);
    if (razemsLeft != nullptr)
        *razemsLeft = p.WorkPlace.Count();
    QString other;
    try {
        TProjectFile::Read(image);
    } catch (const EFileError& e) {
        other = e.Message();
    }
    if (other != message) {
        QTest::qFail(qPrintable(QStringLiteral("the readers disagree: workspace «%1», file «%2»")
                                    .arg(message, other)),
                     __FILE__, __LINE__);
        return QStringLiteral("<the readers disagree>");
    }
    return message;
}

TProjectFile BaseFile() {
    return TProjectFile::Read(Base());
}

} // namespace

class TProjectDamageTest : public QObject {
    Q_OBJECT
  private slots:
    void fileEndingInsideARecord() {
        const QByteArray image = Base();
        for (qsizetype n = 0; n < image.size(); ++n) {
            int left = -1;
            const QString m = LoadError(image.left(n), &left);
            QVERIFY2(m.startsWith(QStringLiteral("Файл проекта поврежден")), qPrintable(m));
            QVERIFY(left <= 2);
        }
        QCOMPARE(LoadError(image.left(16)),
                 QStringLiteral("Файл проекта поврежден: число разъемов (2) больше, чем может "
                                "поместиться в оставшейся части файла (смещение 0)."));
        const QString cut = LoadError(image.left(60));
        QVERIFY2(cut.contains("файл обрывается посреди записи: нужно байт") &&
                     cut.contains("(разъем 1, смещение 5"),
                 qPrintable(cut));
        QVERIFY(LoadError(image.left(image.size() - 1)).contains("обрывается посреди записи"));
    }

    void negativeAndOversizedCounts() {
        const QByteArray image = Base();

        QCOMPARE(LoadError(Patch(image, Hex("02 00 00 00"), Hex("FF FF FF FF"))),
                 QStringLiteral("Файл проекта поврежден: число разъемов отрицательно: -1 "
                                "(смещение 0)."));
        QVERIFY(LoadError(Patch(image, Hex("02 00 00 00"), Hex("FF FF FF 7F")))
                    .contains("число разъемов (2147483647) больше"));
        const QByteArray names = Hex("05 00 00 00") + "$Sys#";
        QVERIFY(LoadError(Patch(image, Hex("07 00 00 00") + names, Hex("F0 FF FF FF") + names))
                    .contains("число имен контактов отрицательно"));
        QVERIFY(LoadError(Patch(image, Hex("03 00 00 00") + "XT0", Hex("00 00 00 7F") + "XT0"))
                    .contains("длина строки 2130706432 больше оставшейся части файла"));
        QVERIFY(LoadError(Patch(image, Hex("02 00 00 00 02 00 00 00 61 31"),
                                Hex("00 00 00 80 02 00 00 00 61 31")))
                    .contains("число связей соответствия отрицательно"));
    }

    void gridCountsOutsideTheArray() {
        const QByteArray image = Base();
        const QByteArray cols = "\x08"
                                "ColCount\x02";
        const QByteArray rows = "\x08"
                                "RowCount\x02";
        QVERIFY(LoadError(Patch(image, cols + "\x03", cols + "\x66"))
                    .contains("значение 102 свойства «ColCount» вне пределов 0..101"));
        QVERIFY(
            LoadError(Patch(image, rows + "\x04", rows + "\x66")).contains("вне пределов 0..101"));
        QVERIFY(LoadError(Patch(image, rows + "\x04", rows + "\xFE")).contains("вне пределов"));
        QVERIFY(LoadError(Patch(image, rows + "\x06", rows + "\x07", 0))
                    .contains("нечетное число строк сетки 7"));
        QVERIFY(LoadError(Patch(image, rows + "\x04",
                                "\x08"
                                "RowCount\x07\x03"
                                "abc"))
                    .contains("свойство «RowCount» должно быть целым числом"));
    }

    void badValuesInAConnector() {
        const QByteArray image = Base();
        const QByteArray firstContact = Hex("01 01 00 00 00 FF 00 00 00 0F 00 00 FF");
        QVERIFY(LoadError(Patch(image, firstContact, Hex("01 63 00 00 00 FF 00 00 00 0F 00 00 FF")))
                    .contains("номер имени 99 контакта (столбец 0, строка 0) вне списка из 7 имен "
                              "(разъем 1, смещение "));
        QVERIFY(LoadError(Patch(image, firstContact, Hex("09 01 00 00 00 FF 00 00 00 0F 00 00 FF")))
                    .contains("неизвестное состояние 9"));
        QVERIFY(LoadError(Patch(image, "TPF0", "TPF1")).contains("не начинается с «TPF0»"));
        QVERIFY(LoadError(Patch(image,
                                "\x04"
                                "Left\x02",
                                "\x04"
                                "Left\x16"))
                    .contains("неизвестный тип значения 22 у свойства «Left»"));
        QVERIFY(LoadError(Patch(image, Hex("00 00 01 00 00 00 00 00 00 00 03 00 00 00") + "XT0",
                                Hex("00 00 03 00 00 00 00 00 00 00 03 00 00 00") + "XT0"))
                    .contains("неизвестный размер кнопок 3"));
        QVERIFY(LoadError(Patch(image, Hex("01 00 00 00 03 00 00 00") + "XT1",
                                Hex("00 00 00 00 03 00 00 00") + "XT1"))
                    .contains("номер разъема 0 не совпадает с его местом в файле (1)"));
        QVERIFY(LoadError(image + "x").contains("лишние данные: 1 байт"));

        // A block nested without end is refused, not followed down the stack.
        TProjectFile file = BaseFile();
        QByteArray bomb = file.Write();
        bomb.insert(bomb.indexOf("\x04"
                                 "Left") +
                        5,
                    QByteArray(100000, '\x01'));
        QVERIFY(LoadError(bomb).contains("вложен глубже"));

        // Row descriptors that would put contacts outside the array.
        file.Razems[1].Rows[0].Step = 0;
        QVERIFY(LoadError(file.Write()).contains("описание ряда 1 ставит контакты вне разъема"));
    }

    void correspondencesThatNameNothing() {
        TProjectFile file = BaseFile();
        file.Sootv[1].FRazemIndexes[0] = 2;
        QVERIFY(LoadError(file.Write())
                    .contains("связь 1 «c2» ссылается на разъем 2, а в файле "
                              "разъемов 2 (соответствие 2"));
        file = BaseFile();
        file.Sootv[0].FContacts[1] = {4, 0};
        QVERIFY(LoadError(file.Write())
                    .contains("связь 2 «e4» указывает на контакт (столбец 4, "
                              "строка 0) вне разъема 1 размером 4 x 6"));
        file = BaseFile();
        file.Sootv[0].FContacts[0] = {0, 1};
        QVERIFY(LoadError(file.Write()).contains("(столбец 0, строка 1) вне"));
        for (auto [grid, col, row] : {std::tuple{3, 1, 1}, {1, 33, 1}, {2, 1, 4}}) {
            file = BaseFile();
            file.Sootv[1].FGrid = std::uint8_t(grid);
            file.Sootv[1].FCol = col;
            file.Sootv[1].FRow = row;
            QVERIFY(LoadError(file.Write()).contains("вывод вне разъемов блока"));
        }
    }

    // The exact edges of what a file may hold: one past is refused, the edge itself is read.
    void valuesAtTheirLimits() {
        const QByteArray image = Base();
        QCOMPARE(LoadError(image), QString());
        // The first connector has 7 names ($Sys#, a1..a3, b1..b3): index 6 is its last.
        const QByteArray firstContact = Hex("01 01 00 00 00 FF 00 00 00 0F 00 00 FF");
        QCOMPARE(
            LoadError(Patch(image, firstContact, Hex("01 06 00 00 00 FF 00 00 00 0F 00 00 FF"))),
            QString());
        QVERIFY(LoadError(Patch(image, firstContact, Hex("01 07 00 00 00 FF 00 00 00 0F 00 00 FF")))
                    .contains("номер имени 7 контакта (столбец 0, строка 0) вне списка из 7 имен"));
        QCOMPARE(
            LoadError(Patch(image, firstContact, Hex("01 FF FF FF FF FF 00 00 00 0F 00 00 FF"))),
            QString());
        QVERIFY(LoadError(Patch(image, firstContact, Hex("01 FE FF FF FF FF 00 00 00 0F 00 00 FF")))
                    .contains("номер имени -2"));

        // A row whose last contact stands on position 101 fits; on 102 it does not.
        TProjectFile file = BaseFile();
        file.Razems[1].Rows[0] = {2, 100, 1, 1, 1, QStringLiteral("c")};
        QCOMPARE(LoadError(file.Write()), QString());
        file.Razems[1].Rows[0] = {2, 100, 2, 1, 1, QStringLiteral("c")};
        QVERIFY(LoadError(file.Write()).contains("описание ряда 1 ставит контакты вне разъема"));
        file.Razems[1].Rows[0] = {1, 101, 0, 1, 1, QStringLiteral("c")};
        QCOMPARE(LoadError(file.Write()), QString());
    }

    // The tester drives a pin by its code: a code that is not its cell's is a damaged file.
    void pinCodeMustBeItsCells() {
        TProjectFile file = BaseFile();
        file.Sootv[0].FPin = 999;
        QVERIFY(LoadError(file.Write())
                    .contains("код вывода 999 не совпадает с ячейкой X1:a1, у которой код 400 "
                              "(соответствие 1, смещение "));
        // The offset is the code's own: the last record ends with the code and the grid byte.
        file = BaseFile();
        file.Sootv[1].FPin = 311;
        const QByteArray image = file.Write();
        QCOMPARE(LoadError(image),
                 QStringLiteral("Файл проекта поврежден: код вывода 311 не совпадает с ячейкой "
                                "X2:b7, у которой код 310 (соответствие 2, смещение %1).")
                     .arg(image.size() - 3));
        // The same pin on the other unit connector.
        file = BaseFile();
        file.Sootv[1].FGrid = 1;
        QVERIFY(LoadError(file.Write()).contains("ячейкой X1:b7, у которой код 438"));
        file.Sootv[1].FPin = 438;
        QCOMPARE(LoadError(file.Write()), QString());
    }

    void bytesAfterTheTable() {
        const QByteArray image = Base();
        QCOMPARE(LoadError(image + QByteArray(3, '\0')),
                 QStringLiteral("Файл проекта поврежден: после последней записи соответствий "
                                "лишние данные: 3 байт (смещение %1).")
                     .arg(image.size()));
    }

    void damagedSecondConnectorIsRemovedAgain() {
        TProjectFile file = BaseFile();
        file.Razems[1].Cells[0].NameIndex = 1000;
        TProject p;
        QSignalSpy added(&p.WorkPlace, &TWorkPlace::RazemAdded);
        QSignalSpy removing(&p.WorkPlace, &TWorkPlace::RazemRemoving);
        QVERIFY_THROWS_EXCEPTION(EFileError, p.WorkPlace.LoadFromImage(file.Write()));
        QCOMPARE(added.count(), 2);
        QCOMPARE(removing.count(), 1);
        QCOMPARE(p.WorkPlace.Count(), 1);
        QCOMPARE(p.WorkPlace.Razem(0)->FRazName, QStringLiteral("XT0"));
        QCOMPARE(p.Sootv.Count(), 0); // the section after the damage is never read
    }
};

QTEST_GUILESS_MAIN(TProjectDamageTest)
#include "TProjectDamageTest.moc"
