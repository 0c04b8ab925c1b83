// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordsDatabase.h"

#include "TRecordChain.h"
#include "TRecordsConfig.h"
#include "TReferenceArchive.h"
#include "TSchemaUpgrade.h"
#include "TStatisticsCounts.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TRecordsDatabase)
};

QString NewConnectionName() {
    static std::atomic<int> next{0};
    return QStringLiteral("pinvel-records-%1").arg(next.fetch_add(1));
}

// Indexes that only make reading faster (the statistics), made at every opening when missing.
// They are no part of the schema's versions: a database without them is read the same, slower.
const char* const ReadingIndexes[] = {
    // The first and the last check of each harness, read from the index alone.
    "CREATE INDEX IF NOT EXISTS records_serial_verdict ON records (serial, checked_at, uid, "
    "verdict)",
};

const char* const RecordColumns = "uid, checked_at, station, operator_name, project_path, "
                                  "reference_sum, serial, verdict, mode, scans, fault_count, "
                                  "chain_seq, prev_hash, record_hash, reference_approved";

TTestRecord ReadRecord(const QSqlQuery& q) {
    TTestRecord r;
    r.Uid = q.value(0).toString();
    r.Time = TTestRecord::FromMs(q.value(1).toLongLong());
    r.Station = q.value(2).toString();
    r.Operator = q.value(3).toString();
    r.ProjectPath = q.value(4).toString();
    r.ReferenceSum = q.value(5).toString();
    r.Serial = q.value(6).toString();
    r.Good = q.value(7).toString() == TTestRecord::VerdictKey(true);
    TTestRecord::ModeFromKey(q.value(8).toString(), r.Mode);
    r.Scans = q.value(9).toInt();
    r.FaultTotal = q.value(10).toInt();
    r.ChainSeq = q.value(11).toLongLong();
    r.PrevHash = q.value(12).toString();
    r.Hash = q.value(13).toString();
    r.ReferenceApproved = q.value(14).toInt() != 0;
    return r;
}

TRecordsConfig LocalConfig(const QString& path) {
    TRecordsConfig config;
    config.LocalPath = path;
    return config;
}
} // namespace

bool TRecordsDatabase::Exec(QSqlQuery& q, const QString& sql, const QVariantList& values) {
    if (!q.prepare(sql))
        return false;
    for (const QVariant& v : values)
        q.addBindValue(v);
    return q.exec();
}

TRecordsDatabase::TRecordsDatabase(const TRecordsConfig& config, TKind kind)
    : FKind(kind), FConnection(NewConnectionName()) {
    if (kind == TKind::Local) {
        FName = config.LocalPath;
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FConnection);
        db.setDatabaseName(config.LocalPath);
        // Another program of the station may be writing: wait for it rather than fail.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        return;
    }
    FName = config.SharedUrl();
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), FConnection);
    db.setHostName(config.PgHost);
    db.setPort(config.PgPort);
    db.setUserName(config.PgUser);
    db.setDatabaseName(config.PgDatabase);
    // No password here: the client library reads ~/.pgpass. The connect time-out bounds the
    // wait for a server that does not answer; the keep-alives and the user time-out end a
    // connection whose server went away in the middle of a statement.
    db.setConnectOptions(
        QStringLiteral("connect_timeout=%1;keepalives=1;keepalives_idle=5;keepalives_interval=2;"
                       "keepalives_count=3;tcp_user_timeout=%2;application_name=pinvel")
            .arg(config.ConnectTimeoutS)
            .arg(config.ConnectTimeoutS * 1000 + 5000));
}

TRecordsDatabase::TRecordsDatabase(const QString& path)
    : TRecordsDatabase(LocalConfig(path), TKind::Local) {}

TRecordsDatabase::~TRecordsDatabase() {
    {
        QSqlDatabase db = QSqlDatabase::database(FConnection, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(FConnection);
}

bool TRecordsDatabase::Fail(QString* error, const QString& what, const QString& reason) {
    if (error)
        *error = what.arg(FName, reason.trimmed());
    return false;
}

bool TRecordsDatabase::Fail(QString* error, const QString& what, const QSqlError& reason) {
    // SQLite's own words for a file that is no database (26) or a damaged one (11).
    const QString code = reason.nativeErrorCode();
    if (FKind == TKind::Local && (code == QLatin1String("26") || code == QLatin1String("11")))
        FDamaged = true;
    return Fail(error, what, reason.text());
}

bool TRecordsDatabase::IsOpen() const {
    return QSqlDatabase::database(FConnection, false).isOpen();
}

void TRecordsDatabase::Close() {
    QSqlDatabase db = QSqlDatabase::database(FConnection, false);
    db.close();
}

bool TRecordsDatabase::Open(QString* error) {
    const QString what = TTexts::tr("Не удалось открыть базу записей «%1»: %2");
    QSqlDatabase db = QSqlDatabase::database(FConnection, false);
    if (!db.isValid())
        return Fail(error, what, TTexts::tr("нет драйвера Qt SQL для этой базы"));
    if (db.isOpen())
        return true;
    if (FKind == TKind::Local) {
        const QString folder = QFileInfo(FName).absolutePath();
        if (!QDir().mkpath(folder))
            return Fail(error, what, TTexts::tr("не удалось создать папку «%1»").arg(folder));
    }
    if (!db.open())
        return Fail(error, what, db.lastError());
    if (db.driverName() == QLatin1String("QSQLITE")) {
        // The log of changes beside the file lets the journal read while a record is written;
        // every commit reaches the disk before it counts.
        QSqlQuery q(db);
        for (const char* pragma : {"PRAGMA journal_mode=WAL", "PRAGMA synchronous=FULL"})
            if (!q.exec(QLatin1String(pragma))) {
                const QSqlError why = q.lastError();
                db.close();
                return Fail(error, what, why);
            }
    }
    // Two stations making the schema at once: one of them loses the race and finds it made.
    if (!MakeSchemaCurrent(error) && !MakeSchemaCurrent(error)) {
        db.close();
        return false;
    }
    MakeReadingIndexes();
    return true;
}

void TRecordsDatabase::MakeReadingIndexes() {
    // Another station making the same index at the same moment may win the race; an index
    // missing costs time, never a record, so a failure here is not the opening's.
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    // PostgreSQL would tell the program's error output that an index is there already.
    const bool postgres = FKind == TKind::Shared;
    if (postgres)
        q.exec(QStringLiteral("SET client_min_messages TO warning"));
    for (const char* statement : ReadingIndexes)
        q.exec(QLatin1String(statement));
    if (postgres)
        q.exec(QStringLiteral("RESET client_min_messages"));
}

QSqlDatabase TRecordsDatabase::Connection() const {
    return QSqlDatabase::database(FConnection, false);
}

int TRecordsDatabase::SchemaVersion(QString* error) {
    QSqlDatabase db = QSqlDatabase::database(FConnection, false);
    if (!db.tables().contains(QStringLiteral("schema_version")))
        return 0;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT MAX(version) FROM schema_version")) || !q.next()) {
        Fail(error, TTexts::tr("Не удалось прочитать базу записей «%1»: %2"), q.lastError());
        return -1;
    }
    return q.value(0).toInt();
}

bool TRecordsDatabase::MakeSchemaCurrent(QString* error) {
    const QString what = TTexts::tr("Не удалось подготовить базу записей «%1»: %2");
    QSqlDatabase db = QSqlDatabase::database(FConnection, false);
    const int have = SchemaVersion(error);
    if (have < 0)
        return false;
    const int known = int(TSchemaUpgrade::Steps().size());
    if (have > known)
        return Fail(error, what,
                    TTexts::tr("она создана более новой версией программы (схема %1, эта "
                               "программа знает схему %2)")
                        .arg(have)
                        .arg(known));
    for (int version = have + 1; version <= known; ++version) {
        if (!db.transaction())
            return Fail(error, what, db.lastError());
        QSqlQuery q(db);
        bool ok = true;
        if (version == 1)
            ok = q.exec(QStringLiteral("CREATE TABLE schema_version (version INTEGER NOT NULL)"));
        for (const char* statement : TSchemaUpgrade::Steps()[std::size_t(version - 1)])
            ok = ok && q.exec(QLatin1String(statement));
        QString upgradeError;
        const bool statementsOk = ok;
        ok = ok && TSchemaUpgrade::Finish(version, db, FKind == TKind::Local, &upgradeError);
        const bool upgradeFailed = statementsOk && !ok;
        ok = ok &&
             TRecordsDatabase::Exec(
                 q, QStringLiteral("INSERT INTO schema_version (version) VALUES (?)"), {version});
        if (!ok || !db.commit()) {
            const QString why =
                upgradeFailed ? upgradeError : (ok ? db.lastError() : q.lastError()).text();
            if (!upgradeFailed) // the upgrade rolls its own failure back
                db.rollback();
            return Fail(error, what, why);
        }
    }
    return true;
}

bool TRecordsDatabase::Insert(const TTestRecord& record, QString* error, bool waiting) {
    return Insert(std::vector<TTestRecord>{record}, error, waiting);
}

bool TRecordsDatabase::Insert(const std::vector<TTestRecord>& records, QString* error,
                              bool waiting) {
    const QString what = TTexts::tr("Не удалось записать проверку в базу «%1»: %2");
    QSqlDatabase db = QSqlDatabase::database(FConnection, false);
    if (!db.isOpen())
        return Fail(error, what, TTexts::tr("база не открыта"));
    if (!db.transaction())
        return Fail(error, what, db.lastError());
    QSqlQuery q(db);
    const auto fail = [&](const QSqlError& e) {
        db.rollback();
        return Fail(error, what, e);
    };
    const QVariant noTime{QMetaType(QMetaType::LongLong)};
    const qint64 now = TTestRecord::ToMs(QDateTime::currentDateTimeUtc());
    std::vector<const TTestRecord*> added;
    for (const TTestRecord& record : records) {
        // The values written are those the record's fingerprint covers.
        const TChainRow r = TRecordChain::RowOf(record);
        const bool chained = r.Seq > 0;
        const QVariant noSeq{QMetaType(QMetaType::LongLong)};
        const QVariant noText{QMetaType(QMetaType::QString)};
        if (!TRecordsDatabase::Exec(
                q,
                QStringLiteral(
                    "INSERT INTO records (uid, checked_at, station, operator_name, "
                    "project, project_path, reference_sum, serial, verdict, mode, "
                    "scans, fault_count, reference_approved, chain_seq, prev_hash, "
                    "record_hash) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?) "
                    "ON CONFLICT (uid) DO NOTHING"),
                {r.Uid, r.CheckedAt, r.Station, r.Operator, r.Project, r.ProjectPath,
                 r.ReferenceSum, r.Serial, r.Verdict, r.Mode, r.Scans, r.FaultCount,
                 r.ReferenceApproved, chained ? QVariant(r.Seq) : noSeq,
                 chained ? QVariant(r.PrevHash) : noText, chained ? QVariant(r.Hash) : noText}))
            return fail(q.lastError());
        // A record there already (sent before, its answer lost) is whole: leave it.
        if (q.numRowsAffected() == 0)
            continue;
        added.push_back(&record);
        for (std::size_t i = 0; i < r.Faults.size(); ++i) {
            const TChainRow::TFaultRow& f = r.Faults[i];
            if (!TRecordsDatabase::Exec(
                    q,
                    QStringLiteral("INSERT INTO faults (record_uid, seq, kind, contacts, "
                                   "detail, seen, first_seen, last_seen) "
                                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                    {r.Uid, int(i), f.Kind, f.Contacts, f.Detail, f.Seen,
                     f.First ? QVariant(*f.First) : noTime, f.Last ? QVariant(*f.Last) : noTime}))
                return fail(q.lastError());
        }
        // The wires the record was checked against, kept with it unless kept before.
        if (!record.ReferenceWires.isEmpty() &&
            TKeptReference::SumOf(record.ReferenceWires) == record.ReferenceSum &&
            !TReferenceArchive::Keep(q, TKeptReference::OfRecord(record)))
            return fail(q.lastError());
        if (waiting && !TRecordsDatabase::Exec(
                           q, QStringLiteral("INSERT INTO waiting (uid, queued_at) VALUES (?, ?)"),
                           {r.Uid, now}))
            return fail(q.lastError());
        // The station's file remembers where its chain stands, with the record itself.
        if (chained && FKind == TKind::Local && !NoteHead(q, r.Station, r.Seq, r.Hash))
            return fail(q.lastError());
    }
    if (added.empty()) {
        db.rollback();
        return true;
    }
    if (!TStatisticsCounts::Add(q, added, FKind == TKind::Shared))
        return fail(q.lastError());
    if (FBeforeCommit)
        FBeforeCommit();
    if (!db.commit())
        return fail(db.lastError());
    return true;
}

bool TRecordsDatabase::NoteHead(QSqlQuery& q, const QString& station, qint64 seq,
                                const QString& hash) {
    return TRecordsDatabase::Exec(
        q,
        QStringLiteral("INSERT INTO chain_head (station, chain_seq, record_hash) "
                       "VALUES (?, ?, ?) ON CONFLICT (station) DO UPDATE SET "
                       "chain_seq = excluded.chain_seq, record_hash = excluded.record_hash "
                       "WHERE excluded.chain_seq > chain_head.chain_seq"),
        {station, seq, hash});
}

bool TRecordsDatabase::NoteChainHead(const TTestRecord& record, QString* error) {
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    // A hint, not a record: the shared database knows the link too whenever it answers, so this
    // write need not wait for the disk (the file stays whole either way).
    const bool local = FKind == TKind::Local;
    if (local)
        q.exec(QStringLiteral("PRAGMA synchronous=NORMAL"));
    const bool ok = NoteHead(q, record.Station, record.ChainSeq, record.Hash);
    const QSqlError why = q.lastError();
    if (local)
        q.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    if (!ok)
        return Fail(error, TTexts::tr("Не удалось записать проверку в базу «%1»: %2"), why);
    return true;
}

bool TRecordsDatabase::PlaceWaiting(const TTestRecord& record, QString* error) {
    const QString what = TTexts::tr("Не удалось записать проверку в базу «%1»: %2");
    QSqlDatabase db = QSqlDatabase::database(FConnection, false);
    if (!db.transaction())
        return Fail(error, what, db.lastError());
    QSqlQuery q(db);
    if (!TRecordsDatabase::Exec(
            q,
            QStringLiteral("UPDATE records SET chain_seq = ?, prev_hash = ?, record_hash = ? "
                           "WHERE uid = ? AND chain_seq IS NULL"),
            {record.ChainSeq, TRecordChain::RowOf(record).PrevHash, record.Hash, record.Uid}) ||
        !NoteHead(q, record.Station, record.ChainSeq, record.Hash)) {
        const QString why = q.lastError().text();
        db.rollback();
        return Fail(error, what, why);
    }
    if (!db.commit()) {
        const QString why = db.lastError().text();
        db.rollback();
        return Fail(error, what, why);
    }
    return true;
}

std::optional<TChainHead> TRecordsDatabase::ChainHead(const QString& station, QString* error) {
    const QString what = TTexts::tr("Не удалось прочитать базу записей «%1»: %2");
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    TChainHead head;
    if (!TRecordsDatabase::Exec(
            q,
            QStringLiteral("SELECT chain_seq, record_hash FROM records WHERE station = ? AND "
                           "chain_seq IS NOT NULL ORDER BY chain_seq DESC LIMIT 1"),
            {station})) {
        Fail(error, what, q.lastError());
        return std::nullopt;
    }
    if (q.next())
        head = {q.value(0).toLongLong(), q.value(1).toString()};
    if (FKind == TKind::Local) {
        if (!TRecordsDatabase::Exec(
                q,
                QStringLiteral("SELECT chain_seq, record_hash FROM chain_head WHERE station = ?"),
                {station})) {
            Fail(error, what, q.lastError());
            return std::nullopt;
        }
        if (q.next() && q.value(0).toLongLong() > head.Seq)
            head = {q.value(0).toLongLong(), q.value(1).toString()};
    }
    return head;
}

bool TRecordsDatabase::Contains(const QString& uid, QString* error) {
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    if (!TRecordsDatabase::Exec(q, QStringLiteral("SELECT 1 FROM records WHERE uid = ?"), {uid}))
        return Fail(error, TTexts::tr("Не удалось прочитать базу записей «%1»: %2"),
                    q.lastError().text());
    return q.next();
}

std::vector<TTestRecord> TRecordsDatabase::Page(const TRecordFilter& filter,
                                                const TTestRecord* after, int limit,
                                                QString* error) {
    QVariantList values;
    QString sql = QStringLiteral("SELECT %1 FROM records WHERE %2")
                      .arg(QLatin1String(RecordColumns), filter.Where(values));
    if (after) {
        // The next page continues below the last row in the list's own order.
        sql += QStringLiteral(" AND (checked_at, uid) < (?, ?)");
        values << TTestRecord::ToMs(after->Time) << after->Uid;
    }
    sql += QStringLiteral(" ORDER BY checked_at DESC, uid DESC LIMIT %1").arg(qMax(0, limit));
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    q.setForwardOnly(true);
    std::vector<TTestRecord> rows;
    if (!TRecordsDatabase::Exec(q, sql, values)) {
        Fail(error, TTexts::tr("Не удалось прочитать базу записей «%1»: %2"), q.lastError());
        return rows;
    }
    while (q.next())
        rows.push_back(ReadRecord(q));
    return rows;
}

qint64 TRecordsDatabase::Count(const TRecordFilter& filter, QString* error) {
    QVariantList values;
    const QString sql =
        QStringLiteral("SELECT COUNT(*) FROM records WHERE %1").arg(filter.Where(values));
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    if (!TRecordsDatabase::Exec(q, sql, values) || !q.next()) {
        Fail(error, TTexts::tr("Не удалось прочитать базу записей «%1»: %2"), q.lastError());
        return -1;
    }
    return q.value(0).toLongLong();
}

namespace {
bool ReadFaults(QSqlQuery& q, const QString& sql, const QVariantList& values,
                std::vector<TTestRecord*> records) {
    if (!TRecordsDatabase::Exec(q, sql, values))
        return false;
    QHash<QString, TTestRecord*> byUid;
    for (TTestRecord* r : records)
        byUid.insert(r->Uid, r);
    while (q.next()) {
        TTestRecord* r = byUid.value(q.value(0).toString());
        if (!r)
            continue;
        const QJsonObject json = QJsonDocument::fromJson(q.value(1).toString().toUtf8()).object();
        std::optional<TFault> fault = TFault::FromJson(json);
        if (!fault) {
            // A form this program does not know (written by a newer one): keep what it says.
            fault = TFault();
            fault->StoredText = json.value(QStringLiteral("text")).toString();
            fault->Kind = TFault::KindFromKey(json.value(QStringLiteral("kind")).toString())
                              .value_or(TFaultKind::Foreign);
        }
        TRecordFault f{*fault, q.value(2).toInt(), {}, {}};
        if (!q.value(3).isNull())
            f.First = TTestRecord::FromMs(q.value(3).toLongLong());
        if (!q.value(4).isNull())
            f.Last = TTestRecord::FromMs(q.value(4).toLongLong());
        r->Faults.push_back(f);
    }
    return true;
}
} // namespace

std::optional<TTestRecord> TRecordsDatabase::Load(const QString& uid, QString* error) {
    const QString what = TTexts::tr("Не удалось прочитать базу записей «%1»: %2");
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    if (!TRecordsDatabase::Exec(q,
                                QStringLiteral("SELECT %1 FROM records WHERE uid = ?")
                                    .arg(QLatin1String(RecordColumns)),
                                {uid})) {
        Fail(error, what, q.lastError());
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    TTestRecord r = ReadRecord(q);
    if (!ReadFaults(q,
                    QStringLiteral("SELECT record_uid, detail, seen, first_seen, last_seen FROM "
                                   "faults WHERE record_uid = ? ORDER BY seq"),
                    {uid}, {&r})) {
        Fail(error, what, q.lastError());
        return std::nullopt;
    }
    return r;
}

std::vector<TTestRecord> TRecordsDatabase::LoadAll(const TRecordFilter& filter,
                                                   const TTestRecord* after, int limit,
                                                   QString* error) {
    const QString what = TTexts::tr("Не удалось прочитать базу записей «%1»: %2");
    std::vector<TTestRecord> records = Page(filter, after, limit, error);
    if (records.empty())
        return records;
    // The faults of the same records in one reading: those of the filter, no older than the
    // last record taken.
    TRecordFilter within = filter;
    within.From = records.back().Time;
    if (after)
        within.To = after->Time.addMSecs(1);
    QVariantList values;
    const QString sql =
        QStringLiteral("SELECT f.record_uid, f.detail, f.seen, f.first_seen, f.last_seen FROM "
                       "faults f JOIN records r ON r.uid = f.record_uid WHERE %1 "
                       "ORDER BY f.record_uid, f.seq")
            .arg(within.Where(values)); // the two tables share no column name
    std::vector<TTestRecord*> pointers;
    for (TTestRecord& r : records)
        pointers.push_back(&r);
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    q.setForwardOnly(true);
    if (!ReadFaults(q, sql, values, pointers)) {
        Fail(error, what, q.lastError());
        return {};
    }
    return records;
}

QStringList TRecordsDatabase::Distinct(const char* column, QString* error) {
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    QStringList out;
    if (!q.exec(QStringLiteral("SELECT DISTINCT %1 FROM records ORDER BY %1 LIMIT 5000")
                    .arg(QLatin1String(column)))) {
        Fail(error, TTexts::tr("Не удалось прочитать базу записей «%1»: %2"), q.lastError());
        return out;
    }
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QStringList TRecordsDatabase::Projects(QString* error) {
    return Distinct("project", error);
}

QStringList TRecordsDatabase::Operators(QString* error) {
    return Distinct("operator_name", error);
}

QStringList TRecordsDatabase::Stations(QString* error) {
    return Distinct("station", error);
}

QStringList TRecordsDatabase::WaitingUids(QString* error) {
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    QStringList out;
    if (!q.exec(QStringLiteral("SELECT w.uid FROM waiting w JOIN records r ON r.uid = w.uid "
                               "ORDER BY r.checked_at, r.uid"))) {
        Fail(error, TTexts::tr("Не удалось прочитать базу записей «%1»: %2"), q.lastError());
        return out;
    }
    while (q.next())
        out << q.value(0).toString();
    return out;
}

int TRecordsDatabase::WaitingCount(QString* error) {
    QSqlQuery q(QSqlDatabase::database(FConnection, false));
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM waiting")) || !q.next()) {
        Fail(error, TTexts::tr("Не удалось прочитать базу записей «%1»: %2"), q.lastError());
        return -1;
    }
    return q.value(0).toInt();
}

bool TRecordsDatabase::RemoveSent(const QString& uid, QString* error) {
    const QString what = TTexts::tr("Не удалось записать проверку в базу «%1»: %2");
    QSqlDatabase db = QSqlDatabase::database(FConnection, false);
    if (!db.transaction())
        return Fail(error, what, db.lastError());
    QSqlQuery q(db);
    if (!TStatisticsCounts::Remove(q, uid, FKind == TKind::Shared)) {
        const QString why = q.lastError().text();
        db.rollback();
        return Fail(error, what, why);
    }
    for (const char* sql :
         {"DELETE FROM faults WHERE record_uid = ?", "DELETE FROM records WHERE uid = ?",
          "DELETE FROM waiting WHERE uid = ?"})
        if (!TRecordsDatabase::Exec(q, QLatin1String(sql), {uid})) {
            const QString why = q.lastError().text();
            db.rollback();
            return Fail(error, what, why);
        }
    if (!db.commit()) {
        const QString why = db.lastError().text();
        db.rollback();
        return Fail(error, what, why);
    }
    return true;
}
