#include "soil/fit_domain.h"

#include <algorithm>
#include <cmath>

namespace kelvora::soil {

namespace {

constexpr double kRhoReach = 100;
constexpr double kThinnest = 1.0 / 20;  // of the shortest spacing
constexpr double kThickest = 3;         // times the longest spacing
// How near a bound, in ln, counts as on it.
constexpr double kOnBound = 1e-6;
constexpr double kInsideBounds = 0.999;

}  // namespace

FitDomain fitDomain(const std::vector<SoilPoint>& points, int layers) {
    double rhoMin = HUGE_VAL, rhoMax = 0, spacingMin = HUGE_VAL, spacingMax = 0;
    for (const SoilPoint& point : points) {
        rhoMin = std::min(rhoMin, point.rho);
        rhoMax = std::max(rhoMax, point.rho);
        spacingMin = std::min(spacingMin, point.spacing);
        spacingMax = std::max(spacingMax, point.spacing);
    }
    FitDomain domain;
    const int parameters = 2 * layers - 1;
    domain.lo.resize(parameters);
    domain.hi.resize(parameters);
    for (int p = 0; p < parameters; ++p) {
        const bool rho = p < layers;
        domain.lo[p] = rho ? std::log(rhoMin / kRhoReach) : std::log(spacingMin * kThinnest);
        domain.hi[p] = rho ? std::log(rhoMax * kRhoReach) : std::log(spacingMax * kThickest);
    }
    return domain;
}

Eigen::VectorXd FitDomain::toLog(const Eigen::VectorXd& y) const {
    return lo.array() + (hi - lo).array() * (1 + y.array().sin()) / 2;
}

Eigen::VectorXd FitDomain::fromLog(const Eigen::VectorXd& theta) const {
    const Eigen::ArrayXd unit =
        (2 * (theta - lo).array() / (hi - lo).array() - 1).cwiseMax(-1).cwiseMin(1);
    return unit.asin().matrix();
}

Eigen::VectorXd FitDomain::slope(const Eigen::VectorXd& y) const {
    return ((hi - lo).array() * y.array().cos() / 2).matrix();
}

bool FitDomain::onBound(const Eigen::VectorXd& theta, int p) const {
    return theta[p] - lo[p] < kOnBound || hi[p] - theta[p] < kOnBound;
}

LayeredEarth earthOf(const Eigen::VectorXd& theta, int layers) {
    LayeredEarth earth;
    for (int i = 0; i < layers; ++i) {
        earth.rho.push_back(std::exp(theta[i]));
    }
    for (int i = 0; i + 1 < layers; ++i) {
        earth.thickness.push_back(std::exp(theta[layers + i]));
    }
    return earth;
}

Eigen::VectorXd logParametersOf(const LayeredEarth& earth) {
    Eigen::VectorXd theta(earth.parameters());
    for (int i = 0; i < earth.layers(); ++i) {
        theta[i] = std::log(earth.rho[size_t(i)]);
    }
    for (int i = 0; i + 1 < earth.layers(); ++i) {
        theta[earth.layers() + i] = std::log(earth.thickness[size_t(i)]);
    }
    return theta;
}

}  // namespace kelvora::soil
