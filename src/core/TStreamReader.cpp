// SPDX-License-Identifier: GPL-3.0-or-later
#include "TStreamReader.h"

#include "TErrors.h"
#include "TWin1251.h"

#include <QCoreApplication>

namespace {
struct TTexts {
    Q_DECLARE_TR_FUNCTIONS(TStreamReader)
};
} // namespace

void TStreamReader::FailAt(qint64 offset, const QString& what) const {
    if (FContext.isEmpty())
        throw EFileError(TTexts::tr("Файл проекта поврежден: %1 (смещение %2).")
                             .arg(what, QString::number(offset)));
    throw EFileError(TTexts::tr("Файл проекта поврежден: %1 (%2, смещение %3).")
                         .arg(what, FContext, QString::number(offset)));
}

void TStreamReader::Need(qint64 bytes) const {
    if (bytes > Remaining())
        Fail(TTexts::tr("файл обрывается посреди записи: нужно байт %1, осталось %2")
                 .arg(bytes)
                 .arg(Remaining()));
}

std::uint64_t TStreamReader::ReadLE(int bytes) {
    Need(bytes);
    const auto* p = reinterpret_cast<const unsigned char*>(FData.constData() + FPos);
    std::uint64_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= std::uint64_t(p[i]) << (8 * i);
    FPos += bytes;
    return v;
}

std::uint8_t TStreamReader::ReadUInt8() {
    Need(1);
    return std::uint8_t(FData[FPos++]);
}

std::uint8_t TStreamReader::PeekUInt8() const {
    Need(1);
    return std::uint8_t(FData[FPos]);
}

QByteArray TStreamReader::ReadBytes(qint64 count) {
    if (count < 0)
        Fail(TTexts::tr("отрицательная длина данных %1").arg(count));
    Need(count);
    QByteArray out = FData.mid(FPos, count);
    FPos += count;
    return out;
}

QString TStreamReader::ReadString() {
    const qint64 at = FPos;
    const std::int32_t n = ReadInt32();
    if (n < 0)
        FailAt(at, TTexts::tr("отрицательная длина строки %1").arg(n));
    if (n > Remaining())
        FailAt(at, TTexts::tr("длина строки %1 больше оставшейся части файла (%2 байт)")
                       .arg(n)
                       .arg(Remaining()));
    const QString s = TWin1251::Decode(FData.constData() + FPos, n);
    FPos += n;
    return s;
}

QString TStreamReader::ReadShortString() {
    const std::uint8_t n = ReadUInt8();
    Need(n);
    const QString s = TWin1251::Decode(FData.constData() + FPos, n);
    FPos += n;
    return s;
}

std::int32_t TStreamReader::ReadCount(qint64 minItemSize, const QString& what) {
    const qint64 at = FPos;
    const std::int32_t n = ReadInt32();
    if (n < 0)
        FailAt(at, TTexts::tr("%1 отрицательно: %2").arg(what).arg(n));
    if (minItemSize > 0 && qint64(n) * minItemSize > Remaining())
        FailAt(at, TTexts::tr("%1 (%2) больше, чем может поместиться в оставшейся части файла")
                       .arg(what)
                       .arg(n));
    return n;
}
