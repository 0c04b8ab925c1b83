// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

enum class TCommandLineAction {
    Run,     // start the program, with the project File when one was named
    Help,    // print the usage and end
    Version, // print the version and end
    Error,   // print Error and the hint to --help, and end
};

// The program's command line: `pinvel [FILE.pvl]`, `pinvel --help`, `pinvel --version`.
// --help and --version anywhere before "--" win over everything else, so they answer even with
// Qt's own options (-platform, -style) still in the list; every other word that starts with
// "-" is an error, as is a second file. A word after "--" is always a file.
class TCommandLine {
    Q_DECLARE_TR_FUNCTIONS(TCommandLine)
  public:
    // The arguments without the program's name; a relative file is taken from the folder.
    static TCommandLine Parse(const QStringList& arguments, const QString& currentFolder);

    TCommandLineAction Action = TCommandLineAction::Run;
    QString File; // the project to open at start, absolute; empty for none
    QString Error;

    static QString HelpText();
    static QString VersionText();
    // Error with the hint where the usage is.
    QString ErrorText() const;
};
