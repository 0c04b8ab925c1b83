#include "CreateFormPlaced.h"
#include "TApplication.h"
#include "TStopSignals.h"
#include "TfmExample.h"
#include "TfmMain.h"
#include "TfmVidPropery.h"

// The program entry: the application, the main window (which sets up everything else and may
// refuse to start), the two hidden view-settings windows, then the message loop.
int main(int argc, char** argv) {
    TApplication app(argc, argv);
    std::unique_ptr<TfmMain> fmMain = CreateFormPlaced<TfmMain>(TfmMainOptions{});
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
