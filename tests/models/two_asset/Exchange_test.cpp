#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "quantrel/quantrel.h"
#include "support/TwoAssetReference.h"

namespace quantrel::testing {
namespace {

const NamedContract kBase("Exchange",
                          "ExerciseType=European AssetPrice1=22 AssetPrice2=20 TimeExpire=0.5 "
                          "Volatility1=0.2 Volatility2=0.25 YieldRate1=0.06 YieldRate2=0.04 "
                          "Correlation=-0.5 QtyAsset1=1 QtyAsset2=1 TimeFormat=Years");
const char* const kCases[] = {
    "", "AssetPrice1=100 AssetPrice2=110 TimeExpire=2 Volatility1=0.35 YieldRate2=0.01",
    "YieldRate2=0 Correlation=0.9 QtyAsset1=2.5 QtyAsset2=3",  // asset 2 pays nothing
    "AssetPrice1=80 YieldRate2=-0.03 Correlation=-0.8 QtyAsset1=0.01 QtyAsset2=0.008"};

struct Terms {
  double A, X, T, v, q1, q2;  // Q1 S1, Q2 S2, the ratio's volatility
  explicit Terms(const NamedContract& c)
      : A(c.Get("QtyAsset1") * c.Get("AssetPrice1")),
        X(c.Get("QtyAsset2") * c.Get("AssetPrice2")),
        T(c.Get("TimeExpire")),
        q1(c.Get("YieldRate1")),
        q2(c.Get("YieldRate2")) {
    const double v1 = c.Get("Volatility1"), v2 = c.Get("Volatility2"), rho = c.Get("Correlation");
    v = std::sqrt(v1 * v1 + v2 * v2 - 2 * rho * v1 * v2);
  }
  double Forward() const { return A * std::exp(-q1 * T) - X * std::exp(-q2 * T); }
  // Cox-Ross-Rubinstein on the price ratio, asset 2 the numeraire: an American call on A struck at
  // X, rate q2, carry q2 - q1.
  double Lattice(int steps = 1500) const {
    const double dt = T / steps, u = std::exp(v * std::sqrt(dt));
    const double p = (std::exp((q2 - q1) * dt) - 1 / u) / (u - 1 / u), disc = std::exp(-q2 * dt);
    std::vector<double> w(steps + 1);
    for (int j = 0; j <= steps; ++j) w[j] = std::max(A * std::pow(u, 2 * j - steps) - X, 0.0);
    for (int i = steps - 1; i >= 0; --i) {
      for (int j = 0; j <= i; ++j) {
        w[j] = std::max(disc * (p * w[j + 1] + (1 - p) * w[j]), A * std::pow(u, 2 * j - i) - X);
      }
    }
    return w[0];
  }
};

// Receiving asset 1 for asset 2 less the reverse is the forward exchange (Margrabe's symmetry).
TEST(Exchange, TheTwoDirectionsDifferByTheForward) {
  for (const char* k : kCases) {
    const NamedContract c = Changed(kBase, k);
    NamedContract reverse = c;
    for (const char* pair : {"AssetPrice", "Volatility", "YieldRate", "QtyAsset"}) {
      const std::string one = std::string(pair) + "1", two = std::string(pair) + "2";
      reverse.Set(one, c.Get(two)), reverse.Set(two, c.Get(one));
    }
    EXPECT_NEAR(c(1) - reverse(1), Terms(c).Forward(), 1e-9 * Terms(c).A) << k;
  }
}

// The American value is a lower bound close to the lattice, never below the European value or
// exercise now (case 3: asset 2 without yield, where the approximation's fallback gave 0), and
// the European value exactly when asset 1 yields nothing.
TEST(Exchange, AmericanLiesBetweenItsBoundsAndNearTheLattice) {
  for (const char* k : kCases) {
    const NamedContract european = Changed(kBase, k), c = european.With("ExerciseType", American);
    const Terms t(c);
    EXPECT_GE(c(1), std::max(european(1), t.A - t.X)) << k;
    EXPECT_LE(c(1), t.Lattice() * (1 + 2e-3) + 1e-6) << k;
    EXPECT_GE(c(1), t.Lattice() * 0.95) << k;
    EXPECT_EQ(c.With("YieldRate1", -0.01)(1), european.With("YieldRate1", -0.01)(1)) << k;
  }
  const char* beyond = "ExerciseType=American AssetPrice1=60 TimeExpire=1 YieldRate1=0.3";
  EXPECT_EQ(Changed(kBase, beyond).With("Correlation", 0.5)(1), 40.0);  // past the trigger
  // The ratio at 0.5% volatility, no yield on asset 2: the approximation's powers overflow.
  const NamedContract quiet = Changed(kBase, "ExerciseType=American Volatility2=0.2 YieldRate2=0");
  const Terms q(quiet.With("Correlation", 0.9996875));
  EXPECT_NEAR(quiet.With("Correlation", 0.9996875)(1), q.Lattice(), 0.02 * q.Lattice());
  // Perfect correlation and equal volatilities: the ratio is certain, and with it the best date.
  const NamedContract certain = Changed(kBase, "Correlation=1 Volatility2=0.2");
  EXPECT_NEAR(certain(1), Terms(certain).Forward(), 1e-6);
  EXPECT_NEAR(certain.With("ExerciseType", American)(1), 2, 1e-6);
  EXPECT_EQ(kBase.With("ExerciseType", 7)(1), kBase(1));  // anything but American is European
}

}  // namespace
}  // namespace quantrel::testing
