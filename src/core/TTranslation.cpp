// SPDX-License-Identifier: GPL-3.0-or-later
#include "TTranslation.h"

#include "TIniFile.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

namespace {

struct TInstalled {
    TLanguage Language = TLanguage::Russian;
    std::unique_ptr<QTranslator> Program; // the program's own texts
    std::unique_ptr<QTranslator> Qt;      // Qt's texts of standard dialogs and buttons
};

TInstalled& Installed() {
    static TInstalled installed;
    return installed;
}

void Remove(std::unique_ptr<QTranslator>& translator) {
    if (translator != nullptr)
        QCoreApplication::removeTranslator(translator.get());
    translator.reset();
}

std::unique_ptr<QTranslator> Load(const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder) || !QCoreApplication::installTranslator(translator.get()))
        return nullptr;
    return translator;
}

} // namespace

TLanguage TTranslation::Choose(const QString& setting, const QLocale& locale) {
    const QString forced = setting.trimmed().toLower();
    if (forced == QLatin1String("en"))
        return TLanguage::English;
    if (forced == QLatin1String("ru"))
        return TLanguage::Russian;
    return locale.language() == QLocale::English ? TLanguage::English : TLanguage::Russian;
}

QString TTranslation::SettingOf(const TIniFile& ini) {
    return ini.ReadString(QString::fromLatin1(Section), QString::fromLatin1(Key), QString());
}

TLanguage TTranslation::ChooseForProgram(const QString& settingsPath) {
    TIniFile ini(settingsPath);
    ini.Load(); // read only: the file is written by the main window at the end, if at all
    return Choose(SettingOf(ini), QLocale::system());
}

bool TTranslation::Install(TLanguage language) {
    TInstalled& installed = Installed();
    Remove(installed.Program);
    Remove(installed.Qt);
    installed.Language = language;
    installed.Qt = Load(QStringLiteral("qtbase_") + Code(language),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (language == TLanguage::Russian)
        return true; // the program's own texts are Russian
    installed.Program =
        Load(QStringLiteral("pinvel_") + Code(language), QStringLiteral(":/translations"));
    if (installed.Program != nullptr)
        return true;
    // Without its texts the program speaks Russian, and says so in every part alike.
    Install(TLanguage::Russian);
    return false;
}

TLanguage TTranslation::Current() {
    return Installed().Language;
}

QString TTranslation::Code(TLanguage language) {
    return language == TLanguage::English ? QStringLiteral("en") : QStringLiteral("ru");
}
