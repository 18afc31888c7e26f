// Independent references for the two-asset models: expectations taken by quadrature over one
// asset's normal driver, with the other asset's conditional law in closed form and the exact
// normal distribution, so that no formula of the library is restated. Contracts are written by
// name (support/NamedContract.h).
#pragma once

#include <cmath>
#include <sstream>
#include <string>

#include "support/NamedContract.h"
#include "support/SingleAssetReference.h"

namespace quantrel::testing {

// E[f(z)] for a standard normal z, by the midpoint rule on [-10, 10]; a jump of f at `jump` is
// integrated on either side of it.
template <class F>
double NormalExpectation(F f, double jump = NAN, int points = 20000) {
  auto integrate = [&](double lo, double hi) {
    double sum = 0, h = (hi - lo) / points;
    for (int i = 0; i < points; ++i)
      sum += ExactDensity(lo + (i + 0.5) * h) * f(lo + (i + 0.5) * h);
    return sum * h;
  };
  return jump > -10 && jump < 10 ? integrate(-10, jump) + integrate(jump, 10) : integrate(-10, 10);
}

// A lognormal asset (price, yield, volatility) under the rate r, at T.
struct Lognormal {
  double S, q, v;
  double At(double r, double T, double z) const {
    return S * std::exp((r - q - v * v / 2) * T + v * std::sqrt(T) * z);
  }
  double DriverAt(double level, double r, double T) const {
    return (std::log(level / S) - (r - q - v * v / 2) * T) / (v * std::sqrt(T));
  }
};

// Asset a given the other asset's driver z (correlation rho): lognormal again, so that a plain
// option on it is the conditional expectation.
inline Lognormal Conditional(const Lognormal& a, double rho, double T, double z) {
  const double s = a.v * std::sqrt(T);
  return {a.S * std::exp(rho * s * z - rho * rho * s * s / 2), a.q, a.v * std::sqrt(1 - rho * rho)};
}

// The contract with some inputs changed ("Correlation=1 OptionType=PutOption").
inline NamedContract Changed(NamedContract c, const std::string& changes) {
  std::istringstream words(changes);
  for (std::string w; words >> w;) c.Set(w.substr(0, w.find('=')), w.substr(w.find('=') + 1));
  return c;
}

}  // namespace quantrel::testing
