#include "visit/report_data.h"

#include <QCoreApplication>

namespace kelvora::report {

namespace {

struct FieldName {
    const char* label;
    const char* key;
};

constexpr FieldName kFields[kSiteFieldCount] = {
    {QT_TRANSLATE_NOOP("kelvora::report", "工程名称"), "project"},
    {QT_TRANSLATE_NOOP("kelvora::report", "测试地点"), "location"},
    {QT_TRANSLATE_NOOP("kelvora::report", "接地装置/测点说明"), "electrode"},
    {QT_TRANSLATE_NOOP("kelvora::report", "测试日期"), "date"},
    {QT_TRANSLATE_NOOP("kelvora::report", "测试人员"), "tester"},
    {QT_TRANSLATE_NOOP("kelvora::report", "审核人"), "reviewer"},
    {QT_TRANSLATE_NOOP("kelvora::report", "仪器型号"), "instrumentModel"},
    {QT_TRANSLATE_NOOP("kelvora::report", "仪器编号"), "instrumentNumber"},
    {QT_TRANSLATE_NOOP("kelvora::report", "校准有效期"), "calibrationDue"},
    {QT_TRANSLATE_NOOP("kelvora::report", "天气"), "weather"},
    {QT_TRANSLATE_NOOP("kelvora::report", "气温 (°C)"), "temperature"},
    {QT_TRANSLATE_NOOP("kelvora::report", "土壤状况"), "soilCondition"},
    {QT_TRANSLATE_NOOP("kelvora::report", "备注"), "remarks"},
};

}  // namespace

QString siteFieldLabel(SiteField field) {
    return QCoreApplication::translate("kelvora::report", kFields[field].label);
}

const char* siteFieldKey(SiteField field) {
    return kFields[field].key;
}

Verdict verdictOf(const ReportRecord& record, double limitOhm) {
    const std::optional<double> r = record.value(ValueSlot::R);
    if (!r) {
        return record.overload(ValueSlot::R) ? Verdict::Overload : Verdict::NoReading;
    }
    return *r <= limitOhm ? Verdict::Pass : Verdict::Fail;
}

}  // namespace kelvora::report
