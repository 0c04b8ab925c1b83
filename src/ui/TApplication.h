// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>

// The program's application object. It sets the application title and the program's type
// (TAppFont), starts with the Russian texts (the program entry then chooses the language,
// TTranslation), answers F1 with the help page of the focused window's help context, and is the
// general error report: an error that no handler caught is shown in an error box and the program
// goes on.
class TApplication : public QApplication {
    Q_OBJECT
  public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;
};
