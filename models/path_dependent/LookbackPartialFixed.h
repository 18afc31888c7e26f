// The partial-time fixed-strike lookback value, shared with the lookback barrier, whose knock-in
// value is this lookback less the knock-out.
#pragma once

#include <cstdint>

namespace quantrel::path_dependent {

// A call pays the highest price seen from t1 to expiry T2 less X, a put X less the lowest price
// seen then (type 1 call, 2 put, anything else 0). Normalised inputs: years, continuous rates.
// Floored at 0.
double PartialFixedLookbackValue(int32_t type, double S, double X, double t1, double T2, double v,
                                 double r, double q);

}  // namespace quantrel::path_dependent
