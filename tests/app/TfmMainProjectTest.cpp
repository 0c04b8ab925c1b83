// SPDX-License-Identifier: GPL-3.0-or-later
#include "MainWindowTestKit.h"
#include "TIniFile.h"
#include "TProjectFile.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TToolRun.h"
#include "TUSBHardWork.h"
#include "TUnitProcess.h"
#include "TWorkPlace.h"
#include "TfmSootv.h"
#include "TfmStartUp.h"

#include "TPinGrid.h"
#include "TRazemRecord.h"
#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// In the constructor opened for editing: one cell of the row table takes a text, then OK.
std::function<int(TfmConstr&)> RowCell(int row, int column, const QString& text) {
    return [=](TfmConstr& d) {
        d.sgRowInfo->SetCells(column, row, text);
        d.btOKClick();
        return d.result();
    };
}

// What the grids of "Соответствия" show, cell by cell: "X1 c5" -> "XT1:a1 | XP2:b3".
QMap<QString, QString> GridTexts(TfmMain& w) {
    QMap<QString, QString> out;
    for (int grid = 1; grid <= 2; ++grid) {
        const TPinGrid* pins = grid == 1 ? w.fmSootv()->GridX1() : w.fmSootv()->GridX2();
        for (int c = 1; c < TPinGrid::Cols; ++c)
            for (int r = 1; r < TPinGrid::Rows; ++r)
                if (!pins->Cell(c, r).isEmpty())
                    out.insert(QStringLiteral("X%1 %2%3").arg(grid).arg(QChar(u'a' + 3 - r)).arg(c),
                               pins->Cell(c, r));
    }
    return out;
}

// The same from the table alone, as the tester and the saved file see it.
QMap<QString, QString> TableTexts(const std::vector<const TSootvData*>& records,
                                  const QStringList& razemNames) {
    QMap<QString, QString> out;
    for (const TSootvData* d : records) {
        QStringList parts;
        for (int i = 0; i < d->Count(); ++i)
            parts << razemNames.value(d->FRazemIndexes[std::size_t(i)]) + QLatin1Char(':') +
                         d->FNames[std::size_t(i)];
        out.insert(
            QStringLiteral("X%1 %2%3").arg(d->FGrid).arg(QChar(u'a' + 3 - d->FRow)).arg(d->FCol),
            parts.join(QLatin1String(" | ")));
    }
    return out;
}

// Every entry names the contact at its position, that contact shows tied, no other contact
// does, and the grids show the table.
void CheckWiring(TfmMain& w) {
    TWorkPlace& wp = *w.WorkPlace();
    const TSootv& sootv = *w.Sootv();
    QSet<QString> named;
    QStringList razemNames;
    std::vector<const TSootvData*> records;
    for (int i = 0; i < wp.Count(); ++i)
        razemNames << wp.Razem(i)->FRazName;
    for (int k = 0; k < sootv.Count(); ++k) {
        const TSootvData& d = sootv.Item(k);
        records.push_back(&d);
        for (int e = 0; e < d.Count(); ++e) {
            const TRazem* r = wp.Razem(d.FRazemIndexes[std::size_t(e)]);
            QVERIFY(r != nullptr);
            const TCellPos at = d.FContacts[std::size_t(e)];
            QVERIFY2(at.Col < r->ColCount() && at.Row < r->RowCount(),
                     qPrintable(d.FNames[std::size_t(e)]));
            QCOMPARE(r->ContactName(at.Col, at.Row), d.FNames[std::size_t(e)]);
            named.insert(QStringLiteral("%1/%2/%3").arg(r->FIndex).arg(at.Col).arg(at.Row & ~1));
        }
    }
    for (int i = 0; i < wp.Count(); ++i) {
        const TRazem& r = *wp.Razem(i);
        for (int c = 0; c < r.ColCount(); ++c)
            for (int g = 0; g < r.RowCount(); g += 2) {
                const bool tied = r.FCells[c][g].State == TContactState::csTied;
                QVERIFY2(tied == named.contains(QStringLiteral("%1/%2/%3").arg(i).arg(c).arg(g)),
                         qPrintable(r.FRazName + QLatin1Char(':') + r.ContactName(c, g)));
            }
    }
    QCOMPARE(GridTexts(w), TableTexts(records, razemNames));
}

} // namespace

class TfmMainProjectTest : public QObject {
    Q_OBJECT
  private slots:
    // "Параметры" on connectors with ties: the grids, the tester, the saved file and the
    // command-line wiring list agree afterwards, and after the file is read again.
    void editsKeepTheWiringTrue() {
        TScript s;
        TfmMain w(s.Options());
        w.LastFileClick(qEnvironmentVariable("PINVEL_TEST_DATA") + "/demo-harness.pvl");
        w.acChangeMode->trigger();
        QVERIFY(!w.IsTesterMode());
        TWorkPlace& wp = *w.WorkPlace();
        QCOMPARE(wp.Razem(0)->FRazName, QStringLiteral("XT1"));
        const int ties = w.Sootv()->Count();

        // Row 1 of XT1 numbered from 2: a1 is gone, its pin is free; a2 is the first contact.
        wp.Select(0);
        s.Answers = {TMsgAnswer::Yes};
        s.Constr = RowCell(1, TfmConstr::ColFirstNum, QStringLiteral("2"));
        w.acRazEdit->trigger();
        CheckWiring(w);
        QCOMPARE(w.Sootv()->Count(), ties - 1);
        QVERIFY(!GridTexts(w).contains(QStringLiteral("X1 a1")));
        QCOMPARE(GridTexts(w).value(QStringLiteral("X1 a2")), QStringLiteral("XT1:a2"));
        QCOMPARE(wp.Razem(0)->ContactName(0, 0), QStringLiteral("a2"));
        QCOMPARE(wp.Razem(0)->FCells[0][0].State.load(), TContactState::csTied);

        // "Первый контакт" of row 2 of XP2 moves to position 3.
        wp.Select(1);
        s.Answers = {TMsgAnswer::Yes};
        s.Constr = RowCell(2, TfmConstr::ColFirst, QStringLiteral("3"));
        w.acRazEdit->trigger();
        CheckWiring(w);

        // A hand-renamed tied contact, then another size class: the generated name comes back
        // and the hand-given name's tie goes.
        TRazem& xt1 = *wp.Razem(0);
        const int n = xt1.FCells[1][0].NameIndex;
        const QString old = xt1.FNameList[n];
        xt1.FNameList[n] = QStringLiteral("GND");
        for (int k = 0; k < w.Sootv()->Count(); ++k) {
            TSootvData& d = w.Sootv()->Item(k);
            for (int e = 0; e < d.Count(); ++e)
                if (d.FRazemIndexes[std::size_t(e)] == 0 && d.FNames[std::size_t(e)] == old)
                    d.FNames[std::size_t(e)] = QStringLiteral("GND");
        }
        wp.Select(0);
        s.Answers = {TMsgAnswer::Yes};
        s.Constr = [](TfmConstr& d) {
            d.SetButtSize(2);
            d.btOKClick();
            return d.result();
        };
        w.acRazEdit->trigger();
        QCOMPARE(xt1.FButtSize, 2);
        CheckWiring(w);

        // A mode round trip, with the tester driving what the grids show.
        w.acChangeMode->trigger();
        QVERIFY(w.IsTesterMode());
        CheckWiring(w);
        w.acChangeMode->trigger();
        CheckWiring(w);
        const QMap<QString, QString> shown = GridTexts(w);

        // Saved and read back: the same wiring, and the command-line list says the same.
        const QString path = s.Dir.filePath(QStringLiteral("edited harness.pvl"));
        s.Files = {path};
        w.acSaveAs->trigger();
        QVERIFY(QFile::exists(path));
        const TProjectFile saved = TProjectFile::Read([&] {
            QFile f(path);
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }());
        QStringList names;
        std::vector<const TSootvData*> records;
        for (const TRazemRecord& r : saved.Razems)
            names << r.Name;
        for (const TSootvData& d : saved.Sootv)
            records.push_back(&d);
        QCOMPARE(TableTexts(records, names), shown);

        const TToolRun tool =
            TToolRun::Run(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-file"),
                          {QStringLiteral("wiring"), path});
        QCOMPARE(tool.ExitCode, 0);
        QMap<QString, QString> listed;
        const QStringList lines =
            QString::fromUtf8(tool.Out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        for (const QString& line : lines.mid(1)) {
            const QStringList f = line.split(QLatin1Char(','));
            listed.insert(QStringLiteral("%1 %2%3").arg(f[0], f[1], f[2]), f[4]);
        }
        QCOMPARE(listed, shown);

        s.Messages.clear();
        w.LastFileClick(path);
        QVERIFY2(s.Messages.empty(), qPrintable(s.Texts().join(QLatin1Char('\n'))));
        CheckWiring(w);
        QCOMPARE(GridTexts(w), shown);
    }

    // After "Нет" to the save question, the new or opened project is unchanged: closing asks
    // nothing.
    void answeredQuestionLeavesTheNextProjectUnchanged() {
        TScript s;
        TfmMain w(s.Options());
        w.acChangeMode->trigger();
        s.Constr = Connector(1, 2);
        w.acRazAdd->trigger();
        QVERIFY(w.WorkPlace()->Modified);

        s.Answers = {TMsgAnswer::No};
        s.Constr = Connector(1, 3);
        w.acNew->trigger();
        QCOMPARE(s.Texts(), QStringList{QStringLiteral("Сохранить изменения в текущем файле?")});
        QCOMPARE(w.WorkPlace()->Count(), 1);
        QVERIFY(w.WorkPlace()->Modified); // the new connector itself is a change
        const QString path = s.Dir.filePath(QStringLiteral("x.pvl"));
        s.Files = {path};
        w.acSave->trigger();
        w.WorkPlace()->Razem(0)->SetLeft(200);
        w.WorkPlace()->Modified = true;

        s.Messages.clear();
        s.Answers = {TMsgAnswer::No};
        s.Files = {path};
        w.acLoad->trigger();
        QCOMPARE(s.Messages.size(), std::size_t(1));
        QCOMPARE(w.WorkPlace()->Count(), 1);
        QVERIFY(!w.WorkPlace()->Modified);

        s.Answers = {TMsgAnswer::No};
        w.WorkPlace()->Modified = true;
        w.LastFileClick(path);
        QVERIFY(!w.WorkPlace()->Modified);
        s.Messages.clear();
        QVERIFY(w.close());
        QVERIFY(s.Messages.empty());
    }

    // A peer that takes the connection and never answers the hello: the start-up waits for it off
    // the window's thread (the program answers meanwhile), the splash is painted before and gone
    // before the warning, which carries the library's reason and the settings it could not take.
    void startUpAwaitsTheUnitOffTheWindowThread() {
        const int silent = ::socket(AF_INET, SOCK_STREAM, 0);
        QVERIFY(silent >= 0);
        auto closeSilent = qScopeGuard([silent] { ::close(silent); });
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        QVERIFY(::bind(silent, reinterpret_cast<sockaddr*>(&address), length) == 0);
        QVERIFY(::listen(silent, 4) == 0); // the handshake completes; nothing is ever read
        QVERIFY(::getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length) == 0);

        TScript s;
        {
            TIniFile ini(s.Dir.filePath(QStringLiteral("pinvel.ini")));
            ini.WriteString(QStringLiteral("Device"), QStringLiteral("ReplyTimeoutMs"),
                            QStringLiteral("abc"));
            QVERIFY(ini.Save());
        }
        TfmMainOptions o = s.Options();
        o.DeviceLink = QByteArray("tcp:127.0.0.1:") + QByteArray::number(ntohs(address.sin_port));
        bool splashAtWarning = true;
        SetAppMessageBoxHook([&](const QString& text, TMsgKind kind) {
            s.Messages.push_back({text, kind});
            splashAtWarning = false;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* splash = qobject_cast<TfmStartUp*>(top); splash && splash->isVisible())
                    splashAtWarning = true;
            return TMsgAnswer::Ok;
        });
        int ticks = 0;
        bool splashPainted = false;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] {
            ++ticks;
            for (QWidget* top : QApplication::topLevelWidgets())
                if (auto* splash = qobject_cast<TfmStartUp*>(top))
                    splashPainted = splashPainted || splash->Painted();
        });
        ticker.start(20);
        TfmMain w(o);
        ticker.stop();
        QVERIFY(w.Started());
        QVERIFY2(ticks >= 20, qPrintable(QString::number(ticks))); // a second of hello, served
        QVERIFY(splashPainted);
        QVERIFY(!splashAtWarning);
        QCOMPARE(s.Messages.size(), std::size_t(1));
        const QStringList lines = s.Messages[0].Text.split(QLatin1Char('\r'));
        QCOMPARE(lines.value(0), QStringLiteral("Не удалось инициализировать устройство. Работа в "
                                                "режиме тестера невозможна!"));
        QVERIFY2(lines.value(2).contains(QStringLiteral("не ответил за 1000 мс")),
                 qPrintable(lines.value(2)));
        QCOMPARE(lines.value(3), QStringLiteral("ReplyTimeoutMs=abc: ожидалось число от 50 до "
                                                "60000, взято 1000"));
        QVERIFY(!w.acChangeMode->isEnabled());

        // "Проверить соединение" tells the same reason.
        s.Messages.clear();
        w.N15->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(s.Messages.size(), std::size_t(1), 5000);
        QVERIFY2(s.Messages[0].Text.contains(QStringLiteral("не ответил за 1000 мс")),
                 qPrintable(s.Messages[0].Text));
    }

    // A unit that stops answering with a long reply time-out: the window goes on serving its
    // events, and leaving the tester mode, a reboot and closing each take far less than the
    // time-out; the editor's changes never meet a pass that was still waiting.
    void silentUnitNeverFreezesTheWindow() {
        // The emulator answers three commands of each connection, then nothing.
        TUnitProcess unit(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-unit"),
                          {QStringLiteral("--drop-after"), QStringLiteral("3")});
        const int port = unit.Start(0);
        QVERIFY(port > 0);
        TScript s;
        TfmMainOptions o = s.Options();
        o.DeviceLink = QByteArray("tcp:127.0.0.1:") + QByteArray::number(port);
        o.DeviceReplyTimeoutMs = 20000;
        auto w = std::make_unique<TfmMain>(o);
        QVERIFY(w->IsTesterMode());
        w->LastFileClick(qEnvironmentVariable("PINVEL_TEST_DATA") + "/demo-harness.pvl");
        QVERIFY(s.Messages.empty());
        w->plCicleClick();
        QTRY_VERIFY(w->Hard()->WaitsForUnit());

        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&] { ++ticks; });
        ticker.start(10);
        QTest::qWait(300);
        QVERIFY2(ticks >= 10, qPrintable(QString::number(ticks)));

        QElapsedTimer clock;
        clock.start();
        w->acChangeMode->trigger();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!w->IsTesterMode());
        QVERIFY(w->Hard()->IsResting());
        QVERIFY2(s.Messages.empty(), qPrintable(s.Texts().join(QLatin1Char('\n'))));
        // The editor changes what a late reply would have been painted on.
        w->WorkPlace()->Select(0);
        s.Answers = {TMsgAnswer::Yes};
        w->acRazDelete->trigger();
        QCOMPARE(w->WorkPlace()->Count(), 1);
        QTest::qWait(100);

        // Back in the tester mode the unit is reached on a new connection.
        s.Messages.clear();
        const std::uint64_t passes = w->Hard()->Passes();
        w->acChangeMode->trigger();
        QVERIFY(w->IsTesterMode());
        QTRY_VERIFY(w->Hard()->Passes() > passes);
        w->plCicleClick();
        QTRY_VERIFY(w->Hard()->WaitsForUnit());

        // The reboot does not wait behind the worker; the worker then asks about the unit.
        s.Answers = {TMsgAnswer::Yes, TMsgAnswer::No};
        clock.restart();
        w->N16->trigger();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QTRY_COMPARE(s.Messages.size(), std::size_t(2));
        QVERIFY(s.Messages[1].Text.startsWith(QStringLiteral("Произошла ошибка")));

        // Closing while the worker waits.
        w->Hard()->Resume();
        QTRY_VERIFY(w->Hard()->WaitsForUnit());
        s.Answers = {TMsgAnswer::No}; // the deletion is not saved
        clock.restart();
        QVERIFY(w->close());
        w.reset();
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(ticks > 0);
    }
};

QTEST_MAIN(TfmMainProjectTest)
#include "TfmMainProjectTest.moc"
