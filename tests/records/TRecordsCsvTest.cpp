// SPDX-License-Identifier: GPL-3.0-or-later
// The CSV of the records, byte by byte against its documented columns; its export in pages
// through a temporary file; and the journal's model, column by column.

#include "TRecordsCsv.h"
#include "RecordsTestKit.h"
#include "TJournalModel.h"

using namespace RecordsKit;

class TRecordsCsvTest : public QObject {
    Q_OBJECT
  private slots:
    void fieldsAreQuotedOnlyWhenTheyMustBe() {
        QCOMPARE(TRecordsCsv::Field("SN-1 жгут"), QByteArray("SN-1 жгут"));
        QCOMPARE(TRecordsCsv::Field("a,b"), QByteArray("\"a,b\""));
        QCOMPARE(TRecordsCsv::Field("say \"hi\""), QByteArray("\"say \"\"hi\"\"\""));
        QCOMPARE(TRecordsCsv::Field("two\nlines"), QByteArray("\"two\nlines\""));
        QCOMPARE(TRecordsCsv::Field("cr\r"), QByteArray("\"cr\r\""));
        QCOMPARE(TRecordsCsv::Field(QString()), QByteArray());
        // What a spreadsheet would run as a formula stays text; the same signs inside do not.
        QCOMPARE(TRecordsCsv::Field("=HYPERLINK(\"x\")"), QByteArray("\"'=HYPERLINK(\"\"x\"\")\""));
        QCOMPARE(TRecordsCsv::Field("+1"), QByteArray("'+1"));
        QCOMPARE(TRecordsCsv::Field("-5"), QByteArray("'-5"));
        QCOMPARE(TRecordsCsv::Field("@SUM(A1)"), QByteArray("'@SUM(A1)"));
        QCOMPARE(TRecordsCsv::Field("\tx"), QByteArray("'\tx"));
        QCOMPARE(TRecordsCsv::Field("SN=1-2+3@"), QByteArray("SN=1-2+3@"));
    }

    void aLineHasEveryColumnInItsPlace() {
        QCOMPARE(TRecordsCsv::Header(),
                 QByteArray("time,station,operator,serial,project,project_path,reference_sha256,"
                            "verdict,mode,scans,fault_count,faults,reference_approved,id\n"));
        const QDateTime local(QDate(2026, 12, 7), QTime(14, 3, 12, 999));
        TTestRecord r = Record(local.toMSecsSinceEpoch(), "SN,7", false, "/p/K1.pvl", "Ли");
        r.Mode = TTestRecord::TMode::Watch;
        r.Scans = 42;
        r.Uid = "0d9e";
        QCOMPARE(TRecordsCsv::Line(r),
                 QByteArray("2026-12-07 14:03:12,stand-3,Ли,\"SN,7\",K1.pvl,/p/K1.pvl,") +
                     r.ReferenceSum.toLatin1() +
                     QByteArray(",БРАК,watch,42,2,\"обрыв: XT1:a3 отсоединен от XP2:b5, XP2:b6 | "
                                "замыкание: XT1:a3 — XT1:a4\",0,0d9e\n"));
        TTestRecord good = Record(local.toMSecsSinceEpoch(), "G");
        QVERIFY(TRecordsCsv::Line(good).contains(",ГОДЕН,verify,1,0,,"));
        good.ReferenceApproved = true;
        QVERIFY(TRecordsCsv::Line(good).endsWith(",,1," + good.Uid.toLatin1() + "\n"));
    }

    void theExportTakesEveryRecordOfTheFilterInPages() {
        TFreshDatabase fresh(false);
        auto db = fresh.Open();
        std::vector<TTestRecord> all;
        // More than one page of the export, many on the same moment.
        for (int i = 0; i < 4500; ++i)
            all.push_back(Record(1000000 + i / 3, QStringLiteral("E%1").arg(i % 2), i % 9 != 0));
        QVERIFY(db->Insert(all));
        const QString path = fresh.Folder() + "/out put.csv";
        int count = 0;
        QString error;
        TRecordFilter f;
        f.Serial = "E1";
        QVERIFY2(TRecordsCsv::Export(*db, f, path, &count, &error), qPrintable(error));
        QCOMPARE(count, 2250);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size(), 2250 + 2);
        QSet<QByteArray> ids;
        int faulty = 0;
        for (int i = 1; i <= 2250; ++i) {
            QVERIFY(lines[i].contains(",E1,"));
            ids.insert(lines[i].split(',').last());
            faulty += lines[i].contains(",БРАК,") ? 1 : 0;
        }
        QCOMPARE(ids.size(), 2250); // none twice, none left out
        int expected = 0;
        for (int i = 0; i < 4500; ++i)
            expected += (i % 2 == 1 && i % 9 == 0) ? 1 : 0;
        QCOMPARE(faulty, expected);
        // A place that cannot be written: said, and the earlier export stays whole.
        QVERIFY(!TRecordsCsv::Export(*db, f, fresh.Folder() + "/no folder/x.csv", &count, &error));
        QVERIFY(!error.isEmpty());
    }

    void theModelShowsEveryColumn() {
        TFreshDatabase fresh(false);
        auto db = fresh.Open();
        const QDateTime local(QDate(2026, 3, 4), QTime(5, 6, 7));
        TTestRecord r = Record(local.toMSecsSinceEpoch(), "M-1", false, "/q/K9.pvl", "Ким");
        r.Scans = 17;
        QVERIFY(db->Insert(r));
        TJournalModel model;
        model.SetDatabase(db.get());
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.columnCount(), int(TJournalModel::ColumnCount));
        const auto cell = [&](int column) { return model.data(model.index(0, column)); };
        QCOMPARE(cell(TJournalModel::colTime).toString(), QString("2026-03-04 05:06:07"));
        QCOMPARE(cell(TJournalModel::colSerial).toString(), QString("M-1"));
        QCOMPARE(cell(TJournalModel::colVerdict).toString(), QString("БРАК"));
        QCOMPARE(cell(TJournalModel::colFaults).toInt(), 2);
        QCOMPARE(cell(TJournalModel::colProject).toString(), QString("K9.pvl"));
        QCOMPARE(cell(TJournalModel::colOperator).toString(), QString("Ким"));
        QCOMPARE(cell(TJournalModel::colStation).toString(), QString("stand-3"));
        QCOMPARE(cell(TJournalModel::colScans).toInt(), 17);
        QCOMPARE(model.data(model.index(0, TJournalModel::colProject), Qt::ToolTipRole).toString(),
                 QString("/q/K9.pvl"));
        QCOMPARE(model.data(model.index(0, 0), TJournalModel::GoodRole).toBool(), false);
        QStringList headers;
        for (int c = 0; c < model.columnCount(); ++c)
            headers << model.headerData(c, Qt::Horizontal).toString();
        QCOMPARE(headers, QStringList({"Время", "Серийный номер", "Результат", "Неисправностей",
                                       "Проект", "Оператор", "Станция", "Проверок"}));
        QVERIFY(!model.data(model.index(0, TJournalModel::ColumnCount)).isValid());
        // A database gone: nothing listed, the reason kept.
        model.SetDatabase(nullptr);
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.Total(), 0);
    }

    void theModelReadsOnExactlyWhileMoreIsThere() {
        TFreshDatabase fresh(false);
        auto db = fresh.Open();
        const int page = TJournalModel::PageSize;
        // Two pages of "ONE", half of them by Ким; one record of "TWO".
        std::vector<TTestRecord> all;
        for (int i = 0; i < 2 * page + 1; ++i)
            all.push_back(Record(i * 1000, i < 2 * page ? "ONE" : "TWO", true, "/q/K9.pvl",
                                 i % 2 != 0 ? "Ким" : "Ли"));
        QVERIFY(db->Insert(all));
        TJournalModel model;
        model.SetDatabase(db.get());
        // Exactly one page (the operator as typed, spaces and all): nothing more to ask for.
        TRecordFilter f;
        f.Operator = QStringLiteral("  Ким ");
        model.SetFilter(f);
        QCOMPARE(model.Total(), page);
        QCOMPARE(model.rowCount(), page);
        QVERIFY(!model.canFetchMore({}));
        // Exactly two pages: the second read on, then nothing more.
        f = {};
        f.Serial = QStringLiteral("ONE");
        model.SetFilter(f);
        QCOMPARE(model.rowCount(), page);
        QVERIFY(model.canFetchMore({}));
        model.fetchMore({});
        QCOMPARE(model.rowCount(), 2 * page);
        QVERIFY(!model.canFetchMore({}));
    }
};

QTEST_GUILESS_MAIN(TRecordsCsvTest)
#include "TRecordsCsvTest.moc"
