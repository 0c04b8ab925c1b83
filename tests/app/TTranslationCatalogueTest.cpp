// SPDX-License-Identifier: GPL-3.0-or-later
#include "TsMessages.h"
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

// Every text of the program has its English translation: Qt's lupdate collects the texts of the
// sources as they are now, and each must have a finished translation in the checked-in
// catalogue. A Russian text written past tr() is found too.
namespace {

struct TCatalogue {
    QHash<QString, QString> Finished; // Key() -> translation
    QStringList All;                  // Key() of every message
    QSet<QString> Sources;
};

// A message is its context, its source text and the comment that tells two alike apart.
QString Key(const QString& context, const QString& source, const QString& comment) {
    return context + QLatin1Char('\n') + source + QLatin1Char('\n') + comment;
}

TCatalogue ReadCatalogue(const QString& path) {
    TCatalogue c;
    for (const TTsMessage& m : ReadTsMessages(path)) {
        if (m.Type == QLatin1String("vanished") || m.Type == QLatin1String("obsolete"))
            continue;
        const QString key = Key(m.Context, m.Source, m.Comment);
        c.All << key;
        c.Sources.insert(m.Source);
        if (m.Type.isEmpty() && !m.Translation.isEmpty())
            c.Finished.insert(key, m.Translation);
    }
    return c;
}

// The string literals of a C++ source with the line each starts on; comments are skipped.
QList<std::pair<int, QString>> StringLiterals(const QString& text) {
    QList<std::pair<int, QString>> found;
    int line = 1;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('\n')) {
            ++line;
        } else if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('/')) {
            while (i < n && text[i] != QLatin1Char('\n'))
                ++i;
            --i;
        } else if (c == QLatin1Char('/') && i + 1 < n && text[i + 1] == QLatin1Char('*')) {
            const qsizetype end = text.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            line += int(text.mid(i, stop - i).count(QLatin1Char('\n')));
            i = stop - 1;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            QString literal;
            qsizetype j = i + 1;
            for (; j < n && text[j] != c && text[j] != QLatin1Char('\n'); ++j) {
                if (text[j] == QLatin1Char('\\') && j + 1 < n) {
                    const QChar e = text[++j];
                    literal += e == QLatin1Char('n')   ? QChar('\n')
                               : e == QLatin1Char('r') ? QChar('\r')
                               : e == QLatin1Char('t') ? QChar('\t')
                                                       : e;
                } else {
                    literal += text[j];
                }
            }
            if (c == QLatin1Char('"'))
                found.append({line, literal});
            i = j;
        }
    }
    return found;
}

bool HasCyrillic(const QString& s) {
    for (const QChar c : s)
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF)
            return true;
    return false;
}

// The placeholders %1..%99 a text uses, sorted.
QStringList Placeholders(const QString& s) {
    static const QRegularExpression re(QStringLiteral("%\\d+"));
    QStringList list;
    for (const QRegularExpressionMatch& m : re.globalMatch(s))
        list << m.captured();
    list.sort();
    list.removeDuplicates();
    return list;
}

} // namespace

class TTranslationCatalogueTest : public QObject {
    Q_OBJECT

    QTemporaryDir FDir{QDir::tempPath() + QStringLiteral("/pinvel texts XXXXXX")};
    TCatalogue FFresh;
    TCatalogue FCheckedIn;

  private slots:
    void initTestCase() {
        // The texts of the sources as they are now, into a catalogue of our own.
        const QString fresh = FDir.filePath("fresh texts.ts");
        QProcess lupdate;
        lupdate.setProcessChannelMode(QProcess::MergedChannels);
        lupdate.start(QStringLiteral(PINVEL_LUPDATE),
                      {"-locations", "none", "-source-language", "ru", "-target-language", "en",
                       "-recursive", QStringLiteral(PINVEL_SOURCE_DIR) + "/src",
                       QStringLiteral(PINVEL_SOURCE_DIR) + "/tools", "-ts", fresh});
        QVERIFY(lupdate.waitForFinished(180000));
        QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0,
                 lupdate.readAll().constData());
        FFresh = ReadCatalogue(fresh);
        FCheckedIn = ReadCatalogue(QStringLiteral(PINVEL_TS_FILE));
        QVERIFY(FFresh.All.size() > 200);
    }

    void everyTextHasAFinishedTranslation() {
        QStringList missing;
        for (const QString& key : FFresh.All)
            if (!FCheckedIn.Finished.contains(key))
                missing << key.section(QLatin1Char('\n'), 0, 0) + ": «" +
                               key.section(QLatin1Char('\n'), 1, 1) + "» " +
                               key.section(QLatin1Char('\n'), 2);
        QVERIFY2(missing.isEmpty(),
                 qPrintable("texts without an English translation (scripts/translations.sh, "
                            "then translate translations/pinvel_en.ts):\n" +
                            missing.join(QLatin1Char('\n'))));
    }

    void translationsKeepThePlaceholders() {
        // A lost %2 would drop a path or a reason from the English message.
        QStringList wrong;
        for (auto it = FCheckedIn.Finished.cbegin(); it != FCheckedIn.Finished.cend(); ++it) {
            const QString source = it.key().section(QLatin1Char('\n'), 1, 1);
            if (Placeholders(source) != Placeholders(it.value()))
                wrong << source + " -> " + it.value();
            if (HasCyrillic(it.value()))
                wrong << it.value() + " (not English)";
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1Char('\n'))));
    }

    void noRussianTextBypassesTheTranslation() {
        // A Russian literal that lupdate did not collect is a text shown without tr(). Never
        // shown, and so left as it is: the line the program's type is measured with.
        const QStringList unseen{QStringLiteral("Техническая поддержка: Приращение в имени "
                                                "Соответствия")};
        QStringList bypassing;
        const QString all = QStringList(FFresh.Sources.values()).join(QChar(0));
        for (const char* folder : {"/src", "/tools"}) {
            QDirIterator it(QStringLiteral(PINVEL_SOURCE_DIR) + QLatin1String(folder),
                            {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext()) {
                const QString path = it.next();
                QFile f(path);
                QVERIFY(f.open(QIODevice::ReadOnly));
                for (const auto& [line, literal] : StringLiterals(QString::fromUtf8(f.readAll())))
                    if (HasCyrillic(literal) && !all.contains(literal) && !unseen.contains(literal))
                        bypassing << QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(literal);
            }
        }
        QVERIFY2(bypassing.isEmpty(),
                 qPrintable("Russian texts past tr():\n" + bypassing.join(QLatin1Char('\n'))));
    }

    void theScannerFindsWhatItShould() {
        // The literal scanner itself: comments skipped, escapes read, lines counted.
        const auto found = StringLiterals(
            "// \"в комментарии\"\nx = tr(\"раз\\nдва\"); /* \"нет\"\n */ y = 'a'; z = \"три\";");
        QCOMPARE(found.size(), 2);
        QCOMPARE(found[0], std::make_pair(2, QStringLiteral("раз\nдва")));
        QCOMPARE(found[1], std::make_pair(3, QStringLiteral("три")));
    }
};

QTEST_GUILESS_MAIN(TTranslationCatalogueTest)
#include "TTranslationCatalogueTest.moc"
