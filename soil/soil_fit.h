#pragma once

#include <optional>
#include <vector>

#include "soil/layered_earth.h"

namespace kelvora::soil {

// One reading of a survey: apparent resistivity at a Wenner spacing.
struct SoilPoint {
    double spacing = 0;  // m, > 0
    double rho = 0;      // Ωm, > 0
    int record = 0;      // the record it came from; 0 for a file row
};

// A layered earth fitted to a survey by least squares on the relative residuals
// (ρmeasured - ρmodel) / ρmeasured.
struct SoilModel {
    LayeredEarth earth;
    // ±1σ of each parameter in its own unit (Ωm, m); empty where the data cannot determine it.
    std::vector<std::optional<double>> rhoSigma;
    std::vector<std::optional<double>> thicknessSigma;
    std::vector<double> errorsPercent;  // 100·rk of each point, in the order given
    double rmsPercent = 0;              // 100·√(mean rk²)
    bool converged = false;

    int layers() const { return earth.layers(); }
    double sumOfSquares() const;
};

constexpr int kMaxFittedLayers = 3;
// A survey reads at a few dozen spacings; beyond this many the fit would take too long to
// follow a check box, and the survey is several mixed together.
constexpr int kMaxFittedSpacings = 200;

int distinctSpacings(const std::vector<SoilPoint>& points);

// Fits from one start: the local least-squares optimum nearest to `start`. Empty when there
// are fewer points than the start has parameters.
std::optional<SoilModel> fitSoilModelFrom(const std::vector<SoilPoint>& points,
                                          const LayeredEarth& start);

// The best model of `layers` (1 to kMaxFittedLayers) layers from starts spread over the data's
// range and, when `fewer` is given, from that model of one layer less, so that it fits at
// least as well. Empty when there are fewer points than parameters, or more distinct spacings
// than kMaxFittedSpacings.
std::optional<SoilModel> fitSoilModel(const std::vector<SoilPoint>& points, int layers,
                                      const SoilModel* fewer = nullptr);

// The models of 1 to `maxLayers` layers, each built on the one before; those with more
// parameters than points are left out.
std::vector<SoilModel> fitSoilModels(const std::vector<SoilPoint>& points,
                                     int maxLayers = kMaxFittedLayers);

}  // namespace kelvora::soil
