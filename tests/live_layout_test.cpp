#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QImage>

#include "app/twip_label.h"
#include "look/twips.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// Reading labels by index: 0..6 are the captions Label3(0..6), then the value labels.
enum { kR = 7, kP, kPLength, kRc, kRp, kV, kI };

std::vector<TwipLabel*> readingLabels(Form1& f) {
    std::vector<TwipLabel*> labels(f.Label3.begin(), f.Label3.end());
    for (LabelArray* values : {&f.r, &f.p, &f.p_length, &f.rc, &f.rp, &f.v, &f.i})
        labels.push_back((*values)[0]);
    return labels;
}

struct Place {
    int mode;
    size_t label;
    int left, top;
};

// Every mode's labels in fly-in order, captions first, with their final places inside Frame1.
const Place kPlaces[] = {{1, 1, 2160, 1800},   {1, 4, 3360, 2640},   {1, 5, 3360, 3360},
                         {1, kR, 4560, 1800},  {1, kRc, 4560, 2640}, {1, kRp, 4560, 3360},
                         {2, 2, 1920, 1800},   {2, 3, 1680, 2640},   {2, 4, 3360, 3360},
                         {2, 5, 3360, 4200},   {2, kP, 4560, 1800},  {2, kPLength, 4560, 2640},
                         {2, kRc, 4560, 3360}, {2, kRp, 4560, 4200}, {3, 0, 720, 2640},
                         {3, kV, 4560, 2640},  {4, 6, 2400, 2640},   {4, kI, 4560, 2640}};

std::vector<Place> layoutOf(int mode) {
    std::vector<Place> layout;
    for (const Place& place : kPlaces)
        if (place.mode == mode)
            layout.push_back(place);
    return layout;
}

std::pair<int, int> twipsOf(const TwipLabel* label) {
    return {label->leftTwips(), label->topTwips()};
}

int runMove(Form1& f) {
    int ticks = 0;
    for (; f.Movetimer.isActive() && ticks < 100; ++ticks) f.Movetimer_Timer();
    return ticks;
}

// Drives the sequencer through a layout, checking every flight; returns the sequencer ticks.
int buildLayout(Form1& f, int mode) {
    const std::vector<Place> expected = layoutOf(mode);
    const std::vector<TwipLabel*> labels = readingLabels(f);
    int ticks = 0;
    size_t started = 0;
    for (; f.Movectrltimer.isActive() && ticks < 50; ++ticks) {
        f.Movectrltimer_Timer();
        if (!f.Movetimer.isActive())
            continue;                                 // the closing tick
        const Place& place = expected.at(started++);  // throws on a flight too many
        TwipLabel* label = labels[place.label];
        SCOPED_TRACE(label->text().toStdString());
        EXPECT_EQ(f.moveControl, label);
        EXPECT_TRUE(label->isHidden());  // hidden in the corner until its first step
        f.Movetimer_Timer();
        EXPECT_FALSE(label->isHidden());
        EXPECT_EQ(twipsOf(label), std::pair(place.left / 10, place.top / 10));
        EXPECT_EQ(runMove(f), 10);  // nine more steps and the landing
        EXPECT_EQ(twipsOf(label), std::pair(place.left, place.top));
    }
    EXPECT_EQ(started, expected.size());
    return ticks;
}

// The mode's labels visible on their places, every other reading label hidden.
void expectIdleLayout(Form1& f, int mode) {
    EXPECT_FALSE(f.Movectrltimer.isActive() || f.Movetimer.isActive());
    std::vector<TwipLabel*> others = readingLabels(f);
    for (const Place& place : layoutOf(mode)) {
        EXPECT_EQ(twipsOf(others[place.label]), std::pair(place.left, place.top));
        EXPECT_FALSE(others[place.label]->isHidden());
        others[place.label] = nullptr;
    }
    for (TwipLabel* other : others) EXPECT_TRUE(!other || other->isHidden());
}

TEST(LiveLayout, ModeChangeInTheMiddleOfALayoutStopsItAndTheWatcherStartsTheNewOne) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    for (int flight = 0; flight < 3; ++flight, runMove(f)) f.Movectrltimer_Timer();
    f.Movectrltimer_Timer();  // "Rp:" starts its flight
    f.Movetimer_Timer();
    f.measureMode = 4;
    f.Movectrltimer_Timer();
    EXPECT_FALSE(f.Movectrltimer.isActive());
    f.vrprecord_Timer();
    EXPECT_FALSE(f.Movetimer.isActive());  // no stray step shows "Rp:" again
    f.Movetimer_Timer();
    EXPECT_TRUE(f.Label3[5]->isHidden());
    EXPECT_EQ(buildLayout(f, 4), 3);
    expectIdleLayout(f, 4);
}

// A tenth of the distance per step, halves to even; the move always ends on its end point.
TEST(LiveLayout, MovesTakeTenRoundedStepsThenLandExactly) {
    // Start left and top, end left and top, then the step taken each tick.
    const int cases[][6] = {{0, 0, 15, 25, 2, 2},
                            {0, 0, 7, 3, 1, 0},
                            {100, 200, 65, 175, -4, -2},
                            {-32768, 32767, 32767, -32768, 6554, -6554}};
    auto t = makeTestForm();
    Form1& f = *t->form;
    buildLayout(f, 2);
    TwipLabel* label = f.Label3[0];
    for (const auto& [startLeft, startTop, endLeft, endTop, dx, dy] : cases) {
        SCOPED_TRACE(endLeft);
        f.StartMove(label, startLeft, startTop, endLeft, endTop, true);
        for (int step = 1; step <= 10; ++step) {
            f.Movetimer_Timer();
            EXPECT_EQ(twipsOf(label), std::pair(startLeft + step * dx, startTop + step * dy));
        }
        EXPECT_EQ(runMove(f), 1);
        EXPECT_EQ(twipsOf(label), std::pair(endLeft, endTop));
    }
}

// Size, background and text colour of each reading label, in the order of readingLabels.
const struct {
    int width, height;
    QRgb background;  // 0: the panel's
    bool blackText;   // else the default colour
} kLooks[] = {
    // clang-format off
    {3360, 435, 0, false}, {1920, 435, 0, false}, {2130, 435, 0, false}, {2370, 435, 0, false},
    {720, 435, 0, false}, {720, 435, 0, false}, {1680, 435, 0, false},
    {2100, 495, qRgb(0, 192, 192), true}, {2100, 495, qRgb(0, 192, 192), true},
    {2100, 495, qRgb(255, 128, 128), true}, {2100, 495, qRgb(192, 192, 255), false},
    {2100, 495, qRgb(192, 192, 255), false}, {2100, 495, qRgb(255, 0, 0), true},
    {2100, 495, qRgb(0, 192, 192), true}};
// clang-format on

// Start-up builds mode 2 on the real timers and keeps it; each switch hides the old layout and
// flies in the new one, leaving the indicators alone. Saves <build>/screenshots/live_mode<n>.png;
// each label stands where, and looks as, the tables say.
TEST(LiveLayout, ModeSwitchesAndScreenshots) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    for (TwipLabel* label : readingLabels(f)) EXPECT_TRUE(label->isHidden());
    f.show();
    const QDeadlineTimer deadline(20000);  // the start-up layout runs on the real timers
    while (f.Movectrltimer.isActive() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    f.vrprecord_Timer();  // the mode shown: no new animation
    expectIdleLayout(f, 2);
    const QString folder = QStringLiteral(KELVORA_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    const auto px = [dpi = f.Frame1->logicalDpiX()](int twips) {
        return twipsToPixels(twips, dpi);
    };
    for (const auto& [mode, ticks] : {std::pair{1, 7}, {3, 3}, {4, 3}, {0, 1}, {5, 1}, {2, 9}}) {
        SCOPED_TRACE(mode);
        f.measureMode = mode;
        f.vrprecord_Timer();
        for (TwipLabel* label : readingLabels(f)) EXPECT_TRUE(label->isHidden());
        EXPECT_EQ(buildLayout(f, mode), ticks);
        expectIdleLayout(f, mode);
        for (TwipLabel* lamp : {f.HVOLT, f.NOISE, f.LOWBAT, f.CLAMP})
            EXPECT_TRUE(lamp->isVisible());
        const QImage image = f.grab().toImage();
        EXPECT_TRUE(image.save(folder + QStringLiteral("/live_mode%1.png").arg(mode)));
        for (const Place& place : layoutOf(mode)) {
            TwipLabel* label = readingLabels(f)[place.label];
            const auto& look = kLooks[place.label];
            SCOPED_TRACE(label->text().toStdString());
            const QPoint at = f.Frame1->mapTo(&f, QPoint(px(place.left), px(place.top)));
            EXPECT_TRUE(label->isVisible());
            EXPECT_EQ(label->mapTo(&f, QPoint(0, 0)), at);
            EXPECT_EQ(label->size(), QSize(px(look.width), px(look.height)));
            EXPECT_EQ(label->font().family(), QStringLiteral("宋体"));
            EXPECT_TRUE(label->font().pointSizeF() == 21.75 && label->font().bold());
            EXPECT_EQ(label->alignment(),
                      place.label >= kR ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
            EXPECT_EQ(label->palette().color(QPalette::WindowText),
                      look.blackText ? QColor(Qt::black)
                                     : QApplication::palette(label).color(QPalette::WindowText));
            if (look.background)
                EXPECT_EQ(image.pixel((at + QPoint(3, 3)) * image.devicePixelRatio()),
                          look.background);
        }
    }
}

}  // namespace
}  // namespace kelvora::testing
