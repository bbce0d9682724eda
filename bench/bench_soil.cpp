#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "bench/bench.h"
#include "soil/soil_fit.h"

namespace kelvora::bench {

namespace {

constexpr int kRuns = 11;

// A survey over `earth` at `count` spacings from 0.5 m to 50 m with 2 % of scatter.
std::vector<soil::SoilPoint> survey(const soil::LayeredEarth& earth, int count) {
    std::mt19937 random(7);
    std::normal_distribution<double> scatter(0, 0.02);
    std::vector<soil::SoilPoint> points;
    for (int k = 0; k < count; ++k) {
        const double a = 0.5 * std::pow(100.0, double(k) / (count - 1));
        points.push_back({a, soil::wennerApparentResistivity(earth, a) * (1 + scatter(random)), 0});
    }
    return points;
}

// The fit of `layers` layers as the window makes it: from every start, including the model
// of one layer less.
double medianFitMilliseconds(const std::vector<soil::SoilPoint>& points, int layers) {
    const std::vector<soil::SoilModel> fewer = soil::fitSoilModels(points, layers - 1);
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        const auto start = BenchClock::now();
        soil::fitSoilModel(points, layers, &fewer.back());
        times.push_back(millisecondsSince(start));
    }
    return median(times);
}

}  // namespace

void runSoilBenchmarks() {
    printGoal("soil: two-layer fit of 11 points, median of 11",
              medianFitMilliseconds(survey({{300, 60}, {2.5}}, 11), 2), "ms", 20);
    printGoal("soil: three-layer fit of 30 points, median of 11",
              medianFitMilliseconds(survey({{100, 800, 40}, {1.5, 6}}, 30), 3), "ms", 300);
}

}  // namespace kelvora::bench
