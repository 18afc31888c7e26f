// Distribution functions, the shared d1/d2 routine, Gauss-Legendre nodes and rate conversion.
#pragma once

#include <cstdint>
#include <span>

namespace quantrel::core {

// 2*pi and pi to 15 significant digits, as the published formulas of the distribution functions
// write them: with these constants the results agree to the last digit with reference values
// computed from the same formulas (the difference from full precision, about 1e-15 relative, is
// far below the approximations' own error).
inline constexpr double kTwoPi = 6.28318530717958;
inline constexpr double kPi = 3.14159265358979;
inline constexpr long double kInvPi = 0.3183098861837909989L;

int32_t Sign(double x);
double NormalDensity(double x);
// Abramowitz-Stegun 26.2.17; accurate to about 1e-7.
double CumulativeNormal(double x);
// Drezner (1978), computed in extended precision. Where the processor has AVX2 and FMA, the
// quadrature's terms are taken four at a time, and the result is within an ulp of the one-by-one
// way.
double BivariateNormal(long double a, long double b, long double rho);

namespace detail {
// The same without the vector units: the leaf's exponentials one by one in the C library.
double BivariateNormalScalar(long double a, long double b, long double rho);
}  // namespace detail

// d1 and d2 of the generalized Black-Scholes model. Mode 2 separates the time of the drift (T1)
// from the time of the variance (T2); any other mode uses T1 for both, with the price ratio
// scaled by k1/k2. False (and zero d1, d2) when S < 0 or X <= 0; S = 0 is taken as 1e-17.
bool ComputeD1D2(int mode, double S, double X, double r, double q, double T1, double T2, double v,
                 double k1, double k2, double& d1, double& d2);

// Gauss-Legendre nodes and weights on [x1, x2]; nodes.size() == weights.size() points, nodes in
// increasing order.
void GaussLegendreNodes(double x1, double x2, std::span<double> nodes, std::span<double> weights);

enum class RateKind { Interest = 1, Yield = 2 };

// r <- m*ln(1 + r/m), with r = -1 at m = 1 nudged to -0.99999999999999.
void PeriodicToContinuous(double& rate, double m);
// Converts one quoted rate (an enumCompoundRate convention) to a continuous rate in place, with T
// in years. Fails with the convention's error for an unknown type or an impossible conversion.
// The time format is accepted for symmetry with the callers and not used.
bool ConvertRate(double& rate, double T, int32_t rateType, int32_t timeFormat, int32_t* errorCode,
                 RateKind kind);

}  // namespace quantrel::core
