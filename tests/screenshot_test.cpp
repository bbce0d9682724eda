#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <vector>

#include "app/twip_label.h"
#include "app/twips.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"

// Renders the window offscreen and saves the pictures under <build>/screenshots/ for a person
// to look at; the label places in the pictures are checked against the layout table.
namespace kelvora::testing {
namespace {

// Runs the fly-in of the layout under way to its end, tick by tick.
void finishLayout(Form1& form) {
    for (int tick = 0; tick < 20 && form.Movectrltimer.isActive(); ++tick) {
        form.Movectrltimer_Timer();
        for (int step = 0; step < 20 && form.Movetimer.isActive(); ++step) {
            form.Movetimer_Timer();
        }
    }
}

QString screenshotPath(const QString& name) {
    const QString folder = QStringLiteral(KELVORA_BINARY_DIR "/screenshots");
    QDir().mkpath(folder);
    return folder + QLatin1Char('/') + name;
}

struct Shown {
    const char* label;  // "Label3(n)" or the array's name
    int left, top;      // twips inside Frame1
    QColor fill;        // background of a value label; invalid for captions
};

struct ModeShot {
    int mode;
    const char* file;
    std::vector<Shown> labels;
};

TwipLabel* labelNamed(Form1& f, const std::string& name) {
    if (name.rfind("Label3(", 0) == 0)
        return f.Label3[static_cast<size_t>(name[7] - '0')];
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
    return f.i[0];
}

const QColor kCyan(0, 192, 192);
const QColor kSalmon(255, 128, 128);
const QColor kLavender(192, 192, 255);
const QColor kRed(255, 0, 0);
const QColor kNone;

class LiveTabScreenshot : public ::testing::TestWithParam<ModeShot> {};

TEST_P(LiveTabScreenshot, LabelsStandWhereTheLayoutTableSays) {
    const ModeShot& shot = GetParam();
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.show();
    finishLayout(f);
    f.measureMode = shot.mode;
    f.vrprecord_Timer();
    finishLayout(f);
    ASSERT_FALSE(f.Movectrltimer.isActive());

    const QImage image = f.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(screenshotPath(QString::fromLatin1(shot.file))));

    const double dpi = f.Frame1->logicalDpiX();
    const double ratio = image.devicePixelRatio();
    const QPoint frameOrigin = f.Frame1->mapTo(&f, QPoint(0, 0));
    const QRect window(QPoint(0, 0), f.size());
    for (const Shown& shown : shot.labels) {
        SCOPED_TRACE(shown.label);
        TwipLabel* label = labelNamed(f, shown.label);
        ASSERT_TRUE(label->isVisible());
        const QPoint expected =
            frameOrigin + QPoint(twipsToPixels(shown.left, dpi), twipsToPixels(shown.top, dpi));
        const QRect inWindow(label->mapTo(&f, QPoint(0, 0)), label->size());
        EXPECT_EQ(inWindow.topLeft(), expected);
        EXPECT_TRUE(window.contains(inWindow));
        // The text fits its label: nothing is cut off.
        EXPECT_LE(QFontMetrics(label->font()).horizontalAdvance(label->text()),
                  label->contentsRect().width());
        if (shown.fill.isValid()) {
            // The picture itself shows the label's colour just inside its border.
            const QPoint inside = (inWindow.topLeft() + QPoint(3, 3)) * ratio;
            EXPECT_EQ(QColor(image.pixel(inside)), shown.fill);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, LiveTabScreenshot,
    ::testing::Values(ModeShot{1,
                               "live_mode1_earth_resistance.png",
                               {{"Label3(1)", 2160, 1800, kNone},
                                {"Label3(4)", 3360, 2640, kNone},
                                {"Label3(5)", 3360, 3360, kNone},
                                {"r", 4560, 1800, kCyan},
                                {"rc", 4560, 2640, kLavender},
                                {"rp", 4560, 3360, kLavender}}},
                      ModeShot{2,
                               "live_mode2_soil_resistivity.png",
                               {{"Label3(2)", 1920, 1800, kNone},
                                {"Label3(3)", 1680, 2640, kNone},
                                {"Label3(4)", 3360, 3360, kNone},
                                {"Label3(5)", 3360, 4200, kNone},
                                {"p", 4560, 1800, kCyan},
                                {"p_length", 4560, 2640, kSalmon},
                                {"rc", 4560, 3360, kLavender},
                                {"rp", 4560, 4200, kLavender}}},
                      ModeShot{3,
                               "live_mode3_earth_voltage.png",
                               {{"Label3(0)", 720, 2640, kNone}, {"v", 4560, 2640, kRed}}},
                      ModeShot{4,
                               "live_mode4_clamp_current.png",
                               {{"Label3(6)", 2400, 2640, kNone}, {"i", 4560, 2640, kCyan}}}),
    [](const ::testing::TestParamInfo<ModeShot>& info) {
        return "Mode" + std::to_string(info.param.mode);
    });

TEST(Screenshot, RecordTab) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.show();
    finishLayout(f);
    f.TabStrip1->setCurrentIndex(1);
    f.TabStrip1_Click();
    const QImage image = f.grab().toImage();
    ASSERT_FALSE(image.isNull());
    EXPECT_TRUE(image.save(screenshotPath(QStringLiteral("record_tab.png"))));
    EXPECT_TRUE(f.grid->isVisible());
    EXPECT_FALSE(f.Frame1->isVisible());
    // The table lies on the tab page, below the header and above the status bar.
    const QRect table(f.grid->mapTo(&f, QPoint(0, 0)), f.grid->size());
    const QRect header(f.TabStrip1->mapTo(&f, QPoint(0, 0)), f.TabStrip1->size());
    const QRect status(f.StatusBar1->mapTo(&f, QPoint(0, 0)), f.StatusBar1->size());
    EXPECT_GT(table.top(), header.bottom());
    EXPECT_LT(table.bottom(), status.top());
}

}  // namespace
}  // namespace kelvora::testing
