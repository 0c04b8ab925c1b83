// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStreamWriter.h"

#include "TErrors.h"
#include "TWin1251.h"

#include <QCoreApplication>

void TStreamWriter::WriteString(const QString& text) {
    const QByteArray bytes = TWin1251::Encode(text);
    WriteInt32(std::int32_t(bytes.size()));
    FData.append(bytes);
}

void TStreamWriter::WriteShortString(const QString& text) {
    const QByteArray bytes = TWin1251::Encode(text);
    if (bytes.size() > 255)
        throw EFileError(QCoreApplication::translate("TStreamWriter",
                                                     "Имя «%1» длиннее 255 байт и не может быть "
                                                     "записано в блок свойств.")
                             .arg(text));
    WriteUInt8(std::uint8_t(bytes.size()));
    FData.append(bytes);
}
