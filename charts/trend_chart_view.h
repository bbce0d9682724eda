#pragma once

#include "charts/trend_chart_data.h"

class QChart;

namespace kelvora {

// A point's trend: the values joined by a line against a date axis, the limit and the
// baseline's threshold as dashed lines, flagged visits ringed in red and overloads as red
// triangles at the top; the value axis logarithmic when the data says so.
QChart* makeTrendChart(const TrendChartData& data, const QString& title);

}  // namespace kelvora
