// SPDX-License-Identifier: GPL-3.0-or-later
#include "TChainCheck.h"

#include "TRecordAudit.h"

namespace {
// The longest the window waits for a walk told to stop: it looks at the flag every few thousand
// rows, but a statement already sent to the server finishes first.
constexpr int StopWaitMs = 10000;
constexpr int DetailsShown = 50;
} // namespace

TChainCheck::TChainCheck(QObject* parent) : QObject(parent) {}

TChainCheck::~TChainCheck() {
    Stop();
}

bool TChainCheck::Running() const {
    return FThread && FThread->isRunning();
}

void TChainCheck::Stop() {
    if (!FThread)
        return;
    FStop->store(true);
    FThread->wait(StopWaitMs);
    if (FThread->isRunning()) {
        // Still in a statement: the thread ends by itself and takes its objects with it.
        QThread* thread = FThread.release();
        connect(thread, &QThread::finished, thread, &QObject::deleteLater);
        return;
    }
    FThread.reset();
}

void TChainCheck::Start(const TRecordsConfig& config, TRecordsDatabase::TKind kind) {
    Stop();
    auto stop = std::make_shared<std::atomic<bool>>(false);
    FStop = stop;
    FThread.reset(QThread::create([this, config, kind, stop] {
        QString text;
        QString details;
        bool whole = false;
        {
            TRecordsDatabase db(config, kind);
            QString error;
            std::optional<TAuditResult> result;
            if (db.Open(&error))
                result = TRecordAudit::Run(db, {}, &error, stop.get());
            if (stop->load())
                return;
            if (!result) {
                text = error;
            } else {
                whole = result->Whole();
                text = result->Summary();
                if (!whole)
                    text += QLatin1Char(' ') + result->Breaks.front().Text();
                QStringList lines;
                for (const TChainBreak& b : result->Breaks) {
                    if (lines.size() == DetailsShown) {
                        lines << tr("… всего нарушений: %1 (pinvel-check audit назовет все)")
                                     .arg(result->Breaks.size());
                        break;
                    }
                    lines << b.Text();
                }
                details = lines.join(QLatin1Char('\n'));
            }
        }
        // Delivered on the window's thread; dropped if the window is gone by then.
        QMetaObject::invokeMethod(
            this, [this, text, details, whole] { emit Finished(text, details, whole); },
            Qt::QueuedConnection);
    }));
    FThread->start(QThread::LowPriority);
}
