// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A scripted port and a recording view for the worker's tests.

#include "IComPort.h"
#include "IHardView.h"
#include "TAbstractHard.h"
#include "TRazem.h"
#include "TSootv.h"
#include "TTesterSettings.h"
#include "TUSBHardWork.h"
#include "TWorkPlace.h"

#include <QRegularExpression>
#include <QStringList>
#include <QTest>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>

struct TSent {
    int Code;
    std::vector<std::uint8_t> Data;
};

// A unit that answers like the real one: every pin reads back the level written to it and the
// probe input reads `ProbeIn`. A test may replace any reply (Script) or let replies go missing.
class TFakePort final : public IComPort {
  public:
    struct TReply {
        int Code = 0;
        std::vector<std::uint8_t> Data;
    };
    // Answers the reply to a command; the default reply when it answers nothing.
    std::function<std::optional<TReply>(int code, const std::vector<std::uint8_t>&)> Script;

    std::int32_t Init(const SCP_Info* info) override {
        Log("Init");
        InitKind = info->Kind;
        return InitResult;
    }
    std::int32_t Start() override { return Log("Start"), 0; }
    std::int32_t Done() override { return Log("Done"), 0; }
    std::int32_t Close() override { return Log("Close"), 0; }
    std::int32_t Reboot() override { return Log("Reboot"), 0; }
    std::int32_t Send(std::int32_t code, std::int32_t length, const std::uint8_t* data) override {
        std::lock_guard lock(FLock);
        std::vector<std::uint8_t> bytes(data, data + length);
        FSent.push_back({code, bytes});
        FCalls << QStringLiteral("Send %1").arg(code);
        std::optional<TReply> r;
        if (Script)
            r = Script(code, bytes);
        FReply = r ? *r : Default(code, bytes);
        return 0;
    }
    std::int32_t Wait(std::int32_t) override {
        std::lock_guard lock(FLock);
        return FReply.Code == 0 ? 1 : 0;
    }
    std::int32_t WaitFor(std::int32_t code, std::int32_t) override {
        std::lock_guard lock(FLock);
        return FReply.Code == code ? 0 : 1;
    }
    const std::uint8_t* ReplyData() override { return FReply.Data.data(); }
    std::int32_t ReplyLength() override { return std::int32_t(FReply.Data.size()); }
    std::int32_t ReplyCode() override { return FReply.Code; }
    std::int32_t LastError() override { return LastErrorResult; }
    std::int32_t Open(std::int32_t* out) override {
        Log("Open");
        *out = 1;
        return OpenResult;
    }
    std::int32_t UnitType() override { return Type; }
    void Release() override {}
    virtual ~TFakePort() = default;

    std::vector<TSent> Sent() {
        std::lock_guard lock(FLock);
        return FSent;
    }
    std::vector<int> Codes() {
        std::vector<int> out;
        for (const TSent& s : Sent())
            out.push_back(s.Code);
        return out;
    }
    QStringList Calls() {
        std::lock_guard lock(FLock);
        return FCalls;
    }
    void Clear() {
        std::lock_guard lock(FLock);
        FSent.clear();
        FCalls.clear();
    }

    std::atomic<int> ProbeIn{1};
    std::atomic<int> OpenResult{1};
    std::atomic<int> InitResult{1};
    std::atomic<int> LastErrorResult{0};
    std::atomic<int> Type{101};
    int InitKind = 0;

  private:
    void Log(const char* what) {
        std::lock_guard lock(FLock);
        FCalls << QString::fromLatin1(what);
    }
    TReply Default(int code, const std::vector<std::uint8_t>& d) {
        const auto readBack = [&](std::size_t from) {
            TReply r{code, {}};
            for (std::size_t i = from; i + 2 < d.size(); i += 3)
                r.Data.push_back(d[i + 2]);
            r.Data.push_back(std::uint8_t(ProbeIn.load()));
            return r;
        };
        switch (code) {
        case UnitCode::WriteRead:
            return readBack(0);
        case UnitCode::WriteZond:
            if (d.size() >= 2 && d[1] == 0)
                return {code, {std::uint8_t(ProbeIn.load())}};
            return readBack(2);
        case UnitCode::ReadZond:
            return {code, {std::uint8_t(ProbeIn.load())}};
        case UnitCode::Write:
        case UnitCode::Autonomous:
            return {code, {}};
        default:
            return {};
        }
    }

    std::mutex FLock;
    std::vector<TSent> FSent;
    QStringList FCalls;
    TReply FReply;
};

// The user interface as the worker sees it, recording every call. Questions are answered from
// `Answers` (Yes when it is empty).
class TFakeView : public IHardView {
  public:
    TTesterSettings* Settings = nullptr;
    TWorkPlace* WorkPlace = nullptr;
    TAbstractHard* Worker = nullptr;
    std::deque<bool> Answers;
    QStringList Calls;
    QStringList Texts;
    std::vector<TPaintItem> Painted;
    TColor ZondIn = Colors::clRed; // the design colours of the two lamps
    TColor ZondOut = Colors::clGray;
    std::function<void()> OnZondState; // runs inside ShowZondState (a user acting meanwhile)
    int ZondCalls = 0;

    void RepaintContacts(const std::vector<TPaintItem>& items) override {
        Calls << QStringLiteral("Repaint %1").arg(items.size());
        Painted.insert(Painted.end(), items.begin(), items.end());
    }
    void ShowZondState(TColor in, TColor out) override {
        ZondIn = in;
        ZondOut = out;
        ++ZondCalls;
        if (OnZondState)
            OnZondState();
    }
    bool ShowMessage(const QString& text, THardMessage kind) override {
        Texts << text;
        Calls << QStringLiteral("Message %1").arg(int(kind));
        if (kind != THardMessage::WarningQuestion && kind != THardMessage::PlainQuestion)
            return true;
        if (Answers.empty())
            return true;
        const bool yes = Answers.front();
        Answers.pop_front();
        return yes;
    }
    void RestoreReads() override {
        Calls << QStringLiteral("RestoreReads");
        Settings->ReadRaz = true;
        Settings->ReadZond = true;
    }
    void ShowAutonomous(bool on) override {
        Calls << QStringLiteral("Autonomous %1").arg(on);
        WorkPlace->SetRazemsEnabled(!on);
    }
    void StopCycle() override {
        Calls << QStringLiteral("StopCycle");
        Settings->Cycle = false;
        Worker->FStopAfterPass = true;
    }
    void SetModeControls(bool changeMode, bool editorItem, bool testerItem) override {
        Calls << QStringLiteral("Controls %1%2%3").arg(changeMode).arg(editorItem).arg(testerItem);
    }
    void LeaveTesterMode() override {
        Calls << QStringLiteral("LeaveTester");
        // What acChangeMode does on the way to the editor mode.
        Settings->Cycle = false;
        Worker->FStopAfterPass = true;
        WorkPlace->SetTesterMode(false);
        Worker->BringToRest();
    }
};

// A workspace with one connector of 10 x 10 contacts, a table, the scripted port and the worker.
struct TRig {
    TTesterSettings Settings;
    TWorkPlace WorkPlace;
    TSootv Sootv;
    TFakeView View;
    std::shared_ptr<TFakePort> Port = std::make_shared<TFakePort>();
    std::unique_ptr<TUSBHardWork> Worker;

    // With the scripted port unless told otherwise (then MakeWorker follows).
    explicit TRig(bool scripted = true) {
        auto r = std::make_unique<TRazem>();
        r->SetColCount(10);
        r->SetRowCount(20);
        for (int c = 0; c < 10; ++c)
            for (int g = 0; g < 20; g += 2)
                r->FCells[c][g].State = TContactState::csTied;
        WorkPlace.Add(std::move(r));
        WorkPlace.FSootv = &Sootv;
        WorkPlace.SetTesterMode(true);
        View.Settings = &Settings;
        View.WorkPlace = &WorkPlace;
        if (scripted) {
            MakeWorker([p = Port] { return p; });
            Port->Clear();
        }
    }
    void MakeWorker(TUSBHardWork::TPortFactory factory) {
        Worker = std::make_unique<TUSBHardWork>(Settings, View, std::move(factory));
        Worker->SetModel(&WorkPlace, &Sootv);
        View.Worker = Worker.get();
        if (!Worker->InitUnit())
            qFatal("the unit does not open");
    }
    ~TRig() { Worker->Shutdown(); }

    TContact& At(int col, int row) { return WorkPlace.Razem(0)->FCells[col][row]; }
    // A record for the pin with one entry per given (col, row) of the connector.
    void Tie(std::uint16_t pin, std::vector<TCellPos> cells) {
        auto rec = std::make_unique<TSootvData>();
        rec->FPin = pin;
        for (TCellPos p : cells) {
            rec->AddName(QStringLiteral("c"));
            rec->AddContact(p, 0);
        }
        Sootv.Add(std::move(rec));
    }
    // One pass (or a cycle until it stops) from rest to rest.
    bool Pass() {
        Worker->Resume();
        return Worker->WaitForRest(5000);
    }
};
