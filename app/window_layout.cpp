#include "app/window_layout.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "app/fonts.h"
#include "app/form1.h"
#include "app/twip_label.h"
#include "app/twips.h"
#include "app/ui_texts.h"
#include "platform/record_grid.h"

namespace kelvora {

void setGeometryTwips(QWidget& widget, const TwipRect& place) {
    const double dpi = widget.logicalDpiX();
    widget.setGeometry(twipsToPixels(place.left, dpi), twipsToPixels(place.top, dpi),
                       twipsToPixels(place.width, dpi), twipsToPixels(place.height, dpi));
}

namespace {

// The page under the tab header: the header only switches views, Frame1 and grid lie on it.
class TabPage : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionTabWidgetFrame option;
        option.initFrom(this);
        option.shape = QTabBar::RoundedNorth;
        option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
        painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
    }
};

struct ButtonPlace {
    QPushButton* Form1::*button;
    TwipRect place;
    const char* picture;
    int pictureSize;
};

constexpr ButtonPlace kButtons[] = {
    {&Form1::Command1, {840, 240, 1335, 855}, ":/resources/read.png", 32},
    {&Form1::Command2, {2400, 240, 1335, 855}, ":/resources/save.png", 32},
    {&Form1::Command3, {3960, 240, 1335, 855}, ":/resources/clear.png", 32},
    {&Form1::Command4, {5520, 240, 1335, 855}, ":/resources/print.png", 32},
    {&Form1::Command6, {7080, 240, 1335, 855}, ":/resources/help.png", 24},
    {&Form1::Command5, {8640, 240, 1335, 855}, ":/resources/close.png", 32},
};

constexpr TwipRect kLabel1 = {10200, 120, 1695, 375};
constexpr TwipRect kLabel2 = {10200, 720, 1695, 375};
constexpr TwipRect kTabStrip = {840, 1560, 11055, 7815};
constexpr TwipRect kFrame1 = {1440, 2040, 9615, 7095};
constexpr TwipRect kStatusBar = {0, 9630, 12780, 495};
constexpr int kStatusPanelWidths[] = {1500, 9700, 1500};

// Indicators: fixed places inside Frame1; a width that holds "LOWBAT" at 15 pt bold.
constexpr int kIndicatorLeft = 7800;
constexpr int kIndicatorWidth = 1560;
constexpr int kIndicatorHeight = 405;

struct ReadingLabelLook {
    int width;
    int height;
    QColor background;  // invalid: the panel's
    QColor text;        // invalid: the default
};

void styleReadingLabel(TwipLabel& label, const ReadingLabelLook& look, bool isValue) {
    label.setFont(simSunFont(21.75, true));
    label.setGeometryTwips(label.leftTwips(), label.topTwips(), look.width, look.height);
    QPalette palette = label.palette();
    if (look.background.isValid()) {
        palette.setColor(QPalette::Window, look.background);
        label.setAutoFillBackground(true);
    }
    if (look.text.isValid()) {
        palette.setColor(QPalette::WindowText, look.text);
    }
    label.setPalette(palette);
    if (isValue) {
        label.setFrameStyle(QFrame::Box | QFrame::Plain);
        label.setLineWidth(1);
        label.setAlignment(Qt::AlignCenter);
    } else {
        label.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

}  // namespace

void Form1::layOutControls() {
    installFontSubstitutions();
    setWindowTitle(QString::fromUtf8(texts::kCaption));
    setWindowIcon(QIcon(QStringLiteral(":/resources/kelvora.png")));

    QWidget& client = *centralWidget();
    const double dpi = client.logicalDpiX();
    const auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };

    for (const ButtonPlace& entry : kButtons) {
        QPushButton& button = *(this->*entry.button);
        setGeometryTwips(button, entry.place);
        button.setFont(simSunFont(9, false));
        button.setIcon(QIcon(QString::fromLatin1(entry.picture)));
        button.setIconSize(QSize(entry.pictureSize, entry.pictureSize));
    }

    for (auto [label, place] : {std::pair{Label1, kLabel1}, std::pair{Label2, kLabel2}}) {
        label->setFont(simSunFont(12, false));
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setGeometryTwips(place.left, place.top, place.width, place.height);
    }

    // The header takes the top of its rectangle; the rest is the page that Frame1 and the
    // grid lie on.
    TabStrip1->setFont(simSunFont(12, true));
    TabStrip1->setDrawBase(false);
    TabStrip1->setExpanding(false);
    const int headerHeight = TabStrip1->sizeHint().height();
    TabStrip1->setGeometry(px(kTabStrip.left), px(kTabStrip.top), px(kTabStrip.width),
                           headerHeight);
    auto* page = new TabPage(&client);
    page->setObjectName(QStringLiteral("TabStrip1Page"));
    const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, TabStrip1);
    const int pageTop = px(kTabStrip.top) + headerHeight - overlap;
    page->setGeometry(px(kTabStrip.left), pageTop, px(kTabStrip.width),
                      px(kTabStrip.top + kTabStrip.height) - pageTop);
    page->lower();
    TabStrip1->raise();

    setGeometryTwips(*Frame1, kFrame1);
    Frame1->raise();
    grid->raise();

    const QColor kPanel;    // no colour of its own: the panel's background
    const QColor kDefault;  // no colour of its own: the default text colour
    const ReadingLabelLook captionLook[7] = {
        {3360, 435, kPanel, kDefault}, {1920, 435, kPanel, kDefault}, {2130, 435, kPanel, kDefault},
        {2370, 435, kPanel, kDefault}, {720, 435, kPanel, kDefault},  {720, 435, kPanel, kDefault},
        {1680, 435, kPanel, kDefault},
    };
    for (int index = 0; index < 7; ++index) {
        styleReadingLabel(*Label3[index], captionLook[index], false);
    }
    const QColor cyan(0, 192, 192);
    const QColor salmon(255, 128, 128);
    const QColor lavender(192, 192, 255);
    const QColor red(255, 0, 0);
    const QColor black(0, 0, 0);
    styleReadingLabel(*r[0], {2100, 495, cyan, black}, true);
    styleReadingLabel(*p[0], {2100, 495, cyan, black}, true);
    styleReadingLabel(*p_length[0], {2100, 495, salmon, black}, true);
    styleReadingLabel(*rc[0], {2100, 495, lavender, kDefault}, true);
    styleReadingLabel(*rp[0], {2100, 495, lavender, kDefault}, true);
    styleReadingLabel(*v[0], {2100, 495, red, black}, true);
    styleReadingLabel(*i[0], {2100, 495, cyan, black}, true);

    int indicatorTop = 2160;
    for (TwipLabel* indicator : {HVOLT, NOISE, LOWBAT, CLAMP}) {
        indicator->setFont(simSunFont(15, true));
        QPalette palette = indicator->palette();
        palette.setColor(QPalette::WindowText, red);
        indicator->setPalette(palette);
        indicator->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        indicator->setGeometryTwips(kIndicatorLeft, indicatorTop, kIndicatorWidth,
                                    kIndicatorHeight);
        indicatorTop += 600;
    }

    setGeometryTwips(*StatusBar1, kStatusBar);
    StatusBar1->setFont(simSunFont(9.75, true));
    int panelLeft = 0;
    for (size_t index = 0; index < StatusBar1Panels.size(); ++index) {
        QLabel& panel = *StatusBar1Panels[index];
        panel.setFont(simSunFont(9.75, true));
        panel.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel.setLineWidth(1);
        panel.setAlignment(index == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        panel.setIndent(index == 1 ? px(60) : -1);
        const int width = kStatusPanelWidths[index];
        // Inset from the bar's top and bottom edges, as status-bar panels are drawn.
        panel.setGeometry(px(panelLeft), 2, px(panelLeft + width) - px(panelLeft),
                          px(kStatusBar.height) - 3);
        panel.setMinimumWidth(px(width));
        panelLeft += width;
    }

    // Fixed client area; the window's own size follows from it and the menu bar.
    client.setFixedSize(px(kClientWidthTwips), px(kClientHeightTwips));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(),
                                        screen->availableGeometry()));
    }
}

}  // namespace kelvora
