// Gauss-Legendre quadrature for reference integrals in the tests.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>

#include "core/OptionStatistics.h"

namespace quantrel::testing {

// The integral of f over [a, b], by a 20-point rule in panels no wider than width.
template <class F>
double Integrate(F f, double a, double b, double width) {
  static const auto rule = [] {
    std::array<std::array<double, 20>, 2> xw;
    core::GaussLegendreNodes(-1, 1, xw[0], xw[1]);
    return xw;
  }();
  const int panels = std::max(1, static_cast<int>(std::ceil((b - a) / width)));
  const double half = (b - a) / panels / 2;
  double sum = 0;
  for (int i = 0; i < panels; ++i) {
    for (size_t j = 0; j < 20; ++j) sum += rule[1][j] * f(a + half * (2 * i + 1 + rule[0][j]));
  }
  return sum * half;
}

}  // namespace quantrel::testing
