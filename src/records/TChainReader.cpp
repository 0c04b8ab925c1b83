// SPDX-License-Identifier: GPL-3.0-or-later
#include "TChainReader.h"

#include "TRecordsDatabase.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <algorithm>

namespace {
bool Run(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    q.setForwardOnly(true);
    return TRecordsDatabase::Exec(q, sql, values);
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
    // The faults first: far fewer than the records, each finds its record by its key, and the
    // records then take theirs from a small table.
    if (!Run(q,
             QStringLiteral("SELECT f.record_uid, f.kind, f.contacts, f.detail, f.seen, "
                            "f.first_seen, f.last_seen FROM faults f JOIN records ON records.uid = "
                            "f.record_uid WHERE %1 ORDER BY f.record_uid, f.seq")
                 .arg(where),
             values))
        return fail();
    QHash<QString, std::vector<TChainRow::TFaultRow>> faults;
    while (q.next()) {
        TChainRow::TFaultRow f;
        f.Kind = q.value(1).toString();
        f.Contacts = q.value(2).toString();
        f.Detail = q.value(3).toString();
        f.Seen = q.value(4).toLongLong();
        if (!q.value(5).isNull())
            f.First = q.value(5).toLongLong();
        if (!q.value(6).isNull())
            f.Last = q.value(6).toLongLong();
        faults[q.value(0).toString()].push_back(std::move(f));
    }
    if (q.lastError().isValid())
        return fail();
    if (!Run(q,
             QStringLiteral("SELECT uid, station, chain_seq, prev_hash, checked_at, operator_name, "
                            "project, project_path, reference_sum, serial, verdict, mode, scans, "
                            "fault_count, reference_approved, record_hash FROM records WHERE %1")
                 .arg(where),
             values))
        return fail();
    if (const int size = q.size(); size > 0)
        rows.reserve(std::size_t(size));
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
        r.ReferenceApproved = q.value(14).toLongLong();
        r.Hash = q.value(15).toString();
        if (!faults.isEmpty())
            if (const auto at = faults.find(r.Uid); at != faults.end()) {
                r.Faults = std::move(*at);
                faults.erase(at);
            }
        rows.push_back(std::move(r));
    }
    if (q.lastError().isValid())
        return fail();
    if (Stopped(stop))
        return false;
    // Sorted by place: the stations by name once, then an order of numbers moved into place.
    QHash<QString, int> stationOf;
    for (const TChainRow& r : rows)
        stationOf.insert(r.Station, 0);
    QStringList stations = stationOf.keys();
    std::sort(stations.begin(), stations.end(),
              [](const QString& a, const QString& b) { return QString::compare(a, b) < 0; });
    for (int i = 0; i < stations.size(); ++i)
        stationOf[stations[i]] = i;
    std::vector<int> station(rows.size());
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        station[i] = stationOf.value(rows[i].Station);
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const TChainRow& x = rows[a];
        const TChainRow& y = rows[b];
        if (station[a] != station[b])
            return station[a] < station[b];
        if (x.Seq != y.Seq)
            return x.Seq < y.Seq;
        if (x.CheckedAt != y.CheckedAt)
            return x.CheckedAt < y.CheckedAt;
        return QString::compare(x.Uid, y.Uid) < 0;
    });
    std::vector<TChainRow> sorted;
    sorted.reserve(rows.size());
    for (const std::size_t i : order)
        sorted.push_back(std::move(rows[i]));
    rows = std::move(sorted);
    return true;
}
