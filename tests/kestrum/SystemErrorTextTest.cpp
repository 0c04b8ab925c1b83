// SPDX-License-Identifier: GPL-3.0-or-later
// Why a link failed, as the user reads it: Russian for every reason the system can give.
// Linked from the library's classes; ports are tested through libkestrum.so.

#include "SystemErrorText.h"

#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <netdb.h>

namespace {
bool HasCyrillic(const QString& text) {
    return text.contains(QRegularExpression(QStringLiteral("[а-яё]")));
}
} // namespace

class SystemErrorTextTest : public QObject {
    Q_OBJECT
  private slots:
    void everySystemReasonReadsInRussian() {
        for (int e = 1; e < 134; ++e) {
            const QString text = SystemErrorText(e);
            const QString english = QString::fromLocal8Bit(std::strerror(e));
            QVERIFY2(HasCyrillic(text) && !text.contains(english),
                     qPrintable(QStringLiteral("%1: %2").arg(e).arg(text)));
        }
        QCOMPARE(SystemErrorText(ENOTTY),
                 QStringLiteral("устройство не поддерживает настройку линии"));
        QVERIFY(SystemErrorText(EACCES).contains(QStringLiteral("dialout")));
        // A reason without words of its own still names itself exactly.
        QCOMPARE(SystemErrorText(EDOM), QStringLiteral("системная ошибка %1 (EDOM)").arg(EDOM));
    }

    void everyResolverReasonReadsInRussian() {
        for (int rc : {EAI_NONAME, EAI_AGAIN, EAI_FAIL, EAI_NODATA, EAI_ADDRFAMILY, EAI_SERVICE,
                       EAI_FAMILY, EAI_SOCKTYPE, EAI_MEMORY, EAI_BADFLAGS, EAI_OVERFLOW}) {
            const QString text = ResolverErrorText(rc);
            QVERIFY2(HasCyrillic(text) && !text.contains(QString::fromUtf8(gai_strerror(rc))),
                     qPrintable(QStringLiteral("%1: %2").arg(rc).arg(text)));
        }
        QCOMPARE(ResolverErrorText(EAI_NONAME),
                 QStringLiteral("такой узел не найден (проверьте имя или адрес)"));
        errno = ECONNREFUSED;
        QCOMPARE(ResolverErrorText(EAI_SYSTEM), SystemErrorText(ECONNREFUSED));
    }
};

QTEST_GUILESS_MAIN(SystemErrorTextTest)
#include "SystemErrorTextTest.moc"
