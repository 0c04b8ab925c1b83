#pragma once

#include <QApplication>

class QTranslator;

// The program's application object. It sets the application title and the program's type
// (TAppFont), loads the Russian texts of the standard dialogs, answers F1 with the help page of the
// focused window's help context, and is the general error report: an error that no handler caught
// is shown in an error box and the program goes on.
class TApplication : public QApplication {
    Q_OBJECT
  public:
    TApplication(int& argc, char** argv);
    ~TApplication() override;

    bool notify(QObject* receiver, QEvent* event) override;

  private:
    QTranslator* FQtTexts = nullptr;
};
