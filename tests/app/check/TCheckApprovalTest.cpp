// SPDX-License-Identifier: GPL-3.0-or-later
// The approval of references in the main window with the library's simulated unit: the entry
// beside the reference's, the supervisor's name and PIN asked, a wrong PIN refused and said,
// [Check] RequireApproval refusing verify and continuous verify until a supervisor approves, the
// state shown beside the verdict, and each record saying whether its reference was approved.

#include "TCheckApproval.h"
#include "CheckWindowTestKit.h"
#include "MainWindowTestKit.h"
#include "TCheckController.h"
#include "TCheckResultsPanel.h"
#include "TIniFile.h"
#include "TRecordFilter.h"
#include "TRecordsDatabase.h"
#include "TSupervisors.h"
#include "TWireList.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>

using namespace MainWindowTestKit;

namespace {
const QString Refusal =
    QStringLiteral("Эталон не утвержден: проверка невозможна. Обратитесь к мастеру.");

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}
} // namespace

class TCheckApprovalTest : public QObject {
    Q_OBJECT
    TScript* FScript = nullptr;

    QString Records() const {
        return FScript->Dir.filePath(QStringLiteral("data/Pinvel/records.sqlite"));
    }

    // The window on the test project with its good wire list, the settings' [Check] given.
    std::unique_ptr<TfmMain> Open(TScript& script, bool required, QString& supervisor, QString& pin,
                                  int& asked) {
        FScript = &script;
        qputenv("XDG_DATA_HOME", QFile::encodeName(script.Dir.filePath(QStringLiteral("data"))));
        const QString project = script.Dir.filePath(QStringLiteral("проект 2.pvl"));
        const QString harness = script.Dir.filePath(QStringLiteral("жгут.json"));
        TIniFile ini(script.Dir.filePath(QStringLiteral("pinvel.ini")));
        ini.WriteInteger("Device", "SimReplyUs", 0);
        ini.WriteInteger("Check", "RequireApproval", required ? 1 : 0);
        if (!WriteProject(project) || !WriteHarness(harness) || !ini.Save() ||
            !WriteFile(TWireList::PathFor(project), GoodWires()))
            qFatal("cannot write the project");
        TfmMainOptions o = script.Options();
        o.DeviceHarness = QFile::encodeName(harness);
        o.ApproveDialog = [&](QString& name, QString& code) {
            ++asked;
            name = supervisor;
            code = pin;
            return !pin.isEmpty();
        };
        auto window = std::make_unique<TfmMain>(o);
        if (!window->Started() || !window->IsTesterMode())
            qFatal("the window did not start in the tester mode");
        window->LastFileClick(project);
        return window;
    }

    // A supervisor in the station's records file (a cheap hash: the window checks any cost).
    void AddSupervisor(const QString& name, const QString& pin) {
        TRecordsDatabase db(Records());
        QVERIFY(db.Open());
        QVERIFY(TSupervisors(db, TPinCost::Minimal).Add(name, pin));
    }

    // Every record of the station's file, newest first.
    std::vector<TTestRecord> RecordsWritten(int count) {
        std::vector<TTestRecord> rows;
        (void)QTest::qWaitFor(
            [&] {
                TRecordsDatabase db(Records());
                rows = db.Open() ? db.Page({}, nullptr, 100) : std::vector<TTestRecord>{};
                return int(rows.size()) >= count;
            },
            10000);
        return rows;
    }

  private slots:
    void requiredApprovalRefusesUntilASupervisorApproves() {
        TScript script;
        QString supervisor = QStringLiteral("Петров П.");
        QString pin;
        int asked = 0;
        std::unique_ptr<TfmMain> w = Open(script, true, supervisor, pin, asked);
        TCheckController& check = *w->Check();
        TCheckApproval& approval = *w->Approval();
        QVERIFY(approval.Required());
        // Beside the reference's own entry.
        const QList<QAction*> menu = check.Menu()->actions();
        QCOMPARE(menu.indexOf(approval.acApprove), menu.indexOf(check.acReference) + 1);
        QCOMPARE(approval.acApprove->text(), QStringLiteral("Утвердить эталон..."));
        AddSupervisor(supervisor, QStringLiteral("2468"));

        // No approval: neither verify nor continuous verify, and no serial number asked.
        check.Verify();
        QVERIFY(!check.Busy());
        QCOMPARE(script.Texts(), QStringList{Refusal});
        QCOMPARE(script.HarnessAsked, 0);
        QCOMPARE(check.Panel()->ApprovalLabel()->text(), QStringLiteral("Эталон не утвержден"));
        check.acWatch->trigger();
        QVERIFY(!check.Busy());
        QVERIFY(!check.acWatch->isChecked());
        QCOMPARE(script.Texts().size(), 2);
        QCOMPARE(script.Texts().last(), Refusal);

        // A wrong PIN: said, nothing approved.
        pin = QStringLiteral("1357");
        approval.acApprove->trigger();
        QCOMPARE(asked, 1);
        QVERIFY2(
            script.Texts().last().startsWith("Неверный PIN. Осталось попыток до блокировки: 4"),
            qPrintable(script.Texts().last()));
        check.Verify();
        QVERIFY(!check.Busy());
        QCOMPARE(script.Texts().last(), Refusal);

        // The right one: approved, and the verify runs, its record saying so.
        pin = QStringLiteral("2468");
        approval.acApprove->trigger();
        QVERIFY2(script.Texts().last().startsWith("Эталон утвержден: Петров П., "),
                 qPrintable(script.Texts().last()));
        const int said = int(script.Messages.size());
        check.Verify();
        QVERIFY(QTest::qWaitFor([&] { return !check.Busy(); }, 20000));
        QCOMPARE(int(script.Messages.size()), said);
        QCOMPARE(check.Panel()->Verdict(), QStringLiteral("ГОДЕН"));
        QVERIFY(check.Panel()->ApprovalLabel()->isVisible() ||
                !check.Panel()->isVisible()); // shown with the panel
        QVERIFY2(check.Panel()->ApprovalLabel()->text().startsWith(
                     "Эталон утвержден: Петров П., " + QDate::currentDate().toString(Qt::ISODate)),
                 qPrintable(check.Panel()->ApprovalLabel()->text()));
        const std::vector<TTestRecord> records = RecordsWritten(1);
        QCOMPARE(records.size(), std::size_t(1));
        QVERIFY(records[0].ReferenceApproved);
        // Remembered for next time: the supervisor's name, never the PIN.
        w.reset();
        TIniFile settings(script.Dir.filePath(QStringLiteral("pinvel.ini")));
        QVERIFY(settings.Load());
        QCOMPARE(settings.ReadString("Check", "Supervisor", ""), QStringLiteral("Петров П."));
        QVERIFY(!ReadAll(script.Dir.filePath(QStringLiteral("pinvel.ini"))).contains("2468"));
    }

    void withoutTheSettingTheRecordSaysNotApproved() {
        TScript script;
        QString supervisor;
        QString pin;
        int asked = 0;
        std::unique_ptr<TfmMain> w = Open(script, false, supervisor, pin, asked);
        TCheckController& check = *w->Check();
        QVERIFY(!w->Approval()->Required());
        check.Verify();
        QVERIFY(QTest::qWaitFor([&] { return !check.Busy(); }, 20000));
        QCOMPARE(check.Panel()->Verdict(), QStringLiteral("ГОДЕН"));
        QCOMPARE(check.Panel()->ApprovalLabel()->text(), QStringLiteral("Эталон не утвержден"));
        QVERIFY(script.Texts().isEmpty());
        const std::vector<TTestRecord> records = RecordsWritten(1);
        QCOMPARE(records.size(), std::size_t(1));
        QVERIFY(!records[0].ReferenceApproved);
        // Cancel in the dialog: nothing asked of the database, nothing said.
        w->Approval()->acApprove->trigger();
        QCOMPARE(asked, 1);
        QVERIFY(script.Texts().isEmpty());
    }

  private:
    static QByteArray ReadAll(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

QTEST_MAIN(TCheckApprovalTest)
#include "TCheckApprovalTest.moc"
