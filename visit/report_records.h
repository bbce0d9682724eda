#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

#include "formats/text_lines.h"
#include "visit/report_data.h"

namespace kelvora {

namespace soil {
class SoilSelection;
}

namespace report {

// The records as the window holds them: the table's texts and the model's numbers.
std::vector<ReportRecord> recordsOf(const RecordCells& cells, const RecordModel& records);

// The records of a record CSV the program saved: a row's mode is the one of R, ρ, V or I
// whose text is filled, an empty row is a record missing from the download. Empty with
// `error` set for a file that is not such a CSV or holds no record.
std::optional<std::vector<ReportRecord>> recordsFromCsv(const QByteArray& bytes, QString* error);
// The same from a file, read only when it is a regular file under the input cap; `error` then
// starts with the file's name.
std::optional<std::vector<ReportRecord>> recordsFromCsvFile(const QString& path, QString* error);

// The soil model chosen in the chart window, or for records alone the two-layer model of all
// their survey points.
ReportSoil soilOf(const soil::SoilSelection& selection);
ReportSoil soilOf(const std::vector<ReportRecord>& records);

}  // namespace report
}  // namespace kelvora
