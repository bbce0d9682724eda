#include "charts/soil_model_charts.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace kelvora {

namespace {

constexpr int kCurvePoints = 120;
constexpr double kDepthBeyond = 2;  // the depth axis reaches this far past the deepest interface

}  // namespace

ChartSeriesData modelCurve(ChartPage& page, const soil::SoilModel& model) {
    ChartSeriesData curve;
    curve.name = QCoreApplication::translate("kelvora::charts", "%1层模型").arg(model.layers());
    const double ratio = page.xMax / page.xMin;
    double low = page.yMin, high = page.yMax;
    for (int k = 0; k <= kCurvePoints; ++k) {
        const double a = page.xMin * std::pow(ratio, double(k) / kCurvePoints);
        const double rho = soil::wennerApparentResistivity(model.earth, a);
        if (std::isfinite(rho) && rho > 0) {
            curve.points.push_back({a, rho, 0});
            low = std::min(low, rho);
            high = std::max(high, rho);
        }
    }
    page.yMin = std::pow(10, std::floor(std::log10(low)));
    page.yMax = std::pow(10, std::ceil(std::log10(high)));
    for (ChartPoint& mark : page.overloads.points) {
        mark.y = page.yMax;  // overloads stand at the top of the axis
    }
    return curve;
}

QChartView* makeDepthChart(const soil::SoilModel& model, double longestSpacing, QWidget* parent) {
    double interfaces = 0;
    for (const double h : model.earth.thickness) {
        interfaces += h;
    }
    const double bottom = std::max(interfaces * kDepthBeyond, longestSpacing / 2);
    auto* steps = new QLineSeries;
    steps->setName(QStringLiteral("ρ"));
    QPen pen(QColor(0xd0, 0x60, 0x10));
    pen.setWidthF(2);
    steps->setPen(pen);
    double top = 0;
    for (int i = 0; i < model.layers(); ++i) {
        const bool last = i + 1 == model.layers();
        const double base = last ? bottom : top + model.earth.thickness[size_t(i)];
        steps->append(model.earth.rho[size_t(i)], top);
        steps->append(model.earth.rho[size_t(i)], base);
        top = base;
    }

    auto* chart = new QChart;
    chart->setTitle(QCoreApplication::translate("kelvora::charts", "电阻率随深度"));
    chart->legend()->hide();
    chart->addSeries(steps);
    auto* rhoAxis = new QLogValueAxis;
    rhoAxis->setTitleText(QStringLiteral("ρ/Ωm"));
    rhoAxis->setLabelFormat(QStringLiteral("%g"));
    const auto [low, high] = std::minmax_element(model.earth.rho.begin(), model.earth.rho.end());
    rhoAxis->setRange(std::pow(10, std::floor(std::log10(*low / 1.2))),
                      std::pow(10, std::ceil(std::log10(*high * 1.2))));
    auto* depthAxis = new QValueAxis;
    depthAxis->setTitleText(QCoreApplication::translate("kelvora::charts", "深度/m"));
    depthAxis->setLabelFormat(QStringLiteral("%g"));
    depthAxis->setRange(0, bottom);
    depthAxis->setReverse(true);
    chart->addAxis(rhoAxis, Qt::AlignTop);
    chart->addAxis(depthAxis, Qt::AlignLeft);
    steps->attachAxis(rhoAxis);
    steps->attachAxis(depthAxis);
    auto* view = new QChartView(chart, parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

}  // namespace kelvora
