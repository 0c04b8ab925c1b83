// SPDX-License-Identifier: GPL-3.0-or-later
#include "TVersionInfo.h"

#include "AppBuildInfo.h"

namespace {
QString StringPath(const QString& translation, const QString& key) {
    return QStringLiteral("\\StringFileInfo\\") + translation + QLatin1Char('\\') + key;
}

QHash<QString, QString> ProgramStrings() {
    QHash<QString, QString> strings;
    const auto put = [&](const char* key, const char* value) {
        if (value[0] != '\0')
            strings.insert(QString::fromLatin1(key), QString::fromUtf8(value));
    };
    put("FileDescription", AppBuildInfo::FileDescription);
    put("FileVersion", AppBuildInfo::FileVersion);
    put("LegalCopyright", AppBuildInfo::LegalCopyright);
    put("Support", AppBuildInfo::Support);
    put("Email", AppBuildInfo::Email);
    return strings;
}
} // namespace

TVersionInfo::TVersionInfo() : TVersionInfo(ProgramStrings(), QString::fromLatin1(Translation)) {}

TVersionInfo::TVersionInfo(const QHash<QString, QString>& strings, const QString& translation) {
    if (strings.isEmpty())
        return;
    FValid = true;
    FTranslation = translation.toUpper();
    for (auto it = strings.cbegin(); it != strings.cend(); ++it)
        FStrings.insert(StringPath(FTranslation, it.key()), it.value());
}

QString TVersionInfo::TranslationKey() const {
    return FValid ? FTranslation : QString();
}

QString TVersionInfo::Value(const QString& key) const {
    if (!FValid)
        return QString();
    return FStrings.value(StringPath(TranslationKey(), key));
}

QString TVersionInfo::ProgramValue(const QString& key) {
    const TVersionInfo info;
    return info.Valid() ? info.Value(key) : QString();
}
