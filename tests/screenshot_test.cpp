#include <gtest/gtest.h>

#include <QDir>
#include <QFontMetrics>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTabBar>

#include "app/twip_label.h"
#include "app/twips.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"

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

TEST(Screenshot, LiveTabAfterStartUpMatchesTheSoilResistivityLayout) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.show();
    finishLayout(f);
    ASSERT_FALSE(f.Movectrltimer.isActive());

    const QImage shot = f.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(screenshotPath(QStringLiteral("live_tab.png"))));

    // Places read off the image's own widgets, against the layout of mode 2 in twips.
    const double dpi = f.Frame1->logicalDpiX();
    const struct {
        TwipLabel* label;
        int left, top;
    } expected[] = {
        {f.Label3[2], 1920, 1800}, {f.Label3[3], 1680, 2640}, {f.Label3[4], 3360, 3360},
        {f.Label3[5], 3360, 4200}, {f.p[0], 4560, 1800},      {f.p_length[0], 4560, 2640},
        {f.rc[0], 4560, 3360},     {f.rp[0], 4560, 4200},
    };
    const QPoint frameOrigin(twipsToPixels(1440, dpi), twipsToPixels(2040, dpi));
    for (const auto& place : expected) {
        SCOPED_TRACE(place.label->text().toStdString());
        EXPECT_TRUE(place.label->isVisible());
        const QPoint inClient = place.label->mapTo(f.centralWidget(), QPoint(0, 0));
        EXPECT_EQ(inClient, frameOrigin + QPoint(twipsToPixels(place.left, dpi),
                                                 twipsToPixels(place.top, dpi)));
        // The label lies inside the picture and its text fits without clipping.
        const QRect inWindow(place.label->mapTo(&f, QPoint(0, 0)), place.label->size());
        EXPECT_TRUE(QRect(QPoint(0, 0), shot.size() / shot.devicePixelRatio()).contains(inWindow));
    }
}

TEST(Screenshot, RecordTab) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    f.show();
    finishLayout(f);
    f.TabStrip1->setCurrentIndex(1);
    f.TabStrip1_Click();
    const QImage shot = f.grab().toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_TRUE(shot.save(screenshotPath(QStringLiteral("record_tab.png"))));
    EXPECT_TRUE(f.grid->isVisible());
    EXPECT_FALSE(f.Frame1->isVisible());
}

}  // namespace
}  // namespace kelvora::testing
