// Building blocks the two-asset and currency kernels share: the volatility of a ratio (or product)
// of two assets, and a European value that keeps its limit where the distribution has no spread
// left or the strike is not positive.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "core/Plainoptionsex.h"

namespace quantrel::core {

// sqrt(v1^2 + v2^2 - 2 rho v1 v2), the volatility of S1/S2 (of S1*S2 with -rho). Written as
// (v1 - v2)^2 + 2 (1 - rho) v1 v2, which keeps its accuracy when rho nears 1 with equal
// volatilities and never goes below 0 for a correlation a bump has pushed past 1.
inline double CombinedVolatility(double v1, double v2, double rho) {
  const double gap = v1 - v2;
  const double variance = gap * gap + 2 * (1 - rho) * v1 * v2;
  return variance > 0 ? std::sqrt(variance) : 0;
}

// Below this v sqrt(T) the price ratio is as good as certain: d1 and d2 would divide by nearly 0.
inline constexpr double kNoSpread = 1e-12;

// European call (1) or put (2) on S with strike X, yield q, rate r: the generalized Black-Scholes
// value, or its limit where v sqrt(T) is (nearly) 0, the discounted forward intrinsic value. A
// strike at or below 0 is sure to be exercised by a call and never by a put. Any other type: 0.
inline double EuropeanOrLimit(int32_t type, double S, double X, double T, double v, double r,
                              double q) {
  if (type != 1 && type != 2) return 0;
  if (X > 0 && v * std::sqrt(T) > kNoSpread) return GeneralizedBlackScholes(type, S, X, T, v, r, q);
  const double forward = S * std::exp(-q * T) - X * std::exp(-r * T);
  if (type == 1) return std::max(forward, 0.0);
  return X > 0 ? std::max(-forward, 0.0) : 0;
}

}  // namespace quantrel::core
