#pragma once

#include <QLocale>
#include <QString>

namespace kelvora {

// The locale's long time format without a time-zone field: the time of day with its seconds.
QString timeOfDayFormat(const QLocale& locale);

}  // namespace kelvora
