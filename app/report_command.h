#pragma once

#include <QString>

namespace kelvora {

// --report RECORDS.csv OUT.pdf: the test report of a record CSV the program saved, with the
// remembered site fields and the limit given (> 0) or remembered. With --site NAME the site is
// NAME, with its fields and previous values from the archive (`archivePath`, empty: the
// user's own) where it is archived. Returns the exit code; on a failure `error` holds one line
// for stderr and OUT.pdf is as it was.
int runReportCommand(const QString& records, const QString& pdf, double limitOhm, QString* error,
                     const QString& site = {}, const QString& archivePath = {});

}  // namespace kelvora
