// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

// The help: HTML pages in Russian, one per help context, with an index page, and the same pages
// in English in the sub-folder en/, opened while the program speaks English. They are looked
// for in help/ beside the executable, then in ../share/pinvel/help, then (in the build tree) in
// the source folder. Help counts as available only when the pages are there; otherwise every
// help call does nothing and answers false.
namespace HelpContext {
constexpr int None = 0;
constexpr int Main = 1;      // main window
constexpr int Constr = 70;   // connector constructor dialog
constexpr int Sootv = 100;   // correspondence dialog
constexpr int Editor = 170;  // editor panel
constexpr int Tester = 200;  // tester panel: its controls, keys and colours
constexpr int Check = 210;   // the harness check in the window: results, reference, faults
constexpr int Records = 300; // the journal of checks and its reports
} // namespace HelpContext

// Opens the page of a help context in the desktop's browser. A context without a page of its
// own opens the index page. Answers whether the page was handed to the desktop.
bool AppHelp(int context);
// Opens the index page (the menu item "Справка").
bool AppHelpContents();

// The folder holding the pages, empty when there is none.
QString AppHelpFolder();
// The folder of the pages in the program's language: en/ in the help folder when the program
// speaks English and those pages are there, else the help folder itself.
QString AppHelpPagesFolder();
bool AppHelpAvailable();
// Points the help at a folder (an empty text: no help at all) instead of looking for it.
void SetAppHelpFolder(const QString& folder);
// Back to looking for the folder.
void ResetAppHelpFolder();
// The page file of a context, relative to the help folder.
QString AppHelpPage(int context);

// Widgets carry their help context in the dynamic property "helpContext".
void SetHelpContext(QWidget* widget, int context);
// The help context of a widget: its own, else that of the nearest parent that has one, else 0.
int HelpContextOf(const QWidget* widget);
