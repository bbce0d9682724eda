#pragma once

#include <QString>
#include <optional>

class QSettings;

#include "visit/report_data.h"

namespace kelvora::report {

// What the report dialog remembers between runs in the program's settings: the site fields but
// the date, and the limit.
struct ReportSettings {
    SiteFields site;
    double limitOhm = kDefaultLimitOhm;
};
ReportSettings loadReportSettings(const QSettings& store);
void saveReportSettings(QSettings& store, const ReportSettings& settings);

// The largest earth resistance the meter shows, 65535 KΩ: a limit above it is a typo.
constexpr double kMostLimitOhm = 65535e3;

// A limit as typed: a positive number with up to two decimals, at most kMostLimitOhm; empty
// with `why` otherwise.
std::optional<double> parseLimit(const QString& text, QString* why);
// The limit as the report prints it: "4", "2.5", "0.75".
QString limitText(double limitOhm);

}  // namespace kelvora::report
