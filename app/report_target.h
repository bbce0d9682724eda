#pragma once

#include <QString>

namespace kelvora {

// Why the report of `records` may not be written to `pdf` (English, for the command line):
// it is the records file itself by any name, or not a regular file. Empty when it may be.
QString reportTargetRefusal(const QString& records, const QString& pdf);

}  // namespace kelvora
