// The partial-time fixed-strike lookback value, shared with the lookback barrier, whose knock-in
// value is this lookback less the knock-out.
#pragma once

#include <cmath>
#include <cstdint>

namespace quantrel::path_dependent {

// A call pays the highest price seen from t1 to expiry T2 less X, a put X less the lowest price
// seen then (type 1 call, 2 put, anything else 0). Normalised inputs: years, continuous rates.
// Floored at 0.
double PartialFixedLookbackValue(int32_t type, double S, double X, double t1, double T2, double v,
                                 double r, double q);

// The same value on the normal distribution functions N(x) and M(a, b, rho) given, with the
// carry b = r - q (not 0: the formula divides by it). Not floored.
template <class Normal, class Bivariate>
double PartialFixedLookbackFormula(int32_t type, double S, double X, double t1, double T2, double v,
                                   double r, double q, double b, Normal N, Bivariate M) {
  const double v2 = v * v, rest = T2 - t1;
  const double sT2 = v * std::sqrt(T2), st1 = v * std::sqrt(t1), sRest = v * std::sqrt(rest);
  const double d1 = (std::log(S / X) + (b + v2 / 2) * T2) / sT2, d2 = d1 - sT2;
  const double e1 = (b + v2 / 2) * rest / sRest, e2 = e1 - sRest;
  const double f1 = (std::log(S / X) + (b + v2 / 2) * t1) / st1, f2 = f1 - st1;
  const double rho1 = std::sqrt(t1 / T2), rho2 = std::sqrt(1 - t1 / T2);
  const double K = S * std::exp(-r * T2) * v2 / (2 * b);
  const double p = -2 * b / v2;
  const double shiftT2 = 2 * b * std::sqrt(T2) / v, shiftT1 = 2 * b * std::sqrt(t1) / v;
  const double dq = std::exp(-q * T2), dr = std::exp(-r * T2), growth = std::exp(b * T2);
  const double tail = S * dq * std::exp(-b * rest) * (1 - v2 / (2 * b));

  double value = 0;
  if (type == 1) {
    value = S * dq * N(d1) - X * dr * N(d2) +
            K * (growth * M(e1, d1, rho2) -
                 std::pow(S / X, p) * M(d1 - shiftT2, -f1 + shiftT1, -rho1)) -
            S * dq * M(-e1, d1, -rho2) - X * dr * M(f2, -d2, -rho1) + tail * N(f1) * N(-e2);
  } else if (type == 2) {
    value = X * dr * N(-d2) - S * dq * N(-d1) +
            K * (std::pow(S / X, p) * M(-d1 + shiftT2, f1 - shiftT1, -rho1) -
                 growth * M(-e1, -d1, rho2)) +
            S * dq * M(e1, -d1, -rho2) + X * dr * M(-f2, d2, -rho1) - tail * N(-f1) * N(e2);
  }
  return value;
}

}  // namespace quantrel::path_dependent
