#include "charts/record_chart_data.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace kelvora {

namespace {

constexpr MeasuringMode kModes[] = {MeasuringMode::EarthResistance, MeasuringMode::SoilResistivity,
                                    MeasuringMode::EarthVoltage, MeasuringMode::ClampCurrent};

// Headroom above the largest value, so the overload marks stand clear of the curve.
constexpr double kLinearHeadroom = 1.1;
constexpr double kLogHeadroom = 1.2;
constexpr double kLogarithmicSpan = 100;

QString axisTitle(const QString& quantity, ValueSlot slot) {
    return quantity + QLatin1Char('/') + QString::fromUtf8(baseUnit(slot));
}

ChartSeriesData& seriesNamed(ChartPage& page, const QString& name) {
    for (ChartSeriesData& series : page.series) {
        if (series.name == name) {
            return series;
        }
    }
    page.series.push_back({name, false, {}});
    return page.series.back();
}

void setUp(ChartPage& page, MeasuringMode mode) {
    page.mode = mode;
    page.title = chartTitle(mode);
    page.xTitle = QCoreApplication::translate("kelvora::charts", "记录号");
    page.overloads.name = QCoreApplication::translate("kelvora::charts", "过载");
    switch (mode) {
        case MeasuringMode::EarthResistance:
            // Rc and Rp (the auxiliary electrodes, often kilohms) on an axis of their own, so a
            // small R is not flattened against zero.
            page.yTitle = axisTitle(QStringLiteral("R"), ValueSlot::R);
            page.pointsOnly = true;  // each record is a measurement of its own
            page.y2Title = axisTitle(QStringLiteral("Rc, Rp"), ValueSlot::Rc);
            seriesNamed(page, QStringLiteral("R"));
            seriesNamed(page, QStringLiteral("Rc")).secondAxis = true;
            seriesNamed(page, QStringLiteral("Rp")).secondAxis = true;
            break;
        case MeasuringMode::SoilResistivity:
            page.logarithmic = true;
            page.xTitle = axisTitle(QCoreApplication::translate("kelvora::charts", "ρ长度"),
                                    ValueSlot::RhoLength);
            page.yTitle = axisTitle(QStringLiteral("ρ"), ValueSlot::Rho);
            seriesNamed(page, QStringLiteral("ρ"));
            break;
        case MeasuringMode::EarthVoltage:
            page.yTitle = axisTitle(QStringLiteral("V"), ValueSlot::V);
            seriesNamed(page, QStringLiteral("V"));
            break;
        case MeasuringMode::ClampCurrent:
            page.yTitle = axisTitle(QStringLiteral("I"), ValueSlot::I);
            seriesNamed(page, QStringLiteral("I"));
            break;
        case MeasuringMode::Unrecognised:
            break;
    }
}

// A value against the record number; an overload is marked, a value without number is not
// drawn.
void addAgainstNumber(ChartPage& page, const Record& record, ValueSlot slot, const QString& name,
                      bool& drawn) {
    const RecordValue& value = record.value(slot);
    if (value.hasNumber()) {
        seriesNamed(page, name)
            .points.push_back({double(record.number), value.number, record.number});
    } else if (value.kind == RecordValue::Overload) {
        page.overloads.points.push_back({double(record.number), 0, record.number});
    } else {
        drawn = false;
    }
}

void addRecord(ChartPage& page, const Record& record) {
    bool drawn = true;
    switch (record.mode) {
        case MeasuringMode::EarthResistance:
            addAgainstNumber(page, record, ValueSlot::R, QStringLiteral("R"), drawn);
            addAgainstNumber(page, record, ValueSlot::Rc, QStringLiteral("Rc"), drawn);
            addAgainstNumber(page, record, ValueSlot::Rp, QStringLiteral("Rp"), drawn);
            break;
        case MeasuringMode::SoilResistivity: {
            // On logarithmic axes only positive numbers have a place.
            const RecordValue& length = record.value(ValueSlot::RhoLength);
            const RecordValue& rho = record.value(ValueSlot::Rho);
            if (!length.hasNumber() || length.number <= 0) {
                drawn = false;
            } else if (rho.hasNumber() && rho.number > 0) {
                page.series.front().points.push_back({length.number, rho.number, record.number});
            } else if (rho.kind == RecordValue::Overload) {
                page.overloads.points.push_back({length.number, 0, record.number});
            } else {
                drawn = false;
            }
            break;
        }
        case MeasuringMode::EarthVoltage:
            addAgainstNumber(page, record, ValueSlot::V, QStringLiteral("V"), drawn);
            break;
        case MeasuringMode::ClampCurrent:
            addAgainstNumber(page, record, ValueSlot::I, QStringLiteral("I"), drawn);
            break;
        case MeasuringMode::Unrecognised:
            break;
    }
    if (!drawn) {
        page.notDrawn.push_back(record.number);
    }
}

struct Extent {
    double min = HUGE_VAL;
    double max = -HUGE_VAL;
    void take(double value) {
        min = std::min(min, value);
        max = std::max(max, value);
    }
    bool empty() const { return min > max; }
};

// A value axis from 0 with headroom, or a logarithmic one over whole decades (the only
// places it labels) with the values clear of its ends.
void setValueRange(const Extent& values, bool logarithmic, double& min, double& max) {
    if (logarithmic) {
        min = values.empty() ? 1 : std::pow(10, std::floor(std::log10(values.min / kLogHeadroom)));
        max = values.empty() ? 10 : std::pow(10, std::ceil(std::log10(values.max * kLogHeadroom)));
    } else {
        min = 0;
        max = !values.empty() && values.max > 0 ? values.max * kLinearHeadroom : 1;
    }
}

void setRanges(ChartPage& page) {
    Extent x, y, y2;
    for (const ChartPoint& mark : page.overloads.points) {
        x.take(mark.x);
    }
    for (const ChartSeriesData& series : page.series) {
        for (const ChartPoint& point : series.points) {
            x.take(point.x);
            (series.secondAxis ? y2 : y).take(point.y);
        }
    }
    if (page.logarithmic) {
        setValueRange(x, true, page.xMin, page.xMax);
    } else {
        // Record numbers are whole: half a step either side keeps the end points off the edge.
        page.xMin = x.empty() ? 0 : x.min - 0.5;
        page.xMax = x.empty() ? 1 : x.max + 0.5;
    }
    // Beyond two decades a linear axis flattens the small readings onto zero.
    page.yLogarithmic = !page.logarithmic && page.pointsOnly && !y.empty() && y.min > 0 &&
                        y.max > kLogarithmicSpan * y.min;
    if (page.limit > 0) {
        y.take(page.limit);
    }
    setValueRange(y, page.logarithmic || page.yLogarithmic, page.yMin, page.yMax);
    setValueRange(y2, page.logarithmic, page.y2Min, page.y2Max);
    // Both axes end at the top of the plot, so the marks stand there whichever value overflowed.
    for (ChartPoint& mark : page.overloads.points) {
        mark.y = page.yMax;
    }
}

}  // namespace

QString chartTitle(MeasuringMode mode) {
    switch (mode) {
        case MeasuringMode::EarthResistance:
            return QCoreApplication::translate("kelvora::charts", "接地电阻");
        case MeasuringMode::SoilResistivity:
            return QCoreApplication::translate("kelvora::charts", "土壤电阻率");
        case MeasuringMode::EarthVoltage:
            return QCoreApplication::translate("kelvora::charts", "地电压");
        case MeasuringMode::ClampCurrent:
            return QCoreApplication::translate("kelvora::charts", "钳形电流");
        case MeasuringMode::Unrecognised:
            break;
    }
    return {};
}

std::vector<ChartPage> chartPages(const RecordModel& records, double limitOhm) {
    std::vector<ChartPage> pages(std::size(kModes));
    std::vector<bool> present(std::size(kModes), false);
    for (size_t m = 0; m < std::size(kModes); ++m) {
        setUp(pages[m], kModes[m]);
    }
    pages[0].limit = limitOhm;
    for (int number = 1; number <= records.count(); ++number) {
        const Record& record = records.record(number);
        for (size_t m = 0; m < std::size(kModes); ++m) {
            if (record.received() && record.mode == kModes[m]) {
                addRecord(pages[m], record);
                present[m] = true;
            }
        }
    }
    std::vector<ChartPage> shown;
    for (size_t m = 0; m < pages.size(); ++m) {
        if (present[m]) {
            // The survey curve runs along the spacing, not in the order the records were taken.
            for (ChartSeriesData& series : pages[m].series) {
                if (pages[m].logarithmic) {
                    std::stable_sort(
                        series.points.begin(), series.points.end(),
                        [](const ChartPoint& a, const ChartPoint& b) { return a.x < b.x; });
                }
            }
            setRanges(pages[m]);
            shown.push_back(std::move(pages[m]));
        }
    }
    return shown;
}

}  // namespace kelvora
