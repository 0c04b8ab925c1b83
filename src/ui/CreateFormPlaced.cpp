// SPDX-License-Identifier: GPL-3.0-or-later
#include "CreateFormPlaced.h"

#include "TAppSettings.h"
#include "TFormPlacement.h"

void CreateFormPlaced(QWidget* form) {
    if (form == nullptr)
        return;
    auto* placement = form->findChild<TFormPlacement*>(QStringLiteral("FormPlacement"),
                                                       Qt::FindDirectChildrenOnly);
    TAppSettings* settings = TAppSettings::Instance();
    if (placement != nullptr && settings != nullptr)
        placement->Restore(settings->Ini());
}
