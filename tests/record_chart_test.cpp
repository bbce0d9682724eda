#include <gtest/gtest.h>

#include <QChartView>
#include <QImage>
#include <QMenu>
#include <QTabWidget>
#include <QTemporaryDir>

#include "app/record_chart_window.h"
#include "platform/record_grid.h"
#include "save_test_support.h"
#include "support/fake_platform.h"
#include "support/qt_print.h"

namespace kelvora::testing {
namespace {

Reading reading(uint16_t main, uint8_t code, uint16_t rc = 0, uint16_t rp = 0,
                uint16_t length = 0) {
    auto raw = [](uint16_t value) { return RawValue{uint8_t(value >> 8), uint8_t(value)}; };
    return {raw(main), code, 0, raw(rc), raw(rp), raw(length)};
}

// A mixed download as the model holds it.
void fillMixed(RecordModel& records) {
    const Reading kRecords[] = {
        reading(1234, 0x22, 200, 300),     // 1: R 12.34KΩ
        reading(10000, 0x12, 10000, 300),  // 2: R and Rc overloaded
        reading(1234, 0x31, 0, 0, 50),     // 3: ρ 123.4Ωm at 5.0m
        reading(500, 0x40, 0, 0, 20),      // 4: ρ 500KΩm at 2.0m
        reading(10000, 0x31, 0, 0, 100),   // 5: ρ overloaded at 10.0m
        reading(1234, 0x31, 0, 0, 0),      // 6: ρ at 0m: no place on a log axis
        reading(500, 0x51),                // 7: 50.0V
        reading(12345, 0x70),              // 8: 12345mA
        reading(1, 0x92),                  // 9: unknown unit
    };
    for (int k = 1; k <= int(std::size(kRecords)); ++k) {
        records.take(k, kRecords[k - 1]);
    }
}

QString describe(const ChartSeriesData& series) {
    QStringList points = series.secondAxis ? QStringList{"(right)"} : QStringList{};
    for (const ChartPoint& point : series.points) {
        points << QStringLiteral("%1:%2,%3").arg(point.record).arg(point.x).arg(point.y);
    }
    return series.name + QLatin1Char(' ') + points.join(QLatin1Char(' '));
}

TEST(RecordChart, SeriesOfAMixedDownload) {
    RecordModel records;
    fillMixed(records);
    QStringList pages;
    for (const ChartPage& page : chartPages(records)) {
        QStringList lines = {page.title + (page.logarithmic ? " log " : " linear ") + page.xTitle +
                             " / " + page.yTitle +
                             QStringLiteral(" y %1..%2").arg(page.yMin).arg(page.yMax)};
        if (!page.y2Title.isEmpty()) {
            lines[0] +=
                QStringLiteral(", %1 %2..%3").arg(page.y2Title).arg(page.y2Min).arg(page.y2Max);
        }
        for (const ChartSeriesData& series : page.series) {
            lines << describe(series);
        }
        lines << describe(page.overloads);
        for (int record : page.notDrawn) {
            lines << QStringLiteral("not drawn %1").arg(record);
        }
        pages << lines.join('\n');
    }
    EXPECT_EQ(pages,
              QStringList({"接地电阻 linear 记录号 / R/Ω y 0..13574, Rc, Rp/Ω 0..3300\n"
                           "R 1:1,12340\nRc (right) 1:1,2000\nRp (right) 1:1,3000 2:2,3000\n"
                           "过载 2:2,13574 2:2,13574",
                           "土壤电阻率 log ρ长度/m / ρ/Ωm y 100..1e+06\n"
                           "ρ 4:2,500000 3:5,123.4\n过载 5:10,1e+06\nnot drawn 6",
                           "地电压 linear 记录号 / V/V y 0..55\nV 7:7,50\n过载 ",
                           "钳形电流 linear 记录号 / I/A y 0..13.5795\nI 8:8,12.345\n过载 "}));
}

// Earth resistances are separate measurements: points against the limit, on a logarithmic y
// axis only when they span more than two decades (8 Ω beside 2.35 kΩ).
TEST(RecordChart, EarthResistanceIsPointsAgainstTheLimit) {
    const std::pair<std::vector<uint16_t>, bool> cases[] = {
        {{80, 23500}, true}, {{80, 120}, false}, {{0, 23500}, false}};  // tenths of an ohm
    for (const auto& [raws, logarithmic] : cases) {
        RecordModel records;
        for (size_t k = 0; k < raws.size(); ++k) {
            records.take(int(k + 1), reading(raws[k], 0x11));
        }
        records.take(int(raws.size() + 1), reading(500, 0x51));
        const std::vector<ChartPage> pages = chartPages(records, 4);
        ASSERT_EQ(pages.size(), 2u);
        EXPECT_TRUE(pages[0].pointsOnly);
        EXPECT_EQ(pages[0].limit, 4);
        EXPECT_EQ(pages[0].yLogarithmic, logarithmic) << raws[1];
        EXPECT_TRUE(pages[0].yMin < 4 && pages[0].yMax > 4);  // the limit line shows
        EXPECT_FALSE(pages[1].pointsOnly || pages[1].yLogarithmic || pages[1].limit > 0);
    }
}

// A picture, not a blank: a fair share of its pixels differ from its corner's.
bool holdsPicture(const QImage& image) {
    qsizetype unlike = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) unlike += image.pixel(x, y) != image.pixel(0, 0);
    return !image.isNull() && unlike * 50 > qsizetype(image.width()) * image.height();
}

// The path and text operators in a PDF's compressed streams, inflated.
int pdfDrawingOps(const QByteArray& pdf) {
    int ops = 0;
    for (qsizetype at = pdf.indexOf("stream\n"); at >= 0; at = pdf.indexOf("stream\n", at + 1)) {
        const qsizetype begin = at + 7, end = pdf.indexOf("endstream", begin);
        if (!pdf.mid(pdf.lastIndexOf("<<", at), at).contains("/FlateDecode"))
            continue;
        const QByteArray hint("\x00\x10\x00\x00", 4);  // a size to start inflating with
        const QByteArray text = qUncompress(hint + pdf.mid(begin, end - begin));
        for (const char* op : {" l\n", " c\n", " re\n", "Tj\n", "TJ\n"}) ops += text.count(op);
    }
    return ops;
}

// The menu item opens the window without a dialog; it saves PNG and PDF through the shared
// dialog without changing the type the main Save remembers, and follows an emptied table.
TEST(RecordChart, WindowOpensSavesAndFollowsClear) {
    QTemporaryDir dir;
    auto t = makeTestForm(dir.filePath("Kelvora"));
    Form1& f = *t->form;
    EXPECT_EQ(f.mnuoperate->actions().last(), f.mnuchart);
    EXPECT_EQ(f.mnuchart->text(), QStringLiteral("记录图表"));
    fillMixed(f.records);
    f.mnuchart->trigger();
    ASSERT_NE(f.chartWindow, nullptr);
    EXPECT_EQ(f.chartWindow->windowTitle(), QStringLiteral("记录图表"));
    EXPECT_EQ(f.chartWindow->tabs()->count(), 4);
    f.chartWindow->tabs()->setCurrentIndex(1);

    t->dialog->filterIndex = 2;  // the main Save's last choice
    const QString png = dir.filePath("chart.png"), pdf = dir.filePath("chart.pdf");
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, png, 1, {}});
    t->dialog->answers.push_back({{DialogOutcome::Accepted, {}}, pdf, 2, {}});
    f.chartWindow->saveChart();
    f.chartWindow->saveChart();
    ASSERT_EQ(t->dialog->shownSaves.size(), 2);
    EXPECT_EQ(t->dialog->shownSaves[1][1],
              QStringLiteral("PNG 图片(*.png)|*.png|PDF 文件(*.pdf)|*.pdf|"));
    EXPECT_EQ(t->dialog->shownSaves[0][2] + t->dialog->shownSaves[1][2], ".png.png");
    EXPECT_EQ(t->dialog->filterIndex, 2);
    // The soil tab, saved before the event loop laid it out, as a picture in both files.
    ASSERT_EQ(f.chartWindow->pages()[1].mode, MeasuringMode::SoilResistivity);
    EXPECT_TRUE(holdsPicture(QImage::fromData(readBytes(png), "PNG")));
    EXPECT_TRUE(readBytes(pdf).startsWith("%PDF"));
    EXPECT_GE(pdfDrawingOps(readBytes(pdf)), 100);
    EXPECT_TRUE(t->messages->shown.isEmpty());

    f.Command3_Click();
    f.chartWindow->rebuild();
    EXPECT_EQ(f.chartWindow->tabs()->count(), 0);
    f.records.take(1, reading(500, 0x51));
    f.chartWindow->rebuild();
    EXPECT_EQ(f.chartWindow->tabs()->tabText(0), QStringLiteral("地电压"));
}

}  // namespace
}  // namespace kelvora::testing
