#include "charts/record_chart_view.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QCursor>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QScatterSeries>
#include <QToolTip>
#include <QValueAxis>
#include <cmath>
#include <memory>

#include "files/record_sheet.h"

namespace kelvora {

namespace {

// Markers on every point only while they can still be told apart.
constexpr size_t kMarkedPointLimit = 200;
constexpr qreal kOverloadMarkerSize = 11;
constexpr qreal kMeasuredMarkerSize = 9;
const QColor kModelColour(0xd0, 0x60, 0x10);

QAbstractAxis* makeAxis(bool logarithmic, const QString& title, double min, double max) {
    QAbstractAxis* axis = nullptr;
    if (logarithmic) {
        auto* log = new QLogValueAxis;
        log->setBase(10);
        log->setLabelFormat(QStringLiteral("%g"));
        log->setMinorTickCount(-1);
        axis = log;
    } else {
        auto* linear = new QValueAxis;
        linear->setLabelFormat(QStringLiteral("%g"));
        axis = linear;
    }
    axis->setTitleText(title);
    axis->setRange(min, max);
    return axis;
}

// Ticks on round numbers, 1, 2, 2.5 or 5 times a power of ten apart, about six of them;
// record numbers are whole, so their ticks are at least 1 apart.
void tickOnRoundNumbers(QValueAxis& axis, double min, double max, double smallestStep) {
    const double wanted = std::max(smallestStep, (max - min) / 6);
    const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
    double step = decade;
    for (double factor : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        step = factor * decade;
        if (step >= wanted) {
            break;
        }
    }
    axis.setTickType(QValueAxis::TicksDynamic);
    axis.setTickAnchor(0);
    axis.setTickInterval(step);
}

// The point of `series` nearest to where the mouse is, in the axes' own scale.
const ChartPoint* nearestPoint(const ChartSeriesData& series, const QPointF& at, bool logarithmic) {
    const ChartPoint* nearest = nullptr;
    double best = HUGE_VAL;
    for (const ChartPoint& point : series.points) {
        const double dx = logarithmic ? std::log(point.x / at.x()) : point.x - at.x();
        const double dy = logarithmic ? std::log(point.y / at.y()) : 0;
        const double distance = dx * dx + dy * dy;
        if (distance < best) {
            best = distance;
            nearest = &point;
        }
    }
    return nearest;
}

QString pointText(const ChartPage& page, const ChartSeriesData& series, const ChartPoint& point) {
    QString text = QCoreApplication::translate("kelvora::charts", "记录 %1").arg(point.record) +
                   QLatin1Char('\n');
    if (&series == &page.overloads) {
        return text + QCoreApplication::translate("kelvora::charts", "过载 (OL)");
    }
    if (page.logarithmic) {
        text += QStringLiteral("%1 = %2\n").arg(page.xTitle, plainNumber(point.x));
    }
    return text + QStringLiteral("%1 = %2").arg(series.name, plainNumber(point.y));
}

void showPointOnHover(QXYSeries* drawn, const std::shared_ptr<const ChartPage>& page,
                      const ChartSeriesData& series) {
    QObject::connect(drawn, &QXYSeries::hovered, drawn,
                     [page, &series](const QPointF& at, bool entered) {
                         const ChartPoint* point = nearestPoint(series, at, page->logarithmic);
                         if (!entered || point == nullptr) {
                             QToolTip::hideText();
                             return;
                         }
                         QToolTip::showText(QCursor::pos(), pointText(*page, series, *point));
                     });
}

QList<QPointF> pointsOf(const ChartSeriesData& series) {
    QList<QPointF> points;
    points.reserve(qsizetype(series.points.size()));
    for (const ChartPoint& point : series.points) {
        points.append(QPointF(point.x, point.y));
    }
    return points;
}

}  // namespace

QChartView* makeChartView(const ChartPage& page, QWidget* parent, const ChartSeriesData* model) {
    auto* view = new QChartView(makeChart(page, model), parent);
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

QChart* makeChart(const ChartPage& shownPage, const ChartSeriesData* model) {
    const auto page = std::make_shared<const ChartPage>(shownPage);
    auto* chart = new QChart;
    QString title = page->title;
    if (!page->notDrawn.empty()) {
        QStringList numbers;
        for (size_t n = 0; n < page->notDrawn.size() && n < 10; ++n) {
            numbers << QString::number(page->notDrawn[n]);
        }
        if (page->notDrawn.size() > 10) {
            numbers << QStringLiteral("…");
        }
        title += QCoreApplication::translate("kelvora::charts", "（无法绘出的记录：%1）")
                     .arg(numbers.join(QStringLiteral(", ")));
    }
    chart->setTitle(title);
    QAbstractAxis* xAxis = makeAxis(page->logarithmic, page->xTitle, page->xMin, page->xMax);
    const bool yLogarithmic = page->logarithmic || page->yLogarithmic;
    QAbstractAxis* yAxis = makeAxis(yLogarithmic, page->yTitle, page->yMin, page->yMax);
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    QAbstractAxis* y2Axis = nullptr;
    if (!page->y2Title.isEmpty()) {
        y2Axis = makeAxis(page->logarithmic, page->y2Title, page->y2Min, page->y2Max);
        chart->addAxis(y2Axis, Qt::AlignRight);
    }
    if (!page->logarithmic) {
        tickOnRoundNumbers(*static_cast<QValueAxis*>(xAxis), page->xMin, page->xMax, 1);
        if (!yLogarithmic) {
            tickOnRoundNumbers(*static_cast<QValueAxis*>(yAxis), page->yMin, page->yMax, 0);
        }
        if (y2Axis != nullptr) {
            tickOnRoundNumbers(*static_cast<QValueAxis*>(y2Axis), page->y2Min, page->y2Max, 0);
        }
    }

    auto attach = [&](QXYSeries* drawn, const ChartSeriesData& series) {
        drawn->setName(series.name);
        drawn->replace(pointsOf(series));
        chart->addSeries(drawn);
        drawn->attachAxis(xAxis);
        drawn->attachAxis(series.secondAxis && y2Axis != nullptr ? y2Axis : yAxis);
        showPointOnHover(drawn, page, series);
    };
    if (model != nullptr) {
        auto* curve = new QLineSeries;
        QPen pen(kModelColour);
        pen.setWidthF(2);
        curve->setPen(pen);
        curve->setName(model->name);
        curve->replace(pointsOf(*model));
        chart->addSeries(curve);
        curve->attachAxis(xAxis);
        curve->attachAxis(yAxis);
    }
    if (page->limit > 0) {
        auto* limit = new QLineSeries;
        QPen pen(Qt::red);
        pen.setStyle(Qt::DashLine);
        pen.setWidthF(1.5);
        limit->setPen(pen);
        limit->setName(QCoreApplication::translate("kelvora::charts", "限值 %1 Ω")
                           .arg(plainNumber(page->limit)));
        limit->append(page->xMin, page->limit);
        limit->append(page->xMax, page->limit);
        chart->addSeries(limit);
        limit->attachAxis(xAxis);
        limit->attachAxis(yAxis);
    }
    for (const ChartSeriesData& series : page->series) {
        if (model != nullptr || page->pointsOnly) {
            auto* points = new QScatterSeries;
            points->setMarkerSize(kMeasuredMarkerSize);
            points->setBorderColor(Qt::white);
            attach(points, series);
            continue;
        }
        auto* line = new QLineSeries;
        line->setPointsVisible(page->logarithmic || series.points.size() <= kMarkedPointLimit);
        attach(line, series);
    }
    if (!page->overloads.points.empty()) {
        auto* marks = new QScatterSeries;
        marks->setMarkerShape(QScatterSeries::MarkerShapeTriangle);
        marks->setMarkerSize(kOverloadMarkerSize);
        marks->setColor(Qt::red);
        marks->setBorderColor(Qt::darkRed);
        attach(marks, page->overloads);
    }
    return chart;
}

}  // namespace kelvora
