#include <gtest/gtest.h>

#include <cmath>

#include "soil/layered_earth.h"

namespace kelvora::soil {
namespace {

// Wenner apparent resistivity over two layers by the method of images, summed until the
// terms no longer count: ρa = ρ1 [1 + 4 Σ Kⁿ (1/√(1 + (2nh/a)²) - 1/√(4 + (2nh/a)²))].
double imageSeries(double rho1, double k, double h, double a) {
    long double sum = 0;
    long double kn = 1;
    for (long n = 1; n < 100000000; ++n) {
        kn *= k;
        const long double x = 2.0L * n * h / a;
        sum += kn * (1 / std::sqrt(1 + x * x) - 1 / std::sqrt(4 + x * x));
        // The rest is below |K|ⁿ·(3/2)(a/2nh)³/(1-|K|).
        const long double tail = std::fabs(kn) * 1.5L / (x * x * x) / (1 - std::fabs(k));
        if (tail < 1e-14L * std::fabs(sum) || std::fabs(kn) < 1e-300L) {
            break;
        }
    }
    return rho1 * double(1 + 4 * sum);
}

// T(λ) - ρ1 by reflection coefficients, kᵢ = (T(i+1) - ρᵢ)/(T(i+1) + ρᵢ) and
// T(i) = ρᵢ (1 + kᵢ e^(-2λhᵢ)) / (1 - kᵢ e^(-2λhᵢ)): another road to the same transform.
double excessByReflection(const LayeredEarth& earth, double lambda) {
    double t = earth.rho.back();
    for (int i = earth.layers() - 2; i >= 0; --i) {
        const double rho = earth.rho[size_t(i)];
        const double k = (t - rho) / (t + rho);
        const double e = k * std::exp(-2 * lambda * earth.thickness[size_t(i)]);
        t = i > 0 ? rho * (1 + e) / (1 - e) : rho * 2 * e / (1 - e);
    }
    return earth.layers() > 1 ? t : 0;
}

// ∫₀^∞ (T(λ) - ρ1) J0(λr) dλ by composite Gauss-Legendre over panels much shorter than J0's
// period and than the kernel's finest wiggle (1/depth of the deepest interface), out to where
// the kernel has died away (e^-80).
double hankelByQuadrature(const LayeredEarth& earth, double r) {
    static const double kNodes[] = {-0.906179845938664, -0.538469310105683, 0, 0.538469310105683,
                                    0.906179845938664};
    static const double kWeights[] = {0.236926885056189, 0.478628670499366, 0.568888888888889,
                                      0.478628670499366, 0.236926885056189};
    double depth = 0;
    for (const double h : earth.thickness) {
        depth += h;
    }
    const double end = 40 / earth.thickness[0];
    const double panel = 0.1 / std::max(r, 2 * depth);
    double sum = 0;
    for (double from = 0; from < end; from += panel) {
        for (int k = 0; k < 5; ++k) {
            const double lambda = from + panel / 2 * (1 + kNodes[k]);
            sum += panel / 2 * kWeights[k] * excessByReflection(earth, lambda) *
                   std::cyl_bessel_j(0.0, lambda * r);
        }
    }
    return sum;
}

double wennerByQuadrature(const LayeredEarth& earth, double a) {
    return earth.rho[0] + 2 * a * (hankelByQuadrature(earth, a) - hankelByQuadrature(earth, 2 * a));
}

TEST(SoilForward, TwoLayersAgreeWithTheImageSeries) {
    struct Case {
        double k;
        double tolerance;
    };
    const Case cases[] = {{-0.98, 1e-4}, {-0.95, 1e-5}, {-0.8, 1e-5}, {-0.5, 1e-5}, {-0.1, 1e-5},
                          {0.1, 1e-5},   {0.5, 1e-5},   {0.8, 1e-5},  {0.95, 1e-5}, {0.98, 1e-4}};
    const double rho1 = 120;
    const double h = 2.5;
    for (const Case& c : cases) {
        const LayeredEarth earth{{rho1, rho1 * (1 + c.k) / (1 - c.k)}, {h}};
        for (double ratio = 0.05; ratio <= 50.001; ratio *= 1.25) {
            const double expected = imageSeries(rho1, c.k, h, ratio * h);
            EXPECT_NEAR(wennerApparentResistivity(earth, ratio * h) / expected, 1, c.tolerance)
                << "K " << c.k << ", a/h " << ratio;
        }
    }
}

TEST(SoilForward, ThreeAndFourLayersAgreeWithQuadratureOfTheHankelIntegral) {
    const LayeredEarth earths[] = {
        {{300, 40, 900}, {1.2, 6}},        // resistive over conductive over resistive
        {{20, 400, 5}, {0.8, 3.5}},        // a buried resistive layer
        {{50, 150, 600}, {2, 10}},         // rising steadily
        {{80, 800, 30, 300}, {1, 2, 12}},  // four layers
    };
    for (const LayeredEarth& earth : earths) {
        for (const double a : {0.3, 1.0, 3.0, 10.0, 30.0}) {
            const double expected = wennerByQuadrature(earth, a);
            EXPECT_NEAR(wennerApparentResistivity(earth, a) / expected, 1, 1e-5)
                << "ρ1 " << earth.rho[0] << ", a " << a;
        }
    }
}

TEST(SoilForward, EarthsThatAreOneSoilReadThatSoil) {
    EXPECT_DOUBLE_EQ(wennerApparentResistivity({{75}, {}}, 3), 75);
    const LayeredEarth sameRho{{75, 75, 75}, {1, 4}};
    const LayeredEarth twoLayers{{75, 300}, {2}};
    const LayeredEarth splitTop{{75, 75, 300}, {0.5, 1.5}};
    for (const double a : {0.1, 1.0, 10.0, 100.0}) {
        EXPECT_NEAR(wennerApparentResistivity(sameRho, a), 75, 75e-12);
        EXPECT_NEAR(wennerApparentResistivity(splitTop, a), wennerApparentResistivity(twoLayers, a),
                    1e-9);
    }
}

// The fit's Jacobian: analytic derivatives against central differences in the log-parameters.
TEST(SoilForward, LogDerivativesMatchFiniteDifferences) {
    const LayeredEarth earths[] = {
        {{140}, {}},
        {{300, 40}, {2}},
        {{20, 400, 5}, {0.8, 3.5}},
        {{80, 800, 30, 300}, {1, 2, 12}},
    };
    const double step = 1e-5;
    for (const LayeredEarth& earth : earths) {
        for (const double a : {0.5, 4.0, 40.0}) {
            LogDerivatives d;
            const double rho = wennerApparentResistivity(earth, a, &d);
            for (int p = 0; p < earth.parameters(); ++p) {
                LayeredEarth up = earth;
                LayeredEarth down = earth;
                double& upValue = p < earth.layers() ? up.rho[size_t(p)]
                                                     : up.thickness[size_t(p - earth.layers())];
                double& downValue = p < earth.layers() ? down.rho[size_t(p)]
                                                       : down.thickness[size_t(p - earth.layers())];
                upValue *= std::exp(step);
                downValue *= std::exp(-step);
                const double numeric =
                    (wennerApparentResistivity(up, a) - wennerApparentResistivity(down, a)) /
                    (2 * step);
                EXPECT_NEAR(d[size_t(p)], numeric, 1e-6 * rho)
                    << earth.layers() << " layers, a " << a << ", parameter " << p;
            }
        }
    }
}

}  // namespace
}  // namespace kelvora::soil
