#include "report/report_data.h"

namespace kelvora::report {

namespace {

struct FieldName {
    const char* label;
    const char* key;
};

constexpr FieldName kFields[kSiteFieldCount] = {
    {"工程名称", "project"},
    {"测试地点", "location"},
    {"接地装置/测点说明", "electrode"},
    {"测试日期", "date"},
    {"测试人员", "tester"},
    {"审核人", "reviewer"},
    {"仪器型号", "instrumentModel"},
    {"仪器编号", "instrumentNumber"},
    {"校准有效期", "calibrationDue"},
    {"天气", "weather"},
    {"气温 (°C)", "temperature"},
    {"土壤状况", "soilCondition"},
    {"备注", "remarks"},
};

}  // namespace

const char* siteFieldLabel(SiteField field) {
    return kFields[field].label;
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
