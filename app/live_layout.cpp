#include <array>
#include <cstdlib>

#include "app/form1.h"
#include "app/timer_control.h"
#include "app/twip_label.h"

namespace kelvora {

namespace {

enum class ReadingLabel {
    EarthVoltageCaption,  // Label3(0)
    REarthCaption,        // Label3(1)
    RhoEarthCaption,      // Label3(2)
    RhoLengthCaption,     // Label3(3)
    RcCaption,            // Label3(4)
    RpCaption,            // Label3(5)
    IclampCaption,        // Label3(6)
    R,
    P,
    PLength,
    Rc,
    Rp,
    V,
    I,
};

struct FlyIn {
    ReadingLabel label;
    int16_t left;
    int16_t top;
};

// One measuring mode's layout: its labels in fly-in order (captions first) and where each ends.
struct ModeLayout {
    int16_t count;
    std::array<FlyIn, 8> flyIns;
};

constexpr ModeLayout kEarthResistance = {6,
                                         {{{ReadingLabel::REarthCaption, 2160, 1800},
                                           {ReadingLabel::RcCaption, 3360, 2640},
                                           {ReadingLabel::RpCaption, 3360, 3360},
                                           {ReadingLabel::R, 4560, 1800},
                                           {ReadingLabel::Rc, 4560, 2640},
                                           {ReadingLabel::Rp, 4560, 3360}}}};

constexpr ModeLayout kSoilResistivity = {8,
                                         {{{ReadingLabel::RhoEarthCaption, 1920, 1800},
                                           {ReadingLabel::RhoLengthCaption, 1680, 2640},
                                           {ReadingLabel::RcCaption, 3360, 3360},
                                           {ReadingLabel::RpCaption, 3360, 4200},
                                           {ReadingLabel::P, 4560, 1800},
                                           {ReadingLabel::PLength, 4560, 2640},
                                           {ReadingLabel::Rc, 4560, 3360},
                                           {ReadingLabel::Rp, 4560, 4200}}}};

constexpr ModeLayout kEarthVoltage = {
    2, {{{ReadingLabel::EarthVoltageCaption, 720, 2640}, {ReadingLabel::V, 4560, 2640}}}};

constexpr ModeLayout kClampCurrent = {
    2, {{{ReadingLabel::IclampCaption, 2400, 2640}, {ReadingLabel::I, 4560, 2640}}}};

// Modes 1 to 4; any other value has no layout and leaves the panel empty.
const ModeLayout* layoutOf(int mode) {
    switch (mode) {
        case 1:
            return &kEarthResistance;
        case 2:
            return &kSoilResistivity;
        case 3:
            return &kEarthVoltage;
        case 4:
            return &kClampCurrent;
        default:
            return nullptr;
    }
}

TwipLabel* labelOf(Form1& form, ReadingLabel label) {
    switch (label) {
        case ReadingLabel::EarthVoltageCaption:
        case ReadingLabel::REarthCaption:
        case ReadingLabel::RhoEarthCaption:
        case ReadingLabel::RhoLengthCaption:
        case ReadingLabel::RcCaption:
        case ReadingLabel::RpCaption:
        case ReadingLabel::IclampCaption:
            return form.Label3[static_cast<size_t>(label)];
        case ReadingLabel::R:
            return form.r[0];
        case ReadingLabel::P:
            return form.p[0];
        case ReadingLabel::PLength:
            return form.p_length[0];
        case ReadingLabel::Rc:
            return form.rc[0];
        case ReadingLabel::Rp:
            return form.rp[0];
        case ReadingLabel::V:
            return form.v[0];
        case ReadingLabel::I:
            return form.i[0];
    }
    return nullptr;
}

// Every flight takes this many equal steps, then one tick that lands it exactly.
constexpr int16_t kMoveSteps = 10;

// A tenth of a distance, rounded to the nearest integer with halves to the even neighbour.
int16_t tenthRoundedToEven(int distance) {
    int quotient = distance / 10;
    const int remainder = distance % 10;
    if (remainder > 5 || (remainder == 5 && quotient % 2 != 0)) {
        ++quotient;
    }
    return static_cast<int16_t>(quotient);
}

}  // namespace

void Form1::vrprecord_Timer() {
    if (shownMode == measureMode) {
        return;
    }
    HideReadingLabels();
    const ModeLayout* layout = layoutOf(measureMode);
    flyInCount = layout ? layout->count : 0;
    enableTimer(Movectrltimer);
    shownMode = static_cast<uint8_t>(measureMode);
}

void Form1::Movectrltimer_Timer() {
    if (shownMode != measureMode) {
        // The mode changed under this layout; the watcher starts the new one.
        disableTimer(Movectrltimer);
        return;
    }
    const ModeLayout* layout = layoutOf(shownMode);
    if (layout && flyInCount > 0 && flyInCount <= layout->count) {
        --flyInCount;
        const FlyIn& next = layout->flyIns[static_cast<size_t>(layout->count - 1 - flyInCount)];
        StartMove(labelOf(*this, next.label), 0, 0, next.left, next.top, true);
        return;
    }
    // Every label of the mode onto its place, which also puts right a move that was cut short.
    if (layout) {
        for (int index = 0; index < layout->count; ++index) {
            const FlyIn& place = layout->flyIns[static_cast<size_t>(index)];
            TwipLabel* label = labelOf(*this, place.label);
            label->setLeftTwips(place.left);
            label->setTopTwips(place.top);
        }
    }
    disableTimer(Movectrltimer);
}

void Form1::StartMove(TwipLabel* control, int16_t startLeft, int16_t startTop, int16_t endLeft,
                      int16_t endTop, bool show) {
    if (!control) {
        return;
    }
    control->setLeftTwips(startLeft);
    control->setTopTwips(startTop);
    // Distances in int: two 16-bit places can lie further apart than a 16-bit number holds.
    moveStepX = tenthRoundedToEven(std::abs(int{endLeft} - int{startLeft}));
    moveLeftward = !(startLeft < endLeft);
    moveStepY = tenthRoundedToEven(std::abs(int{endTop} - int{startTop}));
    moveUpward = !(startTop < endTop);
    moveEndLeft = endLeft;
    moveEndTop = endTop;
    moveControl = control;
    moveShow = show;
    moveStepsLeft = kMoveSteps;
    enableTimer(Movetimer);
}

void Form1::Movetimer_Timer() {
    if (!moveControl) {
        disableTimer(Movetimer);
        return;
    }
    if (moveStepsLeft <= 0) {
        disableTimer(Movetimer);
        moveControl->setLeftTwips(moveEndLeft);
        moveControl->setTopTwips(moveEndTop);
        if (!moveShow) {
            moveControl->hide();
        }
        moveControl = nullptr;
        return;
    }
    if (moveShow) {
        moveControl->show();
    }
    moveControl->setLeftTwips(moveControl->leftTwips() + (moveLeftward ? -moveStepX : moveStepX));
    moveControl->setTopTwips(moveControl->topTwips() + (moveUpward ? -moveStepY : moveStepY));
    --moveStepsLeft;
}

void Form1::HideReadingLabels() {
    for (TwipLabel* caption : Label3) {
        caption->hide();
    }
    for (const LabelArray* values : {&v, &i, &r, &p, &p_length, &rc, &rp}) {
        (*values)[0]->hide();
    }
    // A move still under way would show its label again beside the next layout.
    disableTimer(Movetimer);
    moveControl = nullptr;
    moveStepsLeft = 0;
}

}  // namespace kelvora
