// SPDX-License-Identifier: GPL-3.0-or-later
#include "TToolUnit.h"

#include "IComPort.h"
#include "TIniFile.h"
#include "TPortExchange.h"
#include "TWireList.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelCheck)
};
} // namespace

void ToolOut(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
    std::fflush(stdout);
}

void ToolErr(const QString& text) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

bool TUnitOptions::Take(const QStringList& args, qsizetype& i) {
    const QString& a = args[i];
    if (a != QLatin1String("--link") && a != QLatin1String("--harness") &&
        a != QLatin1String("--settings"))
        return false;
    if (i + 1 >= args.size())
        throw EToolRefused(TTexts::tr("После %1 ожидается значение.").arg(a));
    const QString value = args[++i];
    if (a == QLatin1String("--link"))
        Link = value;
    else if (a == QLatin1String("--harness"))
        Harness = value;
    else
        Settings = value;
    return true;
}

TToolProject::TToolProject(const QString& path) : FPath(path) {
    FWorkPlace.FSootv = &FSootv;
    try {
        FWorkPlace.LoadFromFile(path);
    } catch (const EPinvel& e) {
        throw EToolRefused(e.Message());
    }
    FPoints = TCheckPoints::FromProject(FWorkPlace, FSootv);
    if (FPoints.Count() == 0)
        throw EToolRefused(
            TTexts::tr(
                "В проекте «%1» нет контактов, привязанных к выводам блока: проверять нечего.")
                .arg(path));
}

std::optional<TReference> TToolProject::Reference(const QString& wires) const {
    const QString path = wires.isEmpty() ? TWireList::PathFor(FPath) : wires;
    if (wires.isEmpty() && !QFileInfo::exists(path))
        return std::nullopt;
    TReference reference;
    std::vector<TWireListError> errors;
    if (!TWireList::Load(path, FPoints, reference, errors))
        throw EToolRefused(TWireList::ErrorText(path, errors));
    return reference;
}

TToolUnit::TToolUnit(const TUnitOptions& options) {
    const QString iniPath =
        options.Settings.isEmpty() ? TIniFile::ProgramSettingsPath() : options.Settings;
    if (!options.Settings.isEmpty() && !QFileInfo::exists(iniPath))
        throw EToolRefused(TTexts::tr("Нет файла настроек «%1».").arg(iniPath));
    TIniFile ini(iniPath);
    if (QFileInfo::exists(iniPath) && !ini.Load())
        throw EToolRefused(TTexts::tr("Не удалось прочитать файл настроек «%1».").arg(iniPath));
    TDeviceSettings device = ReadDeviceSettings(ini);
    if (options.Link)
        device.Link = QFile::encodeName(*options.Link);
    if (options.Harness)
        device.Harness = QFile::encodeName(QFileInfo(*options.Harness).absoluteFilePath());
    QString error;
    FPort = ComCreator(device.Config(), &error);
    if (!FPort)
        throw EToolRefused(error);
    const SCP_Info info{3, "pinvel-check", 0, 1};
    std::int32_t out = 0;
    if (FPort->Init(&info) == 0 || FPort->Open(&out) == 0 || FPort->LastError() != 0) {
        const QString why = PortErrorText(FPort);
        throw EToolRefused(TTexts::tr("Не удалось подключиться к блоку диагностики (%1)%2")
                               .arg(QString::fromLocal8Bit(device.Link),
                                    why.isEmpty() ? QString() : QStringLiteral(": ") + why));
    }
    FExchange = std::make_unique<TPortExchange>(*FPort, FPort->UnitType() == 101,
                                                [this] { return PortErrorText(FPort); });
}

TToolUnit::~TToolUnit() {
    FPort->Send(UnitCode::Stop, 0, nullptr);
    FPort->Close();
    FPort->Done();
}

IUnitExchange& TToolUnit::Exchange() {
    return *FExchange;
}
