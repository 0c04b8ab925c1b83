// SPDX-License-Identifier: GPL-3.0-or-later
// The printable report: what it says of a record and of a list, what a record's own texts cannot
// do to it, and that a report which cannot be written leaves no file behind.

#include "TRecordReport.h"
#include "RecordsTestKit.h"

#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>

using namespace RecordsKit;

namespace {
QString PdfText(const QString& path) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {path, "-"});
    p.waitForFinished(60000);
    // Lines as the page breaks them joined again.
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}
} // namespace

class TRecordReportTest : public QObject {
    Q_OBJECT
    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel report XXXXXX")};

  private slots:
    void aWatchRecordSaysHowOftenAndWhen() {
        TTestRecord r = Record(QDateTime(QDate(2026, 4, 1), QTime(9, 30)).toMSecsSinceEpoch(),
                               "<b>SN</b> & 1", false);
        r.Mode = TTestRecord::TMode::Watch;
        r.Scans = 812;
        r.Faults[0].Seen = 3;
        r.Faults[0].First = QDateTime(QDate(2026, 4, 1), QTime(9, 29, 1));
        r.Faults[0].Last = QDateTime(QDate(2026, 4, 1), QTime(9, 29, 58));
        const QString html = TRecordReport::RecordHtml(r);
        // A record's texts are shown as text, never taken for markup.
        QVERIFY(html.contains("&lt;b&gt;SN&lt;/b&gt; &amp; 1"));
        QVERIFY(!html.contains("<b>SN</b>"));
        const QString path = FDir.filePath("watch report.pdf");
        QString error;
        QVERIFY2(TRecordReport::WriteRecord(r, path, &error), qPrintable(error));
        const QString text = PdfText(path);
        QVERIFY2(text.contains("<b>SN</b> & 1") && text.contains("непрерывная, проверок: 812") &&
                     text.contains("замечено 3 раз, впервые 2026-04-01 09:29:01, последний раз "
                                   "2026-04-01 09:29:58") &&
                     text.contains("Неисправности: 2") && text.contains("Иванов") &&
                     text.contains("stand-3") && text.contains("2026-04-01 09:30:00"),
                 qPrintable(text));
        const TTestRecord good = Record(0, "G-1");
        QVERIFY(TRecordReport::WriteRecord(good, path, &error));
        const QString clean = PdfText(path);
        QVERIFY(clean.contains("ГОДЕН") && clean.contains("Неисправностей нет") &&
                clean.contains("однократная") && !clean.contains("БРАК"));
    }

    void theListNamesItsFilter() {
        TRecordFilter f;
        QCOMPARE(TRecordReport::FilterText(f), QString("все записи"));
        f.SetDays(QDate(2026, 4, 1), QDate(2026, 4, 2));
        f.Serial = "A*";
        f.Verdict = TRecordFilter::TVerdict::Faulty;
        f.Operator = "Ким";
        f.Project = "K1.pvl";
        f.Station = "stand-2";
        QCOMPARE(TRecordReport::FilterText(f),
                 QString("с 2026-04-01 00:00:00, до 2026-04-03 00:00:00, серийный номер A*, "
                         "проект K1.pvl, оператор Ким, станция stand-2, БРАК"));
        const std::vector<TTestRecord> records{Record(1000, "L-2", false), Record(0, "L-1")};
        const QString path = FDir.filePath("list.pdf");
        QVERIFY(TRecordReport::WriteList(records, TRecordReport::FilterText(f), path));
        const QString text = PdfText(path);
        QVERIFY2(text.contains("Журнал проверок") && text.contains("Записей: 2") &&
                     text.contains("серийный номер A*") &&
                     text.indexOf("L-2") < text.indexOf("L-1") && text.contains("ГОДЕН") &&
                     text.contains("БРАК") && text.contains(records[0].ReferenceSum.left(16)),
                 qPrintable(text));
    }

    // The list from the journal closes with a page of the same records' statistics.
    void theJournalsListEndsWithItsStatistics() {
        TRecordsDatabase db(FDir.filePath("records/records.sqlite"));
        QVERIFY(db.Open());
        std::vector<TTestRecord> records{Record(0, "S-1", false), Record(1000, "S-1"),
                                         Record(2000, "S-2"), Record(3000, "S-3")};
        records[3].Station = QStringLiteral("stand-9");
        QVERIFY(db.Insert(records));
        TRecordFilter f;
        f.Station = QStringLiteral("stand-3");
        const QString path = FDir.filePath("journal list.pdf");
        int count = 0;
        QString error;
        QVERIFY2(TRecordReport::WriteList(db, f, path, &count, &error), qPrintable(error));
        QCOMPARE(count, 3);
        const QString text = PdfText(path);
        const qsizetype page = text.indexOf("Статистика проверок");
        QVERIFY2(page > text.indexOf("S-1") && text.contains("Проверок: 3 (ГОДЕН 2, БРАК 1)") &&
                     text.contains("Жгутов: 2"),
                 qPrintable(text));
    }

    void everyFieldPrintsAsTyped() {
        // Each field holds markup, an ampersand, an entity and quotes of its own; a field that
        // went into the page unescaped would lose its tags or turn "&amp;" into "&". (No slash:
        // the list shows the project by its file name.)
        const auto typed = [](const char* field) {
            return QStringLiteral("<b>%1<br> &amp; \"q\" 'a'").arg(QLatin1String(field));
        };
        TTestRecord r =
            Record(0, typed("serial"), false, QStringLiteral("/plant/") + typed("project") + ".pvl",
                   typed("operator"));
        r.Station = typed("station");
        const QString one = FDir.filePath("one record.pdf");
        const QString list = FDir.filePath("record list.pdf");
        QString error;
        QVERIFY2(TRecordReport::WriteRecord(r, one, &error), qPrintable(error));
        QVERIFY2(TRecordReport::WriteList({r, Record(1000, typed("second"))}, typed("query"), list,
                                          &error),
                 qPrintable(error));
        const QString ofOne = PdfText(one);
        const QString ofList = PdfText(list);
        for (const char* field : {"serial", "project", "operator", "station"}) {
            QVERIFY2(ofOne.contains(typed(field)), qPrintable(field + (": " + ofOne)));
            QVERIFY2(ofList.contains(typed(field)), qPrintable(field + (": " + ofList)));
        }
        QVERIFY2(ofList.contains(typed("second")), qPrintable(ofList));
        QVERIFY2(ofList.contains(typed("query")), qPrintable(ofList));
    }

    void aReportThatCannotBeWrittenLeavesNothing() {
        const QString path = FDir.filePath("no folder/report.pdf");
        QString error;
        QVERIFY(!TRecordReport::WriteRecord(Record(0, "X"), path, &error));
        // The reason in the user's words, not the system's English.
        QVERIFY2(error.contains("Не удалось записать отчет") && error.contains("report.pdf") &&
                     error.contains("не найдены"),
                 qPrintable(error));
        QVERIFY(!QFile::exists(path));

        // A report written again over one that is there replaces it whole.
        const QString kept = FDir.filePath("kept.pdf");
        QVERIFY(TRecordReport::WriteRecord(Record(0, "FIRST"), kept));
        QVERIFY(TRecordReport::WriteRecord(Record(0, "SECOND"), kept));
        QVERIFY(PdfText(kept).contains("SECOND"));
        QCOMPARE(QDir(FDir.path()).entryList({"kept.pdf*"}, QDir::Files | QDir::Hidden).size(), 1);
    }
};

QTEST_MAIN(TRecordReportTest)
#include "TRecordReportTest.moc"
