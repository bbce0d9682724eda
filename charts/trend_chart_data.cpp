#include "charts/trend_chart_data.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <algorithm>
#include <cmath>

namespace kelvora {

namespace {

constexpr double kLogarithmicSpan = 100;  // more than two decades
constexpr double kLinearHeadroom = 1.15;
constexpr double kDayMs = 24.0 * 3600 * 1000;
constexpr double kLogMarkBelowTop = 1.5;  // an overload's mark, below the top decade's line

std::optional<double> dateMs(const QString& date) {
    const QDate day = QDate::fromString(date, Qt::ISODate);
    if (!day.isValid()) {
        return std::nullopt;
    }
    return double(day.startOfDay().toMSecsSinceEpoch());
}

}  // namespace

TrendChartData trendChartData(const std::vector<TrendVisit>& visits, double limitOhm,
                              std::optional<double> baselineOhm, double thresholdPercent) {
    TrendChartData data;
    data.values.name = QCoreApplication::translate("kelvora::charts", "接地电阻");
    data.flagged.name = QCoreApplication::translate("kelvora::charts", "需关注");
    data.overloads.name = QCoreApplication::translate("kelvora::charts", "过载");
    data.limit = std::max(limitOhm, 0.0);
    if (baselineOhm && *baselineOhm > 0) {
        data.threshold = *baselineOhm * (1 + thresholdPercent / 100);
    }

    double smallest = HUGE_VAL, largest = 0;  // of the positive values
    double xMin = HUGE_VAL, xMax = -HUGE_VAL;
    for (const TrendVisit& visit : visits) {
        const std::optional<double> x = dateMs(visit.date);
        if (!x) {
            continue;
        }
        xMin = std::min(xMin, *x);
        xMax = std::max(xMax, *x);
        if (visit.ohms && *visit.ohms > 0) {
            smallest = std::min(smallest, *visit.ohms);
            largest = std::max(largest, *visit.ohms);
        }
    }
    data.logarithmic = largest > 0 && largest / smallest > kLogarithmicSpan;

    // The lines are kept in view too, so that a value far below its limit still shows both.
    double top = std::max({largest, data.limit, data.threshold});
    double bottom = smallest;
    for (const double line : {data.limit, data.threshold}) {
        if (line > 0) {
            bottom = std::min(bottom, line);
        }
    }
    if (data.logarithmic) {
        data.yMin = std::pow(10.0, std::floor(std::log10(bottom)));
        data.yMax = std::pow(10.0, std::ceil(std::log10(top)));
        if (data.yMax <= top) {
            data.yMax *= 10;  // room above the largest value for the overload marks
        }
    } else {
        data.yMin = 0;
        data.yMax = top > 0 ? top * kLinearHeadroom : 1;
    }

    if (xMin > xMax) {
        xMin = xMax = double(QDate::currentDate().startOfDay().toMSecsSinceEpoch());
    }
    const double margin = std::max((xMax - xMin) * 0.05, kDayMs);
    data.xMin = xMin - margin;
    data.xMax = xMax + margin;

    for (const TrendVisit& visit : visits) {
        const std::optional<double> x = dateMs(visit.date);
        if (!x) {
            continue;
        }
        std::optional<double> y;
        if (visit.ohms && (*visit.ohms > 0 || !data.logarithmic)) {
            y = *visit.ohms;
            data.values.points.push_back({*x, *y, visit.record});
        } else if (visit.overload) {
            y = data.logarithmic ? data.yMax / kLogMarkBelowTop : data.yMax;
            data.overloads.points.push_back({*x, *y, visit.record});
        }
        if (visit.flagged && y) {
            data.flagged.points.push_back({*x, *y, visit.record});
        }
    }
    return data;
}

}  // namespace kelvora
