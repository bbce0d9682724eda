#include <gtest/gtest.h>

#include <QPushButton>
#include <QTabBar>

#include "app/twip_label.h"
#include "link/demo_meter.h"
#include "link/meter_simulator.h"
#include "platform/pty_meter.h"
#include "platform/record_grid.h"
#include "support/fake_serial_port.h"
#include "support/pty_form.h"

// The whole link over a pseudo-terminal: the real window logic, the real serial adapter and the
// simulated meter on port 3, with ports 1, 2 and 4 to 16 absent.
namespace kelvora {
namespace {

using testing::bytes;
using testing::hex;
using testing::processEventsFor;
using testing::waitUntil;

constexpr int kMeterPort = 3;
// A full search cycle is 16 ticks of 300 ms; every wait below leaves room for two.
constexpr int kFindDeadlineMs = 12000;

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

const MeterReading kEarth = reading(0x04D2, 0x22, 0x3C, 0x00C8, 0x012C, 0x0032);  // 12.34KΩ
const MeterReading kVoltage = reading(0x01F4, 0x51, 0x04, 0, 0, 0);               // 50.0V

int countOf(const QList<QByteArray>& requests, const QByteArray& request) {
    return static_cast<int>(requests.count(request));
}

const QByteArray kHandshake = bytes("01 03 00 01 55 77 6B 7C");
const QByteArray kLive = bytes("01 03 00 02 00 0A 64 0D");

class LinkEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(meter.start(&why)) << why.toStdString();
        meter.setLiveReading(kEarth);
    }

    void openWindow() {
        PortMap ports;
        ports.assign(kMeterPort, meter.devicePath());
        window = testing::makePtyForm(ports);
    }

    Form1& form() { return *window->form; }

    bool connected() { return form().comConnected && !form().Findcom.isActive(); }

    void connect() {
        openWindow();
        ASSERT_TRUE(waitUntil([&] { return connected(); }, kFindDeadlineMs));
    }

    void showRecordTab() {
        form().TabStrip1->setCurrentIndex(1);
        form().TabStrip1_Click();
    }

    PtyMeter meter;
    std::unique_ptr<testing::PtyForm> window;
};

TEST_F(LinkEndToEnd, FindsTheMeterOnPortThreeAndStartsPolling) {
    openWindow();
    QStringList portStates;
    ASSERT_TRUE(waitUntil(
        [&] {
            const QString state = form().Label1->caption();
            if (portStates.isEmpty() || portStates.constLast() != state) {
                portStates << state;
            }
            return connected();
        },
        kFindDeadlineMs));
    EXPECT_TRUE(portStates.contains(QStringLiteral("COM1无效")));
    EXPECT_TRUE(portStates.contains(QStringLiteral("COM2无效")));
    EXPECT_EQ(form().Label1->caption(), QStringLiteral("COM3已打开"));
    EXPECT_EQ(form().Label2->caption(), QStringLiteral("通信成功"));
    EXPECT_TRUE(form().comunication.isActive());
    EXPECT_TRUE(form().Command1->isEnabled());
    EXPECT_TRUE(form().Command2->isEnabled());
    EXPECT_GE(countOf(meter.requests(), kHandshake), 1);
}

TEST_F(LinkEndToEnd, LiveReadingsFillTheLabelsAndFollowTheMode) {
    connect();
    ASSERT_TRUE(waitUntil([&] { return form().measureMode == 1; }));
    EXPECT_EQ(form().r[0]->caption(), QStringLiteral("12.34KΩ"));
    EXPECT_EQ(form().rc[0]->caption(), QStringLiteral("2.00KΩ"));
    EXPECT_EQ(form().rp[0]->caption(), QStringLiteral("3.00KΩ"));
    EXPECT_FALSE(form().NOISE->isHidden());
    EXPECT_FALSE(form().CLAMP->isHidden());

    meter.setLiveReading(kVoltage);
    ASSERT_TRUE(waitUntil([&] { return form().measureMode == 3; }));
    EXPECT_EQ(form().v[0]->caption(), QStringLiteral("50.0V"));
    EXPECT_FALSE(form().NOISE->isHidden());
    EXPECT_TRUE(form().HVOLT->isHidden());
    EXPECT_TRUE(form().LOWBAT->isHidden());
    EXPECT_TRUE(form().CLAMP->isHidden());
}

TEST_F(LinkEndToEnd, TheRecordTabSendsTheKeepAliveInsteadOfLiveRequests) {
    connect();
    ASSERT_TRUE(waitUntil([&] { return countOf(meter.requests(), kLive) >= 1; }));
    showRecordTab();
    const qsizetype before = meter.requests().size();
    ASSERT_TRUE(waitUntil([&] { return meter.requests().size() >= before + 2; }));
    const QList<QByteArray> after = meter.requests().mid(before);
    for (const QByteArray& request : after) {
        EXPECT_EQ(hex(request), hex(kHandshake));
    }
    EXPECT_TRUE(form().comConnected);
    EXPECT_EQ(form().Label2->caption(), QStringLiteral("通信成功"));
}

TEST_F(LinkEndToEnd, ReadDownloadsEveryStoredRecordAndGivesPollingBack) {
    const QList<MeterReading> records = {kEarth, reading(0x04D2, 0x31, 0, 0x00C8, 0x012C, 0x0032),
                                         kVoltage, reading(0x0141, 0x71, 0, 0, 0, 0),
                                         reading(10000, 0x22, 0, 0x0064, 0x0064, 0)};
    meter.setStoredRecords(records);
    connect();
    showRecordTab();
    form().Command1_Click();
    EXPECT_FALSE(form().Command1->isEnabled());
    EXPECT_FALSE(form().Command2->isEnabled());
    ASSERT_TRUE(waitUntil([&] {
        return form().grid->rows() == 6 && form().recordIndex == 0 &&
               form().comunication.isActive() && !form().grid->textMatrix(5, 0).isEmpty();
    }));
    EXPECT_EQ(form().recordTotal, 5);
    for (int k = 1; k <= 5; ++k) {
        EXPECT_EQ(form().grid->textMatrix(k, 0), QString::number(k)) << k;
    }
    EXPECT_EQ(form().grid->textMatrix(1, 1), QStringLiteral("12.34KΩ"));
    EXPECT_EQ(form().grid->textMatrix(2, 2), QStringLiteral("123.4Ωm"));
    EXPECT_EQ(form().grid->textMatrix(2, 3), QStringLiteral("5.0m"));
    EXPECT_EQ(form().grid->textMatrix(3, 7), QStringLiteral("50.0V"));
    EXPECT_EQ(form().grid->textMatrix(4, 6), QStringLiteral("32.1mA"));
    EXPECT_TRUE(form().grid->textMatrix(5, 1).startsWith(QStringLiteral("OL")));
    EXPECT_TRUE(form().Command1->isEnabled());
    EXPECT_TRUE(form().Command2->isEnabled());
    EXPECT_FALSE(form().Readdat.isActive());

    // The meter was asked for the count, then for records 1 to 5 in order.
    QList<int> asked;
    for (const QByteArray& request : meter.requests()) {
        if (request.at(3) == 4) {
            asked << static_cast<uint8_t>(request.at(5));
        }
    }
    EXPECT_EQ(asked, (QList<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(countOf(meter.requests(), bytes("01 03 00 03 00 02 34 0B")), 1);
}

TEST_F(LinkEndToEnd, AMeterThatHangsUpIsLostAndFoundAgainWhenItReturns) {
    connect();
    meter.hangUp();
    ASSERT_TRUE(waitUntil([&] { return !form().comConnected; }, 8000));
    EXPECT_EQ(form().Label2->caption(), QStringLiteral("通信失败"));
    EXPECT_TRUE(form().Findcom.isActive());
    // While it is away, port 3 is a number without a device.
    ASSERT_TRUE(waitUntil([&] { return form().Label1->caption() == QStringLiteral("COM3无效"); },
                          kFindDeadlineMs));

    ASSERT_TRUE(meter.comeBack());
    ASSERT_TRUE(waitUntil([&] { return connected(); }, kFindDeadlineMs));
    EXPECT_EQ(form().Label2->caption(), QStringLiteral("通信成功"));
    EXPECT_EQ(form().Label1->caption(), QStringLiteral("COM3已打开"));
}

TEST_F(LinkEndToEnd, AMeterThatAnswersTheHandshakeLateIsNeverFound) {
    MeterFaults late;
    late.replyDelayMs = 400;
    late.onlyRegister = 1;
    meter.setFaults(late);
    openWindow();
    // Port 3 is tried once, then again a whole cycle later.
    ASSERT_TRUE(
        waitUntil([&] { return countOf(meter.requests(), kHandshake) >= 2; }, kFindDeadlineMs));
    processEventsFor(500);  // the second late reply arrives too
    EXPECT_FALSE(form().comConnected);
    EXPECT_EQ(form().Label2->caption(), QStringLiteral("通信失败"));
}

TEST_F(LinkEndToEnd, TheDemoMeterShowsALiveReadingAndItsTwentyFiveRecords) {
    meter.withSimulator([](MeterSimulator& simulated) { demo::configure(simulated); });
    connect();
    ASSERT_TRUE(waitUntil([&] { return countOf(meter.requests(), kLive) >= 1; }));
    showRecordTab();
    form().Command1_Click();
    ASSERT_TRUE(waitUntil([&] {
        return form().grid->rows() == demo::kStoredRecordCount + 1 && form().recordIndex == 0 &&
               form().Command1->isEnabled() &&
               !form().grid->textMatrix(demo::kStoredRecordCount, 0).isEmpty();
    }));
    // Every value column got something from the mixed records.
    for (int column = 1; column <= 7; ++column) {
        bool filled = false;
        for (int row = 1; row <= demo::kStoredRecordCount; ++row) {
            filled = filled || !form().grid->textMatrix(row, column).isEmpty();
        }
        EXPECT_TRUE(filled) << column;
    }
}

class BadRepliesEndToEnd : public LinkEndToEnd, public ::testing::WithParamInterface<bool> {};

TEST_P(BadRepliesEndToEnd, ChangeNothing) {
    const bool garbage = GetParam();
    connect();
    ASSERT_TRUE(waitUntil([&] { return form().measureMode == 1; }));
    const QString shown = form().r[0]->caption();

    // The meter now measures voltage, but none of its replies may be taken for a reading.
    MeterFaults faults;
    faults.garbage = garbage;
    faults.corruptCrc = !garbage;
    faults.onlyRegister = 2;
    meter.setFaults(faults);
    meter.setLiveReading(kVoltage);
    const int liveBefore = countOf(meter.requests(), kLive);
    ASSERT_TRUE(waitUntil([&] { return countOf(meter.requests(), kLive) >= liveBefore + 2; }));
    processEventsFor(200);  // the reply to the last request arrives
    EXPECT_EQ(form().measureMode, 1);
    EXPECT_EQ(form().r[0]->caption(), shown);
    EXPECT_EQ(form().v[0]->caption(), QStringLiteral("0.0 V"));
    // No bad frame resets the watchdog.
    EXPECT_GE(form().timeoutCount, 1);
}

INSTANTIATE_TEST_SUITE_P(LinkEndToEnd, BadRepliesEndToEnd, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Garbage" : "CorruptedCrc");
                         });

}  // namespace
}  // namespace kelvora
