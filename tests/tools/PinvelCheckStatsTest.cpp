// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check stats over the hand-written journal: the figures of --json are those the window's
// models show for the same filter and breakdown, in the station's file and in PostgreSQL alike;
// bad arguments are refused with exit code 2.

#include "StatisticsJournal.h"
#include "TParetoModel.h"
#include "TStatisticsModel.h"
#include "ToolTestKit.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace ToolKit;

class PinvelCheckStatsTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel stats tool XXXXXX")};

    QString Path(const QString& name) const { return FDir.filePath(name); }

  private slots:
    void initTestCase() {
        QVERIFY(FDir.isValid());
        // The station's own file lives in the generic data folder: the test's own.
        qputenv("XDG_DATA_HOME", QFile::encodeName(Path("data home")));
        WriteFile(Path("empty.ini"), "");
    }

    void jsonIsWhatTheWindowShows_data() { RecordsKit::Backends(); }
    void jsonIsWhatTheWindowShows() {
        QFETCH(bool, shared);
        RECORDS_NEED_SERVER(shared);
        RecordsKit::TFreshDatabase fresh(shared);
        std::unique_ptr<TRecordsDatabase> db;
        QStringList where;
        if (shared) {
            db = fresh.Open();
            const QString ini = Path("shared.ini");
            WriteFile(ini, "[Records]\r\nDatabase=" + fresh.Config.SharedUrl().toUtf8() + "\r\n");
            where = {"--settings", ini};
        } else {
            QFile::remove(Path("data home/Pinvel/records.sqlite"));
            db = std::make_unique<TRecordsDatabase>(Path("data home/Pinvel/records.sqlite"));
            QVERIFY(db->Open());
            where = {"--local", "--settings", Path("empty.ini")};
        }
        QVERIFY(db->Insert(StatisticsJournal::Journal()));

        for (const TStatisticsGrouping by :
             {TStatisticsGrouping::Day, TStatisticsGrouping::Operator}) {
            const TRun run =
                RunTool("pinvel-check", QStringList{"stats", "--by", TStatistics::GroupingKey(by),
                                                    "--json", "--project", "жгут K1.pvl"} +
                                            where);
            QCOMPARE(run.Exit, 0);
            QVERIFY2(run.Err.isEmpty(), qPrintable(run.Err));
            const QJsonObject json = QJsonDocument::fromJson(run.Out.toUtf8()).object();

            TStatisticsModel model;
            TRecordFilter filter;
            filter.Project = QStringLiteral("жгут K1.pvl");
            model.SetGrouping(by);
            model.SetFilter(filter);
            model.SetDatabase(db.get());
            QVERIFY(model.Problem().isEmpty());
            const TStatistics& s = model.Statistics();
            // Worked out by hand: SN-1..SN-4, first ГОДЕН SN-2 and SN-3, last ГОДЕН SN-1, SN-3,
            // SN-4.
            QCOMPARE(json["checks"].toInteger(), 9);
            QCOMPARE(json["harnesses"].toInteger(), 4);
            QCOMPARE(json["first_pass_yield"].toDouble(), 50.0);
            QCOMPARE(json["final_yield"].toDouble(), 75.0);
            QCOMPARE(json["checks"].toInteger(), s.Checks);
            QCOMPARE(json["good"].toInteger(), s.Good);
            QCOMPARE(json["unnumbered"].toInteger(), s.Unnumbered);
            QCOMPARE(json["first_pass_good"].toInteger(), s.FirstPassGood);
            QCOMPARE(json["final_good"].toInteger(), s.FinalGood);

            const QJsonArray groups = json["groups"].toArray();
            QCOMPARE(groups.size(), model.rowCount());
            QVERIFY(model.rowCount() >= 2);
            const char* keys[TStatisticsModel::ColumnCount] = {
                "key", "checks", "good", "faulty", "harnesses", "first_pass_yield", "final_yield"};
            for (int row = 0; row < model.rowCount(); ++row)
                for (int column = 0; column < TStatisticsModel::ColumnCount; ++column) {
                    const QVariant shown =
                        model.index(row, column).data(TStatisticsModel::ValueRole);
                    QCOMPARE(groups[row].toObject()[keys[column]].toVariant().toString(),
                             shown.toString());
                }

            TParetoModel pareto;
            pareto.SetContacts(s.Contacts);
            const QJsonArray contacts = json["contacts"].toArray();
            QCOMPARE(contacts.size(), pareto.rowCount());
            QCOMPARE(contacts[0].toObject()["contact"].toString(), QStringLiteral("XT1:a3"));
            const char* columns[TParetoModel::ColumnCount] = {"contact", "checks", "share",
                                                              "cumulative", "watch_checks"};
            for (int row = 0; row < pareto.rowCount(); ++row)
                for (int column = 0; column < TParetoModel::ColumnCount; ++column)
                    QCOMPARE(contacts[row].toObject()[columns[column]].toVariant().toString(),
                             pareto.index(row, column).data(TParetoModel::ValueRole).toString());
            QCOMPARE(json["repeats"].toArray()[0].toObject()["serial"].toString(),
                     QStringLiteral("SN-1"));
        }

        // The same figures as CSV: a section a table, each with its header.
        const TRun csv = RunTool("pinvel-check", QStringList{"stats", "--csv"} + where);
        QCOMPARE(csv.Exit, 0);
        const QStringList lines = csv.Out.split('\n');
        QCOMPARE(lines[0], QStringLiteral("checks,good,faulty,unnumbered,harnesses,"
                                          "first_pass_good,final_good,first_pass_yield,"
                                          "final_yield"));
        QCOMPARE(lines[1], QStringLiteral("10,5,5,1,5,3,4,60.0,80.0"));
        QVERIFY(lines.contains(QStringLiteral("2026-12-02,5,3,2,2,1,2,50.0,100.0")));
        QVERIFY(lines.contains(QStringLiteral("XT1:a3,4,0,36.4,36.4")));
        QVERIFY(lines.contains(QStringLiteral("SN-1,2,3")));
    }

    void badArguments() {
        for (const QStringList& args :
             {QStringList{"stats", "--by", "month"}, QStringList{"stats", "--json", "--csv"},
              QStringList{"stats", "--from", "01.12.2026"}, QStringList{"stats", "--bogus"},
              QStringList{"stats", "--verdict", "хорошо"}, QStringList{"stats", "--by"}}) {
            const TRun run = RunTool("pinvel-check", args + QStringList{"--local"});
            QCOMPARE(run.Exit, 2);
            QVERIFY(run.Out.isEmpty());
            QVERIFY(!run.Err.isEmpty());
        }
        const TRun help = RunTool("pinvel-check", {"stats", "--help"});
        QCOMPARE(help.Exit, 0);
        QVERIFY(help.Out.contains("--by day|week|project|operator|station"));
    }
};

QTEST_GUILESS_MAIN(PinvelCheckStatsTest)
#include "PinvelCheckStatsTest.moc"
