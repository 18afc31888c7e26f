#include "core/Plainoptionsex.h"

#include <gtest/gtest.h>

#include <cmath>

#include "support/Reference.h"

namespace quantrel::core {
namespace {

using quantrel::testing::BlackScholesRef;

TEST(GeneralizedBlackScholes, AgreesWithTheExactFormulaAndParity) {
  for (double S : {60.0, 95.0, 100.0, 130.0}) {
    for (double T : {0.05, 0.5, 3.0}) {
      const BlackScholesRef ref{S, 100, T, 0.3, 0.06, 0.02};
      const double call = GeneralizedBlackScholes(1, S, 100, T, 0.3, 0.06, 0.02);
      const double put = GeneralizedBlackScholes(2, S, 100, T, 0.3, 0.06, 0.02);
      EXPECT_NEAR(call, ref.Call(), 2e-5 * S);
      EXPECT_NEAR(put, ref.Put(), 2e-5 * S);
      EXPECT_NEAR(call - put, S * std::exp(-0.02 * T) - 100 * std::exp(-0.06 * T), 1e-12 * S);
    }
  }
  EXPECT_EQ(GeneralizedBlackScholes(3, 100, 100, 1, 0.3, 0.06, 0.02), 0.0);
}

TEST(GeneralizedBlackScholes, TextbookValue) {
  // Call on a stock: S = 60, X = 65, T = 0.25, r = 8%, vol = 30%.
  EXPECT_NEAR(GeneralizedBlackScholes(1, 60, 65, 0.25, 0.3, 0.08, 0), 2.1334, 5e-4);
  // Put on a stock index: S = 100, X = 95, T = 0.5, r = 10%, q = 5%, vol = 20%.
  EXPECT_NEAR(GeneralizedBlackScholes(2, 100, 95, 0.5, 0.2, 0.1, 0.05), 2.4648, 5e-4);
  // Put on a future (q = r): F = 19, X = 19, T = 0.75, r = 10%, vol = 28%.
  EXPECT_NEAR(GeneralizedBlackScholes(2, 19, 19, 0.75, 0.28, 0.1, 0.1), 1.7011, 5e-4);
}

TEST(BlackScholesCallPutPair, MatchesSeparateValuesSeenFromAnIntermediateTime) {
  const CallPutPair p = BlackScholesCallPutPair(50, 55, 48, 0.25, 1.0, 0.75, 0.35, 0.08, 0.03);
  EXPECT_NEAR(p.callValue, GeneralizedBlackScholes(1, 50, 55, 0.75, 0.35, 0.08, 0.03), 1e-12);
  EXPECT_NEAR(p.putValue, GeneralizedBlackScholes(2, 50, 48, 0.5, 0.35, 0.08, 0.03), 1e-12);
  const double h = 1e-4;
  EXPECT_NEAR(p.callDelta,
              (GeneralizedBlackScholes(1, 50 + h, 55, 0.75, 0.35, 0.08, 0.03) -
               GeneralizedBlackScholes(1, 50 - h, 55, 0.75, 0.35, 0.08, 0.03)) /
                  (2 * h),
              1e-5);
  EXPECT_NEAR(p.putDelta,
              (GeneralizedBlackScholes(2, 50 + h, 48, 0.5, 0.35, 0.08, 0.03) -
               GeneralizedBlackScholes(2, 50 - h, 48, 0.5, 0.35, 0.08, 0.03)) /
                  (2 * h),
              1e-5);
}

TEST(BlackScholesValueDelta, AnyTypeOtherThanACallIsAPut) {
  const ValueDelta call = BlackScholesValueDelta(1, 40, 42, 0.4, 0.25, 0.05, 0.01);
  const ValueDelta put = BlackScholesValueDelta(7, 40, 42, 0.4, 0.25, 0.05, 0.01);
  EXPECT_NEAR(call.value, GeneralizedBlackScholes(1, 40, 42, 0.4, 0.25, 0.05, 0.01), 1e-13);
  EXPECT_NEAR(put.value, GeneralizedBlackScholes(2, 40, 42, 0.4, 0.25, 0.05, 0.01), 1e-13);
  EXPECT_NEAR(call.delta - put.delta, std::exp(-0.01 * 0.4), 1e-13);
}

TEST(BjerksundStensland, TextbookAmericanCall) {
  // S = 42, X = 40, T = 0.75, r = 4%, b = -4%, vol = 35%.
  EXPECT_NEAR(BjerksundStenslandCall(42, 40, 0.75, 0.35, 0.04, -0.04), 5.2704, 5e-4);
}

TEST(BjerksundStensland, NoEarlyExerciseWithoutAPositiveYield) {
  for (double b : {0.05, 0.08}) {
    EXPECT_EQ(BjerksundStenslandCall(100, 100, 1, 0.3, 0.05, b),
              GeneralizedBlackScholes(1, 100, 100, 1, 0.3, 0.05, 0.05 - b));
  }
}

TEST(BjerksundStensland, WorthAtLeastTheEuropeanAndExercisedBeyondTheTrigger) {
  for (double S : {80.0, 100.0, 120.0}) {
    const double american = BjerksundStenslandCall(S, 100, 1, 0.25, 0.05, -0.05);
    EXPECT_GE(american, GeneralizedBlackScholes(1, S, 100, 1, 0.25, 0.05, 0.10) - 1e-12);
    EXPECT_GE(american, S - 100);
  }
  // Far above the trigger the call is exercised at once.
  EXPECT_EQ(BjerksundStenslandCall(1000, 100, 1, 0.25, 0.05, -0.05), 900.0);
}

TEST(BjerksundStensland, AVeryNegativeCarryFallsBackToTheEuropean) {
  // h(T) >= 20: the approximation is skipped.
  const double value = BjerksundStenslandCall(100, 100, 1, 0.2, 0.05, -100);
  EXPECT_EQ(value, std::max(0.0, GeneralizedBlackScholes(1, 100, 100, 1, 0.2, 0.05, 100.05)));
}

TEST(BjerksundStenslandPhi, GuardsItsPowers) {
  bool overflow = false;
  EXPECT_EQ(BjerksundStenslandPhi(100, 1, 1, 0, 120, 0.05, -0.05, 0.25, overflow), 0.0);
  EXPECT_TRUE(overflow);
  overflow = false;
  EXPECT_EQ(BjerksundStenslandPhi(100, 1, 200, 100, 120, 0.05, -0.05, 0.25, overflow), 0.0);
  EXPECT_TRUE(overflow);
  overflow = true;  // once set, every later term is 0
  EXPECT_EQ(BjerksundStenslandPhi(100, 1, 1, 100, 120, 0.05, -0.05, 0.25, overflow), 0.0);
  overflow = false;
  EXPECT_GT(BjerksundStenslandPhi(100, 1, 1, 100, 120, 0.05, -0.05, 0.25, overflow), 0.0);
  EXPECT_FALSE(overflow);
}

}  // namespace
}  // namespace quantrel::core
