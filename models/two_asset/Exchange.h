// The European exchange value, shared with the rainbow puts.
#pragma once

namespace quantrel {

// The value now of receiving Q1 units of asset 1 for Q2 units of asset 2 at T, if worth it: a
// call on Q1 S1 struck at Q2 S2, the yield q1 and the second asset's yield q2 in the place of the
// rate. Never negative.
double EuropeanExchangeValue(double S1, double S2, double T, double v1, double v2, double q1,
                             double q2, double rho, double Q1 = 1, double Q2 = 1);

}  // namespace quantrel
