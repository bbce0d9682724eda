#include "app/window_layout.h"

#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

#include "app/form1.h"
#include "app/twip_label.h"
#include "app/ui_texts.h"
#include "look/fonts.h"
#include "look/twips.h"
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
constexpr int kProgressLeft = 2700;  // twips into the middle panel, right of "读取记录 32767/32767"

// Indicators: fixed places inside Frame1; a width that holds "LOWBAT" at 15 pt bold.
constexpr int kIndicatorLeft = 7800;
constexpr int kFirstIndicatorTop = 2160;
constexpr int kIndicatorPitch = 600;
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

void layOutCommandButtons(Form1& form) {
    for (const ButtonPlace& entry : kButtons) {
        QPushButton& button = *(form.*entry.button);
        setGeometryTwips(button, entry.place);
        button.setFont(simSunFont(9, false));
        button.setIcon(QIcon(QString::fromLatin1(entry.picture)));
        button.setIconSize(QSize(entry.pictureSize, entry.pictureSize));
    }
}

void layOutStatusLabels(Form1& form) {
    for (auto [label, place] : {std::pair{form.Label1, kLabel1}, std::pair{form.Label2, kLabel2}}) {
        label->setFont(simSunFont(12, false));
        label->setFrameStyle(QFrame::Box | QFrame::Plain);
        label->setLineWidth(1);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        label->setGeometryTwips(place.left, place.top, place.width, place.height);
    }
}

// The header takes the top of its rectangle; the rest is the page that Frame1 and the grid lie
// on, above the page in the stacking order.
void layOutTabs(Form1& form, QWidget& client, double dpi) {
    const auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    QTabBar& tabs = *form.TabStrip1;
    tabs.setFont(simSunFont(12, true));
    tabs.setDrawBase(false);
    tabs.setExpanding(false);
    const int headerHeight = tabs.sizeHint().height();
    tabs.setGeometry(px(kTabStrip.left), px(kTabStrip.top), px(kTabStrip.width), headerHeight);

    auto* page = new TabPage(&client);
    page->setObjectName(QStringLiteral("TabStrip1Page"));
    const int overlap = tabs.style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, &tabs);
    const int pageTop = px(kTabStrip.top) + headerHeight - overlap;
    page->setGeometry(px(kTabStrip.left), pageTop, px(kTabStrip.width),
                      px(kTabStrip.top + kTabStrip.height) - pageTop);
    page->lower();
    tabs.raise();
    setGeometryTwips(*form.Frame1, kFrame1);
    form.Frame1->raise();
    form.grid->raise();
}

void styleLivePanel(Form1& form) {
    const QColor panel;        // no colour of its own: the panel's background
    const QColor defaultText;  // no colour of its own: the default text colour
    const int captionWidths[7] = {3360, 1920, 2130, 2370, 720, 720, 1680};
    for (size_t index = 0; index < form.Label3.size(); ++index) {
        styleReadingLabel(*form.Label3[index], {captionWidths[index], 435, panel, defaultText},
                          false);
    }
    const QColor cyan(0, 192, 192);
    const QColor salmon(255, 128, 128);
    const QColor lavender(192, 192, 255);
    const QColor red(255, 0, 0);
    const QColor black(0, 0, 0);
    styleReadingLabel(*form.r[0], {2100, 495, cyan, black}, true);
    styleReadingLabel(*form.p[0], {2100, 495, cyan, black}, true);
    styleReadingLabel(*form.p_length[0], {2100, 495, salmon, black}, true);
    styleReadingLabel(*form.rc[0], {2100, 495, lavender, defaultText}, true);
    styleReadingLabel(*form.rp[0], {2100, 495, lavender, defaultText}, true);
    styleReadingLabel(*form.v[0], {2100, 495, red, black}, true);
    styleReadingLabel(*form.i[0], {2100, 495, cyan, black}, true);

    int indicatorTop = kFirstIndicatorTop;
    for (TwipLabel* indicator : {form.HVOLT, form.NOISE, form.LOWBAT, form.CLAMP}) {
        indicator->setFont(simSunFont(15, true));
        QPalette palette = indicator->palette();
        palette.setColor(QPalette::WindowText, red);
        indicator->setPalette(palette);
        indicator->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        indicator->setGeometryTwips(kIndicatorLeft, indicatorTop, kIndicatorWidth,
                                    kIndicatorHeight);
        indicatorTop += kIndicatorPitch;
    }
}

void layOutStatusBar(Form1& form, double dpi) {
    const auto px = [dpi](int twips) { return twipsToPixels(twips, dpi); };
    setGeometryTwips(*form.StatusBar1, kStatusBar);
    form.StatusBar1->setFont(simSunFont(9.75, true));
    int panelLeft = 0;
    for (size_t index = 0; index < form.StatusBar1Panels.size(); ++index) {
        QLabel& panel = *form.StatusBar1Panels[index];
        const bool fixedText = index == 1;
        panel.setFont(simSunFont(9.75, true));
        panel.setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel.setLineWidth(1);
        panel.setAlignment(fixedText ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
        panel.setIndent(fixedText ? px(60) : -1);
        const int width = kStatusPanelWidths[index];
        // Inset from the bar's top and bottom edges, as status-bar panels are drawn.
        panel.setGeometry(px(panelLeft), 2, px(panelLeft + width) - px(panelLeft),
                          px(kStatusBar.height) - 3);
        panel.setMinimumWidth(px(width));
        // Held at that size, a new text (the clock's, every second) repaints the panel alone
        // instead of laying out the whole bar again.
        panel.setFixedSize(panel.size());
        panelLeft += width;
    }
    // Right of the "读取记录 k/N" text, inside the middle panel.
    const QLabel& middle = *form.StatusBar1Panels[1];
    form.downloadProgress->setGeometry(px(kProgressLeft), 4, middle.width() - px(kProgressLeft) - 6,
                                       middle.height() - 8);
}

}  // namespace

void Form1::layOutControls() {
    installFontSubstitutions();
    setWindowTitle(QString::fromUtf8(texts::kCaption));
    setWindowIcon(QIcon(QStringLiteral(":/resources/kelvora.png")));

    QWidget& client = *centralWidget();
    const double dpi = client.logicalDpiX();
    layOutCommandButtons(*this);
    layOutStatusLabels(*this);
    layOutTabs(*this, client, dpi);
    styleLivePanel(*this);
    layOutStatusBar(*this, dpi);

    // Fixed client area; the window's own size follows from it and the menu bar.
    client.setFixedSize(twipsToPixels(kClientWidthTwips, dpi),
                        twipsToPixels(kClientHeightTwips, dpi));
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
