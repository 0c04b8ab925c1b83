// SPDX-License-Identifier: GPL-3.0-or-later
#include "TReferenceArchive.h"

#include "TRecordsDatabase.h"
#include "TTestRecord.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TReferenceArchive)
};

// An empty text is stored as one, never as NULL.
QString Text(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}
} // namespace

TKeptReference TKeptReference::Make(const QByteArray& wires, const QString& projectPath,
                                    const QString& keptBy, TOrigin origin) {
    TKeptReference r;
    r.Sum = SumOf(wires);
    r.Wires = wires;
    r.Project = QFileInfo(projectPath).fileName();
    r.KeptBy = keptBy.trimmed();
    r.Station = TTestRecord::ThisStation();
    r.Time = TTestRecord::FromMs(TTestRecord::ToMs(QDateTime::currentDateTimeUtc()));
    r.Origin = origin;
    return r;
}

TKeptReference TKeptReference::OfRecord(const TTestRecord& record) {
    TKeptReference r;
    r.Sum = record.ReferenceSum;
    r.Wires = record.ReferenceWires;
    r.Project = record.ProjectName();
    r.KeptBy = record.Operator;
    r.Station = record.Station;
    r.Time = record.Time;
    r.Origin = TOrigin::Checked;
    return r;
}

QString TKeptReference::SumOf(const QByteArray& wires) {
    return QString::fromLatin1(QCryptographicHash::hash(wires, QCryptographicHash::Sha256).toHex());
}

QString TKeptReference::OriginKey(TOrigin origin) {
    switch (origin) {
    case TOrigin::Learned:
        return QStringLiteral("learned");
    case TOrigin::Imported:
        return QStringLiteral("imported");
    case TOrigin::Checked:
        break;
    }
    return QStringLiteral("checked");
}

TKeptReference::TOrigin TKeptReference::OriginFromKey(const QString& key) {
    if (key == QLatin1String("learned"))
        return TOrigin::Learned;
    if (key == QLatin1String("imported"))
        return TOrigin::Imported;
    return TOrigin::Checked;
}

QString TKeptReference::OriginText(TOrigin origin) {
    switch (origin) {
    case TOrigin::Learned:
        return TTexts::tr("снят с жгута");
    case TOrigin::Imported:
        return TTexts::tr("загружен из перечня проводов");
    case TOrigin::Checked:
        break;
    }
    return TTexts::tr("впервые встречен в записи проверки");
}

bool TReferenceArchive::Keep(QSqlQuery& query, const TKeptReference& r) {
    // The station's role may not update: a sum kept before is left as it is, without asking.
    if (!query.prepare(QStringLiteral(
            "INSERT INTO reference_lists (sha256, wires, project, kept_by, station, kept_at, "
            "origin) VALUES (?, ?, ?, ?, ?, ?, ?) ON CONFLICT (sha256) DO NOTHING")))
        return false;
    for (const QVariant& v : QVariantList{
             r.Sum, QString::fromUtf8(r.Wires), Text(r.Project), Text(r.KeptBy), Text(r.Station),
             TTestRecord::ToMs(r.Time), TKeptReference::OriginKey(r.Origin)})
        query.addBindValue(v);
    return query.exec();
}

bool TReferenceArchive::Keep(TRecordsDatabase& database, const TKeptReference& r, QString* error) {
    const QString what = TTexts::tr("Не удалось сохранить эталон в базе «%1»: %2");
    // Kept under a sum that is not its own, the text could never be told from another.
    if (TKeptReference::SumOf(r.Wires) != r.Sum) {
        if (error)
            *error =
                what.arg(database.Name(),
                         TTexts::tr("текст эталона не соответствует его SHA-256 %1").arg(r.Sum));
        return false;
    }
    QSqlQuery q(database.Connection());
    if (Keep(q, r))
        return true;
    if (error)
        *error = what.arg(database.Name(), q.lastError().text().trimmed());
    return false;
}

std::optional<TKeptReference> TReferenceArchive::Find(TRecordsDatabase& database,
                                                      const QString& sum, QString* error) {
    QSqlQuery q(database.Connection());
    if (!q.prepare(QStringLiteral("SELECT sha256, wires, project, kept_by, station, kept_at, "
                                  "origin FROM reference_lists WHERE sha256 = ?"))) {
        if (error)
            *error = TTexts::tr("Не удалось прочитать базу записей «%1»: %2")
                         .arg(database.Name(), q.lastError().text().trimmed());
        return std::nullopt;
    }
    q.addBindValue(sum.trimmed().toLower());
    if (!q.exec()) {
        if (error)
            *error = TTexts::tr("Не удалось прочитать базу записей «%1»: %2")
                         .arg(database.Name(), q.lastError().text().trimmed());
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    TKeptReference r;
    r.Sum = q.value(0).toString();
    r.Wires = q.value(1).toString().toUtf8();
    r.Project = q.value(2).toString();
    r.KeptBy = q.value(3).toString();
    r.Station = q.value(4).toString();
    r.Time = TTestRecord::FromMs(q.value(5).toLongLong());
    r.Origin = TKeptReference::OriginFromKey(q.value(6).toString());
    return r;
}
