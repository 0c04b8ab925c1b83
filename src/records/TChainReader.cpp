// SPDX-License-Identifier: GPL-3.0-or-later
#include "TChainReader.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace {
bool Run(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    q.setForwardOnly(true);
    if (!q.prepare(sql))
        return false;
    for (const QVariant& v : values)
        q.addBindValue(v);
    return q.exec();
}

bool Stopped(const std::atomic<bool>* stop) {
    return stop && stop->load(std::memory_order_relaxed);
}
} // namespace

bool TChainReader::Read(const QSqlDatabase& db, const QString& where, const QVariantList& values,
                        std::vector<TChainRow>& rows, QString* error,
                        const std::atomic<bool>* stop) {
    rows.clear();
    QSqlQuery q(db);
    const auto fail = [&] {
        if (error)
            *error = q.lastError().text();
        return false;
    };
    if (!Run(q,
             QStringLiteral("SELECT uid, station, chain_seq, prev_hash, checked_at, operator_name, "
                            "project, project_path, reference_sum, serial, verdict, mode, scans, "
                            "fault_count, record_hash FROM records WHERE %1")
                 .arg(where),
             values))
        return fail();
    QHash<QString, std::size_t> byUid;
    while (q.next()) {
        if ((rows.size() & 4095) == 0 && Stopped(stop))
            return false;
        TChainRow r;
        r.Uid = q.value(0).toString();
        r.Station = q.value(1).toString();
        r.Seq = q.value(2).toLongLong();
        r.PrevHash = q.value(3).toString();
        r.CheckedAt = q.value(4).toLongLong();
        r.Operator = q.value(5).toString();
        r.Project = q.value(6).toString();
        r.ProjectPath = q.value(7).toString();
        r.ReferenceSum = q.value(8).toString();
        r.Serial = q.value(9).toString();
        r.Verdict = q.value(10).toString();
        r.Mode = q.value(11).toString();
        r.Scans = q.value(12).toLongLong();
        r.FaultCount = q.value(13).toLongLong();
        r.Hash = q.value(14).toString();
        byUid.insert(r.Uid, rows.size());
        rows.push_back(std::move(r));
    }
    if (q.lastError().isValid())
        return fail();
    if (!Run(q,
             // The faults are far fewer than the records: each finds its record by its key.
             QStringLiteral("SELECT f.record_uid, f.kind, f.contacts, f.detail, f.seen, "
                            "f.first_seen, f.last_seen FROM faults f JOIN records ON records.uid = "
                            "f.record_uid WHERE %1 ORDER BY f.record_uid, f.seq")
                 .arg(where),
             values))
        return fail();
    while (q.next()) {
        const auto at = byUid.constFind(q.value(0).toString());
        if (at == byUid.constEnd())
            continue;
        TChainRow::TFaultRow f;
        f.Kind = q.value(1).toString();
        f.Contacts = q.value(2).toString();
        f.Detail = q.value(3).toString();
        f.Seen = q.value(4).toLongLong();
        if (!q.value(5).isNull())
            f.First = q.value(5).toLongLong();
        if (!q.value(6).isNull())
            f.Last = q.value(6).toLongLong();
        rows[*at].Faults.push_back(std::move(f));
    }
    if (q.lastError().isValid())
        return fail();
    if (Stopped(stop))
        return false;
    std::sort(rows.begin(), rows.end(), [](const TChainRow& a, const TChainRow& b) {
        if (const int c = QString::compare(a.Station, b.Station); c != 0)
            return c < 0;
        if (a.Seq != b.Seq)
            return a.Seq < b.Seq;
        if (a.CheckedAt != b.CheckedAt)
            return a.CheckedAt < b.CheckedAt;
        return QString::compare(a.Uid, b.Uid) < 0;
    });
    return true;
}
