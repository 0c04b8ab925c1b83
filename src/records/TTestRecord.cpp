// SPDX-License-Identifier: GPL-3.0-or-later
#include "TTestRecord.h"

#include "TCheckPoints.h"
#include "TContinuousCheck.h"
#include "THarnessCheck.h"
#include "TReference.h"
#include "TWireList.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QSysInfo>
#include <QUuid>
#include <algorithm>
#include <limits>

QString TTestRecord::ProjectName() const {
    return QFileInfo(ProjectPath).fileName();
}

QString TTestRecord::VerdictText() const {
    return TCheckResult::VerdictText(Good);
}

TTestRecord TTestRecord::Make(const QString& projectPath, const QString& referenceSum,
                              const QString& serial, const QString& oper) {
    TTestRecord r;
    r.Uid = NewUid();
    // Whole milliseconds: what the database keeps is what the record says.
    r.Time = FromMs(ToMs(QDateTime::currentDateTimeUtc()));
    r.Station = ThisStation();
    r.Operator = oper.trimmed();
    r.ProjectPath = projectPath.isEmpty() ? QString() : QFileInfo(projectPath).absoluteFilePath();
    r.ReferenceSum = referenceSum;
    r.Serial = serial.trimmed();
    return r;
}

void TTestRecord::TakeResult(const TCheckResult& result) {
    Mode = TMode::Verify;
    Scans = 1;
    Faults.clear();
    for (const TFault& f : result.Faults)
        Faults.push_back({f, 1, {}, {}});
    FaultTotal = int(Faults.size());
    Good = Faults.empty();
}

void TTestRecord::TakeLatched(const std::vector<TLatchedFault>& latched, long long scans) {
    Mode = TMode::Watch;
    Scans = int(std::clamp<long long>(scans, 0, std::numeric_limits<int>::max()));
    Faults.clear();
    for (const TLatchedFault& l : latched)
        Faults.push_back({l.Fault, l.Count, FromMs(ToMs(l.First)), FromMs(ToMs(l.Last))});
    FaultTotal = int(Faults.size());
    Good = Faults.empty();
}

QString TTestRecord::NewUid() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString TTestRecord::ThisStation() {
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? QStringLiteral("localhost") : name;
}

QString TTestRecord::ReferenceSumOf(const TReference& reference, const TCheckPoints& points) {
    return QString::fromLatin1(
        QCryptographicHash::hash(TWireList::ToCsv(reference, points), QCryptographicHash::Sha256)
            .toHex());
}

void TTestRecord::TakeReference(const TReference& reference, const TCheckPoints& points) {
    ReferenceWires = TWireList::ToCsv(reference, points);
    ReferenceSum = QString::fromLatin1(
        QCryptographicHash::hash(ReferenceWires, QCryptographicHash::Sha256).toHex());
}

QString TTestRecord::ModeKey(TMode mode) {
    return mode == TMode::Watch ? QStringLiteral("watch") : QStringLiteral("verify");
}

bool TTestRecord::ModeFromKey(const QString& key, TMode& mode) {
    if (key == QLatin1String("verify"))
        mode = TMode::Verify;
    else if (key == QLatin1String("watch"))
        mode = TMode::Watch;
    else
        return false;
    return true;
}

QString TTestRecord::VerdictKey(bool good) {
    return good ? QStringLiteral("good") : QStringLiteral("faulty");
}
