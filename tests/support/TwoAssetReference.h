// Independent references for the two-asset models: expectations taken by quadrature over one
// asset's normal driver, with the other asset's conditional law in closed form and the exact
// normal distribution, so that no formula of the library is restated.
#pragma once

#include <cmath>

#include "support/SingleAssetReference.h"

namespace quantrel::testing {

// E[f(z)] for a standard normal z, by the midpoint rule on [-10, 10]; a jump of f at `jump` is
// integrated on either side of it.
template <class F>
double NormalExpectation(F f, double jump = NAN, int points = 20000) {
  auto integrate = [&](double lo, double hi) {
    const double h = (hi - lo) / points;
    double sum = 0;
    for (int i = 0; i < points; ++i) {
      const double z = lo + (i + 0.5) * h;
      sum += ExactDensity(z) * f(z);
    }
    return sum * h;
  };
  if (jump > -10 && jump < 10) return integrate(-10, jump) + integrate(jump, 10);
  return integrate(-10, 10);
}

// A lognormal asset: price S, yield q, volatility v, under the rate r, at T.
struct Lognormal {
  double S, q, v;
  double At(double r, double T, double z) const {
    return S * std::exp((r - q - v * v / 2) * T + v * std::sqrt(T) * z);
  }
  // The driver value at which the asset ends at `level`.
  double DriverAt(double level, double r, double T) const {
    return (std::log(level / S) - (r - q - v * v / 2) * T) / (v * std::sqrt(T));
  }
};

// Asset 1 given asset 2's driver z2, correlation rho: lognormal again, with price, yield and
// volatility such that a plain option on it is the conditional expectation.
inline Lognormal Conditional(const Lognormal& a1, double rho, double T, double z2) {
  const double s = a1.v * std::sqrt(T);
  return {a1.S * std::exp(rho * s * z2 - rho * rho * s * s / 2), a1.q,
          a1.v * std::sqrt(1 - rho * rho)};
}

}  // namespace quantrel::testing
