// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A scripted run of the main window for the window's tests: message boxes, file dialogs and the
// constructor dialog answer from queues, and every text shown is recorded.

#include "AppMessageBox.h"
#include "TStringGrid.h"
#include "TfmConstr.h"
#include "TfmMain.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace MainWindowTestKit {

struct TMessage {
    QString Text;
    TMsgKind Kind;
};

// A scripted run of the main window: message boxes, file dialogs and the constructor dialog
// answer from queues, and every text shown is recorded.
class TScript {
  public:
    TScript() {
        SetAppMessageBoxHook([this](const QString& text, TMsgKind kind) {
            Messages.push_back({text, kind});
            if (!Answers.empty()) {
                const TMsgAnswer a = Answers.front();
                Answers.pop_front();
                return a;
            }
            return TMsgAnswer::Ok;
        });
    }
    ~TScript() { SetAppMessageBoxHook({}); }

    TfmMainOptions Options(bool withLibrary = true) {
        TfmMainOptions o;
        o.SettingsPath = Dir.filePath(QStringLiteral("pinvel.ini"));
        o.LibraryFolders = {withLibrary ? qEnvironmentVariable("PINVEL_BIN_DIR")
                                        : Dir.filePath(QStringLiteral("no library"))};
        o.DeviceLink = QByteArray("sim");
        o.FileDialog = [this](bool save, const QString& startDir) {
            FileDialogs.push_back({save, startDir});
            if (Files.empty())
                return QString();
            const QString path = Files.front();
            Files.pop_front();
            return path;
        };
        o.ColorDialog = [this](const QColor&) { return Color; };
        o.HarnessDialog = [this](QString& serial, QString& oper) {
            ++HarnessAsked;
            serial = Serial;
            oper = Operator;
            return !Serial.isEmpty();
        };
        o.ExecDialog = [this](QDialog& dialog) {
            ++Dialogs;
            if (auto* constr = qobject_cast<TfmConstr*>(&dialog); constr && Constr)
                return Constr(*constr);
            return int(QDialog::Rejected);
        };
        return o;
    }

    QStringList Texts() const {
        QStringList out;
        for (const TMessage& m : Messages)
            out << m.Text;
        return out;
    }

    QTemporaryDir Dir{QDir::tempPath() + QStringLiteral("/pinvel main XXXXXX")};
    std::vector<TMessage> Messages;
    std::deque<TMsgAnswer> Answers;
    std::deque<QString> Files;
    std::vector<std::pair<bool, QString>> FileDialogs;
    std::optional<QColor> Color;
    std::function<int(TfmConstr&)> Constr;
    int Dialogs = 0;
    // The answer to the serial number and operator asked before a verify (an empty serial
    // number: Cancel).
    QString Serial = QStringLiteral("SN-T1");
    QString Operator = QStringLiteral("Тестов");
    int HarnessAsked = 0;
};

// Fills the constructor dialog: rows of `count` contacts named a1.., b1.., and presses OK.
inline std::function<int(TfmConstr&)> Connector(int rows, int count,
                                                const QString& name = QString()) {
    return [=](TfmConstr& d) {
        d.edRowCount->setText(QString::number(rows));
        d.RowCountChange();
        for (int r = 1; r <= rows; ++r)
            d.sgRowInfo->SetCells(TfmConstr::ColCount, r, QString::number(count));
        if (!name.isEmpty())
            d.edName->setText(name);
        d.btOKClick();
        return d.result();
    };
}

// In the constructor opened for editing: the first row's count becomes `count`, then OK.
inline std::function<int(TfmConstr&)> FirstRowCount(int count) {
    return [=](TfmConstr& d) {
        d.sgRowInfo->SetCells(TfmConstr::ColCount, 1, QString::number(count));
        d.btOKClick();
        return d.result();
    };
}

// A key pressed while the window is active reaches the focused control first.
inline void PressKey(int key, const QString& text = QString()) {
    QWidget* target = QApplication::focusWidget();
    QVERIFY(target != nullptr);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

} // namespace MainWindowTestKit

using namespace MainWindowTestKit;
