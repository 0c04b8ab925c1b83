// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordAudit.h"

#include "TChainReader.h"
#include "TRecordsDatabase.h"
#include "TTestRecord.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TRecordAudit)
};

TChainBreak Named(TChainBreak::TKind kind, const TChainRow& r) {
    TChainBreak b;
    b.Kind = kind;
    b.Station = r.Station;
    b.Seq = r.Seq;
    b.Uid = r.Uid;
    b.CheckedAt = r.CheckedAt;
    b.Serial = r.Serial;
    return b;
}
} // namespace

QString TChainBreak::Text() const {
    const QString record =
        TTexts::tr("%1, серийный номер «%2», ид. %3")
            .arg(TTestRecord::TimeText(TTestRecord::FromMs(CheckedAt)), Serial, Uid);
    switch (Kind) {
    case TKind::Deleted:
        if (SeqTo > Seq)
            return TTexts::tr("Станция «%1»: удалены записи № %2–%3.")
                .arg(Station)
                .arg(Seq)
                .arg(SeqTo);
        return TTexts::tr("Станция «%1»: удалена запись № %2.").arg(Station).arg(Seq);
    case TKind::Altered:
        if (Rewritten)
            return TTexts::tr("Станция «%1»: запись № %2 (%3) изменена: ее отпечаток вычислен "
                              "заново, а следующая запись помнит прежний.")
                .arg(Station)
                .arg(Seq)
                .arg(record);
        return TTexts::tr("Станция «%1»: запись № %2 (%3) изменена.")
            .arg(Station)
            .arg(Seq)
            .arg(record);
    case TKind::Inserted:
        if (Seq > 0)
            return TTexts::tr("Станция «%1»: запись (%2) вставлена на место № %3, занятое другой "
                              "записью.")
                .arg(Station, record)
                .arg(Seq);
        return TTexts::tr("Станция «%1»: запись (%2) вставлена: ей нет места в цепочке станции.")
            .arg(Station, record);
    case TKind::Reordered:
        return TTexts::tr("Станция «%1»: запись № %2 (%3) переставлена: в цепочке она шла после "
                          "записи № %4.")
            .arg(Station)
            .arg(Seq)
            .arg(record)
            .arg(After);
    }
    return {};
}

QString TAuditResult::Summary() const {
    if (Whole())
        return TTexts::tr("Цепочка записей цела: станций %1, записей %2.")
            .arg(Stations)
            .arg(Records);
    return TTexts::tr("Цепочка записей нарушена: нарушений %1 (станций %2, записей %3).")
        .arg(Breaks.size())
        .arg(Stations)
        .arg(Records);
}

std::optional<TAuditResult> TRecordAudit::Run(TRecordsDatabase& db, const QString& station,
                                              QString* error, const std::atomic<bool>* stop) {
    QString where = QStringLiteral("1 = 1");
    QVariantList values;
    if (!station.isEmpty()) {
        where = QStringLiteral("station = ?");
        values << station;
    }
    // The station's file: records of the time before the chain still waiting to be sent take
    // their place when they are sent.
    if (db.Kind() == TRecordsDatabase::TKind::Local)
        where +=
            QStringLiteral(" AND NOT (chain_seq IS NULL AND uid IN (SELECT uid FROM waiting))");
    std::vector<TChainRow> rows;
    QString why;
    if (!TChainReader::Read(db.Connection(), where, values, rows, &why, stop)) {
        if (error)
            *error = TTexts::tr("Не удалось прочитать базу записей «%1»: %2").arg(db.Name(), why);
        return std::nullopt;
    }
    // The station's file: a chain there begins where its records still in the file begin, the
    // ones before may have gone on to the shared database.
    return Check(rows, db.Kind() == TRecordsDatabase::TKind::Local);
}

TAuditResult TRecordAudit::Check(const std::vector<TChainRow>& rows, bool startAnywhere) {
    TAuditResult result;
    result.Records = qint64(rows.size());
    for (std::size_t from = 0; from < rows.size();) {
        std::size_t to = from + 1;
        while (to < rows.size() && rows[to].Station == rows[from].Station)
            ++to;
        ++result.Stations;
        CheckStation(rows, from, to, startAnywhere, result);
        from = to;
    }
    return result;
}

void TRecordAudit::CheckStation(const std::vector<TChainRow>& rows, std::size_t from,
                                std::size_t to, bool startAnywhere, TAuditResult& result) {
    using TKind = TChainBreak::TKind;
    // Which record each fingerprint belongs to, and which fingerprints a record follows: made
    // only when the chain breaks (a whole chain needs neither).
    QHash<QString, std::size_t> byHash;
    QSet<QString> followed;
    bool indexed = false;
    const auto index = [&] {
        if (indexed)
            return;
        indexed = true;
        byHash.reserve(qsizetype(to - from));
        followed.reserve(qsizetype(to - from));
        for (std::size_t k = from; k < to; ++k)
            if (rows[k].Seq > 0) {
                if (!rows[k].Hash.isEmpty())
                    byHash.insert(rows[k].Hash, k);
                followed.insert(rows[k].PrevHash);
            }
    };
    qint64 expected = 1;
    QString lastHash;
    std::ptrdiff_t last = -1;
    bool lastReported = false;
    std::size_t i = from;
    // Records without a place come first (as the reader sorts them).
    for (; i < to && rows[i].Seq <= 0; ++i)
        result.Breaks.push_back(Named(TKind::Inserted, rows[i]));
    if (startAnywhere && i < to) {
        expected = rows[i].Seq;
        lastHash = rows[i].PrevHash;
    }
    while (i < to) {
        // The records claiming one place: the one that fits the chain keeps it.
        std::size_t end = i + 1;
        while (end < to && rows[end].Seq == rows[i].Seq)
            ++end;
        std::size_t genuine = i;
        if (end - i > 1) {
            index();
            int best = -1;
            for (std::size_t k = i; k < end; ++k) {
                const TChainRow& c = rows[k];
                const int score = (c.PrevHash == lastHash ? 2 : 0) +
                                  (TRecordChain::HashOf(c) == c.Hash ? 1 : 0) +
                                  (followed.contains(c.Hash) ? 4 : 0);
                if (score > best) {
                    best = score;
                    genuine = k;
                }
            }
            for (std::size_t k = i; k < end; ++k)
                if (k != genuine)
                    result.Breaks.push_back(Named(TKind::Inserted, rows[k]));
        }
        const TChainRow& r = rows[genuine];
        bool gap = false;
        if (r.Seq > expected) {
            TChainBreak b;
            b.Kind = TKind::Deleted;
            b.Station = r.Station;
            b.Seq = expected;
            b.SeqTo = r.Seq - 1;
            result.Breaks.push_back(b);
            gap = true;
        }
        const bool valid = TRecordChain::HashOf(r) == r.Hash;
        bool reported = false;
        if (r.PrevHash != lastHash && !gap) {
            index();
            const auto target = byHash.constFind(r.PrevHash);
            // A record fingerprinted where it stands is in its place; the one before it moved.
            if (target != byHash.constEnd() && rows[*target].Seq != r.Seq - 1 && !valid) {
                TChainBreak b = Named(TKind::Reordered, r);
                b.After = rows[*target].Seq;
                result.Breaks.push_back(b);
                reported = true;
            } else if (valid && last >= 0 && !lastReported) {
                // This record is as it was made; the one before is not the one it followed.
                TChainBreak b = Named(TKind::Altered, rows[std::size_t(last)]);
                b.Rewritten = true;
                result.Breaks.push_back(b);
            }
        }
        if (!valid && !reported) {
            result.Breaks.push_back(Named(TKind::Altered, r));
            reported = true;
        }
        lastHash = r.Hash;
        last = std::ptrdiff_t(genuine);
        lastReported = reported;
        expected = r.Seq + 1;
        i = end;
    }
}
