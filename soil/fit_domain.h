#pragma once

#include <Eigen/Core>
#include <vector>

#include "soil/soil_fit.h"

namespace kelvora::soil {

// Where a fit looks for its model: ln ρ and ln h within bounds set by the survey. Resistivities
// reach a hundred times beyond the readings (the last reading need not have reached the
// deepest layer's value) and thicknesses run from a twentieth of the shortest spacing to three
// times the longest: outside that a layer leaves no trace the survey could show, and the
// least-squares optimum would wander off to fit the noise with it.
//
// The optimiser works in unbounded variables y, mapped onto the box by
// θ = lo + (hi - lo)(1 + sin y)/2 (the transformation MINUIT uses for bounded parameters).
struct FitDomain {
    Eigen::VectorXd lo;  // ln ρ1..ln ρn, ln h1..ln h(n-1)
    Eigen::VectorXd hi;

    int layers() const { return int(lo.size() + 1) / 2; }
    Eigen::VectorXd toLog(const Eigen::VectorXd& y) const;
    Eigen::VectorXd fromLog(const Eigen::VectorXd& theta) const;
    // dθ/dy of each variable.
    Eigen::VectorXd slope(const Eigen::VectorXd& y) const;
    // Whether log-parameter p lies on its bound, where the data no longer decide it.
    bool onBound(const Eigen::VectorXd& theta, int p) const;
};

FitDomain fitDomain(const std::vector<SoilPoint>& points, int layers);

LayeredEarth earthOf(const Eigen::VectorXd& theta, int layers);
Eigen::VectorXd logParametersOf(const LayeredEarth& earth);

}  // namespace kelvora::soil
