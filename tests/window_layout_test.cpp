#include <gtest/gtest.h>

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>

#include "app/twip_label.h"
#include "look/fonts.h"
#include "look/twips.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

// Place (twips), caption and font of every control with a look of its own.
TEST(WindowLayout, ControlsStandOnTheirTwipRectanglesInTheirFonts) {
    auto t = makeTestForm();
    Form1& f = *t->form;
    // Widget, button caption, left, top, width, height (0: sized by its content), font size
    // (0: no font of its own), bold.
    const std::tuple<QWidget*, const char*, int, int, int, int, double, bool> controls[] = {
        {f.Command1, "读取", 840, 240, 1335, 855, 0, false},
        {f.Command2, "保存", 2400, 240, 1335, 855, 0, false},
        {f.Command3, "清空", 3960, 240, 1335, 855, 0, false},
        {f.Command4, "打印", 5520, 240, 1335, 855, 0, false},
        {f.Command6, "帮助", 7080, 240, 1335, 855, 0, false},
        {f.Command5, "关闭", 8640, 240, 1335, 855, 0, false},
        {f.Label1, "", 10200, 120, 1695, 375, 12, false},
        {f.Label2, "", 10200, 720, 1695, 375, 12, false},
        {f.TabStrip1, "", 840, 1560, 11055, 0, 12, true},
        {f.Frame1, "", 1440, 2040, 9615, 7095, 0, false},
        {f.grid, "", 1550, 2440, 9615, 6500, 10.5, false},
        {f.StatusBar1, "", 0, 9630, 12780, 495, 9.75, true},
        {f.StatusBar1Panels[0], "", 0, 0, 1500, 0, 9.75, true},  // inside the status bar
        {f.StatusBar1Panels[1], "", 1500, 0, 9700, 0, 9.75, true},
        {f.StatusBar1Panels[2], "", 11200, 0, 1500, 0, 9.75, true},
        {f.HVOLT, "", 7800, 2160, 0, 0, 15, true},  // inside Frame1
        {f.NOISE, "", 7800, 2760, 0, 0, 15, true},
        {f.LOWBAT, "", 7800, 3360, 0, 0, 15, true},
        {f.CLAMP, "", 7800, 3960, 0, 0, 15, true},
    };
    const auto px = [&f](int twips) { return twipsToPixels(twips, f.logicalDpiX()); };
    for (const auto& [widget, caption, left, top, width, height, points, bold] : controls) {
        SCOPED_TRACE(::testing::Message() << left << "," << top);
        EXPECT_EQ(widget->x(), px(left));
        if (top)
            EXPECT_EQ(widget->y(), px(top));
        if (width)
            EXPECT_NEAR(widget->width(), px(width), 1);
        if (height)
            EXPECT_EQ(widget->height(), px(height));
        if (auto* button = qobject_cast<QPushButton*>(widget))
            EXPECT_EQ(button->text(), QString::fromUtf8(caption));
        if (points) {
            EXPECT_EQ(widget->font().family(), QStringLiteral("宋体"));
            EXPECT_EQ(widget->font().pointSizeF(), points);
            EXPECT_EQ(widget->font().bold(), bold);
        }
    }
    for (TwipLabel* indicator : {f.HVOLT, f.NOISE, f.LOWBAT, f.CLAMP})
        EXPECT_EQ(indicator->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    // The record table as shown: columns 1160 twips wide, centred both ways; rows 300 high.
    ASSERT_EQ(f.grid->model()->columnCount(), 8);
    for (int column = 0; column < 8; ++column) {
        EXPECT_EQ(f.grid->columnWidth(column), px(1160));
        for (int row : {0, 1})
            EXPECT_EQ(f.grid->model()->index(row, column).data(Qt::TextAlignmentRole).toInt(),
                      int(Qt::AlignCenter));
    }
    for (int row : {0, 1}) EXPECT_EQ(f.grid->QTableView::rowHeight(row), px(300));
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
    for (const QChar ch : shown)
        EXPECT_TRUE(QFontMetrics(font).inFont(ch)) << "U+" << std::hex << ch.unicode();
    const QString family = QFontInfo(font).family();
    EXPECT_TRUE(simSunStandIns().contains(family) || family == QStringLiteral("宋体"))
        << family.toStdString();
}

}  // namespace
}  // namespace kelvora::testing
