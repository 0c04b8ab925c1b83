// SPDX-License-Identifier: GPL-3.0-or-later
// The firmware's logic on the host: the receive queue, the frame decoder, the pin map and the
// command handling against a board whose points are a bit array.
#include <QTest>

#include <array>
#include <cstring>
#include <vector>

extern "C" {
#include "frame.h"
#include "pinmap.h"
#include "ring.h"
#include "unit.h"
}

namespace {
using Bytes = std::vector<std::uint8_t>;

// A board whose points read back what is driven on them, OR the points wired "high" on their own.
struct TFakeBoard {
    std::array<std::uint8_t, UNIT_CHAIN_BYTES> Driven{};
    std::array<std::uint8_t, UNIT_CHAIN_BYTES> High{};
    std::uint8_t ProbeOut = 0;
    std::uint8_t ProbeIn = 0;
    int Writes = 0;
};
TFakeBoard Fake;

void FakeWrite(const std::uint8_t* bits) {
    std::memcpy(Fake.Driven.data(), bits, UNIT_CHAIN_BYTES);
    ++Fake.Writes;
}
void FakeRead(std::uint8_t* bits) {
    for (unsigned i = 0; i < UNIT_CHAIN_BYTES; ++i)
        bits[i] = Fake.Driven[i] | Fake.High[i];
}
void FakeProbeOut(std::uint8_t level) {
    Fake.ProbeOut = level;
}
std::uint8_t FakeProbeIn() {
    return Fake.ProbeIn;
}
const unit_board FakeBoardHooks = {FakeWrite, FakeRead, FakeProbeOut, FakeProbeIn};

bool Driven(unsigned point) {
    return (Fake.Driven[point / 8] >> (point % 8)) & 1u;
}

Bytes Triple(unsigned code, unsigned level) {
    return {static_cast<std::uint8_t>(code >> 8), static_cast<std::uint8_t>(code & 0xFF),
            static_cast<std::uint8_t>(level)};
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Every point of the unit as a request's triples, X1 then X2, all at `level`.
Bytes AllPoints(unsigned level) {
    Bytes all;
    for (unsigned p = 0; p < UNIT_POINTS; ++p) {
        const Bytes t = Triple(pinmap_code(static_cast<std::uint8_t>(p)), level);
        all.insert(all.end(), t.begin(), t.end());
    }
    return all;
}

Bytes Written;
void Collect(std::uint8_t byte) {
    Written.push_back(byte);
}
Bytes Source;
std::uint8_t SourceAt(std::uint16_t i) {
    return Source.at(i);
}

// A frame laid out by hand: sync, code, length low and high, payload, XOR from the code on.
Bytes Frame(std::uint8_t code, const Bytes& payload) {
    Bytes f{0xA5, code, static_cast<std::uint8_t>(payload.size() & 0xFF),
            static_cast<std::uint8_t>(payload.size() >> 8)};
    f.insert(f.end(), payload.begin(), payload.end());
    std::uint8_t sum = 0;
    for (std::size_t i = 1; i < f.size(); ++i)
        sum ^= f[i];
    f.push_back(sum);
    return f;
}

struct TDecoded {
    int Ready = 0;
    int TooLong = 0;
    std::uint8_t Code = 0;
    Bytes Payload;
};

TDecoded Feed(frame_decoder& d, const Bytes& bytes, std::uint16_t now = 0) {
    TDecoded r;
    for (std::uint8_t b : bytes) {
        const frame_event e = frame_push(&d, b, now);
        if (e == FRAME_READY) {
            ++r.Ready;
            r.Code = d.code;
            r.Payload.assign(d.payload, d.payload + d.length);
        } else if (e == FRAME_TOO_LONG) {
            ++r.TooLong;
            r.Code = d.code;
        }
    }
    return r;
}
} // namespace

class FirmwareLogicTest : public QObject {
    Q_OBJECT

    unit_state Unit{};

    Bytes Handle(std::uint8_t code, const Bytes& data, unit_outcome expect = UNIT_REPLY) {
        const unit_outcome outcome =
            unit_handle(&Unit, code, data.data(), static_cast<std::uint16_t>(data.size()));
        [&] { QCOMPARE(outcome, expect); }();
        Bytes reply;
        for (std::uint16_t i = 0; i < Unit.reply_length; ++i)
            reply.push_back(unit_reply_at(&Unit, i));
        return reply;
    }

  private slots:
    void init() {
        Fake = TFakeBoard{};
        unit_init(&Unit, &FakeBoardHooks);
    }

    void RingHoldsTwoHundredFiftyFiveBytesInOrder() {
        static ring_buffer ring;
        ring_clear(&ring);
        for (unsigned i = 0; i < 255; ++i)
            QVERIFY(ring_put(&ring, static_cast<std::uint8_t>(i)));
        QCOMPARE(ring_count(&ring), 255);
        QVERIFY(!ring_put(&ring, 0x77)); // the 256th is lost, the others stay
        std::uint8_t b = 0;
        for (unsigned i = 0; i < 255; ++i) {
            QVERIFY(ring_get(&ring, &b));
            QCOMPARE(b, static_cast<std::uint8_t>(i));
        }
        QVERIFY(!ring_get(&ring, &b));
        // Across the wrap of the 8-bit indexes.
        for (unsigned i = 0; i < 300; ++i) {
            QVERIFY(ring_put(&ring, static_cast<std::uint8_t>(i * 7)));
            QVERIFY(ring_get(&ring, &b));
            QCOMPARE(b, static_cast<std::uint8_t>(i * 7));
        }
        QCOMPARE(ring_count(&ring), 0);
    }

    void PinCodesAtTheEndsOfEachRow() {
        // X1: a1 400, a32 431, b1 432, b32 463, c1 464, c31 494; X2 the same from 272.
        const std::array<std::pair<unsigned, unsigned>, 12> map{{{400, 0},
                                                                 {431, 31},
                                                                 {432, 32},
                                                                 {463, 63},
                                                                 {464, 64},
                                                                 {494, 94},
                                                                 {272, 95},
                                                                 {303, 126},
                                                                 {304, 127},
                                                                 {335, 158},
                                                                 {336, 159},
                                                                 {366, 189}}};
        for (const auto& [code, point] : map) {
            QCOMPARE(unsigned(pinmap_point(static_cast<std::uint16_t>(code))), point);
            QCOMPARE(unsigned(pinmap_code(static_cast<std::uint8_t>(point))), code);
        }
        // Just outside each connector, c32 included, and codes of another unit type.
        for (unsigned code : {0u, 94u, 271u, 367u, 399u, 495u, 0xFFFFu, 0x0190u + 0x100u})
            QCOMPARE(unsigned(pinmap_point(static_cast<std::uint16_t>(code))), POINT_NONE);
    }

    void DecoderTakesFramesAsLaidOut() {
        static frame_decoder d;
        frame_reset(&d);
        // Garbage before the sync byte is skipped; a zero-length frame is whole.
        TDecoded r = Feed(d, Join({{0x00, 0x13, 0xFF}, {0xA5, 0xF0, 0x00, 0x00, 0xF0}}));
        QCOMPARE(r.Ready, 1);
        QCOMPARE(r.Code, 0xF0);
        QVERIFY(r.Payload.empty());
        // Pin 400 at level 1 for command 21: payload 01 90 01, sum 15^03^00^01^90^01.
        r = Feed(d, {0xA5, 0x15, 0x03, 0x00, 0x01, 0x90, 0x01, 0x15 ^ 0x03 ^ 0x01 ^ 0x90 ^ 0x01});
        QCOMPARE(r.Ready, 1);
        QCOMPARE(r.Code, 21);
        QCOMPARE(r.Payload, (Bytes{0x01, 0x90, 0x01}));
    }

    void DecoderTakesTheLongestRequestAndSkipsOneByteMore() {
        static frame_decoder d;
        frame_reset(&d);
        QCOMPARE(unsigned(FRAME_MAX_PAYLOAD), 572u);
        const Bytes longest = Join({{1, 0}, AllPoints(1)});
        QCOMPARE(longest.size(), std::size_t(572));
        TDecoded r = Feed(d, Frame(24, longest));
        QCOMPARE(r.Ready, 1);
        QCOMPARE(r.Payload, longest);
        // One byte more: skipped whole (its payload holds a frame of its own, never taken),
        // announced, and the frame right after it is taken.
        Bytes over = Join({longest, {0}});
        const Bytes inner = Frame(23, {});
        std::copy(inner.begin(), inner.end(), over.begin() + 100);
        r = Feed(d, Join({Frame(24, over), Frame(23, {})}));
        QCOMPARE(r.TooLong, 1);
        QCOMPARE(r.Ready, 1);
        QCOMPARE(r.Code, 23);
    }

    void DecoderDropsBrokenFramesAndFindsTheNext() {
        static frame_decoder d;
        frame_reset(&d);
        Bytes bad = Frame(21, Triple(400, 1));
        bad.back() ^= 0x01;
        TDecoded r = Feed(d, Join({bad, Frame(23, {})}));
        QCOMPARE(r.Ready, 1);
        QCOMPARE(r.Code, 23);
        // A half frame: the next byte after more than the gap starts afresh.
        const Bytes half{0xA5, 0x15, 0x06, 0x00, 0x01};
        Feed(d, half, 1000);
        r = Feed(d, Frame(23, {}), static_cast<std::uint16_t>(1000 + FRAME_GAP_MS + 1));
        QCOMPARE(r.Ready, 1);
        QCOMPARE(r.Code, 23);
        // A pause of exactly the gap keeps the frame (and across the counter's wrap).
        Bytes whole = Frame(21, Triple(272, 0));
        Feed(d, Bytes(whole.begin(), whole.begin() + 3), 0xFFF0);
        r = Feed(d, Bytes(whole.begin() + 3, whole.end()),
                 static_cast<std::uint16_t>(0xFFF0 + FRAME_GAP_MS));
        QCOMPARE(r.Ready, 1);
        QCOMPARE(r.Payload, Triple(272, 0));
    }

    void EncoderWritesTheDocumentedBytes() {
        Written.clear();
        Source = {1, 0, 1};
        frame_write(21, 3, SourceAt, Collect);
        QCOMPARE(Written, (Bytes{0xA5, 21, 3, 0, 1, 0, 1, 21 ^ 3 ^ 1 ^ 1}));
        Written.clear();
        Source.assign(300, 0);
        frame_write(0x41, 300, SourceAt, Collect);
        QCOMPARE(Written[2], 0x2C); // 300 = 0x012C, low byte first
        QCOMPARE(Written[3], 0x01);
        QCOMPARE(Written.back(), 0x41 ^ 0x2C ^ 0x01);
    }

    void HelloNamesTypeVersionAndCompactForm() {
        QCOMPARE(Handle(FRAME_HELLO, {}), (Bytes{101, 0, 1, 0, 1}));
        QCOMPARE(Unit.reply_code, FRAME_HELLO);
        Handle(FRAME_REBOOT, {}, UNIT_REBOOT);
    }

    void WriteReadDrivesThePointsAndAnswersInRequestOrder() {
        Fake.High[126 / 8] = 1u << (126 % 8); // X2:a32 high on its own
        Fake.ProbeIn = 1;
        const Bytes reply =
            Handle(21, Join({Triple(494, 1), Triple(400, 0), Triple(303, 0), Triple(366, 1)}));
        QCOMPARE(Unit.reply_code, 21);
        QCOMPARE(reply, (Bytes{1, 0, 1, 1, 1})); // n levels, the probe last
        QVERIFY(Driven(94) && !Driven(0) && !Driven(126) && Driven(189));
        // Levels stay until changed; any non-zero level byte drives 1.
        Handle(22, Triple(400, 7));
        QCOMPARE(Unit.reply_code, 22);
        QCOMPARE(Unit.reply_length, 0);
        QVERIFY(Driven(0) && Driven(94));
        // Every point at once: 191 bytes back.
        QCOMPARE(Handle(21, AllPoints(1)).size(), std::size_t(191));
        QCOMPARE(Fake.Driven[23], 0x3F); // points 184..189, the chain's last two bits unused
    }

    void RequestsThatCannotBeServedChangeNothing() {
        Handle(21, Triple(400, 1));
        const int writes = Fake.Writes;
        // An unknown code anywhere in the list, a length no multiple of three, more than 190
        // points.
        for (const Bytes& bad : {Join({Triple(401, 1), Triple(495, 1)}), Bytes{1, 0x90},
                                 Join({AllPoints(0), Triple(400, 0)})}) {
            QVERIFY(Handle(21, bad).empty());
            QCOMPARE(Unit.reply_code, REPLY_REFUSED);
        }
        QVERIFY(Handle(22, Triple(271, 1)).empty());
        QCOMPARE(Unit.reply_code, REPLY_REFUSED);
        QCOMPARE(Fake.Writes, writes);
        QVERIFY(Driven(0) && !Driven(1));
        for (const auto& [code, data] :
             std::initializer_list<std::pair<std::uint8_t, Bytes>>{{23, {0}},
                                                                   {24, {1}},
                                                                   {24, Join({{1, 1}, {1, 0x90}})},
                                                                   {28, {}},
                                                                   {28, {3}},
                                                                   {28, {2, 0}},
                                                                   {28, {1}},
                                                                   {9, {}},
                                                                   {0x40, {1}},
                                                                   {0x41, {0}}}) {
            Handle(code, data);
            QCOMPARE(Unit.reply_code, REPLY_REFUSED);
            QCOMPARE(Unit.reply_length, 0);
        }
        QCOMPARE(Fake.ProbeOut, 0);
        QCOMPARE(Fake.Writes, writes);
    }

    void ProbeCommands() {
        Fake.ProbeIn = 1;
        QCOMPARE(Handle(23, {}), (Bytes{1}));
        QCOMPARE(Unit.reply_code, 23);
        // Read flag 0: the probe alone; flag 1: the levels, the probe last.
        QCOMPARE(Handle(24, Join({{1, 0}, Triple(272, 1)})), (Bytes{1}));
        QCOMPARE(Fake.ProbeOut, 1);
        QVERIFY(Driven(95));
        Fake.ProbeIn = 0;
        QCOMPARE(Handle(24, Join({{0, 1}, Triple(272, 0), Triple(273, 1)})), (Bytes{0, 1, 0}));
        QCOMPARE(Unit.reply_code, 24);
        QCOMPARE(Fake.ProbeOut, 0);
        QCOMPARE(Handle(24, {0, 1}), (Bytes{0})); // no points: the probe's level alone
    }

    void StopReleasesEveryPointAndTheProbe() {
        Handle(24, Join({{1, 0}, AllPoints(1)}));
        Handle(28, {0});
        Handle(2, {}, UNIT_SILENT);
        QCOMPARE(Fake.Driven, (std::array<std::uint8_t, UNIT_CHAIN_BYTES>{}));
        QCOMPARE(Fake.ProbeOut, 0);
        QCOMPARE(Unit.autonomous, 0);
    }

    void AutonomousModeRunsTheGeneratorTable() {
        QVERIFY(Handle(28, Join({{0}, Triple(400, 1), Triple(401, 0)})).empty());
        QCOMPARE(Unit.reply_code, 28);
        QVERIFY(Driven(0) && !Driven(1));
        // Generator: X1:a2 on line 0, X1:a3 on line 1, X2:a1 on line 33 (acts as line 1), and
        // the probe toggles.
        Handle(28, Join({{1, 1}, Triple(401, 0), Triple(402, 1), Triple(272, 33)}));
        QCOMPARE(Unit.reply_code, 28);
        std::vector<int> line0, line1, line33, probe;
        for (int step = 0; step < 5; ++step) {
            unit_generator_step(&Unit);
            line0.push_back(Driven(1));
            line1.push_back(Driven(2));
            line33.push_back(Driven(95));
            probe.push_back(Fake.ProbeOut);
        }
        QCOMPARE(line0, (std::vector<int>{0, 1, 0, 1, 0}));
        QCOMPARE(line1, (std::vector<int>{0, 0, 1, 1, 0}));
        QCOMPARE(line33, line1);
        QCOMPARE(probe, (std::vector<int>{1, 0, 1, 0, 1}));
        QVERIFY(Driven(0)); // the table's own levels stay
        // Sub-command 2 leaves: the generator stands still.
        QVERIFY(Handle(28, {2}).empty());
        QCOMPARE(Unit.reply_code, 28);
        const auto frozen = Fake.Driven;
        unit_generator_step(&Unit);
        QCOMPARE(Fake.Driven, frozen);
    }

    void CompactFormCarriesLevelsAsBitMasks() {
        // List: X1:a1, X2:c31, X1:c31, then six more X1 points: nine points, two mask bytes.
        Bytes list{0x01, 0x90, 0x01, 0x6E, 0x01, 0xEE};
        for (unsigned code = 401; code <= 406; ++code)
            list.insert(list.end(), {static_cast<std::uint8_t>(code >> 8),
                                     static_cast<std::uint8_t>(code & 0xFF)});
        QVERIFY(Handle(0x40, list).empty());
        QCOMPARE(Unit.reply_code, 0x40);
        Fake.ProbeIn = 1;
        // Bit i of byte i/8: points 0 and 2 of the list, and point 8 (bit 0 of byte 1).
        QCOMPARE(Handle(0x41, {0x05, 0x01}), (Bytes{0x05, 0x03})); // probe in bit 9
        QCOMPARE(Unit.reply_code, 0x41);
        QVERIFY(Driven(0) && !Driven(189) && Driven(94) && Driven(6) && !Driven(1));
        // A mask of the wrong size is refused and drives nothing.
        Handle(0x41, {0xFF});
        QCOMPARE(Unit.reply_code, REPLY_REFUSED);
        QVERIFY(!Driven(189));
        QVERIFY(Handle(0x42, {0x02, 0x00}).empty());
        QCOMPARE(Unit.reply_code, 0x42);
        QVERIFY(Driven(189) && !Driven(0));
        QCOMPARE(Handle(0x44, {1, 0, 0x00, 0x00}), (Bytes{1}));
        QCOMPARE(Fake.ProbeOut, 1);
        Fake.ProbeIn = 0;
        QCOMPARE(Handle(0x44, {0, 1, 0x01, 0x00}), (Bytes{0x01, 0x00}));
        // The whole unit: 190 points in 24 bytes, 191 levels back in 24 bytes.
        Bytes all;
        for (unsigned p = 0; p < UNIT_POINTS; ++p) {
            const unsigned code = pinmap_code(static_cast<std::uint8_t>(p));
            all.insert(all.end(), {static_cast<std::uint8_t>(code >> 8),
                                   static_cast<std::uint8_t>(code & 0xFF)});
        }
        Handle(0x40, all);
        Fake.ProbeIn = 1;
        const Bytes reply = Handle(0x41, Bytes(24, 0xFF));
        QCOMPARE(reply.size(), std::size_t(24));
        QCOMPARE(reply[23], 0x7F); // points 184..189 and the probe in bit 6
        // One pin more than the unit has is refused whole.
        Bytes tooMany = all;
        tooMany.insert(tooMany.end(), {0x01, 0x90});
        Handle(0x40, tooMany);
        QCOMPARE(Unit.reply_code, REPLY_REFUSED);
        QCOMPARE(Unit.list_count, 190);
        // A list with an unknown code is refused and the old list stays.
        Handle(0x40, {0x01, 0x90, 0x01, 0xEF});
        QCOMPARE(Unit.reply_code, REPLY_REFUSED);
        QCOMPARE(Unit.list_count, 190);
    }
};

QTEST_APPLESS_MAIN(FirmwareLogicTest)
#include "FirmwareLogicTest.moc"
