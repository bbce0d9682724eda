#pragma once

#include <QLocale>
#include <QString>

namespace kelvora {

// A time format without its time-zone fields ("t" ... "tttt"); quoted text is kept.
QString withoutTimeZone(const QString& format);

// The locale's long time format without a time-zone field: the time of day with its seconds.
QString timeOfDayFormat(const QLocale& locale);

}  // namespace kelvora
