#include <gtest/gtest.h>

#include <QSet>

#include "link/demo_meter.h"
#include "link/meter_simulator.h"
#include "support/fake_serial_port.h"

namespace kelvora {
namespace {

using testing::bytes;
using testing::hex;

// Bitwise CRC-16/MODBUS, written from the polynomial, independent of the program's tables.
QByteArray withBitwiseCrc(QByteArray frame) {
    uint16_t crc = 0xFFFF;
    for (const char c : frame) {
        crc ^= static_cast<uint8_t>(c);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc & 1) ? static_cast<uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<uint16_t>(crc >> 1);
        }
    }
    frame.append(static_cast<char>(crc & 0xFF));
    frame.append(static_cast<char>(crc >> 8));
    return frame;
}

bool frameChecks(const QByteArray& frame) {
    return frame.size() > 2 && withBitwiseCrc(frame.left(frame.size() - 2)) == frame;
}

MeterReading reading(uint16_t main, uint8_t range, uint8_t status, uint16_t rc, uint16_t rp,
                     uint16_t length) {
    MeterReading r;
    r.mainValue = main;
    r.rangeCode = range;
    r.status = status;
    r.rc = rc;
    r.rp = rp;
    r.rhoLength = length;
    return r;
}

MeterFaults faults(const std::function<void(MeterFaults&)>& set) {
    MeterFaults f;
    set(f);
    return f;
}

// The reading of the first worked example: 12.34 KΩ, Rc 2.00, Rp 3.00, all flags.
const MeterReading kEarthReading = reading(0x04D2, 0x22, 0x3C, 0x00C8, 0x012C, 0x0032);

QByteArray replyOf(MeterSimulator& meter, const char* requestHex) {
    const QList<MeterSimulator::Piece> pieces = meter.receive(bytes(requestHex));
    QByteArray all;
    for (const MeterSimulator::Piece& piece : pieces) {
        all += piece.bytes;
    }
    return all;
}

struct ReplyCase {
    const char* name;
    const char* request;
    MeterReading live;
    int recordCount;
    const char* reply;
};

class MeterReplies : public ::testing::TestWithParam<ReplyCase> {};

TEST_P(MeterReplies, AnswersEachRequestWithItsFrame) {
    const ReplyCase& c = GetParam();
    MeterSimulator meter;
    meter.setLiveReading(c.live);
    QList<MeterReading> records;
    for (int n = 0; n < c.recordCount; ++n) {
        records << kEarthReading;
    }
    meter.setStoredRecords(records);
    EXPECT_EQ(hex(replyOf(meter, c.request)), hex(bytes(c.reply))) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Requests, MeterReplies,
    ::testing::Values(
        ReplyCase{"handshake", "01 03 00 01 55 77 6B 7C", {}, 0, "01 03 02 AA BB 86 97"},
        ReplyCase{"live earth resistance", "01 03 00 02 00 0A 64 0D", kEarthReading, 0,
                  "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34"},
        ReplyCase{"live soil resistivity", "01 03 00 02 00 0A 64 0D",
                  reading(0x04D2, 0x31, 0x00, 0x00C8, 0x012C, 0x0032), 0,
                  "01 03 0A 04 D2 31 00 00 C8 01 2C 00 32 83 2E"},
        ReplyCase{"live earth voltage", "01 03 00 02 00 0A 64 0D",
                  reading(0x01F4, 0x51, 0x04, 0, 0, 0), 0,
                  "01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87"},
        ReplyCase{"no records", "01 03 00 03 00 02 34 0B", {}, 0, "01 03 02 00 00 B8 44"},
        ReplyCase{"five records", "01 03 00 03 00 02 34 0B", {}, 5, "01 03 02 00 05 78 47"},
        ReplyCase{"record 1",
                  "01 03 00 04 00 01 C5 CB",
                  {},
                  2,
                  "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34"}),
    [](const ::testing::TestParamInfo<ReplyCase>& info) { return std::to_string(info.index); });

struct ExceptionCase {
    const char* name;
    QByteArray request;  // without CRC
    QByteArray reply;    // without CRC
};

TEST(MeterExceptions, RequestsTheMeterCannotServeGetAnExceptionReply) {
    const ExceptionCase cases[] = {
        {"function 4", bytes("01 04 00 02 00 0A"), bytes("01 84 01")},
        {"unknown register", bytes("01 03 00 09 00 02"), bytes("01 83 02")},
        {"handshake with another word", bytes("01 03 00 01 12 34"), bytes("01 83 03")},
        {"record 0", bytes("01 03 00 04 00 00"), bytes("01 83 02")},
        {"record past the last", bytes("01 03 00 04 00 04"), bytes("01 83 02")},
    };
    for (const ExceptionCase& c : cases) {
        MeterSimulator meter;
        meter.setStoredRecords({kEarthReading, kEarthReading, kEarthReading});
        const auto pieces = meter.receive(withBitwiseCrc(c.request));
        ASSERT_EQ(pieces.size(), 1) << c.name;
        EXPECT_EQ(hex(pieces[0].bytes), hex(withBitwiseCrc(c.reply))) << c.name;
    }
}

TEST(MeterExceptions, StoredRecordsAreServedByNumber) {
    MeterSimulator meter;
    const MeterReading second = reading(0x1234, 0x51, 0, 0, 0, 0);
    meter.setStoredRecords({kEarthReading, second});
    const auto pieces = meter.receive(withBitwiseCrc(bytes("01 03 00 04 00 02")));
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(hex(pieces[0].bytes),
              hex(withBitwiseCrc(bytes("01 03 0A 12 34 51 00 00 00 00 00 00 00"))));
}

TEST(MeterFraming, IgnoresFramesNotForItOrDamaged) {
    const QByteArray cases[] = {
        withBitwiseCrc(bytes("02 03 00 01 55 77")),  // another slave
        bytes("01 03 00 01 55 77 7C 6B"),            // CRC bytes swapped
        bytes("01 03 00 01 55 77 6B"),               // one byte short
    };
    for (const QByteArray& request : cases) {
        MeterSimulator meter;
        EXPECT_TRUE(meter.receive(request).isEmpty()) << hex(request).toStdString();
    }
}

TEST(MeterFraming, ARequestInPiecesIsAnsweredOnceWhole) {
    MeterSimulator meter;
    const QByteArray request = bytes("01 03 00 01 55 77 6B 7C");
    EXPECT_TRUE(meter.receive(request.left(3), 100).isEmpty());
    const auto pieces = meter.receive(request.mid(3), 110);
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(hex(pieces[0].bytes), "01 03 02 AA BB 86 97");
    EXPECT_EQ(meter.requests(), QList<QByteArray>{request});
}

TEST(MeterFraming, APartialRequestFollowedBySilenceIsForgotten) {
    MeterSimulator meter;
    const QByteArray request = bytes("01 03 00 01 55 77 6B 7C");
    meter.receive(request.left(5), 0);
    // The tail alone, long after, is no request; a whole request afterwards is.
    EXPECT_TRUE(meter.receive(request.mid(5), MeterSimulator::kInterFrameGapMs + 1).isEmpty());
    EXPECT_EQ(meter.receive(request, MeterSimulator::kInterFrameGapMs + 2).size(), 1);
}

TEST(MeterFraming, StrayBytesBeforeARequestDoNotHideIt) {
    MeterSimulator meter;
    const auto pieces = meter.receive(bytes("FF 00 13 01 03 00 02 00 0A 64 0D"));
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(pieces[0].bytes.size(), 15);
}

TEST(MeterFraming, TwoRequestsInOneChunkGetTwoReplies) {
    MeterSimulator meter;
    const auto pieces = meter.receive(bytes("01 03 00 01 55 77 6B 7C 01 03 00 03 00 02 34 0B"));
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(hex(pieces[0].bytes), "01 03 02 AA BB 86 97");
    EXPECT_EQ(hex(pieces[1].bytes), "01 03 02 00 00 B8 44");
    EXPECT_EQ(meter.requests().size(), 2);
}

// ---- misbehaviour ----

const QByteArray kHandshake = bytes("01 03 00 01 55 77 6B 7C");
const QByteArray kLive = bytes("01 03 00 02 00 0A 64 0D");

TEST(MeterFaults, SilentMeterSendsNothingButStillHearsTheRequest) {
    MeterSimulator meter;
    meter.setFaults(faults([](MeterFaults& f) { f.silent = true; }));
    EXPECT_TRUE(meter.receive(kHandshake).isEmpty());
    EXPECT_EQ(meter.requests().size(), 1);
}

TEST(MeterFaults, LateReplyCarriesItsDelay) {
    MeterSimulator meter;
    meter.setFaults(faults([](MeterFaults& f) { f.replyDelayMs = 400; }));
    const auto pieces = meter.receive(kHandshake);
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(pieces[0].delayMs, 400);
    EXPECT_EQ(hex(pieces[0].bytes), "01 03 02 AA BB 86 97");
}

TEST(MeterFaults, CorruptedCrcKeepsTheLengthAndFailsTheCheck) {
    MeterSimulator meter;
    meter.setFaults(faults([](MeterFaults& f) { f.corruptCrc = true; }));
    const QByteArray reply = replyOf(meter, "01 03 00 02 00 0A 64 0D");
    EXPECT_EQ(reply.size(), 15);
    EXPECT_FALSE(frameChecks(reply));
}

TEST(MeterFaults, SplitReplyComesInTwoPiecesThatMakeTheWholeReply) {
    MeterSimulator meter;
    meter.setLiveReading(kEarthReading);
    meter.setFaults(faults([](MeterFaults& f) {
        f.replyDelayMs = 10;
        f.splitAfter = 6;
        f.splitGapMs = 250;
    }));
    const auto pieces = meter.receive(kLive);
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_EQ(pieces[0].bytes.size(), 6);
    EXPECT_EQ(pieces[0].delayMs, 10);
    EXPECT_EQ(pieces[1].delayMs, 260);
    EXPECT_EQ(hex(pieces[0].bytes + pieces[1].bytes),
              "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34");
}

TEST(MeterFaults, ExceptionReplyIsTheFiveByteFailureFrame) {
    MeterSimulator meter;
    meter.setFaults(faults([](MeterFaults& f) { f.exceptionReply = true; }));
    EXPECT_EQ(hex(replyOf(meter, "01 03 00 01 55 77 6B 7C")),
              hex(withBitwiseCrc(bytes("01 83 04"))));
}

TEST(MeterFaults, GarbageHasTheReplyLengthAndNeverChecks) {
    MeterSimulator meter;
    meter.setFaults(faults([](MeterFaults& f) { f.garbage = true; }));
    QSet<QByteArray> seen;
    for (int n = 0; n < 200; ++n) {
        const QByteArray reply = replyOf(meter, "01 03 00 02 00 0A 64 0D");
        ASSERT_EQ(reply.size(), 15);
        EXPECT_FALSE(frameChecks(reply)) << hex(reply).toStdString();
        seen.insert(reply);
    }
    EXPECT_GT(seen.size(), 150);  // really garbage, not one fixed pattern
}

TEST(MeterFaults, OnlyTheChosenRegisterMisbehaves) {
    MeterSimulator meter;
    meter.setFaults(faults([](MeterFaults& f) {
        f.silent = true;
        f.onlyRegister = 1;
    }));
    EXPECT_TRUE(meter.receive(kHandshake).isEmpty());
    EXPECT_EQ(meter.receive(kLive).size(), 1);
}

TEST(MeterLive, ALiveSourceIsAskedWithTheTimeOfTheRequest) {
    MeterSimulator meter;
    meter.setLiveSource(
        [](qint64 now) { return reading(static_cast<uint16_t>(now), 0x51, 0, 0, 0, 0); });
    const auto pieces = meter.receive(kLive, 0x0102);
    ASSERT_EQ(pieces.size(), 1);
    EXPECT_EQ(hex(pieces[0].bytes.mid(3, 3)), "01 02 51");
}

// ---- the demo meter ----

TEST(DemoMeter, LiveReadingsGoThroughAllModesFlagsAndAnOverload) {
    QSet<int> units;
    QSet<uint8_t> flags;
    bool overload = false;
    bool noFlags = false;
    for (qint64 ms = 0; ms < 12 * demo::kModePeriodMs; ms += 250) {
        const MeterReading r = demo::liveReadingAt(ms);
        units.insert(r.rangeCode & 0xF0);
        for (const uint8_t flag : {kMeterNoise, kMeterHighVoltage, kMeterLowBattery, kMeterClamp}) {
            if (r.status & flag) {
                flags.insert(flag);
            }
        }
        noFlags = noFlags || r.status == 0;
        overload = overload || r.mainValue == kMeterOverload;
    }
    // Every measuring mode: resistance (Ω or KΩ), resistivity, voltage, current (mA or A).
    EXPECT_TRUE(units.contains(0x10) || units.contains(0x20));
    EXPECT_TRUE(units.contains(0x30) || units.contains(0x40));
    EXPECT_TRUE(units.contains(0x50));
    EXPECT_TRUE(units.contains(0x70) || units.contains(0x80));
    EXPECT_EQ(flags.size(), 4);
    EXPECT_TRUE(noFlags);
    EXPECT_TRUE(overload);
}

TEST(DemoMeter, ModeChangesEveryPeriod) {
    const int first = demo::liveReadingAt(0).rangeCode & 0xF0;
    EXPECT_EQ(demo::liveReadingAt(demo::kModePeriodMs - 1).rangeCode & 0xF0, first);
    EXPECT_NE(demo::liveReadingAt(demo::kModePeriodMs).rangeCode & 0xF0, first);
}

TEST(DemoMeter, TwentyFiveStoredRecordsOfMixedModes) {
    const QList<MeterReading> records = demo::storedRecords();
    ASSERT_EQ(records.size(), demo::kStoredRecordCount);
    QSet<int> units;
    for (const MeterReading& r : records) {
        units.insert(r.rangeCode & 0xF0);
    }
    EXPECT_GE(units.size(), 4);
    MeterSimulator meter;
    demo::configure(meter);
    EXPECT_EQ(hex(replyOf(meter, "01 03 00 03 00 02 34 0B")),
              hex(withBitwiseCrc(bytes("01 03 02 00 19"))));
}

}  // namespace
}  // namespace kelvora
