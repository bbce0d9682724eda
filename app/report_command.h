#pragma once

#include <QString>

namespace kelvora {

// --report RECORDS.csv OUT.pdf: the test report of a record CSV the program saved, with the
// remembered site fields and the limit given (> 0) or remembered. Returns the exit code; on a
// failure `error` holds one line for stderr and OUT.pdf is as it was.
int runReportCommand(const QString& records, const QString& pdf, double limitOhm, QString* error);

}  // namespace kelvora
