// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The messages of a Qt translation catalogue (.ts), as the tests of the translation read it.

#include <QFile>
#include <QList>
#include <QString>
#include <QXmlStreamReader>

struct TTsMessage {
    QString Context;
    QString Source;
    QString Comment; // tells two alike texts of one context apart
    QString Type;    // the translation's type: empty when finished, "unfinished", "vanished"...
    QString Translation;
};

inline QList<TTsMessage> ReadTsMessages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<TTsMessage> messages;
    QXmlStreamReader xml(&file);
    QString context;
    TTsMessage m;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            m = {context, xml.readElementText(), QString(), QString(), QString()};
        } else if (xml.name() == QLatin1String("comment")) {
            m.Comment = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            m.Type = xml.attributes().value(QLatin1String("type")).toString();
            m.Translation = xml.readElementText();
            messages << m;
        }
    }
    return messages;
}
