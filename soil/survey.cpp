#include "soil/survey.h"

#include "records/record_model.h"

namespace kelvora::soil {

Survey surveyOf(const RecordModel& records) {
    Survey survey;
    for (int number = 1; number <= records.count(); ++number) {
        const Record& record = records.record(number);
        if (!record.received()) {
            ++survey.missing;
            continue;
        }
        if (record.mode != MeasuringMode::SoilResistivity) {
            ++survey.otherModes;
            continue;
        }
        const RecordValue& rho = record.value(ValueSlot::Rho);
        const RecordValue& spacing = record.value(ValueSlot::RhoLength);
        if (rho.kind == RecordValue::Overload) {
            ++survey.overloads;
        } else if (rho.hasNumber() && rho.number > 0 && spacing.hasNumber() && spacing.number > 0) {
            survey.points.push_back({spacing.number, rho.number, number});
        } else {
            ++survey.unusable;
        }
    }
    return survey;
}

}  // namespace kelvora::soil
