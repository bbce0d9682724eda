#include <gtest/gtest.h>

#include <QPushButton>

#include "app/twip_label.h"
#include "link/modbus_frame.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

const QString kHandshakeWrite = QStringLiteral("write 01 03 00 01 55 77 6B 7C");
const QByteArray kHandshakeReply = bytes("01 03 02 AA BB 86 97");

class PortSearch : public ::testing::Test {
protected:
    void SetUp() override { t = makeTestForm(); }
    Form1& f() { return *t->form; }
    FakeSerialPort& port() { return *t->port; }
    QString label1() const { return t->form->Label1->caption(); }
    QString label2() const { return t->form->Label2->caption(); }

    std::unique_ptr<TestForm> t;
};

TEST_F(PortSearch, FindsTheMeterBehindTwoInvalidPorts) {
    port().openResults = {{3, OpenResult::Ok}};
    const QString expected[] = {QString::fromUtf8("COM1无效"), QString::fromUtf8("COM2无效")};
    for (const QString& text : expected) {
        f().Findcom_Timer();
        EXPECT_EQ(label1(), text);
        EXPECT_FALSE(port().log.contains(kHandshakeWrite));
    }
    f().Findcom_Timer();
    EXPECT_EQ(label1(), QString::fromUtf8("COM3已打开"));
    EXPECT_EQ(port().log.filter("write"), QStringList{kHandshakeWrite});
    EXPECT_EQ(f().comNumber, 4);
    EXPECT_EQ(label2(), QString::fromUtf8("通信失败"));

    port().arrive(kHandshakeReply);
    EXPECT_EQ(label2(), QString::fromUtf8("通信成功"));
    EXPECT_TRUE(f().comConnected);

    // Pretend a download had taken the poll and the buttons away; connecting gives them back.
    f().comunication.stop();
    f().Command1->setEnabled(false);
    f().Command2->setEnabled(false);
    port().log.clear();
    f().Findcom_Timer();
    EXPECT_FALSE(f().Findcom.isActive());
    EXPECT_TRUE(f().comunication.isActive());
    EXPECT_TRUE(f().Command1->isEnabled());
    EXPECT_TRUE(f().Command2->isEnabled());
    EXPECT_TRUE(port().log.isEmpty()) << "the meter's port stays open";
    EXPECT_TRUE(port().isOpen());
    EXPECT_EQ(port().portNumber(), 3);
}

TEST_F(PortSearch, WrapsAfterPortSixteen) {
    port().openResults = {{12, OpenResult::Ok}};
    for (int expected = 1; expected <= 16; ++expected) {
        ASSERT_EQ(f().comNumber, expected);
        f().Findcom_Timer();
        const char* outcome = expected == 12 ? "已打开" : "无效";
        EXPECT_EQ(label1(), QStringLiteral("COM%1").arg(expected) + QString::fromUtf8(outcome));
    }
    EXPECT_EQ(f().comNumber, 1);
    f().Findcom_Timer();
    EXPECT_EQ(label1(), QString::fromUtf8("COM1无效"));
    EXPECT_EQ(f().comNumber, 2);
}

struct OpenCase {
    const char* name;
    OpenResult result;
    const char* label;  // UTF-8
    bool handshakeSent;
};

class OpenOutcomes : public PortSearch, public ::testing::WithParamInterface<OpenCase> {};

TEST_P(OpenOutcomes, ReportedInLabel1AndOnlyAnOpenPortIsWritten) {
    const OpenCase& c = GetParam();
    port().openResults = {{5, c.result}};
    f().comNumber = 5;
    f().Findcom_Timer();
    EXPECT_EQ(label1(), QString::fromUtf8(c.label));
    EXPECT_EQ(port().log.contains(kHandshakeWrite), c.handshakeSent);
    EXPECT_EQ(port().written.size(), c.handshakeSent ? 1 : 0);
    EXPECT_EQ(f().requestRegister, c.handshakeSent ? 1 : 0);
    EXPECT_EQ(f().comNumber, 6);
}

INSTANTIATE_TEST_SUITE_P(
    EveryOutcome, OpenOutcomes,
    ::testing::Values(OpenCase{"Opened", OpenResult::Ok, "COM5已打开", true},
                      OpenCase{"InUse", OpenResult::InUse, "COM5被占用", false},
                      OpenCase{"Invalid", OpenResult::InvalidPort, "COM5无效", false},
                      OpenCase{"OtherFailure", OpenResult::OtherFailure, "COM5打开失败", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PortSearch, ComopenClosesTheOpenPortFirstAndWritesNumbersPlainly) {
    port().openResults = {{12, OpenResult::Ok}, {3, OpenResult::Ok}};
    f().comopen(3);
    port().log.clear();
    f().comopen(12);
    EXPECT_EQ(port().log, QStringList({"close", "open 12"}));
    EXPECT_EQ(label1(), QString::fromUtf8("COM12已打开"));
    port().log.clear();
    f().comopen(7);  // a closed port is not closed again
    port().log.clear();
    f().comopen(3);
    EXPECT_EQ(port().log, QStringList({"open 3"}));
}

TEST_F(PortSearch, LateHandshakeIsNeverAccepted) {
    port().openResults = {{1, OpenResult::Ok}, {2, OpenResult::Ok}};
    f().Findcom_Timer();  // port 1, handshake sent
    f().Findcom_Timer();  // closes port 1 for port 2 before the meter answered
    EXPECT_EQ(port().portNumber(), 2);
    f().COMtimout_Timer();
    port().close();
    port().arrive(kHandshakeReply);  // the late answer has nowhere to go
    EXPECT_FALSE(f().comConnected);
    EXPECT_EQ(label2(), QString::fromUtf8("通信失败"));
}

TEST_F(PortSearch, OtherHandshakeContentsResetTheWatchdogButDoNotConnect) {
    port().openResults = {{1, OpenResult::Ok}};
    f().Findcom_Timer();
    f().timeoutCount = 3;
    port().arrive(withCrc(bytes("01 03 02 AA BC")));
    EXPECT_EQ(f().timeoutCount, 0);
    EXPECT_FALSE(f().comConnected);
    EXPECT_TRUE(f().Findcom.isActive());
}

class Watchdog : public PortSearch {
protected:
    void SetUp() override {
        PortSearch::SetUp();
        port().openResults = {{3, OpenResult::Ok}, {4, OpenResult::Ok}};
        f().comNumber = 3;
        f().Findcom_Timer();
        port().arrive(kHandshakeReply);
        f().Findcom_Timer();
        ASSERT_TRUE(f().comConnected);
        ASSERT_FALSE(f().Findcom.isActive());
    }
};

TEST_F(Watchdog, FiresOnTheFifthSilentTickAndSearchesOnAfterTheMetersPort) {
    for (int tick = 1; tick <= 4; ++tick) {
        f().COMtimout_Timer();
        EXPECT_EQ(f().timeoutCount, tick);
        EXPECT_TRUE(f().comConnected) << "tick " << tick;
        EXPECT_EQ(label2(), QString::fromUtf8("通信成功"));
    }
    f().COMtimout_Timer();
    EXPECT_EQ(f().timeoutCount, 0);
    EXPECT_FALSE(f().comConnected);
    EXPECT_EQ(label2(), QString::fromUtf8("通信失败"));
    EXPECT_TRUE(f().Findcom.isActive());
    EXPECT_TRUE(f().comunication.isActive()) << "link loss leaves the poll alone";
    EXPECT_EQ(label1(), QString::fromUtf8("COM3已打开"));

    port().log.clear();
    f().Findcom_Timer();
    EXPECT_EQ(port().log.mid(0, 2), QStringList({"close", "open 4"}));
    EXPECT_EQ(label1(), QString::fromUtf8("COM4已打开"));
}

TEST_F(Watchdog, EveryCheckedReplyKeepsItQuietAndBadFramesDoNot) {
    f().liveView = false;
    for (int second = 0; second < 20; ++second) {
        f().comunication_Timer();  // keep-alive handshake
        port().arrive(kHandshakeReply);
        f().COMtimout_Timer();
        ASSERT_TRUE(f().comConnected) << "second " << second;
    }
    EXPECT_EQ(f().timeoutCount, 1);
    for (int second = 0; second < 3; ++second) {
        f().comunication_Timer();
        port().arrive(bytes("01 03 02 AA BB 97 86"));  // CRC bytes swapped
        f().COMtimout_Timer();
    }
    EXPECT_EQ(f().timeoutCount, 4);
    EXPECT_TRUE(f().comConnected);
    f().COMtimout_Timer();
    EXPECT_FALSE(f().comConnected);
}

TEST_F(Watchdog, WithoutAMeterFiresEveryFifthTick) {
    port().close();
    f().timeoutCount = 0;
    QList<int> firedOn;
    for (int tick = 1; tick <= 25; ++tick) {
        f().Findcom.stop();
        f().COMtimout_Timer();
        if (f().Findcom.isActive()) {
            firedOn << tick;
            EXPECT_EQ(label2(), QString::fromUtf8("通信失败"));
        }
    }
    EXPECT_EQ(firedOn, QList<int>({5, 10, 15, 20, 25}));
}

}  // namespace
}  // namespace kelvora::testing
