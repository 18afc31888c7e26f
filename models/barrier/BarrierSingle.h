// The single-barrier kernel, shared with the partial-time start barrier, whose barrier watched up
// to expiry is this one.
#pragma once

#include <cstdint>

namespace quantrel::barrier {

// A European call (type 1) or put (2) with one barrier H (barrier type Down_Out, Down_In, Up_Out
// or Up_In) and a cash rebate K: paid at the hit by a knock-out, at expiry by a knock-in that
// never came alive. A spot at or past the barrier has already hit it: a knock-out is worth its
// rebate, a knock-in the plain option. Normalised inputs: years, continuous rates. Floored at 0;
// 0 for a type outside the enumerations.
double SingleBarrierValue(int32_t type, int32_t barrierType, double S, double X, double H, double K,
                          double T, double v, double r, double q);

}  // namespace quantrel::barrier
