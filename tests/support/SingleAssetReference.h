// Independent references for the single-asset time-structured models: discounted expectations
// over the asset price at an intermediate date, taken by quadrature with the exact normal
// distribution, so that no closed form of the library is restated.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

#include "quantrel/errors.h"
#include "support/Failures.h"
#include "support/Reference.h"

namespace quantrel::testing {

// Plain European value, exact normal distribution.
inline double PlainRef(bool call, double S, double X, double T, double v, double r, double q) {
  const BlackScholesRef bs{S, X, T, v, r, q};
  return call ? bs.Call() : bs.Put();
}

// e^(-r t) E[payoff(S_t)] for a lognormal S_t with carry r - q, by the midpoint rule over the
// standard normal driver on [-10, 10]. A payoff that jumps at the price `jump` is integrated on
// either side of it, so the jump costs no accuracy.
template <class Payoff>
double DiscountedExpectation(double S, double t, double v, double r, double q, Payoff payoff,
                             double jump = NAN) {
  const double drift = (r - q - v * v / 2) * t, spread = v * std::sqrt(t);
  auto integrate = [&](double lo, double hi) {
    const int points = 20000;
    const double h = (hi - lo) / points;
    double sum = 0;
    for (int i = 0; i < points; ++i) {
      const double z = lo + (i + 0.5) * h;
      sum += ExactDensity(z) * payoff(S * std::exp(drift + spread * z));
    }
    return sum * h;
  };
  double total;
  const double split = (std::log(jump / S) - drift) / spread;
  if (jump > 0 && split > -10 && split < 10) {
    total = integrate(-10, split) + integrate(split, 10);
  } else {
    total = integrate(-10, 10);
  }
  return std::exp(-r * t) * total;
}

}  // namespace quantrel::testing
