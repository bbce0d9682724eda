#include <gtest/gtest.h>

#include <QPushButton>

#include "modbus/modbus_frame.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

// A window with the meter's port open and the link up.
class Requests : public ::testing::Test {
protected:
    void SetUp() override {
        t = makeTestForm();
        t->port->forceOpen(3);
        f().comConnected = true;
    }
    Form1& f() { return *t->form; }
    QStringList writes() const { return t->port->log.filter(QStringLiteral("write ")); }
    void expectPollingAndButtons(bool on) {  // how many of the three are on
        EXPECT_EQ(
            f().comunication.isActive() + f().Command1->isEnabled() + f().Command2->isEnabled(),
            on ? 3 : 0);
    }

    std::unique_ptr<TestForm> t;
};

// Who sends, on which tab, for which record: the frame, the threshold set first, the register.
// A record is asked for once the one before it has been taken.
const std::tuple<void (Form1::*)(), bool, int16_t, const char*, int, int16_t> kSenders[] = {
    {&Form1::comunication_Timer, false, 0, "01 03 00 01 55 77 6B 7C", 7, 1},
    {&Form1::comunication_Timer, true, 0, "01 03 00 02 00 0A 64 0D", 15, 2},
    {&Form1::Command1_Click, false, 0, "01 03 00 03 00 02 34 0B", 7, 3},
    {&Form1::Readdat_Timer, false, 1, "01 03 00 04 00 01 C5 CB", 15, 4},
    {&Form1::Readdat_Timer, false, 300, "01 03 00 04 01 2C 04 46", 15, 4},
};

TEST_F(Requests, EveryFrameOnTheWireThresholdFirstAndNothingOnAClosedPort) {
    for (const auto& [act, liveView, recordIndex, frame, threshold, reg] : kSenders) {
        for (bool open : {false, true}) {
            open ? t->port->forceOpen(3) : t->port->close();
            t->port->log.clear();
            f().requestRegister = 9;
            f().liveView = liveView;
            f().EndDownload();
            if (act == &Form1::Readdat_Timer) {
                f().download.beginCount();
                f().download.beginRecords(400);
                while (f().download.current() < recordIndex - 1) f().download.tick();
                f().download.take(recordIndex - 1);
            }
            (f().*act)();
            const QStringList sent = {QStringLiteral("threshold %1").arg(threshold),
                                      QStringLiteral("write ") + frame, "discardInput",
                                      "discardOutput"};
            EXPECT_EQ(t->port->log, open ? sent : QStringList()) << frame;
            EXPECT_EQ(f().requestRegister, open ? reg : 9) << frame;
        }
    }
}

TEST_F(Requests, ReadActsOnlyOnTheRecordTabWithTheLinkUp) {
    for (const auto& [liveView, connected] :
         {std::pair{true, true}, {false, false}, {false, true}}) {
        f().liveView = liveView;
        f().comConnected = connected;
        f().Command1_Click();
        const bool acts = connected && !liveView;
        expectPollingAndButtons(!acts);
        EXPECT_EQ(writes(), acts ? QStringList{"write 01 03 00 03 00 02 34 0B"} : QStringList());
    }
}

}  // namespace
}  // namespace kelvora::testing
