// SPDX-License-Identifier: GPL-3.0-or-later
#include "AppHelp.h"

#include "AppBuildInfo.h"
#include "TTranslation.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>
#include <QVariant>
#include <QWidget>
#include <optional>

namespace {

const char* const HelpProperty = "helpContext";
const char* const IndexPage = "index.html";

std::optional<QString>& FolderOverride() {
    static std::optional<QString> folder;
    return folder;
}

bool HasPages(const QString& folder) {
    return !folder.isEmpty() && QFileInfo::exists(QDir(folder).filePath(QLatin1String(IndexPage)));
}

bool OpenPage(const QString& page) {
    const QString base = AppHelpFolder();
    if (base.isEmpty())
        return false;
    // The page in the program's language; a page not translated yet opens in Russian.
    for (const QString& folder : {AppHelpPagesFolder(), base}) {
        const QString path = QDir(folder).filePath(page);
        if (QFileInfo::exists(path))
            return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
    return false;
}

} // namespace

QString AppHelpFolder() {
    if (FolderOverride())
        return HasPages(*FolderOverride()) ? *FolderOverride() : QString();
    const QString appDir = QCoreApplication::applicationDirPath();
    const QStringList candidates{appDir + QLatin1String("/help"),
                                 appDir + QLatin1String("/../share/pinvel/help"),
                                 QString::fromUtf8(AppBuildInfo::HelpSourceDir)};
    for (const QString& c : candidates)
        if (HasPages(c))
            return QDir::cleanPath(c);
    return QString();
}

QString AppHelpPagesFolder() {
    const QString folder = AppHelpFolder();
    if (folder.isEmpty() || TTranslation::Current() == TLanguage::Russian)
        return folder;
    const QString translated = QDir(folder).filePath(TTranslation::Code(TTranslation::Current()));
    return HasPages(translated) ? translated : folder;
}

bool AppHelpAvailable() {
    return !AppHelpFolder().isEmpty();
}

void SetAppHelpFolder(const QString& folder) {
    FolderOverride() = folder;
}

void ResetAppHelpFolder() {
    FolderOverride().reset();
}

QString AppHelpPage(int context) {
    switch (context) {
    case HelpContext::Main:
        return QStringLiteral("main.html");
    case HelpContext::Constr:
        return QStringLiteral("constr.html");
    case HelpContext::Sootv:
        return QStringLiteral("sootv.html");
    case HelpContext::Editor:
        return QStringLiteral("editor.html");
    case HelpContext::Tester:
        return QStringLiteral("tester.html");
    case HelpContext::Check:
        return QStringLiteral("checking.html");
    case HelpContext::Records:
        return QStringLiteral("records.html");
    default:
        return QString::fromLatin1(IndexPage);
    }
}

bool AppHelp(int context) {
    return OpenPage(AppHelpPage(context));
}

bool AppHelpContents() {
    return OpenPage(QString::fromLatin1(IndexPage));
}

void SetHelpContext(QWidget* widget, int context) {
    if (widget != nullptr)
        widget->setProperty(HelpProperty, context);
}

int HelpContextOf(const QWidget* widget) {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const int context = w->property(HelpProperty).toInt();
        if (context > 0)
            return context;
    }
    return HelpContext::None;
}
