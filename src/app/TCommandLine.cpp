// SPDX-License-Identifier: GPL-3.0-or-later
#include "TCommandLine.h"

#include "AppBuildInfo.h"

#include <QDir>

TCommandLine TCommandLine::Parse(const QStringList& arguments, const QString& currentFolder) {
    TCommandLine line;
    QStringList files;
    QString unknown;
    bool options = true;
    for (const QString& a : arguments) {
        if (options && a == QLatin1String("--")) {
            options = false;
        } else if (options && (a == QLatin1String("--help") || a == QLatin1String("-h"))) {
            line.Action = TCommandLineAction::Help;
            return line;
        } else if (options && a == QLatin1String("--version")) {
            line.Action = TCommandLineAction::Version;
            return line;
        } else if (options && a.size() > 1 && a.startsWith(QLatin1Char('-'))) {
            if (unknown.isEmpty())
                unknown = a;
        } else {
            files << a;
        }
    }
    if (!unknown.isEmpty()) {
        line.Action = TCommandLineAction::Error;
        line.Error = tr("неизвестный параметр «%1»").arg(unknown);
    } else if (files.size() > 1) {
        line.Action = TCommandLineAction::Error;
        line.Error = tr("можно открыть только один проект, а названо %1: «%2», «%3»...")
                         .arg(files.size())
                         .arg(files[0], files[1]);
    } else if (files.size() == 1 && files[0].isEmpty()) {
        line.Action = TCommandLineAction::Error;
        line.Error = tr("пустое имя файла");
    } else if (files.size() == 1) {
        line.File = QDir::cleanPath(QDir(currentFolder).absoluteFilePath(files[0]));
    }
    return line;
}

QString TCommandLine::HelpText() {
    return tr("Использование: pinvel [ФАЙЛ.pvl]\n"
              "Тестер кабельных жгутов: разметка разъемов жгута и проверка через блок "
              "диагностики.\n"
              "\n"
              "  ФАЙЛ.pvl      открыть этот проект при запуске\n"
              "  -h, --help    показать эту справку и выйти\n"
              "  --version     показать версию и выйти\n");
}

QString TCommandLine::VersionText() {
    return QStringLiteral("Pinvel %1\n%2\n%3\n")
        .arg(QString::fromUtf8(AppBuildInfo::FileVersion),
             QString::fromUtf8(AppBuildInfo::LegalCopyright),
             tr("Лицензия: GNU GPL версии 3 или более поздней (GPL-3.0-or-later). Это свободная "
                "программа: ее можно изменять и распространять; гарантий нет."));
}

QString TCommandLine::ErrorText() const {
    return QStringLiteral("pinvel: ") + Error + QLatin1Char('\n') + tr("Справка: pinvel --help") +
           QLatin1Char('\n');
}
