// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordChain.h"

#include "TTestRecord.h"

#include <QJsonDocument>
#include <openssl/sha.h>

namespace {

// An empty text is stored as one, never as NULL.
QString Text(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

void Escaped(QByteArray& out, const QByteArray& bytes) {
    for (const char c : bytes) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
}

void Field(QByteArray& out, const char* name, const QString& value) {
    out += name;
    out += '=';
    // Most values are plain ASCII with none of the three escaped characters: copied as they
    // are, without a UTF-8 copy of their own.
    const qsizetype at = out.size();
    out.resize(at + value.size());
    char* to = out.data() + at;
    bool plain = true;
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        if (u >= 0x80 || u == '\\' || u == '\n' || u == '\r') {
            plain = false;
            break;
        }
        *to++ = char(u);
    }
    if (!plain) {
        out.resize(at);
        Escaped(out, value.toUtf8());
    }
    out += '\n';
}

void Field(QByteArray& out, const char* name, qint64 value) {
    out += name;
    out += '=';
    out += QByteArray::number(value);
    out += '\n';
}

void Field(QByteArray& out, const char* name, const std::optional<qint64>& value) {
    out += name;
    out += '=';
    if (value)
        out += QByteArray::number(*value);
    out += '\n';
}

} // namespace

TChainRow TRecordChain::RowOf(const TTestRecord& r) {
    TChainRow row;
    row.Uid = Text(r.Uid);
    row.Station = Text(r.Station);
    row.Seq = r.ChainSeq;
    row.PrevHash = Text(r.PrevHash);
    row.CheckedAt = TTestRecord::ToMs(r.Time);
    row.Operator = Text(r.Operator);
    row.Project = Text(r.ProjectName());
    row.ProjectPath = Text(r.ProjectPath);
    row.ReferenceSum = Text(r.ReferenceSum);
    row.Serial = Text(r.Serial);
    row.Verdict = TTestRecord::VerdictKey(r.Good);
    row.Mode = TTestRecord::ModeKey(r.Mode);
    row.Scans = r.Scans;
    row.FaultCount = qint64(r.Faults.size());
    row.ReferenceApproved = r.ReferenceApproved ? 1 : 0;
    row.Faults.reserve(r.Faults.size());
    for (const TRecordFault& f : r.Faults) {
        TChainRow::TFaultRow fault;
        fault.Kind = TFault::KindKey(f.Fault.Kind);
        // The contacts column is what a search for a contact reads.
        fault.Contacts = Text(f.Fault.Contacts().join(QLatin1Char(' ')));
        fault.Detail =
            QString::fromUtf8(QJsonDocument(f.Fault.ToJson()).toJson(QJsonDocument::Compact));
        fault.Seen = f.Seen;
        if (f.First.isValid())
            fault.First = TTestRecord::ToMs(f.First);
        if (f.Last.isValid())
            fault.Last = TTestRecord::ToMs(f.Last);
        row.Faults.push_back(std::move(fault));
    }
    row.Hash = Text(r.Hash);
    return row;
}

QByteArray TRecordChain::Canonical(const TChainRow& row) {
    QByteArray out;
    Write(row, out);
    return out;
}

void TRecordChain::Write(const TChainRow& row, QByteArray& out) {
    out.resize(0);
    out.reserve(512 + qsizetype(row.Faults.size()) * 256);
    Field(out, "pinvel-record", qint64(1));
    Field(out, "uid", row.Uid);
    Field(out, "station", row.Station);
    Field(out, "chain_seq", row.Seq);
    Field(out, "prev_hash", row.PrevHash);
    Field(out, "checked_at", row.CheckedAt);
    Field(out, "operator_name", row.Operator);
    Field(out, "project", row.Project);
    Field(out, "project_path", row.ProjectPath);
    Field(out, "reference_sum", row.ReferenceSum);
    Field(out, "serial", row.Serial);
    Field(out, "verdict", row.Verdict);
    Field(out, "mode", row.Mode);
    Field(out, "scans", row.Scans);
    Field(out, "fault_count", row.FaultCount);
    Field(out, "reference_approved", row.ReferenceApproved);
    for (std::size_t i = 0; i < row.Faults.size(); ++i) {
        const TChainRow::TFaultRow& f = row.Faults[i];
        Field(out, "fault", qint64(i));
        Field(out, "kind", f.Kind);
        Field(out, "contacts", f.Contacts);
        Field(out, "detail", f.Detail);
        Field(out, "seen", f.Seen);
        Field(out, "first_seen", f.First);
        Field(out, "last_seen", f.Last);
    }
}

QString TRecordChain::HashOf(const TChainRow& row) {
    // One buffer per thread, its room kept from record to record (an audit hashes them all).
    // OpenSSL's SHA-256 uses the processor's SHA instructions: several times Qt's own speed.
    thread_local QByteArray form;
    Write(row, form);
    unsigned char digest[SHA256_DIGEST_LENGTH];
    SHA256(reinterpret_cast<const unsigned char*>(form.constData()), std::size_t(form.size()),
           digest);
    return QString::fromLatin1(
        QByteArray::fromRawData(reinterpret_cast<const char*>(digest), sizeof digest).toHex());
}

void TRecordChain::Link(TTestRecord& record, qint64 headSeq, const QString& headHash) {
    record.ChainSeq = headSeq + 1;
    record.PrevHash = headSeq > 0 ? headHash : QString();
    record.Hash = HashOf(RowOf(record));
}
