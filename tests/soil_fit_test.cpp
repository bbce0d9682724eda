#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "soil/soil_fit.h"
#include "soil/soil_texts.h"

namespace kelvora::soil {
namespace {

const std::vector<double> kSpacings = {0.5, 1, 2, 3, 4, 6, 8, 12, 16, 24, 32};

std::vector<SoilPoint> survey(const LayeredEarth& earth, const std::vector<double>& spacings,
                              double noise = 0, unsigned seed = 1) {
    std::mt19937 random(seed);
    std::normal_distribution<double> scatter(0, noise);
    std::vector<SoilPoint> points;
    for (const double a : spacings) {
        const double rho = wennerApparentResistivity(earth, a);
        points.push_back({a, noise > 0 ? rho * (1 + scatter(random)) : rho, 0});
    }
    return points;
}

std::optional<SoilModel> fit(const std::vector<SoilPoint>& points, int layers) {
    const std::vector<SoilModel> models = fitSoilModels(points, layers);
    return int(models.size()) == layers ? std::optional<SoilModel>(models.back()) : std::nullopt;
}

// The lowest sum of squares that converged from many random starts within the fit's range.
double bestOfManyStarts(const std::vector<SoilPoint>& points, int layers, int starts) {
    std::mt19937 random(99);
    std::uniform_real_distribution<double> unit(0, 1);
    double best = HUGE_VAL;
    for (int s = 0; s < starts; ++s) {
        LayeredEarth start;
        for (int i = 0; i < layers; ++i) {
            start.rho.push_back(std::pow(10, 0.5 + 3.5 * unit(random)));
        }
        for (int i = 1; i < layers; ++i) {
            start.thickness.push_back(std::pow(10, -1 + 2 * unit(random)));
        }
        const std::optional<SoilModel> model = fitSoilModelFrom(points, start);
        if (model && model->converged) {
            best = std::min(best, model->sumOfSquares());
        }
    }
    return best;
}

TEST(SoilFit, RecoversKnownEarthsFromExactData) {
    std::vector<double> thirty;
    for (int k = 0; k < 30; ++k) {
        thirty.push_back(0.5 * std::pow(100.0, k / 29.0));
    }
    const std::pair<LayeredEarth, std::vector<double>> cases[] = {
        {{{300, 60}, {2.5}}, kSpacings},
        {{{40, 900}, {1.2}}, kSpacings},
        {{{100, 800, 40}, {1.5, 6}}, thirty},
        {{{500, 50, 2000}, {1, 4}}, thirty},
    };
    for (const auto& [earth, spacings] : cases) {
        const std::optional<SoilModel> model = fit(survey(earth, spacings), earth.layers());
        ASSERT_TRUE(model);
        EXPECT_TRUE(model->converged);
        EXPECT_LT(model->rmsPercent, 1e-4);
        for (int i = 0; i < earth.layers(); ++i) {
            EXPECT_NEAR(model->earth.rho[size_t(i)] / earth.rho[size_t(i)], 1, 1e-3) << i;
        }
        for (int i = 0; i + 1 < earth.layers(); ++i) {
            EXPECT_NEAR(model->earth.thickness[size_t(i)] / earth.thickness[size_t(i)], 1, 1e-3);
        }
    }
}

// From noisy readings the fit must end at the least-squares optimum, not the nearest local
// one; more layers never fit worse; every number it gives is finite.
TEST(SoilFit, NoisySurveysReachTheOptimumOfManyStarts) {
    const std::pair<LayeredEarth, unsigned> cases[] = {
        {{{140, 87}, {6.1}}, 8},
        {{{30, 97, 25}, {0.9, 1.8}}, 3},
        {{{296, 1766, 1597}, {0.8, 2}}, 5},
        {{{73, 10, 346}, {0.9, 5.8}}, 6},
    };
    for (const auto& [earth, seed] : cases) {
        const std::vector<SoilPoint> points = survey(earth, kSpacings, 0.03, seed);
        const std::vector<SoilModel> models = fitSoilModels(points, earth.layers());
        ASSERT_EQ(int(models.size()), earth.layers());
        const SoilModel& model = models.back();
        EXPECT_TRUE(model.converged);
        EXPECT_LE(model.sumOfSquares(), bestOfManyStarts(points, earth.layers(), 60) * (1 + 1e-6))
            << earth.layers() << " layers, ρ1 " << earth.rho[0];
        for (size_t n = 1; n < models.size(); ++n) {
            EXPECT_LE(models[n].sumOfSquares(), models[n - 1].sumOfSquares() * (1 + 1e-9));
        }
        for (const auto* sigmas : {&model.rhoSigma, &model.thicknessSigma}) {
            for (const std::optional<double>& sigma : *sigmas) {
                EXPECT_TRUE(!sigma || std::isfinite(*sigma));
            }
        }
    }
}

// A survey over a conductive middle layer: from the guess one would make by eye the optimiser
// settles in a poor local minimum, which the spread starts avoid.
TEST(SoilFit, TheObviousStartAloneEndsInAWorseLocalMinimum) {
    const std::vector<SoilPoint> points = {{0.5, 67.4}, {1, 51.3},  {2, 24.3}, {3, 15.5},
                                           {4, 14},     {6, 15.5},  {8, 19.4}, {12, 25.5},
                                           {16, 34.6},  {24, 45.9}, {32, 65.1}};
    const double top = 67.4, bottom = 65.1;
    const LayeredEarth obvious{
        {top, std::sqrt(top * bottom), bottom},
        {std::cbrt(0.5 * 0.5 * 32), std::cbrt(0.5 * 32 * 32) - std::cbrt(0.5 * 0.5 * 32)}};
    const std::optional<SoilModel> single = fitSoilModelFrom(points, obvious);
    const std::optional<SoilModel> best = fit(points, 3);
    ASSERT_TRUE(single && best);
    EXPECT_TRUE(single->converged);
    EXPECT_GT(single->rmsPercent, 5 * best->rmsPercent);
    EXPECT_LT(best->rmsPercent, 3);
}

// On a uniform soil a two-layer model cannot see an interface and must not claim one.
TEST(SoilFit, UniformSoilClaimsNoDepth) {
    for (unsigned seed : {1u, 2u, 3u}) {
        const std::optional<SoilModel> model = fit(survey({{200}, {}}, kSpacings, 0.02, seed), 2);
        ASSERT_TRUE(model);
        EXPECT_TRUE(model->converged);
        const std::optional<double>& sigma = model->thicknessSigma[0];
        EXPECT_TRUE(!sigma || *sigma > model->earth.thickness[0])
            << "h " << model->earth.thickness[0] << " ± " << *sigma;
    }
}

// A fit that has found its optimum says so, whatever the survey: two and three layers over
// many scattered surveys of uniform and of layered soils.
TEST(SoilFit, FitsThatReachTheirOptimumSaySo) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        for (const LayeredEarth& earth :
             {LayeredEarth{{200}, {}}, LayeredEarth{{40, 900}, {1.2}}}) {
            const std::vector<SoilModel> models =
                fitSoilModels(survey(earth, kSpacings, 0.03, seed));
            ASSERT_EQ(models.size(), 3u);
            for (const SoilModel& model : models) {
                EXPECT_TRUE(model.converged) << model.layers() << " layers, seed " << seed;
            }
        }
    }
}

TEST(SoilFit, PointsAgainstParameters) {
    const std::vector<SoilPoint> points = survey({{300, 60}, {2.5}}, {1, 4, 16}, 0.02);
    // Two points cannot carry three parameters.
    EXPECT_FALSE(fitSoilModel({points[0], points[1]}, 2));
    EXPECT_FALSE(fitSoilModelFrom({points[0], points[1]}, {{300, 60}, {2.5}}));
    EXPECT_FALSE(fitSoilModelFrom({}, {{300}, {}}));
    // More spacings than one survey has: several mixed together, which no fit should take.
    std::vector<double> many;
    for (int k = 1; k <= kMaxFittedSpacings + 1; ++k) {
        many.push_back(0.1 * k);
    }
    const std::vector<SoilPoint> mixed = survey({{300, 60}, {2.5}}, many);
    EXPECT_TRUE(fitSoilModels(mixed).empty());
    EXPECT_TRUE(modelProblemText(2, mixed, nullptr).contains(QStringLiteral("201种")));
    EXPECT_EQ(fitSoilModels({points[0], points[1]}).size(), 1u);
    // Three can, with nothing left to tell the scatter by.
    const std::optional<SoilModel> exact = fit(points, 2);
    ASSERT_TRUE(exact);
    EXPECT_LT(exact->rmsPercent, 1e-6);
    for (const auto& sigma : exact->rhoSigma) {
        EXPECT_FALSE(sigma);
    }
    EXPECT_FALSE(exact->thicknessSigma[0]);
}

// Two traverses give two readings at each spacing; each is used and has its own error.
TEST(SoilFit, RepeatedSpacingsAreAllUsed) {
    const LayeredEarth earth{{300, 60}, {2.5}};
    std::vector<SoilPoint> points = survey(earth, kSpacings, 0.02, 4);
    const std::vector<SoilPoint> second = survey(earth, kSpacings, 0.02, 5);
    points.insert(points.end(), second.begin(), second.end());
    const std::optional<SoilModel> model = fit(points, 2);
    ASSERT_TRUE(model);
    ASSERT_EQ(model->errorsPercent.size(), points.size());
    double squares = 0;
    for (size_t k = 0; k < points.size(); ++k) {
        const double r =
            1 - wennerApparentResistivity(model->earth, points[k].spacing) / points[k].rho;
        EXPECT_NEAR(model->errorsPercent[k], 100 * r, 1e-9);
        squares += r * r;
    }
    EXPECT_NEAR(model->rmsPercent, 100 * std::sqrt(squares / double(points.size())), 1e-9);
    EXPECT_NEAR(model->earth.thickness[0], 2.5, 0.25);
}

}  // namespace
}  // namespace kelvora::soil
