#include "TRecordStore.h"

#include <QCoreApplication>

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

bool TRecordStore::OpenShared(QString* error) {
    return FShared && FShared->Open(error);
}

TWriteOutcome TRecordStore::Write(const TTestRecord& record, QString* error, bool tryShared) {
    if (!FShared) {
        if (FLocal->Open(error) && FLocal->Insert(record, error))
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
            if (FShared->Insert(record, &sharedError))
                return TWriteOutcome::Stored;
            FShared->Close();
        }
    } else {
        sharedError = TTexts::tr("программа закрывается");
    }
    QString localError;
    if (FLocal->Open(&localError) && FLocal->Insert(record, &localError, true)) {
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
        const std::optional<TTestRecord> record = FLocal->Load(uid, error);
        if (!record)
            return false;
        // Committed there first, taken out here after: a stop in between sends it again, and
        // the shared database keeps the one it has.
        if (!FShared->Insert(*record, error) || !FLocal->RemoveSent(uid, error))
            return false;
    }
    return true;
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
    if (!FLocal->Open(error))
        return -1;
    return FLocal->WaitingCount(error);
}

TRecordsDatabase* TRecordStore::Reading(QString* error) {
    if (FShared)
        return OpenShared(error) ? FShared.get() : nullptr;
    return ReadingLocal(error);
}

TRecordsDatabase* TRecordStore::ReadingLocal(QString* error) {
    return FLocal->Open(error) ? FLocal.get() : nullptr;
}
