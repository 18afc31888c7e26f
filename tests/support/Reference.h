// Independent reference formulas for the tests, written with the exact normal distribution
// (std::erfc) rather than the library's polynomial approximation.
#pragma once

#include <cmath>

namespace quantrel::testing {

inline double ExactN(double x) {
  return 0.5 * std::erfc(-x / std::sqrt(2.0));
}
inline double ExactDensity(double x) {
  return std::exp(-x * x / 2) / std::sqrt(2 * M_PI);
}

struct BlackScholesRef {
  double S, X, T, v, r, q;
  double d1() const { return (std::log(S / X) + (r - q + v * v / 2) * T) / (v * std::sqrt(T)); }
  double d2() const { return d1() - v * std::sqrt(T); }
  double Call() const {
    return S * std::exp(-q * T) * ExactN(d1()) - X * std::exp(-r * T) * ExactN(d2());
  }
  double Put() const {
    return X * std::exp(-r * T) * ExactN(-d2()) - S * std::exp(-q * T) * ExactN(-d1());
  }
  double Vega() const { return S * std::exp(-q * T) * ExactDensity(d1()) * std::sqrt(T); }
};

}  // namespace quantrel::testing
