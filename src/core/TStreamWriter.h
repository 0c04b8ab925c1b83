// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Builds a project image in memory: little-endian integers with no padding, counted strings in
// Windows-1251. The whole image is written to disk in one piece afterwards.
class TStreamWriter {
  public:
    TStreamWriter() = default;

    void WriteUInt8(std::uint8_t v) { FData.append(char(v)); }
    void WriteInt8(std::int8_t v) { WriteUInt8(std::uint8_t(v)); }
    void WriteInt16(std::int16_t v) { WriteLE(std::uint16_t(v), 2); }
    void WriteUInt16(std::uint16_t v) { WriteLE(v, 2); }
    void WriteInt32(std::int32_t v) { WriteLE(std::uint32_t(v), 4); }
    void WriteUInt32(std::uint32_t v) { WriteLE(v, 4); }
    void WriteInt64(std::int64_t v) { WriteLE(std::uint64_t(v), 8); }
    void WriteBytes(const QByteArray& bytes) { FData.append(bytes); }
    // A byte count as int32 followed by the bytes of the text in Windows-1251.
    void WriteString(const QString& text);
    // One length byte followed by the bytes (the component block's names and identifiers).
    // Refuses (EFileError) a text longer than 255 bytes.
    void WriteShortString(const QString& text);

    const QByteArray& Data() const { return FData; }
    QByteArray TakeData() { return std::move(FData); }
    void Reserve(qsizetype size) { FData.reserve(size); }

  private:
    void WriteLE(std::uint64_t v, int bytes) {
        char buf[8];
        for (int i = 0; i < bytes; ++i)
            buf[i] = char((v >> (8 * i)) & 0xFF);
        FData.append(buf, bytes);
    }

    QByteArray FData;
};
