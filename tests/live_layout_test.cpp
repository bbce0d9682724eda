#include <gtest/gtest.h>

#include <QString>
#include <vector>

#include "app/twip_label.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// The fourteen reading labels by name, so expectations can be written as plain tables.
TwipLabel* labelNamed(Form1& f, const std::string& name) {
    if (name.rfind("Label3(", 0) == 0) {
        return f.Label3[static_cast<size_t>(name[7] - '0')];
    }
    if (name == "r")
        return f.r[0];
    if (name == "p")
        return f.p[0];
    if (name == "p_length")
        return f.p_length[0];
    if (name == "rc")
        return f.rc[0];
    if (name == "rp")
        return f.rp[0];
    if (name == "v")
        return f.v[0];
    if (name == "i")
        return f.i[0];
    ADD_FAILURE() << "no label " << name;
    return nullptr;
}

const std::vector<std::string> kAllLabels = {
    "Label3(0)", "Label3(1)", "Label3(2)", "Label3(3)", "Label3(4)", "Label3(5)", "Label3(6)",
    "r",         "p",         "p_length",  "rc",        "rp",        "v",         "i"};

struct Place {
    std::string label;
    int left, top;
};

// Fly-in order and final places per measuring mode, written out from the panel's design.
const std::vector<Place> kMode1 = {{"Label3(1)", 2160, 1800}, {"Label3(4)", 3360, 2640},
                                   {"Label3(5)", 3360, 3360}, {"r", 4560, 1800},
                                   {"rc", 4560, 2640},        {"rp", 4560, 3360}};
const std::vector<Place> kMode2 = {{"Label3(2)", 1920, 1800}, {"Label3(3)", 1680, 2640},
                                   {"Label3(4)", 3360, 3360}, {"Label3(5)", 3360, 4200},
                                   {"p", 4560, 1800},         {"p_length", 4560, 2640},
                                   {"rc", 4560, 3360},        {"rp", 4560, 4200}};
const std::vector<Place> kMode3 = {{"Label3(0)", 720, 2640}, {"v", 4560, 2640}};
const std::vector<Place> kMode4 = {{"Label3(6)", 2400, 2640}, {"i", 4560, 2640}};

const std::vector<Place>& layoutOfMode(int mode) {
    static const std::vector<Place>* layouts[] = {&kMode1, &kMode2, &kMode3, &kMode4};
    return *layouts[mode - 1];
}

// Runs one label's flight to its end; returns the number of movement ticks it took.
int runMove(Form1& f) {
    int ticks = 0;
    while (f.Movetimer.isActive() && ticks < 100) {
        f.Movetimer_Timer();
        ++ticks;
    }
    return ticks;
}

// Drives the sequencer through a whole layout, checking every flight as it goes; returns the
// number of sequencer ticks the layout took.
int buildLayout(Form1& f, const std::vector<Place>& expected) {
    int ticks = 0;
    size_t started = 0;
    while (f.Movectrltimer.isActive() && ticks < 50) {
        f.Movectrltimer_Timer();
        ++ticks;
        if (!f.Movetimer.isActive()) {
            continue;  // the closing tick: final placement, no flight
        }
        EXPECT_LT(started, expected.size());
        if (started >= expected.size()) {
            break;
        }
        const Place& place = expected[started++];
        TwipLabel* label = labelNamed(f, place.label);
        SCOPED_TRACE(place.label);
        EXPECT_EQ(f.moveControl, label);
        // Each flight starts in the panel's top-left corner, hidden until its first step.
        EXPECT_EQ(label->leftTwips(), 0);
        EXPECT_EQ(label->topTwips(), 0);
        EXPECT_TRUE(label->isHidden());
        f.Movetimer_Timer();
        EXPECT_FALSE(label->isHidden());
        EXPECT_EQ(label->leftTwips(), place.left / 10);
        EXPECT_EQ(label->topTwips(), place.top / 10);
        EXPECT_EQ(runMove(f), 10);  // nine more steps and the closing tick
        EXPECT_EQ(label->leftTwips(), place.left);
        EXPECT_EQ(label->topTwips(), place.top);
        EXPECT_FALSE(label->isHidden());
    }
    EXPECT_EQ(started, expected.size());
    return ticks;
}

// After a layout: its labels visible on their places, all other reading labels hidden.
void expectIdleLayout(Form1& f, int mode) {
    const std::vector<Place>& layout = layoutOfMode(mode);
    EXPECT_FALSE(f.Movectrltimer.isActive());
    EXPECT_FALSE(f.Movetimer.isActive());
    EXPECT_EQ(f.shownMode, mode);
    for (const std::string& name : kAllLabels) {
        SCOPED_TRACE(name);
        TwipLabel* label = labelNamed(f, name);
        bool inLayout = false;
        for (const Place& place : layout) {
            if (place.label == name) {
                inLayout = true;
                EXPECT_EQ(label->leftTwips(), place.left);
                EXPECT_EQ(label->topTwips(), place.top);
            }
        }
        EXPECT_EQ(label->isHidden(), !inLayout);
    }
}

TEST(LiveLayout, StartUpHidesEveryReadingLabelAndStartsTheSoilResistivityLayout) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    for (const std::string& name : kAllLabels) {
        EXPECT_TRUE(labelNamed(f, name)->isHidden()) << name;
    }
    EXPECT_EQ(f.shownMode, 2);
    EXPECT_EQ(f.flyInCount, 8);
    EXPECT_TRUE(f.Movectrltimer.isActive());
    EXPECT_FALSE(f.Movetimer.isActive());
}

TEST(LiveLayout, StartUpLayoutBuildsInNineTicksCaptionsFirst) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    EXPECT_EQ(buildLayout(f, kMode2), 9);
    expectIdleLayout(f, 2);
    // The labels then stay still: further watcher ticks change nothing.
    f.vrprecord_Timer();
    f.vrprecord_Timer();
    EXPECT_FALSE(f.Movectrltimer.isActive());
    expectIdleLayout(f, 2);
}

struct ModeSwitch {
    int from, to;
    int ticks;  // sequencer ticks of the new layout
};

class LiveLayoutModeSwitch : public ::testing::TestWithParam<ModeSwitch> {};

TEST_P(LiveLayoutModeSwitch, HidesTheOldLayoutAndFliesInTheNewOne) {
    const ModeSwitch& change = GetParam();
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.measureMode = change.from;
    f.vrprecord_Timer();
    buildLayout(f, layoutOfMode(change.from));
    expectIdleLayout(f, change.from);

    f.measureMode = change.to;
    f.vrprecord_Timer();
    for (const std::string& name : kAllLabels) {
        EXPECT_TRUE(labelNamed(f, name)->isHidden()) << name;
    }
    EXPECT_EQ(f.flyInCount, static_cast<int>(layoutOfMode(change.to).size()));
    EXPECT_EQ(buildLayout(f, layoutOfMode(change.to)), change.ticks);
    expectIdleLayout(f, change.to);
}

INSTANTIATE_TEST_SUITE_P(Modes, LiveLayoutModeSwitch,
                         ::testing::Values(ModeSwitch{2, 1, 7}, ModeSwitch{2, 3, 3},
                                           ModeSwitch{2, 4, 3}, ModeSwitch{1, 2, 9},
                                           ModeSwitch{3, 4, 3}, ModeSwitch{4, 1, 7}),
                         [](const ::testing::TestParamInfo<ModeSwitch>& info) {
                             return "From" + std::to_string(info.param.from) + "To" +
                                    std::to_string(info.param.to);
                         });

TEST(LiveLayout, SwitchFromSoilResistivityToEarthResistanceMovesRcAndRpUpOneRow) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    buildLayout(f, kMode2);
    EXPECT_EQ(f.Label3[4]->topTwips(), 3360);
    EXPECT_EQ(f.rp[0]->topTwips(), 4200);
    f.measureMode = 1;
    f.vrprecord_Timer();
    buildLayout(f, kMode1);
    EXPECT_EQ(f.Label3[4]->topTwips(), 2640);
    EXPECT_EQ(f.Label3[5]->topTwips(), 3360);
    EXPECT_EQ(f.rc[0]->topTwips(), 2640);
    EXPECT_EQ(f.rp[0]->topTwips(), 3360);
}

TEST(LiveLayout, RepeatedReadingsOfTheShownModeNeverRestartTheAnimation) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    buildLayout(f, kMode2);
    for (int reading = 0; reading < 5; ++reading) {
        f.measureMode = 2;
        f.p[0]->setCaption(QStringLiteral("%1.0Ωm").arg(reading));
        f.vrprecord_Timer();
        EXPECT_FALSE(f.Movectrltimer.isActive());
        EXPECT_FALSE(f.Movetimer.isActive());
    }
    expectIdleLayout(f, 2);

    // Also in the middle of a layout: the watcher leaves the fly-in where it is.
    f.measureMode = 3;
    f.vrprecord_Timer();
    f.Movectrltimer_Timer();
    const int countBefore = f.flyInCount;
    f.vrprecord_Timer();
    EXPECT_EQ(f.flyInCount, countBefore);
    EXPECT_EQ(f.moveControl, f.Label3[0]);
}

TEST(LiveLayout, ModeChangeInTheMiddleOfALayoutStopsItAndTheWatcherStartsTheNewOne) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    // Three of the eight labels of the start-up layout fly in.
    for (int tick = 0; tick < 3; ++tick) {
        f.Movectrltimer_Timer();
        runMove(f);
    }
    f.Movectrltimer_Timer();  // the fourth flight starts: "Rp:"
    f.Movetimer_Timer();
    f.Movetimer_Timer();
    ASSERT_FALSE(f.Label3[5]->isHidden());

    f.measureMode = 4;  // a clamp-current reading arrives
    f.Movectrltimer_Timer();
    EXPECT_FALSE(f.Movectrltimer.isActive());
    EXPECT_EQ(f.flyInCount, 4);  // the rest of the old layout is not flown in
    EXPECT_TRUE(f.p[0]->isHidden());
    // Labels already flown in stay until the watcher's tick.
    EXPECT_FALSE(f.Label3[2]->isHidden());

    f.vrprecord_Timer();
    for (const std::string& name : kAllLabels) {
        EXPECT_TRUE(labelNamed(f, name)->isHidden()) << name;
    }
    // The flight cut short is over: no stray step shows "Rp:" again beside the new layout.
    EXPECT_FALSE(f.Movetimer.isActive());
    EXPECT_EQ(f.moveControl, nullptr);
    f.Movetimer_Timer();
    EXPECT_TRUE(f.Label3[5]->isHidden());

    EXPECT_EQ(buildLayout(f, kMode4), 3);
    expectIdleLayout(f, 4);
}

TEST(LiveLayout, FinalPlacementPutsRightAFlightThatWasCutShort) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    for (int tick = 0; tick < 8; ++tick) {
        f.Movectrltimer_Timer();
        f.Movetimer_Timer();  // one step only: the next flight replaces this one
    }
    EXPECT_EQ(f.Label3[2]->leftTwips(), 192);
    f.Movectrltimer_Timer();  // the closing tick
    EXPECT_FALSE(f.Movectrltimer.isActive());
    for (const Place& place : kMode2) {
        SCOPED_TRACE(place.label);
        EXPECT_EQ(labelNamed(f, place.label)->leftTwips(), place.left);
        EXPECT_EQ(labelNamed(f, place.label)->topTwips(), place.top);
    }
}

TEST(LiveLayout, ModesWithoutALayoutLeaveThePanelEmpty) {
    for (int mode : {0, 5, 255, -1}) {
        SCOPED_TRACE(mode);
        auto t = makeTestForm();
        Form1& f = *t->form;
        buildLayout(f, kMode2);
        f.measureMode = mode;
        f.vrprecord_Timer();
        for (int tick = 0; tick < 3; ++tick) {
            f.Movectrltimer_Timer();
            runMove(f);
        }
        EXPECT_FALSE(f.Movectrltimer.isActive());
        for (const std::string& name : kAllLabels) {
            EXPECT_TRUE(labelNamed(f, name)->isHidden()) << name;
        }
    }
}

TEST(LiveLayout, IndicatorsAreNeverTouchedByTheAnimation) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.NOISE->hide();
    buildLayout(f, kMode2);
    f.measureMode = 3;
    f.vrprecord_Timer();
    buildLayout(f, kMode3);
    EXPECT_FALSE(f.HVOLT->isHidden());
    EXPECT_TRUE(f.NOISE->isHidden());
    EXPECT_FALSE(f.LOWBAT->isHidden());
    EXPECT_FALSE(f.CLAMP->isHidden());
    EXPECT_EQ(f.HVOLT->leftTwips(), 7800);
    EXPECT_EQ(f.HVOLT->topTwips(), 2160);
}

// StartMove: the step is a tenth of the distance, rounded to nearest with halves to even; the
// move always ends exactly on its end point.
struct MoveCase {
    int16_t startLeft, startTop, endLeft, endTop;
    int16_t stepX, stepY;
    bool leftward, upward;
};

class StartMoveSteps : public ::testing::TestWithParam<MoveCase> {};

TEST_P(StartMoveSteps, TenStepsThenTheEndPointExactly) {
    const MoveCase& c = GetParam();
    auto t = makeTestForm();
    Form1& f = *t->form;
    buildLayout(f, kMode2);
    TwipLabel* label = f.Label3[0];
    f.StartMove(label, c.startLeft, c.startTop, c.endLeft, c.endTop, true);
    EXPECT_EQ(f.moveStepX, c.stepX);
    EXPECT_EQ(f.moveStepY, c.stepY);
    EXPECT_EQ(f.moveLeftward, c.leftward);
    EXPECT_EQ(f.moveUpward, c.upward);
    EXPECT_EQ(f.moveStepsLeft, 10);
    EXPECT_EQ(label->leftTwips(), c.startLeft);
    EXPECT_EQ(label->topTwips(), c.startTop);

    const int dx = c.leftward ? -c.stepX : c.stepX;
    const int dy = c.upward ? -c.stepY : c.stepY;
    for (int step = 1; step <= 10; ++step) {
        f.Movetimer_Timer();
        EXPECT_EQ(label->leftTwips(), c.startLeft + step * dx) << "step " << step;
        EXPECT_EQ(label->topTwips(), c.startTop + step * dy) << "step " << step;
    }
    EXPECT_TRUE(f.Movetimer.isActive());
    f.Movetimer_Timer();
    EXPECT_FALSE(f.Movetimer.isActive());
    EXPECT_EQ(label->leftTwips(), c.endLeft);
    EXPECT_EQ(label->topTwips(), c.endTop);
    EXPECT_FALSE(label->isHidden());
}

INSTANTIATE_TEST_SUITE_P(
    Rounding, StartMoveSteps,
    ::testing::Values(MoveCase{0, 0, 4560, 4200, 456, 420, false, false},
                      MoveCase{0, 0, 15, 25, 2, 2, false, false},      // 1.5 → 2, 2.5 → 2
                      MoveCase{0, 0, 35, 45, 4, 4, false, false},      // 3.5 → 4, 4.5 → 4
                      MoveCase{0, 0, 14, 16, 1, 2, false, false},      // 1.4 → 1, 1.6 → 2
                      MoveCase{100, 200, 65, 175, 4, 2, true, true},   // leftward, upward
                      MoveCase{500, 500, 500, 500, 0, 0, true, true},  // no distance
                      MoveCase{0, 0, 7, 3, 1, 0, false, false},
                      MoveCase{-32768, 32767, 32767, -32768, 6554, 6554, false, true}));

TEST(LiveLayout, MoveWithShowFalseHidesTheLabelAtItsEnd) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    buildLayout(f, kMode2);
    TwipLabel* label = f.rc[0];
    f.StartMove(label, 4560, 3360, 0, 0, false);
    EXPECT_EQ(runMove(f), 11);
    EXPECT_TRUE(label->isHidden());
    EXPECT_EQ(label->leftTwips(), 0);
    EXPECT_EQ(label->topTwips(), 0);
}

TEST(LiveLayout, NewMoveReplacesTheOneUnderWay) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    buildLayout(f, kMode2);
    f.StartMove(f.v[0], 0, 0, 1000, 1000, true);
    f.Movetimer_Timer();
    f.Movetimer_Timer();
    f.StartMove(f.i[0], 0, 0, 500, 500, true);
    runMove(f);
    EXPECT_EQ(f.v[0]->leftTwips(), 200);  // stays where its last step left it
    EXPECT_EQ(f.v[0]->topTwips(), 200);
    EXPECT_EQ(f.i[0]->leftTwips(), 500);
    EXPECT_EQ(f.i[0]->topTwips(), 500);
}

}  // namespace
}  // namespace kelvora::testing
