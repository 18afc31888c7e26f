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

// `c`'s raw Delta, Gamma and Rho against central differences of its value with steps of 1e-4
// (relative for the price).
template <class Contract>
void ExpectGreeksMatchCoarseDifferences(const Contract& c) {
  auto at = [&](double dS, double dr) {
    Contract moved = c;
    moved.S += dS, moved.r += dr;
    return moved(Theoretical);
  };
  const double hS = 1e-4 * c.S, hr = 1e-4;
  const double delta = (at(hS, 0) - at(-hS, 0)) / (2 * hS);
  const double gamma = (at(hS, 0) - 2 * at(0, 0) + at(-hS, 0)) / (hS * hS);
  const double rho = (at(0, hr) - at(0, -hr)) / (2 * hr);
  const bool raw = true;
  EXPECT_NEAR(c(Delta, nullptr, raw), delta, 1e-6 + 1e-5 * std::fabs(delta)) << "S " << c.S;
  EXPECT_NEAR(c(Gamma, nullptr, raw), gamma, 1e-6 + 1e-4 * std::fabs(gamma)) << "S " << c.S;
  EXPECT_NEAR(c(Rho, nullptr, raw), rho, 1e-6 + 1e-5 * std::fabs(rho)) << "S " << c.S;
}

}  // namespace quantrel::testing
