// Closed forms in the carry b = r - q that divide by b: their terms cancel as b nears 0 and the
// rounding left over is divided by b. Near 0 the value is instead interpolated in b, by the cubic
// through the values at b = +-delta and +-2*delta, which is smooth through 0 and, for a delta well
// inside the scale on which the value bends, far more accurate than the cancelling terms.
#pragma once

#include <cmath>

namespace quantrel::core {

// value(q) prices with the yield q at the interest rate r held fixed.
template <class Value>
double ThroughZeroCarry(Value value, double r, double q, double delta) {
  const double t = (r - q) / delta;
  if (!(std::fabs(t) < 1)) return value(q);
  const double tm = t - 1, tp = t + 1, tm2 = t - 2, tp2 = t + 2;
  return -tp * tm * tm2 / 12 * value(r + 2 * delta) + tp2 * tm * tm2 / 6 * value(r + delta) -
         tp2 * tp * tm2 / 6 * value(r - delta) + tp * tm * tp2 / 12 * value(r - 2 * delta);
}

}  // namespace quantrel::core
