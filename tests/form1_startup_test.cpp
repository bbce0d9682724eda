#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTabBar>

#include "app/twip_label.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

TEST(Form1Startup, StateAfterLoad) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    EXPECT_TRUE(f.liveView);
    EXPECT_FALSE(f.comConnected);
    EXPECT_EQ(f.comNumber, 1);
    EXPECT_EQ(f.measureMode, 2);
    EXPECT_EQ(f.timeoutCount, 0);
    EXPECT_EQ(f.recordTotal, 0);
    EXPECT_EQ(f.recordIndex, 0);
    EXPECT_TRUE(f.Command1->isEnabled());
    EXPECT_TRUE(f.Command2->isEnabled());
}

TEST(Form1Startup, TimersAfterLoad) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    const struct {
        const char* name;
        QTimer& timer;
        int interval;
        bool running;
    } timers[] = {
        {"vrprecord", f.vrprecord, 1000, true},
        {"Movectrltimer", f.Movectrltimer, 200, true},
        {"Movetimer", f.Movetimer, 5, false},
        {"Timer1", f.Timer1, 1000, true},
        {"Findcom", f.Findcom, 300, true},
        {"COMtimout", f.COMtimout, 1000, true},
        {"comunication", f.comunication, 1000, true},
        {"Readdat", f.Readdat, 100, false},
    };
    for (const auto& timer : timers) {
        SCOPED_TRACE(timer.name);
        EXPECT_EQ(timer.timer.interval(), timer.interval);
        EXPECT_EQ(timer.timer.isActive(), timer.running);
    }
}

TEST(Form1Startup, WindowWithoutAnInstrument) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.show();
    EXPECT_EQ(f.TabStrip1->currentIndex(), 0);
    EXPECT_TRUE(f.Frame1->isVisible());
    EXPECT_FALSE(f.grid->isVisible());
    EXPECT_EQ(f.Label1->text(), QStringLiteral("串口状态"));
    EXPECT_EQ(f.Label2->text(), QStringLiteral("通信失败"));
    // All four indicators until the first live reading says otherwise.
    for (TwipLabel* indicator : {f.HVOLT, f.NOISE, f.LOWBAT, f.CLAMP}) {
        EXPECT_FALSE(indicator->isHidden()) << indicator->text().toStdString();
        EXPECT_TRUE(indicator->isVisible()) << indicator->text().toStdString();
    }
    // The reading labels wait for their fly-in.
    for (TwipLabel* caption : f.Label3) {
        EXPECT_TRUE(caption->isHidden()) << caption->text().toStdString();
    }
    for (const LabelArray* values : {&f.r, &f.p, &f.p_length, &f.rc, &f.rp, &f.v, &f.i}) {
        EXPECT_TRUE((*values)[0]->isHidden());
    }
    // The soil-resistivity values show their start texts once they have flown in.
    EXPECT_EQ(f.p[0]->caption(), QStringLiteral("0.00 Ωm"));
    EXPECT_EQ(f.p_length[0]->caption(), QStringLiteral("0.00 m"));
    EXPECT_EQ(f.rc[0]->caption(), QStringLiteral("0.00 KΩ"));
    EXPECT_EQ(f.rp[0]->caption(), QStringLiteral("0.00 KΩ"));
}

TEST(Form1Startup, ClockPanelsAreFilledBeforeTheFirstTick) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    EXPECT_EQ(f.StatusBar1Panels[0]->text(),
              QLocale::system().toString(QDate(2026, 12, 6), QLocale::ShortFormat));
    EXPECT_FALSE(f.StatusBar1Panels[2]->text().isEmpty());
    EXPECT_EQ(f.StatusBar1Panels[1]->text(), QStringLiteral("Kelvora"));
}

TEST(Form1Startup, RecordTableLaidOutAndHidden) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    EXPECT_TRUE(f.grid->isHidden());
    EXPECT_EQ(f.grid->rows(), 2);
    EXPECT_EQ(f.grid->cols(), 8);
    EXPECT_EQ(f.grid->textMatrix(0, 0), QStringLiteral("NO."));
}

TEST(Form1Startup, PortSearchStartsWithPortOneOnItsFirstTick) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    EXPECT_TRUE(t->port->log.isEmpty());  // nothing is opened before the first search tick
    f.Findcom_Timer();
    EXPECT_EQ(t->port->portNumber(), 1);
}

// The timers drive the fly-in on their own: no handler is called by hand here.
TEST(Form1Startup, SoilResistivityLayoutFliesInWithTheEventLoop) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.show();
    const QDeadlineTimer deadline(20000);
    while (f.Movectrltimer.isActive() && !deadline.hasExpired()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ASSERT_FALSE(f.Movectrltimer.isActive());
    const struct {
        TwipLabel* label;
        int left, top;
    } places[] = {{f.Label3[2], 1920, 1800}, {f.Label3[3], 1680, 2640}, {f.Label3[4], 3360, 3360},
                  {f.Label3[5], 3360, 4200}, {f.p[0], 4560, 1800},      {f.p_length[0], 4560, 2640},
                  {f.rc[0], 4560, 3360},     {f.rp[0], 4560, 4200}};
    for (const auto& place : places) {
        SCOPED_TRACE(place.label->text().toStdString());
        EXPECT_TRUE(place.label->isVisible());
        EXPECT_EQ(place.label->leftTwips(), place.left);
        EXPECT_EQ(place.label->topTwips(), place.top);
    }
    EXPECT_TRUE(f.r[0]->isHidden());
    EXPECT_TRUE(f.v[0]->isHidden());
    EXPECT_TRUE(f.i[0]->isHidden());
}

}  // namespace
}  // namespace kelvora::testing
