// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordsConfig.h"

#include "TIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>
#include <QUrl>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TRecordsConfig)
};

const QString Section = QStringLiteral("Records");
} // namespace

QString TRecordsConfig::SharedUrl() const {
    if (!HasShared())
        return {};
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(PgUser, PgHost)
        .arg(PgPort)
        .arg(PgDatabase);
}

QString TRecordsConfig::DefaultLocalPath() {
    // The generic data folder, not the program's own: the window and pinvel-check share one
    // file.
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("Pinvel/records.sqlite"));
}

QString TRecordsConfig::SetSharedUrl(const QString& text) {
    PgHost.clear();
    const QUrl url(text.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() ||
        (scheme != QLatin1String("postgresql") && scheme != QLatin1String("postgres")))
        return TTexts::tr("ожидается адрес вида postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/БАЗА");
    if (!url.password().isEmpty())
        return TTexts::tr("пароль в файле настроек не хранится: запишите его в ~/.pgpass");
    const QString path = url.path();
    const QString database = path.startsWith(QLatin1Char('/')) ? path.mid(1) : path;
    if (url.host().isEmpty() || database.isEmpty() || database.contains(QLatin1Char('/')))
        return TTexts::tr("ожидается адрес вида postgresql://ПОЛЬЗОВАТЕЛЬ@СЕРВЕР:ПОРТ/БАЗА");
    const int port = url.port(5432);
    if (port < 1 || port > 65535)
        return TTexts::tr("неверный порт");
    QString user = url.userName();
    if (user.isEmpty())
        user = qEnvironmentVariable("USER");
    PgHost = url.host();
    PgPort = port;
    PgUser = user;
    PgDatabase = database;
    return {};
}

TRecordsConfig TRecordsConfig::FromIni(const TIniFile& ini, QString* error) {
    TRecordsConfig c;
    c.LocalPath = DefaultLocalPath();
    c.ConnectTimeoutS =
        qBound(MinConnectTimeoutS, ini.ReadInteger(Section, QStringLiteral("ConnectTimeoutS"), 3),
               MaxConnectTimeoutS);
    c.RetryS = qBound(1, ini.ReadInteger(Section, QStringLiteral("RetryS"), 30), 3600);
    const QString url = ini.ReadString(Section, QStringLiteral("Database"), QString()).trimmed();
    if (!url.isEmpty()) {
        const QString why = c.SetSharedUrl(url);
        if (!why.isEmpty() && error)
            *error = TTexts::tr("Раздел [Records], Database=%1: %2. Записи проверок остаются "
                                "на этой станции.")
                         .arg(url, why);
    }
    return c;
}
