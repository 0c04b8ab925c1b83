// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// Reads a project image held in memory. Every read checks that the bytes are there; a short or
// damaged image raises EFileError with a Russian text that names the fault, the place (the
// context set by the caller, e.g. "разъем 2") and the byte offset.
class TStreamReader {
  public:
    explicit TStreamReader(QByteArray data) : FData(std::move(data)) {}

    qint64 Pos() const { return FPos; }
    qint64 Size() const { return FData.size(); }
    qint64 Remaining() const { return FData.size() - FPos; }
    bool AtEnd() const { return FPos >= FData.size(); }

    std::uint8_t ReadUInt8();
    // The next byte without consuming it.
    std::uint8_t PeekUInt8() const;
    std::int8_t ReadInt8() { return std::int8_t(ReadUInt8()); }
    std::int16_t ReadInt16() { return std::int16_t(ReadLE(2)); }
    std::uint16_t ReadUInt16() { return std::uint16_t(ReadLE(2)); }
    std::int32_t ReadInt32() { return std::int32_t(std::uint32_t(ReadLE(4))); }
    std::uint32_t ReadUInt32() { return std::uint32_t(ReadLE(4)); }
    std::int64_t ReadInt64() { return std::int64_t(ReadLE(8)); }
    QByteArray ReadBytes(qint64 count);
    // An int32 byte count and that many bytes of Windows-1251 text.
    QString ReadString();
    // A length byte and that many bytes of Windows-1251 text.
    QString ReadShortString();
    // An int32 count of items that each take at least minItemSize bytes; refuses a negative
    // count and one the rest of the image cannot hold. `what` names the count in the message.
    std::int32_t ReadCount(qint64 minItemSize, const QString& what);

    // Where the reader is in the project's terms, for the messages.
    void SetContext(const QString& context) { FContext = context; }
    const QString& Context() const { return FContext; }

    [[noreturn]] void Fail(const QString& what) const { FailAt(FPos, what); }
    [[noreturn]] void FailAt(qint64 offset, const QString& what) const;

  private:
    std::uint64_t ReadLE(int bytes);
    void Need(qint64 bytes) const;

    QByteArray FData;
    qint64 FPos = 0;
    QString FContext;
};
