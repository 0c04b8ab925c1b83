// SPDX-License-Identifier: GPL-3.0-or-later
// The unit emulator's command line, run as a separate process.
#include <QProcess>
#include <QTest>

namespace {
struct TRun {
    int Exit = -1;
    QString Out;
    QString Err;
};

TRun Unit(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("PINVEL_BIN_DIR") + QStringLiteral("/pinvel-unit"), args);
    if (!p.waitForFinished(10000))
        p.kill();
    p.waitForFinished(5000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}
} // namespace

class PinvelUnitTest : public QObject {
    Q_OBJECT
  private slots:
    void helpPrintsTheUsage() {
        for (const char* option : {"--help", "-h"}) {
            const TRun help = Unit({QString::fromLatin1(option)});
            QCOMPARE(help.Exit, 0);
            QVERIFY2(help.Out.startsWith(QStringLiteral("Использование: pinvel-unit --listen")),
                     qPrintable(help.Out));
            for (const char* known : {"--harness", "--log", "--drop-after", "--close-after"})
                QVERIFY(help.Out.contains(QString::fromLatin1(known)));
            QVERIFY(help.Err.isEmpty());
        }
    }

    void wrongArgumentsGiveTheUsageAndStatus2() {
        for (const QStringList& args :
             {QStringList{}, QStringList{"--frobnicate"}, QStringList{"--drop-after", "x"}}) {
            const TRun run = Unit(args);
            QCOMPARE(run.Exit, 2);
            QVERIFY(run.Out.isEmpty());
            QVERIFY2(run.Err.contains(QStringLiteral("Использование: pinvel-unit")),
                     qPrintable(run.Err));
        }
    }
};

QTEST_GUILESS_MAIN(PinvelUnitTest)
#include "PinvelUnitTest.moc"
