// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLocale>
#include <QString>

class TIniFile;

enum class TLanguage { Russian, English };

// The language of the program's texts. Russian is the language the program is written in; the
// English texts come from the program's translation (compiled into the program), and Qt's own
// texts of the standard dialogs from Qt's translations. The device library's messages are
// translated by the same translators: the program installs them before it loads the library.
class TTranslation {
  public:
    // The settings file's choice ("ru" or "en" in [fmMain] Language=) wins; without one the
    // program speaks English when the locale's language is English and Russian otherwise.
    static TLanguage Choose(const QString& setting, const QLocale& locale);
    // The value of [fmMain] Language= in the settings, empty when there is none.
    static QString SettingOf(const TIniFile& ini);
    // Choose for the program's own settings file and the user's locale.
    static TLanguage ChooseForProgram(const QString& settingsPath);

    // Puts the texts of a language into the running application in place of those installed
    // before. Answers false when the program's own texts of that language could not be loaded
    // (the program then shows its Russian texts).
    static bool Install(TLanguage language);
    // The language installed last (Russian before any).
    static TLanguage Current();
    // "ru" or "en".
    static QString Code(TLanguage language);

    static constexpr const char* Section = "fmMain";
    static constexpr const char* Key = "Language";
};
