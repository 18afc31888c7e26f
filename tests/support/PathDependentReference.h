// Shared checks for the path-dependent model tests. A contract type is a struct of inputs with
// `double operator()(int32_t function, int32_t* err = nullptr, bool raw = false,
// bool skip = false) const` calling the public entry.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <initializer_list>

#include "quantrel/errors.h"
#include "support/Failures.h"

namespace quantrel::testing {

// A reported sensitivity and the input whose difference it should match, in reported units
// (Vega, Rho, Psi per percentage point: 0.01; Theta per day as time passes: -1/365).
template <class Contract>
struct Sensitivity {
  int32_t function;
  double Contract::*input;
  double unit;
};

// Each sensitivity against a central difference of the reported value, taken through the API
// with a step coarser than the library's; gamma (code 3) against the second difference.
template <class Contract>
void ExpectSensitivitiesMatchDifferences(const Contract& c,
                                         std::initializer_list<Sensitivity<Contract>> list,
                                         double h = 1e-4, double tolerance = 1e-5) {
  for (const Sensitivity<Contract>& s : list) {
    Contract up = c, down = c;
    const double step = s.function == 3 ? 100 * h : h;
    up.*s.input += step;
    down.*s.input -= step;
    const double expected = s.function == 3 ? (up(1) - 2 * c(1) + down(1)) / (step * step)
                                            : s.unit * (up(1) - down(1)) / (2 * step);
    EXPECT_NEAR(c(s.function), expected, tolerance * (1 + std::fabs(expected)))
        << "function " << s.function;
  }
}

}  // namespace quantrel::testing
