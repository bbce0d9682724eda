#include "report/report_charts.h"

#include <QChart>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "charts/record_chart_view.h"
#include "charts/soil_model_charts.h"

namespace kelvora::report {

namespace {

constexpr double kChartWidth = 760;  // scene pixels; the chart is scaled into its place
constexpr double kHeadroom = 1.2;

void decades(double low, double high, double& min, double& max) {
    min = std::pow(10, std::floor(std::log10(low / kHeadroom)));
    max = std::pow(10, std::ceil(std::log10(high * kHeadroom)));
}

}  // namespace

ChartPage resistanceChart(const std::vector<ReportRecord>& records, double limitOhm) {
    ChartPage page;
    page.mode = MeasuringMode::EarthResistance;
    page.xTitle = QCoreApplication::translate("kelvora::report", "记录号");
    page.yTitle = QStringLiteral("R/Ω");
    page.pointsOnly = true;
    page.limit = limitOhm;
    page.series.push_back({QStringLiteral("R"), false, {}});
    page.overloads.name = QCoreApplication::translate("kelvora::report", "超量程");
    double low = HUGE_VAL, high = 0, first = HUGE_VAL, last = -HUGE_VAL;
    for (const ReportRecord& record : records) {
        if (record.missing || record.mode != MeasuringMode::EarthResistance) {
            continue;
        }
        first = std::min(first, double(record.number));
        last = std::max(last, double(record.number));
        if (const std::optional<double> r = record.value(ValueSlot::R)) {
            page.series[0].points.push_back({double(record.number), *r, record.number});
            low = std::min(low, *r);
            high = std::max(high, *r);
        } else if (record.overload(ValueSlot::R)) {
            page.overloads.points.push_back({double(record.number), 0, record.number});
        }
    }
    page.xMin = first - 0.5;
    page.xMax = last + 0.5;
    // As in the chart window: the readings' own span decides, then the limit must show.
    page.yLogarithmic = low > 0 && high > 100 * low;
    low = std::min(low, limitOhm);
    high = std::max(high, limitOhm);
    if (page.yLogarithmic) {
        decades(low, high, page.yMin, page.yMax);
    } else {
        page.yMin = 0;
        page.yMax = high * 1.1;
    }
    for (ChartPoint& mark : page.overloads.points) {
        mark.y = page.yMax;
    }
    return page;
}

ChartPage surveyChart(const std::vector<ReportRecord>& records) {
    ChartPage page;
    page.mode = MeasuringMode::SoilResistivity;
    page.logarithmic = true;
    page.xTitle = QCoreApplication::translate("kelvora::report", "ρ长度/m");
    page.yTitle = QStringLiteral("ρ/Ωm");
    page.series.push_back({QStringLiteral("ρ"), false, {}});
    double xLow = HUGE_VAL, xHigh = 0, yLow = HUGE_VAL, yHigh = 0;
    for (const ReportRecord& record : records) {
        const std::optional<double> rho = record.value(ValueSlot::Rho);
        const std::optional<double> a = record.value(ValueSlot::RhoLength);
        if (record.mode == MeasuringMode::SoilResistivity && rho && a && *rho > 0 && *a > 0) {
            page.series[0].points.push_back({*a, *rho, record.number});
            xLow = std::min(xLow, *a);
            xHigh = std::max(xHigh, *a);
            yLow = std::min(yLow, *rho);
            yHigh = std::max(yHigh, *rho);
        }
    }
    if (xHigh > 0) {
        decades(xLow, xHigh, page.xMin, page.xMax);
        decades(yLow, yHigh, page.yMin, page.yMax);
    }
    return page;
}

void paintChart(QPainter& painter, const QRectF& target, ChartPage page,
                const soil::SoilModel* model) {
    ChartSeriesData curve;
    if (model != nullptr) {
        curve = modelCurve(page, *model);
    }
    QGraphicsScene scene;  // owns the chart
    QChart* chart = makeChart(page, model != nullptr ? &curve : nullptr);
    chart->resize(kChartWidth, kChartWidth * target.height() / target.width());
    scene.addItem(chart);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, target, QRectF(QPointF(0, 0), chart->size()));
    painter.restore();
}

}  // namespace kelvora::report
