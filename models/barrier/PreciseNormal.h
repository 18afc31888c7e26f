// Normal distribution functions accurate to double precision far into the tails. The barrier
// formulas weight normal probabilities by image factors such as (H/S)^(2 mu), which grow without
// bound as the volatility falls; the library's approximations carry absolute errors near 1e-7
// that such a factor turns into nonsense, so the kernels that multiply bivariate probabilities by
// these factors use these functions instead.
#pragma once

namespace quantrel::barrier {

// N(x), from the complementary error function.
double PreciseNormal(double x);

// M(a, b; rho): the chance that two standard normals with correlation rho are below a and b
// (Genz 2004), for -1 <= rho <= 1 (the limits included), accurate where it is tiny too.
double PreciseBivariateNormal(double a, double b, double rho);

}  // namespace quantrel::barrier
