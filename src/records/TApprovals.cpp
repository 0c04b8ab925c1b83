// SPDX-License-Identifier: GPL-3.0-or-later
#include "TApprovals.h"

#include "TRecordsDatabase.h"

#include "TIniFile.h"
#include "TRecordStore.h"
#include "TTestRecord.h"

#include <QCoreApplication>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TApprovals)
};

// The latest approval of a reference in one database; false when it cannot be read.
bool Latest(TRecordsDatabase& database, const QString& sum, std::optional<TApproval>& out,
            QString* error) {
    QSqlQuery q(database.Connection());
    if (!TRecordsDatabase::Exec(
            q,
            QStringLiteral("SELECT supervisor, approved_at, station FROM approvals WHERE "
                           "reference_sum = ? ORDER BY approved_at DESC, supervisor LIMIT 1"),
            {sum})) {
        if (error)
            *error = TTexts::tr("Не удалось прочитать базу записей «%1»: %2")
                         .arg(database.Name(), q.lastError().text().trimmed());
        return false;
    }
    out.reset();
    if (q.next())
        out = TApproval{sum, q.value(0).toString(), TTestRecord::FromMs(q.value(1).toLongLong()),
                        q.value(2).toString()};
    return true;
}

bool Keep(TRecordsDatabase& database, const TApproval& a, QString* error) {
    QSqlQuery q(database.Connection());
    if (TRecordsDatabase::Exec(
            q,
            QStringLiteral("INSERT INTO approvals (reference_sum, supervisor, approved_at, "
                           "station) VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING"),
            {a.ReferenceSum, a.Supervisor, TTestRecord::ToMs(a.When), a.Station}))
        return true;
    if (error)
        *error = TTexts::tr("Не удалось записать в базу записей «%1»: %2")
                     .arg(database.Name(), q.lastError().text().trimmed());
    return false;
}
} // namespace

QString TApproval::Text() const {
    return TTexts::tr("утвержден: %1, %2")
        .arg(Supervisor, When.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
}

QString TApproval::NoneText() {
    return TTexts::tr("не утвержден");
}

bool TApprovals::Required(const TIniFile& settings) {
    return settings.ReadBool(QStringLiteral("Check"), QStringLiteral("RequireApproval"), false);
}

QString TApprovals::RefusalText() {
    return TTexts::tr("Эталон не утвержден: проверка невозможна. Обратитесь к мастеру.");
}

TApprovals::TApprovals(TRecordStore& store, TPinCost cost, TSupervisors::TClock clock)
    : FStore(store), FCost(cost), FClock(std::move(clock)) {}

TSupervisors* TApprovals::Supervisors(QString* error) {
    if (!FSupervisors) {
        TRecordsDatabase* database = FStore.Reading(error);
        if (database == nullptr)
            return nullptr;
        FSupervisors.emplace(*database, FCost, FClock);
    }
    return &*FSupervisors;
}

std::optional<TApproval> TApprovals::Find(const QString& referenceSum, QString* error) {
    std::optional<TApproval> found;
    QString problem;
    TRecordsDatabase* database = FStore.Reading(&problem);
    if (database != nullptr && Latest(*database, referenceSum, found, &problem)) {
        // The station remembers what the shared database said, for the hours it is away.
        if (found && database != &FStore.Local() && FStore.ReadingLocal())
            Keep(FStore.Local(), *found, nullptr);
        if (error)
            error->clear();
        return found;
    }
    TRecordsDatabase* local = database == &FStore.Local() ? nullptr : FStore.ReadingLocal(nullptr);
    if (local != nullptr && Latest(*local, referenceSum, found, nullptr)) {
        if (error)
            error->clear();
        return found;
    }
    if (error)
        *error = problem;
    return std::nullopt;
}

TPinCheck TApprovals::Approve(const QString& referenceSum, const QString& supervisor,
                              const QString& pin, TApproval* approval) {
    TPinCheck check;
    check.Supervisor = supervisor.trimmed();
    TSupervisors* supervisors = Supervisors(&check.Error);
    if (supervisors == nullptr)
        return check;
    check = supervisors->Check(supervisor, pin);
    if (!check.Accepted())
        return check;
    const QDateTime now = FClock ? FClock() : QDateTime::currentDateTimeUtc();
    const TApproval made{referenceSum, check.Supervisor,
                         TTestRecord::FromMs(TTestRecord::ToMs(now)), TTestRecord::ThisStation()};
    TRecordsDatabase* database = FStore.Reading(&check.Error);
    if (database == nullptr || !Keep(*database, made, &check.Error)) {
        check.Verdict = TPinCheck::TVerdict::Failed;
        return check;
    }
    if (database != &FStore.Local() && FStore.ReadingLocal())
        Keep(FStore.Local(), made, nullptr);
    if (approval)
        *approval = made;
    return check;
}
