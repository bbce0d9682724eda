#pragma once

#include <vector>

#include "soil/soil_fit.h"

namespace kelvora {

class RecordModel;

namespace soil {

// The soil-resistivity survey in the downloaded records, and what could not be used of them.
struct Survey {
    std::vector<SoilPoint> points;  // in record order; several at one spacing are all kept
    int overloads = 0;              // soil-resistivity records whose ρ overflowed
    int unusable = 0;               // others of that mode without a positive ρ and ρ length
    int otherModes = 0;             // records of another measuring mode
    int missing = 0;                // rows the download could not fill

    int leftOut() const { return overloads + unusable + otherModes + missing; }
};

Survey surveyOf(const RecordModel& records);

}  // namespace soil
}  // namespace kelvora
