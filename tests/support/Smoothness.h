// Greeks are differences with steps of 1e-5 (gamma 1e-2), so a value must be smooth at that
// scale. These checks take third differences on a grid of 1e-6, which stay at rounding level
// unless a jump or a kink lies in the grid.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "quantrel/enums.h"

namespace quantrel::testing {

// `c` priced (c(Theoretical)) through a carry of 0 and through its asset price: the third
// differences in the yield and in the price stay below 1e-11 of the price.
template <class Contract>
void ExpectSmoothInCarryAndPrice(const Contract& c) {
  double inCarry[8], inPrice[8];
  for (int k = 0; k < 8; ++k) {
    Contract moved = c;
    moved.q = c.q + (k - 3.5) * 1e-6;
    inCarry[k] = moved(Theoretical);
    moved = c;
    moved.S = c.S + (k - 3.5) * 1e-6;
    inPrice[k] = moved(Theoretical);
  }
  for (int k = 0; k + 3 < 8; ++k) {
    auto third = [k](const double* f) { return f[k + 3] - 3 * f[k + 2] + 3 * f[k + 1] - f[k]; };
    EXPECT_LT(std::fabs(third(inCarry)), 1e-11 * c.S)
        << "type " << c.type << " v " << c.v << " k " << k;
    EXPECT_LT(std::fabs(third(inPrice)), 1e-11 * c.S)
        << "type " << c.type << " v " << c.v << " k " << k;
  }
}

}  // namespace quantrel::testing
