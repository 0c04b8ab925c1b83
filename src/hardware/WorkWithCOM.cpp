// SPDX-License-Identifier: GPL-3.0-or-later
#include "WorkWithCOM.h"

#include "TIniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

#include <algorithm>
#include <map>
#include <mutex>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(WorkWithCOM)
};

// One QLibrary per library file for the whole process, shared by every port made through it and
// unloaded when the last of them is gone. Separate QLibrary objects for one file would not do:
// unloading any of them unloads the file under the ports of the others.
std::mutex LibraryLock;
std::map<QString, std::weak_ptr<QLibrary>> Libraries;

struct TLibraryUnloader {
    QString Path;
    void operator()(QLibrary* library) const {
        std::lock_guard lock(LibraryLock);
        const auto found = Libraries.find(Path);
        // A newer object for the same file (made while this one was on its way out) keeps it.
        if (found == Libraries.end() || found->second.expired()) {
            library->unload();
            if (found != Libraries.end())
                Libraries.erase(found);
        }
        delete library;
    }
};

QString NotRegistered(const QString& file) {
    return TTexts::tr("COM-объект \"%1\": ").arg(file) +
           TTexts::tr("незарегистрирован или отсутствует.") + QChar(13) +
           TTexts::tr("Переустановите приложение");
}

QString CheckFailed(const QString& file, const QString& message) {
    return TTexts::tr("COM-объект \"%1\": ").arg(file) +
           TTexts::tr("ошибка проверки регистрации.") + QChar(13) + TTexts::tr("Текст ошибки:") +
           QLatin1Char('"') + message + QLatin1Char('"') + QLatin1Char('.') + QChar(13) +
           TTexts::tr("Обратитесь к разработчику.");
}

// Loads the library (or takes the process's loaded one) and resolves its creator.
std::shared_ptr<QLibrary> LoadKestrum(const QString& path, KestrumCreatePortFn& creator,
                                      QString& error) {
    std::shared_ptr<QLibrary> library;
    {
        std::lock_guard lock(LibraryLock);
        std::weak_ptr<QLibrary>& slot = Libraries[path];
        library = slot.lock();
        if (!library) {
            library = std::shared_ptr<QLibrary>(new QLibrary(path), TLibraryUnloader{path});
            if (!library->load()) {
                error = library->errorString();
                Libraries.erase(path);
                return {}; // the unloader finds no entry and unloads nothing that is not loaded
            }
            slot = library;
        }
    }
    creator = reinterpret_cast<KestrumCreatePortFn>(library->resolve(KESTRUM_CREATOR_NAME));
    if (creator == nullptr) {
        error = TTexts::tr("в библиотеке %1 нет функции %2")
                    .arg(path, QLatin1String(KESTRUM_CREATOR_NAME));
        return {};
    }
    return library;
}
} // namespace

void TComPortDeleter::operator()(IComPort* port) const {
    if (port != nullptr)
        port->Release();
    // Library goes with this deleter, after the port it made.
}

KestrumConfig TDeviceSettings::Config() const {
    KestrumConfig config{};
    config.Size = sizeof(KestrumConfig);
    config.Link = Link.isEmpty() ? "sim" : Link.constData();
    config.Harness = Harness.isEmpty() ? nullptr : Harness.constData();
    config.ReplyTimeoutMs = ReplyTimeoutMs;
    config.SimReplyUs = SimReplyUs;
    return config;
}

TDeviceSettings ReadDeviceSettings(const TIniFile& ini) {
    const QString section = QStringLiteral("Device");
    TDeviceSettings settings;
    const QString link =
        ini.ReadString(section, QStringLiteral("Link"), QStringLiteral("sim")).trimmed();
    settings.Link = link.isEmpty() ? QByteArray("sim") : QFile::encodeName(link);
    const QString harness = ini.ReadString(section, QStringLiteral("Harness"), {}).trimmed();
    if (!harness.isEmpty()) {
        const QDir base = QFileInfo(ini.FileName()).absoluteDir();
        settings.Harness = QFile::encodeName(QDir::cleanPath(base.absoluteFilePath(harness)));
    }
    const QString timeout = ini.ReadString(section, QStringLiteral("ReplyTimeoutMs"), {}).trimmed();
    if (!timeout.isEmpty()) {
        bool number = false;
        const qlonglong wanted = timeout.toLongLong(&number);
        const int taken =
            number ? int(std::clamp<qlonglong>(wanted, TDeviceSettings::MinReplyTimeoutMs,
                                               TDeviceSettings::MaxReplyTimeoutMs))
                   : settings.ReplyTimeoutMs;
        if (!number || taken != wanted)
            settings.Problems << TTexts::tr(
                                     "ReplyTimeoutMs=%1: ожидалось число от %2 до %3, взято %4")
                                     .arg(timeout)
                                     .arg(TDeviceSettings::MinReplyTimeoutMs)
                                     .arg(TDeviceSettings::MaxReplyTimeoutMs)
                                     .arg(taken);
        settings.ReplyTimeoutMs = taken;
    }
    const QString pace = ini.ReadString(section, QStringLiteral("SimReplyUs"), {}).trimmed();
    if (!pace.isEmpty()) {
        bool number = false;
        const qlonglong wanted = pace.toLongLong(&number);
        if (number && wanted >= 0 && wanted <= TDeviceSettings::MaxSimReplyUs)
            settings.SimReplyUs = int(wanted);
        else
            settings.Problems << TTexts::tr("SimReplyUs=%1: ожидалось число от 0 до %2, взято %3")
                                     .arg(pace)
                                     .arg(TDeviceSettings::MaxSimReplyUs)
                                     .arg(settings.SimReplyUs);
    }
    return settings;
}

QStringList KestrumLibraryFolders() {
    const QString exe = QCoreApplication::applicationDirPath();
    return {exe, QDir::cleanPath(exe + QStringLiteral("/../lib/pinvel"))};
}

QString FindKestrumLibrary(const QStringList& folders) {
    const QString wanted = QString::fromLatin1(KestrumLibraryName);
    for (const QString& folder : folders) {
        const QDir dir(folder);
        const QStringList names =
            dir.entryList(QDir::Files | QDir::Readable | QDir::System, QDir::Name);
        for (const QString& name : names)
            if (name.compare(wanted, Qt::CaseInsensitive) == 0)
                return dir.absoluteFilePath(name);
    }
    return {};
}

QString CheckRegistration() {
    return CheckRegistration(KestrumLibraryFolders());
}

QString CheckRegistration(const QStringList& folders) {
    const QString path = FindKestrumLibrary(folders);
    if (path.isEmpty())
        return NotRegistered(QString::fromLatin1(KestrumLibraryName));
    KestrumCreatePortFn creator = nullptr;
    QString error;
    if (!LoadKestrum(path, creator, error))
        return CheckFailed(path, error);
    return {};
}

TComPortHandle ComCreator(const KestrumConfig& config, QString* error) {
    return ComCreator(config, KestrumLibraryFolders(), error);
}

TComPortHandle ComCreator(const KestrumConfig& config, const QStringList& folders, QString* error) {
    QString why;
    const QString path = FindKestrumLibrary(folders);
    if (path.isEmpty()) {
        why = NotRegistered(QString::fromLatin1(KestrumLibraryName));
    } else {
        KestrumCreatePortFn creator = nullptr;
        std::shared_ptr<QLibrary> library = LoadKestrum(path, creator, why);
        if (library) {
            IComPort* port = creator(&config);
            if (port != nullptr)
                return TComPortHandle(port, TComPortDeleter{std::move(library)});
            why = TTexts::tr("Библиотека %1 не создала объект порта.").arg(path);
        } else {
            why = CheckFailed(path, why);
        }
    }
    if (error != nullptr)
        *error = why;
    return {};
}

namespace {
QString ErrorTextOf(IComPort* port, const TComPortDeleter* deleter) {
    if (port == nullptr || deleter == nullptr || !deleter->Library)
        return {};
    auto text =
        reinterpret_cast<KestrumErrorTextFn>(deleter->Library->resolve(KESTRUM_ERROR_TEXT_NAME));
    if (text == nullptr)
        return {};
    QByteArray buffer(1024, '\0');
    const std::int32_t size = text(port, buffer.data(), static_cast<std::int32_t>(buffer.size()));
    if (size >= buffer.size()) {
        buffer.resize(size + 1);
        text(port, buffer.data(), static_cast<std::int32_t>(buffer.size()));
    }
    return QString::fromUtf8(buffer.constData());
}
} // namespace

QString PortErrorText(const TComPortHandle& port) {
    return ErrorTextOf(port.get(), port ? &port.get_deleter() : nullptr);
}

QString PortErrorText(const std::shared_ptr<IComPort>& port) {
    return ErrorTextOf(port.get(), std::get_deleter<TComPortDeleter>(port));
}

bool SimulateFault(const TComPortHandle& port, int kind, int afterCommands) {
    if (!port || !port.get_deleter().Library)
        return false;
    auto fault = reinterpret_cast<KestrumSimulateFaultFn>(
        port.get_deleter().Library->resolve(KESTRUM_FAULT_NAME));
    return fault != nullptr && fault(port.get(), kind, afterCommands) != 0;
}
