// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TRecordsConfig.h"
#include "TRecordsDatabase.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <memory>

// The audit of the records' chains for the journal, on a thread of its own with a connection of
// its own (100 000 records take a second or two): the window keeps answering and hears the
// result by `Finished`. A new start or the end of the window stops a walk still going.
class TChainCheck : public QObject {
    Q_OBJECT
  public:
    explicit TChainCheck(QObject* parent = nullptr);
    ~TChainCheck() override;

    void Start(const TRecordsConfig& config, TRecordsDatabase::TKind kind);
    bool Running() const;

  signals:
    // "Цепочка записей цела: ..." or what breaks it; `details` names every break.
    void Finished(const QString& text, const QString& details, bool whole);

  private:
    void Stop();

    std::unique_ptr<QThread> FThread;
    std::shared_ptr<std::atomic<bool>> FStop;
};
