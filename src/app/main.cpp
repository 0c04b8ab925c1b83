// SPDX-License-Identifier: GPL-3.0-or-later
#include "CreateFormPlaced.h"
#include "TApplication.h"
#include "TCommandLine.h"
#include "TIniFile.h"
#include "TStopSignals.h"
#include "TTranslation.h"
#include "TfmExample.h"
#include "TfmMain.h"
#include "TfmVidPropery.h"

#include <QDir>
#include <cstdio>

namespace {

void Print(std::FILE* stream, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fflush(stream);
}

// The language of the settings file and the locale; the device library is loaded only later,
// by the main window, so its messages find the translation in place.
void ChooseLanguage() {
    TTranslation::Install(TTranslation::ChooseForProgram(TIniFile::ProgramSettingsPath()));
}

} // namespace

// The program entry: --help and --version answer without a display; otherwise the application,
// the main window (which sets up everything else and may refuse to start), the two hidden
// view-settings windows, the project named on the command line, then the message loop.
int main(int argc, char** argv) {
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const TCommandLine early = TCommandLine::Parse(words, QDir::currentPath());
    if (early.Action == TCommandLineAction::Help || early.Action == TCommandLineAction::Version) {
        QCoreApplication core(argc, argv);
        ChooseLanguage();
        Print(stdout, early.Action == TCommandLineAction::Help ? TCommandLine::HelpText()
                                                               : TCommandLine::VersionText());
        return 0;
    }

    TApplication app(argc, argv);
    ChooseLanguage();
    // Qt has taken its own options (-platform, -style) out of the list by now.
    const TCommandLine line =
        TCommandLine::Parse(TApplication::arguments().mid(1), QDir::currentPath());
    if (line.Action == TCommandLineAction::Error) {
        Print(stderr, line.ErrorText());
        return 2;
    }
    TfmMainOptions options;
    options.StartupFile = line.File;
    std::unique_ptr<TfmMain> fmMain = CreateFormPlaced<TfmMain>(std::move(options));
    if (!fmMain->Started())
        return 1; // the registration check failed and said so; no window, no settings written
    std::unique_ptr<TfmVidPropery> fmVidPropery = CreateFormPlaced<TfmVidPropery>();
    std::unique_ptr<TfmExample> fmExample = CreateFormPlaced<TfmExample>();
    fmMain->show();
    // Logging out or Ctrl+C in a terminal closes the window as the user would.
    TStopSignals stopSignals;
    QObject::connect(&stopSignals, &TStopSignals::StopRequested, fmMain.get(), &QWidget::close);
    const int rc = TApplication::exec();
    fmExample.reset();
    fmVidPropery.reset();
    fmMain.reset(); // FormDestroy: the worker ends, the settings file is written
    return rc;
}
