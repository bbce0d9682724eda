#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "charts/record_chart_data.h"

namespace kelvora {

// One visit of a test point as its trend draws it.
struct TrendVisit {
    QString date;                // YYYY-MM-DD; a visit without a valid date is left out
    std::optional<double> ohms;  // empty: an overload or no reading
    bool overload = false;
    bool flagged = false;
    int record = 0;
};

// A point's value against the date: x in milliseconds since the epoch (the date's local
// midnight), y in Ω.
struct TrendChartData {
    ChartSeriesData values;     // every visit with a number, in date order
    ChartSeriesData flagged;    // the flagged visits, overloads where their marks are
    ChartSeriesData overloads;  // at the top of the axis (just below it when logarithmic)
    double limit = 0;           // > 0: drawn as a line
    double threshold = 0;       // > 0: the baseline's threshold drawn as a second line
    bool logarithmic = false;   // the values span more than two decades
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1;
};

// The trend of one point: `baselineOhm` × (1 + thresholdPercent / 100) is the threshold line.
TrendChartData trendChartData(const std::vector<TrendVisit>& visits, double limitOhm,
                              std::optional<double> baselineOhm, double thresholdPercent);

}  // namespace kelvora
