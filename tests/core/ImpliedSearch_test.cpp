#include "core/ImpliedSearch.h"

#include <gtest/gtest.h>

#include "core/Plainoptionsex.h"
#include "quantrel/quantrel.h"

namespace quantrel::core {
namespace {

// A plain European option priced by the kernel, for the false-position search.
struct Plain {
  int32_t type;
  double S = 100, X = 105, T = 0.75, v = 0.3, r = 0.05, q = 0.01;
  double Price() const { return GeneralizedBlackScholes(type, S, X, T, v, r, q); }
  double ImpliedVol(double target) const {
    auto price = [&](double vol) { return GeneralizedBlackScholes(type, S, X, T, vol, r, q); };
    return FalsePositionSearch(price, Sought::Volatility, target,
                               StandardEnds(Sought::Volatility, S, target, X));
  }
  double ImpliedStrike(double target) const {
    auto price = [&](double strike) {
      return GeneralizedBlackScholes(type, S, strike, T, v, r, q);
    };
    return FalsePositionSearch(price, Sought::Strike, target,
                               StandardEnds(Sought::Strike, S, target, X));
  }
};

TEST(FalsePositionSearch, RecoversVolatilityAndStrike) {
  for (int32_t type : {1, 2}) {
    for (double v : {0.05, 0.3, 0.9}) {
      Plain p{type};
      p.v = v;
      const double target = p.Price();
      EXPECT_NEAR(p.ImpliedVol(target), v, 1e-5) << type << " " << v;
      EXPECT_NEAR(GeneralizedBlackScholes(type, p.S, p.X, p.T, p.ImpliedVol(target), p.r, p.q),
                  target, 1e-6);
    }
    for (double X : {80.0, 105.0, 130.0}) {
      Plain p{type};
      p.X = X;
      const double target = p.Price();
      Plain asked = p;
      asked.X = 100;  // the given strike only matters when S - P* is not > 0
      EXPECT_NEAR(asked.ImpliedStrike(target), X, 1e-4) << type << " " << X;
    }
  }
}

TEST(FalsePositionSearch, ReportsFailureAsZero) {
  Plain call{1};
  EXPECT_EQ(call.ImpliedVol(0), 0.0);
  EXPECT_EQ(call.ImpliedVol(-1), 0.0);
  EXPECT_EQ(call.ImpliedVol(150), 0.0);  // above the asset price: no volatility reaches it
  // A flat bracket (both ends price the same) gives no iterate.
  auto flat = [](double) { return 1.0; };
  EXPECT_EQ(FalsePositionSearch(flat, Sought::Volatility, 0.5, {1.0, 0.01}), 0.0);
}

TEST(FalsePositionSearch, IterationBudgetEndsASlowSearch) {
  int calls = 0;
  // A price that crosses the target only in a sliver: false position creeps towards it.
  auto slow = [&](double u) {
    ++calls;
    return u < 0.5 ? 0.0 : 1.0 + 1e-3 * (u - 0.5);
  };
  EXPECT_EQ(FalsePositionSearch(slow, Sought::Volatility, 0.5, {1.0, 0.01}), 0.0);
  EXPECT_LE(calls, kFalsePositionIterations + 3);
}

TEST(Seeds, ManasterKoehlerAndStrike) {
  EXPECT_DOUBLE_EQ(ManasterKoehlerSeed(100, 100, 0.05, 1), std::sqrt(0.1));
  EXPECT_DOUBLE_EQ(ManasterKoehlerSeed(100, 100, 0.001, 1), std::sqrt(0.02));  // r' >= 1%
  EXPECT_EQ(StrikeSeed(true, 100, 7, 90), 93);
  EXPECT_EQ(StrikeSeed(false, 100, 7, 90), 107);
  EXPECT_EQ(StrikeSeed(true, 5, 7, 90), 90);  // S - P* not > 0
}

// The Newton search through a model entry.
TEST(NewtonSearch, APriceAtTheSeedReturnsTheSeedItself) {
  const double alpha = 1.1, r = 0.08, T = 1;
  const double seed = ManasterKoehlerSeed(1, alpha, r, T);
  const double price =
      ForwardStart(CallOption, Theoretical_FS, 60, 0.25, T, seed, r, 0.04, alpha, 0, Years);
  EXPECT_EQ(ForwardStart(CallOption, ImpliedVol_FS, 60, 0.25, T, 0.2, r, 0.04, alpha, price, Years),
            seed);
}

}  // namespace
}  // namespace quantrel::core
