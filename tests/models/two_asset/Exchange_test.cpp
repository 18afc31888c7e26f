#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel {
namespace {

using namespace quantrel::testing;

struct Contract {
  int32_t exercise = European;
  double S1 = 22, S2 = 20, T = 0.5, v1 = 0.2, v2 = 0.25, q1 = 0.06, q2 = 0.04, rho = -0.5;
  double Q1 = 1, Q2 = 1;

  double operator()(int32_t function = Theoretical_EX, int32_t* err = nullptr) const {
    return Exchange(exercise, function, S1, S2, T, v1, v2, q1, q2, rho, Q1, Q2, 0, Years,
                    Continuous, Continuous, err);
  }
  Contract Swapped() const {
    Contract c = *this;
    std::swap(c.S1, c.S2), std::swap(c.v1, c.v2), std::swap(c.q1, c.q2), std::swap(c.Q1, c.Q2);
    return c;
  }
  double Forward() const { return Q1 * S1 * std::exp(-q1 * T) - Q2 * S2 * std::exp(-q2 * T); }
  // Cox-Ross-Rubinstein on the price ratio with asset 2 as numeraire: an American call on Q1 S1
  // struck at Q2 S2, rate q2, carry q2 - q1.
  double Lattice(int steps = 1500) const {
    const double v = std::sqrt(v1 * v1 + v2 * v2 - 2 * rho * v1 * v2), dt = T / steps;
    const double u = std::exp(v * std::sqrt(dt)), d = 1 / u;
    const double p = (std::exp((q2 - q1) * dt) - d) / (u - d), disc = std::exp(-q2 * dt);
    const double A = Q1 * S1, X = Q2 * S2;
    std::vector<double> value(steps + 1);
    for (int j = 0; j <= steps; ++j) value[j] = std::max(A * std::pow(u, 2 * j - steps) - X, 0.0);
    for (int i = steps - 1; i >= 0; --i) {
      for (int j = 0; j <= i; ++j) {
        const double held = disc * (p * value[j + 1] + (1 - p) * value[j]);
        value[j] = std::max(held, A * std::pow(u, 2 * j - i) - X);
      }
    }
    return value[0];
  }
};

const Contract kCases[] = {
    {European, 22, 20, 0.5, 0.2, 0.25, 0.06, 0.04, -0.5},
    {European, 100, 110, 2, 0.35, 0.2, 0.08, 0.01, 0.3},
    {European, 50, 45, 1, 0.3, 0.3, 0.1, 0.0, 0.9, 2.5, 3},  // asset 2 pays nothing
    {European, 80, 100, 0.25, 0.4, 0.15, 0.02, -0.03, -0.8, 0.01, 0.008},
};

// Receiving asset 1 for asset 2 less the reverse is the forward exchange (Margrabe's symmetry).
TEST(Exchange, TheTwoDirectionsDifferByTheForward) {
  for (const Contract& c : kCases) {
    EXPECT_NEAR(c() - c.Swapped()(), c.Forward(), 1e-9 * c.Q1 * c.S1) << c.S1 << " " << c.S2;
  }
}

TEST(Exchange, ScalesWithThePricesAndTheQuantities) {
  for (const Contract& c : kCases) {
    Contract scaled = c, units = c;
    scaled.S1 *= 3, scaled.S2 *= 3;
    EXPECT_NEAR(scaled(), 3 * c(), 1e-12 * scaled());
    units.S1 *= c.Q1, units.S2 *= c.Q2, units.Q1 = units.Q2 = 1;
    EXPECT_NEAR(units(), c(), 1e-12 * units());
  }
}

// Early exercise pays only while asset 1 yields: with no yield the American is the European
// exactly; otherwise the approximation is a lower bound close to the lattice, never below the
// European value or exercise now. The third case has asset 2 without yield, where the
// approximation's own fallback read 0.
TEST(Exchange, AmericanLiesBetweenItsBoundsAndNearTheLattice) {
  for (Contract c : kCases) {
    c.exercise = American;
    Contract european = c;
    european.exercise = European;
    const double american = c(), lattice = c.Lattice();
    EXPECT_GE(american, std::max(european(), c.Q1 * c.S1 - c.Q2 * c.S2));
    EXPECT_LE(american, lattice * (1 + 2e-3) + 1e-6) << c.S1;
    EXPECT_GE(american, lattice * 0.98) << c.S1;
    c.q1 = european.q1 = -0.01;
    EXPECT_EQ(c(), european()) << c.S1;
  }
  Contract deep{American, 60, 20, 1, 0.2, 0.25, 0.3, 0.02, 0.5};  // beyond the trigger
  EXPECT_EQ(deep(), 40.0);
}

TEST(Exchange, AmericanWithoutYieldOnAssetTwoAndLittleSpreadKeepsItsValue) {
  // The ratio's volatility is 0.5%: the approximation's powers overflow and its fallback, at a
  // rate of 0, would give 0.
  Contract c{American, 22, 20, 1, 0.2, 0.2, 0.06, 0.0, 0.9996875};
  EXPECT_GE(c(), 2.0);
  EXPECT_NEAR(c(), c.Lattice(), 0.02 * c.Lattice());
}

// Perfectly correlated assets of equal volatility: the ratio is certain.
TEST(Exchange, ACertainRatioIsWorthItsForward) {
  for (double rho : {1.0, 0.99999999999}) {
    Contract c{European, 22, 20, 0.5, 0.3, 0.3, 0.06, 0.04, rho};
    EXPECT_NEAR(c(), std::max(c.Forward(), 0.0), 1e-6);
    c.exercise = American;
    EXPECT_GE(c(), 2.0);
    EXPECT_TRUE(std::isfinite(c(Vega1_EX)) && std::isfinite(c(Chi_EX)));
  }
}

TEST(Exchange, FailuresComeInOrderWithExactCodesAndMessages) {
  const Contract c;
  ExpectFailures<Contract>({
      {"first quantity", With(c, [](Contract& k) { k.Q1 = 0, k.Q2 = 0; }), Theoretical_EX,
       Quantity1Err, "Quantity1 must be greater than 0."},
      {"second quantity", With(c, [](Contract& k) { k.Q2 = -1; }), Theoretical_EX, Quantity2Err,
       "Quantity2 must be greater than 0."},
      {"no strike to move", c, StrikeSensitivity, OptionFunctionErr,
       "The OptionFunction is invalid."},
  });
  Contract seven = c;
  seven.exercise = 7;  // anything but American is European
  EXPECT_EQ(seven(), c());
}

}  // namespace
}  // namespace quantrel
