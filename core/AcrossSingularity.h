// Closed forms that divide by a quantity that can reach 0 (the carry b = r - q, a volatility
// term) have a finite limit there, but near it the rounding of their terms is divided by that
// quantity. Within a band around the singular point the value is instead interpolated by the
// cubic through the formula at one and two band-widths on either side, where it is sound: the
// result is smooth through the point, within about band^4 times the fourth derivative of the
// formula, and its rounding noise stays that of the formula a band-width away.
#pragma once

#include <cmath>

namespace quantrel::core {

// `price(x)` for an input x (a yield, say) whose formula is singular at x = `singular`.
template <class Price>
double AcrossSingularity(double x, double singular, double band, Price&& price) {
  const double d = x - singular;
  if (!(std::fabs(d) < band)) return price(x);
  const double u = d / band;  // in (-1, 1); the nodes sit at -2, -1, 1 and 2
  const double farBelow = price(singular - 2 * band), below = price(singular - band);
  const double above = price(singular + band), farAbove = price(singular + 2 * band);
  // Lagrange weights of the four nodes at u.
  const double wFarBelow = -(u + 1) * (u - 1) * (u - 2) / 12;
  const double wBelow = (u + 2) * (u - 1) * (u - 2) / 6;
  const double wAbove = -(u + 2) * (u + 1) * (u - 2) / 6;
  const double wFarAbove = (u + 2) * (u + 1) * (u - 1) / 12;
  return wFarBelow * farBelow + wBelow * below + wAbove * above + wFarAbove * farAbove;
}

}  // namespace quantrel::core
