#pragma once

#include <QByteArray>
#include <vector>

#include "soil/soil_fit.h"

namespace kelvora::soil {

// The models as one JSON object, the survey's row count as "points" and the rows used as
// "used"; a spread the data cannot determine is null, and so would be any number that is not
// finite.
QByteArray soilModelsJson(int points, int used, const std::vector<SoilModel>& models);

}  // namespace kelvora::soil
