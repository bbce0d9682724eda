#include <gtest/gtest.h>

#include <QPushButton>
#include <functional>

#include "link/modbus_frame.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

// A window with the meter's port open and the link up; the port log starts empty.
class Requests : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm();
        t->port->forceOpen(3);
        f().comConnected = true;
        t->port->log.clear();
        t->port->written.clear();
    }
    Form1& f() { return *t->form; }
    QStringList writes() const { return t->port->log.filter(QStringLiteral("write ")); }

    std::unique_ptr<TestForm> t;
};

struct WireCase {
    const char* name;
    std::function<void(Form1&)> act;
    const char* frame;
    int threshold;
    int16_t requestRegister;
    int16_t requestCount;
};

class RequestsOnTheWire : public Requests, public ::testing::WithParamInterface<WireCase> {};

TEST_P(RequestsOnTheWire, ThresholdFirstThenFrameThenDiscards) {
    const WireCase& c = GetParam();
    c.act(f());
    EXPECT_EQ(t->port->log,
              QStringList({QStringLiteral("threshold %1").arg(c.threshold),
                           QStringLiteral("write ") + c.frame, QStringLiteral("discardInput"),
                           QStringLiteral("discardOutput")}));
    EXPECT_EQ(f().requestRegister, c.requestRegister);
    EXPECT_EQ(f().requestCount, c.requestCount);
}

INSTANTIATE_TEST_SUITE_P(EveryRequest, RequestsOnTheWire,
                         ::testing::Values(WireCase{"KeepAliveOnRecordTab",
                                                    [](Form1& f) {
                                                        f.liveView = false;
                                                        f.comunication_Timer();
                                                    },
                                                    "01 03 00 01 55 77 6B 7C", 7, 1, 0x5577},
                                           WireCase{"LiveReadingOnLiveTab",
                                                    [](Form1& f) {
                                                        f.liveView = true;
                                                        f.comunication_Timer();
                                                    },
                                                    "01 03 00 02 00 0A 64 0D", 15, 2, 10},
                                           WireCase{"RecordCountOnRead",
                                                    [](Form1& f) {
                                                        f.liveView = false;
                                                        f.Command1_Click();
                                                    },
                                                    "01 03 00 03 00 02 34 0B", 7, 3, 2},
                                           WireCase{"Record1",
                                                    [](Form1& f) {
                                                        f.recordTotal = 5;
                                                        f.recordIndex = 1;
                                                        f.Readdat_Timer();
                                                    },
                                                    "01 03 00 04 00 01 C5 CB", 15, 4, 1},
                                           WireCase{"Record300",
                                                    [](Form1& f) {
                                                        f.recordTotal = 400;
                                                        f.recordIndex = 300;
                                                        f.Readdat_Timer();
                                                    },
                                                    "01 03 00 04 01 2C 04 46", 15, 4, 300},
                                           WireCase{"HandshakeFromSendRequest",
                                                    [](Form1& f) {
                                                        f.SendRequest(1, 3, 0, 1, 0x55, 0x77);
                                                    },
                                                    "01 03 00 01 55 77 6B 7C", 7, 1, 0x5577}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Requests, UnknownRegisterLeavesTheThresholdAlone) {
    t->port->setReceiveThreshold(15);
    t->port->log.clear();
    f().SendRequest(1, 3, 0, 9, 0, 1);
    EXPECT_EQ(t->port->receiveThreshold(), 15);
    EXPECT_EQ(t->port->log.filter("threshold").size(), 0);
    EXPECT_EQ(writes().size(), 1);
    EXPECT_EQ(f().requestRegister, 9);
}

TEST_F(Requests, ClosedPortWritesNothingAndChangesNothing) {
    t->port->setReceiveThreshold(15);
    f().requestRegister = 2;
    f().requestCount = 10;
    t->port->close();
    t->port->log.clear();
    const std::function<void(Form1&)> senders[] = {
        [](Form1& f) { f.SendRequest(1, 3, 0, 1, 0x55, 0x77); },
        [](Form1& f) { f.SendRequest(1, 3, 0, 3, 0, 2); },
        [](Form1& f) {
            f.liveView = false;
            f.comunication_Timer();
        },
        [](Form1& f) {
            f.liveView = true;
            f.comunication_Timer();
        },
        [](Form1& f) {
            f.recordTotal = 3;
            f.recordIndex = 2;
            f.Readdat_Timer();
        },
    };
    for (const auto& send : senders) {
        send(f());
        EXPECT_TRUE(t->port->log.isEmpty()) << t->port->log.join(" | ").toStdString();
        EXPECT_EQ(f().requestRegister, 2);
        EXPECT_EQ(f().requestCount, 10);
        EXPECT_EQ(t->port->receiveThreshold(), 15);
    }
}

TEST_F(Requests, PollSendsNothingWhileNotConnected) {
    f().comConnected = false;
    for (bool live : {true, false}) {
        f().liveView = live;
        f().comunication_Timer();
    }
    EXPECT_TRUE(t->port->log.isEmpty());
}

TEST_F(Requests, ReadActsOnlyOnTheRecordTabWithTheLinkUp) {
    const struct {
        bool liveView;
        bool connected;
    } idle[] = {{true, true}, {true, false}, {false, false}};
    for (const auto& c : idle) {
        f().liveView = c.liveView;
        f().comConnected = c.connected;
        f().Command1_Click();
        EXPECT_TRUE(t->port->log.isEmpty());
        EXPECT_TRUE(f().comunication.isActive());
        EXPECT_TRUE(f().Command1->isEnabled());
        EXPECT_TRUE(f().Command2->isEnabled());
    }

    f().liveView = false;
    f().comConnected = true;
    f().Command1_Click();
    EXPECT_FALSE(f().comunication.isActive());
    EXPECT_FALSE(f().Command1->isEnabled());
    EXPECT_FALSE(f().Command2->isEnabled());
    EXPECT_EQ(writes(), QStringList({"write 01 03 00 03 00 02 34 0B"}));
}

// The download as the Read command and the count reply start it, then one Readdat tick at a
// time. The frames are built independently of the program, from the reply helper.
class Download : public Requests, public ::testing::WithParamInterface<int> {};

TEST_P(Download, RequestsEveryRecordThenGivesPollingAndButtonsBack) {
    const int total = GetParam();
    f().liveView = false;
    f().Command1_Click();
    QByteArray count = bytes("01 03 02");
    count.append(static_cast<char>(total >> 8)).append(static_cast<char>(total & 0xFF));
    t->port->arrive(withCrc(count));
    ASSERT_EQ(f().recordTotal, total);
    t->port->log.clear();

    if (total == 0) {
        EXPECT_FALSE(f().Readdat.isActive());
        EXPECT_EQ(f().recordIndex, 0);
        EXPECT_TRUE(f().comunication.isActive());
        EXPECT_TRUE(f().Command1->isEnabled());
        EXPECT_TRUE(f().Command2->isEnabled());
        return;
    }
    EXPECT_EQ(f().recordIndex, 1);
    EXPECT_TRUE(f().Readdat.isActive());
    for (int record = 1; record <= total; ++record) {
        ASSERT_TRUE(f().Readdat.isActive()) << "before tick " << record;
        EXPECT_FALSE(f().comunication.isActive());
        EXPECT_FALSE(f().Command1->isEnabled());
        EXPECT_FALSE(f().Command2->isEnabled());
        f().Readdat_Timer();
        QByteArray request = bytes("01 03 00 04");
        request.append(static_cast<char>(record >> 8)).append(static_cast<char>(record & 0xFF));
        EXPECT_EQ(writes().last(), "write " + hex(withCrc(request)));
        EXPECT_EQ(f().recordIndex, record < total ? record + 1 : 0);
    }
    EXPECT_EQ(writes().size(), total);
    EXPECT_FALSE(f().Readdat.isActive());
    EXPECT_TRUE(f().comunication.isActive());
    EXPECT_TRUE(f().Command1->isEnabled());
    EXPECT_TRUE(f().Command2->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(RecordTotals, Download, ::testing::Values(3, 1, 0),
                         [](const auto& info) { return "Total" + std::to_string(info.param); });

}  // namespace
}  // namespace kelvora::testing
