// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <exception>
#include <functional>

// Every message of the program goes through AppMessageBox: a modal box captioned with the
// application title, with the kind's icon and Russian button texts, centred on the window it
// speaks for.
enum class TMsgKind {
    Error,           // error icon, OK
    Warning,         // warning icon, OK
    Information,     // information icon, OK
    Question,        // question icon, Yes / No
    WarningQuestion, // warning icon, Yes / No
    QuestionCancel,  // question icon, Yes / No / Cancel
    PlainQuestion,   // no icon, Yes / No
};

enum class TMsgAnswer { Ok, Yes, No, Cancel };

// The application title: the caption of every message box and the start of the window title.
QString AppTitle();

// Shows the box and answers the button pressed. The box is centred on the program's active
// window, else on its main window (a file dialog that just closed leaves no active window). Closing
// the box without a button answers Cancel for a box with Cancel, No for a question and OK
// otherwise. A call from another thread is carried out on the user-interface thread, and the caller
// waits for the answer.
TMsgAnswer AppMessageBox(const QString& text, TMsgKind kind);

// Test hook: while set, AppMessageBox calls it instead of showing a box and answers what it
// answers, so a scripted test can give the answers and record the texts. An empty function
// restores the real boxes.
using TAppMessageBoxHook = std::function<TMsgAnswer(const QString& text, TMsgKind kind)>;
void SetAppMessageBoxHook(TAppMessageBoxHook hook);

// The application's general error report: the error's text in an error box; the program goes on.
void AppShowException(const std::exception& e);
