// SPDX-License-Identifier: GPL-3.0-or-later
// The link frame codec against the documented frame layout: sync 0xA5, code, payload length
// (little-endian), payload, XOR of every byte from the code to the payload's end. The expected
// bytes are written out here, so a fault the encoder and the decoder share still shows.
// The codec is linked from the library's classes; ports are tested through libkestrum.so.

#include "TFrameCodec.h"

#include <QTest>

#include <initializer_list>

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::initializer_list<int> values) {
    Bytes out;
    for (int v : values)
        out.push_back(std::uint8_t(v));
    return out;
}
Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
Bytes Encoded(std::uint8_t code, const Bytes& payload) {
    Bytes out;
    if (!TFrameCodec::Encode(code, payload.data(), payload.size(), out))
        out = Of({-1});
    return out;
}

struct TDecoded {
    std::vector<TFrame> Frames;
    TFrameCodec::Status Last = TFrameCodec::Status::NeedMore;
};
// Feeds the bytes in pieces of `piece` and takes out every frame.
TDecoded Decode(const Bytes& bytes, std::size_t piece) {
    TFrameCodec decoder;
    TDecoded out;
    TFrame frame;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        decoder.Append(bytes.data() + at, std::min(piece, bytes.size() - at));
        while ((out.Last = decoder.Next(frame)) == TFrameCodec::Status::Frame)
            out.Frames.push_back(frame);
        if (out.Last != TFrameCodec::Status::NeedMore)
            break;
    }
    return out;
}

// 258 bytes 00 01 .. FF 00 01; their XOR is 01.
Bytes Counting() {
    Bytes out;
    for (int i = 0; i < 258; ++i)
        out.push_back(std::uint8_t(i & 0xFF));
    return out;
}
} // namespace

class TFrameCodecTest : public QObject {
    Q_OBJECT
  private slots:
    void encodesTheDocumentedBytes() {
        QCOMPARE(Encoded(0xF0, {}), Of({0xA5, 0xF0, 0x00, 0x00, 0xF0}));
        QCOMPARE(Encoded(23, {}), Of({0xA5, 0x17, 0x00, 0x00, 0x17}));
        // Pin 400 to level one: 15 ^ 03 ^ 00 ^ 01 ^ 90 ^ 01 = 86.
        QCOMPARE(Encoded(21, Of({0x01, 0x90, 0x01})),
                 Of({0xA5, 0x15, 0x03, 0x00, 0x01, 0x90, 0x01, 0x86}));
        // From 256 bytes on the length's high byte is 01 and enters the checksum:
        // 256 bytes of 5A cancel out, 15 ^ 00 ^ 01 = 14.
        QCOMPARE(Encoded(21, Bytes(256, 0x5A)),
                 Of({0xA5, 0x15, 0x00, 0x01}) + Bytes(256, 0x5A) + Of({0x14}));
        // 15 ^ 02 ^ 01 ^ 01 = 17.
        QCOMPARE(Encoded(21, Counting()), Of({0xA5, 0x15, 0x02, 0x01}) + Counting() + Of({0x17}));
        // 4096 is the longest payload (length 00 10: 15 ^ 10 = 05); 4097 makes no frame.
        QCOMPARE(Encoded(21, Bytes(4096, 0)),
                 Of({0xA5, 0x15, 0x00, 0x10}) + Bytes(4096, 0) + Of({0x05}));
        Bytes out = Of({0x33});
        QVERIFY(!TFrameCodec::Encode(21, Bytes(4097, 0).data(), 4097, out));
        QCOMPARE(out, Of({0x33})); // nothing appended
    }

    void decodesTheDocumentedBytes_data() {
        QTest::addColumn<int>("piece");
        QTest::newRow("whole") << 100000;
        QTest::newRow("byte by byte") << 1;
        QTest::newRow("in sevens") << 7;
    }
    void decodesTheDocumentedBytes() {
        QFETCH(int, piece);
        const Bytes stream = Of({0xA5, 0x15, 0x03, 0x00, 0x01, 0x90, 0x01, 0x86}) +
                             Of({0xA5, 0x16, 0x00, 0x00, 0x16}) + Of({0xA5, 0x15, 0x02, 0x01}) +
                             Counting() + Of({0x17}) + Of({0xA5, 0x15, 0x00, 0x10}) +
                             Bytes(4096, 0) + Of({0x05});
        const TDecoded d = Decode(stream, std::size_t(piece));
        QCOMPARE(d.Last, TFrameCodec::Status::NeedMore);
        QCOMPARE(d.Frames.size(), std::size_t(4));
        QCOMPARE(d.Frames[0].Code, std::uint8_t(21));
        QCOMPARE(d.Frames[0].Payload, Of({0x01, 0x90, 0x01}));
        QCOMPARE(d.Frames[1].Code, std::uint8_t(22));
        QVERIFY(d.Frames[1].Payload.empty());
        QCOMPARE(d.Frames[2].Payload, Counting());
        QCOMPARE(d.Frames[3].Payload, Bytes(4096, 0));
    }

    void refusesWhatTheLayoutDoesNotAllow() {
        // A checksum that left out the length's high byte.
        QCOMPARE(Decode(Of({0xA5, 0x15, 0x02, 0x01}) + Counting() + Of({0x16}), 1).Last,
                 TFrameCodec::Status::BadChecksum);
        // One that took in the sync byte.
        QCOMPARE(Decode(Of({0xA5, 0x17, 0x00, 0x00, 0x17 ^ 0xA5}), 1).Last,
                 TFrameCodec::Status::BadChecksum);
        QCOMPARE(Decode(Of({0x5A, 0x17, 0x00, 0x00, 0x17}), 1).Last, TFrameCodec::Status::BadSync);
        // A length of 4097 is refused as soon as the header is in, before any payload.
        QCOMPARE(Decode(Of({0xA5, 0x15, 0x01, 0x10}), 1).Last, TFrameCodec::Status::BadLength);
        const TDecoded half = Decode(Of({0xA5, 0x15, 0x00, 0x10}) + Bytes(4096, 0), 1);
        QCOMPARE(half.Last, TFrameCodec::Status::NeedMore);
        QVERIFY(half.Frames.empty());
        // After a fault the stream stays out of step: a good frame after it is not taken.
        const TDecoded after =
            Decode(Of({0x5A, 0xA5, 0x17, 0x00, 0x00, 0x17, 0xA5, 0x17, 0x00, 0x00, 0x17}), 100);
        QCOMPARE(after.Last, TFrameCodec::Status::BadSync);
        QVERIFY(after.Frames.empty());
    }
};

QTEST_GUILESS_MAIN(TFrameCodecTest)
#include "TFrameCodecTest.moc"
