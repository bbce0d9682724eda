#pragma once

#include <QDateTime>
#include <QString>
#include <array>
#include <map>
#include <optional>
#include <vector>

#include "records/record_model.h"
#include "soil/soil_fit.h"

namespace kelvora::report {

// The site block of the report, in the order it is printed.
enum SiteField {
    Project,
    Location,
    Electrode,
    TestDate,
    Tester,
    Reviewer,
    InstrumentModel,
    InstrumentNumber,
    CalibrationDue,
    Weather,
    Temperature,
    SoilCondition,
    Remarks,
    kSiteFieldCount
};
QString siteFieldLabel(SiteField field);    // "工程名称" …, in the language shown
const char* siteFieldKey(SiteField field);  // its QSettings key
using SiteFields = std::array<QString, kSiteFieldCount>;

constexpr double kDefaultLimitOhm = 4;

// One row of the record table as the report reads it.
struct ReportRecord {
    int number = 0;
    bool missing = true;  // the download could not fill the row
    QString unreadable;   // why a row of a file is not judged (then also missing)
    MeasuringMode mode = MeasuringMode::Unrecognised;
    std::array<QString, kValueSlotCount> texts;  // as the table shows them, R ρ ρLenght Rc Rp I V
    std::array<std::optional<double>, kValueSlotCount> numbers;  // base units

    const QString& text(ValueSlot slot) const { return texts[size_t(recordColumn(slot) - 1)]; }
    std::optional<double> value(ValueSlot slot) const {
        return numbers[size_t(recordColumn(slot) - 1)];
    }
    bool overload(ValueSlot slot) const { return text(slot).startsWith(QStringLiteral("OL")); }
};

// The soil model of the survey, as the chart window chose it.
struct ReportSoil {
    std::vector<soil::SoilPoint> used;
    std::optional<soil::SoilModel> model;
    QString problem;  // why there is no model, or that it did not converge
};

// A record's test point as the site archive knew it before this visit, for the
// earth-resistance table.
struct ReportPointHistory {
    QString point;
    QString previousDate;                 // empty: the point's first visit
    QString previousText;                 // R as shown then
    std::optional<double> changePercent;  // from the previous value
    // Why the point is flagged now: its limit (the point's own or the visit's) failed, an
    // overload, or the rise above its baseline (in percent) over the threshold.
    std::optional<double> failedLimitOhm;
    bool overload = false;
    std::optional<double> riseAboveBaseline;
    double thresholdPercent = 0;
};

struct ReportInput {
    SiteFields site;
    double limitOhm = kDefaultLimitOhm;
    std::vector<ReportRecord> records;  // record k at k - 1
    std::map<int, QString> notes;       // by record number
    ReportSoil soil;
    QDateTime madeAt;  // shown in every page's footer
    QString version;
    // By record number, for the records with a test point of an archived site; empty: the
    // report is the one without the archive.
    std::map<int, ReportPointHistory> history;
};

// A reading passes when it is a number at or below the limit; an overload does not, nor a
// reading without a number.
enum class Verdict { Pass, Fail, Overload, NoReading };
Verdict verdictOf(const ReportRecord& record, double limitOhm);

}  // namespace kelvora::report
