#pragma once

#include <array>

namespace kelvora::soil {

// A digital linear filter for the Hankel transform of order 0:
//   ∫₀^∞ f(λ) J0(λr) dλ ≈ (1/r) Σᵢ f(bᵢ/r) wᵢ
struct HankelJ0Filter {
    static constexpr int kPoints = 61;
    std::array<double, kPoints> base;
    std::array<double, kPoints> weights;
};

const HankelJ0Filter& hankelJ0Filter();

}  // namespace kelvora::soil
