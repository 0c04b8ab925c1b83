// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-check db init postgresql://ADMIN@HOST/DB --station-role NAME: makes the records' tables
// in the plant's database, owned by the administrator who runs it, and the stations' role that
// may add records and read them, nothing else. Run again, it brings the schema up to date and
// sets the role's rights anew.

#include "CheckCommands.h"
#include "TErrors.h"
#include "TRecordsConfig.h"
#include "TRecordsDatabase.h"
#include "TStationRole.h"

#include <QCoreApplication>
#include <cstdio>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};

void Print(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace

QString DbUsage() {
    return TTexts::tr("  pinvel-check db init postgresql://АДМИНИСТРАТОР@СЕРВЕР/БАЗА "
                      "--station-role ИМЯ\n"
                      "      создать таблицы записей (владелец — администратор) и роль станций,\n"
                      "      которой можно только добавлять и читать записи\n");
}

int DbCommand(const QStringList& args) {
    if (args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"))) {
        Print(DbUsage());
        return 0;
    }
    QString url;
    QString role;
    if (args.isEmpty() || args[0] != QLatin1String("init"))
        throw EPinvel(TTexts::tr("Ожидается: pinvel-check db init ...") + QLatin1Char('\n') +
                      DbUsage());
    for (qsizetype i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--station-role") && i + 1 < args.size())
            role = args[++i].trimmed();
        else if (!args[i].startsWith(QLatin1Char('-')) && url.isEmpty())
            url = args[i];
        else
            throw EPinvel(TTexts::tr("Непонятный параметр «%1».").arg(args[i]) + QLatin1Char('\n') +
                          DbUsage());
    }
    if (url.isEmpty() || role.isEmpty())
        throw EPinvel(DbUsage());
    if (!TStationRole::ValidName(role))
        throw EPinvel(TTexts::tr("Имя роли «%1» не подходит: латинские буквы, цифры и «_», "
                                 "первой — буква.")
                          .arg(role));
    TRecordsConfig config;
    if (const QString why = config.SetSharedUrl(url); !why.isEmpty())
        throw EPinvel(TTexts::tr("Адрес базы «%1»: %2.").arg(url, why));
    if (role == config.PgUser)
        throw EPinvel(TTexts::tr("Роль станций должна отличаться от администратора «%1».")
                          .arg(config.PgUser));
    config.ConnectTimeoutS = 10;
    TRecordsDatabase db(config, TRecordsDatabase::TKind::Shared);
    QString problem;
    if (!db.Open(&problem))
        throw EPinvel(problem);
    if (!TStationRole::Make(db.Connection(), role, &problem))
        throw EPinvel(TTexts::tr("Не удалось настроить роль «%1» в базе «%2»: %3")
                          .arg(role, config.SharedUrl(), problem.trimmed()));
    TRecordsConfig station = config;
    station.PgUser = role;
    // One sentence a line, each its own text for the translators.
    Print(TTexts::tr("Таблицы записей в базе %1 (схема %2) принадлежат «%3».")
              .arg(config.SharedUrl())
              .arg(TRecordsDatabase::CurrentSchema)
              .arg(config.PgUser) +
          QLatin1Char('\n') +
          TTexts::tr("Роль станций «%1» может добавлять и читать записи, но не изменять и не "
                     "удалять их.")
              .arg(role) +
          QLatin1Char('\n') +
          TTexts::tr("Задайте ей пароль (ALTER ROLE %1 PASSWORD '...'), запишите его в ~/.pgpass "
                     "станций, а в pinvel.ini станций: [Records] Database=%2")
              .arg(role, station.SharedUrl()) +
          QLatin1Char('\n'));
    return 0;
}
