// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>

class TRazem;
class TfmConstr;
class TfmMain;

// The main window's connector commands of the editor mode: add, delete, parameters, the ties
// ("Соответствия") and, from a contact's menu, rename and colour.
class TConnectorCommands {
    Q_DECLARE_TR_FUNCTIONS(TfmMain)
  public:
    explicit TConnectorCommands(TfmMain& main) : FMain(main) {}

    void acRazAddExecute();
    void acRazDeleteExecute();
    void acRazEditExecute();
    void acSetSootvExecute();
    void N12Click();
    void N13Click();

  private:
    // The constructor dialog's parameters into a connector.
    static void ReadConstr(const TfmConstr& dialog, TRazem& k);

    TfmMain& FMain;
};
