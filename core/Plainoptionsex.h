// Plain-option building blocks: generalized Black-Scholes-Merton values and deltas, and the
// Bjerksund-Stensland (1993) American call. Inputs are normalised: years, continuous rates.
#pragma once

#include <cstdint>

namespace quantrel::core {

// European call (type 1) or put (type 2) with continuous yield q; 0 for any other type. Not
// floored.
double GeneralizedBlackScholes(int32_t type, double S, double X, double T, double v, double r,
                               double q);

struct CallPutPair {
  double callValue, putValue, callDelta, putDelta;
};
// A call (strike Xc, expiry Tc) and a put (Xp, Tp), both seen from time t.
CallPutPair BlackScholesCallPutPair(double S, double Xc, double Xp, double t, double Tc, double Tp,
                                    double v, double r, double q);

struct ValueDelta {
  double value, delta;
};
// Type 1 is a call; any other type a put.
ValueDelta BlackScholesValueDelta(int32_t type, double S, double X, double T, double v, double r,
                                  double q);

// American call with cost of carry b; the European value where early exercise never pays or the
// approximation's powers would overflow.
double BjerksundStenslandCall(double S, double X, double T, double v, double r, double b);
// The phi term; sets `overflow` (and returns 0) when a power would overflow, and returns 0 once
// it is set.
double BjerksundStenslandPhi(double S, double T, double gamma, double H, double I, double r,
                             double b, double v, bool& overflow);

}  // namespace quantrel::core
