#pragma once

#include <array>
#include <vector>

namespace kelvora::soil {

constexpr int kMaxLayers = 4;
constexpr int kMaxParameters = 2 * kMaxLayers - 1;

// A horizontally layered earth: resistivities top down, each layer but the last with its
// thickness; the last layer reaches down without end.
struct LayeredEarth {
    std::vector<double> rho;        // Ωm, 1 to kMaxLayers of them
    std::vector<double> thickness;  // m, one fewer than rho

    int layers() const { return int(rho.size()); }
    // ρ1..ρn then h1..h(n-1): the parameters of a fit.
    int parameters() const { return 2 * layers() - 1; }
};

// Derivatives of an apparent resistivity with respect to ln ρ1..ln ρn, ln h1..ln h(n-1).
using LogDerivatives = std::array<double, kMaxParameters>;

// The apparent resistivity of a Wenner array of electrode spacing `spacing` (m) on the
// surface of `earth`, which must have 1 to kMaxLayers positive resistivities and thicknesses.
double wennerApparentResistivity(const LayeredEarth& earth, double spacing,
                                 LogDerivatives* derivatives = nullptr);

// The layered earth's resistivity transform less ρ1, T(λ) - ρ1, at wavenumber λ (1/m): what
// the Hankel transform turns into the potential beyond a uniform earth's.
double resistivityTransformExcess(const LayeredEarth& earth, double lambda,
                                  LogDerivatives* derivatives = nullptr);

}  // namespace kelvora::soil
