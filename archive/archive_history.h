#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

#include "archive/archive.h"

namespace kelvora::archive {

// A site's history as --history prints it: {"site", "threshold_percent", "points": [{"name",
// "limit", "visits": [{"date", "record", "value", "text", "verdict", "change_previous_percent",
// "change_baseline_percent", "flagged"}]}]}, null where there is no number. A point's "limit"
// is its own, or else the one of its latest visit.
QByteArray historyJson(const QString& site, double thresholdPercent,
                       const std::vector<PointHistory>& points);

// One row per point and visit, the header first, as the export writes them.
std::vector<QStringList> historyRows(const std::vector<PointHistory>& points);

// The rows as a UTF-8 CSV or as a one-sheet workbook; the reason of a failure, empty on success.
QString writeHistoryCsv(const QString& path, const std::vector<PointHistory>& points);
QString writeHistoryXlsx(const QString& path, const std::vector<PointHistory>& points);

}  // namespace kelvora::archive
