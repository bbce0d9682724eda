#include "soil/soil_fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <unsupported/Eigen/LevenbergMarquardt>

#include "soil/fit_domain.h"
#include "soil/fit_starts.h"
#include "soil/plausible_earth.h"

namespace kelvora::soil {

namespace {

using Eigen::MatrixXd;
using Eigen::VectorXd;

// A parameter whose ln-spread passes this is not determined by the data (e^20 is 5·10^8).
constexpr double kUndeterminedLogSigma = 20;
// Singular values this far below the largest belong to directions the data do not see.
constexpr double kRankTolerance = 1e-10;
// The best start is followed to where double precision stops it.
constexpr double kPolishTolerance = 1e-14;

// rk = 1 - ρmodel/ρmeasured in the optimiser's variables y (see FitDomain), with the Jacobian
// Eigen's Levenberg-Marquardt needs.
// The model's response depends on the spacing alone, so it is worked out once per spacing,
// however many traverses read at it.
struct RelativeResiduals : Eigen::DenseFunctor<double> {
    RelativeResiduals(const std::vector<SoilPoint>& points, int layers)
        : DenseFunctor<double>(2 * layers - 1, int(points.size())),
          points(points),
          domain(fitDomain(points, layers)) {
        for (const SoilPoint& point : points) {
            spacings.push_back(point.spacing);
        }
        std::sort(spacings.begin(), spacings.end());
        spacings.erase(std::unique(spacings.begin(), spacings.end()), spacings.end());
        for (const SoilPoint& point : points) {
            spacingOf.push_back(
                size_t(std::lower_bound(spacings.begin(), spacings.end(), point.spacing) -
                       spacings.begin()));
        }
    }

    int operator()(const VectorXd& y, VectorXd& r) const {
        atLog(domain.toLog(y), r);
        return 0;
    }

    int df(const VectorXd& y, MatrixXd& jacobian) const {
        logJacobian(domain.toLog(y), jacobian);
        jacobian = jacobian * domain.slope(y).asDiagonal();
        return 0;
    }

    void atLog(const VectorXd& theta, VectorXd& r) const {
        const LayeredEarth earth = earthOf(theta, domain.layers());
        std::vector<double> model(spacings.size());
        for (size_t s = 0; s < spacings.size(); ++s) {
            model[s] = wennerApparentResistivity(earth, spacings[s]);
        }
        for (size_t k = 0; k < points.size(); ++k) {
            r[Eigen::Index(k)] = 1 - model[spacingOf[k]] / points[k].rho;
        }
    }

    void logJacobian(const VectorXd& theta, MatrixXd& jacobian) const {
        const LayeredEarth earth = earthOf(theta, domain.layers());
        std::vector<LogDerivatives> model(spacings.size());
        for (size_t s = 0; s < spacings.size(); ++s) {
            wennerApparentResistivity(earth, spacings[s], &model[s]);
        }
        for (size_t k = 0; k < points.size(); ++k) {
            for (int p = 0; p < inputs(); ++p) {
                jacobian(Eigen::Index(k), p) = -model[spacingOf[k]][size_t(p)] / points[k].rho;
            }
        }
    }

    double sumOfSquares(const LayeredEarth& earth) const {
        VectorXd r(values());
        atLog(logParametersOf(earth), r);
        return r.allFinite() ? r.squaredNorm() : HUGE_VAL;
    }

    const std::vector<SoilPoint>& points;
    FitDomain domain;
    std::vector<double> spacings;   // each spacing once, in order
    std::vector<size_t> spacingOf;  // of each point, its place in `spacings`
};

bool convergedStatus(Eigen::LevenbergMarquardtSpace::Status status) {
    using namespace Eigen::LevenbergMarquardtSpace;
    switch (status) {
        case RelativeReductionTooSmall:
        case RelativeErrorTooSmall:
        case RelativeErrorAndReductionTooSmall:
        case CosinusTooSmall:
        // The tolerances are finer than double precision resolves: no step improves.
        case FtolTooSmall:
        case XtolTooSmall:
        case GtolTooSmall:
            return true;
        default:
            return false;
    }
}

struct Fitted {
    VectorXd y;
    double sumOfSquares = HUGE_VAL;
    bool converged = false;
};

Fitted minimise(RelativeResiduals& residuals, VectorXd y, double tolerance = 0) {
    Eigen::LevenbergMarquardt<RelativeResiduals> lm(residuals);
    lm.setMaxfev(100 * (residuals.inputs() + 1));
    if (tolerance > 0) {
        lm.setFtol(tolerance);
        lm.setXtol(tolerance);
    }
    const auto status = lm.minimize(y);
    VectorXd r(residuals.values());
    residuals(y, r);
    return {y, r.allFinite() ? r.squaredNorm() : HUGE_VAL, convergedStatus(status)};
}

// ±1σ from the Jacobian J in ln-parameters at the optimum: their covariance is s² (JᵀJ)⁻¹
// with s² = Σr²/(m - p), taken through J's singular values so that a direction the data do
// not constrain leaves its parameters undetermined rather than huge or NaN. A parameter on
// the bound of the fit's domain is not determined either.
void setSpreads(SoilModel& model, const RelativeResiduals& residuals, const VectorXd& theta) {
    const int m = residuals.values();
    const int p = residuals.inputs();
    const int n = model.layers();
    model.rhoSigma.assign(size_t(n), std::nullopt);
    model.thicknessSigma.assign(size_t(n - 1), std::nullopt);
    if (m <= p) {
        return;  // no degree of freedom left to measure the scatter by
    }
    MatrixXd jacobian(m, p);
    residuals.logJacobian(theta, jacobian);
    if (!jacobian.allFinite()) {
        return;
    }
    const Eigen::JacobiSVD<MatrixXd> svd(jacobian, Eigen::ComputeThinV);
    const VectorXd& s = svd.singularValues();
    const MatrixXd& v = svd.matrixV();
    const double variance = model.sumOfSquares() / (m - p);
    for (int j = 0; j < p; ++j) {
        bool determined = s[0] > 0 && !residuals.domain.onBound(theta, j);
        double logVariance = 0;
        for (int k = 0; k < p && determined; ++k) {
            if (s[k] <= kRankTolerance * s[0]) {
                determined = std::abs(v(j, k)) < 1e-6;
            } else {
                logVariance += variance * (v(j, k) / s[k]) * (v(j, k) / s[k]);
            }
        }
        const double logSigma = std::sqrt(logVariance);
        if (!determined || !(logSigma < kUndeterminedLogSigma)) {
            continue;
        }
        // To first order σ(q) = q·σ(ln q).
        if (j < n) {
            model.rhoSigma[size_t(j)] = model.earth.rho[size_t(j)] * logSigma;
        } else {
            model.thicknessSigma[size_t(j - n)] = model.earth.thickness[size_t(j - n)] * logSigma;
        }
    }
}

// Follows a fit to where double precision stops it. That last stretch may run out of
// evaluations without changing the sum of squares: it does not undo the convergence.
Fitted polish(RelativeResiduals& residuals, const Fitted& fitted) {
    Fitted polished = minimise(residuals, fitted.y, kPolishTolerance);
    if (!(polished.sumOfSquares <= fitted.sumOfSquares)) {
        return fitted;
    }
    polished.converged = polished.converged || fitted.converged;
    return polished;
}

SoilModel modelAt(const RelativeResiduals& residuals, const Fitted& fitted) {
    const VectorXd theta = residuals.domain.toLog(fitted.y);
    SoilModel model;
    model.earth = earthOf(theta, residuals.domain.layers());
    VectorXd r(residuals.values());
    residuals.atLog(theta, r);
    model.converged = fitted.converged && r.allFinite() && plausibleEarth(model.earth);
    model.errorsPercent.resize(size_t(r.size()));
    for (Eigen::Index k = 0; k < r.size(); ++k) {
        model.errorsPercent[size_t(k)] = 100 * r[k];
    }
    model.rmsPercent = 100 * std::sqrt(r.squaredNorm() / double(r.size()));
    if (!r.allFinite()) {
        // Not a model to measure spreads by; its texts and the JSON show no number.
        model.rhoSigma.assign(size_t(model.layers()), std::nullopt);
        model.thicknessSigma.assign(size_t(model.layers() - 1), std::nullopt);
        return model;
    }
    setSpreads(model, residuals, theta);
    for (std::optional<double>& sigma : model.rhoSigma) {
        sigma = plausibleSpread(sigma, false);
    }
    for (std::optional<double>& sigma : model.thicknessSigma) {
        sigma = plausibleSpread(sigma, true);
    }
    return model;
}

}  // namespace

int distinctSpacings(const std::vector<SoilPoint>& points) {
    std::vector<double> spacings;
    for (const SoilPoint& point : points) {
        spacings.push_back(point.spacing);
    }
    std::sort(spacings.begin(), spacings.end());
    return int(std::unique(spacings.begin(), spacings.end()) - spacings.begin());
}

double SoilModel::sumOfSquares() const {
    double sum = 0;
    for (double e : errorsPercent) {
        sum += (e / 100) * (e / 100);
    }
    return sum;
}

std::optional<SoilModel> fitSoilModelFrom(const std::vector<SoilPoint>& points,
                                          const LayeredEarth& start) {
    if (int(points.size()) < start.parameters()) {
        return std::nullopt;
    }
    RelativeResiduals residuals(points, start.layers());
    const Fitted fitted = minimise(residuals, residuals.domain.fromLog(logParametersOf(start)));
    return modelAt(residuals, polish(residuals, fitted));
}

std::optional<SoilModel> fitSoilModel(const std::vector<SoilPoint>& points, int layers,
                                      const SoilModel* fewer) {
    if (layers < 1 || layers > kMaxFittedLayers || int(points.size()) < 2 * layers - 1 ||
        distinctSpacings(points) > kMaxFittedSpacings) {
        return std::nullopt;
    }
    RelativeResiduals residuals(points, layers);
    std::vector<LayeredEarth> starts;
    if (layers == 1) {
        double sumOfLogs = 0;
        for (const SoilPoint& point : points) {
            sumOfLogs += std::log(point.rho);
        }
        starts.push_back({{std::exp(sumOfLogs / double(points.size()))}, {}});
    } else {
        starts = gridStarts(points, layers, [&](const LayeredEarth& earth) {
            return residuals.sumOfSquares(earth);
        });
        starts.push_back(obviousStart(points, layers));
        if (fewer != nullptr && fewer->layers() == layers - 1) {
            for (LayeredEarth& split : splitStarts(fewer->earth, points)) {
                starts.push_back(std::move(split));
            }
            for (LayeredEarth& deeper : deepLayerStarts(fewer->earth, points)) {
                starts.push_back(std::move(deeper));
            }
        }
    }
    // The lowest sum of squares that converged; one that did not only when none did.
    Fitted best;
    for (const LayeredEarth& start : starts) {
        Fitted fitted = minimise(residuals, residuals.domain.fromLog(logParametersOf(start)));
        const bool better = fitted.converged != best.converged
                                ? fitted.converged
                                : fitted.sumOfSquares < best.sumOfSquares;
        if (better || best.y.size() == 0) {
            best = std::move(fitted);
        }
    }
    return modelAt(residuals, polish(residuals, best));
}

std::vector<SoilModel> fitSoilModels(const std::vector<SoilPoint>& points, int maxLayers) {
    std::vector<SoilModel> models;
    for (int layers = 1; layers <= maxLayers; ++layers) {
        std::optional<SoilModel> model =
            fitSoilModel(points, layers, models.empty() ? nullptr : &models.back());
        if (!model) {
            break;
        }
        models.push_back(std::move(*model));
    }
    return models;
}

}  // namespace kelvora::soil
