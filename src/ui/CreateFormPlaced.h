// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>
#include <utility>

// Restores a window's remembered placement from the program's settings file when the window
// carries a TFormPlacement named "FormPlacement"; any other window keeps its design placement,
// and so does every window while no settings file exists (TAppSettings::Instance() is null).
void CreateFormPlaced(QWidget* form);

// Creates a window of the given class (the caller owns it) and restores its placement.
template <class TForm, class... Args> std::unique_ptr<TForm> CreateFormPlaced(Args&&... args) {
    auto form = std::make_unique<TForm>(std::forward<Args>(args)...);
    CreateFormPlaced(static_cast<QWidget*>(form.get()));
    return form;
}
