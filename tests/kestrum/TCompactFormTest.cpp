// SPDX-License-Identifier: GPL-3.0-or-later
// The compact form's frames, byte by byte as the library's readme lays them out: what the port
// sends in place of commands 21, 22 and 24, how it turns the mask replies back into the full
// form's, and the simulated unit's side of it.
#include "TCompactForm.h"
#include "TSimUnit.h"

#include <QTest>

namespace {
using Bytes = std::vector<std::uint8_t>;

Bytes Triples(std::initializer_list<std::pair<unsigned, unsigned>> pins, Bytes head = {}) {
    for (const auto& [pin, level] : pins)
        head.insert(head.end(),
                    {static_cast<std::uint8_t>(pin >> 8), static_cast<std::uint8_t>(pin & 0xFF),
                     static_cast<std::uint8_t>(level)});
    return head;
}

std::vector<TFrame> Encode(TCompactForm& form, std::uint8_t code, const Bytes& data,
                           bool* compact = nullptr) {
    std::vector<TFrame> frames;
    const bool ok = form.Encode(code, data.data(), data.size(), frames);
    if (compact != nullptr)
        *compact = ok;
    return frames;
}

TFrame Reply(TSimUnit& unit, std::uint8_t code, const Bytes& data) {
    TFrame reply;
    unit.Handle(code, data.data(), data.size(), reply);
    return reply;
}
} // namespace

class TCompactFormTest : public QObject {
    Q_OBJECT

  private slots:
    void helloAnnouncesIt() {
        const Bytes full{101, 0};
        const Bytes compact{101, 0, 1, 0, 0x01};
        const Bytes without{101, 0, 1, 0, 0x02};
        QVERIFY(!TCompactForm::Announced(full.data(), full.size()));
        QVERIFY(TCompactForm::Announced(compact.data(), compact.size()));
        QVERIFY(!TCompactForm::Announced(without.data(), without.size()));
    }

    void theListGoesOnceThenMasks() {
        TCompactForm form;
        // X1:a1 at 1, X2:a1 at 0, X1:c31 at 5 (any non-zero level is 1).
        std::vector<TFrame> frames = Encode(form, 21, Triples({{400, 1}, {272, 0}, {494, 5}}));
        QCOMPARE(frames.size(), std::size_t(2));
        QCOMPARE(frames[0].Code, 0x40);
        QCOMPARE(frames[0].Payload, (Bytes{0x01, 0x90, 0x01, 0x10, 0x01, 0xEE}));
        QCOMPARE(frames[1].Code, 0x41);
        QCOMPARE(frames[1].Payload, (Bytes{0x05}));
        // The same list: the mask alone; command 22 the same way.
        frames = Encode(form, 22, Triples({{400, 0}, {272, 1}, {494, 0}}));
        QCOMPARE(frames.size(), std::size_t(1));
        QCOMPARE(frames[0].Code, 0x42);
        QCOMPARE(frames[0].Payload, (Bytes{0x02}));
        // Command 24: probe level and read flag as they were, then the mask.
        frames = Encode(form, 24, Triples({{400, 1}, {272, 1}, {494, 1}}, {1, 0}));
        QCOMPARE(frames.size(), std::size_t(1));
        QCOMPARE(frames[0].Code, 0x44);
        QCOMPARE(frames[0].Payload, (Bytes{1, 0, 0x07}));
        // Another order is another list.
        frames = Encode(form, 21, Triples({{272, 1}, {400, 0}, {494, 0}}));
        QCOMPARE(frames.size(), std::size_t(2));
        QCOMPARE(frames[0].Payload, (Bytes{0x01, 0x10, 0x01, 0x90, 0x01, 0xEE}));
        // Nine pins take two mask bytes, the ninth in bit 0 of the second.
        Bytes nine;
        for (unsigned pin = 400; pin < 409; ++pin)
            nine = Triples({{pin, pin == 408 || pin == 400 ? 1u : 0u}}, nine);
        frames = Encode(form, 21, nine);
        QCOMPARE(frames.back().Payload, (Bytes{0x01, 0x01}));
        // A new session forgets the unit's list.
        form.Forget();
        QCOMPARE(Encode(form, 21, nine).size(), std::size_t(2));
    }

    void whatGoesInTheFullForm() {
        TCompactForm form;
        bool compact = true;
        Encode(form, 23, {}, &compact);
        QVERIFY(!compact);
        Encode(form, 28, Triples({{400, 1}}, {0}), &compact);
        QVERIFY(!compact);
        Encode(form, 21, Bytes{0x01, 0x90}, &compact); // no multiple of three
        QVERIFY(!compact);
        Encode(form, 24, Bytes{1}, &compact);
        QVERIFY(!compact);
        for (unsigned pin : {271u, 367u, 399u, 495u}) { // next to each connector's ends
            Encode(form, 21, Triples({{400, 1}, {pin, 1}}), &compact);
            QVERIFY2(!compact, qPrintable(QString::number(pin)));
        }
        for (unsigned pin : {272u, 366u, 400u, 494u}) {
            Encode(form, 21, Triples({{pin, 1}}), &compact);
            QVERIFY2(compact, qPrintable(QString::number(pin)));
        }
        // 190 pins go compact, 191 do not.
        Bytes all;
        for (unsigned pin = 400; pin <= 494; ++pin)
            all = Triples({{pin, 1}}, all);
        for (unsigned pin = 272; pin <= 366; ++pin)
            all = Triples({{pin, 1}}, all);
        const std::vector<TFrame> frames = Encode(form, 21, all, &compact);
        QVERIFY(compact);
        QCOMPARE(frames[0].Payload.size(), std::size_t(380));
        Bytes mask(24, 0xFF);
        mask[23] = 0x3F; // 190 = 23 * 8 + 6
        QCOMPARE(frames[1].Payload, mask);
        Encode(form, 21, Triples({{400, 1}}, all), &compact);
        QVERIFY(!compact);
    }

    void repliesComeBackInTheFullForm() {
        TCompactForm form;
        Encode(form, 21, Triples({{400, 1}, {272, 0}, {494, 1}}));
        TFrame list{0x40, {}};
        QCOMPARE(form.Decode(list), TCompactForm::Reply::Swallow);
        // Levels 1, 0, 1 and the probe 1: bits 0, 2, 3.
        TFrame reply{0x41, {0x0D}};
        QCOMPARE(form.Decode(reply), TCompactForm::Reply::Deliver);
        QCOMPARE(reply.Code, 21);
        QCOMPARE(reply.Payload, (Bytes{1, 0, 1, 1}));
        // Command 24 without reading: the probe's byte as it came.
        Encode(form, 24, Triples({{400, 1}, {272, 0}, {494, 1}}, {1, 0}));
        TFrame probe{0x44, {1}};
        form.Decode(probe);
        QCOMPARE(probe.Code, 24);
        QCOMPARE(probe.Payload, (Bytes{1}));
        // With reading: n + 1 levels.
        Encode(form, 24, Triples({{400, 1}, {272, 0}, {494, 1}}, {0, 1}));
        TFrame read{0x44, {0x02}};
        form.Decode(read);
        QCOMPARE(read.Code, 24);
        QCOMPARE(read.Payload, (Bytes{0, 1, 0, 0}));
        // A refusal reaches the caller as it came.
        Encode(form, 22, Triples({{400, 1}, {272, 0}, {494, 1}}));
        TFrame refused{0xEE, {}};
        QCOMPARE(form.Decode(refused), TCompactForm::Reply::Deliver);
        QCOMPARE(refused.Code, 0xEE);
        // Nothing outstanding: frames pass untouched.
        TFrame stray{0x41, {0x01}};
        form.Decode(stray);
        QCOMPARE(stray.Code, 0x41);
    }

    void simulatedUnitSpeaksBothForms() {
        THarness harness;
        harness.Nets = {{400, 272}};
        harness.ProbePin = 494;
        TSimUnit unit(harness);
        QCOMPARE(Reply(unit, 0xF0, {}).Payload, (Bytes{101, 0}));
        unit.SetAnnounceCompact(true);
        QCOMPARE(Reply(unit, 0xF0, {}).Payload, (Bytes{101, 0, 1, 0, 1}));
        TFrame r = Reply(unit, 0x40, {0x01, 0x90, 0x01, 0x10, 0x01, 0xEE});
        QCOMPARE(r.Code, 0x40);
        QVERIFY(r.Payload.empty());
        // X1:a1 at 1: X2:a1 follows (bit 1), the probe on X1:c31 driven 0 reads 0.
        r = Reply(unit, 0x41, {0x01});
        QCOMPARE(r.Code, 0x41);
        QCOMPARE(r.Payload, (Bytes{0x03}));
        QCOMPARE(Reply(unit, 0x44, {1, 1, 0x00}).Payload, (Bytes{0x0C})); // probe drives c31
        QCOMPARE(Reply(unit, 0x44, {1, 0, 0x00}).Payload, (Bytes{1}));
        QCOMPARE(Reply(unit, 0x42, {0x00}).Code, 0x42);
        // The full form still works, and bad compact frames are refused.
        QCOMPARE(Reply(unit, 21, Triples({{272, 1}})).Payload, (Bytes{1, 1}));
        QCOMPARE(Reply(unit, 0x41, {0x01, 0x00}).Code, 0xEE); // a mask byte too many
        QCOMPARE(Reply(unit, 0x40, {0x01, 0x90, 0x01}).Code, 0xEE);
        QCOMPARE(Reply(unit, 0x40, {0x01, 0x6F}).Code, 0xEE); // 367: no such pin
    }
};

QTEST_APPLESS_MAIN(TCompactFormTest)
#include "TCompactFormTest.moc"
