#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>

#include "app/fonts.h"
#include "app/twip_label.h"
#include "app/twips.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

TEST(WindowLayout, KeyControlsStandOnTheirTwipRectangles) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    const struct {
        QWidget* widget;
        const char* caption;           // buttons only
        int left, top, width, height;  // height 0: sized by its content
    } controls[] = {
        {f.Command1, "读取", 840, 240, 1335, 855},
        {f.Command2, "保存", 2400, 240, 1335, 855},
        {f.Command3, "清空", 3960, 240, 1335, 855},
        {f.Command4, "打印", 5520, 240, 1335, 855},
        {f.Command6, "帮助", 7080, 240, 1335, 855},
        {f.Command5, "关闭", 8640, 240, 1335, 855},
        {f.Label1, "", 10200, 120, 1695, 375},
        {f.Label2, "", 10200, 720, 1695, 375},
        {f.TabStrip1, "", 840, 1560, 11055, 0},
        {f.Frame1, "", 1440, 2040, 9615, 7095},
        {f.StatusBar1, "", 0, 9630, 12780, 495},
        {f.HVOLT, "", 7800, 2160, 0, 0},  // inside Frame1
    };
    const auto px = [&f](int twips) { return twipsToPixels(twips, f.logicalDpiX()); };
    for (const auto& c : controls) {
        SCOPED_TRACE(&c - controls);
        EXPECT_EQ(c.widget->x(), px(c.left));
        EXPECT_EQ(c.widget->y(), px(c.top));
        if (c.width)
            EXPECT_EQ(c.widget->width(), px(c.width));
        if (c.height)
            EXPECT_EQ(c.widget->height(), px(c.height));
        if (auto* button = qobject_cast<QPushButton*>(c.widget))
            EXPECT_EQ(button->text(), QString::fromUtf8(c.caption));
    }
    EXPECT_EQ(f.centralWidget()->size(), QSize(px(12780), px(10125)));
    f.show();
    EXPECT_EQ(f.minimumSize(), f.maximumSize());  // fixed size
}

// Every caption, reading and unit must render from a real face: no boxes for 宋体, ρ or Ω.
TEST(WindowLayout, FontsResolveToAFaceWithEveryGlyphTheWindowShows) {
    installFontSubstitutions();
    const QString shown = QStringLiteral(
        "读取保存清空打印帮助关闭串口状态通信失败实时监控历史查询文件操作关于软件ρΩ");
    const QFont font = simSunFont(21.75, true);
    EXPECT_DOUBLE_EQ(font.pointSizeF(), 21.75);
    for (const QChar ch : shown)
        EXPECT_TRUE(QFontMetrics(font).inFont(ch)) << "U+" << std::hex << ch.unicode();
    const QString family = QFontInfo(font).family();
    EXPECT_TRUE(simSunStandIns().contains(family) || family == QStringLiteral("宋体"))
        << family.toStdString();
}

}  // namespace
}  // namespace kelvora::testing
