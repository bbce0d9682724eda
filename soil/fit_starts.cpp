#include "soil/fit_starts.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace kelvora::soil {

namespace {

constexpr int kGridStarts = 6;
// Grid models closer than this in every ln-parameter are one start.
constexpr double kDistinct = 0.7;

struct Range {
    double rhoMin = HUGE_VAL, rhoMax = 0, spacingMin = HUGE_VAL, spacingMax = 0;
};

Range rangeOf(const std::vector<SoilPoint>& points) {
    Range range;
    for (const SoilPoint& point : points) {
        range.rhoMin = std::min(range.rhoMin, point.rho);
        range.rhoMax = std::max(range.rhoMax, point.rho);
        range.spacingMin = std::min(range.spacingMin, point.spacing);
        range.spacingMax = std::max(range.spacingMax, point.spacing);
    }
    return range;
}

std::vector<double> logSpaced(double from, double to, int count) {
    std::vector<double> values;
    for (int k = 0; k < count; ++k) {
        values.push_back(count == 1 ? std::sqrt(from * to)
                                    : from * std::pow(to / from, double(k) / (count - 1)));
    }
    return values;
}

// Resistivities somewhat beyond the readings, interfaces from a third of the shortest spacing
// to the longest.
std::vector<LayeredEarth> grid(const Range& range, int layers) {
    const int perAxis = layers == 2 ? 6 : 4;
    const std::vector<double> rhos = logSpaced(range.rhoMin / 10, range.rhoMax * 10, perAxis);
    const std::vector<double> depths = logSpaced(range.spacingMin / 3, range.spacingMax, perAxis);
    std::vector<LayeredEarth> models;
    for (double r1 : rhos) {
        for (double r2 : rhos) {
            for (double d : depths) {
                if (layers == 2) {
                    models.push_back({{r1, r2}, {d}});
                    continue;
                }
                for (double r3 : rhos) {
                    for (double ratio : {0.5, 2.0, 6.0, 20.0}) {
                        models.push_back({{r1, r2, r3}, {d, d * ratio}});
                    }
                }
            }
        }
    }
    return models;
}

double logDistance(const LayeredEarth& a, const LayeredEarth& b) {
    double distance = 0;
    for (size_t i = 0; i < a.rho.size(); ++i) {
        distance = std::max(distance, std::abs(std::log(a.rho[i] / b.rho[i])));
    }
    for (size_t i = 0; i < a.thickness.size(); ++i) {
        distance = std::max(distance, std::abs(std::log(a.thickness[i] / b.thickness[i])));
    }
    return distance;
}

}  // namespace

std::vector<LayeredEarth> gridStarts(
    const std::vector<SoilPoint>& points, int layers,
    const std::function<double(const LayeredEarth&)>& sumOfSquares) {
    std::vector<std::pair<double, LayeredEarth>> scored;
    for (LayeredEarth& model : grid(rangeOf(points), layers)) {
        const double score = sumOfSquares(model);
        scored.emplace_back(score, std::move(model));
    }
    std::sort(scored.begin(), scored.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<LayeredEarth> starts;
    for (const auto& candidate : scored) {
        const bool distinct = std::all_of(starts.begin(), starts.end(), [&](const auto& start) {
            return logDistance(start, candidate.second) > kDistinct;
        });
        if (distinct) {
            starts.push_back(candidate.second);
        }
        if (int(starts.size()) == kGridStarts) {
            break;
        }
    }
    return starts;
}

std::vector<LayeredEarth> splitStarts(const LayeredEarth& fewer,
                                      const std::vector<SoilPoint>& points) {
    std::vector<LayeredEarth> starts;
    for (size_t j = 0; j < fewer.thickness.size(); ++j) {
        LayeredEarth split = fewer;
        split.rho.insert(split.rho.begin() + long(j), fewer.rho[j]);
        split.thickness[j] /= 2;
        split.thickness.insert(split.thickness.begin() + long(j), split.thickness[j]);
        starts.push_back(split);
    }
    // The bottom layer gets a new interface below the last one.
    const Range range = rangeOf(points);
    const double depth =
        std::max(std::accumulate(fewer.thickness.begin(), fewer.thickness.end(), 0.0),
                 std::sqrt(range.spacingMin * range.spacingMax) / 2);
    for (double factor : {0.5, 2.0}) {
        LayeredEarth split = fewer;
        split.rho.push_back(fewer.rho.back());
        split.thickness.push_back(depth * factor);
        starts.push_back(split);
    }
    return starts;
}

std::vector<LayeredEarth> deepLayerStarts(const LayeredEarth& fewer,
                                          const std::vector<SoilPoint>& points) {
    const Range range = rangeOf(points);
    const double above = std::accumulate(fewer.thickness.begin(), fewer.thickness.end(), 0.0);
    std::vector<LayeredEarth> starts;
    for (const double rho : {range.rhoMin / 30, range.rhoMax * 30}) {
        LayeredEarth deeper = fewer;
        deeper.rho.push_back(rho);
        deeper.thickness.push_back(std::max(2 * range.spacingMax - above, range.spacingMax / 2));
        starts.push_back(deeper);
    }
    return starts;
}

LayeredEarth obviousStart(const std::vector<SoilPoint>& points, int layers) {
    const auto bySpacing = [](const SoilPoint& a, const SoilPoint& b) {
        return a.spacing < b.spacing;
    };
    const Range range = rangeOf(points);
    LayeredEarth earth;
    earth.rho = logSpaced(std::min_element(points.begin(), points.end(), bySpacing)->rho,
                          std::max_element(points.begin(), points.end(), bySpacing)->rho, layers);
    const std::vector<double> depths = logSpaced(range.spacingMin, range.spacingMax, layers + 1);
    for (int i = 1; i < layers; ++i) {
        earth.thickness.push_back(depths[size_t(i)] - (i > 1 ? depths[size_t(i - 1)] : 0));
    }
    return earth;
}

}  // namespace kelvora::soil
