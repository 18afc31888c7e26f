// Distribution functions accurate to double precision and smooth in their arguments, for the
// closed forms whose terms cancel heavily (a small carry divides them, or a large power multiplies
// a tiny probability). The approximations in OptionStatistics.h stay the default elsewhere.
#pragma once

namespace quantrel::core::accurate {

// The standard normal distribution function, from std::erfc.
double Normal(double x);
// ln N(x), relatively accurate far into the lower tail.
double LogNormal(double x);
// e^logScale * N(x), relatively accurate when a huge scale meets a tiny probability.
double ScaledNormal(double logScale, double x);
// P(X < a, Y < c) for standard normals with correlation rho (Genz's double-precision method).
double Bivariate(double a, double c, double rho);
// e^logScale * Bivariate(a, c, rho), relatively accurate when a huge scale meets a tiny
// probability (by quadrature in log space when the scale is large).
double ScaledBivariate(double logScale, double a, double c, double rho);

}  // namespace quantrel::core::accurate
