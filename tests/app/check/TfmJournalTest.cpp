// SPDX-License-Identifier: GPL-3.0-or-later
// "Журнал проверок": the records newest first, each filter of the window, the record shown with
// its faults, scrolling that reads on, the CSV and PDF through the window, a shared database
// that does not answer, and the line saying whether the records' chain is whole.

#include "TfmJournal.h"
#include "AppMessageBox.h"
#include "RecordsTestKit.h"
#include "TJournalModel.h"
#include "TRecordStore.h"
#include "TReferenceArchive.h"
#include "TVerdictDelegate.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTcpServer>
#include <QTextBrowser>
#include <cmath>

using namespace RecordsKit;

namespace {
// Noon, local time, some days ago: the day filters see whole days.
qint64 DaysAgo(int days, int ms = 0) {
    return QDate::currentDate().addDays(-days).startOfDay().addSecs(12 * 3600).toMSecsSinceEpoch() +
           ms;
}

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TfmJournalTest : public QObject {
    Q_OBJECT
    std::unique_ptr<TFreshDatabase> FFresh;
    std::vector<TTestRecord> FAll; // newest first

  private slots:
    void initTestCase() {
        FFresh = std::make_unique<TFreshDatabase>(false);
        auto db = FFresh->Open();
        // 600 records over six days; every 7th faulty; serials P-0..P-599; two projects, two
        // operators.
        for (int i = 0; i < 600; ++i) {
            FAll.push_back(Record(DaysAgo(5 - i / 100, i), QStringLiteral("P-%1").arg(i),
                                  i % 7 != 0, i % 2 ? "/a/K1.pvl" : "/b/K2.pvl",
                                  i % 3 ? "Иванов" : "Петров"));
            if (i % 5 == 0)
                FAll.back().Station = QStringLiteral("stand-7"); // the rest at stand-3
        }
        QVERIFY(db->Insert(FAll));
        std::reverse(FAll.begin(), FAll.end());
    }

    void listsNewestFirstAndReadsOnWhileScrolling() {
        TfmJournal journal(FFresh->Config);
        journal.resize(900, 500);
        journal.show();
        journal.OpenDatabase();
        QCOMPARE(journal.Model()->Total(), 600);
        QCOMPARE(journal.Model()->rowCount(), TJournalModel::PageSize);
        QCOMPARE(journal.Model()->Record(0).Uid, FAll[0].Uid);
        QVERIFY(journal.lbCount->text().contains("600"));
        QVERIFY2(journal.lbSource->text().contains(FFresh->Config.LocalPath),
                 qPrintable(journal.lbSource->text()));
        // The view asks for more as it reaches the end of what it has.
        for (int i = 0; i < 20 && journal.Model()->rowCount() < 600; ++i) {
            journal.tvRecords->scrollToBottom();
            QCoreApplication::processEvents();
        }
        QCOMPARE(journal.Model()->rowCount(), 600);
        QCOMPARE(journal.Model()->Record(599).Uid, FAll[599].Uid);
        QVERIFY(!journal.Model()->canFetchMore({}));
        // The first record is shown whole: verdict, checksum, faults.
        journal.tvRecords->setCurrentIndex(journal.Model()->index(0, 0)); // P-599: 599 % 7 = 4
        const QModelIndex faulty = journal.Model()->index(599 - 595, 0);  // P-595, faulty
        journal.tvRecords->setCurrentIndex(faulty);
        const QString shown = journal.tbRecord->toPlainText();
        QVERIFY2(shown.contains("P-595") && shown.contains("БРАК") &&
                     shown.contains("обрыв: XT1:a3 отсоединен от XP2:b5, XP2:b6") &&
                     shown.contains("замыкание: XT1:a3 — XT1:a4") &&
                     shown.contains(FAll[4].ReferenceSum),
                 qPrintable(shown));
        QCOMPARE(journal.Model()->data(journal.Model()->index(4, TJournalModel::colVerdict)),
                 QVariant("БРАК"));
        QCOMPARE(journal.Model()->data(journal.Model()->index(4, TJournalModel::colFaults)),
                 QVariant(2));
    }

    // A selected БРАК row keeps its verdict legible: the word stands in white on its red chip,
    // not in red on the selection's blue.
    void theVerdictReadsOnASelectedRow() {
        const auto luminance = [](const QColor& c) {
            const auto channel = [](double v) {
                return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
            };
            return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) +
                   0.0722 * channel(c.blueF());
        };
        for (bool good : {false, true}) {
            const double a = luminance(TVerdictDelegate::ChipColour(good));
            const double b = luminance(TVerdictDelegate::WordColour());
            QVERIFY((std::max(a, b) + 0.05) / (std::min(a, b) + 0.05) >= 4.5);
        }
        TfmJournal journal(FFresh->Config);
        journal.resize(900, 600);
        journal.show();
        journal.OpenDatabase();
        const QModelIndex faulty = journal.Model()->index(4, TJournalModel::colVerdict);
        QCOMPARE(journal.Model()->data(faulty), QVariant("БРАК"));
        journal.tvRecords->setCurrentIndex(faulty);
        journal.tvRecords->selectRow(4);
        QVERIFY(journal.tvRecords->selectionModel()->isRowSelected(4, {}));
        const QRect cell = journal.tvRecords->visualRect(faulty);
        const QImage shot = journal.tvRecords->viewport()->grab(cell).toImage();
        int chip = 0, word = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                chip += c == TVerdictDelegate::ChipColour(false);
                word += c == TVerdictDelegate::WordColour();
            }
        QVERIFY2(chip > cell.height() * 10 && word > 10,
                 qPrintable(QStringLiteral("chip %1, word %2 pixels").arg(chip).arg(word)));
    }

    void everyFilterOfTheWindow() {
        TfmJournal journal(FFresh->Config);
        journal.OpenDatabase();
        // The serial number typed and Enter: that harness alone.
        QTest::keyClicks(journal.edSerial, "P-42");
        QTest::keyClick(journal.edSerial, Qt::Key_Return);
        QCOMPARE(journal.Model()->Total(), 1);
        QCOMPARE(journal.Model()->Record(0).Serial, QString("P-42"));
        // Its beginning with a star: P-42, P-420..P-429.
        QTest::keyClicks(journal.edSerial, "*");
        QTest::keyClick(journal.edSerial, Qt::Key_Return);
        QCOMPARE(journal.Model()->Total(), 11);
        journal.edSerial->clear();
        // The verdict.
        journal.cbVerdict->setCurrentIndex(2);
        QCOMPARE(journal.Model()->Total(), 86); // 0, 7, ..., 595
        journal.cbVerdict->setCurrentIndex(1);
        QCOMPARE(journal.Model()->Total(), 514);
        journal.cbVerdict->setCurrentIndex(0);
        // The project and the operator, from what the records name.
        QCOMPARE(journal.cbProject->count(), 3); // all, K1.pvl, K2.pvl
        journal.cbProject->setCurrentText("K1.pvl");
        journal.ApplyFilter();
        QCOMPARE(journal.Model()->Total(), 300);
        journal.cbOperator->setCurrentText("Петров");
        journal.ApplyFilter();
        QCOMPARE(journal.Model()->Total(), 100); // odd and divisible by three
        journal.cbProject->setCurrentText(QString());
        // The station, and the station with the operator.
        QCOMPARE(journal.cbStation->count(), 3); // all, stand-3, stand-7
        journal.cbStation->setCurrentText("stand-7");
        journal.ApplyFilter();
        QCOMPARE(journal.Model()->Total(), 40); // divisible by fifteen
        journal.cbOperator->setCurrentText(QString());
        journal.ApplyFilter();
        QCOMPARE(journal.Model()->Total(), 120);
        journal.cbStation->setCurrentText(QString());
        // Days: the day before yesterday alone, then the last three days.
        journal.cbPeriod->setChecked(true);
        journal.deFrom->setDate(QDate::currentDate().addDays(-2));
        journal.deTo->setDate(QDate::currentDate().addDays(-2));
        QCOMPARE(journal.Model()->Total(), 100);
        QCOMPARE(journal.Model()->Record(0).Serial, QString("P-399"));
        journal.deTo->setDate(QDate::currentDate());
        QCOMPARE(journal.Model()->Total(), 300);
        journal.cbPeriod->setChecked(false);
        QCOMPARE(journal.Model()->Total(), 600);
        // Nothing found: nothing shown, nothing to export.
        journal.edSerial->setText("нет такого");
        journal.ApplyFilter();
        QCOMPARE(journal.Model()->Total(), 0);
        QVERIFY(journal.tbRecord->toPlainText().isEmpty());
        QVERIFY(!journal.btCsv->isEnabled());
    }

    void csvAndPdfOfWhatIsShown() {
        TfmJournal journal(FFresh->Config);
        journal.OpenDatabase();
        QTemporaryDir out(QDir::tempPath() + "/pinvel journal out XXXXXX");
        QStringList asked;
        journal.SaveDialog = [&](const QString& caption, const QString& suggested, const QString&) {
            asked << caption;
            return out.filePath(suggested);
        };
        journal.cbVerdict->setCurrentIndex(2);
        journal.btCsv->click();
        const QList<QByteArray> lines = ReadAll(out.filePath("journal.csv")).split('\n');
        QCOMPARE(lines.size(), 86 + 2);
        QVERIFY(lines[1].contains(",P-595,") && lines[1].contains(",БРАК,"));
        QVERIFY(!ReadAll(out.filePath("journal.csv")).contains("ГОДЕН"));

        journal.tvRecords->setCurrentIndex(journal.Model()->index(0, 0));
        journal.btPdfRecord->click();
        QVERIFY(QFile::exists(out.filePath("протокол P-595.pdf")));
        journal.btPdfList->click();
        QVERIFY(ReadAll(out.filePath("journal.pdf")).startsWith("%PDF"));
        QCOMPARE(asked.size(), 3);

        // A cancelled dialog writes nothing.
        journal.SaveDialog = [](const QString&, const QString&, const QString&) {
            return QString();
        };
        QFile::remove(out.filePath("journal.csv"));
        journal.btCsv->click();
        QVERIFY(!QFile::exists(out.filePath("journal.csv")));
    }

    void aSharedDatabaseThatDoesNotAnswerLeavesTheStationsOwn() {
        TRecordsConfig config = FFresh->Config;
        int port = 0;
        {
            QTcpServer closed;
            closed.listen(QHostAddress::LocalHost, 0);
            port = closed.serverPort();
        }
        config.SetSharedUrl(QStringLiteral("postgresql://qa@127.0.0.1:%1/records").arg(port));
        TfmJournal journal(config);
        journal.OpenDatabase();
        QVERIFY(journal.Database());
        QCOMPARE(journal.Database()->Kind(), TRecordsDatabase::TKind::Local);
        QCOMPARE(journal.Model()->Total(), 600);
        QVERIFY2(journal.lbSource->text().contains("недоступна") &&
                     journal.lbSource->text().contains(config.SharedUrl()),
                 qPrintable(journal.lbSource->text()));
    }

    void aListTooLongForAReportIsRefused() {
        TFreshDatabase big(false);
        {
            auto db = big.Open();
            std::vector<TTestRecord> many;
            for (int i = 0; i < 5001; ++i)
                many.push_back(Record(DaysAgo(1, i), QStringLiteral("B-%1").arg(i)));
            QVERIFY(db->Insert(many));
        }
        TfmJournal journal(big.Config);
        journal.OpenDatabase();
        QTemporaryDir out(QDir::tempPath() + "/pinvel journal out XXXXXX");
        journal.SaveDialog = [&](const QString&, const QString& suggested, const QString&) {
            return out.filePath(suggested);
        };
        QStringList said;
        SetAppMessageBoxHook([&](const QString& text, TMsgKind) {
            said << text;
            return TMsgAnswer::Ok;
        });
        journal.btPdfList->click();
        SetAppMessageBoxHook({});
        QCOMPARE(said.size(), 1);
        QVERIFY2(said[0].contains("5001") && said[0].contains("5000"), qPrintable(said[0]));
        QVERIFY(!QFile::exists(out.filePath("journal.pdf")));
        // One record less fits.
        journal.edSerial->setText("B-1*");
        journal.ApplyFilter();
        journal.btPdfList->click();
        QVERIFY(QFile::exists(out.filePath("journal.pdf")));
    }

    void theChainOfRecordsIsShownWholeOrBroken() {
        TFreshDatabase fresh(false);
        QStringList uids;
        {
            TRecordStore store(fresh.Config);
            for (int i = 0; i < 3; ++i) {
                TTestRecord r = Record(DaysAgo(1, i), QStringLiteral("C-%1").arg(i));
                QCOMPARE(store.Write(r), TWriteOutcome::Stored);
                uids << r.Uid;
            }
        }
        TfmJournal journal(fresh.Config);
        journal.show();
        journal.OpenDatabase();
        QTRY_VERIFY_WITH_TIMEOUT(journal.lbChain->text().contains("Цепочка записей цела"), 10000);
        {
            auto db = fresh.Open();
            QSqlQuery q(db->Connection());
            QVERIFY(q.exec("UPDATE records SET serial = 'C-X' WHERE uid = '" + uids[1] + "'"));
        }
        journal.btRefresh->click();
        QTRY_VERIFY_WITH_TIMEOUT(journal.lbChain->text().contains("нарушена"), 10000);
        QVERIFY2(journal.lbChain->text().contains("запись № 2"),
                 qPrintable(journal.lbChain->text()));
        QVERIFY(journal.lbChain->toolTip().contains(uids[1]));
    }

    // "Эталон записи": the wires a record was checked against, with who kept them; a record
    // older than the keeping of references says its reference is not there.
    void aRecordShowsItsReferenceWires() {
        TFreshDatabase fresh(false);
        {
            auto db = fresh.Open();
            TTestRecord old = Record(DaysAgo(1), QStringLiteral("R-old"));
            TTestRecord kept = Record(DaysAgo(0), QStringLiteral("R-kept"));
            kept.ReferenceWires = "from,to\nXT1:a1,XP2:a1\nXT1:a2,XP2:<b>\n";
            kept.ReferenceSum = TKeptReference::SumOf(kept.ReferenceWires);
            QVERIFY(db->Insert(std::vector<TTestRecord>{old, kept}));
        }
        TfmJournal journal(fresh.Config);
        journal.show();
        journal.OpenDatabase();
        QCOMPARE(journal.Model()->Total(), 2);
        QVERIFY(journal.btReference->isEnabled());
        journal.tvRecords->setCurrentIndex(journal.Model()->index(0, 0));
        QVERIFY(!journal.tbRecord->toPlainText().contains("Эталон записи"));
        journal.btReference->click();
        const QString shown = journal.tbRecord->toPlainText();
        QVERIFY2(shown.contains("R-kept") && shown.contains("Эталон записи") &&
                     shown.contains("впервые встречен в записи проверки: Иванов, станция "
                                    "stand-3") &&
                     shown.contains("Проводов: 2.") &&
                     shown.contains("from,to\nXT1:a1,XP2:a1\nXT1:a2,XP2:<b>"),
                 qPrintable(shown));
        journal.tvRecords->setCurrentIndex(journal.Model()->index(1, 0));
        journal.btReference->click();
        QVERIFY2(journal.tbRecord->toPlainText().contains("R-old") &&
                     journal.tbRecord->toPlainText().contains("нет в базе записей"),
                 qPrintable(journal.tbRecord->toPlainText()));
    }
};

QTEST_MAIN(TfmJournalTest)
#include "TfmJournalTest.moc"
