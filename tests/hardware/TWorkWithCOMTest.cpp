// SPDX-License-Identifier: GPL-3.0-or-later
#include "TIniFile.h"
#include "WorkWithCOM.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTest>
#include <cstddef>

namespace {
const QString NotRegisteredText = QStringLiteral(
    "COM-объект \"libkestrum.so\": незарегистрирован или отсутствует.\rПереустановите приложение");

int AliveIn(const QString& path) {
    QLibrary library(path);
    auto alive = reinterpret_cast<int (*)()>(library.resolve("FakeKestrumAlive"));
    return alive != nullptr ? alive() : -1;
}
} // namespace

class TWorkWithCOMTest : public QObject {
    Q_OBJECT
  private slots:
    void realLibraryIsRegistered() {
        const QString bin = qEnvironmentVariable("PINVEL_BIN_DIR");
        QCOMPARE(CheckRegistration({bin}), QString());
        QCOMPARE(FindKestrumLibrary({QStringLiteral("/nonexistent"), bin}),
                 bin + QStringLiteral("/libkestrum.so"));
        TDeviceSettings settings;
        TComPortHandle port = ComCreator(settings.Config(), {bin});
        QVERIFY(port);
        std::int32_t type = 0;
        QVERIFY(port->Open(&type) != 0);
        QCOMPARE(type, 101);
        // Another port and another check come and go; the library stays under the first port.
        {
            TComPortHandle other = ComCreator(settings.Config(), {bin});
            QVERIFY(other);
            QCOMPARE(CheckRegistration({bin}), QString());
        }
        QCOMPARE(CheckRegistration({bin}), QString());
        QVERIFY(port->Close() != 0);
        QVERIFY(port->Open(&type) != 0);
    }

    void missingLibrary() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel lib XXXXXX"));
        QCOMPARE(CheckRegistration({dir.path()}), NotRegisteredText);
        QString error;
        TDeviceSettings settings;
        QVERIFY(!ComCreator(settings.Config(), {dir.path()}, &error));
        QCOMPARE(error, NotRegisteredText);
    }

    void libraryThatDoesNotLoadOrLacksCreator() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel lib XXXXXX"));
        QFile junk(dir.filePath(QStringLiteral("libkestrum.so")));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a shared object");
        junk.close();
        const QString broken = CheckRegistration({dir.path()});
        QVERIFY2(
            broken.startsWith(
                QStringLiteral("COM-объект \"%1\": ошибка проверки регистрации.\rТекст ошибки:\"")
                    .arg(junk.fileName())),
            qPrintable(broken));
        QVERIFY(broken.endsWith(QStringLiteral("\".\rОбратитесь к разработчику.")));

        // Found under another case of its name, loads, but exports no creator.
        const QString noCreator = CheckRegistration({QStringLiteral(FAKE_NO_CREATOR_DIR)});
        QVERIFY2(
            noCreator.contains(QStringLiteral("LibKestrum.SO\": ошибка проверки регистрации.")),
            qPrintable(noCreator));
        QVERIFY2(noCreator.contains(QStringLiteral(KESTRUM_CREATOR_NAME)), qPrintable(noCreator));
        QString error;
        QVERIFY(
            !ComCreator(TDeviceSettings().Config(), {QStringLiteral(FAKE_NO_CREATOR_DIR)}, &error));
        QCOMPARE(error, noCreator);
    }

    void portsAreReleasedThroughTheirLibrary() {
        const QStringList folders{QStringLiteral(FAKE_DIR)};
        const QString path = FindKestrumLibrary(folders);
        QCOMPARE(CheckRegistration(folders), QString());
        TComPortHandle first = ComCreator(TDeviceSettings().Config(), folders);
        TComPortHandle second = ComCreator(TDeviceSettings().Config(), folders);
        QVERIFY(first && second);
        QCOMPARE(first->UnitType(), 7);
        QCOMPARE(AliveIn(path), 2);
        first.reset();
        QCOMPARE(AliveIn(path), 1);
        second.reset();
        QCOMPARE(AliveIn(path), 0);
        // A vendor library without the optional exports: both helpers do without.
        TComPortHandle third = ComCreator(TDeviceSettings().Config(), folders);
        QVERIFY(!SimulateFault(third, KestrumFault::NoReply));
        QCOMPARE(PortErrorText(third), QString());
    }

    void deviceSettingsFromTheSettingsFile() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel ini XXXXXX"));
        TIniFile ini(dir.filePath(QStringLiteral("pinvel.ini")));
        TDeviceSettings defaults = ReadDeviceSettings(ini);
        QCOMPARE(defaults.Link, QByteArray("sim"));
        QVERIFY(defaults.Harness.isEmpty());
        QCOMPARE(defaults.ReplyTimeoutMs, 1000);
        KestrumConfig config = defaults.Config();
        QCOMPARE(config.Size, static_cast<std::int32_t>(sizeof(KestrumConfig)));
        QCOMPARE(QByteArray(config.Link), QByteArray("sim"));
        QVERIFY(config.Harness == nullptr);

        ini.WriteString(QStringLiteral("device"), QStringLiteral("link"),
                        QStringLiteral("tcp:127.0.0.1:5025"));
        ini.WriteString(QStringLiteral("Device"), QStringLiteral("Harness"),
                        QStringLiteral("жгуты/пример 1.json"));
        ini.WriteString(QStringLiteral("Device"), QStringLiteral("ReplyTimeoutMs"),
                        QStringLiteral("-5"));
        QVERIFY(ini.Save());
        TIniFile again(ini.FileName());
        QVERIFY(again.Load());
        const TDeviceSettings read = ReadDeviceSettings(again);
        QCOMPARE(read.Link, QByteArray("tcp:127.0.0.1:5025"));
        QCOMPARE(QFile::decodeName(read.Harness),
                 dir.filePath(QStringLiteral("жгуты/пример 1.json")));
        QCOMPARE(read.ReplyTimeoutMs, 50);
        QCOMPARE(read.Problems,
                 QStringList{QStringLiteral("ReplyTimeoutMs=-5: ожидалось число от 50 до 60000, "
                                            "взято 50")});
        again.WriteInteger(QStringLiteral("Device"), QStringLiteral("ReplyTimeoutMs"), 250);
        again.WriteString(QStringLiteral("Device"), QStringLiteral("Harness"),
                          QStringLiteral("/abs/h.json"));
        QCOMPARE(ReadDeviceSettings(again).ReplyTimeoutMs, 250);
        QVERIFY(ReadDeviceSettings(again).Problems.isEmpty());
        QCOMPARE(ReadDeviceSettings(again).Harness, QByteArray("/abs/h.json"));
    }

    void simulatedUnitsPaceFromTheSettingsFile() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel pace XXXXXX"));
        TIniFile ini(dir.filePath(QStringLiteral("pinvel.ini")));
        QCOMPARE(ReadDeviceSettings(ini).SimReplyUs, 1000);
        const QString problem =
            QStringLiteral("SimReplyUs=%1: ожидалось число от 0 до 1000000, взято 1000");
        const std::pair<const char*, int> values[] = {
            {"0", 0},     {"1", 1},          {" 250 ", 250}, {"1000000", 1000000},
            {"-1", 1000}, {"1000001", 1000}, {"abc", 1000},  {"", 1000}};
        for (auto [text, pace] : values) {
            ini.WriteString(QStringLiteral("Device"), QStringLiteral("SimReplyUs"),
                            QString::fromLatin1(text));
            const TDeviceSettings read = ReadDeviceSettings(ini);
            QCOMPARE(read.SimReplyUs, pace);
            const QString written = QString::fromLatin1(text).trimmed();
            const bool named = pace == 1000 && !written.isEmpty();
            QCOMPARE(read.Problems, named ? QStringList{problem.arg(written)} : QStringList());
        }
        // The record the library reads: the pace after the first record's fields and the
        // padding they left, so an older caller's record never reaches it.
        TDeviceSettings device;
        device.SimReplyUs = 0;
        const KestrumConfig config = device.Config();
        QCOMPARE(config.SimReplyUs, 0);
        QCOMPARE(config.Reserved, 0);
        QVERIFY(offsetof(KestrumConfig, SimReplyUs) >= offsetof(KestrumConfig, ReplyTimeoutMs) +
                                                           sizeof(std::int32_t) +
                                                           (sizeof(void*) == 8 ? 4 : 0));
        QCOMPARE(std::size_t(config.Size), sizeof(KestrumConfig));
        QCOMPARE(device.Config().ReplyTimeoutMs, 1000);
    }

    // The longest wait the settings file gives is the one a silent unit costs: about 150 ms
    // here, neither the default second nor less than asked.
    void replyTimeoutFromTheSettingsFileBoundsEveryWait() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel ini XXXXXX"));
        const QString path = dir.filePath(QStringLiteral("pinvel.ini"));
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("[Device]\r\nLink=sim\r\nReplyTimeoutMs=150\r\n");
        }
        TIniFile ini(path);
        QVERIFY(ini.Load());
        TComPortHandle port =
            ComCreator(ReadDeviceSettings(ini).Config(), {qEnvironmentVariable("PINVEL_BIN_DIR")});
        QVERIFY(port);
        const SCP_Info info{3, "Pinvel", 0, 1};
        std::int32_t type = 0;
        QVERIFY(port->Init(&info) != 0 && port->Open(&type) != 0);
        QVERIFY(SimulateFault(port, KestrumFault::NoReply));

        QElapsedTimer timer;
        QVERIFY(port->Send(UnitCode::ReadZond, 0, nullptr) != 0);
        timer.start();
        QCOMPARE(port->Wait(-1), 2);
        const qint64 reply = timer.elapsed();
        QVERIFY2(reply >= 140 && reply < 700, qPrintable(QString::number(reply)));

        // Opening waits as long for the unit's hello.
        QVERIFY(port->Close() != 0);
        timer.start();
        QCOMPARE(port->Open(&type), 0);
        const qint64 hello = timer.elapsed();
        QVERIFY2(hello >= 140 && hello < 700, qPrintable(QString::number(hello)));
    }

    // The reply time-out is taken within its range, each end included; anything else is named
    // with what was taken instead.
    void replyTimeoutRange() {
        QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/pinvel ini XXXXXX"));
        TIniFile ini(dir.filePath(QStringLiteral("pinvel.ini")));
        const auto read = [&](const QString& text) {
            ini.WriteString(QStringLiteral("Device"), QStringLiteral("ReplyTimeoutMs"), text);
            const TDeviceSettings s = ReadDeviceSettings(ini);
            return std::make_pair(s.ReplyTimeoutMs, s.Problems.join(QLatin1Char('|')));
        };
        const QString problem =
            QStringLiteral("ReplyTimeoutMs=%1: ожидалось число от 50 до 60000, взято %2");
        QCOMPARE(read("50"), std::make_pair(50, QString()));
        QCOMPARE(read("60000"), std::make_pair(60000, QString()));
        QCOMPARE(read(" 1500 "), std::make_pair(1500, QString()));
        QCOMPARE(read("49"), std::make_pair(50, problem.arg("49").arg(50)));
        QCOMPARE(read("60001"), std::make_pair(60000, problem.arg("60001").arg(60000)));
        QCOMPARE(read("2147483647"), std::make_pair(60000, problem.arg("2147483647").arg(60000)));
        QCOMPARE(read("99999999999"), std::make_pair(60000, problem.arg("99999999999").arg(60000)));
        QCOMPARE(read("abc"), std::make_pair(1000, problem.arg("abc").arg(1000)));
        QCOMPARE(read("150ms"), std::make_pair(1000, problem.arg("150ms").arg(1000)));
    }
};

QTEST_GUILESS_MAIN(TWorkWithCOMTest)
#include "TWorkWithCOMTest.moc"
