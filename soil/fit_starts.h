#pragma once

#include <functional>
#include <vector>

#include "soil/soil_fit.h"

namespace kelvora::soil {

// Models spread over the survey's range, for a fit of 2 or 3 layers to start from; the grid
// is scored with `sumOfSquares` and only its best few, no two alike, are kept.
std::vector<LayeredEarth> gridStarts(
    const std::vector<SoilPoint>& points, int layers,
    const std::function<double(const LayeredEarth&)>& sumOfSquares);

// The model of one layer less with one of its layers split into two of the same resistivity:
// the same earth, so a fit from it ends at least as good as that model.
std::vector<LayeredEarth> splitStarts(const LayeredEarth& fewer,
                                      const std::vector<SoilPoint>& points);

// The model of one layer less over a much more conductive or much more resistive layer at
// about the longest spacing: optima there are reached from nowhere else.
std::vector<LayeredEarth> deepLayerStarts(const LayeredEarth& fewer,
                                          const std::vector<SoilPoint>& points);

// The guess by eye: the first and last readings for the top and bottom layers, the
// interfaces spread over the spacings.
LayeredEarth obviousStart(const std::vector<SoilPoint>& points, int layers);

}  // namespace kelvora::soil
