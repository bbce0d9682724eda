#pragma once

#include "charts/record_chart_data.h"

class QChart;
class QChartView;
class QWidget;

namespace kelvora {

// A chart of one page: its series as lines, overloads as red triangles at the top of the y
// axis, axes with their titles; hovering a point tells its record. With a `model` curve,
// that is drawn as a line beneath the series, which are then shown as points alone.
QChartView* makeChartView(const ChartPage& page, QWidget* parent,
                          const ChartSeriesData* model = nullptr);
// The same chart without a view, for drawing elsewhere (the report).
QChart* makeChart(const ChartPage& page, const ChartSeriesData* model = nullptr);

}  // namespace kelvora
