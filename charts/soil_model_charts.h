#pragma once

#include "charts/record_chart_data.h"
#include "soil/soil_fit.h"

class QChartView;
class QWidget;

namespace kelvora {

// The model's sounding curve, ρa against the spacing across the survey chart's x axis; the
// page's y axis is widened to whole decades that hold it.
ChartSeriesData modelCurve(ChartPage& page, const soil::SoilModel& model);

// Resistivity against depth as steps, depth downwards, to well below the deepest interface
// and at least half the longest spacing.
QChartView* makeDepthChart(const soil::SoilModel& model, double longestSpacing, QWidget* parent);

}  // namespace kelvora
