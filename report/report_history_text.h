#pragma once

#include <QString>

#include "visit/report_data.h"

namespace kelvora::report {

// The earth-resistance table's archive cells: the previous value, its date, the change, and
// the lines added under the note (the test point; why it is flagged).
QString previousValueText(const ReportPointHistory& history);
QString changeText(const ReportPointHistory& history);
QString historyNote(const ReportPointHistory& history, const QString& note);
bool flagged(const ReportPointHistory& history);

}  // namespace kelvora::report
