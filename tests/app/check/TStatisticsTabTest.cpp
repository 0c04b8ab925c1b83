// SPDX-License-Identifier: GPL-3.0-or-later
// The journal's tab "Статистика" over the hand-written journal: the figures follow the journal's
// filter only once the tab is shown, picking a contact lists the records naming it, and the
// figures, the charts and the page go to CSV, JSON, PNG and PDF.

#include "TStatisticsTab.h"
#include "StatisticsJournal.h"
#include "TJournalModel.h"
#include "TParetoModel.h"
#include "TStatisticsModel.h"
#include "TfmJournal.h"

#include <QComboBox>
#include <QImage>
#include <QJsonDocument>
#include <QLabel>
#include <QTabWidget>
#include <QTableView>

namespace {
QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TStatisticsTabTest : public QObject {
    Q_OBJECT

  private slots:
    void figuresContactsAndExports() {
        RecordsKit::TFreshDatabase fresh(false);
        QVERIFY(fresh.Open()->Insert(StatisticsJournal::Journal()));
        TfmJournal journal(fresh.Config);
        journal.resize(1000, 700);
        journal.show();
        journal.OpenDatabase();
        TStatisticsTab* tab = journal.tsStatistics;
        // Behind the records' tab nothing is computed.
        QCOMPARE(tab->Model()->Statistics().Checks, 0);
        journal.tcPages->setCurrentWidget(tab);
        QCOMPARE(tab->Model()->Statistics().Checks, 10);
        QCOMPARE(tab->Model()->rowCount(), 3); // three days
        QVERIFY2(tab->lbSummary->text().contains("<b>5</b>"), qPrintable(tab->lbSummary->text()));

        // The journal's filter follows; the breakdown is the tab's own.
        journal.cbOperator->setCurrentText(QStringLiteral("Петров"));
        journal.ApplyFilter();
        QCOMPARE(tab->Model()->Statistics().Checks, 3);
        journal.cbOperator->setCurrentText(QString());
        journal.ApplyFilter();
        tab->cbBy->setCurrentIndex(tab->cbBy->findData(int(TStatisticsGrouping::Operator)));
        QCOMPARE(tab->Model()->rowCount(), 2);
        QCOMPARE(tab->Model()->index(1, TStatisticsModel::colKey).data().toString(),
                 QStringLiteral("Петров"));

        // "Обновить" counts the records written since.
        QVERIFY(journal.Database()->Insert(StatisticsJournal::Check(
            StatisticsJournal::Day3, {10, 0}, "SN-6", {TFault::Foreign({"XT1:a3"})})));
        journal.Refresh();
        QCOMPARE(tab->Model()->Statistics().Checks, 11);

        // XT1:a3 heads the Pareto list; picking it lists its five records, newest first.
        QCOMPARE(tab->Pareto()->Contact(0), QStringLiteral("XT1:a3"));
        tab->tvContacts->setCurrentIndex(tab->Pareto()->index(0, 0));
        QCOMPARE(tab->ContactRecords()->rowCount(), 5);
        QCOMPARE(tab->ContactRecords()->Record(0).Serial, QStringLiteral("SN-6")); // day 3
        QCOMPARE(tab->ContactRecords()->Record(1).Serial, QString());              // check 8, day 2
        QCOMPARE(tab->ContactRecords()->Record(4).Serial, QStringLiteral("SN-1"));
        tab->tvContacts->setCurrentIndex(tab->Pareto()->index(1, 0)); // XP2:b5
        QCOMPARE(tab->ContactRecords()->rowCount(), 1);

        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel statistics XXXXXX"));
        QString path;
        tab->SaveDialog = [&](const QString&, const QString& suggested, const QString&) {
            return path = dir.filePath(suggested);
        };
        tab->ExportJson();
        QCOMPARE(QJsonDocument::fromJson(ReadAll(path)).object(),
                 tab->Model()->Statistics().ToJson());
        tab->ExportCsv();
        QVERIFY(ReadAll(path).startsWith("checks,good,faulty,"));
        tab->ExportPng();
        const QImage charts(path);
        QCOMPARE(charts.size(), QSize(900, 720));
        // Drawn, not blank: the Pareto chart's red bars are there.
        bool red = false;
        for (int y = 360; y < 720 && !red; y += 2)
            for (int x = 0; x < 900 && !red; x += 2)
                red = charts.pixelColor(x, y) == QColor(192, 0, 0);
        QVERIFY(red);
        tab->ExportPdf();
        QVERIFY(ReadAll(path).startsWith("%PDF"));
        QVERIFY(ReadAll(path).size() > 10000); // the charts' picture is in it
        // Cancel writes nothing.
        tab->SaveDialog = [](const QString&, const QString&, const QString&) { return QString(); };
        QFile::remove(dir.filePath("statistics.csv"));
        tab->ExportCsv();
        QVERIFY(!QFile::exists(dir.filePath("statistics.csv")));
    }
};

QTEST_MAIN(TStatisticsTabTest)
#include "TStatisticsTabTest.moc"
