#pragma once

#include <QString>
#include <vector>

#include "records/record_model.h"

namespace kelvora {

struct ChartPoint {
    double x = 0;
    double y = 0;
    int record = 0;
};

struct ChartSeriesData {
    QString name;             // "R", "Rc", "Rp", "ρ", "V", "I"
    bool secondAxis = false;  // drawn against the second y axis (right)
    std::vector<ChartPoint> points;
};

// One tab of the chart window: the records of one measuring mode.
struct ChartPage {
    MeasuringMode mode = MeasuringMode::Unrecognised;
    QString title;
    QString xTitle;
    QString yTitle;
    QString y2Title;            // empty: no second y axis
    bool logarithmic = false;   // both axes
    bool yLogarithmic = false;  // the first y axis only: its values span many decades
    bool pointsOnly = false;    // separate measurements, not joined by lines
    double limit = 0;           // > 0: a limit drawn as a line against the first y axis
    std::vector<ChartSeriesData> series;
    // Overloads at their x, drawn at the top of the y axis (y is that top); `series` of each
    // mark's point names the value that overflowed.
    ChartSeriesData overloads;
    std::vector<int> notDrawn;  // records whose point has no place on the axes
    double xMin = 0, xMax = 1, yMin = 0, yMax = 1, y2Min = 0, y2Max = 1;
};

// The pages for the records the model holds, one per measuring mode present, in the order
// earth resistance, soil resistivity, earth voltage, clamp current. The earth resistances are
// drawn as points against `limitOhm` (0: none).
std::vector<ChartPage> chartPages(const RecordModel& records, double limitOhm = 0);

// Tab title of a mode: "接地电阻", "土壤电阻率", "地电压", "钳形电流".
QString chartTitle(MeasuringMode mode);

}  // namespace kelvora
