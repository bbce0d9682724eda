#include "charts/trend_chart_view.h"

#include <QChart>
#include <QCoreApplication>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QValueAxis>

#include "files/record_sheet.h"

namespace kelvora {

namespace {

const QColor kThresholdColour(0xd0, 0x80, 0x10);
const QColor kValueColour(0x20, 0x60, 0xc0);

QList<QPointF> pointsOf(const ChartSeriesData& series) {
    QList<QPointF> points;
    for (const ChartPoint& point : series.points) {
        points.append(QPointF(point.x, point.y));
    }
    return points;
}

void addLine(QChart& chart, const TrendChartData& data, double y, const QColor& colour,
             Qt::PenStyle style, const QString& name) {
    auto* line = new QLineSeries;
    QPen pen(colour);
    pen.setStyle(style);
    pen.setWidthF(1.5);
    line->setPen(pen);
    line->setName(name);
    line->append(data.xMin, y);
    line->append(data.xMax, y);
    chart.addSeries(line);
}

QScatterSeries* addMarks(QChart& chart, const ChartSeriesData& series, qreal size,
                         const QColor& colour) {
    auto* marks = new QScatterSeries;
    marks->setName(series.name);
    marks->setMarkerSize(size);
    marks->setColor(colour);
    marks->replace(pointsOf(series));
    chart.addSeries(marks);
    return marks;
}

}  // namespace

QChart* makeTrendChart(const TrendChartData& data, const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);

    auto* xAxis = new QDateTimeAxis;
    xAxis->setFormat(QStringLiteral("yyyy-MM-dd"));
    xAxis->setTitleText(QCoreApplication::translate("kelvora::charts", "测试日期"));
    xAxis->setRange(QDateTime::fromMSecsSinceEpoch(qint64(data.xMin)),
                    QDateTime::fromMSecsSinceEpoch(qint64(data.xMax)));
    QAbstractAxis* yAxis = nullptr;
    if (data.logarithmic) {
        auto* log = new QLogValueAxis;
        log->setBase(10);
        log->setMinorTickCount(-1);
        log->setLabelFormat(QStringLiteral("%g"));
        yAxis = log;
    } else {
        auto* linear = new QValueAxis;
        linear->setLabelFormat(QStringLiteral("%g"));
        // Rounded outwards from a little above the top, so the overload marks stay inside.
        linear->setRange(data.yMin, data.yMax * 1.05);
        linear->applyNiceNumbers();
        yAxis = linear;
    }
    yAxis->setTitleText(QStringLiteral("R/Ω"));
    if (data.logarithmic) {
        yAxis->setRange(data.yMin, data.yMax);
    }
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);

    if (data.limit > 0) {
        addLine(*chart, data, data.limit, Qt::red, Qt::DashLine,
                QCoreApplication::translate("kelvora::charts", "限值 %1 Ω")
                    .arg(plainNumber(data.limit)));
    }
    if (data.threshold > 0) {
        addLine(*chart, data, data.threshold, kThresholdColour, Qt::DotLine,
                QCoreApplication::translate("kelvora::charts", "基准阈值 %1 Ω")
                    .arg(plainNumber(data.threshold)));
    }
    auto* values = new QLineSeries;
    values->setName(data.values.name);
    values->setPointsVisible(true);
    QPen valuePen(kValueColour);
    valuePen.setWidthF(2);
    values->setPen(valuePen);
    values->setColor(kValueColour);
    values->replace(pointsOf(data.values));
    chart->addSeries(values);
    if (!data.flagged.points.empty()) {
        QScatterSeries* flagged = addMarks(*chart, data.flagged, 14, Qt::transparent);
        flagged->setBorderColor(Qt::red);
        QPen ring(Qt::red);
        ring.setWidthF(2);
        flagged->setPen(ring);
    }
    if (!data.overloads.points.empty()) {
        QScatterSeries* overloads = addMarks(*chart, data.overloads, 11, Qt::red);
        overloads->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
        overloads->setBorderColor(Qt::darkRed);
    }
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(xAxis);
        series->attachAxis(yAxis);
    }
    return chart;
}

}  // namespace kelvora
