#include <gtest/gtest.h>

#include "link/modbus_frame.h"
#include "support/fake_serial_port.h"

namespace kelvora::testing {
namespace {

struct FrameCase {
    const char* name;
    Request request;
    const char* wire;
    int threshold;  // 0: none, the port's threshold is left alone
};

class RequestFrames : public ::testing::TestWithParam<FrameCase> {};

TEST_P(RequestFrames, BuildByteForByte) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(hex(toByteArray(buildRequestFrame(c.request))), QString::fromLatin1(c.wire));
    if (c.threshold == 0) {
        EXPECT_FALSE(receiveThresholdFor(c.request.registerNumber).has_value());
    } else {
        EXPECT_EQ(receiveThresholdFor(c.request.registerNumber), c.threshold);
    }
    EXPECT_EQ(replyLengthFor(c.request.registerNumber), c.threshold);
    EXPECT_TRUE(crcChecks(toByteArray(buildRequestFrame(c.request))));
}

INSTANTIATE_TEST_SUITE_P(
    EveryRequest, RequestFrames,
    ::testing::Values(
        FrameCase{"Handshake", Request::handshake(), "01 03 00 01 55 77 6B 7C", 7},
        FrameCase{"LiveReading", Request::liveReading(), "01 03 00 02 00 0A 64 0D", 15},
        FrameCase{"RecordCount", Request::recordCount(), "01 03 00 03 00 02 34 0B", 7},
        FrameCase{"Record1", Request::storedRecord(1), "01 03 00 04 00 01 C5 CB", 15},
        FrameCase{"ReadOneRegister", Request{1, 3, 0, 1}, "01 03 00 00 00 01 84 0A", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RequestFrames, RecordNumberGoesBigEndianIntoTheCountField) {
    const RequestFrame frame = buildRequestFrame(Request::storedRecord(300));
    EXPECT_EQ(frame[4], 0x01);
    EXPECT_EQ(frame[5], 0x2C);
    EXPECT_TRUE(crcChecks(toByteArray(frame)));
    EXPECT_EQ(toByteArray(frame), withCrc(bytes("01 03 00 04 01 2C")));
}

TEST(ReceiveThreshold, UnknownRegistersLeaveItAlone) {
    for (int reg : {0, 5, 6, 0x100, 0x7FFF, -1}) {
        EXPECT_FALSE(receiveThresholdFor(reg).has_value()) << reg;
        EXPECT_EQ(replyLengthFor(reg), 0) << reg;
    }
}

TEST(FrameCheck, WithCrcAppendsLowByteFirstAndChecks) {
    EXPECT_EQ(hex(withCrc(bytes("01 03 02 AA BB"))), QStringLiteral("01 03 02 AA BB 86 97"));
    EXPECT_TRUE(crcChecks(bytes("01 03 02 AA BB 86 97")));
    EXPECT_FALSE(crcChecks(bytes("01 03 02 AA BB 97 86")));
    EXPECT_FALSE(crcChecks(QByteArray()));  // no bytes give FF FF, not 0 0
}

}  // namespace
}  // namespace kelvora::testing
