// SPDX-License-Identifier: GPL-3.0-or-later
#include "TRecordStore.h"

#include "TRecordChain.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <utility>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TRecordStore)
};
} // namespace

TRecordStore::TRecordStore(TRecordsConfig config)
    : FConfig(std::move(config)),
      FLocal(std::make_unique<TRecordsDatabase>(FConfig, TRecordsDatabase::TKind::Local)) {
    if (FConfig.HasShared())
        FShared = std::make_unique<TRecordsDatabase>(FConfig, TRecordsDatabase::TKind::Shared);
}

TRecordStore::~TRecordStore() = default;

QString TRecordStore::TakeNotice() {
    return std::exchange(FNotice, QString());
}

bool TRecordStore::OpenLocal(QString* error) {
    if (FLocal->Open(error))
        return true;
    return FLocal->Damaged() && SetAside(error) && FLocal->Open(error);
}

bool TRecordStore::InsertLocal(const TTestRecord& record, QString* error, bool waiting) {
    if (!OpenLocal(error))
        return false;
    if (FLocal->Insert(record, error, waiting))
        return true;
    // Damage that only a write runs into: set aside as well, and the record into the new file.
    return FLocal->Damaged() && SetAside(error) && FLocal->Open(error) &&
           FLocal->Insert(record, error, waiting);
}

// The damaged file keeps whatever can still be read from it (records waiting for the shared
// database among them), so it is renamed, with SQLite's files beside it, never removed.
bool TRecordStore::SetAside(QString* error) {
    const QString path = FConfig.LocalPath;
    FLocal.reset(); // the connection lets go of the file
    const QFileInfo info(path);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    QString aside;
    for (int n = 1;; ++n) {
        aside = info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                QStringLiteral("-damaged-") + stamp +
                (n > 1 ? QStringLiteral("-%1").arg(n) : QString()) + QLatin1Char('.') +
                info.suffix();
        if (!QFile::exists(aside))
            break;
    }
    QFile file(path);
    const bool moved = file.rename(aside);
    if (moved)
        for (const char* companion : {"-wal", "-shm"})
            if (QFile::exists(path + QLatin1String(companion)))
                QFile::rename(path + QLatin1String(companion), aside + QLatin1String(companion));
    FLocal = std::make_unique<TRecordsDatabase>(FConfig, TRecordsDatabase::TKind::Local);
    if (!moved) {
        if (error)
            *error = TTexts::tr("База записей «%1» повреждена, и ее не удалось отложить: %2")
                         .arg(path, file.errorString());
        return false;
    }
    FNotice = TTexts::tr("База записей «%1» повреждена: она отложена как «%2», новые записи идут "
                         "в новую базу. Как вернуть записи из отложенной базы, сказано в справке.")
                  .arg(path, aside);
    return true;
}

bool TRecordStore::OpenShared(QString* error) {
    return FShared && FShared->Open(error);
}

void TRecordStore::Chain(TTestRecord& record, TRecordsDatabase* shared) {
    if (record.ChainSeq > 0)
        return;
    // The station's file knows its last link even when its records went on; the shared
    // database knows it when the file is new.
    TChainHead head;
    if (OpenLocal(nullptr))
        head = FLocal->ChainHead(record.Station).value_or(TChainHead{});
    if (shared)
        if (const std::optional<TChainHead> there = shared->ChainHead(record.Station);
            there && there->Seq > head.Seq)
            head = *there;
    TRecordChain::Link(record, head.Seq, head.Hash);
}

TWriteOutcome TRecordStore::Write(const TTestRecord& given, QString* error, bool tryShared) {
    // The record takes its place in the station's chain here, when it is made, wherever it is
    // stored: a record that waits for the shared database keeps it.
    TTestRecord record = given;
    if (!FShared) {
        Chain(record, nullptr);
        if (InsertLocal(record, error, false))
            return TWriteOutcome::Stored;
        return TWriteOutcome::Failed;
    }
    QString sharedError;
    if (tryShared) {
        // A connection left open may have lost its server in between: one fresh try.
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (!OpenShared(&sharedError))
                break;
            // The older records go first, so the shared database gets them in order.
            if (Waiting() > 0 && !SendOpen(&sharedError)) {
                FShared->Close();
                continue;
            }
            Chain(record, FShared.get());
            if (SendKept(record.ReferenceSum, &sharedError) &&
                FShared->Insert(record, &sharedError)) {
                // A file that cannot say so costs nothing now: the shared database knows the
                // link the next time it answers.
                if (OpenLocal(nullptr))
                    FLocal->NoteChainHead(record);
                return TWriteOutcome::Stored;
            }
            FShared->Close();
        }
    } else {
        sharedError = TTexts::tr("программа закрывается");
    }
    QString localError;
    Chain(record, nullptr);
    if (InsertLocal(record, &localError, true)) {
        if (error)
            *error = sharedError;
        return TWriteOutcome::Waiting;
    }
    if (error)
        *error = sharedError + QLatin1Char('\n') + localError;
    return TWriteOutcome::Failed;
}

bool TRecordStore::SendOpen(QString* error) {
    const QStringList uids = FLocal->WaitingUids(error);
    for (const QString& uid : uids) {
        std::optional<TTestRecord> record = FLocal->Load(uid, error);
        if (!record)
            return false;
        // Waiting since before the chain: it takes its place now, and the file remembers it.
        if (record->ChainSeq == 0) {
            Chain(*record, FShared.get());
            if (!FLocal->PlaceWaiting(*record, error))
                return false;
        }
        // Committed there first, taken out here after: a stop in between sends it again, and
        // the shared database keeps the one it has. Its reference goes ahead of it.
        if (!SendKept(record->ReferenceSum, error) || !FShared->Insert(*record, error) ||
            !FLocal->RemoveSent(uid, error))
            return false;
    }
    return true;
}

bool TRecordStore::SendKept(const QString& sum, QString* error) {
    if (!FLocal->IsOpen())
        return true; // the record carries its own wires
    const std::optional<TKeptReference> kept = TReferenceArchive::Find(*FLocal, sum);
    return !kept || TReferenceArchive::Keep(*FShared, *kept, error);
}

TWriteOutcome TRecordStore::Keep(const TKeptReference& reference, QString* error, bool tryShared) {
    QString localError;
    const bool local =
        OpenLocal(&localError) && TReferenceArchive::Keep(*FLocal, reference, &localError);
    if (!FShared) {
        if (error)
            *error = localError;
        return local ? TWriteOutcome::Stored : TWriteOutcome::Failed;
    }
    QString sharedError = tryShared ? QString() : TTexts::tr("программа закрывается");
    for (int attempt = 0; tryShared && attempt < 2; ++attempt) {
        if (!OpenShared(&sharedError))
            break;
        if (TReferenceArchive::Keep(*FShared, reference, &sharedError))
            return TWriteOutcome::Stored;
        FShared->Close();
    }
    if (error)
        *error = local ? sharedError : sharedError + QLatin1Char('\n') + localError;
    return local ? TWriteOutcome::Waiting : TWriteOutcome::Failed;
}

std::optional<TKeptReference> TRecordStore::FindReference(const QString& sum, QString* error) {
    QString problem;
    if (TRecordsDatabase* reading = Reading(&problem)) {
        if (std::optional<TKeptReference> kept = TReferenceArchive::Find(*reading, sum, &problem))
            return kept;
    }
    // A reference learned here while the shared database was away is still in the file.
    if (FShared && OpenLocal(nullptr))
        if (std::optional<TKeptReference> kept = TReferenceArchive::Find(*FLocal, sum))
            return kept;
    if (error)
        *error = problem;
    return std::nullopt;
}

int TRecordStore::SendWaiting(QString* error) {
    const int before = Waiting(error);
    if (before <= 0 || !FShared)
        return before;
    if (!OpenShared(error))
        return before;
    if (!SendOpen(error))
        FShared->Close();
    return FLocal->WaitingCount(error);
}

int TRecordStore::Waiting(QString* error) {
    if (!OpenLocal(error))
        return -1;
    return FLocal->WaitingCount(error);
}

TRecordsDatabase* TRecordStore::Reading(QString* error) {
    if (FShared)
        return OpenShared(error) ? FShared.get() : nullptr;
    return ReadingLocal(error);
}

TRecordsDatabase* TRecordStore::ReadingLocal(QString* error) {
    return OpenLocal(error) ? FLocal.get() : nullptr;
}
