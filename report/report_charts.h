#pragma once

#include <QRectF>

#include "charts/record_chart_data.h"
#include "visit/report_data.h"

class QPainter;

namespace kelvora::report {

// R of the earth-resistance records against their numbers, as points, with the limit as a
// line; overloads at the top. The y axis is logarithmic when the readings span many decades.
ChartPage resistanceChart(const std::vector<ReportRecord>& records, double limitOhm);

// The soil survey, ρ against the spacing on logarithmic axes.
ChartPage surveyChart(const std::vector<ReportRecord>& records);

// Draws a chart of `page` (with the model's curve when given) into `target`.
void paintChart(QPainter& painter, const QRectF& target, ChartPage page,
                const soil::SoilModel* model = nullptr);

}  // namespace kelvora::report
