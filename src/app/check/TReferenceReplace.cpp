// SPDX-License-Identifier: GPL-3.0-or-later
#include "TReferenceReplace.h"

#include "AppMessageBox.h"
#include "TReference.h"
#include "TReferenceDiff.h"
#include "TWireList.h"

#include <QDir>
#include <QFileInfo>

QString TReferenceReplace::Text(const QString& path, const TReference& renewed,
                                const TCheckPoints& points, const QString& question) {
    QStringList lines{tr("Для этого проекта уже есть эталон:"), QDir::toNativeSeparators(path),
                      QString()};
    TReference previous;
    std::vector<TWireListError> errors;
    if (TWireList::Load(path, points, previous, errors)) {
        const std::vector<TFault> differences = TReferenceDiff::Compare(previous, renewed, points);
        if (!differences.empty())
            lines << tr("Чем новый эталон отличается от прежнего (различий: %1):")
                         .arg(differences.size());
        lines << TReferenceDiff::Lines(differences, 30);
    } else {
        lines << tr("Прежний эталон не прочитать, сравнить не с чем.")
              << TWireList::ErrorText(path, errors).split(QLatin1Char('\n'));
    }
    lines << QString() << question;
    return lines.join(QLatin1Char('\r'));
}

bool TReferenceReplace::Confirm(const QString& path, const TReference& renewed,
                                const TCheckPoints& points, const QString& question) {
    if (!QFileInfo::exists(path))
        return true;
    return AppMessageBox(Text(path, renewed, points, question), TMsgKind::Question) ==
           TMsgAnswer::Yes;
}
