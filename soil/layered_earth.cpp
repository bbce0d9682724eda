#include "soil/layered_earth.h"

#include <cmath>

#include "soil/hankel_filter.h"

namespace kelvora::soil {

// The resistivity transform by Pekeris' recurrence from the bottom layer up,
//   T(n) = ρn,  T(i) = ρi (T(i+1) + ρi tanh λhi) / (ρi + T(i+1) tanh λhi),
// with tanh written through e = exp(-2λh), which cannot overflow for deep or thick layers.
// The top step gives T(1) - ρ1 directly, as ρ1 (T(2) - ρ1)(1 - tanh) / D, because the
// difference vanishes at large λ and must not be left to a subtraction.
double resistivityTransformExcess(const LayeredEarth& earth, double lambda,
                                  LogDerivatives* derivatives) {
    const int n = earth.layers();
    const bool derive = derivatives != nullptr;
    LogDerivatives d{};
    double t = earth.rho[size_t(n - 1)];
    d[size_t(n - 1)] = t;
    double excess = 0;
    for (int i = n - 2; i >= 0; --i) {
        const double rho = earth.rho[size_t(i)];
        const double h = earth.thickness[size_t(i)];
        const double e = std::exp(-2 * lambda * h);
        const double tanh = (1 - e) / (1 + e);
        const double sech2 = 4 * e / ((1 + e) * (1 + e));
        const double denominator = rho + t * tanh;
        const double next = i > 0 ? rho * (t + rho * tanh) / denominator
                                  : rho * (t - rho) * (2 * e / (1 + e)) / denominator;
        if (derive) {
            const double d2 = denominator * denominator;
            const double chain = rho * rho * sech2 / d2;  // ∂T(i)/∂T(i+1)
            for (int p = i + 1; p < n; ++p) {
                d[size_t(p)] *= chain;
            }
            for (int p = n + i + 1; p < 2 * n - 1; ++p) {
                d[size_t(p)] *= chain;
            }
            // ∂T(i)/∂ln ρi = T(i) - ρi² T(i+1) sech² / D², and T(1) - ρ1 loses ρ1 on both sides.
            d[size_t(i)] = next - rho * rho * t * sech2 / d2;
            d[size_t(n + i)] = h * lambda * rho * (rho * rho - t * t) * sech2 / d2;
        }
        if (i > 0) {
            t = next;
        } else {
            excess = next;
        }
    }
    if (derive) {
        if (n == 1) {
            d[0] = 0;  // T - ρ1 is nought for any ρ1
        }
        *derivatives = d;
    }
    return excess;
}

// ρa = 2a (F(a) - F(2a)) with F(r) = ∫ T(λ) J0(λr) dλ; the ρ1 part of T gives ρ1/r exactly,
// so only the excess goes through the filter: ρa = ρ1 + 2 Σ w K(b/a) - Σ w K(b/2a).
double wennerApparentResistivity(const LayeredEarth& earth, double spacing,
                                 LogDerivatives* derivatives) {
    const HankelJ0Filter& filter = hankelJ0Filter();
    const int parameters = earth.parameters();
    double rho = earth.rho[0];
    LogDerivatives total{};
    total[0] = earth.rho[0];
    if (earth.layers() > 1) {
        LogDerivatives d{};
        for (int k = 0; k < HankelJ0Filter::kPoints; ++k) {
            const double w = filter.weights[size_t(k)];
            for (const double factor : {2.0, -1.0}) {
                const double r = factor > 0 ? spacing : 2 * spacing;
                const double excess = resistivityTransformExcess(earth, filter.base[size_t(k)] / r,
                                                                 derivatives ? &d : nullptr);
                rho += factor * w * excess;
                if (derivatives) {
                    for (int p = 0; p < parameters; ++p) {
                        total[size_t(p)] += factor * w * d[size_t(p)];
                    }
                }
            }
        }
    }
    if (derivatives) {
        *derivatives = total;
    }
    return rho;
}

}  // namespace kelvora::soil
