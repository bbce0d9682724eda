#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>

#include "app/fonts.h"
#include "app/twip_label.h"
#include "app/twips.h"
#include "platform/record_grid.h"
#include "support/fake_platform.h"

namespace kelvora::testing {
namespace {

struct Twips {
    int left, top, width, height;
};

QRect pixelsOf(const QWidget& widget, const Twips& twips) {
    const double dpi = widget.logicalDpiX();
    return QRect(twipsToPixels(twips.left, dpi), twipsToPixels(twips.top, dpi),
                 twipsToPixels(twips.width, dpi), twipsToPixels(twips.height, dpi));
}

int px(const QWidget& widget, int twips) {
    return twipsToPixels(twips, widget.logicalDpiX());
}

void expectSimSun(const QFont& font, double points, bool bold) {
    EXPECT_EQ(font.family(), QStringLiteral("宋体"));
    EXPECT_DOUBLE_EQ(font.pointSizeF(), points);
    EXPECT_EQ(font.bold(), bold);
}

class WindowLayout : public ::testing::Test {
protected:
    std::unique_ptr<TestForm> t = makeTestForm();
    Form1& f = *t->form;
};

TEST_F(WindowLayout, WindowCaptionIconAndFixedClientArea) {
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Kelvora"));
    EXPECT_FALSE(f.windowIcon().isNull());
    EXPECT_TRUE(f.windowIcon().availableSizes().contains(QSize(32, 32)));
    const QWidget& client = *f.centralWidget();
    EXPECT_EQ(client.size(), QSize(px(f, 12780), px(f, 10125)));
    f.show();
    // The menu bar lies above the client area, not over it.
    EXPECT_GE(client.geometry().top(), f.menuBar()->geometry().bottom());
    EXPECT_EQ(f.minimumSize(), f.maximumSize());
    EXPECT_EQ(client.size(), QSize(px(f, 12780), px(f, 10125)));
    EXPECT_FALSE(f.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
}

TEST_F(WindowLayout, WindowStartsCentredOnTheScreen) {
    const QRect screen = f.screen()->availableGeometry();
    const QPoint offset = f.geometry().center() - screen.center();
    EXPECT_LE(std::abs(offset.x()), 1);
    EXPECT_LE(std::abs(offset.y()), 1);
}

struct ButtonCase {
    const char* name;
    QPushButton* Form1::*button;
    const char* caption;
    Twips place;
    int pictureSize;
};

class WindowButtons : public WindowLayout, public ::testing::WithParamInterface<ButtonCase> {};

TEST_P(WindowButtons, PlaceCaptionAndPicture) {
    const ButtonCase& c = GetParam();
    QPushButton& button = *(f.*c.button);
    EXPECT_EQ(button.text(), QString::fromUtf8(c.caption));
    EXPECT_EQ(button.geometry(), pixelsOf(button, c.place));
    EXPECT_FALSE(button.icon().isNull());
    EXPECT_TRUE(button.icon().availableSizes().contains(QSize(c.pictureSize, c.pictureSize)));
    EXPECT_EQ(button.iconSize(), QSize(c.pictureSize, c.pictureSize));
    EXPECT_TRUE(button.isEnabled());
}

// The picture is drawn above the caption: its coloured pixels end before the caption's dark
// pixels do.
TEST_P(WindowButtons, PictureStandsAboveTheCaption) {
    QPushButton& button = *(f.*GetParam().button);
    f.show();
    const QImage image = button.grab().toImage().convertToFormat(QImage::Format_RGB32);
    int colourTop = image.height(), colourBottom = -1, textBottom = -1;
    for (int y = 2; y < image.height() - 2; ++y) {
        for (int x = 2; x < image.width() - 2; ++x) {
            const QColor colour = QColor::fromRgb(image.pixel(x, y));
            if (colour.hsvSaturation() > 100 && colour.value() > 80) {
                colourTop = std::min(colourTop, y);
                colourBottom = std::max(colourBottom, y);
            } else if (colour.value() < 60) {
                textBottom = std::max(textBottom, y);
            }
        }
    }
    ASSERT_GE(colourBottom, 0) << "no picture drawn";
    EXPECT_LT(colourBottom, textBottom);
    EXPECT_LT(colourTop, image.height() / 2);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, WindowButtons,
    ::testing::Values(ButtonCase{"Command1", &Form1::Command1, "读取", {840, 240, 1335, 855}, 32},
                      ButtonCase{"Command2", &Form1::Command2, "保存", {2400, 240, 1335, 855}, 32},
                      ButtonCase{"Command3", &Form1::Command3, "清空", {3960, 240, 1335, 855}, 32},
                      ButtonCase{"Command4", &Form1::Command4, "打印", {5520, 240, 1335, 855}, 32},
                      ButtonCase{"Command6", &Form1::Command6, "帮助", {7080, 240, 1335, 855}, 24},
                      ButtonCase{"Command5", &Form1::Command5, "关闭", {8640, 240, 1335, 855}, 32}),
    [](const ::testing::TestParamInfo<ButtonCase>& info) { return std::string(info.param.name); });

TEST_F(WindowLayout, StatusLabelsAtTheTopRight) {
    const struct {
        TwipLabel* label;
        const char* text;
        Twips place;
    } cases[] = {{f.Label1, "串口状态", {10200, 120, 1695, 375}},
                 {f.Label2, "通信失败", {10200, 720, 1695, 375}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.label->text(), QString::fromUtf8(c.text));
        EXPECT_EQ(c.label->geometry(), pixelsOf(*c.label, c.place));
        EXPECT_EQ(c.label->frameShape(), QFrame::Box);
        EXPECT_EQ(c.label->frameShadow(), QFrame::Plain);
        EXPECT_EQ(c.label->lineWidth(), 1);
        expectSimSun(c.label->font(), 12, false);
        EXPECT_TRUE(c.label->isVisible() || !c.label->isHidden());
    }
}

TEST_F(WindowLayout, TabHeaderAndItsPage) {
    ASSERT_EQ(f.TabStrip1->count(), 2);
    EXPECT_EQ(f.TabStrip1->tabText(0), QStringLiteral("实时监控"));
    EXPECT_EQ(f.TabStrip1->tabText(1), QStringLiteral("历史查询"));
    EXPECT_EQ(f.TabStrip1->currentIndex(), 0);
    expectSimSun(f.TabStrip1->font(), 12, true);
    const QRect area = pixelsOf(f, {840, 1560, 11055, 7815});
    EXPECT_EQ(f.TabStrip1->geometry().topLeft(), area.topLeft());
    EXPECT_EQ(f.TabStrip1->width(), area.width());
    // The header's tabs fit above Frame1, which starts 480 twips lower.
    EXPECT_LE(f.TabStrip1->geometry().bottom(), px(f, 2040));

    const QWidget* page = f.centralWidget()->findChild<QWidget*>(QStringLiteral("TabStrip1Page"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->geometry().left(), area.left());
    EXPECT_EQ(page->geometry().right(), area.right());
    EXPECT_EQ(page->geometry().bottom(), area.bottom());
    // Frame1 and the grid lie over the page.
    const QWidgetList stacking = [&] {
        QWidgetList list;
        for (QObject* child : f.centralWidget()->children()) {
            if (child->isWidgetType())
                list << static_cast<QWidget*>(child);
        }
        return list;
    }();
    EXPECT_LT(stacking.indexOf(const_cast<QWidget*>(page)), stacking.indexOf(f.Frame1));
}

TEST_F(WindowLayout, LivePanelAndStatusBar) {
    EXPECT_EQ(f.Frame1->geometry(), pixelsOf(f, {1440, 2040, 9615, 7095}));
    EXPECT_FALSE(f.Frame1->isHidden());
    EXPECT_TRUE(f.grid->isHidden());

    EXPECT_EQ(f.StatusBar1->geometry(), pixelsOf(f, {0, 9630, 12780, 495}));
    const int widths[] = {1500, 9700, 1500};
    int left = 0;
    for (int index = 0; index < 3; ++index) {
        SCOPED_TRACE(index);
        QLabel* panel = f.StatusBar1Panels[static_cast<size_t>(index)];
        EXPECT_EQ(panel->parentWidget(), f.StatusBar1);
        EXPECT_EQ(panel->geometry().left(), px(f, left));
        EXPECT_EQ(panel->geometry().right() + 1, px(f, left + widths[index]));
        EXPECT_GE(panel->minimumWidth(), px(f, widths[index]));
        EXPECT_LE(panel->geometry().bottom(), f.StatusBar1->height());
        expectSimSun(panel->font(), 9.75, true);
        left += widths[index];
    }
    EXPECT_EQ(f.StatusBar1Panels[1]->text(), QStringLiteral("Kelvora"));
}

struct ReadingLook {
    const char* name;
    const char* text;
    int width, height;
    QColor background;  // invalid: the panel's
    QColor textColour;  // invalid: the default
    bool boxed;
};

TwipLabel* readingLabel(Form1& f, const std::string& name) {
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

TEST_F(WindowLayout, ReadingLabelsSizesColoursBordersAndFont) {
    const QColor none;
    const QColor black(0, 0, 0);
    const ReadingLook looks[] = {
        {"Label3(0)", "EARTH VOLTAGE:", 3360, 435, none, none, false},
        {"Label3(1)", "R EARTH:", 1920, 435, none, none, false},
        {"Label3(2)", "ρ EARTH:", 2130, 435, none, none, false},
        {"Label3(3)", "ρ LENGTH:", 2370, 435, none, none, false},
        {"Label3(4)", "Rc:", 720, 435, none, none, false},
        {"Label3(5)", "Rp:", 720, 435, none, none, false},
        {"Label3(6)", "Iclamp:", 1680, 435, none, none, false},
        {"r", "0.00 Ω", 2100, 495, QColor(0, 192, 192), black, true},
        {"p", "0.00 Ωm", 2100, 495, QColor(0, 192, 192), black, true},
        {"p_length", "0.00 m", 2100, 495, QColor(255, 128, 128), black, true},
        {"rc", "0.00 KΩ", 2100, 495, QColor(192, 192, 255), none, true},
        {"rp", "0.00 KΩ", 2100, 495, QColor(192, 192, 255), none, true},
        {"v", "0.0 V", 2100, 495, QColor(255, 0, 0), black, true},
        {"i", "0.00 mA", 2100, 495, QColor(0, 192, 192), black, true},
    };
    const QPalette panel = f.Frame1->palette();
    for (const ReadingLook& look : looks) {
        SCOPED_TRACE(look.name);
        TwipLabel& label = *readingLabel(f, look.name);
        EXPECT_EQ(label.parentWidget(), f.Frame1);
        EXPECT_EQ(label.text(), QString::fromUtf8(look.text));
        EXPECT_EQ(label.widthTwips(), look.width);
        EXPECT_EQ(label.heightTwips(), look.height);
        EXPECT_EQ(label.size(), QSize(px(label, look.width), px(label, look.height)));
        expectSimSun(label.font(), 21.75, true);
        if (look.background.isValid()) {
            EXPECT_TRUE(label.autoFillBackground());
            EXPECT_EQ(label.palette().color(QPalette::Window), look.background);
        } else {
            EXPECT_FALSE(label.autoFillBackground());
        }
        const QColor expectedText =
            look.textColour.isValid() ? look.textColour : panel.color(QPalette::WindowText);
        EXPECT_EQ(label.palette().color(QPalette::WindowText), expectedText);
        EXPECT_EQ(label.frameShape(), look.boxed ? QFrame::Box : QFrame::NoFrame);
        if (look.boxed) {
            EXPECT_EQ(label.lineWidth(), 1);
            EXPECT_EQ(label.alignment(), Qt::AlignCenter);
        } else {
            EXPECT_FALSE(label.alignment() & Qt::AlignHCenter);
        }
    }
}

TEST_F(WindowLayout, IndicatorsRedAtTheirFixedPlaces) {
    const struct {
        TwipLabel* label;
        const char* text;
        int top;
    } indicators[] = {{f.HVOLT, "HVOLT", 2160},
                      {f.NOISE, "NOISE", 2760},
                      {f.LOWBAT, "LOWBAT", 3360},
                      {f.CLAMP, "CLAMP", 3960}};
    for (const auto& c : indicators) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.label->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(c.label->parentWidget(), f.Frame1);
        EXPECT_EQ(c.label->leftTwips(), 7800);
        EXPECT_EQ(c.label->topTwips(), c.top);
        EXPECT_EQ(c.label->pos(), QPoint(px(f, 7800), px(f, c.top)));
        expectSimSun(c.label->font(), 15, true);
        EXPECT_EQ(c.label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        EXPECT_FALSE(c.label->isHidden());
        // The whole word fits the label.
        EXPECT_LE(QFontMetrics(c.label->font()).horizontalAdvance(c.label->text()),
                  c.label->contentsRect().width());
    }
}

// Every caption, reading and unit renders from a real face: no boxes for 宋体 where it is
// missing, and ρ and Ω are there too.
TEST(WindowFonts, SimSunResolvesToAFaceWithEveryGlyphTheWindowShows) {
    installFontSubstitutions();
    const QString shown = QStringLiteral(
        "读取保存清空打印帮助关闭串口状态通信失败成功实时监控历史查询文件操作关于软件"
        "ρΩ EARTH: LENGTH: Rc Rp Iclamp: 0.00 KΩm mA V");
    for (const double points : {9.0, 9.75, 12.0, 15.0, 21.75}) {
        SCOPED_TRACE(points);
        const QFont font = simSunFont(points, true);
        const QFontMetrics metrics(font);
        for (const QChar ch : shown) {
            EXPECT_TRUE(metrics.inFont(ch)) << "missing glyph U+" << std::hex << ch.unicode();
        }
        const QString family = QFontInfo(font).family();
        const QStringList candidates = simSunStandIns();
        EXPECT_TRUE(candidates.contains(family) || family == QStringLiteral("宋体"))
            << family.toStdString();
    }
}

TEST(WindowFonts, SubstitutionsCanBeInstalledTwiceWithoutGrowing) {
    installFontSubstitutions();
    const QStringList first = QFont::substitutes(QStringLiteral("宋体"));
    installFontSubstitutions();
    EXPECT_EQ(QFont::substitutes(QStringLiteral("宋体")), first);
    EXPECT_FALSE(first.contains(QStringLiteral("宋体")));
    EXPECT_TRUE(first.contains(QStringLiteral("WenQuanYi Zen Hei"), Qt::CaseInsensitive))
        << first.join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(QFont::substitutes(QStringLiteral("SimSun")).contains(QStringLiteral("SimSun")));
}

TEST(WindowFonts, FractionalPointSizesAreKept) {
    for (const double points : {9.75, 21.75, 15.0}) {
        EXPECT_DOUBLE_EQ(simSunFont(points, false).pointSizeF(), points);
        EXPECT_FALSE(simSunFont(points, false).bold());
        EXPECT_TRUE(simSunFont(points, true).bold());
    }
}

// The drawn pictures, as the program loads them: the right size, and not blank.
TEST(WindowResources, PicturesHaveTheirSizesAndContent) {
    const struct {
        const char* name;
        int size;
    } pictures[] = {{"kelvora", 32}, {"read", 32},  {"save", 32}, {"clear", 32},
                    {"print", 32},   {"close", 32}, {"help", 24}};
    for (const auto& picture : pictures) {
        for (const int scale : {1, 2}) {
            const QString path = QStringLiteral(":/resources/%1%2.png")
                                     .arg(QString::fromLatin1(picture.name),
                                          scale == 2 ? QStringLiteral("@2x") : QString());
            SCOPED_TRACE(path.toStdString());
            const QImage image(path);
            ASSERT_FALSE(image.isNull());
            EXPECT_EQ(image.size(), QSize(picture.size * scale, picture.size * scale));
            EXPECT_TRUE(image.hasAlphaChannel());
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    opaque += qAlpha(image.pixel(x, y)) > 200 ? 1 : 0;
                }
            }
            // Drawn, yet with a transparent surround.
            EXPECT_GT(opaque, image.width() * image.height() / 5);
            EXPECT_LT(opaque, image.width() * image.height());
        }
    }
}

TEST(WindowResources, DesktopEntryStartsTheProgramWithItsIcon) {
    // The source tree's resources/, found lexically: tests/data need not exist.
    QFile file(
        QDir::cleanPath(QStringLiteral(KELVORA_TEST_DATA_DIR "/../../resources/kelvora.desktop")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), QStringLiteral("[Desktop Entry]"));
    for (const char* entry :
         {"Type=Application", "Name=Kelvora", "Exec=kelvora", "Icon=kelvora", "Terminal=false"}) {
        EXPECT_TRUE(lines.contains(QString::fromLatin1(entry))) << entry;
    }
}

}  // namespace
}  // namespace kelvora::testing
