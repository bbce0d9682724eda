#include "soil/plausible_earth.h"

#include <cmath>

namespace kelvora::soil {

namespace {

constexpr double kFitReach = 100;  // resistivities beyond the readings
constexpr double kMostThickness = 3 * kMostSpacing;

bool within(double value, double least, double most) {
    return std::isfinite(value) && value >= least && value <= most;
}

}  // namespace

const char* surveyPointFault(double spacing, double rho) {
    if (!(spacing > 0)) {
        return "its spacing is not positive";
    }
    if (!(rho > 0)) {
        return "its resistivity is not positive";
    }
    if (!within(spacing, kLeastSpacing, kMostSpacing)) {
        return "its spacing is outside the meter's 0.1 m to 6553.5 m";
    }
    if (!within(rho, kLeastRho, kMostRho)) {
        return "its resistivity is outside the meter's 0.001 Ohm m to 65535 kOhm m";
    }
    return "";
}

bool plausibleEarth(const LayeredEarth& earth) {
    for (const double rho : earth.rho) {
        if (!within(rho, kLeastRho / kFitReach, kMostRho * kFitReach)) {
            return false;
        }
    }
    for (const double thickness : earth.thickness) {
        if (!within(thickness, 0, kMostThickness)) {
            return false;
        }
    }
    return true;
}

std::optional<double> plausibleSpread(std::optional<double> sigma, bool thickness) {
    const double most = thickness ? kMostThickness : kMostRho * kFitReach;
    return sigma && within(*sigma, 0, most) ? sigma : std::nullopt;
}

}  // namespace kelvora::soil
