#include <gtest/gtest.h>

#include <QPushButton>

#include "app/twip_label.h"
#include "link/modbus_frame.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

const QString kSentinel = QStringLiteral("-");

// The connected window with the meter's port open; every label caption set to a sentinel so
// that a write shows.
class Receive : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm();
        port().forceOpen(3);
        f().comConnected = true;
        for (LabelArray* values :
             {&f().r, &f().rc, &f().rp, &f().p, &f().p_length, &f().v, &f().i}) {
            (*values)[0]->setCaption(kSentinel);
        }
    }
    Form1& f() { return *t->form; }
    FakeSerialPort& port() { return *t->port; }

    // Sends the request of this register and count, then lets the reply arrive whole.
    void reply(uint16_t reg, uint16_t count, const QByteArray& frame) {
        request(reg, count);
        port().arrive(frame);
        if (port().bytesWaiting() > 0) {
            port().raise(kComEvReceive);  // a frame shorter than the threshold
        }
    }
    void request(uint16_t reg, uint16_t count) {
        f().SendRequest(1, 3, static_cast<uint8_t>(reg >> 8), static_cast<uint8_t>(reg & 0xFF),
                        static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(count & 0xFF));
    }

    // Everything a reply may change, one line per item.
    QStringList state() {
        QStringList lines;
        lines << QStringLiteral("timeoutCount %1").arg(f().timeoutCount)
              << QStringLiteral("comConnected %1").arg(f().comConnected)
              << QStringLiteral("measureMode %1").arg(f().measureMode)
              << QStringLiteral("recordTotal %1").arg(f().recordTotal)
              << QStringLiteral("recordIndex %1").arg(f().recordIndex)
              << "Label2 " + f().Label2->caption();
        const std::pair<const char*, LabelArray*> values[] = {{"r", &f().r},
                                                              {"rc", &f().rc},
                                                              {"rp", &f().rp},
                                                              {"p", &f().p},
                                                              {"p_length", &f().p_length},
                                                              {"v", &f().v},
                                                              {"i", &f().i}};
        for (const auto& [name, array] : values) {
            lines << QString::fromLatin1(name) + " " + (*array)[0]->caption();
        }
        for (TwipLabel* indicator : {f().NOISE, f().HVOLT, f().LOWBAT, f().CLAMP}) {
            lines << indicator->text() + (indicator->isHidden() ? " hidden" : " shown");
        }
        lines << QStringLiteral("Readdat %1 comunication %2 Command1 %3 Command2 %4")
                     .arg(f().Readdat.isActive())
                     .arg(f().comunication.isActive())
                     .arg(f().Command1->isEnabled())
                     .arg(f().Command2->isEnabled());
        lines << QStringLiteral("rows %1").arg(f().grid->rows());
        for (int row = 0; row < f().grid->rows(); ++row) {
            lines << rowText(row);
        }
        return lines;
    }
    QString rowText(int row) {
        QStringList cells;
        for (int column = 0; column < f().grid->cols(); ++column) {
            cells << f().grid->textMatrix(row, column);
        }
        return cells.join('|');
    }
    void setIndicators(bool shown) {
        for (TwipLabel* indicator : {f().NOISE, f().HVOLT, f().LOWBAT, f().CLAMP}) {
            indicator->setVisible(shown);
        }
    }

    std::unique_ptr<TestForm> t;
};

// ---- live readings ----

struct LiveCase {
    const char* name;
    const char* frame;
    std::vector<std::pair<const char*, const char*>> labels;  // label name, caption (UTF-8)
    int measureMode;
    bool noise, hvolt, lowbat, clamp;
};

class LiveReadings : public Receive, public ::testing::WithParamInterface<LiveCase> {};

TEST_P(LiveReadings, WriteTheirModesLabelsAndSetEveryIndicator) {
    const LiveCase& c = GetParam();
    f().measureMode = 7;
    // Every indicator starts opposite to where the reply must put it.
    f().NOISE->setVisible(!c.noise);
    f().HVOLT->setVisible(!c.hvolt);
    f().LOWBAT->setVisible(!c.lowbat);
    f().CLAMP->setVisible(!c.clamp);
    reply(2, 10, bytes(c.frame));

    const std::pair<const char*, LabelArray*> values[] = {
        {"r", &f().r}, {"rc", &f().rc}, {"rp", &f().rp}, {"p", &f().p}, {"p_length", &f().p_length},
        {"v", &f().v}, {"i", &f().i}};
    for (const auto& [name, array] : values) {
        QString expected = kSentinel;
        for (const auto& [label, caption] : c.labels) {
            if (std::string(label) == name) {
                expected = QString::fromUtf8(caption);
            }
        }
        EXPECT_EQ((*array)[0]->caption(), expected) << name;
    }
    EXPECT_EQ(f().measureMode, c.measureMode);
    EXPECT_EQ(!f().NOISE->isHidden(), c.noise);
    EXPECT_EQ(!f().HVOLT->isHidden(), c.hvolt);
    EXPECT_EQ(!f().LOWBAT->isHidden(), c.lowbat);
    EXPECT_EQ(!f().CLAMP->isHidden(), c.clamp);
    EXPECT_EQ(f().timeoutCount, 0);
    EXPECT_EQ(hex(f().rxBuffer), QString::fromLatin1(c.frame));
}

INSTANTIATE_TEST_SUITE_P(
    Replies, LiveReadings,
    ::testing::Values(
        LiveCase{"EarthResistance",
                 "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34",
                 {{"r", "12.34KΩ"}, {"rc", "2.00KΩ"}, {"rp", "3.00KΩ"}},
                 1,
                 true,
                 true,
                 true,
                 true},
        LiveCase{"SoilResistivity",
                 "01 03 0A 04 D2 31 00 00 C8 01 2C 00 32 83 2E",
                 {{"p", "123.4Ωm"}, {"rc", "2.00KΩ"}, {"rp", "3.00KΩ"}, {"p_length", "5.0m"}},
                 2,
                 false,
                 false,
                 false,
                 false},
        LiveCase{"EarthVoltage",
                 "01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87",
                 {{"v", "50.0V"}},
                 3,
                 true,
                 false,
                 false,
                 false},
        LiveCase{"Overload",
                 "01 03 0A 27 10 22 08 00 00 00 00 00 00 53 C7",
                 {{"r", "OL KΩ"}, {"rc", "0.00KΩ"}, {"rp", "0.00KΩ"}},
                 1,
                 false,
                 true,
                 false,
                 false},
        LiveCase{"ClampCurrent",
                 "01 03 0A 00 7B 72 30 00 00 00 00 00 00 84 BA",
                 {{"i", "1.23mA"}},
                 4,
                 false,
                 false,
                 true,
                 true},
        LiveCase{"UnknownUnit",
                 "01 03 0A 04 D2 61 14 00 C8 01 2C 00 32 D2 13",
                 {},
                 7,
                 true,
                 false,
                 true,
                 false},
        LiveCase{"UnusedStatusBitsIgnored",
                 "01 03 0A 00 0C 80 C3 00 00 00 00 00 00 8A DA",
                 {{"i", "12A"}},
                 4,
                 false,
                 false,
                 false,
                 false}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- handshake ----

TEST_F(Receive, HandshakeReplyConnectsOnlyWithItsOwnCrcOrder) {
    f().comConnected = false;
    reply(1, 0x5577, bytes("01 03 02 AA BB 97 86"));  // CRC bytes swapped
    EXPECT_FALSE(f().comConnected);
    EXPECT_EQ(f().Label2->caption(), QString::fromUtf8("通信失败"));

    reply(1, 0x5577, bytes("01 03 02 AA BB 86 97"));
    EXPECT_TRUE(f().comConnected);
    EXPECT_EQ(f().Label2->caption(), QString::fromUtf8("通信成功"));
}

TEST_F(Receive, WhileConnectedAKeepAliveOrUnknownReplyOnlyResetsTheWatchdog) {
    f().Label2->setCaption(kSentinel);
    for (uint16_t reg : {1, 0, 9, 0x7FFF}) {
        f().timeoutCount = 3;
        request(reg, 0x5577);
        const QStringList before = state();
        port().arrive(bytes("01 03 02 AA BB 86 97"));
        QStringList expected = before;
        expected[0] = QStringLiteral("timeoutCount 0");
        EXPECT_EQ(state(), expected) << "register " << reg;
    }
}

TEST_F(Receive, ReadsTheBytesThenDiscardsBothBuffers) {
    request(2, 10);
    port().log.clear();
    port().arrive(bytes("01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34"));
    EXPECT_EQ(port().log, QStringList({"discardInput", "discardOutput"}));
    EXPECT_EQ(port().bytesWaiting(), 0);
}

TEST_F(Receive, OtherPortEventsLeaveEverythingAndTheBytesWaiting) {
    request(2, 10);
    f().timeoutCount = 2;
    port().arrive(bytes("01 03 0A 04 D2 22 3C 00"));  // below the threshold: no event yet
    const QStringList before = state();
    for (int code : {kComEventBreak, kComEventFrame, kComEventOverrun, kComEventRxOver,
                     kComEventRxParity, kComEventTxFull, kComEventDeviceGone, 0, 1, 3}) {
        port().raise(code);
        EXPECT_EQ(port().bytesWaiting(), 8) << code;
    }
    EXPECT_EQ(state(), before);
}

TEST_F(Receive, AnEventWithNoBytesIsDropped) {
    request(2, 10);
    f().timeoutCount = 2;
    const QStringList before = state();
    port().raise(kComEvReceive);
    EXPECT_EQ(state(), before);
}

// ---- record count ----

TEST_F(Receive, CountOfZeroGivesPollingAndButtonsBack) {
    f().liveView = false;
    f().Command1_Click();
    ASSERT_FALSE(f().Command1->isEnabled());
    port().arrive(bytes("01 03 02 00 00 B8 44"));
    EXPECT_EQ(f().recordTotal, 0);
    EXPECT_FALSE(f().Readdat.isActive());
    EXPECT_TRUE(f().comunication.isActive());
    EXPECT_TRUE(f().Command1->isEnabled());
    EXPECT_TRUE(f().Command2->isEnabled());
}

TEST_F(Receive, CountOfFiveStartsTheDownload) {
    f().liveView = false;
    f().Command1_Click();
    port().arrive(bytes("01 03 02 00 05 78 47"));
    EXPECT_EQ(f().recordTotal, 5);
    EXPECT_EQ(f().recordIndex, 1);
    EXPECT_TRUE(f().Readdat.isActive());
    EXPECT_FALSE(f().comunication.isActive());
    EXPECT_FALSE(f().Command1->isEnabled());
    EXPECT_FALSE(f().Command2->isEnabled());
}

TEST_F(Receive, CountThatDoesNotFitIsNoRecordsNeverNegative) {
    const struct {
        const char* count;
        int16_t total;
        bool download;
    } cases[] = {{"7F FF", 32767, true},
                 {"80 00", 0, false},
                 {"80 01", 0, false},
                 {"FF FF", 0, false},
                 {"00 01", 1, true}};
    for (const auto& c : cases) {
        f().Readdat.stop();
        f().recordIndex = 0;
        f().liveView = false;
        f().Command1->setEnabled(true);
        f().Command1_Click();
        port().arrive(withCrc(bytes("01 03 02") + bytes(c.count)));
        EXPECT_EQ(f().recordTotal, c.total) << c.count;
        EXPECT_EQ(f().Readdat.isActive(), c.download) << c.count;
        EXPECT_EQ(f().recordIndex, c.download ? 1 : 0) << c.count;
        EXPECT_EQ(f().comunication.isActive(), !c.download) << c.count;
        EXPECT_EQ(f().Command1->isEnabled(), !c.download) << c.count;
        EXPECT_EQ(f().Command2->isEnabled(), !c.download) << c.count;
    }
}

// ---- stored records ----

TEST_F(Receive, RecordThreeIntoATwoRowTable) {
    ASSERT_EQ(f().grid->rows(), 2);
    reply(4, 3, bytes("01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34"));
    ASSERT_EQ(f().grid->rows(), 4);
    for (int row = 0; row < 4; ++row) {
        EXPECT_EQ(f().grid->rowHeight(row), 300) << row;
    }
    EXPECT_EQ(rowText(2), QStringLiteral("|||||||"));
    EXPECT_EQ(rowText(3), QString::fromUtf8("3|12.34KΩ|||2.00KΩ|3.00KΩ||"));
    EXPECT_EQ(rowText(0), QString::fromUtf8("NO.|R|ρ|ρLenght|Rc|Rp|I|V"));
}

struct RecordCase {
    const char* name;
    const char* frame;
    const char* row;  // UTF-8, cells joined by '|'
};

class StoredRecords : public Receive, public ::testing::WithParamInterface<RecordCase> {};

TEST_P(StoredRecords, RowHoldsOnlyTheCellsOfItsMode) {
    const RecordCase& c = GetParam();
    // Row 1 still holds a record of another download with every cell filled.
    for (int column = 0; column < 8; ++column) {
        f().grid->setTextMatrix(1, column, QStringLiteral("old"));
    }
    f().measureMode = 2;
    setIndicators(true);
    reply(4, 1, bytes(c.frame));
    EXPECT_EQ(f().grid->rows(), 2);
    EXPECT_EQ(rowText(1), QString::fromUtf8(c.row));
    EXPECT_EQ(f().measureMode, 2) << "stored records never change the mode";
    EXPECT_FALSE(f().NOISE->isHidden());
    EXPECT_FALSE(f().CLAMP->isHidden());
    EXPECT_EQ(f().r[0]->caption(), kSentinel);
}

INSTANTIATE_TEST_SUITE_P(
    EveryMode, StoredRecords,
    ::testing::Values(
        RecordCase{"EarthResistance", "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34",
                   "1|12.34KΩ|||2.00KΩ|3.00KΩ||"},
        RecordCase{"SoilResistivity", "01 03 0A 04 D2 31 00 00 C8 01 2C 00 32 83 2E",
                   "1||123.4Ωm|5.0m|2.00KΩ|3.00KΩ||"},
        RecordCase{"EarthVoltage", "01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87", "1|||||||50.0V"},
        RecordCase{"ClampCurrent", "01 03 0A 00 7B 72 30 00 00 00 00 00 00 84 BA",
                   "1||||||1.23mA|"},
        RecordCase{"UnknownUnit", "01 03 0A 04 D2 61 14 00 C8 01 2C 00 32 D2 13", "1|||||||"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Receive, LargestRecordNumberNeedsNoWrap) {
    reply(4, 32767, bytes("01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87"));
    ASSERT_EQ(f().grid->rows(), 32768);
    EXPECT_EQ(rowText(32767), QStringLiteral("32767|||||||50.0V"));
    EXPECT_EQ(f().grid->rowHeight(32767), 300);
    EXPECT_EQ(f().grid->rowHeight(16000), 300);
    reply(4, 1, bytes("01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87"));
    EXPECT_EQ(f().grid->rows(), 2) << "record 1 cuts the table back";
}

TEST_F(Receive, RecordNumberBelowOneLeavesTheTableAlone) {
    for (uint16_t number : {0, 0xFFFF, 0x8000}) {
        f().timeoutCount = 3;
        request(4, number);
        const QStringList before = state();
        port().arrive(bytes("01 03 0A 01 F4 51 04 00 00 00 00 00 00 C2 87"));
        QStringList expected = before;
        expected[0] = QStringLiteral("timeoutCount 0");
        EXPECT_EQ(state(), expected) << number;
    }
}

// ---- frames that must not be read ----

TEST_F(Receive, CheckedFrameShorterThanItsLayoutOnlyResetsTheWatchdog) {
    const struct {
        uint16_t reg;
        uint16_t count;
        bool connected;
        const char* payload;
    } cases[] = {
        {1, 0x5577, false, "01 03 02 AA"},
        {1, 0x5577, false, "01 03 02"},
        {2, 10, true, "01 03 0A 04 D2 22 3C 00 C8 01 2C 00"},
        {2, 10, true, "01 03 0A 04 D2 22"},
        {2, 10, true, ""},
        {3, 2, true, "01 03 02 00"},
        {3, 2, true, "05"},
        {4, 3, true, "01 03 0A 04 D2 22 3C 00 C8 01 2C 00"},
        {4, 3, true, "01"},
    };
    for (const auto& c : cases) {
        f().comConnected = c.connected;
        f().liveView = false;
        if (c.reg == 3) {
            f().Command1_Click();
        }
        f().timeoutCount = 3;
        request(c.reg, c.count);
        const QStringList before = state();
        port().arrive(withCrc(bytes(c.payload)));
        if (port().bytesWaiting() > 0) {
            port().raise(kComEvReceive);
        }
        QStringList expected = before;
        expected[0] = QStringLiteral("timeoutCount 0");
        EXPECT_EQ(state(), expected) << "register " << c.reg << " payload " << c.payload;
    }
}

struct CorruptCase {
    const char* name;
    uint16_t reg;
    uint16_t count;
    bool connected;
    const char* frame;
};

class CorruptedFrames : public Receive, public ::testing::WithParamInterface<CorruptCase> {};

TEST_P(CorruptedFrames, AnyOneByteChangedChangesNothing) {
    const CorruptCase& c = GetParam();
    const QByteArray good = bytes(c.frame);
    for (int position = 0; position < good.size(); ++position) {
        for (uint8_t flip : {0x01, 0x10, 0x80, 0xFF}) {
            f().comConnected = c.connected;
            f().liveView = false;
            f().timeoutCount = 3;
            request(c.reg, c.count);
            const QStringList before = state();
            QByteArray bad = good;
            bad[position] = static_cast<char>(bad[position] ^ flip);
            port().arrive(bad);
            ASSERT_EQ(state(), before) << "position " << position << " xor " << int(flip);
        }
    }
    // And the frame itself does change something, so the loop above can fail.
    request(c.reg, c.count);
    port().arrive(good);
    EXPECT_EQ(f().timeoutCount, 0);
}

INSTANTIATE_TEST_SUITE_P(
    EveryKind, CorruptedFrames,
    ::testing::Values(
        CorruptCase{"Handshake", 1, 0x5577, false, "01 03 02 AA BB 86 97"},
        CorruptCase{"LiveReading", 2, 10, true, "01 03 0A 04 D2 22 3C 00 C8 01 2C 00 32 3E 34"},
        CorruptCase{"RecordCount", 3, 2, true, "01 03 02 00 05 78 47"},
        CorruptCase{"StoredRecord", 4, 3, true, "01 03 0A 04 D2 31 00 00 C8 01 2C 00 32 83 2E"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace kelvora::testing
