// SPDX-License-Identifier: GPL-3.0-or-later
#include "TWireList.h"

#include "TCheckPoints.h"
#include "TFileErrorText.h"
#include "TReference.h"
#include "TSafeFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringList>

#include <cerrno>
#include <optional>

namespace {

struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TWireList)
};

QString Field(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        text.trimmed() == text)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Splits one line into its fields; nothing when a quote is not closed or text follows a closing
// quote. Unquoted fields lose the spaces around them.
std::optional<QStringList> Split(const QString& line) {
    QStringList fields;
    qsizetype i = 0;
    for (;;) {
        while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
            ++i;
        QString field;
        if (i < line.size() && line[i] == QLatin1Char('"')) {
            ++i;
            for (;;) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == QLatin1Char('"')) {
                    if (i + 1 < line.size() && line[i + 1] == QLatin1Char('"')) {
                        field += QLatin1Char('"');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += line[i++];
            }
            while (i < line.size() && (line[i] == QLatin1Char(' ') || line[i] == QLatin1Char('\t')))
                ++i;
            if (i < line.size() && line[i] != QLatin1Char(','))
                return std::nullopt;
        } else {
            const qsizetype comma = line.indexOf(QLatin1Char(','), i);
            const qsizetype end = comma < 0 ? line.size() : comma;
            field = line.mid(i, end - i).trimmed();
            if (field.contains(QLatin1Char('"')))
                return std::nullopt;
            i = end;
        }
        fields.append(field);
        if (i >= line.size())
            return fields;
        ++i; // the comma
    }
}

} // namespace

QString TWireList::PathFor(const QString& projectPath) {
    const QFileInfo info(projectPath);
    QString base = info.fileName();
    if (base.endsWith(QLatin1String(".pvl"), Qt::CaseInsensitive))
        base.chop(4);
    return info.dir().filePath(base + QLatin1String(".wires.csv"));
}

QByteArray TWireList::ToCsv(const TReference& reference, const TCheckPoints& points) {
    QString out = QStringLiteral("from,to\n");
    for (const std::vector<int>& net : reference.Nets()) {
        const QStringList contacts = points.Contacts(net);
        for (qsizetype i = 1; i < contacts.size(); ++i)
            out +=
                Field(contacts.front()) + QLatin1Char(',') + Field(contacts[i]) + QLatin1Char('\n');
    }
    return out.toUtf8();
}

bool TWireList::FromCsv(const QByteArray& text, const TCheckPoints& points, TReference& reference,
                        std::vector<TWireListError>& errors) {
    errors.clear();
    int more = 0;
    const auto report = [&](int line, const QString& what) {
        if (int(errors.size()) < MaxErrors)
            errors.push_back({line, what});
        else
            ++more;
    };
    QByteArray bytes = text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (bytes.size() > MaxSize) {
        report(0, TTexts::tr("файл слишком велик для списка проводов"));
        return false;
    }

    std::vector<std::vector<int>> wires;
    const QList<QByteArray> lines = bytes.split('\n');
    bool header = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const int number = int(i + 1);
        QByteArray raw = lines[i];
        if (raw.endsWith('\r'))
            raw.chop(1);
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString line = utf8(raw);
        if (utf8.hasError()) {
            report(number, TTexts::tr("текст не в кодировке UTF-8"));
            header = true; // a damaged first line is reported once, not also as a missing header
            continue;
        }
        if (line.trimmed().isEmpty())
            continue;
        const std::optional<QStringList> fields = Split(line);
        if (!header) {
            header = true;
            if (!fields || fields->size() != 2 ||
                fields->at(0).compare(QLatin1String("from"), Qt::CaseInsensitive) != 0 ||
                fields->at(1).compare(QLatin1String("to"), Qt::CaseInsensitive) != 0)
                report(number,
                       TTexts::tr("ожидается заголовок «from,to», а записано «%1»").arg(line));
            continue;
        }
        if (!fields || fields->size() != 2 || fields->at(0).isEmpty() || fields->at(1).isEmpty()) {
            report(number,
                   TTexts::tr("ожидаются два контакта через запятую, а записано «%1»").arg(line));
            continue;
        }
        std::vector<int> wire;
        bool good = true;
        for (const QString& contact : *fields) {
            const std::vector<int> at = points.PointsOf(contact);
            if (at.size() == 1) {
                wire.push_back(at.front());
                continue;
            }
            good = false;
            if (at.size() > 1)
                report(number,
                       TTexts::tr("контакт «%1» привязан к нескольким выводам блока: провод не "
                                  "указывает, к какому")
                           .arg(contact));
            else if (points.HasContact(contact))
                report(number, TTexts::tr("контакт «%1» не привязан к выводу блока").arg(contact));
            else
                report(number, TTexts::tr("в проекте нет контакта «%1»").arg(contact));
        }
        if (good && fields->at(0) == fields->at(1)) {
            report(number,
                   TTexts::tr("провод соединяет контакт «%1» с ним самим").arg(fields->at(0)));
            good = false;
        }
        if (good)
            wires.push_back(std::move(wire));
    }
    if (!header)
        report(1, TTexts::tr("список пуст: нет даже заголовка «from,to»"));
    if (more > 0)
        errors.push_back({0, TTexts::tr("и ещё ошибок: %1").arg(more)});
    if (!errors.empty())
        return false;
    reference = TReference::FromNets(wires, points.Count());
    return true;
}

void TWireList::Save(const QString& path, const TReference& reference, const TCheckPoints& points) {
    TSafeFile::Write(path, ToCsv(reference, points));
}

bool TWireList::Load(const QString& path, const TCheckPoints& points, TReference& reference,
                     std::vector<TWireListError>& errors) {
    errors.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        errors.push_back(
            {0, TTexts::tr("не удалось открыть: %1").arg(TFileErrorText::OfOpening(path))});
        return false;
    }
    const QByteArray bytes = file.read(MaxSize + 4);
    if (file.error() != QFile::NoError) {
        errors.push_back({0, TTexts::tr("не удалось прочитать: %1").arg(TFileErrorText::Of(EIO))});
        return false;
    }
    return FromCsv(bytes, points, reference, errors);
}

QString TWireList::ErrorText(const QString& path, const std::vector<TWireListError>& errors) {
    QStringList lines{TTexts::tr("Список проводов «%1» не принят:").arg(path)};
    for (const TWireListError& e : errors)
        lines.append(e.Line > 0 ? TTexts::tr("строка %1: %2").arg(e.Line).arg(e.Text) : e.Text);
    return lines.join(QLatin1Char('\n'));
}
