#include <gtest/gtest.h>

#include <QPushButton>
#include <QTabBar>

#include "app/twip_label.h"
#include "platform/pty_meter.h"
#include "platform/record_grid.h"
#include "support/fake_serial_port.h"
#include "support/pty_form.h"

// The real window and serial adapter; the simulated meter is on port 3, the other ports absent.
namespace kelvora {
namespace {

using testing::bytes;
using testing::FakeMessageBoxes;
using testing::waitUntil;

constexpr int kFindMs = 12000;
const MeterReading kEarth{0x04D2, 0x22, 0x3C, 0x00C8, 0x012C, 0x0032};  // 12.34KΩ, all flags
const MeterReading kVoltage{0x01F4, 0x51, 0x04, 0, 0, 0};               // 50.0V, NOISE
const QByteArray kHandshake = bytes("01 03 00 01 55 77 6B 7C");
const QByteArray kLive = bytes("01 03 00 02 00 0A 64 0D");

class LinkEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        QString why;
        ASSERT_TRUE(meter.start(&why)) << why.toStdString();
        meter.setLiveReading(kEarth);
    }
    void open(bool waitForConnection = true) {
        PortMap ports;
        ports.assign(3, meter.devicePath());
        form = testing::makePtyForm(ports);
        ASSERT_TRUE(!waitForConnection || waitUntil([&] { return connected(); }, kFindMs));
    }
    bool connected() const { return form->comConnected && !form->Findcom.isActive(); }
    void showRecordTab() { form->TabStrip1->setCurrentIndex(1); }
    // Reads the meter's records and waits for the download to end.
    bool download() {
        form->Command1_Click();
        return form->download.running() &&
               waitUntil([&] { return !form->download.running(); }, 30000);
    }
    QList<FakeMessageBoxes::Shown>& boxes() {
        return static_cast<FakeMessageBoxes*>(form->messageBoxes.get())->shown;
    }
    // Record k reads "k.00Ω", so a record in another's row shows at once.
    static QList<MeterReading> numberedRecords(int count) {
        QList<MeterReading> records;
        for (int k = 1; k <= count; ++k) {
            records.append({uint16_t(k * 100), 0x12, 0, 0x00C8, 0x012C, 0});
        }
        return records;
    }
    // Rows 1..count hold their own records, except the missing ones, which are empty.
    void expectRows(int count, int firstMissing = 0, int lastMissing = -1) {
        for (int k = 1; k <= count; ++k) {
            const bool missing = k >= firstMissing && k <= lastMissing;
            EXPECT_EQ(form->grid->textMatrix(k, 1),
                      missing ? QString() : QStringLiteral("%1.00Ω").arg(k))
                << "row " << k;
        }
    }
    int sent(const QByteArray& request) { return meter.requests().count(request); }

    PtyMeter meter;
    std::unique_ptr<Form1> form;
};

TEST_F(LinkEndToEnd, FindsTheMeterOnPortThreeLosesItOnHangUpAndFindsItAgain) {
    open();
    EXPECT_EQ(form->Label1->caption(), QStringLiteral("COM3已打开"));
    meter.hangUp();
    ASSERT_TRUE(waitUntil([&] { return !form->comConnected; }, 8000));
    EXPECT_EQ(form->Label2->caption(), QStringLiteral("通信失败"));
    ASSERT_TRUE(meter.comeBack());
    ASSERT_TRUE(waitUntil([&] { return connected(); }, kFindMs));
    EXPECT_EQ(form->Label2->caption(), QStringLiteral("通信成功"));
}

TEST_F(LinkEndToEnd, LiveReadingsThenTheRecordTabKeepsAliveAndReadDownloadsTheRecords) {
    meter.setStoredRecords({kEarth, kEarth, kVoltage, kEarth, {10000, 0x22, 0, 0x64, 0x64, 0}});
    open();
    ASSERT_TRUE(waitUntil([&] { return form->measureMode == 1; }));
    EXPECT_EQ(form->r[0]->caption(), QStringLiteral("12.34KΩ"));
    meter.setLiveReading(kVoltage);
    ASSERT_TRUE(waitUntil([&] { return form->measureMode == 3; }));
    EXPECT_EQ(form->v[0]->caption(), QStringLiteral("50.0V"));
    EXPECT_FALSE(form->NOISE->isHidden());
    EXPECT_TRUE(form->CLAMP->isHidden());
    form->TabStrip1->setCurrentIndex(1);
    form->TabStrip1_Click();
    const qsizetype before = meter.requests().size();
    ASSERT_TRUE(waitUntil([&] { return meter.requests().size() >= before + 2; }));
    for (const QByteArray& request : meter.requests().mid(before)) {
        EXPECT_EQ(request, kHandshake);
    }
    form->Command1_Click();
    EXPECT_FALSE(form->Command1->isEnabled());
    ASSERT_TRUE(waitUntil([&] {
        return form->recordIndex == 0 && form->comunication.isActive() &&
               !form->grid->textMatrix(5, 0).isEmpty();
    }));
    EXPECT_EQ(form->grid->rows(), 6);
    EXPECT_EQ(form->grid->textMatrix(1, 1), QStringLiteral("12.34KΩ"));
    EXPECT_TRUE(form->grid->textMatrix(5, 1).startsWith(QStringLiteral("OL")));
    EXPECT_TRUE(form->Command1->isEnabled());
}

TEST_F(LinkEndToEnd, AMeterThatAnswersTheHandshakeLateIsNeverFound) {
    meter.setFaults({false, 400, false, 0, 0, false, false, 1});  // 400 ms late, handshake only
    open(false);
    ASSERT_TRUE(waitUntil([&] { return sent(kHandshake) >= 2; }, kFindMs));  // tried twice
    testing::processEventsFor(500);  // the second late reply arrives too
    EXPECT_FALSE(form->comConnected);
}

TEST_F(LinkEndToEnd, GarbageAndCorruptedFramesChangeNothing) {
    open();
    ASSERT_TRUE(waitUntil([&] { return form->measureMode == 1; }));
    const QString shown = form->r[0]->caption();
    for (const bool garbage : {true, false}) {
        SCOPED_TRACE(garbage ? "garbage" : "corrupted CRC");
        meter.setFaults({false, 0, !garbage, 0, 0, false, garbage, 2});  // live requests only
        meter.setLiveReading(kVoltage);  // no reply below may be taken for this
        const int before = sent(kLive);
        ASSERT_TRUE(waitUntil([&] { return sent(kLive) >= before + 2; }));
        testing::processEventsFor(200);  // the reply to the last request arrives
        EXPECT_EQ(form->measureMode, 1);
        EXPECT_EQ(form->r[0]->caption(), shown);
        EXPECT_GE(form->timeoutCount, 1);  // no bad frame resets the watchdog
    }
}

TEST_F(LinkEndToEnd, FaultyRecordRepliesLandInTheirOwnRowsOrAreReportedMissing) {
    meter.setStoredRecords(numberedRecords(6));
    open();
    showRecordTab();
    const struct {
        const char* name;
        MeterFaults faults;
        int times;
        bool missing;
    } cases[] = {
        {"dropped once", {true}, 1, false},
        {"dropped always", {true}, -1, true},
        {"250 ms late", {false, 250}, -1, false},
        {"corrupted", {false, 0, true}, -1, true},
        {"cut short", {false, 0, false, 0, 0, false, false, 0, 10}, -1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        boxes().clear();
        meter.withSimulator([&](MeterSimulator& m) { m.setRecordFaults(3, c.faults, c.times); });
        ASSERT_TRUE(download());
        expectRows(6, 3, c.missing ? 3 : 0);
        ASSERT_EQ(boxes().size(), c.missing ? 1 : 0);
        if (c.missing) {
            EXPECT_EQ(boxes()[0].text, QStringLiteral("以下记录未能读取：3\n共 1 条。"));
        }
        EXPECT_TRUE(form->comunication.isActive() && form->Command1->isEnabled() &&
                    form->Command2->isEnabled());
        meter.withSimulator([](MeterSimulator& m) { m.setRecordFaults(3, {}); });
    }
}

TEST_F(LinkEndToEnd, AMeterUnpluggedHalfWayKeepsTheRowsReadAndReportsTheRest) {
    meter.setStoredRecords(numberedRecords(25));
    open();
    showRecordTab();
    form->Command1_Click();
    ASSERT_TRUE(waitUntil([&] { return form->download.settled() >= 5; }));
    meter.hangUp();
    ASSERT_TRUE(waitUntil([&] { return !form->download.running(); }, 10000));
    ASSERT_FALSE(form->download.missing().isEmpty());
    const int read = form->download.missing().first() - 1;
    ASSERT_GE(read, 5);
    ASSERT_LT(read, 25);
    expectRows(read);
    ASSERT_EQ(boxes().size(), 1);
    EXPECT_EQ(boxes()[0].text,
              QStringLiteral("以下记录未能读取：%1-25\n共 %2 条。").arg(read + 1).arg(25 - read));
    EXPECT_TRUE(form->comunication.isActive() && form->Command1->isEnabled());
}

// The search's next tick and tab clicks used to restart the keep-alive in mid-download.
TEST_F(LinkEndToEnd, ReadRightAfterARelinkAndATabClickMidwayLoseNothing) {
    meter.setStoredRecords(numberedRecords(12));
    open();
    showRecordTab();
    meter.hangUp();
    ASSERT_TRUE(waitUntil([&] { return !form->comConnected; }, 8000));
    ASSERT_TRUE(meter.comeBack());
    ASSERT_TRUE(waitUntil([&] { return form->comConnected; }, kFindMs));
    ASSERT_TRUE(form->Findcom.isActive());  // its next tick has yet to come
    const qsizetype countAt = meter.requests().size();
    form->Command1_Click();
    ASSERT_TRUE(waitUntil([&] { return form->download.settled() >= 4; }));
    form->TabStrip1->setCurrentIndex(0);
    form->TabStrip1->setCurrentIndex(1);
    ASSERT_TRUE(waitUntil([&] { return !form->download.running(); }, 10000));
    expectRows(12);
    EXPECT_TRUE(boxes().isEmpty());
    for (const QByteArray& request : meter.requests().mid(countAt)) {
        EXPECT_TRUE(request[3] == 3 || request[3] == 4) << testing::hex(request).toStdString();
    }
}

}  // namespace
}  // namespace kelvora
