#pragma once

#include <optional>

#include "soil/layered_earth.h"

namespace kelvora::soil {

// What a survey point may be: the meter shows spacings of 0.1 m to 6553.5 m and resistivities
// of 0.001 Ωm to 65535 KΩm; no soil or rock lies outside the latter (only metal ores go lower).
constexpr double kLeastSpacing = 0.1;
constexpr double kMostSpacing = 6553.5;
constexpr double kLeastRho = 0.001;
constexpr double kMostRho = 65535e3;

// Why a point is none (English, "its spacing is negative"); empty when it is one.
const char* surveyPointFault(double spacing, double rho);

// A fit looks up to a hundred times beyond the readings and up to three times the longest
// spacing deep (see FitDomain); a model outside that reach of a plausible survey is no result.
bool plausibleEarth(const LayeredEarth& earth);

// A spread wider than the parameter could ever be says nothing: dropped, as one the data cannot
// determine, so no text built from it outgrows its column.
std::optional<double> plausibleSpread(std::optional<double> sigma, bool thickness);

}  // namespace kelvora::soil
