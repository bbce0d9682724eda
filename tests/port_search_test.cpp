#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFontMetrics>
#include <QPushButton>

#include "app/twip_label.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

class PortSearch : public ::testing::Test {
protected:
    Form1& f() { return *t->form; }
    FakeSerialPort& port() { return *t->port; }
    QString label1() const { return t->form->Label1->caption(); }
    QString label2() const { return t->form->Label2->caption(); }
    std::unique_ptr<TestForm> t = makeTestForm();
};

TEST_F(PortSearch, WrapsFindsTheMeterThenTheWatchdogSearchesOnAfterItsPort) {
    port().openResults = {{3, OpenResult::Ok}, {4, OpenResult::Ok}};
    f().comNumber = 16;
    for (const char* text : {"COM16无效", "COM1无效", "COM2无效", "COM3已打开"}) {
        f().Findcom_Timer();
        EXPECT_EQ(label1(), QString::fromUtf8(text));
    }
    EXPECT_EQ(port().log.filter("write"), QStringList{"write 01 03 00 01 55 77 6B 7C"});
    EXPECT_EQ(label2(), QString::fromUtf8("通信失败"));
    port().arrive(bytes("01 03 02 AA BB 86 97"));
    EXPECT_EQ(label2(), QString::fromUtf8("通信成功"));

    f().comunication.stop();  // as a download leaves them
    f().Command1->setEnabled(false);
    f().Command2->setEnabled(false);
    f().Findcom_Timer();
    EXPECT_FALSE(f().Findcom.isActive());
    EXPECT_TRUE(f().comunication.isActive() && f().Command1->isEnabled() &&
                f().Command2->isEnabled());

    for (int tick = 1; tick <= 4; ++tick) {
        f().COMtimout_Timer();
        ASSERT_TRUE(f().comConnected) << "tick " << tick;
    }
    f().COMtimout_Timer();
    EXPECT_FALSE(f().comConnected);
    EXPECT_EQ(label2(), QString::fromUtf8("通信失败"));
    EXPECT_TRUE(f().Findcom.isActive());
    port().log.clear();
    f().Findcom_Timer();
    EXPECT_EQ(port().log.mid(0, 2), QStringList({"close", "open 4"}));
    EXPECT_EQ(label1(), QString::fromUtf8("COM4已打开"));
}

// A port this user may not open reads as any failed open; the first refusal of the run, and
// only that one, says how to get access.
TEST_F(PortSearch, ARefusedPermissionIsExplainedOnce) {
    port().openResults = {{2, OpenResult::PermissionDenied}, {5, OpenResult::PermissionDenied}};
    for (const int number : {2, 3, 5, 2}) {
        f().comopen(int16_t(number));
        QCoreApplication::processEvents();
    }
    EXPECT_EQ(label1(), QString::fromUtf8("COM2未打开"));
    ASSERT_EQ(t->messages->shown.size(), 1);
    EXPECT_EQ(t->messages->shown[0].title, QString::fromUtf8("串口权限"));
    EXPECT_TRUE(t->messages->shown[0].text.contains("COM2"));
    EXPECT_TRUE(t->messages->shown[0].text.contains("sudo usermod -aG dialout $USER"));
}

// Every port's every status text fits its label at the label's font; a failed open writes
// nothing.
TEST_F(PortSearch, StatusTextsOfEveryPortFitTheLabelAndFailedOpensWriteNothing) {
    const QFontMetrics metrics(f().Label1->font());
    for (int16_t number = 1; number <= 16; ++number) {
        for (const auto& [result, outcome] :
             {std::pair{OpenResult::InUse, "被占用"}, std::pair{OpenResult::InvalidPort, "无效"},
              std::pair{OpenResult::OtherFailure, "未打开"}, std::pair{OpenResult::Ok, "已打开"}}) {
            port().openResults = {{number, result}};
            port().written.clear();
            f().comNumber = number;
            f().Findcom_Timer();
            EXPECT_EQ(label1(), QStringLiteral("COM%1").arg(number) + QString::fromUtf8(outcome));
            EXPECT_LE(metrics.horizontalAdvance(label1()), f().Label1->contentsRect().width())
                << label1().toStdString();
            EXPECT_EQ(port().written.isEmpty(), result != OpenResult::Ok);
            EXPECT_EQ(f().comNumber, number % 16 + 1);
        }
    }
}

// A slow open: the ticks wait for it up to 2 s, then give it up and go on at their pace; the
// port is passed over while its open still hangs. One that ends in time behaves as any open.
TEST_F(PortSearch, ASlowOpenIsWaitedForThenGivenUpAndPassedOver) {
    port().openResults = {{1, OpenResult::Pending}, {2, OpenResult::Ok}, {5, OpenResult::Pending}};
    f().comNumber = 1;
    for (int tick = 1; tick <= 8; ++tick) {  // the 8th, 2.1 s on, gives up
        f().Findcom_Timer();
        ASSERT_EQ(port().log.filter("open"), QStringList{"open 1"}) << "tick " << tick;
    }
    EXPECT_EQ(label1(), QString::fromUtf8("COM1未打开"));
    EXPECT_EQ(port().log.last(), "close");
    f().Findcom_Timer();
    EXPECT_EQ(label1(), QString::fromUtf8("COM2已打开"));
    EXPECT_EQ(port().written.size(), 1);

    port().log.clear();
    f().comNumber = 16;
    f().Findcom_Timer();
    f().Findcom_Timer();  // port 1 still hangs: port 2 on this tick
    EXPECT_EQ(port().log.filter("open"), QStringList({"open 16", "open 2"}));
    port().finishOpen(1, OpenResult::Ok);
    EXPECT_EQ(port().log.last(), "late close 1");

    port().written.clear();
    f().comNumber = 5;
    f().Findcom_Timer();
    EXPECT_TRUE(port().written.isEmpty());
    port().finishOpen(5, OpenResult::Ok);
    EXPECT_EQ(label1(), QString::fromUtf8("COM5已打开"));
    EXPECT_EQ(hex(port().written.value(0)), "01 03 00 01 55 77 6B 7C");
    EXPECT_EQ(f().comNumber, 6);
}

}  // namespace
}  // namespace kelvora::testing
