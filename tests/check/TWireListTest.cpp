// SPDX-License-Identifier: GPL-3.0-or-later
// The reference as a wire list: its bytes, reading hand-made lists, and refusing bad ones with
// their line numbers; the project's points of measurement it is read against.

#include "TWireList.h"
#include "CheckTestKit.h"
#include "TErrors.h"
#include "TReference.h"

#include <algorithm>

namespace {

// XT1:a1-XP2:a1, XT1:a2-XP2:b1-XP2:b2, XT1:a3 alone, and XT1:b1 with XP2:c1 on one pin;
// XT1:a4 stays untied.
struct TWired : CheckKit::TProject {
    TCheckPoints Points;
    TWired() {
        TieTo("XT1:a1", "X1:a1");
        TieTo("XT1:a2", "X1:a2");
        TieTo("XT1:a3", "X1:a3");
        TieTo("XP2:a1", "X1:a4");
        TieTo("XP2:b1", "X2:b5");
        TieTo("XP2:b2", "X2:b6");
        TieTo("XT1:b1", "X1:b1");
        TieTo("XP2:c1", "X1:b1");
        Points = TProject::Points();
    }
    TReference Good() const { return TReference::FromNets({{0, 3}, {1, 4, 5}}, Points.Count()); }
};

QByteArray Lines(std::initializer_list<const char*> lines) {
    QByteArray out;
    for (const char* l : lines)
        out += QByteArray(l) + '\n';
    return out;
}

} // namespace

class TWireListTest : public QObject {
    Q_OBJECT
  private slots:
    void pointsAreThePinsOfTheTable() {
        TWired w;
        QCOMPARE(w.Points.Count(), 7);
        QCOMPARE(w.Points.Point(0).Pin, std::uint16_t(400));
        QCOMPARE(w.Points.Point(4).Pin, std::uint16_t(308)); // X2:b5
        QCOMPARE(w.Points.Point(6).Contacts, (QStringList{"XT1:b1", "XP2:c1"}));
        QCOMPARE(w.Points.PointsOf("XP2:c1"), std::vector<int>{6});
        QVERIFY(w.Points.PointsOf("XT1:a4").empty());
        QVERIFY(w.Points.HasContact("XT1:a4"));
        QVERIFY(w.Points.HasContact("XP2:c4"));
        QVERIFY(!w.Points.HasContact("XP2:c5"));
        QVERIFY(!w.Points.HasContact("XT9:a1"));
        QCOMPARE(w.Points.Contacts({6, 0}), (QStringList{"XT1:b1", "XP2:c1", "XT1:a1"}));
    }

    void listIsOneWireALineFromTheFirstContact() {
        TWired w;
        QCOMPARE(
            TWireList::ToCsv(w.Good(), w.Points),
            Lines({"from,to", "XT1:a1,XP2:a1", "XT1:a2,XP2:b1", "XT1:a2,XP2:b2", "XT1:b1,XP2:c1"}));
        QCOMPARE(TWireList::ToCsv(TReference::FromNets({}, 0), TCheckPoints()),
                 QByteArray("from,to\n"));
    }

    void namesWithCommasQuotesAndSpacesAreQuoted() {
        const TCheckPoints points(
            {{400, {"A,1:a1"}}, {401, {"B\"2:a1"}}, {402, {" C:a1"}}, {403, {"D:a1"}}});
        const TReference reference = TReference::FromNets({{0, 1, 2}}, 4);
        const QByteArray csv = TWireList::ToCsv(reference, points);
        QCOMPARE(csv, Lines({"from,to", R"("A,1:a1","B""2:a1")", R"("A,1:a1"," C:a1")"}));
        TReference back;
        std::vector<TWireListError> errors;
        QVERIFY(TWireList::FromCsv(csv, points, back, errors));
        QVERIFY(back == reference);
    }

    void handMadeListsReadTheSame() {
        TWired w;
        std::vector<TWireListError> errors;
        // Another order, a chain instead of a star, a byte-order mark, CR LF, blank lines,
        // spaces, a quoted field and the header in capitals; contacts on one pin need no wire.
        const QByteArray list = "\xEF\xBB\xBF"
                                "\r\n From , TO \r\n"
                                "XP2:b2,XP2:b1\r\n"
                                "\r\n"
                                "  XP2:a1 ,\"XT1:a1\"\r\n"
                                "XP2:b1,XT1:a2\r\n"
                                "XP2:b1,XT1:a2\r\n";
        TReference read;
        QVERIFY(TWireList::FromCsv(list, w.Points, read, errors));
        QVERIFY(errors.empty());
        QVERIFY(read == w.Good());
        // A wire between contacts of one pin changes nothing.
        QVERIFY(TWireList::FromCsv(Lines({"from,to", "XP2:c1,XT1:b1"}), w.Points, read, errors));
        QVERIFY(read == TReference::FromNets({}, w.Points.Count()));
    }

    void starsAndChainsJoinOneNetInAnyOrder() {
        TWired w;
        // XT1:a1, XT1:a2 and XP2:a1 in one net, XP2:b1 and XP2:b2 in another; the point of
        // XT1:b1 and XP2:c1 stays alone.
        const TReference want = TReference::FromNets({{0, 1, 3}, {4, 5}}, w.Points.Count());
        const char* const wires[][2] = {{"XT1:a1", "XP2:a1"},
                                        {"XT1:a2", "XP2:a1"}, // a star round XP2:a1
                                        {"XP2:b1", "XP2:b2"}};
        // Every order of the lines and each line either way round: a contact met in the "to"
        // column of one line and the "from" column of another joins both.
        int tried = 0;
        std::vector<int> order{0, 1, 2};
        do {
            for (int flips = 0; flips < 8; ++flips) {
                QByteArray list = "from,to\n";
                for (int line : order) {
                    const bool flip = (flips >> line) & 1;
                    list += QByteArray(wires[line][flip ? 1 : 0]) + ',' +
                            wires[line][flip ? 0 : 1] + '\n';
                }
                TReference read;
                std::vector<TWireListError> errors;
                QVERIFY2(TWireList::FromCsv(list, w.Points, read, errors), list.constData());
                QVERIFY2(read == want, list.constData());
                ++tried;
            }
        } while (std::next_permutation(order.begin(), order.end()));
        QCOMPARE(tried, 48);
        // A chain whose links come last to first joins end to end.
        TReference chain;
        std::vector<TWireListError> errors;
        QVERIFY(TWireList::FromCsv(
            Lines({"from,to", "XP2:b2,XT1:a3", "XP2:b1,XP2:b2", "XT1:a2,XP2:b1", "XT1:a1,XT1:a2"}),
            w.Points, chain, errors));
        QVERIFY(chain == TReference::FromNets({{0, 1, 2, 4, 5}}, w.Points.Count()));
    }

    void quotedContactsAndADamagedFirstLine() {
        TWired w;
        TReference read;
        std::vector<TWireListError> errors;
        // Spaces and tabs after a closing quote, before its comma.
        QVERIFY2(TWireList::FromCsv(Lines({"\"from\"  ,to", "\"XT1:a1\"  ,XP2:a1",
                                           "\"XT1:a2\"\t , \"XP2:b1\" ", "XT1:a2,\"XP2:b2\""}),
                                    w.Points, read, errors),
                 errors.empty() ? "" : qPrintable(errors[0].Text));
        QVERIFY(read == w.Good());
        // A first line that is not UTF-8: one problem, not a second one for the header.
        QVERIFY(
            !TWireList::FromCsv(Lines({"fr\xFFom,to", "XT1:a1,XP2:a1"}), w.Points, read, errors));
        QCOMPARE(errors.size(), std::size_t(1));
        QCOMPARE(errors[0].Line, 1);
        QVERIFY(errors[0].Text.contains("UTF-8"));
        QVERIFY(!TWireList::FromCsv("\xEF\xBB\xBF\xC3\x28\r\n", w.Points, read, errors));
        QCOMPARE(errors.size(), std::size_t(1));
        QVERIFY(errors[0].Text.contains("UTF-8"));
    }

    void badLinesAreReportedWithTheirNumbersAndNothingLoads() {
        TWired w;
        const QByteArray list =
            Lines({"from,to", "XT1:a1,XP2:a1", "XT1:a1", "XT9:a1,XT1:a2", "XT1:a4,XT1:a2",
                   "\"XT1:a2,XT1:a3", "\xFF\xFE,XT1:a2", "XT1:a2,XT1:a2", "",
                   "XT1:a2,XT1:a3,XT1:a1", "XT1:a2,\"XT1:a3\"x", "XT1:a2,"});
        TReference kept = w.Good();
        std::vector<TWireListError> errors;
        QVERIFY(!TWireList::FromCsv(list, w.Points, kept, errors));
        QVERIFY(kept == w.Good());
        std::vector<int> lines;
        for (const TWireListError& e : errors)
            lines.push_back(e.Line);
        QCOMPARE(lines, (std::vector<int>{3, 4, 5, 6, 7, 8, 10, 11, 12}));
        QVERIFY(errors[1].Text.contains("нет контакта «XT9:a1»"));
        QVERIFY(errors[2].Text.contains("«XT1:a4» не привязан"));
        QVERIFY(errors[4].Text.contains("UTF-8"));
        QVERIFY(errors[5].Text.contains("с ним самим"));
        QCOMPARE(TWireList::ErrorText("провода.csv", {errors[0], {0, "итог"}}),
                 QStringLiteral("Список проводов «провода.csv» не принят:\n"
                                "строка 3: ожидаются два контакта через запятую, а записано "
                                "«XT1:a1»\nитог"));
    }

    void headerAndEmptinessAreChecked() {
        TWired w;
        TReference read;
        std::vector<TWireListError> errors;
        QVERIFY(!TWireList::FromCsv("\n\nto,from\nXT1:a1,XP2:a1\n", w.Points, read, errors));
        QCOMPARE(errors.size(), std::size_t(1));
        QCOMPARE(errors[0].Line, 3);
        QVERIFY(errors[0].Text.contains("from,to"));
        QVERIFY(!TWireList::FromCsv("XT1:a1,XP2:a1\n", w.Points, read, errors));
        QCOMPARE(errors[0].Line, 1);
        QVERIFY(!TWireList::FromCsv("", w.Points, read, errors));
        QCOMPARE(errors.size(), std::size_t(1));
        QCOMPARE(errors[0].Line, 1);
        QVERIFY(errors[0].Text.contains("пуст"));
        QVERIFY(TWireList::FromCsv("from,to", w.Points, read, errors)); // nothing wired
        QCOMPARE(read.NetCount(), w.Points.Count());
    }

    void listSizeHasItsLimit() {
        TWired w;
        TReference read;
        std::vector<TWireListError> errors;
        QByteArray list = "\xEF\xBB\xBF"
                          "from,to\n";
        list += QByteArray(TWireList::MaxSize - (list.size() - 3), ' ');
        QVERIFY(TWireList::FromCsv(list, w.Points, read, errors));
        list += ' ';
        QVERIFY(!TWireList::FromCsv(list, w.Points, read, errors));
        QCOMPARE(errors.size(), std::size_t(1));
        QCOMPARE(errors[0].Line, 0);
    }

    void contactOnSeveralPinsCannotBeWired() {
        TWired w;
        w.TieTo("XT1:a5", "X1:a5");
        w.TieTo("XT1:a5", "X1:a6");
        const TCheckPoints points = w.TProject::Points();
        QCOMPARE(points.PointsOf("XT1:a5").size(), std::size_t(2));
        TReference read;
        std::vector<TWireListError> errors;
        QVERIFY(!TWireList::FromCsv(Lines({"from,to", "XT1:a1,XT1:a5"}), points, read, errors));
        QCOMPARE(errors.size(), std::size_t(1));
        QCOMPARE(errors[0].Line, 2);
        QVERIFY(errors[0].Text.contains("нескольким выводам"));
    }

    void listOfAnotherProjectIsRefusedLineByLine() {
        TWired w;
        QByteArray list = "from,to\n";
        for (int i = 1; i <= 60; ++i)
            list += "X9:a" + QByteArray::number(i) + ",XT1:a1\n";
        TReference read;
        std::vector<TWireListError> errors;
        QVERIFY(!TWireList::FromCsv(list, w.Points, read, errors));
        QCOMPARE(errors.size(), std::size_t(TWireList::MaxErrors + 1));
        QCOMPARE(errors[0].Line, 2);
        QCOMPARE(errors[TWireList::MaxErrors - 1].Line, TWireList::MaxErrors + 1);
        QCOMPARE(errors.back().Line, 0);
        QVERIFY(errors.back().Text.endsWith(": 10"));
    }

    void savedListReadsBackAndFilesFailClearly() {
        TWired w;
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel wires XXXXXX"));
        const QString path = TWireList::PathFor(dir.filePath("жгут 1.pvl"));
        QCOMPARE(QFileInfo(path).fileName(), QStringLiteral("жгут 1.wires.csv"));
        QCOMPARE(TWireList::PathFor("/a b/X.PVL"), QStringLiteral("/a b/X.wires.csv"));
        QCOMPARE(TWireList::PathFor("/a b/x"), QStringLiteral("/a b/x.wires.csv"));
        TWireList::Save(path, w.Good(), w.Points);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), TWireList::ToCsv(w.Good(), w.Points));
        TReference read;
        std::vector<TWireListError> errors;
        QVERIFY(TWireList::Load(path, w.Points, read, errors));
        QVERIFY(read == w.Good());
        QVERIFY(!TWireList::Load(dir.filePath("нет.csv"), w.Points, read, errors));
        QCOMPARE(errors.size(), std::size_t(1));
        QCOMPARE(errors[0].Line, 0);
        QVERIFY2(errors[0].Text.contains("не найдены"), qPrintable(errors[0].Text));
        QVERIFY_THROWS_EXCEPTION(EFileError,
                                 TWireList::Save(dir.filePath("нет/x.csv"), w.Good(), w.Points));
    }
};

QTEST_GUILESS_MAIN(TWireListTest)
#include "TWireListTest.moc"
