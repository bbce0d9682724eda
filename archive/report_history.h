#pragma once

#include <QString>
#include <map>

#include "visit/report_data.h"

namespace kelvora::archive {

class Archive;

// What the archive knew of each earth-resistance record's test point (`points`: record number
// -> point) before the report's date: the previous value and the change, and whether the
// point is flagged with this reading. Empty when the site is not archived.
std::map<int, report::ReportPointHistory> reportHistory(Archive& archive,
                                                        const report::ReportInput& input,
                                                        const std::map<int, QString>& points);

}  // namespace kelvora::archive
