#include <gtest/gtest.h>

#include <QSet>

#include "app/demo_meter.h"
#include "modbus/meter_simulator.h"
#include "support/fake_serial_port.h"

namespace kelvora {
namespace {

using testing::bytes;
using testing::hex;

const MeterReading kEarth{0x04D2, 0x22, 0x3C, 0x00C8, 0x012C, 0x0032};  // 12.34KΩ, all flags
const char* const kLiveReply = "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34";

TEST(MeterSimulator, AnswersEachRequestByteForByte) {
    const std::pair<const char*, const char*> cases[] = {
        {"01 03 00 01 55 77 6B 7C", "01 03 02 AA BB 86 97"},  // handshake
        {"01 03 00 02 00 0A 64 0D", kLiveReply},
        {"01 03 00 03 00 02 34 0B", "01 03 02 00 05 78 47"},  // record count
        {"01 03 00 04 00 01 C5 CB", kLiveReply},              // record 1 (record 2 differs)
        {"01 04 00 02 00 0A D1 CD", "01 84 01 82 C0"},        // unknown function
        {"01 03 00 09 00 02 14 09", "01 83 02 C0 F1"},        // unknown register
        {"01 03 00 01 12 34 19 7D", "01 83 03 01 31"},        // handshake with another word
        {"01 03 00 04 00 00 04 0B", "01 83 02 C0 F1"},        // record 0
        {"01 03 00 04 00 06 84 09", "01 83 02 C0 F1"},        // past the last record
        {"02 03 00 01 55 77 6B 4F", ""},                      // another slave
    };
    for (const auto& [request, reply] : cases) {
        MeterSimulator meter;
        meter.setLiveReading(kEarth);
        meter.setStoredRecords({kEarth, {0x1234, 0x51, 0, 0, 0, 0}, kEarth, kEarth, kEarth});
        const auto pieces = meter.receive(bytes(request));
        EXPECT_EQ(hex(pieces.isEmpty() ? QByteArray() : pieces[0].bytes), reply) << request;
    }
}

TEST(MeterSimulator, CutsRequestsOutOfTheByteStream) {
    MeterSimulator meter;
    const QByteArray handshake = bytes("01 03 00 01 55 77 6B 7C");
    EXPECT_TRUE(meter.receive(handshake.left(3), 100).isEmpty());
    EXPECT_EQ(meter.receive(handshake.mid(3), 110).size(), 1);  // answered once, whole
    EXPECT_EQ(meter.receive(bytes("FF 00 13") + handshake + handshake, 400).size(), 2)
        << "stray bytes hide no request; two in one chunk get two replies";
    EXPECT_EQ(meter.requests().size(), 3);
}

TEST(MeterSimulator, FaultModes) {
    const char* const handshake = "01 03 00 01 55 77 6B 7C";
    const char* const live = "01 03 00 02 00 0A 64 0D";
    const struct {
        const char* name;
        MeterFaults faults;  // silent, delay, corruptCrc, split, gap, exception, garbage, only
        const char* request;
        QList<int> delays;
        const char* reply;  // nullptr: 15 bytes that are no frame
    } cases[] = {
        {"silent", {true}, live, {}, ""},
        {"late", {false, 400}, handshake, {400}, "01 03 02 AA BB 86 97"},
        {"corrupt CRC", {false, 0, true}, live, {0}, nullptr},
        {"split", {false, 10, false, 6, 250}, live, {10, 260}, kLiveReply},
        {"exception", {false, 0, false, 0, 0, true}, handshake, {0}, "01 83 04 40 F3"},
        {"garbage", {false, 0, false, 0, 0, false, true}, live, {0}, nullptr},
        {"silent on register 1 only",
         {true, 0, false, 0, 0, false, false, 1},
         live,
         {0},
         kLiveReply},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MeterSimulator meter;
        meter.setLiveReading(kEarth);
        meter.setFaults(c.faults);
        QList<int> delays;
        QByteArray reply;
        for (const MeterSimulator::Piece& piece : meter.receive(bytes(c.request))) {
            delays << piece.delayMs;
            reply += piece.bytes;
        }
        EXPECT_EQ(delays, c.delays);
        EXPECT_EQ(meter.requests().size(), 1);  // heard even when not answered
        if (c.reply != nullptr) {
            EXPECT_EQ(hex(reply), c.reply);
        } else {
            EXPECT_EQ(reply.size(), 15);
            EXPECT_NE(meterFrame(reply.left(13)), reply);
        }
    }
}

// The demo shows every part of the program: all four modes live, flags that change, an
// overload now and then, and 25 records of mixed modes.
TEST(DemoMeter, ShowsEveryModeFlagsAndOverloadAndMixedRecords) {
    QSet<int> liveUnits, recordUnits;
    QSet<uint8_t> flags;
    bool overload = false;
    for (qint64 ms = 0; ms < 8 * demo::kModePeriodMs; ms += 500) {
        const MeterReading reading = demo::liveReadingAt(ms);
        liveUnits << (reading.rangeCode & 0xF0);
        flags << reading.status;
        overload = overload || reading.mainValue == 10000;
    }
    for (const MeterReading& record : demo::storedRecords()) {
        recordUnits << (record.rangeCode & 0xF0);
    }
    // Earth resistance (0x10/0x20), resistivity (0x30/0x40), voltage (0x50), current (0x70/0x80).
    for (const QSet<int>& units : {liveUnits, recordUnits}) {
        EXPECT_TRUE((units.contains(0x10) || units.contains(0x20)) &&
                    (units.contains(0x30) || units.contains(0x40)) && units.contains(0x50) &&
                    (units.contains(0x70) || units.contains(0x80)));
    }
    EXPECT_GE(flags.size(), 3);
    EXPECT_TRUE(overload);
    EXPECT_EQ(demo::storedRecords().size(), 25);
}

}  // namespace
}  // namespace kelvora
