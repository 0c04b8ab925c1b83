// SPDX-License-Identifier: GPL-3.0-or-later
// pinvel-file: project files on the command line, for technicians and scripts.
#include "TErrors.h"
#include "TFileErrorText.h"
#include "TIniFile.h"
#include "TProjectFile.h"
#include "TProjectJson.h"
#include "TRazem.h"
#include "TSafeFile.h"
#include "TSootv.h"
#include "TTranslation.h"
#include "TWorkPlace.h"

#include <QCoreApplication>
#include <QFile>
#include <QJsonDocument>
#include <cstdio>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(PinvelFile)
};

void Out(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stdout);
}

void Err(const QString& text) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stderr);
}

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EFileError(TTexts::tr("Не удалось открыть файл «%1»: %2")
                             .arg(path, TFileErrorText::OfOpening(path)));
    return file.readAll();
}

QString UsageText() {
    return TTexts::tr("Использование:\n"
                      "  pinvel-file dump ФАЙЛ.pvl              проект в виде JSON\n"
                      "  pinvel-file build ФАЙЛ.json ВЫХОД.pvl  проект по описанию JSON\n"
                      "  pinvel-file check ФАЙЛ.pvl             читается ли файл\n"
                      "  pinvel-file wiring ФАЙЛ.pvl            список соединений в CSV");
}

// Wrong arguments: the usage on standard error and status 2.
int Usage() {
    Err(UsageText());
    return 2;
}

// Asked for: the usage on standard output and success.
int Help() {
    Out(UsageText() + QLatin1Char('\n'));
    return 0;
}

int Dump(const QString& path) {
    const TProjectFile project = TProjectFile::Read(ReadFile(path));
    Out(QString::fromUtf8(QJsonDocument(TProjectJson::ToJson(project)).toJson()));
    return 0;
}

int Build(const QString& jsonPath, const QString& outPath) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(ReadFile(jsonPath), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        throw EFileError(
            TTexts::tr("Файл «%1» не является описанием проекта в JSON: %2 (смещение %3).")
                .arg(jsonPath, error.errorString(), QString::number(error.offset)));
    const QByteArray image = TProjectJson::FromJson(doc.object()).Write();
    // Only a project the program can open is written.
    TProjectFile::Read(image);
    TSafeFile::Write(outPath, image);
    return 0;
}

int Check(const QString& path) {
    TSootv sootv;
    TWorkPlace workPlace;
    workPlace.FSootv = &sootv;
    workPlace.LoadFromFile(path);
    Out(TTexts::tr("Файл читается: разъемов %1, соответствий %2.\n")
            .arg(workPlace.Count())
            .arg(sootv.Count()));
    // An entry is tied by its position; a name that differs from the contact's there means the
    // grids show one contact while the tester drives another. The file is still readable.
    for (int k = 0; k < sootv.Count(); ++k) {
        const TSootvData& rec = sootv.Item(k);
        for (int i = 0; i < rec.Count(); ++i) {
            const TRazem* razem = workPlace.Razem(rec.FRazemIndexes[std::size_t(i)]);
            const TCellPos pos = rec.FContacts[std::size_t(i)];
            const QString actual = razem->ContactName(pos.Col, pos.Row);
            if (actual == rec.FNames[std::size_t(i)])
                continue;
            Err(TTexts::tr(
                    "Предупреждение: соответствие %1 (%2), связь %3: имя «%4», а контакт разъема "
                    "«%5» в этой позиции (столбец %6, строка %7) называется «%8».")
                    .arg(QString::number(k + 1), TSootv::PinName(rec.FPin), QString::number(i + 1),
                         rec.FNames[std::size_t(i)], razem->FRazName, QString::number(pos.Col),
                         QString::number(pos.Row), actual));
        }
    }
    return 0;
}

QString CsvField(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

int Wiring(const QString& path) {
    const TProjectFile project = TProjectFile::Read(ReadFile(path));
    QString out = QStringLiteral("unit_connector,pin_row,pin_position,pin_code,contacts\n");
    for (const TSootvData& s : project.Sootv) {
        if (!s.HasCell())
            continue; // the program drops such a record on loading
        QStringList contacts;
        for (int i = 0; i < s.Count(); ++i)
            contacts.append(project.Razems[std::size_t(s.FRazemIndexes[std::size_t(i)])].Name +
                            QLatin1Char(':') + s.FNames[std::size_t(i)]);
        const QStringList fields = {QStringLiteral("X%1").arg(s.FGrid),
                                    QString(QChar(u'a' + (3 - s.FRow))), QString::number(s.FCol),
                                    QString::number(s.FPin), contacts.join(QLatin1String(" | "))};
        QStringList line;
        for (const QString& f : fields)
            line.append(CsvField(f));
        out += line.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    Out(out);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    TTranslation::Install(TTranslation::ChooseForProgram(TIniFile::ProgramSettingsPath()));
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty())
        return Usage();
    const QString command = args[0];
    if (args.size() == 1 && (command == QLatin1String("--help") || command == QLatin1String("-h")))
        return Help();
    try {
        if (command == QLatin1String("dump") && args.size() == 2)
            return Dump(args[1]);
        if (command == QLatin1String("build") && args.size() == 3)
            return Build(args[1], args[2]);
        if (command == QLatin1String("check") && args.size() == 2)
            return Check(args[1]);
        if (command == QLatin1String("wiring") && args.size() == 2)
            return Wiring(args[1]);
        return Usage();
    } catch (const EPinvel& e) {
        Err(e.Message());
        return 1;
    }
}
