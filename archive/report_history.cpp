#include "archive/report_history.h"

#include "archive/archive.h"

namespace kelvora::archive {

std::map<int, report::ReportPointHistory> reportHistory(Archive& archive,
                                                        const report::ReportInput& input,
                                                        const std::map<int, QString>& points) {
    std::map<int, report::ReportPointHistory> rows;
    const std::optional<qint64> site = archive.siteId(input.site[report::Project]);
    if (!site) {
        return rows;
    }
    const QString date = input.site[report::TestDate];
    const double threshold = archive.thresholdPercent();
    for (const report::ReportRecord& record : input.records) {
        const auto point = points.find(record.number);
        if (record.missing || record.mode != MeasuringMode::EarthResistance ||
            point == points.end() || point->second.isEmpty()) {
            continue;
        }
        const std::optional<qint64> pointId = archive.pointId(*site, point->second);
        const std::optional<PointHistory> history =
            pointId ? archive.pointHistory(*pointId) : std::nullopt;
        report::ReportPointHistory& row = rows[record.number];
        row.point = point->second;
        row.thresholdPercent = threshold;
        const double limit = history && history->ownLimit ? *history->ownLimit : input.limitOhm;
        // The visits before this one, this reading last: the change rule as filing would see it.
        std::vector<PointValue> values;
        int baseline = 0;
        for (const PointVisit& visit : history ? history->visits : std::vector<PointVisit>{}) {
            if (!date.isEmpty() && visit.date >= date) {
                break;  // in date order
            }
            if (visit.visitId == history->baselineVisitId) {
                baseline = int(values.size());
            }
            values.push_back(
                {visit.ohms, visit.text.startsWith(QLatin1String("OL")), visit.limitOhm});
            row.previousDate = visit.date;
            row.previousText = visit.text;
        }
        values.push_back({record.value(ValueSlot::R), record.overload(ValueSlot::R), limit});
        const PointChange change = changesOf(values, baseline, threshold).back();
        row.changePercent = change.fromPrevious;
        if (change.flags & FlagFail) {
            row.failedLimitOhm = limit;
        }
        row.overload = (change.flags & FlagOverload) != 0;
        if (change.flags & FlagRise) {
            row.riseAboveBaseline = change.fromBaseline;
        }
    }
    return rows;
}

}  // namespace kelvora::archive
